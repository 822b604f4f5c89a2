// The test vectors of docs/protocol.md: every command frame there, fed to
// the virtual panel, gets exactly the replies written after it and leaves
// the pictures written there; the host's encoder makes each frame's bytes
// from what it decodes to.

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "panel/panel_session.h"
#include "protocol/frame.h"
#include "protocol/messages.h"
#include "support/temp_folder.h"

namespace lumetra::panel {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes HexBytes(std::istringstream& words) {
  Bytes bytes;
  for (std::string word; words >> word;) bytes.push_back(std::uint8_t(std::stoul(word, nullptr, 16)));
  return bytes;
}

// The lines of the page's "vectors" block.
std::vector<std::string> VectorLines() {
  std::istringstream page(test::ReadText(LUMETRA_SOURCE_DIR "/docs/protocol.md"));
  std::vector<std::string> lines;
  bool inside = false;
  for (std::string line; std::getline(page, line);) {
    if (line == "```vectors") {
      inside = true;
    } else if (inside && line == "```") {
      break;
    } else if (inside && !line.empty() && line[0] != '#') {
      lines.push_back(line);
    }
  }
  return lines;
}

TEST(ProtocolVectors, ThePanelAnswersEveryFrameOfTheDocumentAsWritten) {
  std::optional<PanelSession> session;
  Bytes command, expected, answered;
  int frames = 0;
  const auto check = [&] {
    if (command.empty()) return;
    EXPECT_EQ(answered, expected) << "replies to frame " << frames;
    command.clear();
    expected.clear();
  };
  for (const std::string& line : VectorLines()) {
    std::istringstream words(line);
    std::string kind;
    words >> kind;
    if (kind == "<") {
      const Bytes reply = HexBytes(words);
      expected.insert(expected.end(), reply.begin(), reply.end());
      continue;
    }
    check();
    if (kind == "panels") {
      std::vector<std::uint8_t> addresses;
      for (int address; words >> address;) addresses.push_back(std::uint8_t(address));
      session.emplace(addresses, Faults{});
    } else if (kind == ">") {
      ASSERT_TRUE(session) << line;
      command = HexBytes(words);
      ++frames;
      // What the frame decodes to, encoded again, is the frame.
      std::vector<protocol::Command> decoded;
      protocol::CommandDecoder decoder;
      decoder.Feed(command, [&](const protocol::Command& c) { decoded.push_back(c); });
      ASSERT_EQ(decoded.size(), 1u) << line;
      EXPECT_EQ(protocol::EncodeCommand(decoded[0]), command) << line;
      answered = session->Receive(command, {});
    } else if (kind == "=") {
      ASSERT_TRUE(session) << line;
      int address = 0, width = 0, height = 0;
      words >> address >> width >> height;
      const Bytes planes = HexBytes(words);
      const std::optional<PanelPicture>& picture = session->State(std::uint8_t(address)).picture;
      ASSERT_TRUE(picture) << line;
      EXPECT_EQ(picture->width, width) << line;
      EXPECT_EQ(picture->height, height) << line;
      EXPECT_EQ(picture->leds, protocol::UnpackPlanes(planes, width, height)) << line;
    } else {
      ADD_FAILURE() << "not a vector line: " << line;
    }
  }
  check();
  EXPECT_GE(frames, 15);
}

}  // namespace
}  // namespace lumetra::panel
