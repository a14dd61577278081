#include "materials/copy_window.h"

#include <QLineEdit>
#include <QPushButton>

#include "app/globals.h"
#include "platform/clipboard.h"
#include "platform/placement.h"
#include "platform/qt_text.h"
#include "text/codepage.h"

namespace tarvelle::materials {

using app::Globals;
using text::operator""_gbk;

MaterialCopyWindow::MaterialCopyWindow()
    : LayerWindow(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(platform::kMaterialCopyWindow);
    setWindowTitle(QString::fromUtf8("素材复制"));
    setFixedSize(72, 120);

    auto addButton = [this](const char* name, const char* caption, int top, auto handler) {
        auto* button = new QPushButton(QString::fromUtf8(caption), this);
        button->setObjectName(QString::fromUtf8(name));
        button->setGeometry(0, top, 72, 24);
        connect(button, &QPushButton::clicked, this, handler);
        return button;
    };
    m_title = addButton("按钮复制标题", "复制标题", 0, &MaterialCopyWindow::copyTitle);
    m_cover = addButton("按钮复制图片", "复制封面图", 24, &MaterialCopyWindow::copyCover);
    addButton("按钮复制正文", "复制正文", 48, &MaterialCopyWindow::copyBody);
    m_video = addButton("按钮复制视频", "复制视频", 72, &MaterialCopyWindow::copyVideo);
    addButton("按钮返回", "返回", 96, &MaterialCopyWindow::goBack);
}

void MaterialCopyWindow::created() { platform::PlaceMaterialCopyWindow(this); }

void MaterialCopyWindow::placeAgain() { platform::PlaceMaterialCopyWindow(this); }

void MaterialCopyWindow::copy(const text::Text& material, QPushButton* button,
                              const char* doneCaption) {
    if (platform::SetClipboardText(material)) {
        button->setText(QString::fromUtf8(doneCaption));
    } else {
        platform::ShowMessage("复制失败，请重试"_gbk);
    }
}

void MaterialCopyWindow::copyTitle() {
    if (Globals().ArticleTitle.empty()) {
        platform::ShowMessage("没有标题，复制失败"_gbk);
        return;
    }
    copy(Globals().ArticleTitle, m_title, "标题已复制");
}

void MaterialCopyWindow::copyCover() { copy(Globals().CoverImagePath, m_cover, "图片已复制"); }

void MaterialCopyWindow::copyVideo() {
    if (Globals().VideoUrl.empty()) {
        platform::ShowMessage("没有视频，复制失败"_gbk);
        return;
    }
    copy(Globals().VideoUrl, m_video, "视频已复制");
}

void MaterialCopyWindow::copyBody() {
    // The page the user had open, which the hidden main window still shows.
    text::Text address;
    if (QWidget* main = platform::LoadedWindow(platform::kMainWindow)) {
        if (auto* bar = main->findChild<QLineEdit*>(QString::fromUtf8("编辑框地址栏"))) {
            address = platform::FromQString(bar->text());
        }
    }
    Globals().ReaderUrl = address;
    platform::ReloadWindow(platform::kReaderWindow);
}

void MaterialCopyWindow::goBack() {
    if (QWidget* main = platform::LoadedWindow(platform::kMainWindow)) main->show();
    platform::UnloadWindow(platform::kMaterialCopyWindow);
}

void RegisterMaterialCopyWindow() {
    platform::RegisterWindow(platform::kMaterialCopyWindow, [] { return new MaterialCopyWindow; });
}

}  // namespace tarvelle::materials
