#include "panel/event_log.h"

#include <nlohmann/json.hpp>

namespace lumetra::panel {

std::string EventLine(const FrameEvent& event, std::int64_t timeMs) {
  const protocol::Command& command = event.command;
  nlohmann::json line{{"timeMs", timeMs},
                      {"mode", ModeName(command.to.mode)},
                      {"addresses", command.to.addresses},
                      {"function", FunctionName(command.function)},
                      {"sequence", command.sequence},
                      {"payloadBytes", command.payload.size()},
                      {"damaged", event.damaged}};
  if (command.function == protocol::Function::kFunctionNumber && command.payload.size() == 1) {
    line["number"] = command.payload[0];
  }
  nlohmann::json replies = nlohmann::json::array();
  for (const protocol::Reply& reply : event.replies) {
    replies.push_back({{"address", reply.address}, {"status", StatusName(reply.status)}});
  }
  line["replies"] = std::move(replies);
  return line.dump();
}

}  // namespace lumetra::panel
