#include "tests/snake/recording_host.h"

#include "host/keys/stimuli.h"
#include "host/sim/frame_loop.h"
#include "snake/beam_port.h"

beam_t beam;

namespace {

std::vector<beam_op_t> ops;
const snake_t *watched = nullptr;

std::uint8_t watched_state() { return watched != nullptr ? watched->paint_state : 0; }
std::uint8_t watched_item() { return watched != nullptr ? watched->text_idx : 0; }

} // namespace

void beam_xy(std::uint8_t x, std::uint8_t y)
{
    beam.tick = static_cast<std::uint16_t>(beam.tick + 1);
    ops.push_back({true, x, y, watched_state(), watched_item()});
}

void beam_skip()
{
    beam.tick = static_cast<std::uint16_t>(beam.tick + 1);
    ops.push_back({false, 0, 0, watched_state(), watched_item()});
}

const std::vector<beam_op_t> &recorded_ops() { return ops; }
void clear_ops() { ops.clear(); }
void watch_record(const snake_t *s) { watched = s; }

std::vector<beam_op_t> lit_points(const std::vector<beam_op_t> &all)
{
    std::vector<beam_op_t> lit;
    for (const beam_op_t &op : all)
        if (op.lit)
            lit.push_back(op);
    return lit;
}

int body_length(const snake_t &s)
{
    int sum = 0;
    for (int i = 0; i < s.ring_len; ++i)
        sum += s.ring[(s.ring_head + i) % SNAKE_RING_SIZE].len;
    return sum;
}

std::vector<beam_op_t> paint_recorded(snake_t *s)
{
    clear_ops();
    paint_frame(s);
    return recorded_ops();
}

std::vector<frame_record_t> play_scripted_game(snake_t &game, std::uint8_t level, int frames)
{
    watch_record(&game);
    game_setup_t setup; // the simulator's: initial seed, speed 1, growth 20
    setup.level = level;
    start_game(&game, setup);

    const key_script_t keys = builtin_key_script();
    std::vector<frame_record_t> played;
    for (int number = 1; number <= frames; ++number) {
        frame_record_t rec;
        rec.ops = paint_recorded(&game);
        rec.after_paint = game;
        finish_frame(&game, key_after(keys, number));
        rec.after_clock = game;
        played.push_back(rec);
    }
    return played;
}
