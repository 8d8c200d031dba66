// Requests to terminate from the host (SIGTERM and SIGHUP when a desktop logs out or the
// terminal closes, SIGINT for Ctrl+C in a terminal). The handler only records the request and
// wakes a waiting display; the message pump turns it into the close of every top-level
// window, so the program ends as it would when the user closes its windows.
#pragma once

namespace win32 {

// Installs the handlers; a second signal of the same kind ends the process at once. Also
// ignores SIGXFSZ, so a file-size limit fails a write (EFBIG) as a full disk does instead of
// ending the process.
void catch_termination_signals();
// True once for each request that arrived since the last call.
bool take_termination_request();
// Readable while a request waits: a display that blocks in poll() includes it. -1 before
// catch_termination_signals.
int termination_fd();

} // namespace win32
