#pragma once

#include "text/text.h"

namespace tarvelle::http {

// Cookie lists are texts of entries separated by ";" (with or without a space
// after it); an entry is normally name=value.

// Merges `received` into `current`: received entries first, then held entries
// whose names were not received, without "=deleted" entries and exact repeats,
// separated by "; ". Both variables lose their spaces; `current` receives the
// merged list, which is also returned.
text::Text MergeCookies(text::Text& current, text::Text& received);

// The text before the first "=" (or the whole entry), trimmed of spaces.
text::Text CookieName(const text::Text& entry);

bool HasCookieName(const text::TextArray& entries, const text::Text& name);

// The pieces of `text` between separators, each kept at its first occurrence.
text::Text JoinDistinct(const text::Text& text, const text::Text& separator);

// 1-based index of the first element equal to `text`, or -1.
int IndexOfText(const text::TextArray& array, const text::Text& text);

}  // namespace tarvelle::http
