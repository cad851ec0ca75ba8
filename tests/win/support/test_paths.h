// Paths the Windows tests need. The test programs live in <build>/tests.
#pragma once

#include <string>

std::wstring ExeDir();    // folder of the running test program
std::wstring BuildDir();  // the Windows build folder (sonvira.exe, tools/...)

// A whole file's bytes ("" when it cannot be opened), read as a player reads one: sharing it
// with its writer, even with a rename over it.
std::string FileBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
