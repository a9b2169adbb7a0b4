#include "glewloader.h"

#include <GL/glew.h>

#include <mutex>

namespace
{
std::mutex &glewMutex()
{
    static std::mutex mutex;
    return mutex;
}
} // namespace

bool initGlewForCurrentContext(QString *message)
{
    std::lock_guard<std::mutex> lock(glewMutex());
    const GLenum code = glewInit();
    // Under EGL GLEW reports "no GLX display" yet has resolved every entry point.
    const bool usable =
        (code == GLEW_OK) || (code == GLEW_ERROR_NO_GLX_DISPLAY && glGenFramebuffersEXT != nullptr);
    if (!usable && message) {
        *message = QString::fromLatin1(reinterpret_cast<const char *>(glewGetErrorString(code)));
    }
    return usable;
}
