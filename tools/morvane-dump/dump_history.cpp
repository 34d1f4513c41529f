// morvane-dump history FILE: one line per URL record of an Internet Explorer
// history index, in file order: URL, first time, second time (each as UTC
// and as the stored file time).
#include "browserdata/history/index_dat.h"
#include "dump.h"
#include "platform/core/streams.h"

namespace morvane::dump {
namespace {

std::string Time(uint64_t fileTime) {
  return IsoUtcFromDays(FileTimeToDateTimeUtc(fileTime)) + " " + std::to_string(fileTime);
}

int RunHistory(const std::vector<std::string>& args) {
  if (args.size() != 1) return 2;
  // The same walk the history store makes, with the stored times kept whole.
  TFileStream in(args[0], fmOpenRead | fmShareDenyNone);
  TIndexDatChunkedSource source(static_cast<uint64_t>(in.Size()), [&in](uint64_t pos, uint8_t* buf, size_t n) -> size_t {
    in.Seek(static_cast<int64_t>(pos), soBeginning);
    const int64_t got = in.Read(buf, static_cast<int64_t>(n));
    return got > 0 ? static_cast<size_t>(got) : 0;
  });
  TIndexDatWalker walker(source);
  TIndexDatUrl e;
  for (bool ok = walker.First(e); ok; ok = walker.Next(e)) {
    PrintRecord({e.URL, Time(e.FirstTime), Time(e.SecondTime)});
  }
  return 0;
}

TCommand cmd("history", "FILE", "URL records of an index.dat: URL, first time, second time", RunHistory);

}  // namespace
}  // namespace morvane::dump
