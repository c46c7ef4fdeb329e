// Where the 256 x 256 picture goes in a window of any size: centred, its
// aspect kept, enlarged by the largest whole factor that fits (so every
// point is a square of equal pixels), or to fill the window when asked. A
// window smaller than the picture shrinks it to fit.
#pragma once

struct display_rect_t {
    int x, y; // top left corner in the window's pixels
    int w, h;
};

display_rect_t display_fit(int window_w, int window_h, int picture_side, bool fill);
