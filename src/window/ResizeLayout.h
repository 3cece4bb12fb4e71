#pragma once

namespace quorrel {

// The controls that follow the window's size.
enum class LayoutControl { Frame1, Text6, Picture1, Text4, Command1, Command2, Command3, Command4 };

// What the layout reads and writes, in twips: the window's outer size and the controls' sizes
// and tops. A window reads back whatever it snapped a value to; a test can keep exact values.
class LayoutTarget {
public:
    virtual ~LayoutTarget() = default;
    virtual float outerWidth() const = 0;
    virtual float outerHeight() const = 0;
    virtual float width(LayoutControl control) const = 0;
    virtual float height(LayoutControl control) const = 0;
    virtual float top(LayoutControl control) const = 0;
    virtual void setWidth(LayoutControl control, float twips) = 0;
    virtual void setHeight(LayoutControl control, float twips) = 0;
    virtual void setTop(LayoutControl control, float twips) = 0;
};

// How much smaller than the window the frame and the INT box were designed.
struct LayoutMargins {
    float frameWidth = 0;
    float frameHeight = 0;
    float textHeight = 0;
};

// Measured once, when the window is loaded.
LayoutMargins measureMargins(const LayoutTarget& target);

// Lays the frame, the INT box, the info panel and the buttons out for the window's size, one step
// at a time in single precision. A step whose value is not a finite number stops the layout there
// (the steps before it stay applied) and returns false; sizes below zero are applied as zero.
bool applyLayout(LayoutTarget& target, const LayoutMargins& margins);

} // namespace quorrel
