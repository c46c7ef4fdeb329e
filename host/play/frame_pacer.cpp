#include "host/play/frame_pacer.h"

frame_pacer_t pacer_for_fps(int fps)
{
    frame_pacer_t p;
    p.period_us = fps > 0 ? 1000000 / fps : 0;
    return p;
}

std::int64_t pacer_wait_us(const frame_pacer_t &p, std::int64_t now_us)
{
    if (!p.started || p.next_us <= now_us)
        return 0;
    return p.next_us - now_us;
}

void pacer_frame_started(frame_pacer_t *p, std::int64_t now_us)
{
    const std::int64_t due = p->started ? p->next_us : now_us;
    p->started = true;
    p->next_us = due + p->period_us;
    if (now_us - due > PACER_MAX_BEHIND * p->period_us)
        p->next_us = now_us + p->period_us;
}
