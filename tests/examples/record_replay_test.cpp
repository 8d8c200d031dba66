// Record and replay: a walk recorded to KELPA.SCR and played back after c draws the same
// picture again. Runs in a fresh directory of its own, where the script file is written.
#include "example_picture.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

TEST(RecordReplay, PlaybackDrawsTheRecordedWalkAgain) {
    char pattern[] = "/tmp/kelpa_example_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(pattern);

    kelpa_testing::Picture recorded, replayed;
    kelpa_testing::Script script;
    script.key('c').command('R').wait(1500).key('j').wait(1000).click(-100, 80).key('l').wait(1200);
    script.command('R').then([&] { recorded = kelpa_testing::capture(); });
    script.key('c').command('P').wait(8000).then([&] { replayed = kelpa_testing::capture(); });
    int result = kelpa_testing::run(game_main, script);

    std::ifstream file("KELPA.SCR");
    std::string first_line;
    std::getline(file, first_line);
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(pattern);

    EXPECT_EQ(result, 0);
    EXPECT_EQ(first_line.rfind("KELPA_PERIODIC(", 0), 0u) << first_line;
    std::vector<std::string> log = kelpa_testing::log_lines();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "EOF encountered in script file KELPA.SCR");
    EXPECT_EQ(recorded, replayed);
    expect_reference_picture(replayed);
}
