#pragma once

#include <string>

// The system's two log entry points, identical in effect: each posts a task to the main queue that writes text plus
// a line feed through foundation's log sink (standard output; tests can capture it). Callers build the full line,
// "Class::operation() : " first and any "ERROR: " after it. Per thread, lines keep their order.
//
// Threads: any thread except the render thread, which queues its lines with foundation::queueLogLineNoAlloc on its
// own hand-off ring instead (these allocate).
void debugprint(std::string text);
void safeprint(std::string text);
