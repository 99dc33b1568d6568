// Turns a fuzzer's bytes into the values a fuzz target needs; every read is defined for every
// input, and an exhausted input reads as zeros.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <string>

namespace fuzz {

class FuzzInput {
public:
  explicit FuzzInput(std::span<const std::uint8_t> bytes) noexcept : bytes_(bytes) {}

  bool empty() const noexcept { return position_ >= bytes_.size(); }
  std::size_t remaining() const noexcept { return bytes_.size() - position_; }

  std::uint8_t byte() noexcept { return empty() ? 0 : bytes_[position_++]; }
  bool flag() noexcept { return (byte() & 1) != 0; }

  // Little-endian, from as many bytes as the type has.
  template <typename T> T raw() noexcept {
    std::array<std::uint8_t, sizeof(T)> buffer{};
    const std::size_t n = std::min(sizeof(T), remaining());
    if (n > 0)
      std::memcpy(buffer.data(), bytes_.data() + position_, n);
    position_ += n;
    return std::bit_cast<T>(buffer);
  }

  // lo ... hi inclusive, from the fewest bytes that cover the range.
  std::uint64_t inRange(std::uint64_t lo, std::uint64_t hi) noexcept {
    const std::uint64_t span = hi - lo;
    std::uint64_t value = 0;
    for (std::uint64_t reach = span; reach != 0; reach >>= 8)
      value = (value << 8) | byte();
    return span == std::numeric_limits<std::uint64_t>::max() ? value : lo + value % (span + 1);
  }

  // Mostly a value within [lo, hi], but also what a careless or hostile sender gives: the
  // bounds, NaN, infinities, huge and tiny magnitudes, and any bit pattern at all.
  double number(double lo, double hi) noexcept {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr std::array<double, 12> kSpecial{kNaN,   kInf, -kInf, 1e300, -1e300,       3.4e38,
                                              1e-310, -0.0, 1e9,   -1.0,  2147483648.0, 9.3e18};
    const std::uint8_t choice = byte();
    if (choice < 160)
      return lo + (hi - lo) * (static_cast<double>(raw<std::uint16_t>()) / 65535.0);
    if (choice < 192)
      return (choice & 1) ? hi : lo;
    if (choice < 240)
      return kSpecial[choice % kSpecial.size()];
    return choice & 1 ? static_cast<double>(std::bit_cast<float>(raw<std::uint32_t>()))
                      : raw<double>();
  }
  float value(float lo, float hi) noexcept { return static_cast<float>(number(lo, hi)); }

  std::span<const std::uint8_t> bytes(std::size_t count) noexcept {
    const std::size_t n = std::min(count, remaining());
    const auto taken = bytes_.subspan(position_, n);
    position_ += n;
    return taken;
  }
  std::span<const std::uint8_t> rest() noexcept { return bytes(remaining()); }

private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

// What every fuzz target returns: empty when the input met every expectation, otherwise what
// went wrong, for libFuzzer to stop on and the replay test to show.
using Verdict = std::string;

} // namespace fuzz
