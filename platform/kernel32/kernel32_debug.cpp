// KERNEL32 OutputDebugStringA: a string for whoever debugs the program. The display may take
// it (the browser's console, a test's hook); otherwise it goes to the file that the
// environment variable KELPA_DEBUG_OUTPUT names, the host's stand-in for a debugger attached
// to the process. With neither, the string goes nowhere, as on Windows with no debugger.
#include "display.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using namespace win32;

namespace {

// Opened at the first string and kept for the life of the process; -1: no such file.
int debug_file() {
    static const int fd = [] {
        const char *path = std::getenv("KELPA_DEBUG_OUTPUT");
        return path && *path ? open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
    }();
    return fd;
}

} // namespace

void WINAPI OutputDebugStringA(LPCSTR text) {
    if (!text)
        return;
    if (display().debug_output) {
        display().debug_output(text);
        return;
    }
    const int fd = debug_file();
    if (fd < 0)
        return;
    // One write a string, so strings from several processes sharing the file stay whole.
    const size_t length = std::strlen(text);
    size_t written = 0;
    while (written < length) {
        const ssize_t n = write(fd, text + written, length - written);
        if (n <= 0)
            return;
        written += static_cast<size_t>(n);
    }
}
