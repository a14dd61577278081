#include "app/http_bridge.h"

#include <QApplication>
#include <QWebEngineProfile>

#include <QDateTime>
#include <QNetworkCookie>
#include <QWebEngineCookieStore>

#include "http/cookie_store.h"
#include "http/version_check.h"
#include "platform/wait_cursor.h"

namespace tarvelle::app {

namespace {

http::StoredCookie fromBrowser(const QNetworkCookie& c) {
    http::StoredCookie s;
    s.name = c.name().toStdString();
    s.value = c.value().toStdString();
    std::string domain = c.domain().toStdString();
    s.hostOnly = domain.empty() || domain.front() != '.';
    if (!s.hostOnly) domain.erase(0, 1);
    s.domain = domain;
    s.path = c.path().isEmpty() ? "/" : c.path().toStdString();
    s.secure = c.isSecure();
    s.httpOnly = c.isHttpOnly();
    s.expires = c.isSessionCookie() ? 0 : c.expirationDate().toSecsSinceEpoch();
    return s;
}

QNetworkCookie toBrowser(const http::StoredCookie& s, QUrl* origin) {
    QNetworkCookie c(QByteArray::fromStdString(s.name), QByteArray::fromStdString(s.value));
    if (!s.hostOnly) c.setDomain(QString::fromStdString("." + s.domain));
    c.setPath(QString::fromStdString(s.path.empty() ? std::string("/") : s.path));
    c.setSecure(s.secure);
    c.setHttpOnly(s.httpOnly);
    if (s.expires != 0) c.setExpirationDate(QDateTime::fromSecsSinceEpoch(s.expires));
    *origin = QUrl(QString::fromStdString((s.secure ? "https://" : "http://") + s.domain + "/"));
    return c;
}

}  // namespace

bool NewVersionAnnounced(const text::Text& portalBase, const text::Text& versionTag) {
    const platform::WaitCursor wait;
    return http::CheckForNewVersion(portalBase, versionTag);
}

void StartCookieSync(QWebEngineProfile* profile) {
    static bool started = false;
    if (!profile || started) return;
    started = true;
    QWebEngineCookieStore* browserStore = profile->cookieStore();
    auto& shared = http::CookieStore::shared();
    QObject::connect(
        browserStore, &QWebEngineCookieStore::cookieAdded,
        [](const QNetworkCookie& c) { http::CookieStore::shared().set(fromBrowser(c)); });
    QObject::connect(
        browserStore, &QWebEngineCookieStore::cookieRemoved,
        [](const QNetworkCookie& c) { http::CookieStore::shared().remove(fromBrowser(c)); });
    shared.setListener([browserStore](const http::StoredCookie& s, bool removed) {
        QUrl origin;
        const QNetworkCookie c = toBrowser(s, &origin);
        if (removed) {
            browserStore->deleteCookie(c, origin);
        } else {
            browserStore->setCookie(c, origin);
        }
    });
    browserStore->loadAllCookies();
}

}  // namespace tarvelle::app
