#include "window/ModelView.h"

#include "formats/PictureFile.h"
#include "render/ModelPicture.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace quorrel {
namespace {

constexpr double kDegreesPerSecond = 30; // about the game's own slow turn
constexpr double kDegreesPerPixel = 0.5; // dragging

} // namespace

ModelView::ModelView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("model"));
    setMinimumSize(160, 160);
    setCursor(Qt::OpenHandCursor);
    setToolTip(QStringLiteral("Drag to turn the model"));
    m_turning.setInterval(16);
    connect(&m_turning, &QTimer::timeout, this, &ModelView::turn);
}

void ModelView::setModel(QList<MeshTriangle> triangles, std::array<Picture, 4> skins) {
    m_triangles = std::move(triangles);
    m_skins = std::move(skins);
    update();
}

void ModelView::turn() {
    const double seconds = m_sinceTurn.restart() / 1000.0;
    if (!m_dragX && !m_triangles.isEmpty()) {
        m_yaw = std::fmod(m_yaw + kDegreesPerSecond * seconds, 360.0);
        update();
    }
}

void ModelView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(24, 24, 32));
    if (!m_triangles.isEmpty()) {
        const qreal ratio = devicePixelRatioF();
        const QSize size = this->size() * ratio;
        QImage image = imageOf(drawModel(m_triangles, m_skins, size.width(), size.height(), m_yaw));
        image.setDevicePixelRatio(ratio);
        painter.drawImage(0, 0, image);
    }
}

void ModelView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    m_dragX = int(event->position().x());
    setCursor(Qt::ClosedHandCursor);
}

void ModelView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragX)
        return QWidget::mouseMoveEvent(event);
    const int x = int(event->position().x());
    m_yaw = std::fmod(m_yaw + (x - *m_dragX) * kDegreesPerPixel + 360.0, 360.0);
    m_dragX = x;
    update();
}

void ModelView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    m_dragX.reset();
    setCursor(Qt::OpenHandCursor);
}

// Turning costs a frame every 16 ms: only while the model can be seen.
void ModelView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_sinceTurn.start();
    m_turning.start();
}

void ModelView::hideEvent(QHideEvent* event) {
    m_turning.stop();
    QWidget::hideEvent(event);
}

} // namespace quorrel
