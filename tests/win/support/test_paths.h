// Paths the Windows tests need. The test programs live in <build>/tests.
#pragma once

#include <string>

std::wstring ExeDir();    // folder of the running test program
std::wstring BuildDir();  // the Windows build folder (sonvira.exe, tools/...)
