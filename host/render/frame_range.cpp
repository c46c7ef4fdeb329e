#include "host/render/frame_range.h"

#include <charconv>

#include "host/keys/key_script.h"

namespace {

bool read_frame(std::string_view word, std::int64_t *value)
{
    if (word.empty() || word.size() > 10)
        return false;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), *value);
    return ec == std::errc{} && end == word.data() + word.size();
}

} // namespace

bool parse_frame_range(std::string_view text, frame_range_t *out, std::string *error)
{
    const std::string shown(text);
    frame_range_t range;
    std::string_view span = text;
    const std::size_t slash = text.find('/');
    if (slash != std::string_view::npos) {
        span = text.substr(0, slash);
        if (!read_frame(text.substr(slash + 1), &range.step) || range.step < 1) {
            *error = "the step in '" + shown + "' must be a whole number of at least 1";
            return false;
        }
    }
    const std::size_t dash = span.find('-');
    const bool one = dash == std::string_view::npos;
    if (!read_frame(span.substr(0, dash), &range.first) ||
        !read_frame(one ? span.substr(0, dash) : span.substr(dash + 1), &range.last)) {
        *error = "'" + shown + "' is not a frame N, a range A-B or A-B/STEP";
        return false;
    }
    if (range.first < 1 || range.last > KEY_SCRIPT_MAX_FRAME || range.first > range.last) {
        *error = "frames in '" + shown + "' must rise within 1 to 2147483647";
        return false;
    }
    range.last -= (range.last - range.first) % range.step; // the last frame the step reaches
    *out = range;
    return true;
}

std::int64_t frame_count(const frame_range_t &range)
{
    return (range.last - range.first) / range.step + 1;
}
