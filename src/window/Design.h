#pragma once

#include "window/ResizeLayout.h"

#include <QMargins>

// The window as it was designed, in twips (1/1440 inch): the client area and each control's left,
// top, width and height in its container. The layout changes some of these once the window is
// shown; everything else keeps them for the whole run.
namespace quorrel::design {

struct Twips {
    int left, top, width, height;
};

inline constexpr Twips kClientArea{0, 0, 5175, 3660};
inline constexpr Twips kCommand1{90, 3360, 1545, 255};
inline constexpr Twips kCommand2{1800, 3360, 1545, 255};
inline constexpr Twips kCommand3{3540, 3360, 1545, 255};
inline constexpr Twips kCommand4{90, 3360, 4995, 255};
inline constexpr Twips kText1{90, 30, 1935, 255};
inline constexpr Twips kText2{90, 330, 1935, 255};
inline constexpr Twips kText3{90, 630, 1935, 255};
inline constexpr Twips kFrame1{90, 930, 4995, 2385};
inline constexpr Twips kText6{180, 1170, 4815, 2055};
inline constexpr Twips kList2{3150, 30, 1935, 855};
inline constexpr Twips kList1{5310, 870, 1875, 2595};
inline constexpr Twips kLabel1{5160, 90, 1035, 705};
inline constexpr Twips kImage1{2040, 30, 1080, 855};
inline constexpr Twips kPicture1{90, 60, 165, 165};
inline constexpr Twips kText4{30, 30, 4875, 3105}; // inside Picture1

// Twips per device-independent pixel: 1440 per inch at 96 pixels per inch.
inline constexpr int kTwipsPerPixel = 15;

// Border and title bar, in pixels, assumed when the window system reports none at load: 60 twips
// at the sides and bottom, 345 at the top.
inline constexpr QMargins kClassicFrame{4, 23, 4, 4};

constexpr Twips designed(LayoutControl control) {
    switch (control) {
    case LayoutControl::Frame1:
        return kFrame1;
    case LayoutControl::Text6:
        return kText6;
    case LayoutControl::Picture1:
        return kPicture1;
    case LayoutControl::Text4:
        return kText4;
    case LayoutControl::Command1:
        return kCommand1;
    case LayoutControl::Command2:
        return kCommand2;
    case LayoutControl::Command3:
        return kCommand3;
    case LayoutControl::Command4:
        return kCommand4;
    }
    return {};
}

} // namespace quorrel::design
