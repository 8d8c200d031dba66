// The script file on the host's own files, for Windows (under Wine) and POSIX alike: a
// recording and another program's recording never write into one file, and a file moved
// while it is recorded either cannot move (Windows keeps a file in use in place) or is
// noticed, the later lines going to a new file of the name. Library headers only.
#include "kelpa_private.h"
#include "library_process.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

#ifdef _WIN32
constexpr bool recorded_files_can_move = false;
#else
constexpr bool recorded_files_can_move = true;
#endif

// Another program writing KELPA.SCR: on Windows any writer, as share modes keep writers
// apart; on POSIX hosts another recorder, which takes the advisory lock.
class OtherRecorder {
  public:
    OtherRecorder() {
#ifdef _WIN32
        file_ = fopen("KELPA.SCR", "at");
#else
        const int fd = open("KELPA.SCR", O_WRONLY | O_CREAT | O_APPEND, 0666);
        if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0)
            file_ = fdopen(fd, "a");
        else if (fd >= 0)
            close(fd);
#endif
    }
    ~OtherRecorder() {
        if (file_)
            fclose(file_);
    }
    bool holds() const {
        return file_ != nullptr;
    }

  private:
    FILE *file_ = nullptr;
};

std::string read_text(const char *name) {
    std::ifstream in(name); // text mode: CR LF reads as a newline on Windows
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> logged() {
    std::vector<std::string> lines;
    for (int i = message_log.log_first; i >= 0;) {
        lines.emplace_back(static_cast<const char *>(GlobalLock(message_log.log_lines[i])));
        GlobalUnlock(message_log.log_lines[i]);
        i = (i + 1) % LOG_SLOTS;
        if (i == message_log.log_next)
            break;
    }
    return lines;
}

} // namespace

// A library without windows, in an empty working directory of its own.
class ScriptFileOnHostTest : public ::testing::Test {
  protected:
    void SetUp() override {
        start_library_process();
        previous_ = std::filesystem::current_path();
        dir_ = std::filesystem::temp_directory_path() /
               ("kelpa_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                "_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        std::filesystem::create_directory(dir_);
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        script_close();
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    std::filesystem::path dir_, previous_;
};

TEST_F(ScriptFileOnHostTest, ARecordingAndAnotherProgramsNeverShareTheFile) {
    std::ofstream("KELPA.SCR") << "KELPA_KBD(1);\n";
    {
        const OtherRecorder other;
        ASSERT_TRUE(other.holds());
        run_command(IDM_RECORD);
        script_write_event(KELPA_MOUSE, 1, 2, 0);
        EXPECT_EQ(logged(), std::vector<std::string>{"Cannot open script file KELPA.SCR for writing\n"});
        EXPECT_EQ(read_text("KELPA.SCR"), "KELPA_KBD(1);\n");
        run_command(IDM_RECORD);
    }
    run_command(IDM_RECORD);
    script_write_event(KELPA_MOUSE, 3, -4, 0);
    EXPECT_FALSE(OtherRecorder().holds());
    script_write_event(KELPA_KBD, 0, 0, 'i');
    run_command(IDM_RECORD);
    EXPECT_EQ(read_text("KELPA.SCR"), "KELPA_MOUSE(3, -4);\nKELPA_KBD(105);\n");
    EXPECT_TRUE(OtherRecorder().holds()); // released when the recording stopped
    EXPECT_EQ(logged().size(), 1u);
}

TEST_F(ScriptFileOnHostTest, AFileMovedWhileRecordedIsNoticedOrStaysInPlace) {
    run_command(IDM_RECORD);
    script_write_event(KELPA_MOUSE, 1, 1, 0);
    std::error_code error;
    std::filesystem::rename("KELPA.SCR", "OLD.SCR", error);
    script_write_event(KELPA_MOUSE, 2, 2, 0);
    run_command(IDM_RECORD);
    ASSERT_EQ(!error, recorded_files_can_move) << error.message();
    if (recorded_files_can_move) {
        EXPECT_EQ(logged(), std::vector<std::string>{"Cannot write script file KELPA.SCR\n"});
        EXPECT_EQ(read_text("OLD.SCR"), "KELPA_MOUSE(1, 1);\n");
        EXPECT_EQ(read_text("KELPA.SCR"), "KELPA_MOUSE(2, 2);\n");
    } else {
        EXPECT_TRUE(logged().empty());
        EXPECT_EQ(read_text("KELPA.SCR"), "KELPA_MOUSE(1, 1);\nKELPA_MOUSE(2, 2);\n");
    }
}
