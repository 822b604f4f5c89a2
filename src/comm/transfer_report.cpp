#include "comm/transfer_report.h"

#include <algorithm>
#include <cerrno>
#include <initializer_list>
#include <string_view>
#include <system_error>
#include <utility>

#include "comm/send_data.h"
#include "lang/language.h"
#include "lang/message_text.h"

namespace lumetra {
namespace {

std::string Format(const Language& language, int key, std::initializer_list<std::string_view> arguments) {
  return FillPlaceholders(language.LookupText(key), arguments);
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// The panels that failed, one line per kind of failure in the order the
// failures came, when other panels went on without them; when every panel
// failed alike, the failure's message says it all.
std::string PanelFailureLines(const Language& language, const TransferReport& report) {
  const bool someWentOn = std::any_of(report.panels.begin(), report.panels.end(),
                                      [](const PanelStepResult& step) { return !step.answered.empty(); });
  if (!someWentOn) return {};
  std::vector<std::pair<int, std::vector<std::uint8_t>>> byFailure;
  for (const PanelStepResult& step : report.panels) {
    for (const auto& [address, result] : step.failed) {
      const int code = result;  // a structured binding cannot be captured by every compiler we build with
      auto group = std::find_if(byFailure.begin(), byFailure.end(), [code](const auto& g) { return g.first == code; });
      if (group == byFailure.end()) group = byFailure.insert(byFailure.end(), {result, {}});
      if (std::find(group->second.begin(), group->second.end(), address) == group->second.end()) {
        group->second.push_back(address);
      }
    }
  }
  std::string lines;
  for (const auto& [result, addresses] : byFailure) {
    const std::string names = AddressesText(addresses);
    const bool one = addresses.size() == 1;
    lines += '\n';
    lines += result == kResultNoAnswer
                 ? Format(language, one ? text_key::kPanelDidNotAnswer : text_key::kPanelsDidNotAnswer, {names})
                 : Format(language, one ? text_key::kPanelFailed : text_key::kPanelsFailed,
                          {names, FirstLine(ResultCodeMessage(language, result))});
  }
  return lines;
}

std::string SuccessMessage(const Language& language, const TransferReport& report) {
  return language.LookupText(report.broadcast ? text_key::kBroadcastNotConfirmed : kTransferSucceededKey);
}

std::string ClockRefusal(const Language& language, const TransferReport& report) {
  return Format(language, text_key::kClockBeyondPanelFrames, {std::to_string(report.refusedClockFrame)});
}

}  // namespace

std::string AddressesText(const std::vector<std::uint8_t>& addresses) {
  std::string text;
  for (std::uint8_t address : addresses) text += (text.empty() ? "" : ", ") + std::to_string(address);
  return text;
}

std::string PortFailureMessage(const Language& language, const PortFailure& failure) {
  const auto format = [&](int key) {
    return Format(language, key,
                  {failure.port, failure.device, std::error_code(failure.error, std::generic_category()).message()});
  };
  switch (failure.error) {
    case EACCES:
    case EPERM:
      return format(text_key::kPortPermissionDenied);
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return format(text_key::kPortNoSuchDevice);
    case EBUSY:
    case EWOULDBLOCK:  // a lock another program holds
      return format(text_key::kPortInUse);
    case ENOTTY:
      return format(text_key::kPortNotSerial);
    default:
      return format(text_key::kPortOtherError);
  }
}

std::string TransferMessage(const Language& language, const TransferReport& report) {
  if (report.refusedClockFrame) return ClockRefusal(language, report);
  if (!report.result) return SuccessMessage(language, report);
  if (report.result == kResultCancelled) return language.LookupText(text_key::kTransferCancelled);
  const bool portFailedFirst = report.port && report.result == kResultPortUnavailable;
  return (portFailedFirst ? PortFailureMessage(language, *report.port) : ResultCodeMessage(language, report.result)) +
         PanelFailureLines(language, report);
}

std::string AppliedMessage(const Language& language, const TransferReport& report) {
  if (report.refusedClockFrame) return ClockRefusal(language, report);
  if (!report.result) return SuccessMessage(language, report);
  if (report.result == kResultCancelled) return language.LookupText(text_key::kTransferCancelled);
  std::string text = language.LookupText(kTransferFailedKey);
  if (report.port) text += '\n' + PortFailureMessage(language, *report.port);
  return text + PanelFailureLines(language, report);
}

}  // namespace lumetra
