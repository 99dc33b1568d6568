// The structure of a standard MIDI file, checked before the file is read: every chunk, event
// and length must lie where the file says, so no reader runs past a track or invents a note.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tools {

// The file's header and tracks, without chunks of other types (which readers are to skip).
// Throws UsageError "'NAME': track T at byte B: REASON" (or without the track, for the header
// and chunk framing) for a length past the end of its track or file, an event cut short, a
// data byte with no status to run on, a status byte no file may hold, a tempo that is not
// three bytes, or a track count that differs from the header's.
std::vector<std::uint8_t> checkedMidiFile(std::span<const std::uint8_t> bytes,
                                          const std::string& name);

} // namespace tools
