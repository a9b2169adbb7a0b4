#pragma once
// `orvelle-index render INPUT -o OUT.png [--shot N] [--size WxH]`: one shot's view as the viewer
// shows it, drawn off-screen.

#include <QStringList>

// arguments: the whole command line (program, "render", ...). withDisplay: the application object
// can make OpenGL contexts. Returns 0 when the picture was written, 1 on failure, 2 on a usage error.
int runRender(const QStringList &arguments, bool withDisplay);
