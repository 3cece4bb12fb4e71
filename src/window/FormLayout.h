#pragma once

#include "window/ResizeLayout.h"

#include <QMargins>

#include <array>

class QWidget;

namespace quorrel {

// The resize layout's view of the main window: sizes in twips, read back after the widgets snap
// them to whole pixels. The window's outer size is its own plus `frame`, the border and title bar.
class FormLayout : public LayoutTarget {
public:
    // The controls in the order of LayoutControl.
    using Controls = std::array<QWidget*, 8>;

    FormLayout(const QWidget& window, const QMargins& frame, const Controls& controls)
        : m_window(window), m_frame(frame), m_controls(controls) {}

    float outerWidth() const override;
    float outerHeight() const override;
    float width(LayoutControl c) const override;
    float height(LayoutControl c) const override;
    float top(LayoutControl c) const override;
    void setWidth(LayoutControl c, float twips) override;
    void setHeight(LayoutControl c, float twips) override;
    void setTop(LayoutControl c, float twips) override;

private:
    QWidget* widget(LayoutControl c) const { return m_controls[std::size_t(c)]; }

    const QWidget& m_window;
    QMargins m_frame;
    Controls m_controls;
};

} // namespace quorrel
