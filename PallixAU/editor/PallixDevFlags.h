// Build-time switches of the generator's editor.
#pragma once

namespace PallixDevFlags {
inline constexpr bool familyPickerEnabled = false;
}
