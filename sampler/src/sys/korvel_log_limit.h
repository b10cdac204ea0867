// Log lines on the thread that renders and handles MIDI. Each call site owns a limit that lets a few lines per
// second through and drops the rest, so that a flood of MIDI input cannot become a flood of writes to the log.
//
// Thread contract: any thread; a limit may be shared by several threads (its counters are atomic). A line that is
// let through formats into a stack buffer and goes to the log function of its level, which does the writing.
#pragma once

#include <atomic>

#ifdef __cplusplus
extern "C" {
#endif

enum { KORVEL_LOG_LIMIT_LINES = 8, KORVEL_LOG_LIMIT_WINDOW_MS = 1000 };

typedef struct _korvel_log_limit_t {
    std::atomic<unsigned int> window_start; // milliseconds
    std::atomic<unsigned int> lines;        // let through in the current window
    std::atomic<unsigned int> generation;   // of korvel_log_limits_reopen when the window started
} korvel_log_limit_t;

// Whether the site's limit lets one more line through now; counts the line when it does.
bool korvel_log_limit_pass(korvel_log_limit_t* limit);
// korvel_log while the site's limit allows, nothing otherwise. Always -1, like korvel_log.
int korvel_log_limited(korvel_log_limit_t* limit, int level, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
// Starts a new window at every site, so that the next lines are let through whatever came before; for a caller
// that has just installed its own log functions, and for tests.
void korvel_log_limits_reopen(void);

#ifdef __cplusplus
}
#endif
