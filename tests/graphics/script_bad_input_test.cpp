// Malformed script files, one table row each, played back on a running program: every row
// ends playback with its message (or silently) after the events it yields, and a click made
// after the playback still arrives as a live KELPA_MOUSE. Script names that are no regular
// file are refused, for playback and for recording, without ever blocking.
#include "delivered_event.h"
#include "library_fixture.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <unistd.h>

#include <climits>
#include <fstream>

namespace {

// While it lives, the calling thread's effective capabilities lack those that let root read
// any file (DAC override and read-search), so permission bits hold for root too; the library
// opens the script on this thread. ok() is false where the capabilities cannot be changed.
class FilePermissionsApply {
  public:
    FilePermissionsApply() {
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        if (syscall(SYS_capget, &header_, saved_) != 0)
            return;
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        ok_ = syscall(SYS_capset, &header_, lowered) == 0;
    }
    ~FilePermissionsApply() {
        if (ok_)
            syscall(SYS_capset, &header_, saved_);
    }
    bool ok() const { return ok_; }

  private:
    __user_cap_header_struct header_{};
    __user_cap_data_struct saved_[2]{};
    bool ok_ = false;
};

using Event = DeliveredEvent;

Event mouse(int x, int y) {
    return {KELPA_MOUSE, x, y, 0};
}
Event kbd(int key) {
    return {KELPA_KBD, 0, 0, static_cast<char>(key)};
}
const Event tick = {KELPA_PERIODIC, 0, 0, 0};

const char eof_line[] = "EOF encountered in script file KELPA.SCR\n";
const char unreadable_line[] = "Cannot open script file KELPA.SCR for reading\n";
const char unwritable_line[] = "Cannot open script file KELPA.SCR for writing\n";
const char silent[] = "";

// "KELPA.SCR" as a socket; the descriptor stays with the test.
int listening_socket() {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", "KELPA.SCR");
    bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    listen(fd, 1);
    return fd;
}

// Script names that a blocking open or read would hang on, or that never end. Each maker
// returns a descriptor the test holds (the FIFO's other end, the socket) or -1.
struct NotRegularFile {
    const char *name;
    int (*make)();
};
const NotRegularFile not_regular_files[] = {
    {"a FIFO alone", [] { return mkfifo("KELPA.SCR", 0600) - 1; }},
    {"a FIFO with both ends held",
     [] { return mkfifo("KELPA.SCR", 0600) == 0 ? open("KELPA.SCR", O_RDWR | O_NONBLOCK) : -1; }},
    {"a socket", listening_socket},
    {"a link to /dev/null", [] { return symlink("/dev/null", "KELPA.SCR") - 1; }},
    {"a link to /dev/zero", [] { return symlink("/dev/zero", "KELPA.SCR") - 1; }},
    {"a link to /dev/full", [] { return symlink("/dev/full", "KELPA.SCR") - 1; }},
};

struct BadScript {
    const char *name;
    std::string bytes;
    std::vector<Event> events; // what playback yields before it stops
    const char *message;       // the log line playback ends with; empty: none
};

std::string repeat(char c, size_t n) {
    return std::string(n, c);
}

std::vector<BadScript> bad_scripts() {
    using namespace std::string_literals;
    return {
        {"empty", "", {}, eof_line},
        {"only newlines", "\n\n\n\n", {}, eof_line},
        {"only spaces", "       \n", {}, silent},
        {"short spaces", "   \n", {}, silent},
        {"tabs", "\t\t\t\t\t\t\tKELPA\n", {}, silent},
        {"binary bytes", "\x01\xff\x80\x7f\xfe\x02\x03\x04\n", {}, silent},
        {"high bytes then M", "\xff\xfe\xfd\xfc\xfb\xfaM(3, 4);\n", {mouse(3, 4)}, eof_line},
        {"NUL at the letter", "KELPA_\0MOUSE(1, 2);\n"s, {}, silent},
        {"NUL prefix", "\0\0\0\0\0\0K(65);\n"s, {kbd('A')}, eof_line},
        {"NUL bytes, no newline", repeat('\0', 100), {}, eof_line},
        {"600 NUL bytes: a first piece of 511", repeat('\0', 600), {}, silent},
        {"NUL inside the numbers", "KELPA_MOUSE(1\0, 2);\n"s, {mouse(1, 2)}, eof_line},
        {"huge coordinates",
         "KELPA_MOUSE(" + repeat('9', 40) + ", -" + repeat('9', 40) + ");\n",
         {mouse(INT_MAX, INT_MIN)},
         eof_line},
        {"huge key", "KELPA_KBD(99999999999);\n", {kbd(0xff)}, eof_line},
        {"key of 300 keeps its low byte", "KELPA_KBD(300);\n", {kbd(300 & 0xff)}, eof_line},
        {"most negative key", "KELPA_KBD(-2147483648);\n", {kbd(0)}, eof_line},
        {"10 000-character line of x", repeat('x', 10000) + "\n", {}, silent},
        {"10 000-character directive",
         "KELPA_MOUSE(1, 2);" + repeat(' ', 10000) + "\n",
         {mouse(1, 2)},
         silent},
        {"line of exactly 511 characters",
         "KELPA_KBD(66);" + repeat(' ', 511 - 14) + "\nKELPA_KBD(67);\n",
         {kbd('B'), kbd('C')},
         eof_line},
        {"mouse without numbers", "KELPA_MOUSE();\n", {mouse(0, 0)}, eof_line},
        {"mouse with one number", "KELPA_MOUSE(5);\n", {mouse(5, 0)}, eof_line},
        {"key without number", "KELPA_KBD();\n", {kbd(0)}, eof_line},
        {"periodic without count", "KELPA_PERIODIC();\n", {tick}, eof_line},
        {"periodic of minus three", "KELPA_PERIODIC(-3);\n", {tick, tick, tick}, eof_line},
        {"only the letter", "KELPA_M\n", {mouse(0, 0)}, eof_line},
        {"double minus", "KELPA_MOUSE(--5, 7);\n", {mouse(0, 7)}, eof_line},
        {"minus inside a number", "KELPA_MOUSE(5-3, 8);\n", {mouse(5, 8)}, eof_line},
        {"lower case", "kelpa_mouse(1, 2);\n", {}, silent},
        {"short line", "KELPA\n", {}, silent},
        {"CR-only line ends", "KELPA_MOUSE(1, 2);\rKELPA_KBD(65);\r", {mouse(1, 2), kbd('A')}, eof_line},
        {"CR LF line ends", "KELPA_MOUSE(1, 2);\r\nKELPA_KBD(65);\r\n", {mouse(1, 2), kbd('A')}, eof_line},
        {"blank lines of CR, CR LF and LF", "\r\r\n\n\rKELPA_KBD(65);\n", {kbd('A')}, eof_line},
        {"CR LF whose CR is the 511th character",
         "KELPA_KBD(66);" + repeat(' ', 510 - 14) + "\r\nKELPA_KBD(67);\r",
         {kbd('B'), kbd('C')},
         eof_line},
        {"CR after 511 characters",
         "KELPA_KBD(66);" + repeat(' ', 511 - 14) + "\rKELPA_KBD(67);\r",
         {kbd('B'), kbd('C')},
         eof_line},
        {"CR-ended lines, the last without a line end",
         "KELPA_KBD(65);\rKELPA_KBD(66);",
         {kbd('A')},
         eof_line},
        {"byte order mark", "\xef\xbb\xbfKELPA_MOUSE(1, 2);\n", {tick}, eof_line},
        {"last line without newline", "KELPA_KBD(65);\nKELPA_KBD(66);", {kbd('A')}, eof_line},
        {"good lines then garbage", "KELPA_KBD(65);\nKELPA_?\nKELPA_KBD(66);\n", {kbd('A')}, silent},
        {"blank lines around a directive", "\n\nKELPA_MOUSE(-1, -2);\n\n\n", {mouse(-1, -2)}, eof_line},
    };
}

} // namespace

