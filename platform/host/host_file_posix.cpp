// Regular-file opens on POSIX hosts: the type is checked on the descriptor that was opened,
// so a name replaced between a check and the open cannot slip through.
// Invariant: no descriptor outlives a refused open.
#include "host_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FILE *host_open_regular_file(const char *name, bool for_writing) {
    // A FIFO opened without O_NONBLOCK waits for its peer; with it, the open returns at once
    // (or fails for a writer without a reader). No O_TRUNC: only a regular file is emptied.
    const int flags = (for_writing ? O_WRONLY | O_CREAT : O_RDONLY) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    const int fd = open(name, flags, 0666);
    if (fd < 0)
        return nullptr;
    struct stat info;
    const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    const int status = fcntl(fd, F_GETFL);
    if (!regular || (for_writing && ftruncate(fd, 0) != 0) || status < 0 ||
        fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
        close(fd);
        return nullptr;
    }
    FILE *file = fdopen(fd, for_writing ? "w" : "r");
    if (!file)
        close(fd);
    return file;
}
