#pragma once

#include <QSplitter>

class QLabel;
class QListView;

namespace quorrel {

struct SkinPackage;
class TextureListModel;

// Every texture of the package with its thumbnail, name and role; the one chosen at full size,
// with its size and format, or why it cannot be shown.
class TexturePanel : public QSplitter {
public:
    TexturePanel(TextureListModel& textures, QWidget* parent = nullptr);

    // The package the model's textures come from; null: none. Clears the full-size texture.
    void setPackage(const SkinPackage* package);
    // Sizes the cells to what they show now: taller while a picture could not be read again.
    void fitCells();
    // Chooses the texture and shows it at full size, when the package holds it.
    void showTexture(const QString& name);
    // The texture chosen now; empty: none.
    QString shownTexture() const;

private:
    void showFullSize(int row);

    TextureListModel& m_textures;
    const SkinPackage* m_package = nullptr;
    QListView* m_list = nullptr;
    QLabel* m_fullSize = nullptr;
    QLabel* m_caption = nullptr;
};

} // namespace quorrel
