// Why the demo driver could not be built, beyond the errors the generator itself reports.
#pragma once

#include "platform/audiounit/AUError.h"

enum class PallixDriverError {
  quorvaneNotReadyForMIDI, // the synthesiser offered no MIDI schedule entry
};

inline AUError errorOf(PallixDriverError error) {
  switch (error) {
  case PallixDriverError::quorvaneNotReadyForMIDI:
    break;
  }
  return AUError{kAudioUnitErr_NoConnection,
                 "the synthesiser offers no MIDI schedule entry (quorvaneNotReadyForMIDI)"};
}
