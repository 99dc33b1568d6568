// Text forms of four-character codes and component descriptions, for messages.
#include "platform/audiounit/ComponentDescription.h"

std::string fourCharCodeString(FourCharCode code) {
  std::string text(4, ' ');
  for (int i = 0; i < 4; ++i) {
    const char c = static_cast<char>((code >> (24 - 8 * i)) & 0xFF);
    text[static_cast<std::size_t>(i)] = (c >= 0x20 && c < 0x7F) ? c : '?';
  }
  return text;
}

std::string componentDescriptionString(const AudioComponentDescription& description) {
  return fourCharCodeString(description.componentType) + "/" +
         fourCharCodeString(description.componentSubType) + "/" +
         fourCharCodeString(description.componentManufacturer);
}
