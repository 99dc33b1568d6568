// The fixed generator settings the demo plays with, by parameter identifier.
#pragma once

#include <array>
#include <string_view>

struct DemoSetting {
  std::string_view identifier;
  float value;
};

inline constexpr std::array<DemoSetting, 8> kDemoConfiguration{{
    {"embroidery", 1.0f},
    {"easiness", 0.5f},
    {"etiquette", 0.72f},
    {"exotica", 1.0f},
    {"rootNote", 4.0f}, // E
    {"mode", 1.0f},     // minor
    {"emotion", 1.0f},
    {"evolution", 1.0f},
}};
