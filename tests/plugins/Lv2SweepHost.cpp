// The LV2 sweep host: instances of the bundles' plug-ins in a world of their own.
#include "tests/plugins/Lv2SweepHost.h"

#include "tests/plugins/Lv2Driver.h"

#include <memory>
#include <utility>

PluginHost lv2Host(std::string name, std::string quorvaneBundle, std::string pallixBundle) {
  const auto world = [bundles = std::vector{std::move(quorvaneBundle), std::move(pallixBundle)},
                      loaded = std::make_shared<std::unique_ptr<Lv2World>>()]() -> Lv2World& {
    if (!*loaded)
      *loaded = std::make_unique<Lv2World>(bundles);
    return **loaded;
  };
  // The URIs are read when an instance is made: hosts are listed before they are constructed.
  const auto driven = [world](const std::string* uri) {
    return [world, uri](const SweepCase& c) {
      return std::make_unique<Lv2Driver>(world(), *uri, c.rate, c.prepared);
    };
  };
  return {std::move(name), driven(&kQuorvane), driven(&kPallix),
          HostCan{.silenceByReactivating = true}};
}
