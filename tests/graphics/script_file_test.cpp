// The script file: what a recording writes, what playback makes of every kind of line, the
// failures it reports, the hand-over between recording and playback, a recording at the
// program's end by a signal and at a file-size limit, and a recorded file that others change.
#include "host_signals.h"
#include "delivered_event.h"
#include "library_fixture.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>

#include <climits>
#include <csignal>
#include <fstream>
#include <sstream>

namespace {

using Event = DeliveredEvent;

Event next_event() {
    return next_delivered_event();
}

const Event periodic = {KELPA_PERIODIC, 0, 0, 0};

void write_script(const std::string &text) {
    std::ofstream out("KELPA.SCR", std::ios::binary);
    out << text;
}

std::string read_file(const char *name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string read_script() {
    return read_file("KELPA.SCR");
}

// The Play One command, as the menu sends it: the pass that dispatches it plays one event.
void post_play_one() {
    PostMessageA(library_state.graphics_window, WM_COMMAND, IDM_PLAY_ONE, 0);
}

bool script_exists() {
    return std::ifstream("KELPA.SCR").good();
}

HWND graphics() {
    return library_state.graphics_window;
}

// Client pixel of the centred point (x, y).
void click_at(int x, int y) {
    headless::click(graphics(), library_state.origin_x + x, library_state.origin_y - y);
}

const char eof_message[] = "EOF encountered in script file KELPA.SCR\n";
const char unwritable_message[] = "Cannot write script file KELPA.SCR\n";

// While it lives, no file of this process can grow: a write fails as on a full disk (with
// EFBIG, its signal ignored).
class FilesCannotGrow {
  public:
    FilesCannotGrow() : previous_(signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit none = saved_;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~FilesCannotGrow() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, previous_);
    }

  private:
    void (*previous_)(int);
    rlimit saved_{};
};

} // namespace

class ScriptTest : public StartedLibraryInTempDir {
  protected:
    void SetUp() override {
        StartedLibraryInTempDir::SetUp();
        ASSERT_TRUE(dispatch_pending());
    }
    // Starts playback and collects the scripted events until it stops. Once it has stopped,
    // the idle hook clicks once: that live event ends the wait of the last call.
    std::vector<Event> play(int at_most = 50) {
        clicked_ = false;
        headless::on_idle([this] {
            if (!library_state.playing_back && !clicked_) {
                clicked_ = true;
                click_at(0, 0);
            }
        });
        run_command(IDM_PLAYBACK);
        std::vector<Event> events;
        while (library_state.playing_back && int(events.size()) < at_most) {
            const Event e = next_event();
            if (!library_state.playing_back) {
                EXPECT_EQ(e.kind, KELPA_MOUSE) << "the live event after the script";
                break;
            }
            events.push_back(e);
        }
        return events;
    }
    bool clicked_ = false;
};

// ---- writing ----

TEST_F(ScriptTest, RecordsTheFourLineExample) {
    run_command(IDM_RECORD);
    kelpa_set_run_mode(RUN_ANIMATE);
    for (int i = 0; i < 12; ++i)
        ASSERT_EQ(next_event().kind, KELPA_PERIODIC);
    kelpa_set_run_mode(RUN_HALT);
    click_at(-150, 40);
    EXPECT_EQ(next_event(), (Event{KELPA_MOUSE, -150, 40, 0}));
    kelpa_set_run_mode(RUN_ANIMATE);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(next_event().kind, KELPA_PERIODIC);
    kelpa_set_run_mode(RUN_HALT);
    headless::key(graphics(), 'I');
    EXPECT_EQ(next_event().key, 'i');
    run_command(IDM_RECORD);
    EXPECT_EQ(read_script(),
              "KELPA_PERIODIC(12);\nKELPA_MOUSE(-150, 40);\nKELPA_PERIODIC(3);\nKELPA_KBD(105);\n");
    EXPECT_EQ(library_state.script_file, nullptr);
}

TEST_F(ScriptTest, EveryLineReachesTheFileAsItIsWritten) {
    run_command(IDM_RECORD);
    click_at(1, 2);
    next_event();
    EXPECT_EQ(read_script(), "KELPA_MOUSE(1, 2);\n"); // still recording, file still open
}

