#include "sampler/src/sys/korvel_strtok.h"

#include <cstring>
#include <new>

#include "sampler/src/sys/korvel_sys.h"

namespace {

bool isDelimiter(char c, const char* delimiters) { return korvel_strtok_char_index(c, delimiters) >= 0; }

}  // namespace

extern "C" {

korvel_strtok_t* new_korvel_strtok(char* text, const char* delimiters) {
  auto* tokenizer = new (std::nothrow) korvel_strtok_t;
  if (!tokenizer) {
    korvel_log(KORVEL_ERR, "Out of memory");
    return nullptr;
  }
  korvel_strtok_set(tokenizer, text, delimiters);
  return tokenizer;
}

int korvel_strtok_set(korvel_strtok_t* tokenizer, char* text, const char* delimiters) {
  tokenizer->string = text;
  tokenizer->delim = delimiters;
  tokenizer->offset = 0;
  tokenizer->len = text ? static_cast<int>(std::strlen(text)) : 0;
  return 0;
}

int delete_korvel_strtok(korvel_strtok_t* tokenizer) {
  if (!tokenizer) {
    korvel_log(KORVEL_ERR, "Null pointer");
    return 0;
  }
  delete tokenizer;
  return 0;
}

char* korvel_strtok_next_token(korvel_strtok_t* tokenizer) {
  if (!tokenizer->string || !tokenizer->delim) {
    korvel_log(KORVEL_ERR, "Null pointer");
    return nullptr;
  }
  char* text = tokenizer->string;
  int start = tokenizer->offset;
  while (start < tokenizer->len && isDelimiter(text[start], tokenizer->delim)) ++start;
  if (start >= tokenizer->len) {
    tokenizer->offset = tokenizer->len;
    return nullptr;
  }
  int end = start;
  while (end < tokenizer->len && !isDelimiter(text[end], tokenizer->delim)) ++end;
  text[end] = '\0';
  tokenizer->offset = end + 1;
  return text + start;
}

int korvel_strtok_has_more(korvel_strtok_t* tokenizer) {
  if (!tokenizer->string || !tokenizer->delim) return 0;
  for (int i = tokenizer->offset; i < tokenizer->len; ++i)
    if (!isDelimiter(tokenizer->string[i], tokenizer->delim)) return -1;
  return 0;
}

int korvel_strtok_char_index(int character, const char* text) {
  if (!text) {
    korvel_log(KORVEL_ERR, "Null pointer");
    return -1;
  }
  if (character == '\0') return -1;
  const char* found = std::strchr(text, character);
  return found ? static_cast<int>(found - text) : -1;
}

}  // extern "C"
