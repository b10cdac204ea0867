// sys/: the library's bottom layer (system services, logging, timers, hash table, list, settings registry, unit
// conversions); it uses no other folder.
#pragma once
// System services shared by every module of the library: leveled logging, file-type checks, clocks, a periodic
// timer and plain threads.
//
// Thread contract: logging may be called from any thread; the log table is configured once per process and the
// formatted message lives in a per-thread buffer, so `korvel_error` gives the calling thread's last message.
// Log calls format text and are not for the audio thread. Timers and threads are made and deleted on the control
// thread.

#ifdef __cplusplus
extern "C" {
#endif

enum korvel_log_level {
  KORVEL_PANIC = 0,
  KORVEL_ERR = 1,
  KORVEL_WARN = 2,
  KORVEL_INFO = 3,
  KORVEL_DBG = 4,
  KORVEL_LAST_LOG_LEVEL = 5
};

// Receives the level, the formatted message and the user data registered with the function.
typedef void (*korvel_log_function_t)(int level, const char* message, void* data);

// Once per process: every level without a function gets `korvel_default_log_function`. Later calls do nothing.
void korvel_log_config(void);
// Prepares the clock behind `korvel_utime`.
void korvel_time_config(void);
// Both of the above, logging first; done once, when the first synthesizer is made.
void korvel_sys_config(void);

// Replaces the function and data of one level (0 to 4) and returns the previous function; another level changes
// nothing and returns none.
korvel_log_function_t korvel_set_log_function(int level, korvel_log_function_t function, void* data);
// Writes "korvelsynth: panic: ", "korvelsynth: error: ", "korvelsynth: warning: " or "korvelsynth: " before the
// message and a line end after it to the standard error stream, then flushes it; debug messages are dropped.
void korvel_default_log_function(int level, const char* message, void* data);
// Formats the message (cut to 1023 characters) and hands it to the level's function, if set. Always -1, so a
// failing operation can return the result of its log call.
int korvel_log(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));
// The last message formatted by `korvel_log` on the calling thread.
const char* korvel_error(void);

// 1 when the file's first four bytes are "MThd"; 0 when they differ or the file is short or unreadable.
int korvel_is_midifile(const char* path);
// 1 when the file's first four bytes are "RIFF"; 0 when they differ or the file is short or unreadable.
int korvel_is_soundfont(const char* path);

// Time of day in milliseconds, wrapping at 2^32.
unsigned int korvel_curtime(void);
// The cycle-counter clock; this platform gives no cycle count, so always 0.0.
double korvel_utime(void);

typedef struct _korvel_timer_t korvel_timer_t;
// Called with the user data and the milliseconds since the timer started; returns 1 to go on, 0 to stop.
typedef int (*korvel_timer_callback_t)(void* data, unsigned int msec);

// Calls `callback` every `msec` milliseconds on a grid measured from the start (a late call is followed at once by
// the next one). With `new_thread` non-zero the timer runs on its own thread, asking for real-time priority first,
// and the timer is returned; release it with `delete_korvel_timer`. With `new_thread` 0 the timer runs here and
// this call returns when the callback returns 0; with `auto_destroy` set the timer is then already released and the
// result is none. None on failure (logged).
korvel_timer_t* new_korvel_timer(int msec, korvel_timer_callback_t callback, void* data, int new_thread,
                                 int auto_destroy);
// Stops the timer, waits for its thread (the callback already running finishes first) and releases it. 0.
int delete_korvel_timer(korvel_timer_t* timer);
// Waits for the timer's thread, if any, to end. 0, or -1 when the wait fails.
int korvel_timer_join(korvel_timer_t* timer);

typedef struct _korvel_thread_t korvel_thread_t;
typedef void (*korvel_thread_func_t)(void* data);

// Runs function(data) on a new thread. With detach set, the thread frees its record on exit, so the returned
// pointer only signals success and must not be touched. Null (logged) on failure.
korvel_thread_t* new_korvel_thread(korvel_thread_func_t function, void* data, int detach);
// Frees just the record; the thread is neither joined nor stopped. Not for detached threads, nor for joinable ones
// still running. 0.
int delete_korvel_thread(korvel_thread_t* thread);
// Waits for a joinable thread to end. 0, or -1 when the wait fails.
int korvel_thread_join(korvel_thread_t* thread);

#ifdef __cplusplus
}
#endif
