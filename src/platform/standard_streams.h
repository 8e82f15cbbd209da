#pragma once

namespace farlous {

// Opens /dev/null on each of the standard descriptors 0, 1 and 2 that the program was started
// without (FARLOUS 2>&-). Left closed, the first file or connection opened would take its number,
// and an error report written to standard error would land in it: in the display connection it
// corrupts the protocol and hangs the program. To be called before anything else opens a file.
// Returns false when /dev/null cannot be opened.
bool OpenMissingStandardStreams();

}  // namespace farlous
