// The chat window probe against a scripted window tree: which titles are chat titles, which
// window chain is followed to the transcript, how every missing piece and implausible answer
// ends in the empty string, and how a silent window ends in no reading at all.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "capture/chat_probe.h"
#include "common/chat_windows.h"
#include "support/iconv_codepage.h"

namespace {

std::string G(const std::string& utf8) { return Utf8ToGbk(utf8); }

// A chat window as the messenger builds it: title, "#32770" child, "RichEdit20A" under it.
struct ChatWindow {
    FakeChatWindows windows;
    IconvCodePage codePage;
    WindowRef top, dialog, control;

    explicit ChatWindow(const std::string& titleUtf8 = "小鱼 - 交谈中",
                        const std::string& transcriptUtf8 = "小鱼  16:20:30\r\n你好\r\n") {
        top = windows.Add(0, "SomeChatFrame", G(titleUtf8));
        dialog = windows.Add(top, "#32770");
        control = windows.Add(dialog, "RichEdit20A");
        windows.At(control).text = G(transcriptUtf8);
        windows.front = top;
    }
    ChatReading Read() { return GetChatText(windows); }
};

// Every marker as the user sees it, written independently of the probe's byte constants.
const char* const kMarkersUtf8[] = {
    "聊天中", "交谈中", "发送消息", "查看消息", "Chatting with", "Send Message", "View message",
    "發送消息", "交談中", "－ 群", "－ 企业", "Group －", "临时会话 －", "in Session with", "会话中",
};

TEST(ChatTitle, EveryMarkerMakesAChatTitleInBothTests) {
    IconvCodePage cp;
    for (const char* m : kMarkersUtf8) {
        for (const std::string& title : {std::string(m), "小鱼 " + std::string(m) + " (12345)"}) {
            SCOPED_TRACE(title);
            EXPECT_TRUE(TitleHasChatMarkerBytes(G(title)));
            EXPECT_TRUE(TitleHasChatMarker(cp.AnsiToUtf16(G(title))));
        }
    }
}

TEST(ChatTitle, NearMissesAreNotChatTitles) {
    IconvCodePage cp;
    const char* const cases[] = {
        "",
        "send message",        // the words of marker 6 in lower case
        "SEND MESSAGE",
        "View Message",        // marker 7 with a capital M
        "view message",
        "chatting with Bob",
        "In Session With Bob",
        "in session with Bob",
        "小鱼 - 群",            // ASCII hyphen-minus in place of the full-width dash
        "小鱼 －群",            // no space
        "小鱼 －  群",          // two spaces
        "小鱼 群 －",           // the space on the wrong side
        "Group－ 小鱼",         // space on the wrong side of the dash
        "Group - 小鱼",
        "临时会话－",
        "临时会话 - 小鱼",
        "交谈",
        "聊天",
        "消息",
        "Sonvira",
        "小鱼 - 交淡中",        // one character off
    };
    for (const char* c : cases) {
        SCOPED_TRACE(c);
        EXPECT_FALSE(TitleHasChatMarkerBytes(G(c)));
        EXPECT_FALSE(TitleHasChatMarker(cp.AnsiToUtf16(G(c))));
    }
}

TEST(ChatTitle, ByteTestAcceptsAMatchAcrossCharacterBoundaries) {
    // "敖惶钢小" in GBK is B0 BD | BB CC | B8 D6 | D0 A1: the bytes of "交谈中" (BD BB CC B8 D6 D0)
    // sit inside it across four characters. Only the byte test sees them.
    const std::string title = "\xb0\xbd\xbb\xcc\xb8\xd6\xd0\xa1";
    ASSERT_EQ(title, G("敖惶钢小"));
    IconvCodePage cp;
    EXPECT_TRUE(TitleHasChatMarkerBytes(title));
    EXPECT_FALSE(TitleHasChatMarker(cp.AnsiToUtf16(title)));
}

TEST(ChatTitle, UnderAnotherCodePageOnlyTheWideTestKnowsChineseMarkers) {
    IconvCodePage big5("BIG5");
    const std::string chinese = big5.Utf16ToAnsi(u"小魚 - 交談中");
    EXPECT_TRUE(TitleHasChatMarker(big5.AnsiToUtf16(chinese)));
    EXPECT_FALSE(TitleHasChatMarkerBytes(chinese));
    const std::string english = big5.Utf16ToAnsi(u"Chatting with 小魚");
    EXPECT_TRUE(TitleHasChatMarker(big5.AnsiToUtf16(english)));
    EXPECT_TRUE(TitleHasChatMarkerBytes(english));
}

TEST(GetChatText, ReturnsTheWholeTranscriptUntrimmed) {
    ChatWindow w("小鱼 - 交谈中", "  \r\n小鱼  16:20:30\r\n你好\r\n我  16:21:00\r\n在吗？\r\n\r\n");
    EXPECT_EQ(w.Read(), G("  \r\n小鱼  16:20:30\r\n你好\r\n我  16:21:00\r\n在吗？\r\n\r\n"));
    EXPECT_EQ(w.windows.readLength, w.windows.At(w.control).text.size());
}

TEST(GetChatText, ReadsWhateverMarkerTheTitleHas) {
    for (const char* m : kMarkersUtf8) {
        ChatWindow w(std::string("Bob ") + m);
        SCOPED_TRACE(m);
        EXPECT_EQ(w.Read(), G("小鱼  16:20:30\r\n你好\r\n"));
    }
}

TEST(GetChatText, TitleWithoutMarkerIsNotRead) {
    ChatWindow w("小鱼 - 记事本");
    EXPECT_EQ(w.Read(), "");
    EXPECT_EQ(w.windows.findCalls, 0) << "a window that is not a chat window must not be searched";
    EXPECT_EQ(w.windows.lengthCalls, 0);
}

TEST(GetChatText, NoForegroundWindowYieldsNothing) {
    ChatWindow w;
    w.windows.front = 0;
    EXPECT_EQ(w.Read(), "");
    EXPECT_EQ(w.windows.lengthCalls, 0);
}

TEST(GetChatText, MarkerBeyondTheTitleBufferDoesNotCount) {
    // 260 bytes of padding: the marker starts after byte 254 and is cut away.
    for (bool serviceCuts : {true, false}) {
        ChatWindow w(std::string(260, 'x') + "Chatting with");
        w.windows.cutTitles = serviceCuts;
        EXPECT_EQ(w.Read(), "") << "service cuts titles: " << serviceCuts;
    }
    // A marker that straddles byte 254 is cut in half.
    ChatWindow straddle(std::string(250, 'x') + "Chatting with");
    EXPECT_EQ(straddle.Read(), "");
    // One that ends exactly at byte 254 still counts.
    ChatWindow fits(std::string(254 - 13, 'x') + "Chatting with" + std::string(40, 'y'));
    EXPECT_NE(fits.Read(), "");
}

TEST(GetChatText, WindowChainFaultsYieldNothing) {
    struct Case {
        const char* name;
        void (*shape)(FakeChatWindows& fw, WindowRef top, const std::string& text);
        bool found;
    } cases[] = {
        {"transcript control straight under the top window, no #32770",
         [](FakeChatWindows& fw, WindowRef top, const std::string& text) {
             fw.At(fw.Add(top, "RichEdit20A")).text = text;
         },
         false},
        {"#32770 without a transcript control",
         [](FakeChatWindows& fw, WindowRef top, const std::string&) { fw.Add(fw.Add(top, "#32770"), "Edit"); },
         false},
        {"transcript control one level below the #32770",
         [](FakeChatWindows& fw, WindowRef top, const std::string& text) {
             WindowRef pane = fw.Add(fw.Add(top, "#32770"), "Pane");
             fw.At(fw.Add(pane, "RichEdit20A")).text = text;
         },
         false},
        {"#32770 one level below the top window",
         [](FakeChatWindows& fw, WindowRef top, const std::string& text) {
             WindowRef pane = fw.Add(top, "Pane");
             fw.At(fw.Add(fw.Add(pane, "#32770"), "RichEdit20A")).text = text;
         },
         false},
        {"only the first #32770 is looked into",
         [](FakeChatWindows& fw, WindowRef top, const std::string& text) {
             fw.Add(top, "#32770");
             fw.At(fw.Add(fw.Add(top, "#32770"), "RichEdit20A")).text = text;
         },
         false},
        {"other children before the chain do not matter",
         [](FakeChatWindows& fw, WindowRef top, const std::string& text) {
             fw.Add(top, "Button");
             WindowRef dialog = fw.Add(top, "#32770");
             fw.Add(dialog, "Static");
             fw.At(fw.Add(dialog, "RichEdit20A")).text = text;
         },
         true},
        {"a differently named rich edit is not the transcript",
         [](FakeChatWindows& fw, WindowRef top, const std::string& text) {
             fw.At(fw.Add(fw.Add(top, "#32770"), "RichEdit20W")).text = text;
         },
         false},
    };
    const std::string transcript = G("小鱼  16:20:30\r\n你好\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeChatWindows fw;
        fw.front = fw.Add(0, "Frame", G("小鱼 - 交谈中"));
        c.shape(fw, fw.front, transcript);
        EXPECT_EQ(GetChatText(fw), c.found ? transcript : "");
    }
}

TEST(GetChatText, FirstOfSeveralTranscriptControlsIsRead) {
    ChatWindow w;
    w.windows.At(w.windows.Add(w.dialog, "RichEdit20A")).text = "later: control";
    EXPECT_EQ(w.Read(), G("小鱼  16:20:30\r\n你好\r\n"));
}

TEST(GetChatText, TextContentRules) {
    struct Case {
        const char* transcriptUtf8;
        bool kept;
    } cases[] = {
        {"", false},
        {"\r\n", false},                                  // no colon at all
        {"小鱼  16：20：30\r\n你好", false},               // full-width colons only
        {"小鱼  16：20：30\r\n看 http://x", true},         // one ASCII colon anywhere is enough
        {":", true},
        {"no time here", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.transcriptUtf8);
        ChatWindow w("小鱼 - 交谈中", c.transcriptUtf8);
        EXPECT_EQ(w.Read(), c.kept ? G(c.transcriptUtf8) : "");
    }
    // A GBK lead byte with no valid trail byte after it does not hide the colon that follows.
    for (const std::string gbk : {"Bob  16\x81:20", "\xfe:"}) {
        ChatWindow w;
        w.windows.At(w.control).text = gbk;
        EXPECT_EQ(w.Read(), gbk);
    }
}

TEST(GetChatText, TextEndsAtTheReportedLength) {
    ChatWindow shortLength;
    shortLength.windows.At(shortLength.control).reportedSet = true;
    shortLength.windows.At(shortLength.control).reported = 9;  // "小鱼  16:" is 9 bytes
    EXPECT_EQ(shortLength.Read(), G("小鱼  16:"));
}

// A control whose answer counts more than reached the reader (Wine stops at the NUL and
// fills the rest itself) gives the text up to the NUL and none of the bytes after it.
TEST(GetChatText, OnlyBytesTheControlSentAreKept) {
    const std::string sent("A  12:00:00\r\nfront\0back f\r\n", 27);
    std::string out;
    ASSERT_TRUE(TakeGetTextAnswer(sent.size(), out, [&](char* buffer, std::size_t, std::size_t& count) {
        std::memcpy(buffer, sent.c_str(), std::strlen(sent.c_str()) + 1);
        std::memset(buffer + std::strlen(sent.c_str()) + 1, '?', sent.size() - std::strlen(sent.c_str()) - 1);
        return (count = sent.size()) > 0;
    }));
    EXPECT_EQ(out, "A  12:00:00\r\nfront");
}

TEST(GetChatText, ZeroLengthAnswerYieldsNothing) {
    ChatWindow w;
    w.windows.At(w.control).reportedSet = true;
    w.windows.At(w.control).reported = 0;
    EXPECT_EQ(w.Read(), "");
}

// Only a control that did not answer gives no reading at all; every other way of finding
// nothing (the tests around this one) is an answer of "".
TEST(GetChatText, SilentControlGivesNoReading) {
    ChatWindow atLength;
    atLength.windows.At(atLength.control).answerLength = false;
    EXPECT_FALSE(atLength.Read().has_value()) << "no answer is not an empty transcript";
    EXPECT_EQ(atLength.windows.readCalls, 0) << "no read after the size request went unanswered";

    ChatWindow atRead;
    atRead.windows.At(atRead.control).answerRead = false;
    EXPECT_FALSE(atRead.Read().has_value());
    EXPECT_EQ(atRead.windows.readCalls, 1);
}

TEST(GetChatText, ImplausibleLengthIsNotBelieved) {
    struct Case {
        std::size_t reported;
        bool read;
    } cases[] = {
        {kMaxTranscriptBytes, true},
        {kMaxTranscriptBytes + 1, false},
        {0x7fffffffu, false},
        {static_cast<std::size_t>(-1), false},  // a control answering -1
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reported);
        ChatWindow w;
        w.windows.At(w.control).reportedSet = true;
        w.windows.At(w.control).reported = c.reported;
        ChatReading got = w.Read();
        EXPECT_EQ(w.windows.readCalls, c.read ? 1 : 0);
        EXPECT_EQ(got, c.read ? G("小鱼  16:20:30\r\n你好\r\n") : "");
    }
}

