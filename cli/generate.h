#pragma once
// `orvelle-index generate INPUT [options]`: the whole preparation and the index file, headless.

#include <QStringList>

// arguments: the whole command line (program, "generate", ...). withDisplay: the application
// object is a QGuiApplication able to make OpenGL contexts. Returns the exit status: 0 the index
// was written, 1 a step failed, 2 usage error.
int runGenerate(const QStringList &arguments, bool withDisplay);
