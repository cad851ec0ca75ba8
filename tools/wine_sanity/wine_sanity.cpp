// Prints what the test harness needs to know about the Windows it runs on: that a 32-bit
// program runs at all, and that the ANSI code page is GBK as on the systems Sonvira serves.
#include <windows.h>
#include <cstdio>

int main() {
    std::printf("sonvira-wine-ok bits=%u acp=%u\n", unsigned(sizeof(void*) * 8), unsigned(GetACP()));
    return 0;
}
