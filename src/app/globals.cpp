#include "app/globals.h"

namespace tarvelle::app {

GlobalTexts& Globals() {
    static GlobalTexts globals;
    return globals;
}

void ReleaseGlobals() {
    auto& g = Globals();
    for (text::Text* t :
         {&g.ListHot24hUrl, &g.CoverImagePath, &g.ListNewestUrl, &g.ReaderUrl, &g.PortalBase,
          &g.VideoUrl, &g.ListPopular7dUrl, &g.ArticleTitle, &g.ArticleUrl, &g.ListTopMonthUrl,
          &g.IdentityKey, &g.KeyFilePath, &g.VersionTag}) {
        *t = text::Text();
    }
}

}  // namespace tarvelle::app
