#pragma once

#include <cstddef>
#include <optional>

#include "text.h"

namespace tarvelle::text {

// The code page the tool's texts are in, on every platform.
inline constexpr int kAnsiCodePage = 936;
inline constexpr int kUtf8CodePage = 65001;

// UTF-8 text to code page 936, as Windows converts it: U+20AC becomes 0x80,
// a character 936 lacks becomes "?" (one per UTF-16 unit, so "??" for one
// beyond the BMP), invalid UTF-8 becomes "?" and the text around it survives.
Text Utf8ToGbk(const Text& utf8);

// `text` read in `codePage` (default UTF-8; 0 is the ANSI code page) as a
// UTF-16LE buffer: the units, a zero unit and zero padding up to twice the
// unit count the text has in the ANSI code page. Unknown code page: empty.
Bytes MultiByteToWideText(const Text& text, std::optional<int> codePage = std::nullopt);

// A UTF-16LE buffer, read up to its first zero unit, in `codePage` (default
// the ANSI code page). Unknown code page: empty.
Text WideTextToMultiByte(const Bytes& wide, std::optional<int> codePage = std::nullopt);

// 936 text to UTF-8, for the edges where texts leave the tool (widgets,
// clipboard, file names, standard output). The inverse of Utf8ToGbk on
// everything 936 can hold.
std::string GbkToUtf8(const Text& gbk);

// A UTF-8 literal as a 936 text: u8-free spelling of the tool's own strings.
inline Text operator""_gbk(const char* s, std::size_t n) {
    return Utf8ToGbk(Text(std::string_view(s, n)));
}

}  // namespace tarvelle::text
