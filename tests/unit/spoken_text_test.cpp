// What is spoken for a message: the reading options, then the filters in their order (mute,
// links, repeats, the length cut), counted in GBK characters. The log's side is the
// watcher's test; here only the text that reaches the voice.
#include <gtest/gtest.h>

#include "capture/spoken_text.h"
#include "support/iconv_codepage.h"

namespace {

std::string G(const std::string& utf8) { return Utf8ToGbk(utf8); }

struct Gbk : ILeadBytes {
    bool IsLeadByte(unsigned char c) const override { return c >= 0x81 && c <= 0xFE; }
};

TEST(SpokenText, FiltersChangeOnlyTheBodyInTheirOrder) {
    const SpeechFilters off;
    SpeechFilters links, squeeze, cut10, all;
    links.noLinks = squeeze.squeeze = all.noLinks = all.squeeze = true;
    cut10.maxLength = all.maxLength = 10;
    all.mute = G(" 机器人 ；bot;;");
    SpeechFilters euro, wide, trail;
    euro.mute = "\x80;" + G("小鱼");   // "€" is the one byte 80 in 936
    wide.mute = G("老王；　小鱼　");
    trail.mute = G("埃华");            // B0 A3 BB AA: A3 BB, one byte off, is "；"
    const std::string ten = G("一二三四五六七八九十");
    struct Case {
        const char* what;
        const SpeechFilters& filters;
        bool message, name;
        std::string sender, body, spoken;  // "-": nothing is spoken
    } cases[] = {
        {"every option off", off, true, true, "Ann", G("看 www.A.cn 哈哈哈哈哈"), G("Ann说：看 www.A.cn 哈哈哈哈哈")},
        {"off, body only", off, true, false, "Ann", "hi", "hi"},
        {"off, name only", off, false, true, "Ann", "hi", G("Ann说：")},
        {"off, nothing", off, false, false, "Ann", "hi", "-"},
        {"link at the start", links, true, false, "", "HTTPS://x.cn/a?b=1 ok", G("链接 ok")},
        {"link at the end", links, true, false, "", "see ftp://h/f", G("see 链接")},
        {"links inside Chinese", links, true, false, "", G("看Www.a.cn呀和http://b/c"), G("看链接呀和链接")},
        {"not a link", links, true, false, "", "http:/x wwwx", "http:/x wwwx"},
        {"repeats of double-byte characters", squeeze, true, false, "", G("哈哈哈哈哈哈哈"), G("哈哈哈")},
        {"repeats of ASCII", squeeze, true, false, "", "!!!!!!ok...", "!!!ok..."},
        {"three stay three", squeeze, true, false, "", G("呵呵呵!!!"), G("呵呵呵!!!")},
        {"exactly N characters", cut10, true, false, "", ten, ten},
        {"N+1 characters", cut10, true, false, "", ten + "x", ten + G("，以下省略")},
        {"a cut never splits a character", cut10, true, false, "", "123456789" + G("汉字"),
         "123456789" + G("汉，以下省略")},
        {"muted with extra blanks", all, true, true, G("  机器人 "), "hi", "-"},
        {"muted, name only", all, false, true, "bot", "hi", "-"},
        {"a name inside another is no match", all, true, false, "bots", "hi", "hi"},
        {"a byte from 80 up need not lead", euro, true, true, G("小鱼"), "hi", "-"},
        {"full-width spaces are blanks", wide, true, true, G("小鱼"), "hi", "-"},
        {"a trail byte and the next lead byte are no semicolon", trail, true, true, G("埃华"), "hi", "-"},
        {"links go before repeats", all, true, false, "", "wwww.a.cn", G("w链接")},
        {"the link does not count against the limit", all, true, true, G("小鱼"),
         G("哈哈哈哈哈 http://a.very.long/link/indeed 好"), G("小鱼说：哈哈哈 链接 好")},
    };
    for (const auto& c : cases) {
        const auto said = SpokenText(c.filters, Gbk(), c.message, c.name, c.sender, c.body);
        EXPECT_EQ(said.value_or("-"), c.spoken) << c.what;
    }
    const std::pair<int, int> bounds[] = {{-5, 0}, {0, 0}, {1, 10}, {9, 10}, {10, 10}, {1000, 1000}, {1001, 1000}};
    for (const auto& [stored, taken] : bounds) EXPECT_EQ(ClampMaxLength(stored), taken) << stored;
    const std::pair<std::string, int> typed[] = {{" 20 ", 20}, {G("　２０"), 20}, {"99999999999", 1000},
                                                 {"2147483648", 1000}, {"5", 10}, {"", 0}, {"-5", 0}, {"2x", 0}};
    for (const auto& [text, taken] : typed) EXPECT_EQ(ParseMaxLength(text), taken) << text;
}

}  // namespace
