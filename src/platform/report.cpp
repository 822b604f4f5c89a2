#include "platform/report.h"

#include <iostream>

namespace lumetra {
namespace {

class StderrSink final : public MessageSink {
 public:
  void ShowMessage(std::string_view text) override { std::cerr << text << '\n'; }
};

StderrSink g_stderrSink;
MessageSink* g_sink = &g_stderrSink;

}  // namespace

MessageSink* SetMessageSink(MessageSink* sink) {
  MessageSink* previous = g_sink;
  g_sink = sink ? sink : &g_stderrSink;
  return previous;
}

void ReportMessage(std::string_view text) { g_sink->ShowMessage(text); }

}  // namespace lumetra
