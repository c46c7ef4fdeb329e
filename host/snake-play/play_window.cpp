#include "host/snake-play/play_window.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

#include "host/image/screen_color.h"
#include "host/play/display_fit.h"

struct play_window_t {
    SDL_Window *window = nullptr;
    SDL_Renderer *renderer = nullptr;
    SDL_Texture *texture = nullptr; // picture_side a side, RGB, filled by every window_show
    int picture_side = SCREEN_SIDE;
    bool fill = false;
};

namespace {

std::string sdl_error(const char *what) { return std::string(what) + ": " + SDL_GetError(); }

bool shows_nothing(const char *driver)
{
    return driver != nullptr &&
           (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

bool driver_asked_for()
{
    const char *name = std::getenv("SDL_VIDEODRIVER");
    return name != nullptr && name[0] != '\0';
}

// Without XDG_RUNTIME_DIR (and no WAYLAND_DISPLAY that is a path of its own)
// no Wayland compositor can be reached, yet SDL tries, and libwayland says
// "error: XDG_RUNTIME_DIR is invalid or not set in the environment." on its
// way to the next driver. SDL then gets its own drivers in its own order
// without wayland. A driver the user names (SDL_VIDEODRIVER) is left alone.
void skip_unreachable_wayland()
{
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    const char *display = std::getenv("WAYLAND_DISPLAY");
    if (driver_asked_for() || (runtime != nullptr && runtime[0] != '\0') ||
        (display != nullptr && display[0] == '/'))
        return;
    std::string drivers;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const std::string name = SDL_GetVideoDriver(i);
        if (name != "wayland")
            drivers += (drivers.empty() ? "" : ",") + name;
    }
    SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
}

} // namespace

play_window_t *window_open(int scale, bool fill, bool headless_ok, int picture_side, bool smooth,
                           std::string *error)
{
    skip_unreachable_wayland();
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        *error = sdl_error("SDL_Init");
        return nullptr;
    }
    const char *driver = SDL_GetCurrentVideoDriver();
    if (shows_nothing(driver) && !headless_ok && !driver_asked_for()) {
        *error = std::string("no display for a window (SDL chose its ") + driver +
                 " video driver); set DISPLAY, use xvfb-run, or run headless with --frames N "
                 "--screenshot FILE";
        SDL_Quit();
        return nullptr;
    }
    auto *w = new play_window_t;
    w->fill = fill || smooth;
    w->picture_side = picture_side;
    // Exact points stay sharp squares; the tube's picture is smooth at any size.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, smooth ? "linear" : "nearest");
    w->window = SDL_CreateWindow("snake-play", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                 SCREEN_SIDE * scale, SCREEN_SIDE * scale,
                                 SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (w->window != nullptr)
        w->renderer = SDL_CreateRenderer(w->window, -1, 0);
    if (w->renderer != nullptr)
        w->texture = SDL_CreateTexture(w->renderer, SDL_PIXELFORMAT_RGB24,
                                       SDL_TEXTUREACCESS_STREAMING, picture_side, picture_side);
    if (w->texture == nullptr) {
        *error = sdl_error("cannot open a window");
        window_close(w);
        return nullptr;
    }
    return w;
}

void window_close(play_window_t *w)
{
    if (w->texture != nullptr)
        SDL_DestroyTexture(w->texture);
    if (w->renderer != nullptr)
        SDL_DestroyRenderer(w->renderer);
    if (w->window != nullptr)
        SDL_DestroyWindow(w->window);
    delete w;
    SDL_Quit();
}

void window_show(play_window_t *w, const rgb_image_t &picture)
{
    // A picture of another size (a stepped frame on the tube) gets a texture of its own size.
    if (picture.width != w->picture_side) {
        SDL_Texture *texture =
            SDL_CreateTexture(w->renderer, SDL_PIXELFORMAT_RGB24, SDL_TEXTUREACCESS_STREAMING,
                              picture.width, picture.height);
        if (texture == nullptr)
            return; // the last picture stays on the screen
        SDL_DestroyTexture(w->texture);
        w->texture = texture;
        w->picture_side = picture.width;
    }
    SDL_UpdateTexture(w->texture, nullptr, picture.rgb.data(), picture.width * 3);
    int out_w = 0;
    int out_h = 0;
    SDL_GetRendererOutputSize(w->renderer, &out_w, &out_h);
    const display_rect_t r = display_fit(out_w, out_h, w->picture_side, w->fill);
    const SDL_Rect dest{r.x, r.y, r.w, r.h};
    // Around the picture, the colour of the screen outside its disc.
    SDL_SetRenderDrawColor(w->renderer, SCREEN_OUTSIDE[0], SCREEN_OUTSIDE[1], SCREEN_OUTSIDE[2],
                           255);
    SDL_RenderClear(w->renderer);
    SDL_RenderCopy(w->renderer, w->texture, nullptr, &dest);
    SDL_RenderPresent(w->renderer);
}

void window_poll(play_window_t *, std::vector<play_input_t> *inputs)
{
    SDL_Event e;
    while (SDL_PollEvent(&e) != 0) {
        if (e.type == SDL_QUIT) {
            inputs->push_back({play_action_t::quit, 0});
        } else if (e.type == SDL_KEYDOWN && e.key.repeat == 0) {
            // A held key does not repeat: the device's keys do not either.
            const play_input_t input = map_key(e.key.keysym.sym);
            if (input.action != play_action_t::none)
                inputs->push_back(input);
        }
    }
}

void window_wait(play_window_t *, std::int64_t us)
{
    const std::int64_t ms = (us + 999) / 1000; // never wake early into a busy loop
    if (ms > 0)
        SDL_WaitEventTimeout(nullptr, static_cast<int>(ms));
}

std::int64_t clock_us()
{
    static const Uint64 frequency = SDL_GetPerformanceFrequency();
    const Uint64 now = SDL_GetPerformanceCounter();
    return static_cast<std::int64_t>(now / frequency * 1000000 +
                                     now % frequency * 1000000 / frequency);
}
