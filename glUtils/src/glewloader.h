#ifndef GLUTILS_GLEWLOADER_H
#define GLUTILS_GLEWLOADER_H

#include <QString>

// Loads the GL entry points for the context current on the calling thread.
// GLEW keeps its function pointers in process-wide variables, so calls from
// several threads are serialised by one mutex. Returns false and fills
// `message` with GLEW's error text when the entry points could not be loaded. GLEW's "no GLX display"
// code (seen with an EGL context) is not fatal: the entry points are loaded.
bool initGlewForCurrentContext(QString *message);

#endif
