// How tests drive the stand-in chat window (standin_chat.exe) from another process.
//
// Find it as the top-level window of class kWindowClass belonging to the started process.
// Its windows, in child order:
//   top-level (kWindowClass, the chat title)
//     "#32770"                      (absent with --no-dialog)
//       "RichEdit20A"               the transcript control (with --nested one level deeper,
//                                   under a kPaneClass window; with --no-dialog straight
//                                   under the top-level window)
//       "RichEdit20A"               only with --second-control: a decoy with other text
//     "Edit" nickname, "Edit" message, "Button" send  (the user's own input, after the chain)
//
// The transcript control answers WM_GETTEXT in ANSI code page bytes: with size 0 it copies
// nothing and returns the text's length in bytes; with size n + 1 it copies up to n bytes and
// a NUL and returns the count copied. WM_GETTEXTLENGTH returns the length in bytes.
// Messages appended by the stand-in are laid out as a chat client does:
//   "<nickname>  HH:MM:SS" CR LF "<body>" CR LF        (two spaces before the time)
//
// Command line:
//   --title TEXT            chat title (default "与 小鱼 交谈中")
//   --transcript-file PATH  initial transcript, raw bytes
//   --front                 bring the window to the front at start
//   --no-dialog             no "#32770" child
//   --nested                the transcript control one level below the "#32770"
//   --second-control        a second "RichEdit20A" after the transcript control
//   --huge-length           the size request is answered with kHugeLength. (Wine copies a
//                           cross-process WM_GETTEXT reply by the count returned, so under
//                           Wine the stand-in's process is ended while answering and the
//                           requester sees no answer; Windows delivers the count.)
//   --hang-seconds N        the first text request makes the control stop answering for N s
//   --hang-after-ms M       the whole window stops answering M ms after its transcript was
//                           first read, for N s
//                           (--hang-seconds, default 30)
//   --chatter-ms N          the friend "小鱼" appends a message every N ms (for demos)
//   --wechat MODE           a WeChat window read through UI Automation instead (below)
//   --wechat-items N        in a WeChat mode: N history items to begin with, a time line at
//                           every tenth (index 0, 10, ...), friend and own messages in turn
//                           between them (odd index: "小鱼" says "消息 i", even: "我" does)
//
// WeChat modes (kWeChatModes: window class and default title; --title still sets the title).
// Such a window has no transcript chain and no input fields: it answers WM_GETOBJECT for
// UiaRootObjectId (-25) with a provider tree, and paints its items as lines. The root is the
// window itself (named by its title through the system's host provider). Below it:
//   "3.9"      Pane > [Text (the title), Pane > List "消息"]
//   "3.9main"  Pane "导航" > Button "聊天";  Pane > [List "会话" > ListItem "小鱼",
//              Pane > List "消息"]
//   "4"        the root's ClassName is "mmui::MainWindow"; Pane > List "消息"
//   "none"     a 3.9 chat window whose tree holds no message list: Pane > Text (the title)
// Items of "消息", oldest first:
//   3.9 message  ListItem, Name = the text; one child Pane (same rectangle as the item) with
//                a Button, Name = the sender (the avatar, 32 x 32, left of the item's centre
//                for a friend and right of it for one's own message), and the bubble: a
//                Text, Name = the text (a picture's bubble is an unnamed Pane). A friend's
//                Pane holds [Button, bubble], one's own [bubble, Button].
//   3.9 picture  the same with the item's Name "[图片]"
//   3.9 time     ListItem, Name = the time; its one child a Text, Name = the time
//   4 items      no children and no sender: ListItems with the ClassName
//                "mmui::ChatTextItemView" (Name = the text), "mmui::ChatItemView" (a time
//                line, Name = the time) or "mmui::ChatImageItemView" (Name "图片")
// Every element but the root has the RuntimeId {UiaAppendRuntimeId (3), n}, n never reused in
// the process, and a BoundingRectangle in screen coordinates: items are rows of 40 pixels
// with the newest at the bottom of the client area (older ones may lie above the window).
// An item removed, and every element inside it, answers UIA_E_ELEMENTNOTAVAILABLE.
// A hang (kMsgHang, --hang-after-ms counted from the first WM_GETOBJECT, --hang-seconds at
// the first WM_GETOBJECT) also blocks every call into the tree.
#pragma once

namespace standin {

// Class of the top-level window and of the intermediate window of --nested.
constexpr wchar_t kWindowClass[] = L"SonviraStandinChat";
constexpr wchar_t kPaneClass[] = L"SonviraStandinPane";

// The length a --huge-length control reports: far beyond any real transcript.
constexpr unsigned long kHugeLength = 100ul * 1024ul * 1024ul;

// WM_COPYDATA sent to the top-level window; COPYDATASTRUCT::dwData says what the bytes are.
// The window answers TRUE when it took the data.
constexpr unsigned long kCopyAppendMessage = 0x53430001;  // ANSI bytes "nickname\nbody": appended
                                                          // with the current time of day
constexpr unsigned long kCopyAppendRaw = 0x53430002;      // ANSI bytes appended verbatim
constexpr unsigned long kCopySetTranscript = 0x53430003;  // ANSI bytes become the transcript
constexpr unsigned long kCopySetTitle = 0x53430004;       // UTF-16 title, no NUL needed
// WeChat modes only (refused otherwise):
constexpr unsigned long kCopyWeChatAppend = 0x53430005;  // UTF-16 "KIND\nSENDER\nTEXT", no NUL:
                                                         // an item appended. KIND: "friend",
                                                         // "own", "time" (TEXT is the time,
                                                         // SENDER is ignored), "picture" (a
                                                         // friend's), "own-picture". TEXT may
                                                         // hold any character, emoji too.
                                                         // In mode 4 SENDER is ignored.
constexpr unsigned long kCopyWeChatRemove = 0x53430006;  // 4 bytes, a DWORD index: that item
                                                         // removed (FALSE if there is none)
constexpr unsigned long kCopyWeChatDrop = 0x53430007;    // 4 bytes, a DWORD n: the oldest n
                                                         // items removed (fewer if fewer are left)

// A WeChat mode: its --wechat name, the top-level window's class and its default title.
struct WeChatMode {
    const wchar_t* name;
    const wchar_t* windowClass;
    const wchar_t* title;
};
constexpr WeChatMode kWeChatModes[] = {
    {L"3.9", L"ChatWnd", L"小鱼"},
    {L"3.9main", L"WeChatMainWndForPC", L"微信"},
    {L"4", L"Qt51514QWindowIcon", L"微信"},
    {L"none", L"ChatWnd", L"小鱼"},
};

// Window messages to the top-level window (WM_APP = 0x8000 and up).
constexpr unsigned kMsgBringToFront = 0x8101;  // send or post: the window comes to the front
constexpr unsigned kMsgHang = 0x8102;          // POST only: the window stops answering for
                                               // wParam milliseconds
constexpr unsigned kMsgRequestCount = 0x8103;  // send: how many text requests the transcript
                                               // control answered; wParam 0 = size requests
                                               // (size 0), 1 = reads (size > 0)

}  // namespace standin
