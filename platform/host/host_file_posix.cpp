// Regular-file opens and recordings on POSIX hosts: the type is checked on the descriptor that
// was opened, so a name replaced between a check and the open cannot slip through; a
// recording is an O_APPEND descriptor under an advisory lock (flock).
// Invariant: no descriptor outlives a refused open, and a refused recording never empties or
// writes the file.
#include "host_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The descriptor of a regular file `name`, opened with `flags` and then made blocking, or -1.
// A FIFO opened without O_NONBLOCK waits for its peer; with it, the open returns at once (or
// fails for a writer without a reader).
int open_regular(const char *name, int flags) {
    const int fd = open(name, flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0)
        return -1;
    struct stat info;
    const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    const int status = fcntl(fd, F_GETFL);
    if (!regular || status < 0 || fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

FILE *stream_of(int fd, const char *mode) {
    FILE *file = fd >= 0 ? fdopen(fd, mode) : nullptr;
    if (!file && fd >= 0)
        close(fd);
    return file;
}

} // namespace

FILE *host_open_regular_file(const char *name) {
    return stream_of(open_regular(name, O_RDONLY), "r");
}

FILE *host_open_recording(const char *name, bool empty) {
    // No O_TRUNC: only a regular file is emptied, and only under the lock, so a second
    // recorder that is refused has not emptied the first one's file.
    const int fd = open_regular(name, O_WRONLY | O_CREAT | O_APPEND);
    if (fd < 0)
        return nullptr;
    // Only another holder refuses the open; a file system without locks still records.
    const bool held_elsewhere = flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    if (held_elsewhere || (empty && ftruncate(fd, 0) != 0)) {
        close(fd);
        return nullptr;
    }
    return stream_of(fd, "a");
}

bool host_append_line(FILE *recording, const char *line, size_t length) {
    const int fd = fileno(recording);
    size_t written = 0;
    while (written < length) {
        const ssize_t n = write(fd, line + written, length - written);
        if (n > 0)
            written += static_cast<size_t>(n);
        else if (n < 0 && errno == EINTR)
            continue;
        else
            break;
    }
    if (written == length)
        return true;
    // A write stopped short at the limit: the file ends where the part written ends (append
    // mode), so cutting that part off leaves whole lines only.
    const off_t end = lseek(fd, 0, SEEK_CUR);
    if (written > 0 && end >= static_cast<off_t>(written)) {
        const int ignored = ftruncate(fd, end - static_cast<off_t>(written));
        (void)ignored;
    }
    return false;
}

bool host_file_has_name(FILE *recording, const char *name) {
    struct stat open_file, named;
    return fstat(fileno(recording), &open_file) == 0 && open_file.st_nlink > 0 && stat(name, &named) == 0 &&
           named.st_dev == open_file.st_dev && named.st_ino == open_file.st_ino;
}
