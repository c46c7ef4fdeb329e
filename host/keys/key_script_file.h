// A key script by the name a user gives it: "builtin" is pc-snake's own,
// anything else a file, read a line at a time within the key-script bounds,
// so that an endless or binary file costs no more than the bounds.
#pragma once

#include <string>

#include "host/keys/key_script.h"

// The name of pc-snake's own script.
inline constexpr const char *BUILTIN_KEYS = "builtin";

// On a fault returns false with the message: "NAME:LINE: what is wrong", or
// "cannot read the key script NAME: reason".
bool load_key_script(const std::string &name, key_script_t *out, std::string *error);
