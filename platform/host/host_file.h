// Opening a file by name without the surprises of special files, and writing a recording into
// it, on every host.
// Invariant: a stream is returned only for a regular file, and no open or write ever waits.
#pragma once

#include <cstddef>
#include <cstdio>

// Opens `name` as a text stream for reading. Anything but a regular file (a FIFO, a socket, a
// device, a directory) is left alone and gives null, as does any failure.
FILE *host_open_regular_file(const char *name);

// Opens `name` (created if missing) as a text stream that a recording writes, emptied first if
// `empty`. Every write lands at the file's end, whatever others did to the file meanwhile, and
// the file is held against a second recorder until the stream is closed: while another stream
// of this kind (in any process) holds it, the open gives null and the file is left untouched.
// Null as well for anything but a regular file and on any failure.
FILE *host_open_recording(const char *name, bool empty);

// Appends one line of `length` characters with a single write, or nothing at all: the part of
// a write that failed half-way (at a file-size limit, on a full disk) is taken back. False
// when the line was not written.
bool host_append_line(FILE *recording, const char *line, size_t length);

// False once `name` no longer names the file of `recording`: it was removed, renamed, or
// replaced by another file.
bool host_file_has_name(FILE *recording, const char *name);
