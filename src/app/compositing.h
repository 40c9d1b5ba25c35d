#pragma once
// Whether the window system can show translucent windows (a soft shadow).

namespace torvane::app {

// False on X11 without a compositing manager, where translucent pixels come
// out black; true on Wayland (always composited) and on platforms that draw
// into images (offscreen).
bool TranslucentWindowsShown();

}  // namespace torvane::app
