#pragma once

#include <cstdint>

// Told by a pattern sequence when its list of sections changes. Called synchronously on the thread that changed the
// sequence.
class PatternSequenceDelegate {
 public:
  virtual ~PatternSequenceDelegate() = default;
  // After a section was appended; count is the new number of sections.
  virtual void onSectionCreated(std::uint16_t count) = 0;
  // After the section at index was removed (the later ones moved down by one).
  virtual void onSectionDeleted(std::uint16_t index) = 0;
};
