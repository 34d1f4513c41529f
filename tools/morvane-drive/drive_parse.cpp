#include "drive_parse.h"

#include <cctype>
#include <cstring>
#include <fstream>
#include <sstream>

namespace morvane::drive {

namespace {

// Virtual-key codes, spelled out so that this file needs no <windows.h>.
struct TNamedKey {
  const char* name;
  unsigned vk;
  char ch;
};
const TNamedKey kNamedKeys[] = {
    {"Enter", 0x0D, '\r'}, {"Esc", 0x1B, 0x1B}, {"Tab", 0x09, '\t'},   {"Space", 0x20, ' '},
    {"Back", 0x08, 0x08},  {"Delete", 0x2E, 0}, {"Insert", 0x2D, 0},   {"Home", 0x24, 0},
    {"End", 0x23, 0},      {"PgUp", 0x21, 0},   {"PgDn", 0x22, 0},     {"Up", 0x26, 0},
    {"Down", 0x28, 0},     {"Left", 0x25, 0},   {"Right", 0x27, 0},    {"Apps", 0x5D, 0},
};

bool EqualNoCase(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

const TViewRoute kViews[] = {
    {"ie-cookies", "IECheck", "IETabControl", 0, "IECookiesElTree", true, false, false},
    {"ie-privacy", "IECheck", "IETabControl", 1, "ElTreeDomains", false, false, false},
    {"ie-history-files", "IECheck", "IETabControl", kLastTab, "ElTreeHistoryFiles", false, false, false},
    {"ie-history-entries", "IECheck", "IETabControl", kLastTab, "ElTreeHistory", false, false, true},
    {"netscape-cookies", "NetscapeCheck", "NetscapeTabControl", 0, "MozillaCookiesElTree", false, true, false},
    {"netscape-permissions", "NetscapeCheck", "NetscapeTabControl", 1, "ElTreeMozillaDomains", false, true, false},
    {"firefox-cookies", "FireFoxCheck", "NetscapeTabControl", 0, "MozillaCookiesElTree", false, true, false},
    {"firefox-permissions", "FireFoxCheck", "NetscapeTabControl", 1, "ElTreeMozillaDomains", false, true, false},
    {"opera-cookies", "OperaCheck", "OperaPageControl", 0, "OperaCookiesElTree", false, false, false},
    {"opera-domains", "OperaCheck", "OperaPageControl", 1, "EltreeOperaDomains", false, false, false},
};

const TVerbWords kVerbs[] = {
    {"start", 0, -1},   {"timeout", 1, 1}, {"press", 1, 1},  {"menu", 1, -1},   {"key", 2, -1},
    {"text", 2, 2},     {"select", 2, 2},  {"row", 2, 2},    {"focus", 1, 1},   {"click", 1, 3},
    {"dclick", 1, 3},   {"rclick", 1, 3},  {"header", 2, 3}, {"answer", 2, 3},  {"expect", 1, 1},
    {"expect-gone", 1, 1}, {"show", 1, 1}, {"list-row", 2, 2}, {"save", 1, 2}, {"save-selection", 1, 2}, {"close", 0, 0},  {"wait-exit", 0, 0},
    {"state", 1, 1},    {"place", 4, 4},   {"screenshot", 1, 1},
};

bool NeedValue(const std::vector<std::string>& Args, size_t& i, std::string& Value, std::string& Error) {
  if (i + 1 >= Args.size()) {
    Error = Args[i] + " needs a value";
    return false;
  }
  Value = Args[++i];
  return true;
}

}  // namespace

bool ParseIndex(const std::string& Text, int& Value) {
  if (Text.empty() || Text.size() > 9) return false;
  int v = 0;
  for (char c : Text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  Value = v;
  return true;
}

const TViewRoute* FindView(const std::string& View) {
  for (const TViewRoute& r : kViews)
    if (View == r.view) return &r;
  return nullptr;
}

std::string ViewNames() {
  std::string s;
  for (const TViewRoute& r : kViews) {
    if (!s.empty()) s += ", ";
    s += r.view;
  }
  return s;
}

int FilterIndexOf(const std::string& Format) {
  if (Format == "txt") return 1;
  if (Format == "xls") return 2;
  if (Format == "htm") return 3;
  return 0;
}

bool ParseCommandLine(const std::vector<std::string>& Args, TCommandLine& Out, std::string& Error) {
  Out = TCommandLine();
  if (Args.empty() || Args[0] == "--help" || Args[0] == "-h" || Args[0] == "help") return true;
  std::vector<std::string> positional;
  auto index = [&](size_t& i, int& target) {
    std::string v;
    if (!NeedValue(Args, i, v, Error)) return false;
    if (!ParseIndex(v, target)) {
      Error = Args[i - 1] + " wants a number from 0, not \"" + v + "\"";
      return false;
    }
    return true;
  };
  const std::string& command = Args[0];
  if (command != "export" && command != "run" && command != "monkey") {
    Error = "unknown command \"" + command + "\" (export, run, monkey or --help)";
    return false;
  }
  const bool isExport = command == "export";
  const bool isMonkey = command == "monkey";
  bool haveSeconds = false, haveSeed = false;
  for (size_t i = 1; i < Args.size(); ++i) {
    const std::string& a = Args[i];
    if (a == "--exe") {
      if (!NeedValue(Args, i, Out.exe, Error)) return false;
    } else if (a == "--cwd") {
      if (!NeedValue(Args, i, Out.cwd, Error)) return false;
    } else if (isExport && a == "--format") {
      if (!NeedValue(Args, i, Out.exportRequest.format, Error)) return false;
      if (!FilterIndexOf(Out.exportRequest.format)) {
        Error = "--format is txt, xls or htm, not \"" + Out.exportRequest.format + "\"";
        return false;
      }
    } else if (isExport && a == "--ie-folder") {
      if (!index(i, Out.exportRequest.ieFolder)) return false;
    } else if (isExport && a == "--profile") {
      if (!index(i, Out.exportRequest.profile)) return false;
    } else if (isExport && a == "--row") {
      if (!index(i, Out.exportRequest.row)) return false;
    } else if (isMonkey && a == "--seconds") {
      if (!index(i, Out.monkey.seconds)) return false;
      haveSeconds = true;
    } else if (isMonkey && a == "--seed") {
      int seed = 0;
      if (!index(i, seed)) return false;
      Out.monkey.seed = static_cast<unsigned>(seed);
      haveSeed = true;
    } else if (isMonkey && a == "--log") {
      if (!NeedValue(Args, i, Out.monkey.log, Error)) return false;
    } else if (isMonkey && a == "--replay") {
      if (!NeedValue(Args, i, Out.monkey.replay, Error)) return false;
    } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
      Error = "unknown option " + a + " for " + command;
      return false;
    } else {
      positional.push_back(a);
    }
  }
  if (isMonkey) {
    if (!positional.empty()) {
      Error = "monkey takes options only, not \"" + positional[0] + "\"";
      return false;
    }
    if (Out.monkey.replay.empty() && (!haveSeconds || !haveSeed)) {
      Error = "monkey needs --seconds N and --seed S (or --replay FILE)";
      return false;
    }
    if (haveSeconds && Out.monkey.seconds == 0) {
      Error = "--seconds wants a number above 0";
      return false;
    }
    if (!Out.monkey.replay.empty() && !Out.monkey.log.empty() && Out.monkey.replay == Out.monkey.log) {
      Error = "--log would overwrite the --replay file";
      return false;
    }
    Out.kind = TCommandLine::TKind::kMonkey;
    return true;
  }
  if (!isExport) {
    if (positional.size() != 1) {
      Error = "run takes one SCRIPT file";
      return false;
    }
    Out.kind = TCommandLine::TKind::kRun;
    Out.script = positional[0];
    return true;
  }
  if (positional.size() != 2) {
    Error = "export takes VIEW and OUTFILE";
    return false;
  }
  TExportRequest& r = Out.exportRequest;
  r.view = positional[0];
  r.outFile = positional[1];
  const TViewRoute* route = FindView(r.view);
  if (!route) {
    Error = "unknown view \"" + r.view + "\" (" + ViewNames() + ")";
    return false;
  }
  if (r.ieFolder >= 0 && !route->ieFolder) {
    Error = "--ie-folder applies to ie-cookies only";
    return false;
  }
  if (r.profile >= 0 && !route->profile) {
    Error = "--profile applies to the netscape and firefox views only";
    return false;
  }
  if (r.row >= 0 && !route->historyRow) {
    Error = "--row applies to ie-history-entries only";
    return false;
  }
  Out.kind = TCommandLine::TKind::kExport;
  return true;
}

bool SplitWords(const std::string& Line, std::vector<std::string>& Words, std::string& Error) {
  Words.clear();
  size_t i = 0;
  const size_t n = Line.size();
  while (i < n) {
    const char c = Line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
      continue;
    }
    if (c == '#') break;
    std::string w;
    if (c == '"') {
      ++i;
      bool closed = false;
      while (i < n) {
        char d = Line[i++];
        if (d == '"') {
          closed = true;
          break;
        }
        if (d == '\\' && i < n && (Line[i] == '"' || Line[i] == '\\')) d = Line[i++];
        w += d;
      }
      if (!closed) {
        Error = "a quote is not closed";
        return false;
      }
      if (i < n && Line[i] != ' ' && Line[i] != '\t' && Line[i] != '\r') {
        Error = "a quoted word runs into the next";
        return false;
      }
    } else {
      while (i < n && Line[i] != ' ' && Line[i] != '\t' && Line[i] != '\r') w += Line[i++];
    }
    Words.push_back(w);
  }
  return true;
}

bool ParseKey(const std::string& Text, TKey& Key) {
  Key = TKey();
  std::string rest = Text;
  for (;;) {
    size_t plus = rest.find('+');
    if (plus == std::string::npos || plus + 1 >= rest.size()) break;
    std::string mod = rest.substr(0, plus);
    if (EqualNoCase(mod, "Ctrl")) Key.ctrl = true;
    else if (EqualNoCase(mod, "Shift")) Key.shift = true;
    else if (EqualNoCase(mod, "Alt")) Key.alt = true;
    else return false;
    rest = rest.substr(plus + 1);
  }
  if (rest.empty()) return false;
  for (const TNamedKey& k : kNamedKeys)
    if (EqualNoCase(rest, k.name)) {
      Key.vk = k.vk;
      Key.ch = Key.ctrl || Key.alt ? 0 : k.ch;
      return true;
    }
  if ((rest[0] == 'F' || rest[0] == 'f') && rest.size() > 1) {
    int f = 0;
    if (ParseIndex(rest.substr(1), f) && f >= 1 && f <= 12) {
      Key.vk = 0x70 + static_cast<unsigned>(f - 1);
      return true;
    }
  }
  if (rest.size() == 1 && std::isalnum(static_cast<unsigned char>(rest[0]))) {
    const char c = rest[0];
    Key.vk = static_cast<unsigned>(std::toupper(static_cast<unsigned char>(c)));
    if (!Key.ctrl && !Key.alt) Key.ch = Key.shift ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
    return true;
  }
  return false;
}

std::string UnknownKeyIn(const TStep& Step, size_t From) {
  for (size_t k = From; k < Step.args.size(); ++k) {
    TKey key;
    if (!ParseKey(Step.args[k], key)) return "unknown key \"" + Step.args[k] + "\"";
  }
  return std::string();
}

bool ReadSteps(const std::string& Text, std::vector<TStep>& Steps, std::string& Error,
               const std::function<std::string(const TStep&)>& Check) {
  Steps.clear();
  std::istringstream in(Text);
  std::string line;
  int number = 0;
  auto fail = [&](const std::string& m) {
    Error = "line " + std::to_string(number) + ": " + m;
    return false;
  };
  while (std::getline(in, line)) {
    ++number;
    std::vector<std::string> words;
    std::string e;
    if (!SplitWords(line, words, e)) return fail(e);
    if (words.empty()) continue;
    TStep step;
    step.line = number;
    step.verb = words[0];
    step.args.assign(words.begin() + 1, words.end());
    const std::string wrong = Check(step);
    if (!wrong.empty()) return fail(wrong);
    Steps.push_back(step);
  }
  return true;
}

namespace {

// What is wrong with one line of a script, or "".
std::string ScriptStepError(const TStep& step) {
  const TVerbWords* verb = FindVerb(kVerbs, step.verb);
  if (!verb) return "unknown command \"" + step.verb + "\"";
  const int count = static_cast<int>(step.args.size());
  if (count < verb->least || (verb->most >= 0 && count > verb->most))
    return step.verb + " takes " +
           (verb->least == verb->most ? std::to_string(verb->least)
                                      : std::to_string(verb->least) + " to " +
                                            (verb->most < 0 ? std::string("any") : std::to_string(verb->most))) +
           " words, not " + std::to_string(count);
  int n = 0;
  if (step.verb == "timeout" && (!ParseIndex(step.args[0], n) || n == 0)) return "timeout wants seconds above 0";
  if ((step.verb == "select" || step.verb == "row" || step.verb == "header" || step.verb == "list-row") &&
      !ParseIndex(step.args[1], n))
    return step.verb + " wants a number from 0, not \"" + step.args[1] + "\"";
  if (step.verb == "place")
    for (const std::string& a : step.args)
      if (!ParseIndex(a, n)) return "place wants LEFT TOP WIDTH HEIGHT in pixels from 0, not \"" + a + "\"";
  if (step.verb == "header" && count == 3 && !ParseIndex(step.args[2], n))
    return "header wants the x to drag to from 0, not \"" + step.args[2] + "\"";
  if (step.verb == "key") {
    const std::string wrong = UnknownKeyIn(step, 1);
    if (!wrong.empty()) return wrong;
  }
  if ((step.verb == "click" || step.verb == "dclick" || step.verb == "rclick") && count != 1 && count != 3)
    return step.verb + " takes NAME, or NAME X Y";
  if (count == 3 && (step.verb == "click" || step.verb == "dclick" || step.verb == "rclick")) {
    int x = 0, y = 0;
    if (!ParseIndex(step.args[1], x) || !ParseIndex(step.args[2], y))
      return step.verb + " wants client coordinates from 0";
  }
  if ((step.verb == "save" || step.verb == "save-selection") && count == 2 && !FilterIndexOf(step.args[1]))
    return step.verb + "'s format is txt, xls or htm";
  return std::string();
}

}  // namespace

std::vector<TKey> KeysOf(const std::vector<std::string>& Words, size_t From) {
  std::vector<TKey> keys;
  for (size_t i = From; i < Words.size(); ++i) {
    TKey k;
    ParseKey(Words[i], k);
    keys.push_back(k);
  }
  return keys;
}

std::string FolderOf(const std::string& Path) {
  const size_t slash = Path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : Path.substr(0, slash);
}

bool ParseScript(const std::string& Text, std::vector<TStep>& Steps, std::string& Error) {
  if (!ReadSteps(Text, Steps, Error, ScriptStepError)) return false;
  // A script that does nothing is a mistake (a wrong file, an empty heredoc);
  // a monkey log may well be empty, so this stays here.
  if (Steps.empty()) {
    Error = "line 0: the script has no command";
    return false;
  }
  return true;
}

bool LoadSteps(const std::string& Path, TStepsParser Parse, std::vector<TStep>& Steps, std::string& Error) {
  Steps.clear();
  std::ifstream in(Path, std::ios::binary);
  if (!in) {
    Error = "cannot read " + Path;
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (!Parse(text.str(), Steps, Error)) {
    Error = Path + ": " + Error;
    return false;
  }
  return true;
}

std::string WindowTextsReport(const std::string& Caption, const std::vector<TControlText>& Controls) {
  std::string out = "window \"" + Caption + "\"\n";
  for (const TControlText& c : Controls)
    if (!c.text.empty()) out += "  " + c.cls + ": " + c.text + "\n";
  return out;
}

std::string HelpText() {
  return
      "morvane-drive: drives the real Morvane.exe from outside, through its windows,\n"
      "messages, files and registry only.\n"
      "\n"
      "  morvane-drive export VIEW OUTFILE [--format txt|xls|htm] [--ie-folder N]\n"
      "                [--profile N] [--row N] [--exe PATH] [--cwd DIR]\n"
      "      Starts the program, switches to VIEW with its own controls, saves the\n"
      "      view's rows with File > Save as... into OUTFILE (a Windows path), closes\n"
      "      the program and waits for it to end. VIEW is one of\n"
      "      " + ViewNames() + ".\n"
      "      --ie-folder N and --profile N choose entry N (from 0) of the cookie-folder\n"
      "      or profile combo; --row N the N-th row (from 0, display order) of the\n"
      "      history file list. --exe defaults to Morvane.exe beside the driver,\n"
      "      --cwd to the folder of the exe.\n"
      "\n"
      "  morvane-drive run SCRIPT [--exe PATH] [--cwd DIR]\n"
      "      Runs a script: one command a line, words separated by blanks,\n"
      "      \"quoted words\" may hold blanks (\\\" and \\\\ inside), # starts a comment.\n"
      "      NAME is a control's component name (its \"Name\" property).\n"
      "        start [ARG...]          start the program and wait for its main window\n"
      "        timeout SECONDS         time limit of every later wait (default 20)\n"
      "        press NAME              click a button or a tool button\n"
      "        menu ID                 choose the menu command with that id\n"
      "        menu CAPTION...         choose it by its captions from the menu bar,\n"
      "                                '&' included: menu \"&File\" \"Sa&ve as...\"\n"
      "        key NAME KEY...         send keys to a control: Enter, Esc, Tab, Space,\n"
      "                                Back, Delete, Insert, Home, End, PgUp, PgDn, Up,\n"
      "                                Down, Left, Right, Apps, F1-F12, a letter or digit,\n"
      "                                with Ctrl+, Shift+, Alt+ in front\n"
      "        text NAME TEXT          set the text of an edit or combo\n"
      "        select NAME INDEX       choose entry INDEX of a combo, or tab INDEX of a\n"
      "                                tab control or page control\n"
      "        row GRID N              select row N (display order) of a grid with keys\n"
      "        focus NAME              click into a control to give it the focus\n"
      "        click|dclick|rclick NAME [X Y]\n"
      "                                mouse click at client point X Y (default: the\n"
      "                                middle); on a grid, the point is in its rows\n"
      "        header GRID X [TOX]     click the grid's column header at client x X,\n"
      "                                or drag the column there to x TOX\n"
      "        answer CAPTION BUTTON [TEXT]\n"
      "                                wait for a window with that caption, type TEXT\n"
      "                                into its edit (a file dialog's file name), then\n"
      "                                press BUTTON (its caption, '&' optional, or its id)\n"
      "        expect CAPTION          wait until a window with that caption shows\n"
      "        expect-gone CAPTION     wait until no window with that caption shows\n"
      "        show CAPTION            wait for a window with that caption and write\n"
      "                                its texts on stdout: 'window \"CAPTION\"', then\n"
      "                                '  CLASS: TEXT' for each control with a text\n"
      "        list-row NAME N         write row N of a list view on stdout:\n"
      "                                'row N of \"NAME\": TEXT' with a TAB between\n"
      "                                its columns\n"
      "        save FILE [FORMAT]      File > Save as... into FILE as txt, xls or htm\n"
      "        state NAME              print one line on stdout: NAME, its text in\n"
      "                                quotes, shown|hidden, enabled|disabled,\n"
      "                                checked|unchecked (check boxes, radio and\n"
      "                                tool buttons) and, for a window, its screen\n"
      "                                rectangle as at LEFT,TOP size WIDTHxHEIGHT\n"
      "        place LEFT TOP WIDTH HEIGHT\n"
      "                                move and size the main window, as a drag of\n"
      "                                its frame would\n"
      "        save-selection FILE [FORMAT]\n"
      "                                Edit > Save selection as... the same way\n"
      "        screenshot FILE         save the main window as it is on the screen,\n"
      "                                frame included, as a PNG\n"
      "        close                   WM_CLOSE to the main window, wait for the end\n"
      "        wait-exit               wait for the program to end by itself\n"
      "      After each command the driver waits until the program has handled it.\n"
      "      A window that shows without a command waiting for it (a message box, an\n"
      "      error dialog) ends the run.\n"
      "\n"
      "  morvane-drive monkey --seconds N --seed S [--log FILE] [--exe PATH] [--cwd DIR]\n"
      "  morvane-drive monkey --replay FILE [--log FILE] [--exe PATH] [--cwd DIR]\n"
      "      A long random run: starts the program and for N seconds does what a\n"
      "      user can do, chosen at random from seed S: menu and tool-bar commands\n"
      "      (by the keyboard, as menus open), the browser buttons, element tabs and\n"
      "      combos, the search panel with random, non-ASCII, very long and hostile\n"
      "      texts, header clicks, clicks and keys in the grids (arrows, PgUp, PgDn,\n"
      "      Home, End, Shift and Ctrl selections, F3, F5, Ctrl+F, Ctrl+L, Delete,\n"
      "      Enter), pop-up menus, and every window it opens answered at random (OK,\n"
      "      Cancel, Yes, No, fields filled with random and hostile texts; files\n"
      "      saved only into a folder of its own, under %TEMP%). A window that asks\n"
      "      to restart Windows or to download something is always declined.\n"
      "      Each action goes to the log (--log FILE) before it is done, one line in\n"
      "      the words of a script; --replay FILE does the actions of such a log\n"
      "      again, with the same checks. The run fails (exit 1, the failure and the\n"
      "      last actions on stderr) when the main window does not answer a message\n"
      "      within 2 s, the program ends without being told to, an error window\n"
      "      shows that the action taken does not explain, a browser file of the\n"
      "      user's folders changes or vanishes without an accepted edit, delete or\n"
      "      block of its browser's page, a browser file that morvane-dump read\n"
      "      before no longer reads after, or the program's handle count or working\n"
      "      set keeps growing. Run it on a test prefix: links it opens go to the\n"
      "      prefix's shell associations.\n"
      "\n"
      "Exit codes: 0 done; 1 a step failed; 2 bad arguments or script; 3 the program\n"
      "showed a window nobody asked for (its caption and texts on stderr); 4 no main\n"
      "window within the time limit, or no end within it after WM_CLOSE.\n";
}

}  // namespace morvane::drive
