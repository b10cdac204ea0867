#pragma once
// Small text helpers of the command shell: number and blank tests, home-folder expansion and the names of the
// user's and the system's command files.
//
// Thread contract: any thread other than the audio thread.

#ifdef __cplusplus
extern "C" {
#endif

// 1 when every character is a digit, "+", "-" or "." (an empty text counts as a number), else 0.
int korvel_is_number(const char* text);
// 1 for a text that is empty or whitespace (" \t\n\r") only; else 0.
int korvel_is_empty(const char* text);
// path into out with a leading "~/" expanded from HOME (if set); at most length - 2 characters plus the terminator.
// With length < 2, out is not touched.
void korvel_expand_path(const char* path, char* out, int length);
// "$HOME/.korvelsynth" into out (cut to fit length bytes), or none when HOME is not set.
char* korvel_get_userconf(char* out, int length);
// "/etc/korvelsynth.conf" into out (cut to fit length bytes).
char* korvel_get_sysconf(char* out, int length);

// Text to integer and float as the commands read their arguments: values beyond the range of int are limited to
// it; text that is not a number gives 0.
int korvel_cmd_atoi(const char* text);
double korvel_cmd_atof(const char* text);

#ifdef __cplusplus
}
#endif
