#include "sampler/src/shell/korvel_cmd_stream.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <unistd.h>

extern "C" {

korvel_istream_t korvel_get_stdin(void) { return STDIN_FILENO; }

korvel_ostream_t korvel_get_stdout(void) { return STDOUT_FILENO; }

int korvel_istream_gets(korvel_istream_t in, char* buffer, int length) {
  if (length < 2) return -1;
  int count = 0;
  while (count < length - 1) {
    char c;
    ssize_t n = read(in, &c, 1);
    if (n < 0) {
      if (errno == EINTR) continue;
      buffer[count] = '\0';
      return -errno;
    }
    if (n == 0) {
      buffer[count] = '\0';
      return 0;
    }
    if (c == '\n' || c == '\r') {
      buffer[count] = '\0';
      return 1;
    }
    buffer[count++] = c;
  }
  buffer[count] = '\0';
  return -1;
}

int korvel_istream_readline(korvel_istream_t in, const char* /*prompt*/, char* buffer, int length) {
  return korvel_istream_gets(in, buffer, length);
}

int korvel_ostream_printf(korvel_ostream_t out, const char* format, ...) {
  char buffer[KORVEL_OSTREAM_BUFFER_SIZE];
  va_list args;
  va_start(args, format);
  int length = vsnprintf(buffer, sizeof buffer - 1, format, args);
  va_end(args);
  if (length < 0) {
    std::fputs("korvel_ostream_printf: buffer overflow", stdout);
    std::fflush(stdout);
    return -1;
  }
  if (length == 0) return 0;
  if (length > KORVEL_OSTREAM_BUFFER_SIZE - 2) length = KORVEL_OSTREAM_BUFFER_SIZE - 2;
  return static_cast<int>(write(out, buffer, static_cast<size_t>(length)));
}

}  // extern "C"
