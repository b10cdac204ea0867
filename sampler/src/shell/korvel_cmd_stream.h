#pragma once
// Line input and formatted output on file descriptors, as the command shell uses them.
//
// Thread contract: any thread other than the audio thread (they read and write descriptors); one thread at a time
// per descriptor.

#ifdef __cplusplus
extern "C" {
#endif

typedef int korvel_istream_t;
typedef int korvel_ostream_t;

enum {
  KORVEL_SHELL_LINE_SIZE = 1024,    // bytes of the shell's line buffer, terminator included
  KORVEL_OSTREAM_BUFFER_SIZE = 4096 // at most 4094 characters of one answer go out
};

// Descriptor 0 and descriptor 1.
korvel_istream_t korvel_get_stdin(void);
korvel_ostream_t korvel_get_stdout(void);

// Reads one line into buffer (length bytes with the terminator), dropping the closing "\n" or "\r": 1. At end of
// input, whatever was read (maybe nothing): 0. A failed read returns its negative result; length < 2 or a line too
// long for the buffer returns -1.
int korvel_istream_gets(korvel_istream_t in, char* buffer, int length);
// The same; the prompt is not shown.
int korvel_istream_readline(korvel_istream_t in, const char* prompt, char* buffer, int length);

// Formats and writes the text in one write: that write's result. Longer answers are cut to 4094 characters. An
// empty answer writes nothing and gives 0; a failed format prints "korvel_ostream_printf: buffer overflow" on
// standard output and gives -1.
int korvel_ostream_printf(korvel_ostream_t out, const char* format, ...) __attribute__((format(printf, 2, 3)));

#ifdef __cplusplus
}
#endif
