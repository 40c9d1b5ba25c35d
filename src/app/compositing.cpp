#include "app/compositing.h"

#include <QGuiApplication>
#include <string>

// Xlib's macros (None, Bool, Status) must come after every Qt header.
#include <X11/Xlib.h>

namespace torvane::app {

bool TranslucentWindowsShown() {
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) return true;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 ? x11->display() : nullptr;
    if (display == nullptr) return false;
    // A compositing manager owns this selection while it runs (EWMH).
    const std::string selection = "_NET_WM_CM_S" + std::to_string(DefaultScreen(display));
    const Atom atom = XInternAtom(display, selection.c_str(), False);
    return XGetSelectionOwner(display, atom) != None;
}

}  // namespace torvane::app
