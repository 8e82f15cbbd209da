#pragma once

#include <array>
#include <string_view>

namespace farlous {

// What a screen reader says of each control. Buttons and labels are named by their captions (a
// label's name follows its caption, the joke included); the boxes have no caption to go by.
struct AccessibleDesign {
    std::string_view control;
    std::string_view name;  // empty: the caption
    std::string_view description;
    // A label whose caption starts this control's name: a screen reader that reads the window's
    // texts as it opens skips a text of one or two words, so the heading is read with the joke.
    std::string_view heading = {};
};

inline constexpr std::array<AccessibleDesign, 7> kFrmTipAccessibility{{
    {"cmdOK", "", "Ferme la fenêtre"},
    {"cmdNextTip", "", "Montre une autre blague tirée au hasard"},
    {"cmdAbout", "", "Dit qui offre ce programme et où trouver d'autres blagues"},
    {"Picture1", "Blague du jour", ""},
    {"Label1", "", ""},
    {"lblTipText", "", "Blague du jour", "Label1"},
    {"Picture2", "Logo de Glimbo",
     "Le mot Glimbo en grosses lettres arrondies, dégradées du rouge au jaune et bordées de bleu, "
     "avec dessous l'adresse www.glimbo.example"},
}};

}  // namespace farlous
