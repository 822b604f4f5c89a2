#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/report.h"

namespace lumetra::test {

// Collects what the program tells the user while it lives.
class CollectMessages final : public MessageSink {
 public:
  CollectMessages() : previous_(SetMessageSink(this)) {}
  ~CollectMessages() override { SetMessageSink(previous_); }
  CollectMessages(const CollectMessages&) = delete;
  CollectMessages& operator=(const CollectMessages&) = delete;
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  std::vector<std::string> messages;

 private:
  MessageSink* previous_;
};

}  // namespace lumetra::test
