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

// Window messages to the top-level window (WM_APP = 0x8000 and up).
constexpr unsigned kMsgBringToFront = 0x8101;  // send or post: the window comes to the front
constexpr unsigned kMsgHang = 0x8102;          // POST only: the window stops answering for
                                               // wParam milliseconds
constexpr unsigned kMsgRequestCount = 0x8103;  // send: how many text requests the transcript
                                               // control answered; wParam 0 = size requests
                                               // (size 0), 1 = reads (size > 0)

}  // namespace standin
