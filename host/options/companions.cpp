#include "host/options/companions.h"

#include "host/options/option_help.h"

bool check_companions(const CLI::App &app, std::span<const companion_rule_t> rules,
                      const std::function<bool(std::string_view with)> &in_force,
                      std::string *error)
{
    for (const companion_rule_t &rule : rules) {
        if (option_given(app, rule.option) && !in_force(rule.with)) {
            *error = std::string(rule.option) + " goes with " + rule.with;
            return false;
        }
    }
    return true;
}