TEST(UpdateChatTitle, StoresTheEightBitTitleOfAChatWindow) {
    ChatWindow w("小鱼(12345) - 交谈中");
    std::string title;
    UpdateChatTitle(w.windows, w.codePage, title);
    EXPECT_EQ(title, G("小鱼(12345) - 交谈中"));
}

TEST(UpdateChatTitle, KeepsTheLastChatTitleWhenTheForegroundChanges) {
    ChatWindow w("小鱼 - 交谈中");
    WindowRef other = w.windows.Add(0, "Notepad", G("无标题 - 记事本"));
    WindowRef nextChat = w.windows.Add(0, "Frame", G("Chatting with Bob"));
    std::string title;
    UpdateChatTitle(w.windows, w.codePage, title);
    w.windows.front = other;
    UpdateChatTitle(w.windows, w.codePage, title);
    EXPECT_EQ(title, G("小鱼 - 交谈中"));
    w.windows.front = 0;
    UpdateChatTitle(w.windows, w.codePage, title);
    EXPECT_EQ(title, G("小鱼 - 交谈中"));
    w.windows.front = nextChat;
    UpdateChatTitle(w.windows, w.codePage, title);
    EXPECT_EQ(title, "Chatting with Bob");
}

TEST(UpdateChatTitle, NeedsNoTranscriptChain) {
    FakeChatWindows fw;
    IconvCodePage cp;
    fw.front = fw.Add(0, "Frame", "Chatting with Bob");
    std::string title = "before";
    UpdateChatTitle(fw, cp, title);
    EXPECT_EQ(title, "Chatting with Bob");
    EXPECT_EQ(GetChatText(fw), "");
    EXPECT_EQ(fw.lengthCalls, 0);
}

