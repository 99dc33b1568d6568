// The editor over the mirror, in the host's window.
#include "plugins/lv2/ui/UiInstance.h"

#include "plugins/lv2/ExtrasMessage.h"
#include "plugins/lv2/Features.h"
#include "plugins/lv2/Uris.h"

#include <lv2/atom/forge.h>

#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace plugins::lv2 {

std::unique_ptr<UiInstance> UiInstance::create(const EditorDefinition& definition,
                                               LV2UI_Write_Function write,
                                               LV2UI_Controller controller,
                                               const LV2_Feature* const* features) {
  if (!write)
    return nullptr;
  auto mirror = definition.plugin.make(nullptr);
  if (!mirror || !mirror->parameterTree())
    return nullptr;
  const auto* touch = static_cast<const LV2UI_Touch*>(featureData(features, LV2_UI__touch));
  const auto* resize = static_cast<const LV2UI_Resize*>(featureData(features, LV2_UI__resize));
  // ui:parent's data is the window itself.
  const LV2UI_Widget parent = const_cast<void*>(featureData(features, LV2_UI__parent));
  const auto* map = static_cast<const LV2_URID_Map*>(featureData(features, LV2_URID__map));
  return std::make_unique<UiInstance>(definition, std::move(mirror),
                                      PortMirror::Host{write, controller, touch}, parent, resize,
                                      map);
}

UiInstance::UiInstance(const EditorDefinition& definition, std::shared_ptr<AUAudioUnit> mirror,
                       PortMirror::Host host, LV2UI_Widget parent, const LV2UI_Resize* resize,
                       const LV2_URID_Map* map)
    : definition_(definition), resize_(resize), map_(map),
      mirror_(definition.plugin, std::move(mirror), host) {
  auto editor = definition.make();
  // The mirror holds what the ports say, not the preset a new unit starts with: the bar names a
  // preset once the ports' values are those of one (recognisePreset, at idle).
  mirror_.unit()->setCurrentPreset(std::nullopt);
  editor.owner->bar().manager()->makeScratchUnit = [&plugin = definition.plugin] {
    return plugin.make(nullptr);
  };
  editor.owner->setAudioUnit(mirror_.unit());
  window_ = std::make_unique<EmbeddedEditor>(std::move(editor), definition.sizes);
  window_->show(parent);
  if (resize && resize->ui_resize)
    resize->ui_resize(resize->handle, window_->getWidth(), window_->getHeight());
  if (map) {
    uris_.emplace(*map);
    sharesExtras_ = definition.plugin.editorChangesExtras;
  }
  if (sharesExtras_) {
    sharedExtras_ = extrasText(definition.plugin, *mirror_.unit());
    alignas(LV2_Atom) std::array<std::uint8_t, 64> buffer{};
    LV2_URID_Map copy = *map;
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, &copy);
    lv2_atom_forge_set_buffer(&forge, buffer.data(), buffer.size());
    if (forgeExtrasRequest(forge, *uris_))
      sendToPlugin(*reinterpret_cast<const LV2_Atom*>(buffer.data()));
  }
}

UiInstance::~UiInstance() {
  loop_.enter();
  window_.reset(); // the editor stops observing the mirror before the mirror goes
}

void UiInstance::portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format,
                           const void* buffer) {
  loop_.enter();
  const PortLayout ports = definition_.plugin.ports();
  if ((port == ports.editorWidth() || port == ports.editorHeight()) && format == 0 &&
      size == sizeof(float) && buffer) {
    const float value = *static_cast<const float*>(buffer);
    const int side =
        value >= 1.0f && value <= float(kMaximumEditorSide) ? int(std::lround(value)) : 0;
    (port == ports.editorWidth() ? keptWidth_ : keptHeight_) = side;
    // A size kept, and not the one shown: shown, and the host's window follows.
    if (keptWidth_ > 0 && keptHeight_ > 0 &&
        (keptWidth_ != window_->getWidth() || keptHeight_ != window_->getHeight())) {
      window_->hostResized(keptWidth_, keptHeight_);
      if (resize_ && resize_->ui_resize)
        resize_->ui_resize(resize_->handle, window_->getWidth(), window_->getHeight());
    }
    return;
  }
  if (sharesExtras_ && port == ports.notifyOut()) {
    if (format == map_->map(map_->handle, LV2_ATOM__eventTransfer))
      takeExtras(buffer, size);
    return;
  }
  mirror_.portEvent(port, size, format, buffer);
  portsChanged_ = true;
}

