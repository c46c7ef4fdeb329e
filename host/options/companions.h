// Options that mean something only beside another setting (`--fps` beside
// `--video`, the tube's knobs beside `--look tube`): each program lists its
// own in one table, and one function refuses any given without its
// companion, as "OPTION goes with WITH". Checked after parsing, not by
// CLI11's own "needs", whose notes would break the help's lines.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <span>
#include <string>
#include <string_view>

struct companion_rule_t {
    const char *option; // e.g. "--fps"
    const char *with;   // what must be in force, as the message names it: "--video"
};

// What the tube's knobs go with, in both programs.
inline constexpr const char *TUBE_LOOK = "the tube look (--look tube)";

// `in_force(with)` tells whether a rule's companion is in force in this run.
bool check_companions(const CLI::App &app, std::span<const companion_rule_t> rules,
                      const std::function<bool(std::string_view with)> &in_force,
                      std::string *error);