class ScriptBadInputTest : public StartedLibraryInTempDir {
  protected:
    void SetUp() override {
        StartedLibraryInTempDir::SetUp();
        ASSERT_TRUE(dispatch_pending());
    }

    void write(const std::string &bytes) {
        std::ofstream out("KELPA.SCR", std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    void click(int x, int y) {
        headless::click(library_state.graphics_window, library_state.origin_x + x,
                        library_state.origin_y - y);
    }

    // Plays the file and returns the scripted events; once playback has stopped, a live click
    // at (7, -9) must be the next event delivered. `at_most` bounds a script that never ends;
    // such a playback is stopped by the user's command.
    std::vector<Event> play(size_t at_most = 60) {
        bool clicked = false;
        headless::on_idle([&] {
            if (!library_state.playing_back && !clicked) {
                clicked = true;
                click(7, -9);
            }
        });
        run_command(IDM_PLAYBACK);
        std::vector<Event> events;
        Event e = {};
        while (events.size() < at_most) {
            e = next_delivered_event();
            if (!library_state.playing_back)
                break;
            events.push_back(e);
        }
        if (library_state.playing_back) {
            run_command(IDM_PLAYBACK);
            e = next_delivered_event();
        }
        EXPECT_EQ(e, mouse(7, -9)) << "the live click after the playback";
        headless::on_idle(nullptr);
        return events;
    }

    void clear_log() {
        for (HGLOBAL &block : message_log.log_lines) {
            if (block)
                GlobalFree(block);
            block = nullptr;
        }
        message_log = MessageLog{};
    }

    std::vector<std::string> new_log_lines(size_t before) {
        std::vector<std::string> lines = log_lines();
        return std::vector<std::string>(lines.begin() + std::min(before, lines.size()), lines.end());
    }
};

TEST_F(ScriptBadInputTest, EachMalformedFileEndsPlaybackAsDefinedAndLiveInputGoesOn) {
    const std::vector<BadScript> table = bad_scripts();
    ASSERT_GE(table.size(), 30u);
    for (const BadScript &row : table) {
        SCOPED_TRACE(row.name);
        script_close(); // every row plays its own file from the first line
        write(row.bytes);
        const size_t before = log_lines().size();
        EXPECT_EQ(play(), row.events);
        const std::vector<std::string> added = new_log_lines(before);
        if (*row.message) {
            ASSERT_EQ(added.size(), 1u);
            EXPECT_EQ(added[0], row.message);
        } else {
            EXPECT_TRUE(added.empty());
        }
        EXPECT_EQ(library_state.playing_back, 0);
        EXPECT_EQ(library_state.play_one, 0);
        EXPECT_EQ(GetMenuState(library_state.run_menu, IDM_PLAYBACK, MF_BYCOMMAND) & MF_CHECKED, 0u);
        library_state.periodic_run = 0;
        clear_log(); // keeps the ring below 25 lines for the next row
    }
}

TEST_F(ScriptBadInputTest, FilesThatCannotBeReadAreReportedAndLiveInputGoesOn) {
    struct Unreadable {
        const char *name;
        void (*make)();
    };
    const Unreadable rows[] = {
        {"missing", [] {}},
        {"a directory", [] { std::filesystem::create_directory("KELPA.SCR"); }},
        {"a dangling link", [] { std::filesystem::create_symlink("nowhere/at/all", "KELPA.SCR"); }},
        {"a link to a directory", [] { std::filesystem::create_directory_symlink(".", "KELPA.SCR"); }},
        // Opens, even for root, and fails at the first read.
        {"a file whose reads fail", [] { std::filesystem::create_symlink("/proc/self/mem", "KELPA.SCR"); }},
    };
    for (const Unreadable &row : rows) {
        SCOPED_TRACE(row.name);
        script_close();
        std::filesystem::remove_all("KELPA.SCR");
        row.make();
        const size_t before = log_lines().size();
        EXPECT_TRUE(play().empty());
        const std::vector<std::string> added = new_log_lines(before);
        ASSERT_EQ(added.size(), 1u);
        EXPECT_EQ(added[0], unreadable_line);
    }
}

TEST_F(ScriptBadInputTest, NotRegularFilesAreNeitherPlayedNorRecordedInto) {
    for (const NotRegularFile &row : not_regular_files) {
        SCOPED_TRACE(row.name);
        script_close();
        std::filesystem::remove_all("KELPA.SCR");
        const int held = row.make();
        ASSERT_TRUE(std::filesystem::symlink_status("KELPA.SCR").type() !=
                    std::filesystem::file_type::not_found);

        size_t before = log_lines().size();
        EXPECT_TRUE(play().empty());
        EXPECT_EQ(new_log_lines(before), std::vector<std::string>{unreadable_line});

        // Recording stays on and tries again at every event; live input goes on.
        before = log_lines().size();
        run_command(IDM_RECORD);
        for (int i = 0; i < 2; ++i) {
            click(i, -i);
            EXPECT_EQ(next_delivered_event(), mouse(i, -i));
        }
        EXPECT_EQ(new_log_lines(before), std::vector<std::string>(2, unwritable_line));
        EXPECT_EQ(library_state.recording, 1);
        run_command(IDM_RECORD);
        if (held >= 0)
            close(held);
        clear_log();
    }
}

TEST_F(ScriptBadInputTest, AFileWithoutReadPermissionIsReported) {
    write("KELPA_KBD(65);\n");
    std::filesystem::permissions("KELPA.SCR", std::filesystem::perms::none);
    FilePermissionsApply for_root_too;
    if (geteuid() == 0 && !for_root_too.ok())
        GTEST_SKIP() << "root reads any file, and its capabilities cannot be lowered here";
    EXPECT_TRUE(play().empty());
    ASSERT_FALSE(log_lines().empty());
    EXPECT_EQ(log_lines().back(), unreadable_line);
}

TEST_F(ScriptBadInputTest, AHugeCountPlaysUntilTheUserStopsIt) {
    write("KELPA_PERIODIC(" + repeat('9', 30) + ");\n");
    const std::vector<Event> events = play(40);
    EXPECT_EQ(events, std::vector<Event>(40, tick));
    // The user's stop closed the file: the next playback starts again at its first line.
    EXPECT_EQ(library_state.script_file, nullptr);
}

TEST_F(ScriptBadInputTest, PlayOneOnAMalformedFileYieldsTheLiveEvent) {
    write(std::string("\0\0\0\0\0\0\0\0", 8) + "\n");
    bool clicked = false;
    headless::on_idle([&] {
        if (!clicked) {
            clicked = true;
            click(1, 1);
        }
    });
    PostMessageA(library_state.graphics_window, WM_COMMAND, IDM_PLAY_ONE, 0);
    EXPECT_EQ(next_delivered_event(), mouse(1, 1));
    EXPECT_EQ(library_state.play_one, 0);
    headless::on_idle(nullptr);
}
