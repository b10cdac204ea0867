#pragma once
// A readable listing of a sequence: every track with its properties and events, one line each.
// Threads and handle rules: see MusicSequence.h.

#include <string>

#include "platform/musicsequence/MusicSequence.h"

// The listing; "(no sequence)" for a null handle.
std::string MusicSequenceDescription(const MusicSequence& sequence);

// Prints the listing to standard output.
OSStatus CAShow(const MusicSequence& sequence);
