// The run-at-logon shortcut; see logon_shortcut.h.
#include "app/logon_shortcut.h"

#include <stdexcept>

#include "base/string_table.h"

namespace {

std::string UpperAscii(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

}  // namespace

void CreateShortcut(IShell& shell, const std::string& target, const std::string& arguments,
                    const std::string& linkPath, const std::string& description, const ILeadBytes& leadBytes) {
    std::size_t dot = linkPath.rfind('.');
    if (dot == std::string::npos || UpperAscii(linkPath.substr(dot)) != ".LNK")
        throw std::runtime_error(texts::kShortcutExtension);
    shell.SaveShortcut({target, arguments, ExtractFilePath(target, leadBytes), description}, linkPath);
}

void ToggleRunAtLogon(TMenuItem& clicked, TMenuItem& other, IPathPlatform& paths, IShell& shell, IFiles& files,
                      const std::string& title) {
    const bool tick = !clicked.Checked();
    const std::string link = GetLogonShortcutPath(paths);
    // The ticks follow only a shortcut that was written: a tick without one would promise a
    // start at logon that never comes.
    if (tick) {
        CreateShortcut(shell, paths.ProgramPath(), kLogonArguments, link, title, paths.LeadBytes());
    } else if (paths.FileExists(link)) {
        // A shortcut that will not go is found again at the next start, which ticks the items.
        files.Delete(link);
    }
    clicked.SetChecked(tick);
    other.SetChecked(tick);
}
