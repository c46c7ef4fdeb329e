// The game module played with arbitrary keys, on a beam host of its own.
// Input: seed (2 bytes, high first), level, option bits, speed, growth, then
// one key per frame (0 = none). Option bit 0 puts the speed byte into the
// record, bit 1 the growth byte; otherwise the level table's values stand.
// A frame that needs more than the beam's 2000 ticks ends the game there, as
// the simulator would; that is a valid end, not a finding.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_check.h"
#include "parith/parith15.h"
#include "snake/beam_port.h"
#include "snake/snake.h"

beam_t beam;

namespace {

constexpr std::size_t HEADER = 6;
constexpr std::uint16_t TICK_LIMIT = 2000;
constexpr unsigned MAX_FRAMES = 2000;
// Every painting call sends a beam operation except the few text steps
// whose point is squashed away and the one that ends each text, so a frame
// within the tick limit ends long before this many calls.
constexpr unsigned MAX_CALLS_PER_FRAME = 5000;

// The walls' bounding box, the same at every level: the outline is closed,
// so a head that reaches it is stopped there.
constexpr std::uint8_t FIELD_X_MIN = 44, FIELD_X_MAX = 204;
constexpr std::uint8_t FIELD_Y_MIN = 52, FIELD_Y_MAX = 180;
// Food candidates lie on the grid from 64 on, at most 0x78 further.
constexpr std::uint8_t FOOD_MIN = 64, FOOD_MAX = 64 + 0x78;

constexpr std::uint8_t PARK_XY = 255;
constexpr std::uint8_t FOOD_MARK_POINTS = 9;
constexpr std::uint8_t HEAD_MARK_POINTS = 7;

const snake_t *watched = nullptr; // the record whose painter state tags each op
bool painting = false;            // inside onPixel: the only caller of the beam
bool in_frame = false;            // between a frame start and its end, not the park

// What the beam saw in the current call and in the current frame.
struct call_ops_t {
    unsigned dark = 0;
    unsigned lit = 0;
    bool dark_after_lit = false;
    std::uint8_t x = 0, y = 0; // the last lit point
};
struct frame_ops_t {
    unsigned ops = 0;
    bool first_dark = false;
    bool last_dark = false;
    unsigned wall = 0;
    unsigned food_lit = 0;
    unsigned head_lit = 0;
    unsigned body_lit = 0;
    unsigned body_dark = 0;
    std::uint8_t body_x = 0, body_y = 0; // last body point, starting at the head
    bool body_on_head = false;           // a body point on the head: a self-collision
    bool body_on_candidate = false;      // a body point on a food candidate
};
call_ops_t call_ops;
frame_ops_t frame_ops;

bool is_body_run(std::uint8_t state) { return state <= SNAKE_RING_SIZE - 1; }
bool is_text_pass(std::uint8_t state)
{
    return state == PAINT_TEXT_NEXT || state == PAINT_TEXT || state == PAINT_TEXTS_DONE;
}

// Distance along one axis on the wrapping screen.
unsigned axis_dist(std::uint8_t a, std::uint8_t b)
{
    const unsigned d = static_cast<std::uint8_t>(a - b);
    return d > 128 ? 256 - d : d;
}

void step(std::uint8_t heading, std::uint8_t &x, std::uint8_t &y)
{
    switch (heading & 3) {
    case 0: --x; break;
    case 1: --y; break;
    case 2: ++x; break;
    default: ++y; break;
    }
}

void count_op(bool lit)
{
    FUZZ_CHECK(painting);
    beam.tick = static_cast<std::uint16_t>(beam.tick + 1);
    if (frame_ops.ops == 0)
        frame_ops.first_dark = !lit;
    frame_ops.last_dark = !lit;
    ++frame_ops.ops;
    if (!lit) {
        if (call_ops.lit != 0)
            call_ops.dark_after_lit = true;
        ++call_ops.dark;
    }
    if (!in_frame)
        return;
    const std::uint8_t state = watched->paint_state;
    if (state == PAINT_WALL || state == PAINT_WALL_READ)
        ++frame_ops.wall;
    if (!lit && is_body_run(state))
        ++frame_ops.body_dark;
}

} // namespace

