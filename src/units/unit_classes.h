#pragma once

#include "platform/archive/class_registry.h"

namespace lumetra {

// Every class a document may hold.
const ClassRegistry& UnitClasses();

}  // namespace lumetra
