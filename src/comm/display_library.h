#pragma once
// The two display libraries: the driver library of controller type 0 and the
// panel library of type 1, with the exports every transfer calls. Exports
// are looked up by name just before each call, as they may be missing.

#include <cstdint>
#include <memory>
#include <string>

#include "comm/address_list.h"

namespace lumetra {

inline constexpr const char* kDriverLibraryFile = "KELDLL.so";
inline constexpr const char* kPanelLibraryFile = "Kelpane.so";

// The exports, with C linkage, each returning one result byte (0 = success).
extern "C" {
using DllClrBufferFn = std::uint8_t (*)();
using DllSendParasFn = std::uint8_t (*)(const char* port, std::int32_t zero, std::int32_t mode,
                                        const std::uint8_t* list, const std::uint8_t* block);
using DllSendKelParasFn = std::uint8_t (*)(const char* port, std::int32_t zero, std::int32_t mode,
                                           const std::uint8_t* list, std::int32_t length,
                                           const std::uint8_t* block);
using PanelReadBmpFn = std::uint8_t (*)(const char* path, std::int32_t zero);
using PanelSendBmpFn = std::uint8_t (*)(const char* port, std::int32_t zero, std::int32_t mode,
                                        const std::uint8_t* list, std::int32_t colourFlags);
using DriverReadBmpFn = std::uint8_t (*)(const char* path, std::int32_t zero, std::int32_t width,
                                         std::int32_t height);
using DllSendFuncIdFn = std::uint8_t (*)(const char* port, std::int32_t zero, std::int32_t mode,
                                         const std::uint8_t* list, std::int32_t function);
using DriverSendBmpFn = std::uint8_t (*)(const char* port, std::int32_t zero, std::int32_t mode,
                                         const std::uint8_t* list, std::int32_t width, std::int32_t height,
                                         std::int32_t colourFlags);
using DllSendClockFn = std::uint8_t (*)(const char* port, std::int32_t zero, std::int32_t mode,
                                        const std::uint8_t* list, std::int32_t length, const std::uint8_t* clock);
}

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
