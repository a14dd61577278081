#include "platform/event_pump.h"

#include <QCoreApplication>

#include "text/extract.h"

namespace tarvelle::platform {

void PumpEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void InstallEventPump() { text::SetEventPump(&PumpEvents); }

}  // namespace tarvelle::platform
