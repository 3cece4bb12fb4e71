#include "window/FormLayout.h"

#include "window/Design.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

namespace quorrel {
namespace {

constexpr int T = design::kTwipsPerPixel;

int toPixels(float twips) {
    return int(std::lround(std::clamp(twips / T, -float(QWIDGETSIZE_MAX), float(QWIDGETSIZE_MAX))));
}

} // namespace

float FormLayout::outerWidth() const {
    return float((m_window.width() + m_frame.left() + m_frame.right()) * T);
}

float FormLayout::outerHeight() const {
    return float((m_window.height() + m_frame.top() + m_frame.bottom()) * T);
}

float FormLayout::width(LayoutControl c) const {
    return float(widget(c)->width() * T);
}

float FormLayout::height(LayoutControl c) const {
    return float(widget(c)->height() * T);
}

float FormLayout::top(LayoutControl c) const {
    return float(widget(c)->y() * T);
}

void FormLayout::setWidth(LayoutControl c, float twips) {
    widget(c)->resize(toPixels(twips), widget(c)->height());
}

void FormLayout::setHeight(LayoutControl c, float twips) {
    widget(c)->resize(widget(c)->width(), toPixels(twips));
}

void FormLayout::setTop(LayoutControl c, float twips) {
    widget(c)->move(widget(c)->x(), toPixels(twips));
}

} // namespace quorrel
