#pragma once

#include <QLabel>
#include <QLineEdit>
#include <functional>

#include "platform/window_layer.h"

class QFrame;
class QPushButton;

namespace tarvelle::app {

class Browser;

// Handlers of controls whose actions live in other parts of the tool. Whoever
// wires the program sets them before the main window is loaded; an unset
// handler does nothing.
struct MainWindowHooks {
    std::function<void()> postClicked;       // 按钮发到公众平台
    std::function<void()> qrClicked;         // 按钮二维码
    std::function<void()> qrPicturePressed;  // 图片框1, left button
};
MainWindowHooks& mainWindowHooks();

// The address bar: a double click empties it.
class AddressBar : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// A picture box that reports a press of the left button.
class PictureBox : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void leftButtonPressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

class MainWindow : public platform::LayerWindow {
    Q_OBJECT
public:
    MainWindow();

    void created() override;          // the start-up sequence
    void willBeDestroyed() override;  // the shutdown step

    Browser* browser() const { return m_browser; }
    AddressBar* addressBar() const { return m_addressBar; }

public slots:
    void goBack();
    void goToAddressBar();
    void openList(int list);
    void openInfoPage(int aid);
    void followBrowser();

protected:
    void placeAgain() override;

private:
    QPushButton* makeButton(QWidget* parent, const char* name, const char* caption, QRect geometry,
                            int boldPixelHeight = 0);

    AddressBar* m_addressBar = nullptr;
    Browser* m_browser = nullptr;
    PictureBox* m_qrPicture = nullptr;
    QFrame* m_panel = nullptr;
};

}  // namespace tarvelle::app
