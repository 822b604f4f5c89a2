// lumetra-gdi-script SCRIPT OUTDIR: runs a drawing script on our rasterizer.
// Exit status: 0 all fine, 1 some line was malformed or a call failed (the
// rest still ran and every scene was written), 2 could not start.

#include <fstream>
#include <iostream>
#include <string>

#include "gdiscript/scene_runner.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: lumetra-gdi-script SCRIPT OUTDIR   (SCRIPT may be -)\n";
    return 2;
  }
  std::string scriptPath = argv[1];
  std::ifstream file;
  if (scriptPath != "-") {
    file.open(scriptPath);
    if (!file) {
      std::cerr << "lumetra-gdi-script: cannot open " << scriptPath << '\n';
      return 2;
    }
  }
  std::istream& script = scriptPath == "-" ? std::cin : file;
  std::error_code error;
  std::filesystem::create_directories(argv[2], error);
  if (!std::filesystem::is_directory(argv[2])) {
    std::cerr << "lumetra-gdi-script: cannot use " << argv[2] << " as output folder\n";
    return 2;
  }
  lumetra::SceneRunner runner(argv[2], std::cout, std::cerr);
  std::string line;
  int number = 0;
  try {
    while (std::getline(script, line)) runner.RunLine(line, ++number);
    runner.Finish();
  } catch (const std::exception& e) {  // an image that cannot be written
    std::cerr << "lumetra-gdi-script: " << e.what() << '\n';
    return 2;
  }
  return runner.HadErrors() ? 1 : 0;
}
