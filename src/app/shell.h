#pragma once

namespace tarvelle::app {

// Registers MainWindow and ReaderWindow with the window layer.
void RegisterShellWindows();

// Releases the global texts; registered to run once when the program ends.
void ExitRoutine();

// The whole program: start-up, message loop, end. Returns 0.
int RunProgram();

}  // namespace tarvelle::app
