#include "app/browser.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QWebEngineCertificateError>

namespace tarvelle::app {

SilentPage::SilentPage(QObject* parent) : QWebEnginePage(parent) {
    connect(this, &QWebEnginePage::certificateError,
            [](QWebEngineCertificateError error) { error.rejectCertificate(); });
}

void SilentPage::javaScriptAlert(const QUrl&, const QString&) {}

bool SilentPage::javaScriptConfirm(const QUrl&, const QString& msg) {
    // Qt WebEngine asks a page's beforeunload question through confirm too;
    // leaving must not be refused without the user ever being asked.
    return msg ==
           QCoreApplication::translate(
               "QWebEnginePage",
               "Are you sure you want to leave this page? Changes that you made may not be saved.");
}

bool SilentPage::javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) {
    return false;
}

void SilentPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                          const QString&) {}

QStringList SilentPage::chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) {
    return {};
}

namespace {

// Stands in for a new window just long enough to learn its address.
class RelayPage : public QWebEnginePage {
public:
    RelayPage(QWebEnginePage* target)
        : QWebEnginePage(target->profile(), target), m_target(target) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override {
        if (isMainFrame && url.isValid() && url != QUrl("about:blank")) {
            m_target->load(url);
            deleteLater();
        }
        return false;
    }

private:
    QWebEnginePage* m_target;
};

}  // namespace

QWebEnginePage* SilentPage::createWindow(WebWindowType) { return new RelayPage(this); }

Browser::Browser(QWidget* parent) : QWebEngineView(parent) {
    setPage(new SilentPage(this));
    setAcceptDrops(true);
    watchChildren();
}

void Browser::navigate(const QString& address) { load(QUrl(address)); }

void Browser::watchChildren() {
    // The page is drawn by a child widget that receives the drag events.
    for (QWidget* child : findChildren<QWidget*>()) {
        child->removeEventFilter(this);
        child->installEventFilter(this);
    }
}

bool Browser::event(QEvent* e) {
    if (e->type() == QEvent::ChildAdded || e->type() == QEvent::ChildPolished) watchChildren();
    return QWebEngineView::event(e);
}

bool Browser::eventFilter(QObject* watched, QEvent* e) {
    // Drags that start inside a page carry a source; those stay the page's own.
    if (e->type() == QEvent::DragEnter || e->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDragMoveEvent*>(e);
        if (!drag->source() && drag->mimeData()->hasUrls()) {
            drag->acceptProposedAction();
            return true;
        }
    } else if (e->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(e);
        if (!drop->source() && drop->mimeData()->hasUrls() && !drop->mimeData()->urls().isEmpty()) {
            drop->acceptProposedAction();
            load(drop->mimeData()->urls().constFirst());
            return true;
        }
    }
    return QWebEngineView::eventFilter(watched, e);
}

}  // namespace tarvelle::app
