// The Windows shell for the program; see shell_win.h.
#include "app/shell_win.h"

#include <shellapi.h>
#include <shlobj.h>

#include <stdexcept>

#include "win/codepage_win.h"
#include "win/com.h"

void Win32Shell::Execute(const std::string& operation, const std::string& file, const std::string& parameters,
                         const std::string& directory, int showCommand) {
    const std::wstring op = AnsiToWide(operation), target = AnsiToWide(file);
    const std::wstring params = AnsiToWide(parameters), dir = AnsiToWide(directory);
    // The outcome is not looked at: without a browser or mail program there is nothing to say.
    ShellExecuteW(main_, op.c_str(), target.c_str(), params.empty() ? nullptr : params.c_str(),
                  dir.empty() ? nullptr : dir.c_str(), showCommand);
}

void Win32Shell::SaveShortcut(const ShortcutSpec& s, const std::string& linkPath) {
    // Declared first, so the interface pointers below are released before it uninitialises.
    ScopedOle ole;
    ComPtr<IShellLinkA> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(link.GetAddressOf()));
    ComPtr<IPersistFile> file;
    if (SUCCEEDED(hr)) hr = link.As(&file);
    if (FAILED(hr)) throw std::runtime_error(DescribeHResult(hr));
    // A shell that takes some of this and not the rest still gets to save what it took.
    link->SetPath(s.target.c_str());
    link->SetArguments(s.arguments.c_str());
    link->SetWorkingDirectory(s.workingDirectory.c_str());
    link->SetDescription(s.description.c_str());
    file->Save(AnsiToWide(linkPath).c_str(), FALSE);
}