TEST(UpdateChatTitle, LongTitlesAreCutToTheBuffer) {
    for (bool serviceCuts : {true, false}) {
        SCOPED_TRACE(serviceCuts);
        // 300 bytes, the marker starting after byte 254: not a chat title.
        ChatWindow late(std::string(270, 'x') + "交谈中" + std::string(24, 'z'));
        late.windows.cutTitles = serviceCuts;
        std::string title = "kept";
        UpdateChatTitle(late.windows, late.codePage, title);
        EXPECT_EQ(title, "kept");

        // A long chat title is kept as its first 254 bytes.
        const std::string full = G("小鱼 - 交谈中 ") + std::string(300, 'a');
        ChatWindow longChat;
        longChat.windows.At(longChat.top).title = full;
        longChat.windows.cutTitles = serviceCuts;
        UpdateChatTitle(longChat.windows, longChat.codePage, title);
        EXPECT_EQ(title, full.substr(0, 254));
    }
}

TEST(UpdateChatTitle, UsesTheWideTestNotTheByteTest) {
    // Four characters whose GBK bytes hide "交谈中" across their boundaries: the transcript
    // reader accepts the title, the title timer does not.
    ChatWindow w("敖惶钢小");
    std::string title = "kept";
    UpdateChatTitle(w.windows, w.codePage, title);
    EXPECT_EQ(title, "kept");
    EXPECT_EQ(w.Read(), G("小鱼  16:20:30\r\n你好\r\n"));

    // Under a Big5 system a Traditional chat title is known by its UTF-16 text.
    FakeChatWindows fw;
    IconvCodePage big5("BIG5");
    fw.front = fw.Add(0, "Frame", big5.Utf16ToAnsi(u"小魚 - 交談中"));
    UpdateChatTitle(fw, big5, title);
    EXPECT_EQ(title, big5.Utf16ToAnsi(u"小魚 - 交談中"));
}

}  // namespace