void beam_xy(std::uint8_t x, std::uint8_t y)
{
    count_op(true);
    ++call_ops.lit;
    call_ops.x = x;
    call_ops.y = y;
    if (!in_frame)
        return;

    const snake_t &s = *watched;
    const snake_point_t head = s.point[SNAKE_HEAD];
    const std::uint8_t state = s.paint_state;
    if (state == PAINT_FOOD) {
        ++frame_ops.food_lit;
        const snake_point_t food = s.point[SNAKE_FOOD];
        FUZZ_CHECK(axis_dist(x, food.x) <= 1 && axis_dist(y, food.y) <= 1);
    } else if (state == PAINT_HEAD) {
        // Around the head, leaving the centre and the point where the body starts.
        ++frame_ops.head_lit;
        FUZZ_CHECK(axis_dist(x, head.x) <= 1 && axis_dist(y, head.y) <= 1);
        FUZZ_CHECK(x != head.x || y != head.y);
        std::uint8_t bx = head.x, by = head.y;
        step(s.dir ^ 2, bx, by);
        FUZZ_CHECK(x != bx || y != by);
    } else if (is_body_run(state)) {
        // The body is one unbroken path of unit steps from the head.
        if (frame_ops.body_lit == 0) {
            frame_ops.body_x = head.x;
            frame_ops.body_y = head.y;
        }
        ++frame_ops.body_lit;
        FUZZ_CHECK(axis_dist(x, frame_ops.body_x) + axis_dist(y, frame_ops.body_y) == 1);
        frame_ops.body_x = x;
        frame_ops.body_y = y;
        if (x == head.x && y == head.y)
            frame_ops.body_on_head = true;
        const snake_point_t food = s.point[SNAKE_FOOD];
        if (s.food_new != 0 && x == food.x && y == food.y)
            frame_ops.body_on_candidate = true;
    }
}

void beam_skip() { count_op(false); }

