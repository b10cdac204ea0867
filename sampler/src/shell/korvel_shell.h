// shell/: the command shell and its commands; they may use every other folder. Only the public interface in sampler/src
// itself is above them.
#pragma once
// Shell loops: read lines from a descriptor and run them as commands, answers going to another descriptor; in the
// caller's thread or on a thread of their own.
//
// Thread contract: a shell with a thread runs its loop there and calls the synthesizer from that thread; the library
// adds no locking, so nothing else may drive the same synthesizer meanwhile. Make, run and delete shells on the
// control thread, never the audio thread.

#include "sampler/src/shell/korvel_cmd.h"
#include "sampler/src/sys/korvel_settings.h"
#include "sampler/src/sys/korvel_sys.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _korvel_shell_t {
  korvel_settings_t* settings; // borrowed, may be none
  korvel_cmd_handler_t* handler; // borrowed
  korvel_thread_t* thread; // none when the loop runs in the caller's thread
  korvel_strtok_t* tokenizer;
  korvel_istream_t in;
  korvel_ostream_t out;
} korvel_shell_t;

// Makes a shell. With thread non-zero the loop starts on a new thread and the shell is returned at once (none when
// the thread cannot be started). With thread 0 the loop runs here until a quit or the end of input, then the shell
// is returned. None with the panic "Out of memory".
korvel_shell_t* new_korvel_shell(korvel_settings_t* settings, korvel_cmd_handler_t* handler, korvel_istream_t in,
                                 korvel_ostream_t out, int thread);
// Sets up a caller-owned shell (it starts no thread) with its tokenizer. 0; -1 without memory.
int korvel_shell_init(korvel_shell_t* shell, korvel_settings_t* settings, korvel_cmd_handler_t* handler,
                      korvel_istream_t in, korvel_ostream_t out);
// The loop: reads lines of at most 1022 characters until a quit, the end of input or a read failure (an over-long
// line is one). The number of lines whose command gave -1.
int korvel_shell_run(korvel_shell_t* shell);
// Releases the shell. A shell with a thread is waited for first: end its input (or send "quit") before deleting it.
void delete_korvel_shell(korvel_shell_t* shell);

// The loop on standard input with answers on standard output: the number of failed lines.
int korvel_usershell(korvel_settings_t* settings, korvel_cmd_handler_t* handler);

// Executes filename line by line, replying on standard output, until its end or a quit. Returns how many lines
// failed (-1 results), or -1 if the file does not open.
int korvel_source(korvel_cmd_handler_t* handler, const char* filename);
// The "source" command; data is the handler table. An unopenable file is skipped (0); otherwise -1 if a line
// failed. More than 16 nested files print "source: too deeply nested\n" and give -1.
int korvel_handle_source(void* data, int ac, char** av, korvel_ostream_t out);

#ifdef __cplusplus
}
#endif
