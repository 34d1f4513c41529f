// fixture-gen: writes browser files of the formats Morvane reads, from our
// own description of each format, for tests, demo data and benchmarks.
//
//   fixture-gen opera OUT [COOKIES]     a cookies4.dat with COOKIES cookies
//   fixture-gen history OUT [MEGABYTES] an index.dat of about that size
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "index_dat_gen.h"
#include "opera_gen.h"

using namespace morvane::fixturegen;

namespace {

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: fixture-gen opera|history OUT [COUNT]\n");
    return 2;
  }
  const std::string kind = argv[1];
  const long count = argc > 3 ? std::strtol(argv[3], nullptr, 10) : 0;
  std::string bytes;
  if (kind == "opera") {
    bytes = WriteOperaCookies(MakeOperaCookies(count > 0 ? count : 100), TOperaGenOptions{});
  } else if (kind == "history") {
    bytes = MakeHistoryIndex(static_cast<uint64_t>(count > 0 ? count : 1) << 20);
  } else {
    std::fprintf(stderr, "fixture-gen: unknown kind %s\n", kind.c_str());
    return 2;
  }
  if (!WriteFile(argv[2], bytes)) {
    std::fprintf(stderr, "fixture-gen: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
