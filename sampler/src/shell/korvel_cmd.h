#pragma once
// The command shell's command table and command handler: named commands with a topic and a help text, a table of
// registered commands keyed by name, and the dispatch of one text line.
//
// Thread contract: one thread at a time owns a handler for its whole life, never the audio thread. Commands act on
// their synthesizer from that thread, so the caller keeps every other user (renderer included) off it meanwhile.

#include "sampler/src/shell/korvel_cmd_stream.h"
#include "sampler/src/sys/korvel_hash.h"
#include "sampler/src/sys/korvel_strtok.h"

#ifdef __cplusplus
extern "C" {
#endif

// Command callback: the row's data, the arguments after the name (ac, av) and the output for replies. Returns 0 on
// success, -1 on failure, -2 to quit the shell.
typedef int (*korvel_cmd_func_t)(void* data, int ac, char** av, korvel_ostream_t out);

typedef struct _korvel_cmd_t {
  const char* name;
  const char* topic;
  korvel_cmd_func_t handler;
  void* data;
  const char* help;
} korvel_cmd_t;

typedef korvel_hashtable_t korvel_cmd_handler_t;

enum {
  KORVEL_CMD_MAX_TOKENS = 100, // of one command line, the command's name included
  KORVEL_CMD_QUIT = -2
};

// The built-in commands, ended by a row without name. Their rows carry no data.
extern const korvel_cmd_t korvel_commands[];

// A handler table. With a synthesizer every built-in command is registered with it as data; in every case "source"
// is registered with the table itself as data. None when out of memory.
korvel_cmd_handler_t* new_korvel_cmd_handler(void* synth);
// Releases the table and every row.
void delete_korvel_cmd_handler(korvel_cmd_handler_t* handler);
// Stores a copy of the row (name, topic and help copied) under its name, replacing a row of that name. 0; -1 with
// the panic "Out of memory".
int korvel_cmd_handler_register(korvel_cmd_handler_t* handler, const korvel_cmd_t* cmd);
// Removes the row of that name: 1 when it existed, else 0.
int korvel_cmd_handler_unregister(korvel_cmd_handler_t* handler, const char* name);
// Runs av[0] with av[1..] as arguments and returns its result. -1 for an empty line, or for a name with no row or
// no function (after printing an "unknown command" hint).
int korvel_cmd_handler_handle(korvel_cmd_handler_t* handler, int ac, char** av, korvel_ostream_t out);

// Runs one line (a tokenizer of its own): the command's result; 1 for a comment ("#" as first character) or a
// line without tokens; -1 when no tokenizer could be made. A line of more than 100 tokens prints
// "%s: too many arguments\n" with the command's name and gives -1.
int korvel_command(korvel_cmd_handler_t* handler, char* line, korvel_ostream_t out);
// The same on a given tokenizer, which is reset on the line (terminators are written into the line).
int korvel_command2(korvel_strtok_t* tokenizer, korvel_cmd_handler_t* handler, char* line, korvel_ostream_t out);

// Prints "not yet implemented\n": -1. In no table.
int korvel_handle_mstat(void* data, int ac, char** av, korvel_ostream_t out);

#ifdef __cplusplus
}
#endif