namespace {

struct game_t {
    snake_t s{};
    std::uint8_t level = 0;
    std::uint8_t growth = 0;
    std::uint16_t score = 0;
    unsigned frames = 0;
    unsigned wall_ops = 0; // of the first frame: the outline is the same every frame
};

void check_record(game_t &g)
{
    const snake_t &s = g.s;
    FUZZ_CHECK(s.ring_len <= SNAKE_RING_SIZE);
    FUZZ_CHECK(s.ring_head <= SNAKE_RING_SIZE - 1);
    for (unsigned i = 0; i < s.ring_len; ++i)
        FUZZ_CHECK(s.ring[(s.ring_head + i) % SNAKE_RING_SIZE].len >= 1);
    FUZZ_CHECK(s.frame_phase <= 2);
    FUZZ_CHECK(s.dir <= 3);
    FUZZ_CHECK(s.dir_next <= 3 || s.dir_next == SNAKE_NO_DIR);
    FUZZ_CHECK(s.game_over <= 1 && s.crashed <= 1 && s.food_new <= 1 && s.food_ok <= 1);
    FUZZ_CHECK(s.move_due <= 1 && s.text_dirty <= 1);
    FUZZ_CHECK(s.crashed == 0 || s.game_over == 1);
    FUZZ_CHECK(s.level == g.level && s.grid_mask == 7);
    if (s.game_over == 0) {
        FUZZ_CHECK(s.ring_len >= 1);
        FUZZ_CHECK(s.ring[s.ring_head].back == (s.dir ^ 2));
    }
    const snake_point_t head = s.point[SNAKE_HEAD];
    FUZZ_CHECK(head.x >= FIELD_X_MIN && head.x <= FIELD_X_MAX);
    FUZZ_CHECK(head.y >= FIELD_Y_MIN && head.y <= FIELD_Y_MAX);
    // Points come only from eating, growth at a time.
    FUZZ_CHECK(s.score == g.score || s.score == static_cast<std::uint16_t>(g.score + g.growth));
    g.score = s.score;

    if (g.frames == 0)
        return; // the painter fields are set by the first frame start
    const std::uint8_t st = s.paint_state;
    FUZZ_CHECK(st >= PAINT_TEXT_NEXT || (is_body_run(st) && st < s.ring_len));
    FUZZ_CHECK(s.n_texts == 2 || s.n_texts == 3);
    FUZZ_CHECK(s.text_idx <= s.n_texts);
    const snake_point_t food = s.point[SNAKE_FOOD];
    FUZZ_CHECK(food.x >= FOOD_MIN && food.x <= FOOD_MAX && (food.x & 7) == 0);
    FUZZ_CHECK(food.y >= FOOD_MIN && food.y <= FOOD_MAX && (food.y & 7) == 0);
}

unsigned body_length(const snake_t &s)
{
    unsigned len = 0;
    for (unsigned i = 0; i < s.ring_len; ++i)
        len += s.ring[(s.ring_head + i) % SNAKE_RING_SIZE].len;
    return len;
}

bool same_point(snake_point_t a, snake_point_t b) { return a.x == b.x && a.y == b.y; }

// The frame start as seen from outside: what a due step may have done to
// the snake, from the record before (b) and after (s).
void check_step(const game_t &g, const snake_t &b)
{
    const snake_t &s = g.s;
    const unsigned len_before = body_length(b);
    const unsigned len_after = body_length(s);
    if (b.move_due == 0 || (b.game_over != 0 && b.ring_len == 0)) {
        FUZZ_CHECK(same_point(s.point[SNAKE_HEAD], b.point[SNAKE_HEAD]));
        FUZZ_CHECK(s.dir == b.dir && s.dir_next == b.dir_next && s.grow == b.grow);
        FUZZ_CHECK(s.ring_head == b.ring_head && s.ring_len == b.ring_len);
        FUZZ_CHECK(len_after == len_before);
        return;
    }
    if (b.game_over != 0) { // only the tail drains
        FUZZ_CHECK(same_point(s.point[SNAKE_HEAD], b.point[SNAKE_HEAD]));
        FUZZ_CHECK(s.dir == b.dir && s.grow == b.grow && s.ring_head == b.ring_head);
        FUZZ_CHECK(s.ring_len == b.ring_len || s.ring_len + 1 == b.ring_len);
        FUZZ_CHECK(len_after + 1 == len_before);
        return;
    }

    // A queued turn is taken on a grid point only.
    const snake_point_t from = b.point[SNAKE_HEAD];
    const bool on_grid = (from.x & b.grid_mask) == 0 && (from.y & b.grid_mask) == 0;
    if (b.dir_next != SNAKE_NO_DIR && on_grid) {
        FUZZ_CHECK(s.dir == b.dir_next && s.dir_next == SNAKE_NO_DIR);
    } else {
        FUZZ_CHECK(s.dir == b.dir && s.dir_next == b.dir_next);
    }
    snake_point_t to = from;
    step(s.dir, to.x, to.y);
    FUZZ_CHECK(same_point(s.point[SNAKE_HEAD], to));

    const bool ate = same_point(to, b.point[SNAKE_FOOD]);
    FUZZ_CHECK(s.score == static_cast<std::uint16_t>(b.score + (ate ? g.growth : 0)));
    if (ate)
        FUZZ_CHECK(s.food_new == 1 && s.text_dirty == 0); // the texts were rebuilt at once

    const bool new_run = s.dir != b.dir;
    const std::uint8_t head_run =
        new_run ? (b.ring_head + SNAKE_RING_SIZE - 1) % SNAKE_RING_SIZE : b.ring_head;
    FUZZ_CHECK(s.ring_head == head_run);
    FUZZ_CHECK(s.ring[head_run].back == (s.dir ^ 2));
    const std::uint8_t grow = ate ? g.growth : b.grow;
    unsigned head_len = new_run ? 1 : b.ring[head_run].len + 1;
    if (!new_run && b.ring_len == 1 && grow == 0)
        --head_len; // the head run is the tail run as well
    FUZZ_CHECK(s.ring[head_run].len == head_len);

    if (new_run && b.ring_len == SNAKE_RING_SIZE) {
        // The new head run took the tail run's entry: that run is gone whole.
        const unsigned tail_len = b.ring[head_run].len;
        FUZZ_CHECK(s.ring_len == SNAKE_RING_SIZE && s.grow == grow);
        FUZZ_CHECK(len_after + tail_len == len_before + 1);
    } else if (grow > 0) {
        FUZZ_CHECK(s.grow == grow - 1);
        FUZZ_CHECK(s.ring_len == b.ring_len + (new_run ? 1 : 0));
        FUZZ_CHECK(len_after == len_before + 1);
    } else {
        FUZZ_CHECK(s.grow == 0);
        FUZZ_CHECK(len_after == len_before);
    }
}

void pixel_call(game_t &g)
{
    call_ops = call_ops_t{};
    painting = true;
    menuitem_snake.onPixel(&g.s);
    painting = false;
    check_record(g);
}

// Paints one frame. Returns false when it ran into the tick limit.
bool paint_frame(game_t &g)
{
    snake_t &s = g.s;
    frame_ops = frame_ops_t{};
    in_frame = true;

    ++g.frames;
    const snake_t before = s;
    pixel_call(g); // the frame start
    check_step(g, before);
    FUZZ_CHECK(call_ops.dark == 0 && call_ops.lit == 0);
    FUZZ_CHECK(beam.tick == 0);
    FUZZ_CHECK(s.frame_phase == 0);
    FUZZ_CHECK(s.paint_state == PAINT_TEXT_NEXT && s.text_idx == 0);
    FUZZ_CHECK(s.n_texts == 2 + s.game_over);

    unsigned calls = 0;
    while (s.frame_phase == 0) {
        FUZZ_CHECK(++calls <= MAX_CALLS_PER_FRAME);
        pixel_call(g);
        if (frame_ops.ops > TICK_LIMIT) {
            in_frame = false;
            return false;
        }
        // One beam operation per painting step; text steps send what the
        // stroker sends: at most a dark tick and then a point.
        FUZZ_CHECK(call_ops.dark <= 1 && call_ops.lit <= 1 && !call_ops.dark_after_lit);
        if (!is_text_pass(s.paint_state))
            FUZZ_CHECK(call_ops.dark + call_ops.lit == 1);
    }
    in_frame = false;
    FUZZ_CHECK(s.frame_phase == 1);
    FUZZ_CHECK(beam.tick == frame_ops.ops);
    FUZZ_CHECK(frame_ops.first_dark && frame_ops.last_dark);

    FUZZ_CHECK(frame_ops.body_lit == body_length(s));
    FUZZ_CHECK(frame_ops.body_dark == (s.ring_len != 0 ? 1u : 0u)); // the frame end
    FUZZ_CHECK(frame_ops.head_lit == (s.ring_len != 0 ? HEAD_MARK_POINTS : 0u));
    // The food is drawn once accepted, and only while the game runs.
    if (s.food_new == 0 && s.game_over == 0)
        FUZZ_CHECK(frame_ops.food_lit == FOOD_MARK_POINTS);
    else
        FUZZ_CHECK(frame_ops.food_lit == 0 || frame_ops.food_lit == FOOD_MARK_POINTS);
    if (frame_ops.food_lit != 0)
        FUZZ_CHECK(s.food_new == 0);
    // A candidate passes only inside the walls and, unless allowed, off the body.
    if (s.food_new != 0 && s.food_ok != 0) {
        const snake_point_t food = s.point[SNAKE_FOOD];
        FUZZ_CHECK(food.x > FIELD_X_MIN && food.x < FIELD_X_MAX);
        FUZZ_CHECK(food.y > FIELD_Y_MIN && food.y < FIELD_Y_MAX);
        FUZZ_CHECK(!frame_ops.body_on_candidate || s.params.food_on_body != 0);
    }
    if (frame_ops.body_on_head)
        FUZZ_CHECK(s.game_over == 1);
    if (g.frames == 1)
        g.wall_ops = frame_ops.wall;
    FUZZ_CHECK(frame_ops.wall == g.wall_ops);
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::uint8_t hdr[HEADER] = {};
    for (std::size_t i = 0; i < HEADER && i < size; ++i)
        hdr[i] = data[i];

    static game_t g;
    g = game_t{};
    beam = beam_t{};
    watched = &g.s;
    set_seed(static_cast<std::uint16_t>(hdr[0] << 8 | hdr[1]));

    painting = false;
    in_frame = false;
    menuitem_snake.onEnter(&g.s);
    g.level = static_cast<std::uint8_t>(1 + hdr[2] % SNAKE_LEVEL_COUNT);
    snake_set_level(&g.s, g.level);
    if (hdr[3] & 1)
        g.s.params.speed = hdr[4];
    if (hdr[3] & 2)
        g.s.params.growth = hdr[5];
    g.growth = g.s.params.growth;
    check_record(g);
    FUZZ_CHECK(g.s.frame_phase == 1 && g.s.ring_len == 1 && g.s.ring[0].len == 20);

    pixel_call(g); // the park
    FUZZ_CHECK(call_ops.dark == 1 && call_ops.lit == 1 && !call_ops.dark_after_lit);
    FUZZ_CHECK(call_ops.x == PARK_XY && call_ops.y == PARK_XY);
    FUZZ_CHECK(g.s.frame_phase == 2 && beam.tick == 2);

    for (std::size_t i = HEADER; i < size && g.frames < MAX_FRAMES; ++i) {
        if (!paint_frame(g))
            return 0;
        if (data[i] != 0) {
            const snake_t before = g.s;
            menuitem_snake.onKey(&g.s, data[i]);
            check_record(g);
            if (before.game_over != 0) // after a crash no key has any effect
                FUZZ_CHECK(g.s.params.speed == before.params.speed &&
                           g.s.dir_next == before.dir_next && g.s.dir == before.dir);
        }
        menuitem_snake.onTimeChanged(&g.s, 0);
        check_record(g);
        FUZZ_CHECK(g.s.frame_phase == 1);
    }
    return 0;
}
