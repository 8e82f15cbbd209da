#pragma once

#include <algorithm>
#include <array>
#include <string_view>

namespace farlous {

// The window frmTip as designed, in twips: 1/1440 inch, so 15 twips make one pixel at 96 dots per
// inch, and every measure below is a whole number of such pixels. A control's left and top are
// measured inside its container's frame; width and height include the control's own frame.
inline constexpr int kTwipsPerPixel = 15;

// Pixels at 96 dots per inch: Qt's device-independent pixels.
constexpr int Pixels(int twips) { return twips / kTwipsPerPixel; }

// The client area, and where its top-left corner goes on the screen.
inline constexpr int kClientWidth = 9360;
inline constexpr int kClientHeight = 2835;
inline constexpr int kClientLeft = 3015;
inline constexpr int kClientTop = 7245;

// The design was drawn for dialogs set in 8 points.
inline constexpr double kFontPoints = 8;

enum class ControlKind { CommandButton, PictureBox, Label };

struct ControlDesign {
    std::string_view name;
    ControlKind kind;
    std::string_view container;  // "frmTip" or a picture box
    int left, top, width, height;
    std::string_view caption;
    bool white;  // an opaque white background instead of the system's face colour
    int tabIndex;
    std::string_view picture;  // what a picture box shows: a resource's path
    // What a screen reader says of it, beside the caption; a heading is a label whose caption
    // starts this control's name (a screen reader reading a window as it opens skips a text of
    // one or two words, so the heading is read with the joke).
    std::string_view accessibleName, description, heading;
};

// In creation order: a container comes before what it holds.
inline constexpr std::array<ControlDesign, 7> kFrmTipControls{{
    {"cmdAbout", ControlKind::CommandButton, "frmTip", 7680, 2400, 1575, 375, "A Propos de Glimbo",
     false, 5, "", "", "Dit qui offre ce programme et où trouver d'autres blagues", ""},
    {"cmdNextTip", ControlKind::CommandButton, "frmTip", 5760, 2400, 1695, 375, "Blague suivante",
     false, 2, "", "", "Montre une autre blague tirée au hasard", ""},
    {"Picture1", ControlKind::PictureBox, "frmTip", 0, 120, 3855, 2715, "", true, 1, "",
     "Blague du jour", "", ""},
    {"Label1", ControlKind::Label, "Picture1", 120, 120, 1215, 255, "Zinoquet :", true, 4, "", "",
     "", ""},
    {"lblTipText", ControlKind::Label, "Picture1", 120, 480, 3615, 2115, "", true, 3, "", "",
     "Blague du jour", "Label1"},
    {"cmdOK", ControlKind::CommandButton, "frmTip", 3960, 2400, 1575, 375, "OK", false, 0, "", "",
     "Ferme la fenêtre", ""},
    {"Picture2", ControlKind::PictureBox, "frmTip", 3960, 120, 5295, 2175, "", false, 6,
     "logo/glimbo.jpg", "Logo de Glimbo",
     "Le mot Glimbo en grosses lettres arrondies, dégradées du rouge au jaune et bordées de "
     "bleu, avec dessous l'adresse www.glimbo.example",
     ""},
}};

inline const ControlDesign& Design(std::string_view name) {
    return *std::ranges::find(kFrmTipControls, name, &ControlDesign::name);
}

}  // namespace farlous
