// Runs every file of a corpus folder through the fuzz entry point once, so
// that the saved corpus (and every crash input added to it) is replayed as an
// ordinary test, also in the Windows build under Wine.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: replay CORPUS_DIR...\n");
    return 2;
  }
  size_t count = 0;
  for (int i = 1; i < argc; ++i) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[i], ec)) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
      ++count;
    }
    if (ec) {
      std::fprintf(stderr, "replay: cannot read %s: %s\n", argv[i], ec.message().c_str());
      return 1;
    }
  }
  // An empty input must be handled too.
  LLVMFuzzerTestOneInput(nullptr, 0);
  std::printf("replayed %zu inputs\n", count);
  return 0;
}