TEST_F(ScriptTest, StoppingAfterFivePeriodicEventsWritesOneCountedLine) {
    run_command(IDM_RECORD);
    kelpa_set_run_mode(RUN_ANIMATE);
    for (int i = 0; i < 5; ++i)
        next_event();
    run_command(IDM_RECORD);
    EXPECT_EQ(read_script(), "KELPA_PERIODIC(5);\n");
    EXPECT_EQ(library_state.periodic_run, 0);
    // The next recording counts from 0 and replaces the file.
    run_command(IDM_RECORD);
    for (int i = 0; i < 2; ++i)
        next_event();
    run_command(IDM_RECORD);
    EXPECT_EQ(read_script(), "KELPA_PERIODIC(2);\n");
}

TEST_F(ScriptTest, RecordingWithoutEventsLeavesTheFileAsItWas) {
    run_command(IDM_RECORD);
    run_command(IDM_RECORD);
    EXPECT_FALSE(script_exists());
    write_script("KELPA_KBD(1);\n");
    run_command(IDM_RECORD);
    run_command(IDM_RECORD);
    EXPECT_EQ(read_script(), "KELPA_KBD(1);\n");
}

TEST_F(ScriptTest, AQuitAsFirstEventLeavesAnEmptyFile) {
    write_script("old\n");
    run_command(IDM_RECORD);
    PostQuitMessage(0);
    EXPECT_EQ(next_event().kind, KELPA_QUIT);
    kelpa_shutdown();
    EXPECT_EQ(read_script(), "");
}

TEST_F(ScriptTest, ClosingTheWindowWritesThePendingRun) {
    run_command(IDM_RECORD);
    kelpa_set_run_mode(RUN_ANIMATE);
    for (int i = 0; i < 10; ++i)
        next_event();
    headless::close(graphics());
    EXPECT_EQ(next_event().kind, KELPA_QUIT);
    kelpa_shutdown();
    EXPECT_EQ(read_script(), "KELPA_PERIODIC(10);\n");
}

TEST_F(ScriptTest, ShutDownInQuitModeWritesTheCountedTicks) {
    run_command(IDM_RECORD);
    kelpa_set_run_mode(RUN_ANIMATE);
    for (int i = 0; i < 3; ++i)
        next_event();
    kelpa_set_run_mode(RUN_QUIT);
    EXPECT_EQ(next_event().kind, KELPA_QUIT); // a tick underneath, only counted
    kelpa_shutdown();
    EXPECT_EQ(read_script(), "KELPA_PERIODIC(4);\n");
}

TEST_F(ScriptTest, EventsAreRecordedUnderTheirOwnKindInQuitMode) {
    run_command(IDM_RECORD);
    kelpa_set_run_mode(RUN_QUIT);
    click_at(4, -5);
    EXPECT_EQ(next_event().kind, KELPA_QUIT);
    EXPECT_EQ(read_script(), "KELPA_MOUSE(4, -5);\n");
}

TEST_F(ScriptTest, KeysAbove127AreWrittenNegativeAndPlayBackAsTheSameCharacter) {
    run_command(IDM_RECORD);
    PostMessageA(graphics(), WM_CHAR, 233, 0);
    EXPECT_EQ(next_event().key, char(233));
    click_at(-8, -9);
    next_event();
    run_command(IDM_RECORD);
    EXPECT_EQ(read_script(), "KELPA_KBD(-23);\nKELPA_MOUSE(-8, -9);\n");

    const std::vector<Event> events = play();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0], (Event{KELPA_KBD, 0, 0, char(233)}));
    EXPECT_EQ(events[1], (Event{KELPA_MOUSE, -8, -9, 0}));
}

TEST_F(ScriptTest, RecordThenPlayGivesTheSameEvents) {
    run_command(IDM_RECORD);
    kelpa_set_run_mode(RUN_ANIMATE);
    std::vector<Event> recorded;
    for (int i = 0; i < 3; ++i)
        recorded.push_back(next_event());
    click_at(20, 30);
    recorded.push_back(next_event());
    headless::key(graphics(), 'L');
    recorded.push_back(next_event());
    recorded.push_back(next_event());
    kelpa_set_run_mode(RUN_HALT);
    click_at(-1, -1);
    recorded.push_back(next_event());
    run_command(IDM_RECORD);

    EXPECT_EQ(play(), recorded);
    ASSERT_FALSE(log_lines().empty());
    EXPECT_EQ(log_lines().back(), eof_message);
}

