// Events that carry raw data bytes: user events and system-exclusive data; the meta events (MetaEvents.h) build on
// UserEvent as well.
// Threads: as EventNode.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "shared/midievents/EventNode.h"

class UserEvent : public EventNode {
 public:
  static constexpr EventKind staticKind = EventKind::UserEvent;
  UserEvent() { statusMask = 0xFF; }
  EventKind kind() const override { return staticKind; }
  // Adds length, data, hexadecimal and verbose.
  void dumpout() const override;

  using EventNode::toHex;
  // "%2X " per byte, trailing blank included; "" when there is no data.
  std::string toHex() const;
  // Each data byte as one character (code point 0 to 255), not decoded as UTF-8; empty for no data.
  std::string toText() const;
  // A copy of data.
  std::vector<uint8_t> getData() const { return data; }
  // Appends bytes to data (the bytes already there stay) and sets length to the new byte count. len is not used.
  void setData(uint32_t len, std::span<const uint8_t> bytes);
  // data.size(); the length field may differ.
  std::size_t getLength() const { return data.size(); }

  // The byte count the event declares; equals data's count after every setter, but a fresh meta event declares its
  // nominal length with no data yet.
  uint32_t length = 0;
  std::vector<uint8_t> data;

 protected:
  // Replaces data by bytes and sets length to their count.
  void replaceData(std::span<const uint8_t> bytes);
  void replaceData(std::initializer_list<uint8_t> bytes) { replaceData(std::span(bytes.begin(), bytes.size())); }
  // The four lines UserEvent adds to the listing.
  void dumpUserLines() const;
  // data as text, one character per byte.
  std::string dataAsCharacters() const;
};

class SystemExclusiveEvent : public UserEvent {
 public:
  static constexpr EventKind staticKind = EventKind::SystemExclusiveEvent;
  static constexpr uint8_t start = 0xF0;
  static constexpr uint8_t stop = 0xF7;

  SystemExclusiveEvent() { statusMask = 0xF0; }
  EventKind kind() const override { return staticKind; }
  // Lists type, length, data and hexadecimal only, without the lines of its base classes.
  void dumpout() const override;

  uint8_t type = 0xF0;
};
