#pragma once

#include <array>
#include <string_view>

namespace farlous {

// The window as designed, in twips: 1/1440 inch, so 15 twips make one pixel at 96 dots per inch.
// A control's left and top are measured inside its container's frame; width and height include
// the control's own frame.
inline constexpr int kTwipsPerPixel = 15;

// Device-independent pixels: Qt scales them to the screen.
constexpr int Pixels(int twips) { return twips / kTwipsPerPixel; }

inline constexpr int kClientWidth = 9360;
inline constexpr int kClientHeight = 2835;
// Where the client area's top-left corner goes on the screen.
inline constexpr int kClientLeft = 3015;
inline constexpr int kClientTop = 7245;

// The design was drawn for dialogs set in 8 points.
inline constexpr double kFontPoints = 8;

enum class ControlKind { CommandButton, PictureBox, Label };

struct ControlDesign {
    std::string_view name;
    ControlKind kind;
    std::string_view container;  // "frmTip" or the name of a picture box
    int left;
    int top;
    int width;
    int height;
    std::string_view caption;
    bool white;  // an opaque white background instead of the system's face colour
    int tabIndex;
    std::string_view picture;  // a picture box's picture, as a resource path
};

// In creation order: a container comes before what it holds.
inline constexpr std::array<ControlDesign, 7> kFrmTipControls{{
    {"cmdAbout", ControlKind::CommandButton, "frmTip", 7680, 2400, 1575, 375, "A Propos de Glimbo",
     false, 5, ""},
    {"cmdNextTip", ControlKind::CommandButton, "frmTip", 5760, 2400, 1695, 375, "Blague suivante",
     false, 2, ""},
    {"Picture1", ControlKind::PictureBox, "frmTip", 0, 120, 3855, 2715, "", true, 1, ""},
    {"Label1", ControlKind::Label, "Picture1", 120, 120, 1215, 255, "Zinoquet :", true, 4, ""},
    {"lblTipText", ControlKind::Label, "Picture1", 120, 480, 3615, 2115, "", true, 3, ""},
    {"cmdOK", ControlKind::CommandButton, "frmTip", 3960, 2400, 1575, 375, "OK", false, 0, ""},
    {"Picture2", ControlKind::PictureBox, "frmTip", 3960, 120, 5295, 2175, "", false, 6,
     ":/logo/glimbo.jpg"},
}};

// Every measure is a whole number of pixels at 96 dots per inch: Pixels() rounds nothing away.
constexpr bool WholePixels() {
    for (int twips : {kClientWidth, kClientHeight, kClientLeft, kClientTop}) {
        if (twips % kTwipsPerPixel != 0) return false;
    }
    for (const ControlDesign& c : kFrmTipControls) {
        for (int twips : {c.left, c.top, c.width, c.height}) {
            if (twips % kTwipsPerPixel != 0) return false;
        }
    }
    return true;
}
static_assert(WholePixels());

}  // namespace farlous
