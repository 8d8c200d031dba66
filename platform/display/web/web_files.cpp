// The program's working directory in the browser: an IndexedDB-backed folder, so that
// KELPA.SCR survives a reload. It is loaded before the program starts; the page writes it
// back whenever the script file has changed and is no longer open (see kelpaPage.fileCheck).
#include "web_display.h"

#include <emscripten.h>

namespace win32::web {

namespace {

// clang-format off
EM_ASYNC_JS(void, js_mount_files, (), {
    FS.mkdir("/kelpa");
    FS.mount(IDBFS, {}, "/kelpa");
    FS.chdir("/kelpa");
    await new Promise(resolve => FS.syncfs(true, err => {
        if (err)
            console.warn("could not load the saved files", err);
        resolve();
    }));
    kelpaPage.filesReady(FS, "/kelpa/KELPA.SCR");
});
// clang-format on

} // namespace

void mount_files() {
    js_mount_files();
}

} // namespace win32::web
