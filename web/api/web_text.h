// Text between the page and the module: JS writes bytes (a key script, its
// file name) into the input buffer and calls a function that reads them;
// a function that answers in text leaves it in the output, which JS reads by
// pointer and length.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Bytes [offset, offset + n) of what JS wrote last; empty past its end.
std::string_view web_input_text(std::size_t offset, std::size_t n);

// The answer JS reads next.
void web_output(std::string text);

extern "C" {
// Room for n bytes of input; JS writes them at the pointer returned.
char *web_input(int n);
const char *web_output_text();
int web_output_length();
}
