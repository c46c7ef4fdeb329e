#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

#include "host/render/trace_scene.h"

namespace {

constexpr std::string_view STYLE = ".path{stroke-width:1}"
                                   ".move{stroke-width:1;stroke-dasharray:4 3}"
                                   ".filled,.dark{fill:none;stroke-width:1}"
                                   ".screen{stroke:#c8c8c8;stroke-width:1}"
                                   "text{font-family:sans-serif;font-size:16px}"
                                   ".large{font-size:24px;font-weight:bold}";

static_assert(TRACE_DASH_ON == 4 && TRACE_DASH_OFF == 3, "the dash of .move");

// Pixel positions to a tenth, the same in every locale.
void put_px(std::string &out, double v)
{
    const long long tenths = std::llround(v * 10);
    const long long mag = tenths < 0 ? -tenths : tenths;
    if (tenths < 0)
        out += '-';
    std::array<char, 24> buf{};
    out.append(buf.data(), std::to_chars(buf.data(), buf.data() + buf.size(), mag / 10).ptr);
    if (mag % 10 != 0) {
        out += '.';
        out += static_cast<char>('0' + mag % 10);
    }
}

void put_escaped(std::string &out, std::string_view text)
{
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
}

// name="value" with a pixel value.
void put_attr(std::string &out, const char *name, double v)
{
    out += ' ';
    out += name;
    out += "=\"";
    put_px(out, v);
    out += '"';
}

void put_colour(std::string &out, const char *paint, const std::string &colour)
{
    out += ' ';
    out += paint;
    out += "=\"" + colour + '"';
}

// Closes an element, with its hover title if it has one.
void close_with_title(std::string &out, const char *tag, const std::string &title)
{
    if (title.empty()) {
        out += "/>\n";
        return;
    }
    out += "><title>";
    put_escaped(out, title);
    out += "</title></";
    out += tag;
    out += ">\n";
}

void put_circle(std::string &out, const shape_t &s, const char *cls, double r, const char *paint)
{
    out += "<circle class=\"";
    out += cls;
    out += s.key ? " key\"" : "\"";
    put_attr(out, "cx", s.x);
    put_attr(out, "cy", s.y);
    put_attr(out, "r", r);
    put_colour(out, paint, s.colour);
    close_with_title(out, "circle", s.text);
}

void put_line(std::string &out, const shape_t &s, const char *cls)
{
    out += "<line class=\"";
    out += cls;
    out += '"';
    put_attr(out, "x1", s.x);
    put_attr(out, "y1", s.y);
    put_attr(out, "x2", s.x2);
    put_attr(out, "y2", s.y2);
    put_colour(out, "stroke", s.colour);
    out += "/>\n";
}

void put_rect(std::string &out, const shape_t &s, const char *cls, const char *paint)
{
    out += "<rect class=\"";
    out += cls;
    out += '"';
    if (s.kind == shape_kind_t::filled) {
        put_attr(out, "x", s.x - TRACE_FILLED_HALF);
        put_attr(out, "y", s.y - TRACE_FILLED_HALF);
        put_attr(out, "width", 2 * TRACE_FILLED_HALF);
        put_attr(out, "height", 2 * TRACE_FILLED_HALF);
    } else {
        put_attr(out, "x", s.x);
        put_attr(out, "y", s.y);
        put_attr(out, "width", s.x2 - s.x);
        put_attr(out, "height", s.y2 - s.y);
    }
    put_colour(out, paint, s.colour);
    out += "/>\n";
}

void put_text(std::string &out, const shape_t &s)
{
    out += "<text";
    if (s.large)
        out += " class=\"large\"";
    put_attr(out, "x", s.x);
    put_attr(out, "y", s.y);
    if (s.right)
        out += " text-anchor=\"end\"";
    put_colour(out, "fill", s.colour);
    out += '>';
    put_escaped(out, s.text);
    out += "</text>\n";
}

void put_shape(std::string &out, const shape_t &s)
{
    switch (s.kind) {
    case shape_kind_t::screen: put_circle(out, s, "screen", s.x2, "fill"); return;
    case shape_kind_t::path: put_line(out, s, "path"); return;
    case shape_kind_t::move: put_line(out, s, "move"); return;
    case shape_kind_t::filled: put_rect(out, s, "filled", "stroke"); return;
    case shape_kind_t::dark: put_circle(out, s, "dark", TRACE_DARK_R, "stroke"); return;
    case shape_kind_t::lit: put_circle(out, s, "lit", TRACE_DOT_R, "fill"); return;
    case shape_kind_t::swatch: put_rect(out, s, "swatch", "fill"); return;
    case shape_kind_t::text: put_text(out, s); return;
    }
}

} // namespace

std::string trace_svg(const trace_scene_t &scene)
{
    std::string out = "<svg xmlns=\"http://www.w3.org/2000/svg\"";
    put_attr(out, "width", scene.width);
    put_attr(out, "height", scene.height);
    out += " viewBox=\"0 0 ";
    put_px(out, scene.width);
    out += ' ';
    put_px(out, scene.height);
    out += "\">\n<style>";
    out += STYLE;
    out += "</style>\n<rect width=\"100%\" height=\"100%\" fill=\"";
    out += TRACE_BACKGROUND;
    out += "\"/>\n";
    for (const shape_t &s : scene.shapes)
        put_shape(out, s);
    out += "</svg>\n";
    return out;
}
