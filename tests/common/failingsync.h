#pragma once
// Syncs to disk that fail on demand, the way a failing disk makes them fail. This program's own
// fsync and syncfs come before the C library's for the code linked into it, so no hook is needed
// in the writers. Include in one file of a test program only (the functions are defined here).

#include <cerrno>
#include <dlfcn.h>
#include <unistd.h> // declared first: the definitions below then take its declarations

namespace failingsync
{
// When not 0, fsync (one file) or syncfs (a whole file system) fails with this error.
inline int fileError = 0;
inline int fileSystemError = 0;
} // namespace failingsync

extern "C" int fsync(int fd)
{
    if (failingsync::fileError != 0) {
        errno = failingsync::fileError;
        return -1;
    }
    static const auto systemSync = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
    return systemSync(fd);
}

extern "C" int syncfs(int fd)
{
    if (failingsync::fileSystemError != 0) {
        errno = failingsync::fileSystemError;
        return -1;
    }
    static const auto systemSync = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "syncfs"));
    return systemSync(fd);
}
