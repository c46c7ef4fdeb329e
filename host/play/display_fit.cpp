#include "host/play/display_fit.h"

#include <algorithm>

display_rect_t display_fit(int window_w, int window_h, int picture_side, bool fill)
{
    const int room = std::max(1, std::min(window_w, window_h));
    int side = room;
    if (!fill && room >= picture_side)
        side = room / picture_side * picture_side;
    return {(window_w - side) / 2, (window_h - side) / 2, side, side};
}
