#include "http/version_check.h"

#include "http/request_page.h"
#include "text/primitives.h"

namespace tarvelle::http {

namespace {

// The status of the response's first line; 0 when there is none.
int statusOf(const text::Text& responseHeaders) {
    const int space = text::FindSubtext(responseHeaders, " ");
    return space == -1 ? 0 : text::ParseLeadingInt(text::MiddleOf(responseHeaders, space + 1, 3));
}

}  // namespace

bool CheckForNewVersion(const text::Text& portalBase, const text::Text& versionTag) {
    PageRequest request;
    request.url = portalBase + "/plus/view.php?aid=1602";
    const text::Text page = text::TextFromBytes(RequestPage(request));

    // An unread page, an error page or one without a title says nothing
    // about versions.
    const int status = statusOf(request.responseHeaders);
    if (status < 200 || status > 299) return false;
    const int open = text::FindSubtext(page, "<title>", 1, true);
    if (open == -1) return false;
    const int start = open + 7;
    const int close = text::FindSubtext(page, "</title>", start, true);
    if (close == -1) return false;
    const text::Text title = text::MiddleOf(page, start, close - start);
    return text::FindSubtext(title, versionTag) == -1;
}

}  // namespace tarvelle::http
