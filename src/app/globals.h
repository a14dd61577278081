#pragma once

#include "text/text.h"

namespace tarvelle::app {

// The process-wide texts through which the windows hand data to each other.
// All start empty; ReleaseGlobals empties them in this order at exit.
struct GlobalTexts {
    text::Text ListHot24hUrl;
    text::Text CoverImagePath;
    text::Text ListNewestUrl;
    text::Text ReaderUrl;
    text::Text PortalBase;
    text::Text VideoUrl;
    text::Text ListPopular7dUrl;
    text::Text ArticleTitle;
    text::Text ArticleUrl;
    text::Text ListTopMonthUrl;
    text::Text IdentityKey;
    text::Text KeyFilePath;
    text::Text VersionTag;
};

GlobalTexts& Globals();
void ReleaseGlobals();

}  // namespace tarvelle::app
