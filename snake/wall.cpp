// The wall outline of all four levels as one stream of tagged segments, and
// the reader that hands it to the painter one stroke at a time while testing
// the head against each stroke and counting the food candidate's crossings.
#include "snake/snake_private.h"

namespace {

constexpr std::uint8_t WALL_MOVE_TO = 0x81;
constexpr std::uint8_t WALL_LEN_MASK = 0x78;
constexpr std::uint8_t WALL_MARK_MASK = 0x79;
constexpr std::uint8_t WALL_LEVEL_END = 0x01; // under WALL_MARK_MASK; 0x00 ends at every level
constexpr std::uint8_t WALL_MOVE_SHIFT = 4;   // a figure starts one stroke step left of its move-to

} // namespace

// Byte: bit 0 sign (+), bits 1-2 level n, bits 3-6 length, bit 7 level sense u.
// The axis follows the byte's position: odd runs along x, even along y.
// clang-format off
const std::array<std::uint8_t, WALL_SIZE> WALL = {
    0x81, 0x2C, 0x34,       //  0: move-to (44, 52)
    0x31,                   //  3: +x 48   levels 1-4
    0x1B,                   //  4: +y 24   levels 2-4
    0x41,                   //  5: +x 64   levels 1-4
    0x17,                   //  6: +y 16   level 4
    0x0F,                   //  7: +x 8    level 4
    0x1A,                   //  8: -y 24   levels 2-4
    0x46,                   //  9: -x 64   level 4
    0x16,                   // 10: -y 16   level 4
    0x3F,                   // 11: +x 56   level 4
    0x88,                   // 12: -y 8    no level
    0x31,                   // 13: +x 48   levels 1-4
    0x51,                   // 14: +y 80   levels 1-4
    0x0A,                   // 15: -x 8    levels 2-4
    0x11,                   // 16: +y 16   levels 1-4
    0x0B,                   // 17: +x 8    levels 2-4
    0x21,                   // 18: +y 32   levels 1-4
    0x78,                   // 19: -x 120  levels 1-4
    0x88,                   // 20: -y 8    no level
    0xAA,                   // 21: -x 40   level 1
    0x2A,                   // 22: -y 40   levels 2-4
    0x2A,                   // 23: -x 40   levels 2-4
    0xAA,                   // 24: -y 40   level 1
    0x88,                   // 25: -x 8    no level
    0x58,                   // 26: -y 88   levels 1-4
    0x05,                   // 27: level end mark: ends levels 1-2
    0x81, 0x94, 0x8C,       // 28: move-to (148, 140), the T obstacle
    0x1D,                   // 31: +x 24   levels 3-4
    0x0C,                   // 32: -y 8    levels 3-4
    0x0C,                   // 33: -x 8    levels 3-4
    0x24,                   // 34: -y 32   levels 3-4
    0x0C,                   // 35: -x 8    levels 3-4
    0x25,                   // 36: +y 32   levels 3-4
    0x0C,                   // 37: -x 8    levels 3-4
    0x0D,                   // 38: +y 8    levels 3-4
    0x00,                   // 39: end mark
};
// clang-format on

namespace {

std::uint8_t u8(int v) { return static_cast<std::uint8_t>(v); }

bool horizontal(std::uint8_t heading) { return (heading & 1) == 0; }
bool forward(std::uint8_t heading) { return heading >= 2; } // +x or +y

std::uint8_t heading_at(std::uint8_t e, std::size_t position)
{
    const std::uint8_t along_y = (position % 2 == 0) ? 1 : 0;
    return u8(2 * (e & 1) + along_y);
}

// m = n + 0x40 u; hidden at L when L <= m < L + 0x40 (8-bit).
bool hidden_at(std::uint8_t e, std::uint8_t level)
{
    const std::uint8_t m = (e >> 1) & 0x43;
    return level <= m && m < u8(level + 0x40);
}

// Closed range from s0 over len units in the segment's direction, 8-bit bounds.
bool within(std::uint8_t a, std::uint8_t s0, std::uint8_t len, std::uint8_t heading)
{
    if (forward(heading))
        return s0 <= a && a <= u8(s0 + len);
    return u8(s0 - len) <= a && a <= s0;
}

// Winding count of the edges above the candidate: 1 inside the playing area.
void food_test(snake_t *s, std::uint8_t sx, std::uint8_t sy, std::uint8_t len, std::uint8_t h)
{
    const snake_point_t &food = s->point[SNAKE_FOOD];
    if (s->food_new == 0 || !horizontal(h))
        return;
    if (sy >= food.y && within(food.x, sx, len, h))
        s->food_cross = u8(h == 0 ? s->food_cross + 1 : s->food_cross - 1);
}

void head_test(snake_t *s, std::uint8_t sx, std::uint8_t sy, std::uint8_t len, std::uint8_t h)
{
    const snake_point_t &head = s->point[SNAKE_HEAD];
    const bool hit = horizontal(h) ? head.y == sy && within(head.x, sx, len, h)
                                   : head.x == sx && within(head.y, sy, len, h);
    if (hit) {
        s->crashed = 1;
        s->game_over = 1;
    }
}

std::uint8_t finish_outline(snake_t *s)
{
    s->paint_left = 0;
    if (s->food_new != 0)
        s->food_ok = (s->food_cross == 1) ? 1 : 0;
    s->paint_state = PAINT_WALL_READ;
    return 1;
}

} // namespace

std::uint8_t read_wall_seg(snake_t *s)
{
    const std::uint8_t *p = s->wall_ptr;
    bool move_to = false;
    std::uint8_t e;
    std::uint8_t len;

    for (;;) {
        e = *p++;
        if (e == WALL_MOVE_TO) {
            move_to = true;
            s->paint_x = p[0];
            s->paint_y = p[1];
            e = p[2];
            p += 3;
        }
        const bool hidden = hidden_at(e, s->level);
        if ((e & WALL_MARK_MASK) == WALL_LEVEL_END) {
            if (!hidden) { // passed over: one dark tick
                s->paint_state = PAINT_WALL;
                s->wall_ptr = p;
                s->paint_left = 0;
                return 1;
            }
            len = 0;
            break;
        }
        len = e & WALL_LEN_MASK;
        if (len == 0 || !hidden)
            break;
        move_to = false; // the next shown segment continues from the cursor
    }

    const std::uint8_t h = heading_at(e, static_cast<std::size_t>(p - 1 - WALL.data()));
    s->wall_ptr = p;
    s->paint_dir = h;
    if (len == 0)
        return finish_outline(s);

    const std::uint8_t sx = s->paint_x;
    const std::uint8_t sy = s->paint_y;
    s->paint_state = PAINT_WALL;
    if (s->game_over == 0) {
        food_test(s, sx, sy, len, h);
        head_test(s, sx, sy, len, h);
    }
    if (move_to) {
        // Step back so the first stroke step lights the move-to point itself.
        s->paint_x = u8(s->paint_x - WALL_MOVE_SHIFT);
        s->paint_left = u8(len + WALL_MOVE_SHIFT);
        return 1;
    }
    s->paint_left = len;
    return 0;
}
