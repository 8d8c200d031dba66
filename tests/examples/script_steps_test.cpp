// The testing library's scripts: a click at a point found during the run lands where and when
// its step stands, and a step added while the script runs ends the test with a message instead
// of running, unnoticed, after all the others.
#include "kelpa.h"
#include "kelpa_testing.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Logs every click and key it receives, in order.
int echo_input() {
    kelpa_startup();
    kelpa_set_run_mode(RUN_ANIMATE);
    kelpa_set_logging(0);
    for (;;) {
        int x = 0, y = 0;
        char key = 0;
        switch (kelpa_next_event(x, y, key)) {
        case KELPA_MOUSE: kelpa_log("click %d %d\n", x, y); break;
        case KELPA_KBD: kelpa_log("key %c\n", key); break;
        case KELPA_QUIT: kelpa_shutdown(); return 0;
        default: break;
        }
    }
}

std::string input_lines() {
    std::string lines;
    for (const std::string &line : kelpa_testing::log_lines())
        if (line.rfind("click ", 0) == 0 || line.rfind("key ", 0) == 0)
            lines += line + ";";
    return lines;
}

TEST(ScriptSteps, AClickAtAPointFoundDuringTheRunComesInItsPlace) {
    kelpa_testing::Point found;
    std::string seen;
    kelpa_testing::Script script;
    script.wait(100)
        .then([&] {
            found = {37, -12};
        })
        .click([&] { return found; })
        .key('a')
        .then([&] { seen = input_lines(); });
    EXPECT_EQ(kelpa_testing::run(echo_input, script), 0);
    EXPECT_EQ(seen, "click 37 -12;key a;");
}

TEST(ScriptStepsDeathTest, AddingAStepWhileTheScriptRunsEndsTheTest) {
    kelpa_testing::Script script;
    script.wait(100).then([&] { script.click(1, 2); }).key('a');
    EXPECT_DEATH(kelpa_testing::run(echo_input, script),
                 "a step was added to a Script while run\\(\\) carries it out");
}

} // namespace
