// The Windows shell, in one place: the services the program asks (ui/shell.h: ShellExecute on
// behalf of the main window, shortcut files through the shell link object, the desktop's hot
// keys), and the Win32 peers of the shell's components (ui/shell_components.h): the main
// window's own appearance, its pages, the menus, the mouse and the notification-area icon.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "ui/components.h"
#include "ui/shell.h"
#include "ui/shell_components.h"

class Win32Shell : public IShell {
public:
    explicit Win32Shell(const HWND& mainWindow) : main_(mainWindow) {}
    void Execute(const std::string& operation, const std::string& file, const std::string& parameters,
                 const std::string& directory, int showCommand) override;
    void SaveShortcut(const ShortcutSpec& shortcut, const std::string& linkPath) override;

private:
    const HWND& main_;
};

// The keys are the main window's: WM_HOTKEY brings a press there, with the key's id.
class Win32HotKeys : public IHotKeys {
public:
    explicit Win32HotKeys(const HWND& mainWindow) : main_(mainWindow) {}
    bool Register(int id, THotKey key) override;
    void Unregister(int id) override { UnregisterHotKey(main_, id); }

private:
    const HWND& main_;
};

class FormPeer : public TForm::Peer {
public:
    explicit FormPeer(HWND h) : h_(h) {}
    void SetVisible(bool visible) override;
    void BringToFront() override;
    void SetWindowState(TWindowState state) override;

private:
    HWND h_;
};

// The tab control with one page window per tab; only the active page shows.
class PageControlPeer : public TPageControl::Peer {
public:
    PageControlPeer(HWND tabs, std::vector<HWND> pages) : tabs_(tabs), pages_(std::move(pages)) {}
    void SetActivePage(int index) override;

private:
    HWND tabs_;
    std::vector<HWND> pages_;
};

// A menu item, by its command id in the menu that holds it: it mirrors the tick and the grey.
class MenuItemPeer : public TMenuItem::Peer {
public:
    MenuItemPeer(HMENU menu, UINT command) : menu_(menu), command_(command) {}
    void SetChecked(bool checked) override;
    void SetEnabled(bool enabled) override;

private:
    HMENU menu_;
    UINT command_;
};

// A pop-up menu owned by a window, which receives the chosen item's WM_COMMAND.
class PopupMenuPeer : public TPopupMenu::Peer {
public:
    PopupMenuPeer(HMENU menu, HWND owner) : menu_(menu), owner_(owner) {}
    void Popup(int x, int y) override;

private:
    HMENU menu_;
    HWND owner_;
};

class MousePeer : public TMouse::Peer {
public:
    TPoint CursorPos() override;
};

// The icon in the notification area. It hears the shell through a hidden top-level window
// of its own (top-level, so that the shell's "TaskbarCreated" broadcast reaches it too) and
// is known to the shell by that window and the icon id 1.
class TrayIconPeer : public TTrayIcon::Peer {
public:
    // application: the window brought to the front before the tray menu opens.
    TrayIconPeer(TTrayIcon& icon, HINSTANCE instance, HICON image, HWND application);
    ~TrayIconPeer() override;
    TrayIconPeer(const TrayIconPeer&) = delete;
    TrayIconPeer& operator=(const TrayIconPeer&) = delete;

    void Show(const std::u16string& hint) override;
    void Hide() override;
    void ShowBalloon(const std::u16string& title, const std::u16string& text, TBalloonFlags flags,
                     unsigned timeoutMs) override;
    void StartClickWait() override;
    void StopClickWait() override;
    void BringApplicationToFront() override;
    void StartMenuWait() override;

    HWND Handle() const { return hwnd_; }
    // The message the shell sends this window about the icon (lParam: the mouse message).
    static constexpr UINT kCallbackMessage = WM_APP + 1;

private:
    static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
    NOTIFYICONDATAW Data(UINT flags) const;

    TTrayIcon& icon_;
    HWND hwnd_ = nullptr;
    HICON image_;
    HWND application_;
    UINT taskbarCreated_;
    bool added_ = false;
    std::u16string hint_;
    // The balloon asked for while the icon could not be added, shown once it is.
    bool pendingBalloon_ = false;
    std::u16string balloonTitle_, balloonText_;
    TBalloonFlags balloonFlags_ = TBalloonFlags::bfNone;
    unsigned balloonTimeout_ = 0;
};
