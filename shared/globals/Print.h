#pragma once

#include <string>

// The two logging functions every log line of the system passes through. Each queues, asynchronously on the main
// queue, a task that writes text and a line feed to standard output (through foundation's log sink, so tests can
// capture it). The caller composes the whole line: class and operation, " : ", an optional severity word such as
// "ERROR: ", and the message. Lines queued from one thread come out in the order queued. Both behave the same.
//
// Threads: any thread except the render thread, which queues its lines with foundation::queueLogLineNoAlloc on its
// own hand-off ring instead (these allocate).
void debugprint(std::string text);
void safeprint(std::string text);
