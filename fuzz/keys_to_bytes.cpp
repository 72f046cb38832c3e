// Turns key notation into the raw key codes the key fuzz target reads, so
// that the scenario scripts seed its corpus. Reads lines "NAME<tab>NOTATION"
// from standard input and writes each as OUT_DIR/NAME: keys_to_bytes OUT_DIR.
// One process for the whole corpus: a sanitized start costs more than the
// translation of hundreds of cases.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "console/key_notation.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: keys_to_bytes OUT_DIR < NAME<tab>NOTATION lines\n");
    return 2;
  }
  const std::string out = argv[1];
  int failed = 0;
  std::string line;
  while (std::getline(std::cin, line)) {
    size_t tab = line.find('\t');
    if (tab == std::string::npos || tab == 0) continue;
    std::vector<quipular::KeyGroup> groups;
    std::string error;
    if (!quipular::ParseKeyNotation(line.substr(tab + 1), groups, error)) {
      std::fprintf(stderr, "%s: %s\n", line.substr(0, tab).c_str(), error.c_str());
      ++failed;
      continue;
    }
    std::string bytes(1, '\0');  // an even first byte: one key at a time
    for (const auto& group : groups)
      for (const auto& key : group) bytes += key.bytes;
    std::ofstream file(out + "/" + line.substr(0, tab), std::ios::binary);
    if (!(file << bytes)) {
      std::fprintf(stderr, "cannot write %s/%s\n", out.c_str(), line.substr(0, tab).c_str());
      return 1;
    }
  }
  // Cases whose keys are not notation (a test of the notation's errors)
  // are no seeds; they are counted, not fatal.
  if (failed) std::fprintf(stderr, "%d cases skipped\n", failed);
  return 0;
}
