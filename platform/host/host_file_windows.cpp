// Regular-file opens and recordings on Windows: text-mode streams of the C runtime, kept only
// when the handle underneath is a file on disk (not a console, a pipe or another device).
// A recording is opened in append mode with a share mode that denies writing to everyone
// else (_SH_DENYWR). That share mode is the lock: it is taken by the open itself, before the
// file is emptied; a second recorder's open fails, as does any other program's open for
// writing, while readers (a playback elsewhere) still read. A byte-range lock (LockFileEx)
// would instead be mandatory and fail those readers. Without FILE_SHARE_DELETE the file
// cannot be renamed or removed while it is recorded either.
// Invariant: no stream outlives a refused open, and a refused recording never empties or
// writes the file.
#include "host_file.h"

#include <windows.h>

#include <io.h>
#include <share.h>

namespace {

bool on_disk(FILE *file) {
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    return handle != INVALID_HANDLE_VALUE && GetFileType(handle) == FILE_TYPE_DISK;
}

FILE *kept_on_disk(FILE *file) {
    if (file && !on_disk(file)) {
        fclose(file);
        return nullptr;
    }
    return file;
}

} // namespace

FILE *host_open_regular_file(const char *name) {
    return kept_on_disk(fopen(name, "rt"));
}

FILE *host_open_recording(const char *name, bool empty) {
    FILE *file = kept_on_disk(_fsopen(name, "at", _SH_DENYWR));
    if (file && empty && _chsize_s(_fileno(file), 0) != 0) {
        fclose(file);
        return nullptr;
    }
    return file;
}

bool host_append_line(FILE *recording, const char *line, size_t length) {
    // _write turns each newline into CR LF and, in append mode, moves to the end first.
    const int fd = _fileno(recording);
    const __int64 before = _filelengthi64(fd);
    if (_write(fd, line, static_cast<unsigned>(length)) == static_cast<int>(length))
        return true;
    if (before >= 0)
        _chsize_s(fd, before);
    return false;
}

bool host_file_has_name(FILE *recording, const char *name) {
    BY_HANDLE_FILE_INFORMATION open_file, named;
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(recording)));
    if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &open_file) ||
        open_file.nNumberOfLinks == 0)
        return false;
    // Attributes only: no conflict with the recording's share mode.
    const HANDLE by_name =
        CreateFileA(name, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (by_name == INVALID_HANDLE_VALUE)
        return false;
    const bool same = GetFileInformationByHandle(by_name, &named) &&
                      named.dwVolumeSerialNumber == open_file.dwVolumeSerialNumber &&
                      named.nFileIndexHigh == open_file.nFileIndexHigh &&
                      named.nFileIndexLow == open_file.nFileIndexLow;
    CloseHandle(by_name);
    return same;
}
