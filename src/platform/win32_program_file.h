#pragma once

#include <string>

namespace farlous {

// The running executable's full path, however long, as Windows reports it.
std::wstring ProgramFile();

// The folder of a file's full path, without a trailing separator except at a drive's root
// ("C:\"), where dropping it would name the drive's current folder instead.
std::wstring ProgramFolderOf(const std::wstring& file);
// The file's name without its folder and its last extension ("FARLOUS" for "C:\x\FARLOUS.EXE").
std::wstring BaseNameOf(const std::wstring& file);

}  // namespace farlous
