// What morvane-drive is asked to do, read from its command line and its
// scripts. Nothing here touches a window, so it is tested on its own.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace morvane::drive {

// Exit codes of the driver.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;      // a step could not be done (control missing, check failed)
constexpr int kExitUsage = 2;       // bad arguments or script
constexpr int kExitUnexpected = 3;  // the program showed a window nobody asked for
constexpr int kExitTimeout = 4;     // no main window, or no exit after WM_CLOSE

struct TExportRequest {
  std::string view;
  std::string outFile;   // Windows path
  std::string format = "txt";
  int ieFolder = -1;     // entry of the cookie-folder combo, -1: leave it
  int profile = -1;      // entry of the profile combo, -1: leave it
  int row = -1;          // row of the history file list, -1: leave it
};

// The long random run: how long, from which seed, where its actions go, or
// the log of an earlier run to do again.
struct TMonkeyRequest {
  int seconds = 0;
  unsigned seed = 0;
  std::string log;     // Windows path; "" keeps the actions in memory only
  std::string replay;  // Windows path of a log to replay; "" picks actions at random
};

struct TCommandLine {
  enum class TKind { kHelp, kExport, kRun, kMonkey };
  TKind kind = TKind::kHelp;
  TExportRequest exportRequest;
  TMonkeyRequest monkey;
  std::string script;    // file of `run`
  std::string exe;       // "" means Morvane.exe beside the driver
  std::string cwd;       // "" means the folder of the exe
};

// Reads the arguments after the program name; false with a message on error.
bool ParseCommandLine(const std::vector<std::string>& Args, TCommandLine& Out, std::string& Error);

// How the program reaches a view: the browser tool button, the tab of the
// element tab control (or page control), and which selections apply.
struct TViewRoute {
  const char* view;
  const char* browserButton;  // tool button name
  const char* tabs;           // name of the tab control or page control
  int tab;                    // tab index; kLastTab for the last one
  const char* grid;           // name of the grid that shows the rows
  bool ieFolder;              // --ie-folder applies
  bool profile;               // --profile applies
  bool historyRow;            // --row applies
};
constexpr int kLastTab = -2;

// The route of a view name, or null.
const TViewRoute* FindView(const std::string& View);
// Every view name, for the help text and messages.
std::string ViewNames();
// The save dialog's filter index (1-3) of a format; 0 when unknown.
int FilterIndexOf(const std::string& Format);

// One line of a script: the verb and its words.
struct TStep {
  int line = 0;
  std::string verb;
  std::vector<std::string> args;
};

// Splits a line into words: blanks separate, "double quotes" keep blanks
// (\" and \\ inside them), # starts a comment outside quotes.
bool SplitWords(const std::string& Line, std::vector<std::string>& Words, std::string& Error);

// A verb with its least and most number of words (-1: any number).
struct TVerbWords {
  const char* verb;
  int least, most;
};
// The entry of Verb in a format's table, or null.
template <size_t N>
const TVerbWords* FindVerb(const TVerbWords (&Verbs)[N], const std::string& Verb) {
  for (const TVerbWords& v : Verbs)
    if (Verb == v.verb) return &v;
  return nullptr;
}
// "" when every word of Step from From on is a key ParseKey knows, else what is wrong.
std::string UnknownKeyIn(const TStep& Step, size_t From);

// Reads a text of steps, one a line: blank lines and # comments are skipped,
// every other line is split into words and handed to Check, which returns ""
// for a sound step and otherwise what is wrong with it. Scripts and monkey
// logs share this; each format keeps its own verbs, checks and messages.
// On error, Error is "line N: ..." and Steps holds the steps before it.
bool ReadSteps(const std::string& Text, std::vector<TStep>& Steps, std::string& Error,
               const std::function<std::string(const TStep&)>& Check);

// Parses a whole script; checks every verb and its number of words.
// On error, Error is "line N: ...".
bool ParseScript(const std::string& Text, std::vector<TStep>& Steps, std::string& Error);

// Reads the file at Path and parses it with Parse (ParseScript, ParseMonkeyLog).
// On error, Error is "cannot read PATH" or "PATH: line N: ...".
using TStepsParser = bool (*)(const std::string& Text, std::vector<TStep>& Steps, std::string& Error);
bool LoadSteps(const std::string& Path, TStepsParser Parse, std::vector<TStep>& Steps, std::string& Error);

// A key as the scripts name it: "Enter", "F5", "Ctrl+F", "Shift+Tab", "a".
struct TKey {
  unsigned vk = 0;
  bool ctrl = false, shift = false, alt = false;
  char ch = 0;  // the character it types, 0 for none
};
bool ParseKey(const std::string& Text, TKey& Key);
// The keys of Words from From on, as ParseKey reads them (words it does not
// know give an empty key: check them with UnknownKeyIn first).
std::vector<TKey> KeysOf(const std::vector<std::string>& Words, size_t From);

// The folder part of a path, without the last separator; "" for a bare name.
std::string FolderOf(const std::string& Path);

// A non-negative decimal number; false for anything else.
bool ParseIndex(const std::string& Text, int& Value);

// What `show` prints of a window: its caption, then every visible control
// with a text, in the window's order, as "  CLASS: TEXT" (the text as it is,
// line breaks included), each line ended by "\n".
struct TControlText {
  std::string cls, text;
};
std::string WindowTextsReport(const std::string& Caption, const std::vector<TControlText>& Controls);

// The --help text.
std::string HelpText();

}  // namespace morvane::drive
