#include "platform/archive/class_registry.h"

namespace lumetra {

const RuntimeClass* ClassRegistry::Find(std::string_view name) const {
  for (const RuntimeClass* cls : classes_) {
    if (cls->name == name) return cls;
  }
  return nullptr;
}

}  // namespace lumetra
