#include "web/api/web_text.h"

#include "web/api/web_export.h"

namespace {

std::string input;
std::string output;

} // namespace

std::string_view web_input_text(std::size_t offset, std::size_t n)
{
    const std::string_view all = input;
    if (offset >= all.size())
        return {};
    return all.substr(offset, n);
}

void web_output(std::string text) { output = std::move(text); }

WEB_EXPORT("web_input") char *web_input(int n)
{
    input.assign(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
    return input.data();
}

WEB_EXPORT("web_output_text") const char *web_output_text() { return output.data(); }

WEB_EXPORT("web_output_length") int web_output_length() { return static_cast<int>(output.size()); }
