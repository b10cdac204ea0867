#include "shared/midievents/UserEvents.h"

#include <algorithm>
#include <limits>

#include "platform/foundation/NumberText.h"

namespace {

uint32_t byteCount(std::size_t size) {
  return static_cast<uint32_t>(std::min<std::size_t>(size, std::numeric_limits<uint32_t>::max()));
}

std::string arrayText(const std::vector<uint8_t>& bytes) {
  std::string text = "[";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) text += ", ";
    text += std::to_string(bytes[i]);
  }
  return text + "]";
}

}  // namespace

void UserEvent::dumpout() const {
  EventNode::dumpout();
  dumpUserLines();
}

std::string UserEvent::toHex() const {
  std::string text;
  for (uint8_t byte : data) text += foundation::hexText2X(byte) + " ";
  return text;
}

std::string UserEvent::toText() const { return dataAsCharacters(); }

void UserEvent::setData(uint32_t, std::span<const uint8_t> bytes) {
  data.insert(data.end(), bytes.begin(), bytes.end());
  length = byteCount(data.size());
}

void UserEvent::replaceData(std::span<const uint8_t> bytes) {
  data.assign(bytes.begin(), bytes.end());
  length = byteCount(data.size());
}

void UserEvent::dumpUserLines() const {
  dumpLine("length", std::to_string(length));
  dumpLine("data", arrayText(data));
  dumpLine("hexadecimal", toHex());
  dumpLine("verbose", toText());
}

std::string UserEvent::dataAsCharacters() const {
  // One character per byte, written as UTF-8: bytes above 0x7F become the code points U+0080 to U+00FF.
  std::string text;
  text.reserve(data.size());
  for (uint8_t byte : data) {
    if (byte < 0x80) {
      text += static_cast<char>(byte);
    } else {
      text += static_cast<char>(0xC0 | (byte >> 6));
      text += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return text;
}

void SystemExclusiveEvent::dumpout() const {
  dumpLine("type", std::to_string(type));
  dumpLine("length", std::to_string(length));
  dumpLine("data", arrayText(data));
  dumpLine("hexadecimal", toHex());
}
