#pragma once
// The window's command line: OrvelleIndexGenerator [--help] [--version] [FILE]. FILE is opened as
// File > Import opens it, once the window is shown (the desktop entry passes a double-clicked file).

#include <QString>
#include <QStringList>

struct WindowCommandLine {
    QString datasetFile;  // empty: the window starts without a dataset
    bool exitNow = false; // help or version printed, or a usage error reported
    int exitCode = 0;     // when exitNow: 0 after help or version, 2 after a usage error

    // Reads the arguments left after the application object took Qt's own; prints help and version
    // on standard output, usage errors on standard error.
    static WindowCommandLine parse(const QStringList &arguments);
};
