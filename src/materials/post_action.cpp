#include "materials/post_action.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>

#include "app/globals.h"
#include "app/portal.h"
#include "http/read_url.h"
#include "materials/materials.h"
#include "platform/files.h"
#include "platform/qt_text.h"
#include "platform/wait_cursor.h"
#include "platform/window_layer.h"

namespace tarvelle::materials {

void PostToPlatform() {
    // The video extraction lets other handlers run; a second press meanwhile
    // would mix two articles' materials, so it is let go.
    static bool running = false;
    if (running) return;
    running = true;
    struct Done {
        ~Done() { running = false; }
    } done;

    auto& globals = app::Globals();
    globals.ArticleTitle = {};
    globals.VideoUrl = {};
    globals.ArticleUrl = {};

    const QPointer<platform::LayerWindow> main = platform::LoadedWindow(platform::kMainWindow);
    if (!main) return;
    auto* addressBar = main->findChild<QLineEdit*>(QString::fromUtf8("编辑框地址栏"));
    const text::Text address = addressBar ? platform::FromQString(addressBar->text()) : "";

    ArticleMaterials found;
    Outcome outcome;
    {
        const platform::WaitCursor wait;
        const Io io{http::ReadUrlBytes, platform::WriteFileBytes};
        outcome = ExtractFromAddress(address, globals.CoverImagePath,
                                     app::MaterialHosts(app::Hosts()), io, found);
    }
    globals.ArticleUrl = found.articleUrl;
    globals.ArticleTitle = found.title;
    globals.VideoUrl = found.videoUrl;

    switch (outcome) {
        case Outcome::NotAnArticle:
            platform::ShowMessage(NotAnArticleMessage());
            return;
        case Outcome::CoverNotWritten:
            platform::ShowMessage(CoverNotWrittenMessage());
            return;
        case Outcome::Extracted:
            break;
    }
    // The user may have closed the main window while the frames were read.
    if (!main || !platform::IsWindowLoaded(platform::kMainWindow)) return;
    platform::ReloadWindow(platform::kMaterialCopyWindow);
    main->hide();
}

}  // namespace tarvelle::materials
