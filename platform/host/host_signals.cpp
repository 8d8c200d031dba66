// SIGTERM, SIGHUP and SIGINT become a flag and a byte in a pipe; nothing else is safe in a
// handler.
// Invariant: the pipe holds a byte exactly while a request has not been taken.
#include "host_signals.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace win32 {

namespace {

volatile sig_atomic_t requested = 0;
int wake_pipe[2] = {-1, -1};

void on_signal(int) {
    int saved = errno;
    if (!requested) {
        requested = 1;
        char byte = 1;
        ssize_t ignored = write(wake_pipe[1], &byte, 1);
        (void)ignored;
    }
    errno = saved;
}

} // namespace

void catch_termination_signals() {
    if (wake_pipe[0] < 0) {
        if (pipe(wake_pipe) != 0)
            return;
        for (int fd : wake_pipe) {
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
            fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
    }
    struct sigaction sa = {};
    sa.sa_handler = on_signal;
    sigemptyset(&sa.sa_mask);
    // A program that no longer pumps messages still ends at the second Ctrl+C.
    sa.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    signal(SIGXFSZ, SIG_IGN);
}

bool take_termination_request() {
    if (!requested)
        return false;
    requested = 0;
    char drain[16];
    while (read(wake_pipe[0], drain, sizeof drain) > 0) {
    }
    return true;
}

int termination_fd() {
    return wake_pipe[0];
}

} // namespace win32
