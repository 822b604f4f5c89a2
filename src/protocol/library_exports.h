#pragma once
// The display libraries' binary interface, shared by the libraries that
// export it and the program that loads them: the libraries' file names, the
// C signature of every export and the constants their results use.

#include <cstddef>
#include <cstdint>

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

// Exports our own libraries add; the program does without them when a
// library lacks them.
extern "C" {
// "DLLPanelResults": each panel's result in the library's last call that
// talked to panels, written to `results[address]` for the addresses 0..254
// (kPanelResultEntries bytes): 0 when the panel took every command of the
// call, else the result byte of its failure, kPanelNotAddressed for the
// panels the call did not address (all of them for a broadcast). Returns the
// number of panels addressed.
using DllPanelResultsFn = std::int32_t (*)(std::uint8_t* results);
// "DLLPortError": the errno of the port the library's last call could not
// open (0 when it opened, or the call failed otherwise); the device it tried
// goes to `device`, cut to `deviceSize` bytes with its NUL.
using DllPortErrorFn = std::int32_t (*)(char* device, std::int32_t deviceSize);
// "DLLCancel": with a non-zero `cancel` the transfer under way (on another
// thread) sends no further frame and ends with result 48, and so does every
// later call until "DLLCancel" is called with 0. Safe to call at any time.
using DllCancelFn = void (*)(std::int32_t cancel);
}
inline constexpr std::size_t kPanelResultEntries = 255;
inline constexpr std::uint8_t kPanelNotAddressed = 0xFF;

}  // namespace lumetra
