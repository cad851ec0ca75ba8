// The shell for the program, for real: shortcut files written through the shell link object
// and read back through it, and the object library initialised only around the writing; and
// the file dialogs, which must leave the program's working folder as it was.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <string>
#include <thread>

#include "app/log_commands_win.h"
#include "app/logon_shortcut.h"
#include "app/paths_win.h"
#include "win/shell_win.h"
#include "support/process.h"
#include "win/codepage_win.h"
#include "win/com.h"
#include "win/files_win.h"

namespace {

struct ReadShortcut {
    std::string target, arguments, folder, description;
    bool ok = false;
};

// A shortcut file's contents as the shell link object reads them.
ReadShortcut Read(const std::string& link) {
    ReadShortcut r;
    ComPtr<IShellLinkA> shell;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(shell.GetAddressOf()))) ||
        FAILED(shell.As(&file)) || FAILED(file->Load(AnsiToWide(link).c_str(), STGM_READ)))
        return r;
    char buf[1024];
    shell->GetPath(buf, sizeof buf, nullptr, SLGP_RAWPATH);
    r.target = buf;
    shell->GetArguments(buf, sizeof buf);
    r.arguments = buf;
    shell->GetWorkingDirectory(buf, sizeof buf);
    r.folder = buf;
    shell->GetDescription(buf, sizeof buf);
    r.description = buf;
    r.ok = true;
    return r;
}

bool Exists(const std::string& path) { return Win32PathPlatform().FileExists(path); }

std::string TempFolder(const std::string& name) {
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    std::string folder = WideToAnsi(tmp) + name + "\\";
    CreateDirectoryW(AnsiToWide(folder).c_str(), nullptr);
    return folder;
}

TEST(Shortcut, WhatIsWrittenReadsBackThroughTheShellLinkObject) {
    const HWND noWindow = nullptr;
    Win32Shell shell{noWindow};
    const std::string folder = TempFolder("sonvira \xd3\xef\xd2\xf4");  // "sonvira 语音"
    const std::string link = folder + "\xc0\xca\xb6\xc1.lnk";             // 朗读.lnk
    const std::string target = folder + "sonvira.exe";
    ASSERT_FALSE(ComInitialised());
    const Win32CodePage codePage;
    CreateShortcut(shell, target, " -s", link, "Sonvira", codePage);
    EXPECT_FALSE(ComInitialised()) << "the object library is uninitialised after the shortcut";
    ASSERT_TRUE(Exists(link));

    ScopedCom com;
    ReadShortcut r = Read(link);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.target, target);
    EXPECT_EQ(r.arguments, " -s");
    EXPECT_EQ(r.folder, folder) << "the program's folder with its trailing backslash";
    EXPECT_EQ(r.description, "Sonvira");

    // Made again over an existing one, and from a thread whose COM is already up.
    CreateShortcut(shell, folder + "other.exe", " -s", link, "Sonvira", codePage);
    EXPECT_EQ(Read(link).target, folder + "other.exe");
    EXPECT_TRUE(ComInitialised()) << "a thread's own COM stays as it was";
    Win32Files().Delete(link);

    // A folder that cannot take the file: the failure names the shortcut.
    const std::string nowhere = folder + "missing\\" + "\xc0\xca\xb6\xc1.lnk";
    std::string error = "no error";
    try { CreateShortcut(shell, target, " -s", nowhere, "Sonvira", codePage); } catch (const FileError& e) { error = e.what(); }
    EXPECT_NE(error.find("\"" + nowhere + "\""), std::string::npos) << error;
}

// Windows would otherwise make the folder the user went to the working folder, and keep it in
// use (it could not be deleted) until the program ends.
TEST(FileDialog, LeavesTheWorkingFolderWhereItWas) {
    wchar_t before[MAX_PATH] = {}, after[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, before);
    const std::string name = TempFolder("sonvira dialog") + "log.rtf";
    const HWND noOwner = nullptr;
    FileDialogPeer peer{noOwner};
    for (auto kind : {TFileDialog::Kind::Save, TFileDialog::Kind::Open}) {
        Win32Files().WriteAll(name, "{\\rtf1}");
        TFileDialog dialog(kind, u"RTF|*.rtf", u"rtf", false);
        dialog.AttachPeer(&peer);
        dialog.FileName = name;
        // The user takes the offered name in the dialog's own folder.
        std::thread user([] {
            HWND d = nullptr;
            if (WaitUntil([&] { return (d = VisibleBox(GetCurrentProcessId())) != nullptr; }, kPatienceMs))
                PostMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
        });
        EXPECT_TRUE(dialog.Execute()) << "the dialog was never answered";
        user.join();
        EXPECT_EQ(dialog.FileName, name);
        GetCurrentDirectoryW(MAX_PATH, after);
        EXPECT_STREQ(after, before);
        SetCurrentDirectoryW(before);
    }
    Win32Files().Delete(name);
}

}  // namespace
