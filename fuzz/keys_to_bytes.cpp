// Turns key notation into the raw key codes the key fuzz target reads, so
// that the scenario scripts seed its corpus: keys_to_bytes NOTATION OUT.
#include <cstdio>
#include <fstream>
#include <string>

#include "console/key_notation.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: keys_to_bytes NOTATION OUT\n");
    return 2;
  }
  std::vector<quipular::KeyGroup> groups;
  std::string error;
  if (!quipular::ParseKeyNotation(argv[1], groups, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  std::string bytes(1, '\0');  // an even first byte: one key at a time
  for (const auto& group : groups)
    for (const auto& key : group) bytes += key.bytes;
  std::ofstream(argv[2], std::ios::binary) << bytes;
  return 0;
}
