#include "sampler/src/sys/korvel_log_limit.h"

#include "sampler/src/sys/korvel_sys.h"

#include <cstdarg>
#include <cstdio>

namespace {

std::atomic<unsigned int> generation{1};

} // namespace

extern "C" {

bool korvel_log_limit_pass(korvel_log_limit_t* limit)
{
    const unsigned int now = korvel_curtime();
    const unsigned int current = generation.load(std::memory_order_relaxed);
    unsigned int start = limit->window_start.load(std::memory_order_relaxed);
    const bool stale = limit->generation.exchange(current, std::memory_order_relaxed) != current;
    if ((stale || now - start >= KORVEL_LOG_LIMIT_WINDOW_MS) &&
        limit->window_start.compare_exchange_strong(start, now, std::memory_order_relaxed)) {
        limit->lines.store(0, std::memory_order_relaxed);
    }
    return limit->lines.fetch_add(1, std::memory_order_relaxed) < KORVEL_LOG_LIMIT_LINES;
}

int korvel_log_limited(korvel_log_limit_t* limit, int level, const char* format, ...)
{
    if (!korvel_log_limit_pass(limit)) {
        return -1;
    }
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return korvel_log(level, "%s", text);
}

void korvel_log_limits_reopen(void)
{
    generation.fetch_add(1, std::memory_order_relaxed);
}

} // extern "C"
