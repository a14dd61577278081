#pragma once

#include "platform/window_layer.h"

class QPushButton;

namespace tarvelle::materials {

// The column of five buttons shown in the bottom-right corner after a post:
// each puts one of the article's materials on the clipboard, opens the body
// in the reader window, or brings the main window back.
class MaterialCopyWindow : public platform::LayerWindow {
    Q_OBJECT
public:
    MaterialCopyWindow();

    void created() override;

protected:
    void placeAgain() override;

private:
    void copyTitle();
    void copyCover();
    void copyBody();
    void copyVideo();
    void goBack();

    // Puts `material` on the clipboard and marks `button` as done, or tells
    // the user it failed.
    void copy(const text::Text& material, QPushButton* button, const char* doneCaption);

    QPushButton* m_title = nullptr;
    QPushButton* m_cover = nullptr;
    QPushButton* m_video = nullptr;
};

void RegisterMaterialCopyWindow();

}  // namespace tarvelle::materials
