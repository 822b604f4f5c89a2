// The driver library of controller type 0.

#include <type_traits>

#include "driver/display_transfers.h"
#include "protocol/library_exports.h"

namespace {

lumetra::driver::DisplayTransfers g_transfers;

}  // namespace

using lumetra::driver::Target;
using lumetra::protocol::Function;

LUMETRA_EXPORT std::uint8_t DLLSendKELParas(const char* port, std::int32_t, std::int32_t mode,
                                            const std::uint8_t* list, std::int32_t length,
                                            const std::uint8_t* block) {
  return g_transfers.SendBytes(Target{port, mode, list}, Function::kParameters, block, length);
}

LUMETRA_EXPORT std::uint8_t DLLReadBMP(const char* path, std::int32_t, std::int32_t width, std::int32_t height) {
  return g_transfers.ReadPicture(path, lumetra::CSize{width, height});
}

LUMETRA_EXPORT std::uint8_t DLLSendFuncID(const char* port, std::int32_t, std::int32_t mode,
                                          const std::uint8_t* list, std::int32_t function) {
  return g_transfers.SendFunctionNumber(Target{port, mode, list}, function);
}

LUMETRA_EXPORT std::uint8_t DLLSendBMP(const char* port, std::int32_t, std::int32_t mode, const std::uint8_t* list,
                                       std::int32_t width, std::int32_t height, std::int32_t colourFlags) {
  return g_transfers.SendPicture(Target{port, mode, list}, colourFlags, lumetra::CSize{width, height});
}

LUMETRA_EXPORT std::uint8_t DLLSendClock(const char* port, std::int32_t, std::int32_t mode,
                                         const std::uint8_t* list, std::int32_t length, const std::uint8_t* clock) {
  return g_transfers.SendBytes(Target{port, mode, list}, Function::kClock, clock, length);
}

LUMETRA_EXPORT std::int32_t DLLPanelResults(std::uint8_t* results) { return g_transfers.PanelResults(results); }

LUMETRA_EXPORT std::int32_t DLLPortError(char* device, std::int32_t deviceSize) {
  return g_transfers.PortError(device, deviceSize);
}

LUMETRA_EXPORT void DLLCancel(std::int32_t cancel) { g_transfers.Cancel(cancel != 0); }

// The program calls these through the pointer types of the interface.
static_assert(std::is_same_v<decltype(&DLLSendKELParas), lumetra::DllSendKelParasFn>);
static_assert(std::is_same_v<decltype(&DLLReadBMP), lumetra::DriverReadBmpFn>);
static_assert(std::is_same_v<decltype(&DLLSendFuncID), lumetra::DllSendFuncIdFn>);
static_assert(std::is_same_v<decltype(&DLLSendBMP), lumetra::DriverSendBmpFn>);
static_assert(std::is_same_v<decltype(&DLLSendClock), lumetra::DllSendClockFn>);
static_assert(std::is_same_v<decltype(&DLLPanelResults), lumetra::DllPanelResultsFn>);
static_assert(std::is_same_v<decltype(&DLLPortError), lumetra::DllPortErrorFn>);
static_assert(std::is_same_v<decltype(&DLLCancel), lumetra::DllCancelFn>);
