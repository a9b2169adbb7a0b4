#pragma once
// Whether a program that opens windows or draws with OpenGL has a display. Without one the
// toolkit's platform plugin aborts the program; these let it say "No display" and exit instead.

#include <QString>

namespace DisplayAccess
{

// A display is named: DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM is set.
bool named();
// Call before the application object: a display that is named but cannot be opened (no server
// behind DISPLAY) then gives a platform without windows instead of an abort.
void allowFallback();
// Call after: the application reached a display.
bool reached();

// Prints "<program>: No display" and what to do on stderr; returns the exit code, 1.
int refuse(const char *program);

} // namespace DisplayAccess
