// Status codes, the error of a set-up operation, and the result of an operation that may fail.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>

// Threads: plain values; any thread may use its own copies.

using OSStatus = std::int32_t;

inline constexpr OSStatus noErr = 0;
inline constexpr OSStatus kAudio_ParamError = -50;
inline constexpr OSStatus kAudioUnitErr_InvalidParameter = -10878;
inline constexpr OSStatus kAudioUnitErr_InvalidElement = -10877;
inline constexpr OSStatus kAudioUnitErr_NoConnection = -10876;
inline constexpr OSStatus kAudioUnitErr_FailedInitialization = -10875;
// A render call asked for more frames than maximumFramesToRender.
inline constexpr OSStatus kAudioUnitErr_TooManyFramesToProcess = -10874;
inline constexpr OSStatus kAudioUnitErr_FormatNotSupported = -10868;
// A render call before allocateRenderResources (or after deallocation).
inline constexpr OSStatus kAudioUnitErr_Uninitialized = -10867;
inline constexpr OSStatus kAudioUnitErr_CannotDoInCurrentContext = -10863;
inline constexpr OSStatus kAudioUnitErr_InvalidPropertyValue = -10851;
// A change that needs render resources to be deallocated first.
inline constexpr OSStatus kAudioUnitErr_Initialized = -10849;
// No component is registered for the description asked for.
inline constexpr OSStatus kAudioComponentErr_UnsupportedType = -66751;

struct AUError {
  OSStatus code = kAudioUnitErr_FailedInitialization;
  std::string message;

  // The message, or the code when there is none: what a host prints after "...: ".
  std::string localizedDescription() const {
    return message.empty() ? "error " + std::to_string(code) : message;
  }
  bool operator==(const AUError&) const = default;
};

// The value of an operation that succeeded, or the error of one that failed.
template <class T> class AUResult {
public:
  AUResult(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  AUResult(AUError error) : state_(std::in_place_index<1>, std::move(error)) {}

  bool ok() const noexcept { return state_.index() == 0; }
  explicit operator bool() const noexcept { return ok(); }

  // Only when ok().
  T& value() & { return std::get<0>(state_); }
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

  // Only when !ok().
  const AUError& error() const { return std::get<1>(state_); }

private:
  std::variant<T, AUError> state_;
};

// Success, or the error of an operation that has no value.
template <> class AUResult<void> {
public:
  AUResult() = default;
  AUResult(AUError error) : error_(std::move(error)) {}

  bool ok() const noexcept { return !error_; }
  explicit operator bool() const noexcept { return ok(); }
  // Only when !ok().
  const AUError& error() const { return *error_; }

private:
  std::optional<AUError> error_;
};
