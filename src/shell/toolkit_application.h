#pragma once

#include <QApplication>
#include <memory>
#include <string>

namespace farlous {

// The toolkit's application object, for a program that has no command line: the toolkit is given
// the program's name (`programName`, which may be null) and nothing else, so that options such as
// -title, -geometry or -reverse change nothing.
//
// Without a display (none set, a server gone, no display plugin) the toolkit would print English
// messages and abort. Instead "`title` : " and a French report go to standard error, or
// `pendingError` in its place when the start already met an error, and the run ends with status 1.
// What the toolkit says while it starts is held back until it has started.
std::unique_ptr<QApplication> StartToolkit(char* programName, const std::string& title,
                                           const std::string& pendingError);

}  // namespace farlous
