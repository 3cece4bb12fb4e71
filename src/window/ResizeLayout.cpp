#include "window/ResizeLayout.h"

#include <algorithm>
#include <cmath>

namespace quorrel {
namespace {

constexpr float kText6WidthOffset = 480;
constexpr float kPanelWidthOffset = 300;
constexpr float kPanelHeightOffset = 800;
constexpr float kInfoTextInset = 100;
constexpr float kAllDoneWidthOffset = 280;
constexpr float kButtonGap = 50;

// Overflow gives infinity, 0/0 and inf - inf give NaN: either stops the layout.
bool usable(float value) {
    return std::isfinite(value);
}

} // namespace

LayoutMargins measureMargins(const LayoutTarget& t) {
    using C = LayoutControl;
    return {t.outerWidth() - t.width(C::Frame1), t.outerHeight() - t.height(C::Frame1),
            t.outerHeight() - t.height(C::Text6)};
}

bool applyLayout(LayoutTarget& t, const LayoutMargins& m) {
    using C = LayoutControl;
    // Each step reads the window and the controls afresh, after the steps before it.
    auto size = [&](void (LayoutTarget::*set)(C, float), C control, float value) {
        if (!usable(value))
            return false;
        (t.*set)(control, std::max(value, 0.0f));
        return true;
    };
    auto top = [&](C control, float value) {
        if (!usable(value))
            return false;
        t.setTop(control, value);
        return true;
    };
    const auto W = [&] { return t.outerWidth(); };
    const auto H = [&] { return t.outerHeight(); };
    return size(&LayoutTarget::setWidth, C::Frame1, W() - m.frameWidth) &&
           size(&LayoutTarget::setHeight, C::Frame1, H() - m.frameHeight) &&
           size(&LayoutTarget::setHeight, C::Text6, H() - m.textHeight) &&
           size(&LayoutTarget::setWidth, C::Text6, W() - kText6WidthOffset) &&
           size(&LayoutTarget::setWidth, C::Picture1, W() - kPanelWidthOffset) &&
           size(&LayoutTarget::setHeight, C::Picture1, H() - kPanelHeightOffset) &&
           size(&LayoutTarget::setWidth, C::Text4, t.width(C::Picture1) - kInfoTextInset) &&
           size(&LayoutTarget::setHeight, C::Text4, t.height(C::Picture1) - kInfoTextInset) &&
           size(&LayoutTarget::setWidth, C::Command4, W() - kAllDoneWidthOffset) &&
           top(C::Command4, (t.height(C::Picture1) + t.top(C::Picture1)) + kButtonGap) &&
           top(C::Command1, (t.height(C::Frame1) + t.top(C::Frame1)) + kButtonGap) &&
           top(C::Command2, (t.height(C::Frame1) + t.top(C::Frame1)) + kButtonGap) &&
           top(C::Command3, (t.height(C::Frame1) + t.top(C::Frame1)) + kButtonGap);
}

} // namespace quorrel
