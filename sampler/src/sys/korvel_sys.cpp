#include "sampler/src/sys/korvel_sys.h"

#include <pthread.h>
#include <sched.h>
#include <sys/time.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>

namespace {

constexpr const char* kLibraryName = "korvelsynth";
constexpr int kMessageCapacity = 1024;
constexpr int kTimerRealtimePriority = 10;

struct LogSlot {
  std::atomic<korvel_log_function_t> function{nullptr};
  std::atomic<void*> data{nullptr};
};

// The table is read by every thread that logs; atomics keep a host's replacement from tearing a concurrent call.
LogSlot logSlots[KORVEL_LAST_LOG_LEVEL];
std::once_flag logConfigOnce;
// One buffer per thread: messages logged from two threads at once cannot mix.
thread_local char logMessage[kMessageCapacity];

bool isLogLevel(int level) { return level >= KORVEL_PANIC && level < KORVEL_LAST_LOG_LEVEL; }

}  // namespace

extern "C" {

void korvel_log_config(void) {
  std::call_once(logConfigOnce, [] {
    for (LogSlot& slot : logSlots) {
      korvel_log_function_t none = nullptr;
      if (slot.function.compare_exchange_strong(none, korvel_default_log_function)) slot.data.store(nullptr);
    }
  });
}

// This platform gives no cycle count, so `korvel_utime` has no scale to prepare.
void korvel_time_config(void) {}

void korvel_sys_config(void) {
  korvel_log_config();
  korvel_time_config();
}

korvel_log_function_t korvel_set_log_function(int level, korvel_log_function_t function, void* data) {
  if (!isLogLevel(level)) return nullptr;
  logSlots[level].data.store(data);
  return logSlots[level].function.exchange(function);
}

void korvel_default_log_function(int level, const char* message, void*) {
  korvel_log_config();
  switch (level) {
    case KORVEL_PANIC: std::fprintf(stderr, "%s: panic: %s\n", kLibraryName, message); break;
    case KORVEL_ERR: std::fprintf(stderr, "%s: error: %s\n", kLibraryName, message); break;
    case KORVEL_WARN: std::fprintf(stderr, "%s: warning: %s\n", kLibraryName, message); break;
    case KORVEL_INFO: std::fprintf(stderr, "%s: %s\n", kLibraryName, message); break;
    default: break;
  }
  std::fflush(stderr);
}

int korvel_log(int level, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(logMessage, sizeof logMessage, format, args);
  va_end(args);
  if (isLogLevel(level)) {
    korvel_log_function_t function = logSlots[level].function.load();
    if (function) function(level, logMessage, logSlots[level].data.load());
  }
  return -1;
}

const char* korvel_error(void) { return logMessage; }

}  // extern "C"

namespace {

int fileStartsWith(const char* path, const char (&magic)[5]) {
  if (!path) return 0;
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return 0;
  char head[4];
  size_t got = std::fread(head, 1, sizeof head, file);
  std::fclose(file);
  return got == sizeof head && std::memcmp(head, magic, sizeof head) == 0 ? 1 : 0;
}

}  // namespace

extern "C" {

int korvel_is_midifile(const char* path) { return fileStartsWith(path, "MThd"); }
int korvel_is_soundfont(const char* path) { return fileStartsWith(path, "RIFF"); }

unsigned int korvel_curtime(void) {
  timeval now;
  gettimeofday(&now, nullptr);
  return static_cast<unsigned int>(now.tv_sec * 1000 + now.tv_usec / 1000);
}

double korvel_utime(void) { return 0.0; }

}  // extern "C"

struct _korvel_timer_t {
  int msec = 0;
  korvel_timer_callback_t callback = nullptr;
  void* data = nullptr;
  pthread_t thread{};
  bool hasThread = false;
  std::atomic<int> cont{1};
  int autoDestroy = 0;
  // Lets deletion wake a timer that sleeps between callbacks instead of waiting out the period.
  std::mutex wakeLock;
  std::condition_variable wake;
};

