// Reports of accepted writes: each is a task on the main queue that holds the sequence and the event, and tells the
// delegate set when it runs. Internal to the sequence wrapper's writers.
// Threads: queued from the writing thread; the task runs on the main queue.
#pragma once

#include <memory>

#include "platform/dispatch/MainQueue.h"
#include "shared/musicsequence/MIDISequence.h"

template <class Event>
using FoundRequirement = void (SequenceFoundDelegate::*)(const std::shared_ptr<Event>&);

// Queues the report of event to requirement when the sequence has a delegate now; nothing otherwise. A delegate
// cleared before the task runs drops the report.
template <class Event>
void queueWriteReport(MIDISequence& sequence, const std::shared_ptr<Event>& event,
                      FoundRequirement<Event> requirement) {
  if (!sequence.delegate) return;
  std::shared_ptr<MIDISequence> owner = sequence.weak_from_this().lock();
  if (!owner) return;
  dispatch::MainQueue::shared().async([owner, event, requirement] {
    if (const std::shared_ptr<SequenceFoundDelegate> delegate = owner->delegate) ((*delegate).*requirement)(event);
  });
}
