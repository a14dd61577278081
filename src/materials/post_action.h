#pragma once

namespace tarvelle::materials {

// The post button of the main window: resolves and extracts the article
// behind the address bar, writes the cover beside the program, then swaps
// the main window for a fresh material copy window.
void PostToPlatform();

}  // namespace tarvelle::materials
