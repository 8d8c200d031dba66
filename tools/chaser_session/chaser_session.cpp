// Plays one session of the game in virtual time with recording on and keeps the recording:
// the checked-in session that the game's replay test, the hosts' test, the bench and the
// README's animation replay. Keys steer the face round the field, the three buttons are
// clicked, the face then stands still until the chaser ends the game, and a restart follows.
// Usage: chaser_session OUT.scr (the start time is the one the replays use: 1700000000).
// A new session changes what its replays show: rewrite the game's replay references after it
// (a build with -DKELPA_UPDATE_PICTURES=ON, ctest -R game_replay) and run scripts/docs-pictures.
#include <kelpa_testing.h>

#include <cstdio>
#include <string>

int game_main();

namespace {

constexpr int64_t start_time = 1700000000;

// Each press changes the velocity by 5 along its axis.
kelpa_testing::Script &keys(kelpa_testing::Script &script, const std::string &text) {
    for (char ch : text)
        script.key(ch);
    return script;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: chaser_session OUT.scr\n");
        return 2;
    }
    const int color_x = -245, restart_x = -145, level_x = -45, buttons_y = 235;
    kelpa_testing::Script script;
    script.start_time(start_time).command('R').wait(500);
    script.click(level_x, buttons_y).wait(300).click(level_x, buttons_y).wait(300); // the slow chaser
    script.click(color_x, buttons_y).wait(200);
    keys(script, "ll").wait(1600);   // right
    keys(script, "jjii").wait(1400); // up
    keys(script, "kkjj").wait(3000); // left
    keys(script, "llkk").wait(2600); // down
    keys(script, "iill").wait(2000); // right
    keys(script, "p").wait(1000);    // paused
    keys(script, "p").wait(500);
    keys(script, "jj").wait(9000);               // standing still until the chaser wins
    script.click(color_x, buttons_y).wait(1000); // over: a new colour all the same
    script.click(restart_x, buttons_y).wait(500);
    keys(script, "kkj").wait(2500);
    script.click(level_x, buttons_y).wait(2000);
    script.command('R');
    kelpa_testing::run(game_main, script);
    if (std::rename("KELPA.SCR", argv[1]) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
