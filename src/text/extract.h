#pragma once

#include <functional>

#include "text.h"

namespace tarvelle::text {

// The text between the first `startMarker` found from `startPosition` on and
// the first `endMarker` after it; empty when either is missing. "#引号" in a
// marker stands for a double quote.
Text ExtractBetween(const Text& source, const Text& startMarker, const Text& endMarker,
                    int startPosition = 1, bool caseInsensitive = false);

// Collects every text between a start marker and the next end marker into
// `results` (emptied first), trimmed of spaces and wrapped in prefix and
// suffix; empty hits are skipped. A non-zero length limit drops hits of that
// length or more. Yields to the event loop three times per pair found, once
// more per kept-or-dropped hit under a length limit. Returns results' size.
int ExtractAllBetween(const Text& source, const Text& startMarker, const Text& endMarker,
                      TextArray& results, bool caseInsensitive = false, int lengthLimit = 0,
                      const Text& prefix = {}, const Text& suffix = {},
                      bool includeStartMarker = false, bool includeEndMarker = false,
                      int startPosition = 1);

// How ExtractAllBetween yields: the GUI installs its event pump here. With
// none installed, yielding does nothing.
void SetEventPump(std::function<void()> pump);

}  // namespace tarvelle::text