// ---- reading ----

TEST_F(ScriptTest, CountsZeroAndOneGiveOneEventAndFiveGiveFive) {
    write_script("KELPA_PERIODIC(0);\nKELPA_PERIODIC(1);\nKELPA_PERIODIC(5);\nKELPA_KBD(105);\n");
    const std::vector<Event> events = play();
    ASSERT_EQ(events.size(), 8u);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(events[i], periodic) << i;
    EXPECT_EQ(events[7], (Event{KELPA_KBD, 0, 0, 'i'}));
    EXPECT_EQ(log_lines().back(), eof_message);
    EXPECT_EQ(library_state.play_one, 0);
}

TEST_F(ScriptTest, PlaybackDoesNotWaitForTicks) {
    write_script("KELPA_PERIODIC(3);\n");
    run_command(IDM_PLAYBACK);
    for (int i = 0; i < 3; ++i) {
        PostMessageA(graphics(), WM_NULL, 0, 0);
        const uint32_t before = headless::now();
        EXPECT_EQ(next_event().kind, KELPA_PERIODIC);
        EXPECT_EQ(headless::now(), before);
    }
}

TEST_F(ScriptTest, BlankLinesAreSkippedAndALineOfSpacesStopsSilently) {
    write_script("\n\nKELPA_KBD(65);\n\n\nKELPA_MOUSE(-3, -4);\n      \nKELPA_KBD(66);\n");
    const std::vector<Event> events = play();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].key, 'A');
    EXPECT_EQ(events[1], (Event{KELPA_MOUSE, -3, -4, 0}));
    EXPECT_TRUE(log_lines().empty() || log_lines().back() != eof_message);
    EXPECT_EQ(library_state.playing_back, 0);
    EXPECT_EQ(GetMenuState(library_state.run_menu, IDM_PLAYBACK, MF_BYCOMMAND) & MF_CHECKED, 0u);

    // The file stays open after that line: Play One goes on with the next.
    run_command(IDM_PLAY_ONE);
    PostMessageA(graphics(), WM_NULL, 0, 0);
    EXPECT_EQ(next_event(), (Event{KELPA_KBD, 0, 0, 'B'}));
    EXPECT_EQ(library_state.play_one, 0);
}

TEST_F(ScriptTest, AnyPrefixIsReadByItsSeventhCharacter) {
    write_script("xxxxxxM 1 2\n123456K65\n______P(2)\nKELPA_Q(1);\nKELPA_KBD(1);\n");
    const std::vector<Event> events = play();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0], (Event{KELPA_MOUSE, 1, 2, 0}));
    EXPECT_EQ(events[1].key, 'A');
    EXPECT_EQ(events[2], periodic);
    EXPECT_EQ(events[3], periodic);
}

TEST_F(ScriptTest, LongLinesAreReadIn511CharacterPieces) {
    std::string exact = "KELPA_KBD(65);";
    exact.resize(511, ' ');
    std::string longer = "KELPA_KBD(66);";
    longer.resize(511, ' ');
    longer += "KELPA_MOUSE(7, 8);\n";
    write_script(exact + "\n" + longer + "KELPA_KBD(67);\n");
    const std::vector<Event> events = play();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].key, 'A'); // then its newline alone, a blank line, skipped
    EXPECT_EQ(events[1].key, 'B');
    EXPECT_EQ(events[2], (Event{KELPA_MOUSE, 7, 8, 0}));
    EXPECT_EQ(events[3].key, 'C');
}

TEST_F(ScriptTest, ALastLineWithoutNewlineIsNotPlayed) {
    write_script("KELPA_KBD(65);\nKELPA_KBD(66);");
    const std::vector<Event> events = play();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].key, 'A');
    EXPECT_EQ(log_lines().back(), eof_message);
    // The end closed the file: Play One starts again at the first line.
    EXPECT_EQ(library_state.script_file, nullptr);
    post_play_one();
    EXPECT_EQ(next_event(), (Event{KELPA_KBD, 0, 0, 'A'}));
}

