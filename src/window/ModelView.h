#pragma once

#include "base/Picture.h"
#include "formats/Mesh.h"

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <array>

namespace quorrel {

// The player model with its skins, turning slowly as in the game's player menu; dragging turns
// it by hand. Drawn in software at the widget's size.
class ModelView : public QWidget {
public:
    explicit ModelView(QWidget* parent = nullptr);

    // What to draw: no triangles draws nothing, and says `note` instead.
    void setModel(QList<MeshTriangle> triangles, std::array<Picture, 4> skins);
    void setNote(const QString& note);
    double yaw() const { return m_yaw; }

    QSize sizeHint() const override { return QSize(256, 256); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void turn();

    QList<MeshTriangle> m_triangles;
    std::array<Picture, 4> m_skins;
    QString m_note;
    double m_yaw = 0;
    QTimer m_turning;
    QElapsedTimer m_sinceTurn;
    int m_dragX = -1; // where a drag last was; -1 when none
};

} // namespace quorrel
