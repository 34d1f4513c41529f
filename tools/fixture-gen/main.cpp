// fixture-gen: writes browser files of the formats Morvane reads, from our
// own description of each format, for tests, demo data and benchmarks.
//
//   fixture-gen opera OUT [COOKIES]     a cookies4.dat with COOKIES cookies
//   fixture-gen history OUT [MEGABYTES] an index.dat of about that size
//   fixture-gen history-cases DIR       small index.dat files with LEAK and
//                                       REDR records, a record claiming no
//                                       blocks, and one cut inside a record
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
  } else if (kind == "history-cases") {
    const std::string dir = std::string(argv[2]) + "\\";
    auto recs = MakeHistoryRecords(200 * 1024);
    bool ok = WriteFile(dir + "mixed.dat", WriteIndexDat(recs));
    // A record claiming no blocks has no room for its text either: the list
    // of those gives the readers' expected difference.
    auto zero = recs;
    std::string zeroed;
    for (size_t i : {size_t{10}, size_t{20}}) {
      zero[i].BlockCount = 0;
      zeroed += zero[i].Location + "\n";
    }
    ok = ok && WriteFile(dir + "zero-blocks.dat", WriteIndexDat(zero)) && WriteFile(dir + "zero-blocks.txt", zeroed);
    TIndexDatGenOptions cut;
    cut.CutAt = 0x5000 + 64 * 1024 + 200;  // inside a record some way in
    ok = ok && WriteFile(dir + "cut.dat", WriteIndexDat(recs, cut));
    return ok ? 0 : 1;
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