TEST_F(ScriptTest, EveryPlaybackAfterTheEndReplaysFromTheFirstLine) {
    write_script("KELPA_MOUSE(1, 2);\nKELPA_PERIODIC(2);\n");
    const std::vector<Event> script = {{KELPA_MOUSE, 1, 2, 0}, periodic, periodic};
    for (int round = 1; round <= 3; ++round) {
        const size_t lines = log_lines().size();
        EXPECT_EQ(play(), script) << "playback " << round;
        ASSERT_EQ(log_lines().size(), lines + 1);
        EXPECT_EQ(log_lines().back(), eof_message);
    }
}

TEST_F(ScriptTest, WindowsLineEndsAreAccepted) {
    write_script("KELPA_KBD(65);\r\n\r\nKELPA_MOUSE(-1, 2);\r\nKELPA_PERIODIC(2);\r\n");
    const std::vector<Event> events = play();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].key, 'A');
    EXPECT_EQ(events[1], (Event{KELPA_MOUSE, -1, 2, 0}));
    EXPECT_EQ(events[2], periodic);
    EXPECT_EQ(events[3], periodic);
}

TEST_F(ScriptTest, BadNumbersAreClampedOrZeroAndNeverReadPastTheLine) {
    write_script("KELPA_MOUSE(99999999999999999999, -99999999999999);\n"
                 "KELPA_MOUSE(5);\n"
                 "KELPA_MOUSE();\n"
                 "KELPA_M\n"
                 "KELPA_KBD(000000000000000065);\n"
                 "KELPA_KBD(--7);\n"
                 "KELPA_K\n"
                 "KELPA_PERIODIC(-2);\n"
                 "KELPA_P\n" +
                 std::string("KELPA_M\0\0(1, 2);\n", 17) + "KELPA_KBD(7\nKELPA\n");
    const std::vector<Event> events = play();
    ASSERT_EQ(events.size(), 12u);
    EXPECT_EQ(events[0], (Event{KELPA_MOUSE, INT_MAX, INT_MIN, 0}));
    EXPECT_EQ(events[1], (Event{KELPA_MOUSE, 5, 0, 0}));
    EXPECT_EQ(events[2], (Event{KELPA_MOUSE, 0, 0, 0}));
    EXPECT_EQ(events[3], (Event{KELPA_MOUSE, 0, 0, 0}));
    EXPECT_EQ(events[4].key, 'A');
    EXPECT_EQ(events[5].key, 0); // "--7" is no number
    EXPECT_EQ(events[6].key, 0);
    EXPECT_EQ(events[7], periodic); // the minus is passed over: two
    EXPECT_EQ(events[8], periodic);
    EXPECT_EQ(events[9], periodic); // no count: one
    EXPECT_EQ(events[10], (Event{KELPA_MOUSE, 1, 2, 0}));
    EXPECT_EQ(events[11].key, 7);
    // "KELPA" is shorter than seven characters: playback ends without a message.
    EXPECT_TRUE(log_lines().empty() || log_lines().back() != eof_message);
}

TEST_F(ScriptTest, AScriptedEventReplacesALiveClickAndKeepsItsPosition) {
    write_script("KELPA_KBD(65);\n");
    run_command(IDM_PLAYBACK);
    click_at(11, 12);
    EXPECT_EQ(next_event(), (Event{KELPA_KBD, 11, 12, 'A'}));
}

TEST_F(ScriptTest, AQuitDuringPlaybackStillReachesTheProgram) {
    write_script("KELPA_PERIODIC(100);\n");
    run_command(IDM_PLAYBACK);
    PostMessageA(graphics(), WM_NULL, 0, 0);
    EXPECT_EQ(next_event().kind, KELPA_PERIODIC);
    PostQuitMessage(0);
    EXPECT_EQ(next_event().kind, KELPA_QUIT);
    EXPECT_EQ(library_state.periodic_run, 99); // the script was not read in that pass
}

TEST_F(ScriptTest, PlaybackAfterPlayOneGoesOnWithTheCountedLine) {
    write_script("KELPA_PERIODIC(3);\nKELPA_KBD(65);\n");
    post_play_one();
    EXPECT_EQ(next_event(), periodic);
    EXPECT_EQ(play(), (std::vector<Event>{periodic, periodic, {KELPA_KBD, 0, 0, 'A'}}));
}

