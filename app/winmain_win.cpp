// Entry point of sonvira.exe: COM for the thread, the common controls and the rich-edit
// library, the main window, and the message loop. Errors that reach the default handler are
// shown in a message box captioned with the application title.
#include <windows.h>

#include <commctrl.h>

#include "app/fmain_win.h"
#include "app/identity_win.h"
#include "speech/sapi_engine_win.h"
#include "ui/application.h"
#include "win/codepage_win.h"
#include "win/com.h"
#include "win/handles.h"
#include "win/trace_win.h"

namespace {

// True when this start is the session's first. The mutex is created before anything else,
// because two starts at the same moment both look for the window seconds before either has
// made it. CreateMutexW answers ERROR_ALREADY_EXISTS with a handle when the name exists, and
// ERROR_ACCESS_DENIED without one when it exists but may not be opened (Microsoft's
// CreateMutexW page); both mean another start came first. The handle is kept until the
// process ends, so the next start waits for nothing and still finds the name taken.
bool TakeInstanceMutex(UniqueKernelHandle& mutex) {
    mutex.reset(CreateMutexW(nullptr, FALSE, kInstanceMutex));
    const DWORD error = GetLastError();
    if (!mutex) return error != ERROR_ACCESS_DENIED;
    return error != ERROR_ALREADY_EXISTS;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    InstallDebuggerTrace();
    // One instance per session: a second start ends before it touches anything, without a
    // word, and leaves the running one where it is (hidden windows count). The window check
    // still catches an instance that took no mutex (an older build).
    UniqueKernelHandle instanceMutex;
    if (!TakeInstanceMutex(instanceMutex)) return 0;
    if (FindWindowW(kMainWindowClass, kMainWindowTitle)) return 0;
    ScopedCom com(COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    // Declared before the window and the engine, so it is freed after them on every way out.
    UniqueModule richEdit(LoadLibraryW(L"riched20.dll"));

    HWND owner = nullptr;
    Application.OnException = [&owner](const std::string& message) {
        MessageBoxW(owner, AnsiToWide(message).c_str(), AnsiToWide(Application.Title).c_str(), MB_OK | MB_ICONERROR);
    };
    Application.OnExactException = [&owner](const std::u16string& message) {
        MessageBoxW(owner, std::wstring(message.begin(), message.end()).c_str(), AnsiToWide(Application.Title).c_str(),
                    MB_OK | MB_ICONERROR);
    };
    Application.OnTerminate = [] { PostQuitMessage(0); };

    int exitCode = 0;
    {
        // The engine and the window (and every COM pointer they hold) go before COM does.
        std::unique_ptr<ISpeechEngine> engine = CreateSapiEngine();
        MainWindow window(*engine);
        if (!window.Create(instance, true)) return 1;
        owner = window.Handle();
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (!IsDialogMessageW(window.Handle(), &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        exitCode = static_cast<int>(msg.wParam);
        owner = nullptr;
        window.Destroy();
    }
    return exitCode;
}
