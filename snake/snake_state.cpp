#include "snake/snake_state.h"

#include <cstring>

#include "parith/parith15.h"
#include "snake/snake_private.h"

snake_statics_t snake_statics()
{
    snake_statics_t out{};
    out.drawinfo = drawinfo;
    std::memcpy(out.text, snake_text, sizeof out.text);
    out.sreg = SREG;
    out.seed = seed;
    return out;
}
