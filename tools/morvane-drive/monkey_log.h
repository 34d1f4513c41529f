// The parts of the long random run that need no window: its log (one action
// a line, in the words of a script), the random numbers and texts, and the
// judgements of what it sees (a window that must be declined, an error
// window, a file change nobody asked for, resources that keep growing).
// Kept apart so that each is tested on its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "drive_parse.h"

namespace morvane::drive {

// Reads a log: every line a monkey action, # comments and blank lines skipped.
// On error, Error is "line N: ...".
bool ParseMonkeyLog(const std::string& Text, std::vector<TStep>& Steps, std::string& Error);
// One action as a log line (no line end), its words quoted where SplitWords needs it.
std::string FormatStep(const TStep& Step);
// A text as hex digits and back: texts with control characters go to the log so.
std::string ToHex(const std::string& Bytes);
bool FromHex(const std::string& Hex, std::string& Bytes);
// True when a text cannot stand in a log line as it is.
bool NeedsHex(const std::string& Text);

// Reproducible numbers from a seed, the same on every machine.
class TRandom {
 public:
  // The seed is mixed first: the stream only steps by a constant, so seeds
  // taken as they are would give runs that are the same run shifted.
  explicit TRandom(uint64_t Seed) : state_(Mix(Seed ^ 0x2545F4914F6CDD1Dull)) {}
  uint32_t Next();
  // 0 .. N-1 (0 when N <= 0).
  int Below(int N) { return N <= 0 ? 0 : static_cast<int>(Next() % static_cast<uint32_t>(N)); }
  bool Percent(int P) { return Below(100) < P; }

 private:
  static uint64_t Mix(uint64_t Z);
  uint64_t state_;
};

// A text a user might type, or one meant to break things: empty, plain,
// non-ASCII (code page 1252 and UTF-8 bytes), very long, control characters,
// format directives, paths, markup, quotes.
std::string RandomText(TRandom& R);
// A file name for a saved export, without folder: plain, non-ASCII, blanks,
// names of the browsers' own files.
std::string RandomFileName(TRandom& R);

// The window asks to restart Windows or to download something: it may only be declined.
bool MustDecline(const std::string& AllText);
// The button only declines or closes (Cancel, No, Close), whatever window it is on.
bool IsDeclining(const std::string& Button);

// The texts of a window the program showed: its component name, caption and
// the texts of its controls.
struct TShownWindow {
  std::string name, caption;
  std::vector<std::string> texts;
};
// "" when the window is no error report; else what it reports. Errors the
// program gives for a user's action (a domain not valid, a value that cannot
// be written) are no fault and are not reported.
std::string UnexplainedError(const TShownWindow& W);

// The browser page a file belongs to: "ie", "netscape", "firefox", "opera",
// or "" when the file is none of theirs. Relative to the user's folders:
// Folder is "cookies", "history" or "appdata", Rest the path below it.
std::string PageOfFile(const std::string& Folder, const std::string& Rest);
// The page the main window shows, from its caption ("... 1.9 - FireFox").
std::string PageOfCaption(const std::string& Caption);

// One measure of the program after an action.
struct TResourceSample {
  uint32_t handles = 0;
  uint64_t workingSet = 0;  // bytes
};
// "" while the samples stay bounded; else what grows. The first quarter of
// a run sets the level (caches fill, pages load once); the last quarter
// must not stand far above it.
std::string ResourceGrowth(const std::vector<TResourceSample>& Samples);

}  // namespace morvane::drive
