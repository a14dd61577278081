#pragma once

#include <optional>

#include "text.h"

namespace tarvelle::text {

// The primitive operations on texts. None of them fails: positions and counts
// out of range give the empty text, an empty array or -1.
//
// Matching starts only at character boundaries, counted from the first byte
// of the text: a byte >= 0x80 is a lead byte and takes the next byte with it.
// Case-insensitive matching folds the ASCII letters only, byte by byte.

int ByteLength(const Text& text);

// Position of the first occurrence of `sought` at or after `start`, or -1.
// A start below 1 searches the whole text. An empty `sought` gives 1 when the
// searched part is not empty.
int FindSubtext(const Text& text, const Text& sought, int start = 1, bool caseInsensitive = false);

// Position of the last occurrence lying wholly within the first start - 1
// bytes, or within the whole text when no start is given; -1 when none.
int FindLastSubtext(const Text& text, const Text& sought, std::optional<int> start = std::nullopt,
                    bool caseInsensitive = false);

Text MiddleOf(const Text& text, int start, int count);
Text LeftOf(const Text& text, int count);
Text RightOf(const Text& text, int count);

// Replaces up to `count` occurrences (negative: all) from `start` on.
Text SubstituteText(const Text& text, const Text& sought, const Text& replacement = {},
                    int start = 1, int count = -1, bool caseSensitive = true);

// Each delimiter ends one element; a non-empty rest becomes the last one.
// With a maximum, scanning stops when that many elements are made.
TextArray SplitByDelimiter(const Text& text, const Text& delimiter = ",",
                           std::optional<int> maximumCount = std::nullopt);

// Spaces are 0x20 and the full-width space 0xA1 0xA1.
Text TrimSpaces(const Text& text);
Text StripSpaces(const Text& text);

Text LowerAscii(const Text& text);

// Reads full-width characters as half-width ones, skips leading white space
// and takes a sign and decimal digits. Saturates at the int range.
int ParseLeadingInt(const Text& text);

Text TextFromBytes(const Bytes& bytes);
Text TextFromBytes(Bytes&& bytes);  // takes the buffer over
Bytes BytesFromText(const Text& text);

}  // namespace tarvelle::text
