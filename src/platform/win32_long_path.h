#pragma once

#include <string>

namespace farlous {

// `path` in a form that Windows opens whatever its length. A full path of MAX_PATH characters or
// more gets the "\\?\" prefix ("\\?\UNC\" for a network path), with "/" turned into "\" and
// doubled separators merged, which Windows no longer does behind that prefix. Shorter paths,
// relative ones and those already prefixed stay as they are.
std::wstring LongPathForm(const std::wstring& path);

}  // namespace farlous
