#pragma once

namespace tarvelle::app {

// Dresses every window of the tool in the skin of that number; a number
// without a skin takes the plain look.
void InstallSkin(int index);

}  // namespace tarvelle::app