TEST_F(ScriptTest, PlayOneReadsOneEventAndHalts) {
    write_script("KELPA_PERIODIC(2);\nKELPA_KBD(65);\n");
    kelpa_set_run_mode(RUN_ANIMATE);
    post_play_one();
    EXPECT_EQ(next_event(), periodic);
    EXPECT_EQ(library_state.animating, 0);
    post_play_one();
    EXPECT_EQ(next_event(), periodic); // the rest of the counted line
    post_play_one();
    EXPECT_EQ(next_event().key, 'A');
    // Then halted: only a live event ends the wait.
    headless::on_idle([] {
        if (headless::now() >= 2000)
            click_at(0, 1);
    });
    EXPECT_EQ(next_event(), (Event{KELPA_MOUSE, 0, 1, 0}));
}

// ---- failures ----

TEST_F(ScriptTest, AFileThatCannotBeWrittenIsReportedAtEveryEvent) {
    std::filesystem::create_directory("KELPA.SCR");
    run_command(IDM_RECORD);
    click_at(1, 1);
    EXPECT_EQ(next_event().kind, KELPA_MOUSE);
    ASSERT_FALSE(log_lines().empty());
    EXPECT_EQ(log_lines().back(), "Cannot open script file KELPA.SCR for writing\n");
    const size_t lines = log_lines().size();
    click_at(2, 2);
    EXPECT_EQ(next_event().kind, KELPA_MOUSE);
    EXPECT_EQ(log_lines().size(), lines + 1);
    EXPECT_EQ(library_state.recording, 1);
    run_command(IDM_RECORD);
    EXPECT_EQ(library_state.recording, 0);
}

TEST_F(ScriptTest, AFullDiskIsReportedOncePerRecordingAndTheRecordingGoesOn) {
    const char *full = unwritable_message;
    FilesCannotGrow full_disk;
    for (int recording = 1; recording <= 2; ++recording) {
        const size_t lines = log_lines().size();
        run_command(IDM_RECORD);
        for (int i = 0; i < 3; ++i) {
            click_at(i, i);
            EXPECT_EQ(next_event(), (Event{KELPA_MOUSE, i, i, 0}));
        }
        ASSERT_EQ(log_lines().size(), lines + 1) << "recording " << recording;
        EXPECT_EQ(log_lines().back(), full);
        EXPECT_EQ(library_state.recording, 1);
        EXPECT_NE(GetMenuState(library_state.run_menu, IDM_RECORD, MF_BYCOMMAND) & MF_CHECKED, 0u);
        run_command(IDM_RECORD);
    }
}

TEST_F(ScriptTest, AFileThatCannotBeReadStopsPlayback) {
    std::filesystem::create_directory("KELPA.SCR");
    run_command(IDM_PLAYBACK);
    click_at(3, 4);
    EXPECT_EQ(next_event(), (Event{KELPA_MOUSE, 3, 4, 0}));
    ASSERT_FALSE(log_lines().empty());
    EXPECT_EQ(log_lines().back(), "Cannot open script file KELPA.SCR for reading\n");
    EXPECT_EQ(library_state.playing_back, 0);
    EXPECT_EQ(GetMenuState(library_state.run_menu, IDM_PLAYBACK, MF_BYCOMMAND) & MF_CHECKED, 0u);
}

TEST_F(ScriptTest, MissingFileStopsPlaybackAndTheProgramRunsOn) {
    run_command(IDM_PLAYBACK);
    kelpa_set_run_mode(RUN_ANIMATE);
    click_at(0, 0);
    EXPECT_EQ(next_event().kind, KELPA_MOUSE);
    ASSERT_FALSE(log_lines().empty());
    EXPECT_EQ(log_lines().back(), "Cannot open script file KELPA.SCR for reading\n");
    kelpa_set_run_mode(RUN_ANIMATE);
    EXPECT_EQ(next_event().kind, KELPA_PERIODIC);
}

// ---- recording and playback hand over the one stream ----

