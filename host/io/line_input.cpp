#include "host/io/line_input.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct file_closer_t {
    void operator()(std::FILE *f) const { std::fclose(f); }
};

std::string reason(int err) { return std::strerror(err != 0 ? err : EIO); }

} // namespace

line_input_end_t read_lines(const std::string &path, const line_bounds_t &bounds,
                            const std::function<bool(std::string_view line)> &on_line,
                            std::string *error)
{
    errno = 0;
    const std::unique_ptr<std::FILE, file_closer_t> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        *error = reason(errno);
        return line_input_end_t::unreadable;
    }
    std::string line;
    char chunk[65536];
    std::size_t total = 0;
    for (;;) {
        const std::size_t n = std::fread(chunk, 1, sizeof chunk, file.get());
        if (n == 0)
            break;
        total += n;
        if (total > bounds.size_max)
            return line_input_end_t::too_large;
        for (std::size_t i = 0; i < n; ++i) {
            if (chunk[i] != '\n') {
                line += chunk[i];
                if (line.size() <= bounds.line_max)
                    continue;
            }
            // A line past the bound goes over cut, for its owner to refuse.
            if (!on_line(line))
                return line_input_end_t::stopped;
            line.clear();
            if (chunk[i] != '\n') // the rest of an overlong line is not read on
                return line_input_end_t::stopped;
        }
    }
    if (std::ferror(file.get())) {
        *error = reason(errno);
        return line_input_end_t::unreadable;
    }
    if (!line.empty() && !on_line(line))
        return line_input_end_t::stopped;
    return line_input_end_t::whole;
}
