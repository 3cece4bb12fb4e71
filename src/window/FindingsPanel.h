#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QWidget>

class QListWidget;
class QPushButton;

namespace quorrel {

class TextureListModel;

// What the menu will miss, each finding beside its texture's thumbnail, and the way to the .int
// the menu needs.
class FindingsPanel : public QWidget {
    Q_OBJECT

public:
    explicit FindingsPanel(const TextureListModel& textures, QWidget* parent = nullptr);

    // Each finding's texture and text; `packageRead` false: no package to judge.
    void setFindings(const QList<QPair<QString, QString>>& findings, bool packageRead);
    void setGameIntEnabled(bool enabled);

Q_SIGNALS:
    void textureChosen(const QString& name);
    void gameIntAsked();

private:
    const TextureListModel& m_textures;
    QListWidget* m_list = nullptr;
    QPushButton* m_useGameInt = nullptr;
};

} // namespace quorrel
