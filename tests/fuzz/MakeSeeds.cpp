// Writes well-formed performance data blocks into a directory, the fuzzer's starting corpus: random
// bytes alone would rarely get as far as a counter definition.
#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/host/PerfBlockBuilder.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
    return 2;
  }
  std::filesystem::create_directories(argv[1]);
  const PerfBlock seeds[] = {
      BuildPerfBlock({ProcessorObject({100, 200})}),
      BuildPerfBlock({OtherObject(2), ProcessorObject({1, 2, 3, 4, 5})}),
      BuildPerfBlock({OtherObject(2), OtherObject(4), ProcessorObject({7})}),
      BuildPerfBlock({{kProcessorObjectTitle, {142, 148}, {{1, 2}}}}),
  };
  int n = 0;
  for (const PerfBlock& seed : seeds) {
    const std::string path = std::string(argv[1]) + "/seed" + std::to_string(n++);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(seed.bytes.data(), 1, seed.bytes.size(), file) != seed.bytes.size()) {
      std::perror(path.c_str());
      return 1;
    }
    std::fclose(file);
  }
  return 0;
}
