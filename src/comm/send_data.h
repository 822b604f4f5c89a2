#pragma once
// What a transfer hands to the display libraries besides what the document
// gives the panel (render/panel_content.h): the port name, and the message
// for a result code.

#include <optional>
#include <string>

#include "render/panel_content.h"

namespace lumetra {

class Language;

// "COM1".."COM4" for the port index 0..3.
std::string PortName(int portIndex);

inline constexpr int kTransferFailedKey = 2001;     // play mode dialog's Apply
inline constexpr int kTransferSucceededKey = 2002;  // every successful transfer

// Language key of a result code: 0 → "33000", 1, 2, 3 → "33001".."33003",
// 16 → "33004", 32, 33, 34 → "33005".."33007"; nothing for any other code.
std::optional<int> ResultCodeKey(int code);
// The message for a result code: its language text, or for a code without a
// key the unknown-code text with the number in it.
std::string ResultCodeMessage(const Language& language, int code);
inline constexpr const char* kUnknownResultFormat = "未知错误: 代号 = %d";

}  // namespace lumetra
