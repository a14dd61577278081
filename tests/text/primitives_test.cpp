#include "text/primitives.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>

#include "text/codepage.h"

namespace tarvelle::text {
namespace {

// Two GBK characters: 啊 = B0 A1, 吧 = B0 C9. The bytes "\xA1\xB0" stand across
// their boundary and must never match there.
const Text kAhBa = "\xB0\xA1\xB0\xC9";

struct FindCase {
    const char* name;
    Text text;
    Text sought;
    int start;
    bool caseInsensitive;
    int expected;
};

TEST(FindSubtext, Table) {
    const FindCase cases[] = {
        {"first", "abcabc", "c", 1, false, 3},
        {"from start", "abcabc", "c", 4, false, 6},
        {"start 0 is the first byte", "abcabc", "c", 0, false, 3},
        {"start -1 is the first byte", "abcabc", "c", -1, false, 3},
        {"start at the last byte", "abcabc", "c", 6, false, 6},
        {"start past the end", "abcabc", "c", 7, false, -1},
        {"missing", "abcabc", "x", 1, false, -1},
        {"longer than text", "ab", "abc", 1, false, -1},
        {"empty sought", "abc", "", 2, false, 1},
        {"empty sought past end", "abc", "", 4, false, -1},
        {"empty sought in empty text", "", "", 1, false, -1},
        {"empty text", "", "a", 1, false, -1},
        {"case differs", "<TITLE>x", "<title>", 1, false, -1},
        {"case folded", "<TITLE>x", "<title>", 1, true, 1},
        {"across a character boundary", kAhBa, "\xA1\xB0", 1, false, -1},
        {"second character", kAhBa, "\xB0\xC9", 1, false, 3},
        {"trail byte looks ASCII",
         "\x81"
         "AA",
         "A", 1, false, 3},
        {"trail byte folded with the span", "\x81\x41", "\x81\x61", 1, true, 1},
        {"trail byte not folded case-sensitively", "\x81\x41", "\x81\x61", 1, false, -1},
        {"lone lead byte at the end", "a\x81", "\x81", 1, false, -1},
        {"start inside a character", kAhBa, "\xB0", 2, false, 3},
        {"after ASCII the next byte starts", "\xB0\xB0z\xB0\xB0", "\xB0\xB0", 2, false, 4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindSubtext(c.text, c.sought, c.start, c.caseInsensitive), c.expected) << c.name;
    }
}

TEST(FindSubtext, LongRunsOfDoubleByteCharactersKeepTheirBoundaries) {
    // 3000 characters B0 B0, then "B0 41": the only boundary match of "B0 41"
    // is the last character, though "B0 B0" pairs are offered everywhere.
    std::string s;
    for (int i = 0; i < 3000; ++i) s += "\xB0\xB0";
    s += "\xB0"
         "A";
    EXPECT_EQ(FindSubtext(Text(s),
                          "\xB0"
                          "A"),
              6001);
    EXPECT_EQ(FindSubtext(Text(s), "\xB0\xB0", 2), 3);
    EXPECT_EQ(FindSubtext(Text("x" + s), "\xB0\xB0", 1), 2);
    // Case-insensitive search moves through several internal windows.
    std::string big(200000, 'x');
    big += "NeedLE";
    EXPECT_EQ(FindSubtext(Text(big), "needle", 1, true), 200001);
    EXPECT_EQ(FindSubtext(Text(big), "needle", 1, false), -1);
}

TEST(FindLastSubtext, Table) {
    struct Case {
        const char* name;
        Text text;
        Text sought;
        std::optional<int> start;
        int expected;
    };
    const Case cases[] = {
        {"whole text", "abcabc", "bc", std::nullopt, 5},
        {"within the first start - 1 bytes", "abcabc", "bc", 6, 2},
        {"ending exactly at the limit", "abcabc", "bc", 7, 5},
        {"start beyond the end", "abcabc", "bc", 100, 5},
        {"start 1", "abcabc", "a", 1, -1},
        {"start 0", "abcabc", "a", 0, -1},
        {"missing", "abcabc", "x", std::nullopt, -1},
        {"empty sought", "abc", "", 3, 1},
        {"empty sought, nothing searched", "", "", std::nullopt, -1},
        {"boundary", "\xB0\xA1\xB0\xA1", "\xA1\xB0", std::nullopt, -1},
        {"last of double-byte", "\xB0\xA1\xB0\xA1", "\xB0\xA1", std::nullopt, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindLastSubtext(c.text, c.sought, c.start), c.expected) << c.name;
    }
    EXPECT_EQ(FindLastSubtext("xAbxab", "AB", std::nullopt, true), 5);
}

TEST(Cutting, MiddleLeftRight) {
    EXPECT_EQ(MiddleOf("abc", 2, 10), Text("bc"));
    EXPECT_EQ(MiddleOf("abc", 1, 2), Text("ab"));
    EXPECT_EQ(MiddleOf("abc", 0, 2), Text());
    EXPECT_EQ(MiddleOf("abc", 4, 1), Text());
    EXPECT_EQ(MiddleOf("abc", 1, 0), Text());
    EXPECT_EQ(MiddleOf("abc", 1, -1), Text());
    EXPECT_EQ(MiddleOf("abc", INT_MAX, INT_MAX), Text());

    EXPECT_EQ(LeftOf("abc", 2), Text("ab"));
    EXPECT_EQ(LeftOf("abc", 9), Text("abc"));
    EXPECT_EQ(LeftOf("abc", 0), Text());
    EXPECT_EQ(LeftOf("abc", -5), Text());

    EXPECT_EQ(RightOf("abc", 2), Text("bc"));
    EXPECT_EQ(RightOf("abc", 9), Text("abc"));
    EXPECT_EQ(RightOf("abc", 0), Text());
    EXPECT_EQ(RightOf("abc", INT_MIN), Text());
}

TEST(SubstituteText, Table) {
    struct Case {
        const char* name;
        Text text, sought, replacement;
        int start, count;
        bool caseSensitive;
        Text expected;
    };
    const Case cases[] = {
        {"all", "a-b-c", "-", "+", 1, -1, true, "a+b+c"},
        {"deleting", "a-b-c", "-", "", 1, -1, true, "abc"},
        {"one", "a-b-c", "-", "+", 1, 1, true, "a+b-c"},
        {"count 0", "a-b-c", "-", "+", 1, 0, true, "a-b-c"},
        {"from start", "a-b-c", "-", "+", 3, -1, true, "a-b+c"},
        {"start below 1", "a-b", "-", "+", -3, -1, true, "a+b"},
        {"start beyond the end", "a-b", "-", "+", 4, -1, true, "a-b"},
        {"empty sought", "a-b", "", "+", 1, -1, true, "a-b"},
        {"empty text", "", "-", "+", 1, -1, true, ""},
        {"skipped whole", "aaa", "aa", "b", 1, -1, true, "ba"},
        {"replacement not rescanned", "aa", "a", "aa", 1, -1, true, "aaaa"},
        {"case folded", "xAbxab", "ab", "!", 1, -1, false, "x!x!"},
        {"case kept", "xAbxab", "ab", "!", 1, -1, true, "xAbx!"},
        {"not across characters", kAhBa, "\xA1\xB0", "!", 1, -1, true, kAhBa},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            SubstituteText(c.text, c.sought, c.replacement, c.start, c.count, c.caseSensitive),
            c.expected)
            << c.name;
    }
}

TEST(SplitByDelimiter, Table) {
    struct Case {
        const char* name;
        Text text, delimiter;
        std::optional<int> maximum;
        TextArray expected;
    };
    const Case cases[] = {
        {"plain", "a,b,c", ",", std::nullopt, {"a", "b", "c"}},
        {"trailing delimiter adds nothing", "a,b,", ",", std::nullopt, {"a", "b"}},
        {"leading delimiter adds an empty first", ",a", ",", std::nullopt, {"", "a"}},
        {"doubled delimiter", "a,,b", ",", std::nullopt, {"a", "", "b"}},
        {"only a delimiter", ",", ",", std::nullopt, {""}},
        {"maximum cuts the rest", "a,b,c", ",", 2, {"a", "b"}},
        {"maximum above the count", "a,b", ",", 5, {"a", "b"}},
        {"maximum 0", "a,b", ",", 0, {}},
        {"maximum negative", "a,b", ",", -1, {}},
        {"empty delimiter", "a,b", "", std::nullopt, {"a,b"}},
        {"empty text", "", ",", std::nullopt, {}},
        {"long delimiter", "a::b::", "::", std::nullopt, {"a", "b"}},
        {"only at boundaries", "\xB0\xA1\xB0\xA1", "\xA1\xB0", std::nullopt, {"\xB0\xA1\xB0\xA1"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitByDelimiter(c.text, c.delimiter, c.maximum), c.expected) << c.name;
    }
    EXPECT_EQ(SplitByDelimiter("x,y"), (TextArray{"x", "y"}));
}

TEST(Spaces, TrimAndStrip) {
    const Text wide = "\xA1\xA1";  // the full-width space
    EXPECT_EQ(TrimSpaces("  a b  "), Text("a b"));
    EXPECT_EQ(TrimSpaces(wide + "a" + wide), Text("a"));
    EXPECT_EQ(TrimSpaces("\ta\t"), Text("\ta\t"));
    EXPECT_EQ(TrimSpaces(" " + wide + " "), Text());
    EXPECT_EQ(TrimSpaces(""), Text());
    // A space that is the trail byte of a character stays.
    EXPECT_EQ(TrimSpaces("\x81 "), Text("\x81 "));
    // A0 A1 A1: the A1 A1 pair straddles a boundary and is no space.
    EXPECT_EQ(TrimSpaces("\xA0\xA1\xA1"), Text("\xA0\xA1\xA1"));

    EXPECT_EQ(StripSpaces(" a b" + wide + "c "), Text("abc"));
    EXPECT_EQ(StripSpaces("a\tb"), Text("a\tb"));
    EXPECT_EQ(StripSpaces("\x81 x"), Text("\x81 x"));
}

TEST(LowerAscii, LeavesDoubleByteCharactersAlone) {
    EXPECT_EQ(LowerAscii("HeLLo 1!"), Text("hello 1!"));
    EXPECT_EQ(LowerAscii("\x81\x41"
                         "A"),
              Text("\x81\x41"
                   "a"));
    EXPECT_EQ(LowerAscii(""), Text());
}

TEST(ParseLeadingInt, Table) {
    struct Case {
        Text text;
        int expected;
    };
    const Case cases[] = {
        {"42", 42},
        {"  42abc", 42},
        {"\t\r\n\v\f7", 7},
        {"-7", -7},
        {"+3", 3},
        {"- 3", 0},
        {"", 0},
        {"abc", 0},
        {"12.9", 12},
        {"\xA3\xAD\xA3\xB1\xA3\xB2", -12},  // full-width "－１２"
        {"\xA1\xA1\xA3\xB7", 7},            // full-width space, "７"
        {"1\xA3\xB2"
         "3",
         123},
        {"\xB0\xA1"
         "5",
         0},
        {"2147483647", INT_MAX},
        {"99999999999999999999", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-99999999999999999999", INT_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseLeadingInt(c.text), c.expected) << c.text.str();
}

TEST(TextModel, NulBytesAndComparison) {
    const Bytes withNul("ab\0cd", 5);
    EXPECT_EQ(TextFromBytes(withNul), Text("ab"));
    EXPECT_EQ(TextFromBytes(Bytes("abc")), Text("abc"));
    EXPECT_EQ(Text(std::string(withNul)).size(), 2);
    EXPECT_EQ(BytesFromText("abc"), Bytes("abc"));
    EXPECT_EQ(ByteLength("素材"_gbk), 4);

    EXPECT_EQ(Text(), Text(""));
    EXPECT_EQ(Text(nullptr), Text());
    EXPECT_LT(Text("a"), Text("\x80"));  // bytes compare unsigned
    EXPECT_LT(Text("ab"), Text("abc"));
    EXPECT_EQ(Text("ab") + "c" + Text(), Text("abc"));
}

}  // namespace
}  // namespace tarvelle::text
