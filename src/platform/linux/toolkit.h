#pragma once

#include <string>

namespace farlous {

// Starts Qt once, for the rest of the run, with the program's icon for its windows. Without a
// display Qt would print English and abort: instead the run ends with status 1, after the French
// report "Affichage impossible" on standard error if `reportNoDisplay`.
void StartToolkit(bool reportNoDisplay);

// A modal box captioned with the program's title, showing `text` and one OK button.
void ShowMessage(const std::string& text);

}  // namespace farlous
