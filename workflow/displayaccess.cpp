#include "displayaccess.h"

#include <QGuiApplication>

#include <cstdio>

namespace DisplayAccess
{

namespace
{
const char *const NoWindowPlatform = "minimal";
}

bool named()
{
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (!qEnvironmentVariableIsEmpty(name))
            return true;
    return false;
}

void allowFallback()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM",
                QByteArray(qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? "xcb;" : "wayland;xcb;") +
                    NoWindowPlatform);
}

bool reached()
{
    return QGuiApplication::platformName() != QLatin1String(NoWindowPlatform);
}

int refuse(const char *program)
{
    std::fprintf(
        stderr, "%s: No display: the window needs one (set DISPLAY, or run the program under xvfb-run -a).\n",
        program);
    return 1;
}

} // namespace DisplayAccess
