// The checked-in session (data/session.scr, recorded by tools/chaser_session) replayed into
// the whole game with its start time: the picture and the drawing log it ends with are the
// references beside it, so any change to the rules, the scene, the library's drawing or its
// playback that a recording would show is caught here. -DKELPA_UPDATE_PICTURES=ON rewrites
// the references.
#include <kelpa.h>
#include <kelpa_testing.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

int game_main();

namespace {

const std::string data = KELPA_SESSION_DIR;
constexpr int64_t session_start = 1700000000;

std::vector<std::string> read_lines(const std::string &path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace

TEST(ReplayTest, TheSessionEndsWithItsPictureAndItsLog) {
    using namespace kelpa_testing;
    Picture early, final_picture;
    Script script;
    script.start_time(session_start)
        .command('L')
        .play(data + "/session.scr")
        .wait_playback(40)
        .then([&] { early = capture(); })
        .wait_playback()
        .then([&] { final_picture = capture(); });
    run(game_main, script);
    EXPECT_NE(early, final_picture); // the playback paused there for the check, and went on

    std::string why;
    EXPECT_TRUE(same_picture(final_picture, data + "/session_end.png", &why, KELPA_UPDATE_PICTURES)) << why;
    const std::vector<std::string> log = all_log_lines();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "EOF encountered in script file KELPA.SCR");
    if (KELPA_UPDATE_PICTURES) {
        std::ofstream out(data + "/session.log");
        for (const std::string &line : log)
            out << line << '\n';
    }
    const std::vector<std::string> reference = read_lines(data + "/session.log");
    ASSERT_EQ(log.size(), reference.size());
    for (size_t i = 0; i < log.size(); ++i)
        ASSERT_EQ(log[i], reference[i]) << "log line " << i + 1;
}
