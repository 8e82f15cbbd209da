#pragma once

#include <string>

namespace farlous {

// Every French message the program reports, gathered so that a reader finds them all at once.
// Paths and values come in already made printable (WithControlsShown, or quoted); the README's
// list of messages follows this file.
namespace error_texts {

std::string FileNotFound(const std::string& shownPath);
std::string PermissionDenied(const std::string& shownPath);
std::string OutOfMemoryReading(const std::string& shownPath);
std::string ReadError(const std::string& shownPath);
std::string NotAFile(const std::string& shownPath);
std::string BadFileNumber(int fileNumber);

std::string EmptyIsNotANumber();
std::string NotANumber(const std::string& quotedText);
std::string Overflow(const std::string& quotedText);
std::string SettingOfAnotherType(const std::string& key);
std::string SettingUnreadable(const std::string& key, long systemError);

std::string TooManyLines();
std::string OutOfMemory();
std::string UnknownProgramFolder();
std::string NoDisplay();
std::string Unexpected(const std::string& what);
std::string Unexpected();

}  // namespace error_texts

}  // namespace farlous
