#pragma once
// Loading the two display libraries: the driver library of controller type 0
// and the panel library of type 1, whose exports (protocol/library_exports.h)
// every transfer calls. Exports are looked up by name just before each call,
// as they may be missing.

#include <memory>
#include <string>

#include "protocol/library_exports.h"

namespace lumetra {

// A loaded library: its exports by name.
class DisplayLibrary {
 public:
  virtual ~DisplayLibrary() = default;
  // The export's address, or null when the library does not have it.
  virtual void* Find(const char* exportName) const = 0;

  template <class Fn>
  Fn Export(const char* exportName) const {
    return reinterpret_cast<Fn>(Find(exportName));
  }
};

// Loads a library by its file name from the program's folder, else from the
// system's library path; never from the current folder. Null when it cannot be loaded.
std::unique_ptr<DisplayLibrary> LoadDisplayLibrary(const std::string& fileName);

}  // namespace lumetra
