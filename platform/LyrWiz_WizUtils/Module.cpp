#include "LyrWiz_WizUtils/Module.h"

#include <utility>

namespace {

// Hands `item` to `list`; returns it, borrowed.
template <class T>
T* Adopt(OwnedList<T>& list, std::unique_ptr<T> item) {
  list.Append(std::move(item));
  return list.Items().back();
}

}  // namespace

LyrWiz_Module::LyrWiz_Module(StringBase moduleName) : name(std::move(moduleName)) {}

LyrWiz_Module::~LyrWiz_Module() = default;

LyrWiz_Module* LyrWiz_Module::AddChildModule(StringBase childName) {
  return Adopt(children_, std::make_unique<LyrWiz_Module>(std::move(childName)));
}

LyrWiz_Param* LyrWiz_Module::AddParam(StringBase paramName, StringBase value) {
  auto param = std::make_unique<LyrWiz_Param>();
  param->name = std::move(paramName);
  param->value = std::move(value);
  return Adopt(params_, std::move(param));
}

LyrWiz_Pin* LyrWiz_Module::AddPin(StringBase pinName, int msb, int lsb, PINDIR dir) {
  auto pin = std::make_unique<LyrWiz_Pin>();
  pin->name = std::move(pinName);
  pin->msb = msb;
  pin->lsb = lsb;
  pin->dir = dir;
  return Adopt(pins_, std::move(pin));
}

LyrWiz_Signal* LyrWiz_Module::AddSignal(StringBase signalName, int msb, int lsb) {
  if (LyrWiz_Signal* existing = FindSignal(signalName)) return existing;
  auto signal = std::make_unique<LyrWiz_Signal>();
  signal->name = std::move(signalName);
  signal->msb = msb;
  signal->lsb = lsb;
  LyrWiz_Signal* raw = Adopt(signals_, std::move(signal));
  if (!raw->name.IsEmpty()) signalByName_.emplace(raw->name, raw);
  return raw;
}

LyrWiz_Signal* LyrWiz_Module::FindSignal(const StringBase& signalName) const {
  if (signalName.IsEmpty()) return nullptr;
  const auto found = signalByName_.find(signalName);
  return found == signalByName_.end() ? nullptr : found->second;
}
