#pragma once

#include <string>

namespace farlous {

// The publisher's web address, the same in every text that names it.
inline constexpr const char* kPublisherAddress = "http://www.glimbo.example/";

std::string WindowCaption();
std::string AboutText();
// Shown in place of a joke when the jokes file is missing.
std::string MissingFileText();

}  // namespace farlous
