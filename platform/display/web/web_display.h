// What the browser display's files share. The page (web_shell.html) owns the canvases and
// the queue of host input; C++ reaches it only through the EM_JS calls declared in these
// files, and the page never calls into the program (it may be suspended in a wait).
#pragma once

#include <windows.h>

namespace win32::web {

// web_input.cpp: hands every input event the page has queued to the input API.
void pump_events();

// web_files.cpp: the working directory lives in the browser's IndexedDB; mounted and
// loaded before the program starts.
void mount_files();
// web_files.cpp: a script file chosen on the page is waiting; ends what uses KELPA.SCR and
// has the page put the file in its place.
void load_script_file();

} // namespace win32::web
