#pragma once

#include <string_view>
#include <vector>

#include "platform/archive/object.h"

namespace lumetra {

// The classes a file may name; loading creates objects only of these.
class ClassRegistry {
 public:
  ClassRegistry() = default;
  ClassRegistry(std::initializer_list<const RuntimeClass*> classes) : classes_(classes) {}

  void Register(const RuntimeClass& cls) { classes_.push_back(&cls); }
  const RuntimeClass* Find(std::string_view name) const;

 private:
  std::vector<const RuntimeClass*> classes_;
};

}  // namespace lumetra
