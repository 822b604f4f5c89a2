// The panel library of controller type 1.

#include <type_traits>

#include "driver/display_transfers.h"
#include "protocol/host_link.h"
#include "protocol/library_exports.h"
#include "protocol/messages.h"

namespace {

lumetra::driver::DisplayTransfers g_transfers;

}  // namespace

using lumetra::driver::Target;
using lumetra::protocol::Function;

// Empties the library's picture; the panels' picture is cleared at the start
// of the next transfer, which names the port.
LUMETRA_EXPORT std::uint8_t DLLClrBuffer() {
  g_transfers.ClearBuffer();
  return lumetra::protocol::kResultOk;
}

LUMETRA_EXPORT std::uint8_t DLLSendParas(const char* port, std::int32_t, std::int32_t mode, const std::uint8_t* list,
                                         const std::uint8_t* block) {
  return g_transfers.SendBytes(Target{port, mode, list}, Function::kParameters, block,
                               std::int32_t(lumetra::protocol::kParameterBytes));
}

LUMETRA_EXPORT std::uint8_t DLLReadBMP(const char* path, std::int32_t) { return g_transfers.ReadPicture(path); }

LUMETRA_EXPORT std::uint8_t DLLSendBMP(const char* port, std::int32_t, std::int32_t mode, const std::uint8_t* list,
                                       std::int32_t colourFlags) {
  return g_transfers.SendPicture(Target{port, mode, list}, colourFlags);
}

LUMETRA_EXPORT std::int32_t DLLPanelResults(std::uint8_t* results) { return g_transfers.PanelResults(results); }

LUMETRA_EXPORT std::int32_t DLLPortError(char* device, std::int32_t deviceSize) {
  return g_transfers.PortError(device, deviceSize);
}

LUMETRA_EXPORT void DLLCancel(std::int32_t cancel) { g_transfers.Cancel(cancel != 0); }

static_assert(std::is_same_v<decltype(&DLLClrBuffer), lumetra::DllClrBufferFn>);
static_assert(std::is_same_v<decltype(&DLLSendParas), lumetra::DllSendParasFn>);
static_assert(std::is_same_v<decltype(&DLLReadBMP), lumetra::PanelReadBmpFn>);
static_assert(std::is_same_v<decltype(&DLLSendBMP), lumetra::PanelSendBmpFn>);
static_assert(std::is_same_v<decltype(&DLLPanelResults), lumetra::DllPanelResultsFn>);
static_assert(std::is_same_v<decltype(&DLLPortError), lumetra::DllPortErrorFn>);
static_assert(std::is_same_v<decltype(&DLLCancel), lumetra::DllCancelFn>);
