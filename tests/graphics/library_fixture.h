// A fresh process for every library test: the Win32 subset reset on the headless display,
// the library's globals back to their values at load, and (for most tests) the library started.
#pragma once

#include "kelpa_private.h"
#include "win32_audit.h"
#include "win32_headless.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

// The lines of the message log, oldest first, as the ring holds them (newlines included).
inline std::vector<std::string> log_lines() {
    std::vector<std::string> lines;
    if (message_log.log_first < 0)
        return lines;
    int i = message_log.log_first;
    do {
        const char *text = static_cast<const char *>(GlobalLock(message_log.log_lines[i]));
        lines.emplace_back(text ? text : "");
        GlobalUnlock(message_log.log_lines[i]);
        i = (i + 1) % LOG_SLOTS;
    } while (i != message_log.log_next);
    return lines;
}

class FreshLibrary : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::reset();
        library_state = LibraryState{};
        message_log = MessageLog{};
    }
    // What the process entry stores before the program runs: an instance and the show mode.
    static void enter_process() {
        static int instance_tag;
        library_state.instance = reinterpret_cast<HINSTANCE>(&instance_tag);
        library_state.show_mode = SW_SHOWDEFAULT;
    }
};

class StartedLibrary : public FreshLibrary {
  protected:
    void SetUp() override {
        FreshLibrary::SetUp();
        enter_process();
        ASSERT_EQ(kelpa_startup(), 1);
    }
};

// Dispatches every message already queued (paints included), as the pump would, but never
// presents the frame itself. False when it met (and consumed) the quit message.
inline bool dispatch_pending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            return false;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

// A started library whose working directory is a fresh, empty directory for the test, so
// "KELPA.SCR" never lands in the source or build tree. The script file is closed afterwards.
class StartedLibraryInTempDir : public StartedLibrary {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/kelpa_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_);
        StartedLibrary::SetUp();
    }
    void TearDown() override {
        script_close();
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    std::filesystem::path dir_;
    std::filesystem::path previous_;
};
