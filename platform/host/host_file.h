// Opening a file by name without the surprises of special files, on every host.
// Invariant: a stream is returned only for a regular file, and the open never waits.
#pragma once

#include <cstdio>

// Opens `name` as a text stream for reading, or for writing (created, or emptied if it
// exists). Anything but a regular file (a FIFO, a socket, a device, a directory) is left
// alone and gives null, as does any failure.
FILE *host_open_regular_file(const char *name, bool for_writing);
