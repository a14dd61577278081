#include "text/codepage.h"

#include <gtest/gtest.h>

namespace tarvelle::text {
namespace {

TEST(Utf8ToGbk, Table) {
    struct Case {
        const char* name;
        Text utf8;
        Text gbk;
    };
    const Case cases[] = {
        {"Chinese", "素材复制", "\xCB\xD8\xB2\xC4\xB8\xB4\xD6\xC6"},
        {"ASCII unchanged", "<html> a=1&b=\"2\";\r\n", "<html> a=1&b=\"2\";\r\n"},
        {"euro sign is 0x80", "5€", "5\x80"},
        {"full-width forms", "（１）", "\xA3\xA8\xA3\xB1\xA3\xA9"},
        {"empty", "", ""},
        {"unmappable", "a\u0E01b", "a?b"},
        {"beyond the BMP, one ? per UTF-16 unit", "a\U0001F600b", "a??b"},
        {"invalid byte in the middle",
         "素\xFF"
         "材",
         "\xCB\xD8?\xB2\xC4"},
        {"lone continuation byte", "a\x80z", "a?z"},
        {"truncated sequence at the end", "素\xE6\x9D", "\xCB\xD8?"},
        {"encoded surrogate", "a\xED\xA0\x80z", "a???z"},
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk) << c.name;
}

TEST(Utf8ToGbk, LiteralOperatorAndWayBack) {
    EXPECT_EQ("复制失败，请重试"_gbk, Utf8ToGbk("复制失败，请重试"));
    EXPECT_EQ(GbkToUtf8("复制失败，请重试€"_gbk), "复制失败，请重试€");
    EXPECT_EQ(GbkToUtf8(""), "");
}

TEST(WideText, SizedByTheAnsiReading) {
    // "素" is E7 B4 A0 in UTF-8. Read in 936 that is two characters (the
    // last one a lone lead byte), so three units are reserved; read as UTF-8
    // it is one unit: U+7D20.
    const Bytes wide = MultiByteToWideText("素");
    EXPECT_EQ(wide, Bytes("\x20\x7D\0\0\0\0", 6));
    EXPECT_EQ(MultiByteToWideText("\xCB\xD8", 936), Bytes("\x20\x7D\0\0", 4));
    EXPECT_EQ(MultiByteToWideText("\xCB\xD8", 0), Bytes("\x20\x7D\0\0", 4));
    EXPECT_EQ(MultiByteToWideText("ab"), Bytes("a\0b\0\0\0", 6));
    EXPECT_EQ(MultiByteToWideText(""), Bytes("\0\0", 2));
    EXPECT_EQ(MultiByteToWideText("ab", 4711), Bytes("\0\0\0\0\0\0", 6));

    EXPECT_EQ(WideTextToMultiByte(wide), Text("\xCB\xD8"));
    EXPECT_EQ(WideTextToMultiByte(wide, 65001), Text("素"));
    EXPECT_EQ(WideTextToMultiByte(Bytes("a\0\0\0b\0", 6)), Text("a"));  // stops at a zero unit
    EXPECT_EQ(WideTextToMultiByte(Bytes("a\0b", 3)), Text("a"));        // odd byte ignored
    EXPECT_EQ(WideTextToMultiByte(Bytes()), Text());
    EXPECT_EQ(WideTextToMultiByte(Bytes("a\0", 2), 4711), Text());
}

TEST(WideText, TheTwoStepsAgreeWithTheDirectConversion) {
    const Text samples[] = {"素材复制 abc €", "a\U0001F600b\u0E01", "x\xFFy\xE6\x9D"};
    for (const auto& s : samples) {
        EXPECT_EQ(WideTextToMultiByte(MultiByteToWideText(s), 936), Utf8ToGbk(s)) << s.str();
    }
}

}  // namespace
}  // namespace tarvelle::text