namespace {

// The grid runs on the steady clock, so a change of the time of day neither stalls the timer nor bunches its calls.
unsigned int steadyMilliseconds() {
  auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<unsigned int>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void timerSleep(korvel_timer_t* timer, int delayMsec) {
  std::unique_lock<std::mutex> lock(timer->wakeLock);
  timer->wake.wait_for(lock, std::chrono::milliseconds(delayMsec), [timer] { return timer->cont.load() == 0; });
}

// The timer loop: the entry of a timer's thread, and run in place for a timer without one. Deadlines are multiples
// of the period from the start, not from the previous callback, so lateness never adds up; after an overrun the next
// callback runs without waiting.
void* korvel_timer_start(void* data) {
  korvel_timer_t* timer = static_cast<korvel_timer_t*>(data);
  const unsigned int start = steadyMilliseconds();
  unsigned int count = 1;
  int result;
  do {
    result = timer->callback(timer->data, steadyMilliseconds() - start);
    const auto due = start + static_cast<unsigned int>(timer->msec) * count;
    const int delay = static_cast<int>(due - steadyMilliseconds());
    if (delay >= 1) timerSleep(timer, delay);
    ++count;
  } while ((result & timer->cont.load()) != 0);
  korvel_log(KORVEL_DBG, "Timer thread finished");
  if (!timer->hasThread && timer->autoDestroy) delete timer;
  return nullptr;
}

bool realtimeAttributes(pthread_attr_t* attr) {
  sched_param priority{};
  priority.sched_priority = kTimerRealtimePriority;
  return pthread_attr_setschedpolicy(attr, SCHED_FIFO) == 0 && pthread_attr_setschedparam(attr, &priority) == 0 &&
         pthread_attr_setinheritsched(attr, PTHREAD_EXPLICIT_SCHED) == 0;
}

bool startTimerThread(korvel_timer_t* timer) {
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  if (!realtimeAttributes(&attr)) {
    pthread_attr_destroy(&attr);
    pthread_attr_init(&attr);
  }
  timer->hasThread = true;
  int failed = pthread_create(&timer->thread, &attr, korvel_timer_start, timer);
  pthread_attr_destroy(&attr);
  if (!failed) {
    korvel_log(KORVEL_DBG, "The timer thread was created with real-time priority");
    return true;
  }
  if (pthread_create(&timer->thread, nullptr, korvel_timer_start, timer) == 0) {
    korvel_log(KORVEL_DBG, "The timer thread does not have real-time priority");
    return true;
  }
  timer->hasThread = false;
  korvel_log(KORVEL_ERR, "Failed to create the timer thread");
  return false;
}

}  // namespace

extern "C" {

korvel_timer_t* new_korvel_timer(int msec, korvel_timer_callback_t callback, void* data, int new_thread,
                                 int auto_destroy) {
  korvel_timer_t* timer = new (std::nothrow) korvel_timer_t;
  if (!timer) {
    korvel_log(KORVEL_ERR, "Out of memory");
    return nullptr;
  }
  timer->msec = msec;
  timer->callback = callback;
  timer->data = data;
  timer->autoDestroy = auto_destroy;
  if (new_thread) {
    if (!startTimerThread(timer)) {
      delete timer;
      return nullptr;
    }
    return timer;
  }
  korvel_timer_start(timer);
  return auto_destroy ? nullptr : timer;
}

int korvel_timer_join(korvel_timer_t* timer) {
  if (timer && timer->hasThread) {
    if (pthread_join(timer->thread, nullptr) != 0) return -1;
    timer->hasThread = false;
  }
  korvel_log(KORVEL_DBG, "Joined player thread");
  return 0;
}

int delete_korvel_timer(korvel_timer_t* timer) {
  if (!timer) return 0;
  {
    std::lock_guard<std::mutex> lock(timer->wakeLock);
    timer->cont.store(0);
  }
  timer->wake.notify_all();
  korvel_timer_join(timer);
  korvel_log(KORVEL_DBG, "Joined player thread");
  delete timer;
  return 0;
}

}  // extern "C"

struct _korvel_thread_t {
  pthread_t handle{};
  bool hasHandle = false;
  korvel_thread_func_t function = nullptr;
  void* data = nullptr;
  int detached = 0;
};

namespace {

void* threadEntry(void* record) {
  auto* thread = static_cast<korvel_thread_t*>(record);
  thread->function(thread->data);
  if (thread->detached) delete thread;
  return nullptr;
}

}  // namespace

extern "C" {

korvel_thread_t* new_korvel_thread(korvel_thread_func_t function, void* data, int detach) {
  if (!function) {
    korvel_log(KORVEL_ERR, "Invalid thread function");
    return nullptr;
  }
  korvel_thread_t* thread = new (std::nothrow) korvel_thread_t;
  if (!thread) {
    korvel_log(KORVEL_ERR, "Out of memory");
    return nullptr;
  }
  thread->function = function;
  thread->data = data;
  thread->detached = detach ? 1 : 0;
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  if (detach) pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
  // A detached thread may release the record before pthread_create returns, so its handle goes to a local.
  pthread_t handle;
  int failed = pthread_create(&handle, &attr, threadEntry, thread);
  pthread_attr_destroy(&attr);
  if (failed) {
    korvel_log(KORVEL_ERR, "Failed to create the thread");
    delete thread;
    return nullptr;
  }
  if (!detach) {
    thread->handle = handle;
    thread->hasHandle = true;
  }
  return thread;
}

int delete_korvel_thread(korvel_thread_t* thread) {
  delete thread;
  return 0;
}

int korvel_thread_join(korvel_thread_t* thread) {
  if (!thread || !thread->hasHandle) return 0;
  if (pthread_join(thread->handle, nullptr) != 0) return -1;
  thread->hasHandle = false;
  return 0;
}

}  // extern "C"
