#pragma once

namespace tarvelle::platform {

// Lets pending events of the GUI thread run, then returns.
void PumpEvents();

// Hands PumpEvents to the text toolkit, whose long extractions yield with it.
void InstallEventPump();

}  // namespace tarvelle::platform
