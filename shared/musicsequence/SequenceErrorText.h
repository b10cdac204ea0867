#pragma once

#include "platform/musicsequence/MusicSequenceTypes.h"

// Logs a status of the music-sequence interface as three lines through safeprint: "Fehler: " and the status in
// signed decimal, the platform's own description, and a German explanation ("Ende der Spur." for -10857;
// "Etwas ist fehlgeschlagen." for any status without one).
// Threads: any thread except the render thread.
void sequenceErrorText(OSStatus status);
