#pragma once
// `orvelle-index inspect FILE`: chooses the inspector by suffix, prints its JSON on stdout.

#include <QStringList>

// arguments: the whole command line (program, "inspect", ...). Returns the exit status:
// 0 read succeeded, 1 read failed or unknown file kind, 2 usage error.
int runInspect(const QStringList &arguments);