TEST_F(ScriptTest, StartingPlaybackEndsARecordingAndPlaysItFromTheStart) {
    run_command(IDM_RECORD);
    kelpa_set_run_mode(RUN_ANIMATE);
    for (int i = 0; i < 4; ++i)
        next_event();
    kelpa_set_run_mode(RUN_HALT);
    run_command(IDM_PLAYBACK);
    EXPECT_EQ(library_state.recording, 0);
    EXPECT_EQ(GetMenuState(library_state.run_menu, IDM_RECORD, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(read_script(), "KELPA_PERIODIC(4);\n");
    EXPECT_EQ(library_state.periodic_run, 0);

    headless::on_idle([this] {
        if (!library_state.playing_back && !clicked_) {
            clicked_ = true;
            click_at(0, 0);
        }
    });
    std::vector<Event> events;
    while (library_state.playing_back) {
        const Event e = next_event();
        if (library_state.playing_back)
            events.push_back(e);
    }
    EXPECT_EQ(events, std::vector<Event>(4, periodic));
    EXPECT_EQ(read_script(), "KELPA_PERIODIC(4);\n"); // playback wrote nothing
}

TEST_F(ScriptTest, StartingARecordingEndsPlaybackAndWritesAFreshFile) {
    write_script("KELPA_PERIODIC(3);\nKELPA_KBD(65);\n");
    run_command(IDM_PLAYBACK);
    PostMessageA(graphics(), WM_NULL, 0, 0);
    EXPECT_EQ(next_event(), periodic); // two repeats left over
    run_command(IDM_RECORD);
    EXPECT_EQ(library_state.playing_back, 0);
    EXPECT_EQ(library_state.periodic_run, 0);
    EXPECT_EQ(library_state.script_file, nullptr);
    EXPECT_EQ(GetMenuState(library_state.run_menu, IDM_PLAYBACK, MF_BYCOMMAND) & MF_CHECKED, 0u);

    kelpa_set_run_mode(RUN_ANIMATE);
    next_event();
    click_at(9, 9);
    next_event();
    run_command(IDM_RECORD);
    EXPECT_EQ(read_script(), "KELPA_PERIODIC(1);\nKELPA_MOUSE(9, 9);\n");
}

TEST_F(ScriptTest, RecordingAfterPlaybackStoppedAtABadLineWritesTheFile) {
    write_script("KELPA_KBD(65);\nKELPA_?\nKELPA_KBD(66);\n");
    play();
    ASSERT_NE(library_state.script_file, nullptr); // left open after the bad line
    run_command(IDM_RECORD);
    headless::on_idle(nullptr);
    click_at(6, 7);
    next_event();
    run_command(IDM_RECORD);
    EXPECT_EQ(read_script(), "KELPA_MOUSE(6, 7);\n");
}

TEST_F(ScriptTest, StoppingPlaybackMidLineStartsAgainFromTheTop) {
    write_script("KELPA_PERIODIC(3);\nKELPA_KBD(65);\n");
    run_command(IDM_PLAYBACK);
    PostMessageA(graphics(), WM_NULL, 0, 0);
    next_event();
    run_command(IDM_PLAYBACK); // stop
    EXPECT_EQ(library_state.script_file, nullptr);
    const std::vector<Event> events = play();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[3].key, 'A');
}

// ---- the end of the program and the file's limits, as the process entry sets them up ----

// A request to terminate closes the windows: the quit writes the ticks counted so far.
class ScriptSignalTest : public ScriptTest, public ::testing::WithParamInterface<int> {};

TEST_P(ScriptSignalTest, ARequestToTerminateWritesTheCountedTicks) {
    win32::catch_termination_signals();
    run_command(IDM_RECORD);
    kelpa_set_run_mode(RUN_ANIMATE);
    for (int i = 0; i < 3; ++i)
        next_event();
    raise(GetParam());
    EXPECT_EQ(next_event().kind, KELPA_QUIT);
    kelpa_shutdown();
    EXPECT_EQ(read_script(), "KELPA_PERIODIC(3);\n");
}

INSTANTIATE_TEST_SUITE_P(Signals, ScriptSignalTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const ::testing::TestParamInfo<int> &info) { return sigabbrev_np(info.param); });

