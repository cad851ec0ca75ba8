// The stand-in's WeChat modes (a Windows-only part of tools/standin_chat): a message list
// that another process reads through UI Automation, laid out as standin_protocol.h says.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "tools/standin_chat/standin_protocol.h"

namespace wechat {

class Chat {
public:
    // Without UI Automation on the system the window still shows its items.
    static std::unique_ptr<Chat> Create(HWND window, const standin::WeChatMode& mode);
    ~Chat();

    // WM_GETOBJECT: the provider tree for UiaRootObjectId; handled is false for other ids.
    LRESULT AnswerGetObject(WPARAM wp, LPARAM lp, bool& handled);
    // Ends the providers' life before the window's: afterwards each answers "not available".
    void Disconnect();

    // kind as in kCopyWeChatAppend; false for an unknown kind.
    bool Append(const std::wstring& kind, const std::wstring& sender, const std::wstring& text);
    bool Remove(std::size_t index);
    void DropOldest(std::size_t n);
    // The protocol's UTF-16 "KIND\nSENDER\nTEXT".
    bool AppendRequest(const std::wstring& request);

    void Paint(HDC dc, HFONT font);

    // Held by whoever changes the tree, and by the window while it hangs: UI Automation may
    // call the providers on a thread of its own, and a hung window must stop those calls too.
    void Lock();
    void Unlock();

    struct State;

private:
    Chat() = default;
    std::unique_ptr<State> state_;
};

}  // namespace wechat
