#include "platform/files.h"

#include <QFile>

#include <sys/stat.h>

#include <cstdio>

namespace files {

namespace {

// The process's umask, read where the system shows it; asked of the system
// only where it does not, which sets it for a moment.
mode_t userUmask()
{
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        unsigned value = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, f))
            found = std::sscanf(line, "Umask: %o", &value) == 1;
        std::fclose(f);
        if (found)
            return mode_t(value);
    }
    const mode_t m = ::umask(0);
    ::umask(m);
    return m;
}

}  // namespace

bool takeNewFileMode(const QString& path)
{
    return ::chmod(QFile::encodeName(path).constData(), 0666 & ~userUmask()) == 0;
}

}  // namespace files
