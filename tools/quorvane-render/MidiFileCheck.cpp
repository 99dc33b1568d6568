// A walk over a standard MIDI file's chunks and events that only checks, never interprets.
#include "tools/quorvane-render/MidiFileCheck.h"

#include "hosting/CommandLine.h"

#include <cstddef>
#include <optional>

namespace tools {

namespace {

constexpr std::size_t kChunkHeaderBytes = 8;
constexpr std::size_t kMinHeaderLength = 6;
constexpr std::uint8_t kMetaEvent = 0xff;
constexpr std::uint8_t kTempo = 0x51;
constexpr std::size_t kTempoBytes = 3;

bool isChunk(std::span<const std::uint8_t> bytes, std::size_t at, const char* type) {
  for (std::size_t i = 0; i < 4; ++i)
    if (bytes[at + i] != static_cast<std::uint8_t>(type[i]))
      return false;
  return true;
}

std::uint32_t bigEndian(std::span<const std::uint8_t> bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = 0; i < count; ++i)
    value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
  return value;
}

std::string hexByte(std::uint8_t byte) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  return {'0', 'x', kDigits[byte >> 4], kDigits[byte & 0xf]};
}

// The data bytes a channel message of this status takes.
std::size_t dataBytesOf(std::uint8_t status) noexcept {
  const std::uint8_t kind = status & 0xf0;
  return kind == 0xc0 || kind == 0xd0 ? 1 : 2;
}

class TrackWalk {
public:
  TrackWalk(std::span<const std::uint8_t> bytes, std::size_t begin, std::size_t end, int track,
            const std::string& name)
      : bytes(bytes), at(begin), end(end), track(track), name(name) {}

  void run() {
    while (at < end) {
      length("a delta time");
      event();
    }
  }

private:
  std::span<const std::uint8_t> bytes;
  std::size_t at;
  std::size_t end;
  int track;
  const std::string& name;
  std::optional<std::uint8_t> runningStatus;

  [[noreturn]] void refuse(std::size_t where, const std::string& why) const {
    throw hosting::UsageError(hosting::inQuotes(name) + ": track " + std::to_string(track) +
                              " at byte " + std::to_string(where) + ": " + why);
  }

  // A variable-length quantity: at most four bytes, all inside the track.
  std::uint32_t length(const char* what) {
    const std::size_t start = at;
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      if (at >= end)
        refuse(start, std::string(what) + " runs past the end of the track");
      const std::uint8_t byte = bytes[at++];
      value = (value << 7) | (byte & 0x7f);
      if ((byte & 0x80) == 0)
        return value;
    }
    refuse(start, std::string(what) + " longer than four bytes");
  }

  void skip(std::size_t start, std::uint32_t count, const char* what) {
    if (count > end - at)
      refuse(start, std::string(what) + " of " + std::to_string(count) +
                        " bytes runs past the end of the track");
    at += count;
  }

  void event() {
    const std::size_t start = at;
    if (at >= end)
      refuse(start, "a delta time with no event after it");
    std::uint8_t status = bytes[at];
    if (status & 0x80) {
      ++at;
    } else if (runningStatus) {
      status = *runningStatus;
    } else {
      refuse(start, "a data byte with no status byte to run on");
    }

    if (status == kMetaEvent) {
      runningStatus.reset();
      if (at >= end)
        refuse(start, "a meta event with no type");
      const std::uint8_t type = bytes[at++];
      const std::uint32_t count = length("a meta event's length");
      if (type == kTempo && count != kTempoBytes)
        refuse(start, "a tempo event whose length is " + std::to_string(count) + ", not 3");
      skip(start, count, "a meta event");
    } else if (status == 0xf0 || status == 0xf7) {
      runningStatus.reset();
      skip(start, length("a system-exclusive length"), "a system-exclusive event");
    } else if (status >= 0xf0) {
      refuse(start, "status byte " + hexByte(status) + " has no place in a MIDI file");
    } else {
      runningStatus = status;
      for (std::size_t i = 0; i < dataBytesOf(status); ++i) {
        if (at >= end || (bytes[at] & 0x80))
          refuse(start, "a channel message without its data bytes");
        ++at;
      }
    }
  }
};

} // namespace

std::vector<std::uint8_t> checkedMidiFile(std::span<const std::uint8_t> bytes,
                                          const std::string& name) {
  const auto refuse = [&](std::size_t where, const std::string& why) {
    throw hosting::UsageError(hosting::inQuotes(name) + " at byte " + std::to_string(where) + ": " +
                              why);
  };
  if (bytes.size() < kChunkHeaderBytes + kMinHeaderLength || !isChunk(bytes, 0, "MThd"))
    throw hosting::UsageError(hosting::inQuotes(name) + " is not a standard MIDI file");
  const std::size_t headerLength = bigEndian(bytes, 4, 4);
  if (headerLength < kMinHeaderLength || headerLength > bytes.size() - kChunkHeaderBytes)
    refuse(4, "a header length of " + std::to_string(headerLength));
  const std::uint32_t promised = bigEndian(bytes, kChunkHeaderBytes + 2, 2);

  std::vector<std::uint8_t> kept(
      bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(kChunkHeaderBytes + headerLength));
  int tracks = 0;
  for (std::size_t at = kChunkHeaderBytes + headerLength; at < bytes.size();) {
    if (bytes.size() - at < kChunkHeaderBytes)
      refuse(at, std::to_string(bytes.size() - at) + " stray bytes after the last chunk");
    const std::size_t chunkLength = bigEndian(bytes, at + 4, 4);
    if (chunkLength > bytes.size() - at - kChunkHeaderBytes)
      refuse(at,
             "a chunk of " + std::to_string(chunkLength) + " bytes runs past the end of the file");
    const std::size_t next = at + kChunkHeaderBytes + chunkLength;
    if (isChunk(bytes, at, "MTrk")) {
      TrackWalk(bytes, at + kChunkHeaderBytes, next, ++tracks, name).run();
      kept.insert(kept.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                  bytes.begin() + static_cast<std::ptrdiff_t>(next));
    }
    at = next;
  }
  if (static_cast<std::uint32_t>(tracks) != promised)
    throw hosting::UsageError(hosting::inQuotes(name) + ": the header promises " +
                              std::to_string(promised) + " tracks; the file holds " +
                              std::to_string(tracks));
  return kept;
}

} // namespace tools
