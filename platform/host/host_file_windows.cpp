// Regular-file opens on Windows: text-mode streams of the C runtime, kept only when the
// handle underneath is a file on disk (not a console, a pipe or another device).
// Invariant: no stream outlives a refused open.
#include "host_file.h"

#include <windows.h>

#include <io.h>

FILE *host_open_regular_file(const char *name, bool for_writing) {
    FILE *file = fopen(name, for_writing ? "wt" : "rt");
    if (!file)
        return nullptr;
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    if (handle == INVALID_HANDLE_VALUE || GetFileType(handle) != FILE_TYPE_DISK) {
        fclose(file);
        return nullptr;
    }
    return file;
}
