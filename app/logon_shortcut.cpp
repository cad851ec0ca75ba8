// The run-at-logon shortcut; see logon_shortcut.h.
#include "app/logon_shortcut.h"

#include <stdexcept>

namespace {

std::string UpperAscii(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// Where the folder part of a path ends: after its last "\" or drive colon.
std::size_t NameStart(const std::string& path) {
    std::size_t slash = path.find_last_of("\\:");
    return slash == std::string::npos ? 0 : slash + 1;
}

}  // namespace

std::string GetExeBaseName(const std::string& path) {
    std::string name = path.substr(NameStart(path));
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string ExtractFilePath(const std::string& path) { return path.substr(0, NameStart(path)); }

std::string GetStartupDir(IShell& shell) { return shell.SpecialFolder(kCsidlStartup) + "\\"; }

std::string LogonShortcutPath(IShell& shell) {
    return GetStartupDir(shell) + GetExeBaseName(shell.ProgramPath()) + ".lnk";
}

void CreateShortcut(IShell& shell, const std::string& target, const std::string& arguments,
                    const std::string& linkPath, const std::string& description) {
    std::size_t dot = linkPath.rfind('.');
    if (dot == std::string::npos || UpperAscii(linkPath.substr(dot)) != ".LNK")
        throw std::runtime_error("File Ext Must Be: \xA1\xE4\xA1\xE4LNK\xA1\xE4\xA1\xE4!");
    shell.SaveShortcut({target, arguments, ExtractFilePath(target), description}, linkPath);
}

void ToggleRunAtLogon(TMenuItem& clicked, TMenuItem& other, IShell& shell, IFiles& files, const std::string& title) {
    clicked.SetChecked(!clicked.Checked());
    other.SetChecked(clicked.Checked());
    const std::string link = LogonShortcutPath(shell);
    if (clicked.Checked()) {
        CreateShortcut(shell, shell.ProgramPath(), kLogonArguments, link, title);
    } else if (files.Exists(link)) {
        // A shortcut that will not go is found again at the next start, which ticks the items.
        files.Delete(link);
    }
}

void InitRunAtLogonTicks(TMenuItem& item, TMenuItem& item2, IShell& shell, IFiles& files) {
    const bool exists = files.Exists(LogonShortcutPath(shell));
    item.SetChecked(exists);
    item2.SetChecked(exists);
}
