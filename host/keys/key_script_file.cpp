#include "host/keys/key_script_file.h"

#include "host/io/line_input.h"
#include "host/keys/stimuli.h"

bool load_key_script(const std::string &name, key_script_t *out, std::string *error)
{
    if (name == BUILTIN_KEYS) {
        *out = builtin_key_script();
        return true;
    }
    // The name goes into messages: shown as a terminal may take it.
    const std::string shown = shown_text(name, name.size());
    key_script_reader_t reader(shown);
    std::string fault;
    const line_input_end_t end = read_lines(
        name, {KEY_SCRIPT_LINE_MAX, KEY_SCRIPT_SIZE_MAX},
        [&](std::string_view line) { return reader.add_line(line, &fault); }, error);
    switch (end) {
    case line_input_end_t::whole: *out = std::move(reader.script); return true;
    case line_input_end_t::stopped: *error = fault; return false;
    case line_input_end_t::too_large: *error = key_script_too_long(reader); return false;
    case line_input_end_t::unreadable:
        *error = "cannot read the key script " + shown + ": " + *error;
        return false;
    }
    return false;
}
