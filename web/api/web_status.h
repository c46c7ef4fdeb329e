// What the page shows of the game beside its picture, in one read: a row of
// numbers in the module's memory (WEB_STATUS_* index it). And the module's
// start, which JS calls once after _initialize.
#pragma once

#include <cstdint>

enum web_status_index_t : int {
    WEB_STATUS_DRAWN, // frames drawn; the picture is of this frame (or the one after, stopped)
    WEB_STATUS_LEVEL, // the game's setup: level, seed, speed, growth, device pace
    WEB_STATUS_SEED,
    WEB_STATUS_SPEED,
    WEB_STATUS_GROWTH,
    WEB_STATUS_DEVICE,
    WEB_STATUS_STOPPED,      // 1: frame drawn + 1 broke the beam's budget or drew a slanted wall
    WEB_STATUS_STEPPING,     // 1: frame drawn + 1 is being stepped through
    WEB_STATUS_SHOWN,        // its ticks shown so far
    WEB_STATUS_WAITING_KEYS, // game keys pressed and not yet taken
    WEB_STATUS_LAST_KEY,     // the script's last key frame; past drawn while it replays
    WEB_STATUS_COUNT,
};

extern "C" {
// Registers the page's listeners on the raster and starts pc-snake's game.
void web_init();
const std::int32_t *web_status();
}
