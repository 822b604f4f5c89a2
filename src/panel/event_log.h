#pragma once
// The panel's log of the frames it received: one JSON object per line.

#include <cstdint>
#include <string>

#include "panel/panel_session.h"

namespace lumetra::panel {

// {"timeMs": …, "mode": "list", "addresses": [1, 2], "function": "parameters",
//  "sequence": 7, "payloadBytes": 25, "damaged": false,
//  "replies": [{"address": 1, "status": "ok"}, …]}; a function number frame
// also carries "number".
std::string EventLine(const FrameEvent& event, std::int64_t timeMs);

}  // namespace lumetra::panel
