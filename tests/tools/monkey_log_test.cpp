// The long random run's command line, its log and its judgements: a log must
// replay exactly what was done, a restart or download must never be
// confirmed, and the checks must tell a fault from what a user's action
// explains.
#include <gtest/gtest.h>

#include <algorithm>

#include "drive_parse.h"
#include "monkey_log.h"

namespace morvane::drive {
namespace {

TEST(MonkeyCommandLine, ReadsARunOrAReplayAndRefusesWhatCannotBeRun) {
  TCommandLine cl;
  std::string error;
  ASSERT_TRUE(ParseCommandLine({"monkey", "--seconds", "60", "--seed", "7", "--log", "C:\\m.log", "--exe",
                                "C:\\p\\Morvane.exe"},
                               cl, error))
      << error;
  EXPECT_EQ(cl.kind, TCommandLine::TKind::kMonkey);
  EXPECT_EQ(cl.monkey.seconds, 60);
  EXPECT_EQ(cl.monkey.seed, 7u);
  EXPECT_EQ(cl.monkey.log, "C:\\m.log");
  EXPECT_EQ(cl.exe, "C:\\p\\Morvane.exe");
  ASSERT_TRUE(ParseCommandLine({"monkey", "--replay", "C:\\m.log"}, cl, error)) << error;
  EXPECT_EQ(cl.monkey.replay, "C:\\m.log");

  struct TCase {
    const char* name;
    std::vector<std::string> args;
    const char* says;
  };
  const TCase cases[] = {
      {"no-seed", {"monkey", "--seconds", "60"}, "--seed"},
      {"no-seconds", {"monkey", "--seed", "1"}, "--seconds"},
      {"zero-seconds", {"monkey", "--seconds", "0", "--seed", "1"}, "above 0"},
      {"negative-seed", {"monkey", "--seconds", "5", "--seed", "-3"}, "from 0"},
      {"positional", {"monkey", "--seconds", "5", "--seed", "1", "extra"}, "options only"},
      {"log-over-replay", {"monkey", "--replay", "C:\\m.log", "--log", "C:\\m.log"}, "overwrite"},
      {"export-option", {"monkey", "--seconds", "5", "--seed", "1", "--row", "2"}, "unknown option"},
      {"monkey-option-on-run", {"run", "C:\\s.txt", "--seed", "1"}, "unknown option"},
  };
  for (const TCase& c : cases) {
    EXPECT_FALSE(ParseCommandLine(c.args, cl, error)) << c.name;
    EXPECT_NE(error.find(c.says), std::string::npos) << c.name << ": " << error;
  }
  EXPECT_NE(HelpText().find("monkey --seconds N --seed S"), std::string::npos);
  EXPECT_NE(HelpText().find("--replay FILE"), std::string::npos);
}

TEST(MonkeyLog, EveryActionReadsBackAsItWasWritten) {
  // Words that need quoting or escaping, and words that must stay as they are.
  const std::vector<std::vector<std::string>> actions = {
      {"text", "EdtItemToSearch", ""},
      {"text", "EdtItemToSearch", "say \"hi\" \\ there"},
      {"text", "EdtItemToSearch", "#not a comment"},
      {"text", "EdtItemToSearch", "\"starts with a quote"},
      {"text", "EdtItemToSearch", "C:\\new\\table.txt"},
      {"text", "EdtItemToSearch", "caf\xe9 \xc3\xa9t\xc3\xa9 %s%n <b>"},
      {"answer", "Save Selection As..", "1", "C:\\users\\root\\Temp\\m 1\\Cookies Export.xls"},
      {"answer", "Edit Cookie tracker", "OK"},
      {"key", "IECookiesElTree", "Shift+PgDn", "Ctrl+Home", "F3"},
      {"popup", "MozillaCookiesElTree", "505", "284", "4"},
      {"menu", "1", "7"},
      {"close-window", "Edit Blocked Domain"},
      {"start"},
  };
  std::string log = "# morvane-drive monkey --seconds 60 --seed 7\n";
  for (const auto& words : actions) log += FormatStep(TStep{0, words[0], {words.begin() + 1, words.end()}}) + "\n";
  log += "# not done: the tool button is disabled\n\n";
  std::vector<TStep> steps;
  std::string error;
  ASSERT_TRUE(ParseMonkeyLog(log, steps, error)) << error << "\n" << log;
  ASSERT_EQ(steps.size(), actions.size());
  for (size_t i = 0; i < actions.size(); ++i) {
    EXPECT_EQ(steps[i].verb, actions[i][0]) << i;
    EXPECT_EQ(steps[i].args, std::vector<std::string>(actions[i].begin() + 1, actions[i].end())) << log;
  }
}

TEST(MonkeyLog, RefusesALineItCouldNotReplay) {
  struct TCase {
    const char* line;
    const char* says;
  };
  const TCase cases[] = {
      {"run script.txt", "unknown action"},
      {"popup MozillaCookiesElTree x 2 3", "GRID X Y DOWNS"},
      {"popup MozillaCookiesElTree 1 2", "words"},
      {"menu 1", "words"},
      {"menu File 2", "MENU and DOWNS"},
      {"htext EdtItemToSearch 4g", "hex"},
      {"htext EdtItemToSearch 414", "hex"},
      {"key IECookiesElTree Hyper+X", "unknown key"},
      {"click IECookiesElTree 10", "words"},
      {"select IETabControl -1", "number"},
      {"text EdtItemToSearch \"open", "not closed"},
  };
  for (const TCase& c : cases) {
    std::vector<TStep> steps;
    std::string error;
    EXPECT_FALSE(ParseMonkeyLog(std::string("start\n") + c.line + "\n", steps, error)) << c.line;
    EXPECT_NE(error.find("line 2"), std::string::npos) << c.line << ": " << error;
    EXPECT_NE(error.find(c.says), std::string::npos) << c.line << ": " << error;
  }
}

// A script and a log are read line by line the same way, but each format
// keeps its own verbs and its own words for a mistake: a replay must not
// accept a script's command, nor a script a log's action, and the message
// must say which of the two it was reading.
TEST(MonkeyLog, ScriptsAndLogsKeepTheirOwnVerbsAndMessages) {
  struct TCase {
    const char* text;
    const char* script;  // what ParseScript says; "" when it reads the text
    const char* log;     // what ParseMonkeyLog says; "" when it reads the text
  };
  const TCase cases[] = {
      {"start\npush IECheck\n", "line 2: unknown command \"push\"", "line 2: unknown action \"push\""},
      {"press\n", "line 1: press takes 1 words, not 0", "line 1: press has 0 words"},
      {"start -x\n", "", "line 1: start has 1 words"},
      {"click Grid 10\n", "line 1: click takes NAME, or NAME X Y", "line 1: click has 2 words"},
      {"click Grid\n", "", "line 1: click has 1 words"},
      {"click Grid x 4\n", "line 1: click wants client coordinates from 0",
       "line 1: click wants client coordinates from 0"},
      {"header Grid 60 70\n", "", "line 1: header has 3 words"},
      {"select IETabControl two\n", "line 1: select wants a number from 0, not \"two\"",
       "line 1: select wants a number from 0"},
      {"popup Grid 1 2 3\n", "line 1: unknown command \"popup\"", ""},
      {"close\n", "", "line 1: unknown action \"close\""},
      {"\n# only a comment\n", "line 0: the script has no command", ""},
      {"start\n\nkey Grid F5 Hyper+F\n", "line 3: unknown key \"Hyper+F\"", "line 3: unknown key \"Hyper+F\""},
      {"start\ntext Edt \"open\n", "line 2: a quote is not closed", "line 2: a quote is not closed"},
  };
  for (const TCase& c : cases) {
    std::vector<TStep> steps;
    std::string error;
    const bool script = ParseScript(c.text, steps, error);
    EXPECT_EQ(script ? std::string() : error, c.script) << c.text;
    error.clear();
    const bool log = ParseMonkeyLog(c.text, steps, error);
    EXPECT_EQ(log ? std::string() : error, c.log) << c.text;
  }
}

TEST(MonkeyLog, TextsWithControlCharactersTravelAsHex) {
  const std::string texts[] = {std::string("nul\0byte", 8), "line1\r\nline2", "\x7f\x01", "\xff\xfe"};
  for (const std::string& t : texts) {
    std::string back;
    ASSERT_TRUE(FromHex(ToHex(t), back));
    EXPECT_EQ(back, t);
  }
  EXPECT_TRUE(NeedsHex(texts[0]));
  EXPECT_TRUE(NeedsHex(texts[1]));
  EXPECT_TRUE(NeedsHex(texts[2]));
  EXPECT_FALSE(NeedsHex(texts[3]));
  EXPECT_FALSE(NeedsHex("caf\xe9 \"quoted\" \\"));
  EXPECT_EQ(ToHex("A\n"), "410a");
}

TEST(MonkeyRandom, ASeedGivesOneRunAndTheTextsReachEveryKind) {
  TRandom a(42), b(42), c(43);
  bool differs = false;
  for (int i = 0; i < 100; ++i) {
    const uint32_t x = a.Next();
    EXPECT_EQ(x, b.Next());
    differs = differs || x != c.Next();
  }
  EXPECT_TRUE(differs);
  // Neighbouring seeds are different runs, not one run shifted by a few draws.
  for (uint64_t seed : {1ull, 11ull, 1211ull}) {
    std::vector<uint32_t> one, next;
    TRandom p(seed), q(seed + 2);
    for (int i = 0; i < 200; ++i) one.push_back(p.Next());
    for (int i = 0; i < 8; ++i) next.push_back(q.Next());
    EXPECT_EQ(std::search(one.begin(), one.end(), next.begin(), next.end()), one.end()) << seed;
  }
  TRandom r(1);
  bool empty = false, longText = false, nonAscii = false, control = false;
  for (int i = 0; i < 400; ++i) {
    const std::string t = RandomText(r);
    empty = empty || t.empty();
    longText = longText || t.size() > 4096;
    for (unsigned char ch : t) {
      nonAscii = nonAscii || ch >= 0x80;
      control = control || ch < 0x20;
    }
  }
  EXPECT_TRUE(empty);
  EXPECT_TRUE(longText);
  EXPECT_TRUE(nonAscii);
  EXPECT_TRUE(control);
  for (int i = 0; i < 50; ++i) {
    const std::string name = RandomFileName(r);
    EXPECT_EQ(name.find_first_of("\\/:*?\"<>|"), std::string::npos) << name;
  }
}

TEST(MonkeyJudgement, RestartsAndDownloadsAreOnlyEverDeclined) {
  struct TCase {
    const char* text;
    bool decline;
  };
  const TCase cases[] = {
      {"Confirmation | All Internet Explorer cookies have been deleted.  | To complete cookies removal you have  to "
       "reboot you computer. | Do you want  to reboot  now?",
       true},
      {"Morvane | 3 history files were deleted.\r\n\r\nDo you want to reboot Windows now?", true},
      {"Software Update | New  version of Morvane is available for download. | &Download updates", true},
      {"Reminder | Restart Windows to finish", true},
      {"Edit Cookie tracker | Name | Value", false},
      {"Delete Intermet Explorer Cookie(s) | Delete selected cookie", false},
  };
  for (const TCase& c : cases) EXPECT_EQ(MustDecline(c.text), c.decline) << c.text;
  for (const char* b : {"Cancel", "&Cancel", "No", "&No", "Close", " Cancel ", "2"}) EXPECT_TRUE(IsDeclining(b)) << b;
  for (const char* b : {"OK", "Yes", "&Yes", "&Download updates", "1", "Save", "Noted"}) EXPECT_FALSE(IsDeclining(b)) << b;
}

TEST(MonkeyJudgement, AnErrorWindowIsAFaultUnlessTheActionExplainsIt) {
  struct TCase {
    const char* name;
    TShownWindow shown;
    bool fault;
  };
  const TCase cases[] = {
      {"error-report", {"ErrorDlg", "Error in 'Save as..'", {"Error occured when trying to save displayed grid"}}, true},
      {"escaped-exception", {"", "Morvane", {"Access violation at address 0000000000401234."}}, true},
      {"error-caption", {"", "Error", {"List index out of bounds (3)."}}, true},
      {"binary-view", {"", "Morvane", {"Error in data - bad offset: iOfset=12"}}, true},
      {"edit-dialog", {"", "Morvane", {"Cannot Display Edit Dialog"}}, true},
      {"invalid-domain",
       {"", "Morvane", {"You have entered invalid domain.\n\r\n\rExamples of valid domains:"}},
       false},
      {"refused-write", {"", "Error", {"Cannot Add to blocked domains list"}}, false},
      {"question", {"", "Confirm", {"Do you want to delete 2 cookies?"}}, false},
      {"information", {"", "Information", {"System Information Is Not Available At This Time"}}, false},
  };
  for (const TCase& c : cases) EXPECT_EQ(!UnexplainedError(c.shown).empty(), c.fault) << c.name;
}

TEST(MonkeyJudgement, FilesBelongToTheirBrowsersPage) {
  struct TCase {
    const char* folder;
    const char* rest;
    const char* page;
  };
  const TCase cases[] = {
      {"cookies", "root@example[1].txt", "ie"},
      {"history", "History.IE5\\index.dat", "ie"},
      {"appdata", "Mozilla\\Firefox\\Profiles\\demo1234.default\\cookies.txt", "firefox"},
      {"appdata", "mozilla\\firefox\\profiles.ini", "firefox"},
      {"appdata", "Mozilla\\Profiles\\default\\k3x9q2ab.slt\\cookperm.txt", "netscape"},
      {"appdata", "Mozilla\\Registry.dat", "netscape"},
      {"appdata", "Opera\\Opera7\\Profile\\cookies4.dat", "opera"},
      {"appdata", "Microsoft\\Windows\\x.txt", ""},
  };
  for (const TCase& c : cases) EXPECT_EQ(PageOfFile(c.folder, c.rest), c.page) << c.rest;
  EXPECT_EQ(PageOfCaption("Morvane 1.9 - IE"), "ie");
  EXPECT_EQ(PageOfCaption("Cookie Desk 1.9 - FireFox"), "firefox");
  EXPECT_EQ(PageOfCaption("Morvane 1.9 - Netscape"), "netscape");
  EXPECT_EQ(PageOfCaption("Morvane 1.9 - Opera"), "opera");
  EXPECT_EQ(PageOfCaption("Morvane"), "");
}

TEST(MonkeyJudgement, ResourcesMayRiseOnceButNotKeepGrowing) {
  auto run = [](int Count, auto Handles, auto MegaBytes) {
    std::vector<TResourceSample> s;
    for (int i = 0; i < Count; ++i)
      s.push_back(TResourceSample{static_cast<uint32_t>(Handles(i)), static_cast<uint64_t>(MegaBytes(i)) << 20});
    return ResourceGrowth(s);
  };
  EXPECT_EQ(run(200, [](int) { return 300; }, [](int) { return 60; }), "");
  // Caches fill in the first actions; one big action spikes and falls back.
  EXPECT_EQ(run(200, [](int i) { return i < 30 ? 200 + i * 5 : 350; }, [](int i) { return i == 120 ? 900 : 60; }), "");
  // Too short a run to say.
  EXPECT_EQ(run(20, [](int i) { return 100 + i * 50; }, [](int) { return 60; }), "");
  const std::string handles = run(200, [](int i) { return 300 + i * 3; }, [](int) { return 60; });
  EXPECT_NE(handles.find("handles grew"), std::string::npos) << handles;
  const std::string memory = run(200, [](int) { return 300; }, [](int i) { return 60 + i * 2; });
  EXPECT_NE(memory.find("working set grew"), std::string::npos) << memory;
}

}  // namespace
}  // namespace morvane::drive
