#pragma once
// The one path by which the core tells the user something: the editor shows a
// message box, the command-line tool prints to stderr, tests collect the texts.

#include <string_view>

namespace lumetra {

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void ShowMessage(std::string_view text) = 0;
};

// Installs the sink for the process and returns the previous one; nullptr
// restores the default, which writes the text as one line to stderr.
MessageSink* SetMessageSink(MessageSink* sink);

void ReportMessage(std::string_view text);

}  // namespace lumetra
