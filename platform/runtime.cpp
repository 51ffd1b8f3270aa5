#include "platform/runtime.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

namespace vx {

namespace {
EndHandler& endHandler() {
    static EndHandler handler;
    return handler;
}
} // namespace

RuntimeOptions& runtimeOptions() {
    static RuntimeOptions options;
    return options;
}

void pumpEvents() {
    if (!runtimeOptions().batch && QCoreApplication::instance())
        QCoreApplication::processEvents();
}

void setPointer(Pointer p) {
    if (runtimeOptions().batch || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    if (p == Pointer::Hourglass)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else if (p == Pointer::ArrowHourglass)
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
}

void setEndHandler(EndHandler handler) {
    endHandler() = std::move(handler);
}

void endProgram(int status) {
    if (endHandler())
        endHandler()(status);
    std::fflush(nullptr);
    std::exit(status);
}

} // namespace vx
