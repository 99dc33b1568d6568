// Every loaded phrase, filed by slot, mode and tier, and the sorted list of phrase families.
#pragma once

#include "PallixAU/engine/catalogue/CatalogueFormat.h"

#include "platform/foundation/Bundle.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace pallix::engine {

class CatalogIndex {
public:
  struct Key {
    SlotTag slot = SlotTag::turnaround;
    Mode mode = Mode::major;
    Tier tier = Tier::basic;

    // slot + 256 × mode + 65536 × tier, by ordinals.
    constexpr std::uint32_t packed() const noexcept {
      return static_cast<std::uint32_t>(slot) + 256u * static_cast<std::uint32_t>(mode) +
             65536u * static_cast<std::uint32_t>(tier);
    }
    friend constexpr bool operator==(Key, Key) noexcept = default;
  };

  struct KeyHash {
    std::size_t operator()(Key key) const noexcept { return key.packed(); }
  };

  // Empty: every lookup finds nothing, and the generator plays without fills.
  CatalogIndex() = default;

  // Files each phrase of all, in order, under (its slot, m, t) for every m of its modes and t
  // of its tiers in order; a mode or tier listed twice files it twice. Any thread but the
  // render thread.
  explicit CatalogIndex(std::vector<Phrase> all);

  // Reads the bundle's "Catalogues" folder (label "bundle"), then userFolder (label "user")
  // when something exists there, and indexes their phrases in that order. A bundle without
  // the folder, no user folder and nothing at its path all contribute nothing, silently; what
  // goes wrong inside a folder is logged (loadCatalogueFolder). The two folders share one budget
  // of kMaxCatalogIndexEntries. Any thread but the render thread.
  static CatalogIndex load(const foundation::Bundle& bundle,
                           const std::optional<std::filesystem::path>& userFolder);

  // The process-wide index of the generator's own bundle and the user's catalogues folder,
  // loaded on the first call from any thread and never again. Any thread; the first call
  // reads files, so the unit makes it before rendering.
  static const CatalogIndex& shared() noexcept;

  // shared().familyNames(), built on the first call and never again. Any thread; the first
  // call may load the index.
  static const std::vector<std::string>& sharedFamilies() noexcept;

  // The phrases filed under (slot, minor ? minor : major, tier), in order; empty when there
  // are none. Any thread, real-time safe.
  const std::vector<Phrase>& phrases(SlotTag slot, bool minor, Tier tier) const noexcept;

  // The distinct families of all, ascending in byte order. Any thread but the render thread.
  std::vector<std::string> familyNames() const;

  std::unordered_map<Key, std::vector<Phrase>, KeyHash> byKey;
  std::vector<Phrase> all; // the bundle's phrases, then the user's, in file order
};

} // namespace pallix::engine
