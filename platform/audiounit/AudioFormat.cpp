// The text form of an audio format, for messages.
#include "platform/audiounit/AudioFormat.h"

#include <cstdio>

std::string AudioFormat::description() const {
  const char* type = "Float32";
  switch (commonFormat) {
  case AudioCommonFormat::float32:
    break;
  case AudioCommonFormat::float64:
    type = "Float64";
    break;
  case AudioCommonFormat::int16:
    type = "Int16";
    break;
  case AudioCommonFormat::int32:
    type = "Int32";
    break;
  }
  char text[96];
  std::snprintf(text, sizeof text, "%u ch, %g Hz, %s, %s", channelCount, sampleRate, type,
                interleaved ? "interleaved" : "deinterleaved");
  return text;
}
