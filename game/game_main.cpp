// The program's main function. The random source is seeded here once and never again (not
// by "Restart"); the one GameState lives here for the life of the process.
#include "game_controls.h"
#include "game_random.h"
#include "kelpa.h"

#include <cstdint>
#include <ctime>

int game_main() {
    game_srand(static_cast<uint32_t>(std::time(nullptr)));
    GameState state;
    reset_game(state);
    return run_game(state);
}
