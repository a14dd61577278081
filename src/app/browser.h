#pragma once

#include <QWebEnginePage>
#include <QWebEngineView>

namespace tarvelle::app {

// A page that never puts up a dialog of its own: alerts, confirms, prompts,
// file choosers and certificate questions are all answered quietly.
class SilentPage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit SilentPage(QObject* parent = nullptr);

protected:
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                          const QString& defaultValue, QString* result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceID) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override;
    // Links meant for a new window open in this one.
    QWebEnginePage* createWindow(WebWindowType type) override;
};

// The browser control of the tool's windows: silent, without a border, and
// opening a link or file dropped on it from outside the tool.
class Browser : public QWebEngineView {
    Q_OBJECT
public:
    explicit Browser(QWidget* parent = nullptr);

    // Starts a navigation to the address exactly as given, even an empty one.
    void navigate(const QString& address);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void watchChildren();
};

}  // namespace tarvelle::app