void UiInstance::takeExtras(const void* buffer, std::uint32_t size) {
  const auto* atom = static_cast<const LV2_Atom*>(buffer);
  if (!atom || size < sizeof(LV2_Atom_Object) || lv2_atom_total_size(atom) > size ||
      (atom->type != uris_->atomObject && atom->type != uris_->atomBlank))
    return;
  const auto text = extrasIn(*reinterpret_cast<const LV2_Atom_Object*>(atom), *uris_);
  if (!text)
    return;
  // The editor's own change, not yet applied there, is not undone by an older answer.
  if (extrasText(definition_.plugin, *mirror_.unit()) != sharedExtras_)
    return;
  if (applyExtrasText(definition_.plugin, *mirror_.unit(), *text))
    sharedExtras_ = extrasText(definition_.plugin, *mirror_.unit());
}

void UiInstance::sendChangedExtras() {
  AUAudioUnit& mirror = *mirror_.unit();
  std::string text = extrasText(definition_.plugin, mirror);
  if (text == sharedExtras_)
    return;
  if (text.size() > kLargestExtrasText) {
    (void)applyExtrasText(definition_.plugin, mirror, sharedExtras_);
    if (definition_.showProblem)
      definition_.showProblem(window_->editor(), "too large to send to the plug-in (over " +
                                                     std::to_string(kLargestExtrasText / 1024) +
                                                     " KiB)");
    return;
  }
  std::vector<std::uint64_t> buffer((text.size() + 256) / 8 + 1); // 8-byte aligned
  LV2_URID_Map copy = *map_;
  LV2_Atom_Forge forge;
  lv2_atom_forge_init(&forge, &copy);
  lv2_atom_forge_set_buffer(&forge, reinterpret_cast<std::uint8_t*>(buffer.data()),
                            buffer.size() * 8);
  if (!forgeExtras(forge, *uris_, text))
    return;
  sendToPlugin(*reinterpret_cast<const LV2_Atom*>(buffer.data()));
  sharedExtras_ = std::move(text);
}

int UiInstance::idle() {
  loop_.dispatchPending();
  // Once a burst of port values is in (a host loading one of its presets sets them one by one).
  if (std::exchange(portsChanged_, false))
    window_->owner().bar().manager()->recognisePreset();
  if (sharesExtras_)
    sendChangedExtras();
  return 0;
}

int UiInstance::hostResized(int width, int height) {
  loop_.enter();
  const int result = window_->hostResized(width, height);
  if (window_->getWidth() != keptWidth_ || window_->getHeight() != keptHeight_)
    tellPluginSize();
  return result;
}

void UiInstance::tellPluginSize() {
  if (!map_)
    return;
  LV2_URID_Map map = *map_;
  const auto mapped = [&](const char* uri) { return map.map(map.handle, uri); };
  alignas(LV2_Atom) std::array<std::uint8_t, 128> buffer{};
  LV2_Atom_Forge forge;
  lv2_atom_forge_init(&forge, &map);
  lv2_atom_forge_set_buffer(&forge, buffer.data(), buffer.size());
  LV2_Atom_Forge_Frame frame;
  lv2_atom_forge_object(&forge, &frame, 0, mapped(kEditorSizeUri));
  lv2_atom_forge_key(&forge, mapped(kEditorWidthUri));
  lv2_atom_forge_int(&forge, window_->getWidth());
  lv2_atom_forge_key(&forge, mapped(kEditorHeightUri));
  lv2_atom_forge_int(&forge, window_->getHeight());
  lv2_atom_forge_pop(&forge, &frame);
  sendToPlugin(*reinterpret_cast<const LV2_Atom*>(buffer.data()));
}

void UiInstance::sendToPlugin(const LV2_Atom& atom) {
  const PortMirror::Host& host = mirror_.host();
  host.write(host.controller, definition_.plugin.ports().eventsIn(),
             std::uint32_t(lv2_atom_total_size(&atom)),
             map_->map(map_->handle, LV2_ATOM__eventTransfer), &atom);
}

} // namespace plugins::lv2
