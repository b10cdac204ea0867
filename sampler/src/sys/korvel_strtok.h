#pragma once
// A tokenizer that splits a text in place: it writes terminators into the text at the delimiters it stops at and
// copies nothing. Consecutive delimiters never give empty tokens.
//
// Thread contract: no locks inside; one thread at a time per tokenizer.

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _korvel_strtok_t {
  char* string;       // not copied; receives terminators
  const char* delim;  // not copied
  int offset;         // where the next search starts
  int len;            // the text's length when it was set
} korvel_strtok_t;

// A tokenizer at offset 0 (text and delimiters may be none). None when out of memory (logged).
korvel_strtok_t* new_korvel_strtok(char* text, const char* delimiters);
// Points an existing tokenizer at a new text and delimiters, at offset 0. 0.
int korvel_strtok_set(korvel_strtok_t* tokenizer, char* text, const char* delimiters);
// Releases the tokenizer (not the text). 0.
int delete_korvel_strtok(korvel_strtok_t* tokenizer);
// The next token, terminated in place, or none when the text holds no more.
char* korvel_strtok_next_token(korvel_strtok_t* tokenizer);
// -1 while a token is left from the offset on; 0 once only delimiters (or nothing) remain.
int korvel_strtok_has_more(korvel_strtok_t* tokenizer);
// strchr as an index; -1 when not found, for '\0' and for a null text.
int korvel_strtok_char_index(int character, const char* text);

#ifdef __cplusplus
}
#endif