namespace {

// In a child process, as the process entry sets signals up: a limit of 60 bytes holds three
// mouse lines of 19 and the fourth crosses it. The child's exit status is the number of write
// failures that the log reported.
[[noreturn]] void record_six_clicks_under_a_size_limit() {
    win32::catch_termination_signals();
    const rlimit limit = {60, 60};
    setrlimit(RLIMIT_FSIZE, &limit);
    run_command(IDM_RECORD);
    for (int i = 1; i <= 6; ++i) {
        click_at(i, i);
        next_event();
    }
    run_command(IDM_RECORD);
    int reported = 0;
    for (const std::string &line : log_lines())
        reported += line == unwritable_message;
    _exit(reported);
}

} // namespace

using ScriptDeathTest = ScriptTest;

TEST_F(ScriptDeathTest, AFileSizeLimitFailsTheWriteOnceAndNeverCutsALine) {
    EXPECT_EXIT(record_six_clicks_under_a_size_limit(), ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(read_script(), "KELPA_MOUSE(1, 1);\nKELPA_MOUSE(2, 2);\nKELPA_MOUSE(3, 3);\n");
}

// ---- a file that others change while it is recorded ----

namespace {

void record_clicks(int from, int to) {
    for (int i = from; i <= to; ++i) {
        click_at(i, -i);
        next_event();
    }
}

std::string click_lines(int from, int to) {
    std::string lines;
    for (int i = from; i <= to; ++i)
        lines += "KELPA_MOUSE(" + std::to_string(i) + ", " + std::to_string(-i) + ");\n";
    return lines;
}

} // namespace

TEST_F(ScriptTest, LinesGoToTheEndOfAFileEmptiedFromOutside) {
    run_command(IDM_RECORD);
    record_clicks(1, 3);
    std::filesystem::resize_file("KELPA.SCR", 0);
    record_clicks(4, 5);
    run_command(IDM_RECORD);
    EXPECT_EQ(read_script(), click_lines(4, 5)); // no NUL bytes where the old lines were
}

// Another program's recording holds the file locked: this one is refused and leaves it
// alone; once the other has finished, this one's lines follow the other's.
TEST_F(ScriptTest, ARecordingIntoAFileAnotherOneHoldsIsRefused) {
    write_script("KELPA_KBD(1);\n");
    const int other = open("KELPA.SCR", O_WRONLY | O_APPEND);
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    const size_t logged = log_lines().size();
    run_command(IDM_RECORD);
    record_clicks(1, 2);
    const std::vector<std::string> lines = log_lines();
    EXPECT_EQ(std::vector<std::string>(lines.begin() + logged, lines.end()),
              std::vector<std::string>(2, "Cannot open script file KELPA.SCR for writing\n"));
    EXPECT_EQ(read_script(), "KELPA_KBD(1);\n");
    close(other);
    record_clicks(3, 3);
    run_command(IDM_RECORD);
    EXPECT_EQ(read_script(), "KELPA_KBD(1);\n" + click_lines(3, 3));
}

// Noticed at the next line; the recording goes on at the end of whatever file has the name
// then (a new one, or one moved there), and a renamed file keeps the lines written before.
TEST_F(ScriptTest, ARecordingWhoseFileIsMovedGoesOnInTheFileOfItsName) {
    struct Move {
        const char *name;
        void (*move)();
        const char *found; // what the name holds after the move
    };
    const Move moves[] = {
        {"renamed", [] { std::filesystem::rename("KELPA.SCR", "OLD.SCR"); }, ""},
        {"removed", [] { std::filesystem::remove("KELPA.SCR"); }, ""},
        {"replaced",
         [] {
             std::ofstream("NEW.SCR") << "KELPA_KBD(1);\n";
             std::filesystem::rename("NEW.SCR", "KELPA.SCR");
         },
         "KELPA_KBD(1);\n"},
    };
    for (const Move &m : moves) {
        SCOPED_TRACE(m.name);
        const size_t logged = log_lines().size();
        run_command(IDM_RECORD);
        record_clicks(1, 2);
        m.move();
        record_clicks(3, 4);
        run_command(IDM_RECORD);
        ASSERT_EQ(log_lines().size(), logged + 1);
        EXPECT_EQ(log_lines().back(), unwritable_message);
        EXPECT_EQ(read_script(), m.found + click_lines(3, 4));
    }
    EXPECT_EQ(read_file("OLD.SCR"), click_lines(1, 2));
}
