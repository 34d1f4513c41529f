#include "monkey_log.h"

#include <algorithm>
#include <cctype>

namespace morvane::drive {

namespace {

// The actions of a log with their least and most number of words (-1: any).
const TVerbWords kMonkeyVerbs[] = {
    {"start", 0, 0},  {"press", 1, 1},  {"select", 2, 2},   {"text", 2, 2},         {"htext", 2, 2},
    {"key", 2, -1},   {"click", 3, 3},  {"dclick", 3, 3},   {"header", 2, 2},       {"answer", 2, 3},
    {"menu", 2, 2},   {"popup", 4, 4},  {"wait", 1, 1},     {"close-window", 1, 1},
};

std::string Lower(std::string S) {
  for (char& c : S) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return S;
}

bool Contains(const std::string& Haystack, const char* Needle) { return Haystack.find(Needle) != std::string::npos; }

bool StartsWithNoCase(const std::string& S, const char* Prefix) {
  const std::string p = Lower(Prefix);
  return Lower(S.substr(0, p.size())) == p;
}

std::string Pick(TRandom& R, const std::vector<std::string>& From) { return From[R.Below(static_cast<int>(From.size()))]; }

}  // namespace

bool ParseMonkeyLog(const std::string& Text, std::vector<TStep>& Steps, std::string& Error) {
  return ReadSteps(Text, Steps, Error, [](const TStep& step) -> std::string {
    const TVerbWords* verb = FindVerb(kMonkeyVerbs, step.verb);
    if (!verb) return "unknown action \"" + step.verb + "\"";
    const int count = static_cast<int>(step.args.size());
    if (count < verb->least || (verb->most >= 0 && count > verb->most))
      return step.verb + " has " + std::to_string(count) + " words";
    int n = 0;
    auto number_at = [&](size_t i) { return ParseIndex(step.args[i], n); };
    if ((step.verb == "select" || step.verb == "header" || step.verb == "wait") && !number_at(1 - (step.verb == "wait")))
      return step.verb + " wants a number from 0";
    if ((step.verb == "click" || step.verb == "dclick") && (!number_at(1) || !number_at(2)))
      return step.verb + " wants client coordinates from 0";
    if (step.verb == "menu" && (!number_at(0) || !number_at(1))) return "menu wants MENU and DOWNS from 0";
    if (step.verb == "popup" && (!number_at(1) || !number_at(2) || !number_at(3))) return "popup wants GRID X Y DOWNS";
    std::string bytes;
    if (step.verb == "htext" && !FromHex(step.args[1], bytes)) return "htext wants hex digits";
    if (step.verb == "key") return UnknownKeyIn(step, 1);
    return std::string();
  });
}

std::string FormatStep(const TStep& Step) {
  std::string line = Step.verb;
  for (const std::string& w : Step.args) {
    line += ' ';
    const bool quote = w.empty() || w[0] == '#' || w[0] == '"' || w.find_first_of(" \t\r\"") != std::string::npos;
    if (!quote) {
      line += w;
      continue;
    }
    line += '"';
    for (char c : w) {
      if (c == '"' || c == '\\') line += '\\';
      line += c;
    }
    line += '"';
  }
  return line;
}

std::string ToHex(const std::string& Bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(Bytes.size() * 2);
  for (unsigned char c : Bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

bool FromHex(const std::string& Hex, std::string& Bytes) {
  if (Hex.size() % 2) return false;
  auto digit = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  Bytes.clear();
  for (size_t i = 0; i < Hex.size(); i += 2) {
    const int hi = digit(Hex[i]), lo = digit(Hex[i + 1]);
    if (hi < 0 || lo < 0) return false;
    Bytes += static_cast<char>(hi * 16 + lo);
  }
  return true;
}

bool NeedsHex(const std::string& Text) {
  for (unsigned char c : Text)
    if (c < 0x20 || c == 0x7F) return true;
  return false;
}

uint64_t TRandom::Mix(uint64_t Z) {
  Z = (Z ^ (Z >> 30)) * 0xBF58476D1CE4E5B9ull;
  Z = (Z ^ (Z >> 27)) * 0x94D049BB133111EBull;
  return Z ^ (Z >> 31);
}

uint32_t TRandom::Next() {
  // splitmix64: small, fast and fully specified, so a seed means the same
  // run on every build.
  return static_cast<uint32_t>(Mix(state_ += 0x9E3779B97F4A7C15ull) >> 16);
}

std::string RandomText(TRandom& R) {
  static const std::vector<std::string> kWords = {
      "example", "ads", "news", "SESSIONID", "cart", "uid", "lang=en", "com", "test", "www", ".", "/", "*", "?"};
  static const std::vector<std::string> kHostile = {
      "%s%s%s%n%d",
      "\"quoted\" 'single' `back`",
      "<script>alert(1)</script>&amp;",
      "C:\\Windows\\System32\\config\\SAM",
      "..\\..\\..\\..\\boot.ini",
      "\\\\?\\C:\\con\\aux",
      "CON",
      "a\tb\tc",
      "line1\r\nline2\nline3\r",
      std::string("nul\0byte", 8),
      "*.*",
      "http://www.example.com/path?q=1&r=2#frag",
      "-1",
      "2147483648",
      "99999999999999999999",
      "1e308",
      " leading and trailing ",
      "\x7f\x01\x02\x1b[0m",
      "\xe9\xe8\xfc\xdf\xf1 Caf\xe9 na\xefve",                // code page 1252
      "\xc3\xa9t\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x8d\xaa",  // UTF-8 bytes
      "\xff\xfe\x00\x41",
  };
  switch (R.Below(8)) {
    case 0:
      return std::string();
    case 1:
    case 2: {
      std::string s = Pick(R, kWords);
      for (int n = R.Below(3); n > 0; --n) s += (R.Percent(50) ? "." : "") + Pick(R, kWords);
      return s;
    }
    case 3:
      return Pick(R, kHostile);
    case 4: {
      // Very long: past the 255 and 4096 limits that fixed buffers often have.
      const int lengths[] = {256, 1025, 4097, 40000};
      const int n = lengths[R.Below(4)];
      std::string s;
      s.reserve(static_cast<size_t>(n));
      while (static_cast<int>(s.size()) < n) s += static_cast<char>('a' + R.Below(26));
      if (R.Percent(50)) s[s.size() / 2] = '\xe9';
      return s;
    }
    case 5: {
      std::string s;
      for (int n = 1 + R.Below(20); n > 0; --n) s += static_cast<char>(0x80 + R.Below(0x80));
      return s;
    }
    case 6: {
      std::string s;
      for (int n = 1 + R.Below(12); n > 0; --n) s += static_cast<char>(0x20 + R.Below(0x5F));
      return s;
    }
    default:
      return Pick(R, kWords) + Pick(R, kHostile);
  }
}

std::string RandomFileName(TRandom& R) {
  static const std::vector<std::string> kNames = {"export", "Cookies Export", "caf\xe9-\xfc" "bersicht", "index.dat",
                                                  "cookies.txt", "hostperm.1", "a", "x.y.z"};
  static const std::vector<std::string> kExtensions = {".txt", ".xls", ".htm", "", ".dat"};
  return Pick(R, kNames) + Pick(R, kExtensions);
}

bool MustDecline(const std::string& AllText) {
  const std::string t = Lower(AllText);
  return Contains(t, "reboot") || Contains(t, "restart") || Contains(t, "download");
}

bool IsDeclining(const std::string& Button) {
  std::string b = Button;
  b.erase(std::remove(b.begin(), b.end(), '&'), b.end());
  b = Lower(b);
  while (!b.empty() && b.back() == ' ') b.pop_back();
  while (!b.empty() && b.front() == ' ') b.erase(b.begin());
  return b == "cancel" || b == "no" || b == "close" || b == "2" || b == "7";
}

std::string UnexplainedError(const TShownWindow& W) {
  std::string all = W.caption;
  for (const std::string& t : W.texts) all += "\n" + t;
  // What the program answers a user's mistake or a refused write with: the
  // action explains them.
  static const char* const kGiven[] = {
      "You have entered invalid domain",
      "Cannot Add to blocked domains list",
      "Cannot Save blocked domains value",
      "Cannot print displayed text",
  };
  for (const char* g : kGiven)
    if (Contains(all, g)) return std::string();
  const std::string lower = Lower(all);
  // The program's error report, and what an escaped exception shows.
  if (W.name == "ErrorDlg" || Lower(W.caption) == "error" || Contains(lower, "exception") ||
      Contains(lower, "access violation") || Contains(lower, "error in ") || Contains(lower, "error (") ||
      Contains(lower, "cannot display"))
    return all;
  return std::string();
}

std::string PageOfFile(const std::string& Folder, const std::string& Rest) {
  if (Folder == "cookies" || Folder == "history") return "ie";
  if (Folder != "appdata") return std::string();
  if (StartsWithNoCase(Rest, "Mozilla\\Firefox\\")) return "firefox";
  if (StartsWithNoCase(Rest, "Mozilla\\")) return "netscape";
  if (StartsWithNoCase(Rest, "Opera\\")) return "opera";
  return std::string();
}

std::string PageOfCaption(const std::string& Caption) {
  const size_t dash = Caption.rfind(" - ");
  if (dash == std::string::npos) return std::string();
  const std::string page = Lower(Caption.substr(dash + 3));
  if (page == "ie") return "ie";
  if (page == "netscape") return "netscape";
  if (page == "firefox") return "firefox";
  if (page == "opera") return "opera";
  return std::string();
}

std::string ResourceGrowth(const std::vector<TResourceSample>& Samples) {
  // Too few samples say nothing about a trend.
  if (Samples.size() < 40) return std::string();
  const size_t quarter = Samples.size() / 4;
  uint32_t handlesLevel = 0;
  uint64_t memoryLevel = 0;
  for (size_t i = 0; i < quarter; ++i) {
    handlesLevel = std::max(handlesLevel, Samples[i].handles);
    memoryLevel = std::max(memoryLevel, Samples[i].workingSet);
  }
  // The least of the last quarter: a spike of one action (a big dialog, a
  // sort) is no growth; a level that never comes down is.
  uint32_t handlesEnd = UINT32_MAX;
  uint64_t memoryEnd = UINT64_MAX;
  for (size_t i = Samples.size() - quarter; i < Samples.size(); ++i) {
    handlesEnd = std::min(handlesEnd, Samples[i].handles);
    memoryEnd = std::min(memoryEnd, Samples[i].workingSet);
  }
  std::string out;
  if (handlesEnd > handlesLevel + handlesLevel / 4 + 50)
    out += "handles grew from " + std::to_string(handlesLevel) + " to " + std::to_string(handlesEnd);
  if (memoryEnd > memoryLevel + memoryLevel / 2 + (32ull << 20)) {
    if (!out.empty()) out += "; ";
    out += "the working set grew from " + std::to_string(memoryLevel >> 20) + " MB to " +
           std::to_string(memoryEnd >> 20) + " MB";
  }
  return out;
}

}  // namespace morvane::drive
