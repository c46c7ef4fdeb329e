#include "web/api/web_ticks.h"

#include <array>
#include <optional>

#include "host/sim/beam_raster.h"
#include "web/api/web_export.h"

namespace {

struct frame_record_t {
    std::vector<beam_tick_t> ticks;
    std::vector<std::uint8_t> packed;
    std::array<std::int32_t, 4 + 1 + BEAM_PASS_COUNT> info{};
};

frame_record_t record;

void on_tick(void *, const beam_tick_t &tick) { record.ticks.push_back(tick); }

void on_frame_begin(void *, const beam_frame_t &frame)
{
    record.ticks.clear();
    record.info = {};
    record.info[0] = static_cast<std::int32_t>(frame.number);
    record.info[1] = static_cast<std::int32_t>(frame.use);
}

void on_frame_end(void *, const beam_frame_end_t &end)
{
    record.info[2] = 1;
    record.info[3] = end.fault != nullptr;
    record.info[4] = end.budget->total;
    for (std::size_t p = 0; p < BEAM_PASS_COUNT; ++p)
        record.info[5 + p] = end.budget->by_pass[p];
}

std::optional<beam_listening_t> listening;

} // namespace

const std::vector<beam_tick_t> &web_frame_ticks() { return record.ticks; }

void web_ticks_listen()
{
    if (!listening)
        listening.emplace(beam_listener_t{nullptr, on_tick, on_frame_begin, on_frame_end, true});
}

WEB_EXPORT("web_ticks") const std::uint8_t *web_ticks()
{
    std::vector<std::uint8_t> &out = record.packed;
    out.resize(record.ticks.size() * WEB_TICK_BYTES);
    std::uint8_t *at = out.data();
    for (const beam_tick_t &t : record.ticks) {
        const int flags = (t.lit ? WEB_TICK_LIT : 0) | (t.joined ? WEB_TICK_JOINED : 0) |
                          (t.faulted ? WEB_TICK_FAULTED : 0);
        *at++ = t.x;
        *at++ = t.y;
        *at++ = t.from_x;
        *at++ = t.from_y;
        *at++ = static_cast<std::uint8_t>(flags);
        *at++ = static_cast<std::uint8_t>(t.pass);
        *at++ = t.state;
        *at++ = 0;
    }
    return out.data();
}

WEB_EXPORT("web_tick_count") int web_tick_count() { return static_cast<int>(record.ticks.size()); }

WEB_EXPORT("web_frame_info") const std::int32_t *web_frame_info() { return record.info.data(); }
