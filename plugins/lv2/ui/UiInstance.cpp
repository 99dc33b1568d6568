// The editor over the mirror, in the host's window.
#include "plugins/lv2/ui/UiInstance.h"

#include "plugins/lv2/Features.h"

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
  return std::make_unique<UiInstance>(definition, std::move(mirror),
                                      PortMirror::Host{write, controller, touch}, parent, resize);
}

UiInstance::UiInstance(const EditorDefinition& definition, std::shared_ptr<AUAudioUnit> mirror,
                       PortMirror::Host host, LV2UI_Widget parent, const LV2UI_Resize* resize)
    : definition_(definition), mirror_(definition.plugin, std::move(mirror), host) {
  auto editor = definition.make();
  editor.editor->setAudioUnit(mirror_.unit());
  window_ = std::make_unique<EmbeddedEditor>(std::move(editor), definition.sizes);
  window_->show(parent);
  if (resize && resize->ui_resize)
    resize->ui_resize(resize->handle, window_->getWidth(), window_->getHeight());
}

UiInstance::~UiInstance() {
  loop_.enter();
  window_.reset(); // the editor stops observing the mirror before the mirror goes
}

void UiInstance::portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format,
                           const void* buffer) {
  loop_.enter();
  mirror_.portEvent(port, size, format, buffer);
}

int UiInstance::idle() {
  loop_.dispatchPending();
  return 0;
}

int UiInstance::hostResized(int width, int height) {
  loop_.enter();
  return window_->hostResized(width, height);
}

} // namespace plugins::lv2
