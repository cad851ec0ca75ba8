// Screen capture of a window's rectangle into a BMP file; see screenshot.h.
#include "support/screenshot.h"

#include <vector>

namespace {

// Creates every missing folder of the path's directory part.
void CreateFolders(const std::wstring& filePath) {
    for (std::size_t i = filePath.find_first_of(L"\\/", 3); i != std::wstring::npos;
         i = filePath.find_first_of(L"\\/", i + 1))
        CreateDirectoryW(filePath.substr(0, i).c_str(), nullptr);
}

}  // namespace

bool SaveWindowScreenshot(HWND window, const std::wstring& bmpPath) {
    RECT r;
    return GetWindowRect(window, &r) && SaveScreenshot(r, bmpPath);
}

bool SaveScreenshot(RECT r, const std::wstring& bmpPath) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return false;

    // The screen, not the window's own painting: what a user would see there.
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;  // bottom-up, as BMP files store rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = dib && bits;
    if (ok) {
        HGDIOBJ old = SelectObject(mem, dib);
        ok = BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY) != FALSE;
        GdiFlush();
        SelectObject(mem, old);
    }
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);

    if (ok) {
        const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
        const DWORD imageSize = stride * static_cast<DWORD>(h);
        BITMAPFILEHEADER fh = {};
        fh.bfType = 0x4D42;  // "BM"
        fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
        fh.bfSize = fh.bfOffBits + imageSize;
        bi.bmiHeader.biSizeImage = imageSize;
        CreateFolders(bmpPath);
        HANDLE f = CreateFileW(bmpPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ok = f != INVALID_HANDLE_VALUE;
        if (ok) {
            DWORD n = 0;
            ok = WriteFile(f, &fh, sizeof fh, &n, nullptr) && WriteFile(f, &bi.bmiHeader, sizeof bi.bmiHeader, &n, nullptr) &&
                 WriteFile(f, bits, imageSize, &n, nullptr) && n == imageSize;
            CloseHandle(f);
        }
    }
    if (dib) DeleteObject(dib);
    return ok;
}
