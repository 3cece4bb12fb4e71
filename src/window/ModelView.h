#pragma once

#include "base/Picture.h"
#include "formats/Mesh.h"

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <array>
#include <optional>

namespace quorrel {

// The player model with its skins, turning slowly as in the game's player menu; dragging turns
// it by hand. Drawn in software at the widget's size.
class ModelView : public QWidget {
public:
    explicit ModelView(QWidget* parent = nullptr);

    // What to draw, each face with the picture of its skin slot; no triangles: nothing.
    void setModel(QList<MeshTriangle> triangles, std::array<Picture, 4> skins);

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
    double m_yaw = 0;
    QTimer m_turning;
    QElapsedTimer m_sinceTurn;
    std::optional<int> m_dragX; // where a drag last was
};

} // namespace quorrel
