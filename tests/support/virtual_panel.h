#pragma once
// A lumetra-panel on a pseudo-terminal of its own, or listening on a free
// TCP port of the loopback, for tests that send to it; stopped (and its
// files written) when Stop() is called or the test ends.

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace lumetra::test {

class VirtualPanel {
 public:
  enum class Line { kPty, kTcp };
  VirtualPanel(const std::filesystem::path& out, std::vector<std::string> options, Line line = Line::kPty) {
    std::vector<std::string> args = {LUMETRA_BIN_DIR "/lumetra-panel", "--out", out.string()};
    if (line == Line::kPty) {
      args.push_back("--pty");
    } else {
      args.insert(args.end(), {"--tcp", "127.0.0.1:0"});
    }
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    // The first line the panel prints is the terminal's path, or its tcp:// address.
    char c;
    while (::read(pipeFds[0], &c, 1) == 1 && c != '\n') path_ += c;
    ::close(pipeFds[0]);
  }
  ~VirtualPanel() { Stop(); }

  // The pseudo-terminal's path or "tcp://127.0.0.1:PORT".
  const std::string& Path() const { return path_; }
  // Ends the panel after it has written what it received; true when it
  // ended on its own with status 0 (false if it had already been stopped).
  bool Stop() {
    if (pid_ <= 0) return false;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

 private:
  pid_t pid_ = -1;
  std::string path_;
};

}  // namespace lumetra::test
