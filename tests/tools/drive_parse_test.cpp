// The driver's command line and script language: what the end-to-end tests
// write must be read as meant, and a mistake must stop the run with the line
// it is on instead of driving the program somewhere else.
#include <gtest/gtest.h>

#include "drive_parse.h"
#include "support/test_env.h"

namespace morvane::drive {
namespace {

TEST(DriveCommandLine, ReadsExportWithItsOptions) {
  TCommandLine cl;
  std::string error;
  ASSERT_TRUE(ParseCommandLine({"export", "ie-history-entries", "C:\\out\\h.htm", "--format", "htm", "--row", "2",
                                "--exe", "C:\\p\\Morvane.exe", "--cwd", "C:\\p"},
                               cl, error))
      << error;
  EXPECT_EQ(cl.kind, TCommandLine::TKind::kExport);
  EXPECT_EQ(cl.exportRequest.view, "ie-history-entries");
  EXPECT_EQ(cl.exportRequest.outFile, "C:\\out\\h.htm");
  EXPECT_EQ(FilterIndexOf(cl.exportRequest.format), 3);
  EXPECT_EQ(cl.exportRequest.row, 2);
  EXPECT_EQ(cl.exportRequest.ieFolder, -1);
  EXPECT_EQ(cl.exe, "C:\\p\\Morvane.exe");
  EXPECT_EQ(cl.cwd, "C:\\p");

  ASSERT_TRUE(ParseCommandLine({"export", "ie-cookies", "C:\\c.txt"}, cl, error)) << error;
  EXPECT_EQ(cl.exportRequest.format, "txt");
  ASSERT_TRUE(ParseCommandLine({"run", "C:\\s.txt", "--exe", "C:\\M.exe"}, cl, error)) << error;
  EXPECT_EQ(cl.kind, TCommandLine::TKind::kRun);
  EXPECT_EQ(cl.script, "C:\\s.txt");
  ASSERT_TRUE(ParseCommandLine({}, cl, error));
  EXPECT_EQ(cl.kind, TCommandLine::TKind::kHelp);
}

TEST(DriveCommandLine, RefusesWhatWouldDriveTheWrongView) {
  struct TCase {
    const char* name;
    std::vector<std::string> args;
    const char* says;
  };
  const TCase cases[] = {
      {"unknown-view", {"export", "ie-passwords", "C:\\o.txt"}, "unknown view"},
      {"row-on-cookies", {"export", "ie-cookies", "C:\\o.txt", "--row", "1"}, "--row"},
      {"profile-on-ie", {"export", "ie-cookies", "C:\\o.txt", "--profile", "0"}, "--profile"},
      {"folder-on-opera", {"export", "opera-cookies", "C:\\o.txt", "--ie-folder", "0"}, "--ie-folder"},
      {"bad-format", {"export", "ie-cookies", "C:\\o.txt", "--format", "csv"}, "--format"},
      {"negative-index", {"export", "ie-cookies", "C:\\o.txt", "--ie-folder", "-1"}, "from 0"},
      {"missing-value", {"export", "ie-cookies", "C:\\o.txt", "--format"}, "needs a value"},
      {"no-outfile", {"export", "ie-cookies"}, "VIEW and OUTFILE"},
      {"extra-word", {"export", "ie-cookies", "C:\\o.txt", "C:\\p.txt"}, "VIEW and OUTFILE"},
      {"unknown-option", {"run", "C:\\s.txt", "--format", "txt"}, "unknown option"},
      {"unknown-command", {"dump", "x"}, "unknown command"},
  };
  for (const TCase& c : cases) {
    TCommandLine cl;
    std::string error;
    EXPECT_FALSE(ParseCommandLine(c.args, cl, error)) << c.name;
    EXPECT_NE(error.find(c.says), std::string::npos) << c.name << ": " << error;
  }
}

TEST(DriveScript, SplitsWordsWithQuotesEscapesAndComments) {
  struct TCase {
    const char* line;
    std::vector<std::string> words;
  };
  const TCase cases[] = {
      {"press IECheck", {"press", "IECheck"}},
      {"  menu \"&File\"\t\"Sa&ve as...\"  # the export", {"menu", "&File", "Sa&ve as..."}},
      {"text EdtItemToSearch \"say \\\"hi\\\" \\\\ there\"", {"text", "EdtItemToSearch", "say \"hi\" \\ there"}},
      {"text EdtItemToSearch \"\"", {"text", "EdtItemToSearch", ""}},
      {"text A#B \"#not a comment\"", {"text", "A#B", "#not a comment"}},
      {"# only a comment", {}},
      {"press X\r", {"press", "X"}},
  };
  for (const TCase& c : cases) {
    std::vector<std::string> words;
    std::string error;
    ASSERT_TRUE(SplitWords(c.line, words, error)) << c.line << ": " << error;
    EXPECT_EQ(words, c.words) << c.line;
  }
  std::vector<std::string> words;
  std::string error;
  EXPECT_FALSE(SplitWords("text A \"open", words, error));
  EXPECT_FALSE(SplitWords("text A \"x\"y", words, error));
}

TEST(DriveScript, ParsesAScriptAndNamesTheLineOfAMistake) {
  std::vector<TStep> steps;
  std::string error;
  ASSERT_TRUE(ParseScript("start\n"
                          "\n"
                          "# switch to Firefox\n"
                          "press FireFoxCheck\n"
                          "select cboMozillaProfiles 1\n"
                          "key IECookiesElTree Ctrl+F F5 Shift+Tab a\n"
                          "answer \"Save Selection As..\" \"&Save\" C:\\out.txt\n"
                          "save-selection C:\\rows.htm htm\n"
                          "close\n",
                          steps, error))
      << error;
  ASSERT_EQ(steps.size(), 7u);
  EXPECT_EQ(steps[1].line, 4);
  EXPECT_EQ(steps[1].verb, "press");
  EXPECT_EQ(steps[4].args, (std::vector<std::string>{"Save Selection As..", "&Save", "C:\\out.txt"}));
  EXPECT_EQ(steps[5].verb, "save-selection");
  EXPECT_EQ(steps[5].args, (std::vector<std::string>{"C:\\rows.htm", "htm"}));

  struct TCase {
    const char* script;
    const char* says;
  };
  const TCase cases[] = {
      {"start\npush IECheck\n", "line 2: unknown command"},
      {"press\n", "line 1: press takes 1"},
      {"select IETabControl two\n", "line 1: select wants a number"},
      {"key IECookiesElTree Ctrl+\n", "line 1: unknown key"},
      {"key IECookiesElTree Hyper+F\n", "unknown key"},
      {"click Grid 10\n", "NAME X Y"},
      {"timeout 0\n", "timeout"},
      {"save C:\\o.csv csv\n", "format"},
      {"save-selection C:\\o.csv csv\n", "line 1: save-selection's format"},
      {"close now\n", "close takes 0"},
      {"show\n", "line 1: show takes 1"},
      {"list-row ListView first\n", "list-row wants a number"},
      {"\n# nothing\n", "no command"},
  };
  for (const TCase& c : cases) {
    EXPECT_FALSE(ParseScript(c.script, steps, error)) << c.script;
    EXPECT_NE(error.find(c.says), std::string::npos) << c.script << " -> " << error;
  }
}

// A header click or drag, the state of a control and the window's place, with their words checked.
TEST(DriveScript, HeaderDragsStateAndPlaceTakeTheirWords) {
  std::vector<TStep> steps;
  std::string error;
  ASSERT_TRUE(ParseScript("header IECookiesElTree 60\nheader IECookiesElTree 60 260\nstate MainFrm\nplace 0 0 640 480\n", steps, error))
      << error;
  ASSERT_EQ(steps.size(), 4u);
  EXPECT_EQ(steps[1].args, (std::vector<std::string>{"IECookiesElTree", "60", "260"}));
  EXPECT_EQ(steps[2].args, (std::vector<std::string>{"MainFrm"}));
  struct TCase {
    const char* script;
    const char* says;
  };
  const TCase cases[] = {
      {"header IECookiesElTree 60 far\n", "drag to"},
      {"header IECookiesElTree 60 -5\n", "drag to"},
      {"header IECookiesElTree 60 70 80\n", "header takes 2 to 3"},
      {"state\n", "state takes 1"},
      {"state MainFrm sb\n", "state takes 1"},
      {"place 10 20 300\n", "place takes 4"},
      {"screenshot\n", "screenshot takes 1"},
      {"place 10 20 300 -1\n", "LEFT TOP WIDTH HEIGHT"},
  };
  for (const TCase& c : cases) {
    EXPECT_FALSE(ParseScript(c.script, steps, error)) << c.script;
    EXPECT_NE(error.find(c.says), std::string::npos) << c.script << " -> " << error;
  }
}

// `run SCRIPT` and `monkey --replay LOG` read their file the same way: a
// file that is not there, or a mistake in it, is named with its path so the
// user knows which file to mend, and nothing of a bad file is run.
TEST(DriveScript, LoadsAFileOfStepsAndNamesItInAMistake) {
  test::TTempDir dir;
  const std::string good = dir.Write("good.txt", "start\r\npress IECheck\r\nclose\r\n");
  const std::string bad = dir.Write("bad.txt", "start\npush IECheck\n");
  std::vector<TStep> steps;
  std::string error;
  ASSERT_TRUE(LoadSteps(good, ParseScript, steps, error)) << error;
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_EQ(steps[1].args, std::vector<std::string>{"IECheck"});
  EXPECT_FALSE(LoadSteps(bad, ParseScript, steps, error));
  EXPECT_EQ(error, bad + ": line 2: unknown command \"push\"");
  EXPECT_FALSE(LoadSteps(dir.File("none.txt"), ParseScript, steps, error));
  EXPECT_EQ(error, "cannot read " + dir.File("none.txt"));
  EXPECT_TRUE(steps.empty());
}

TEST(DriveScript, KeysCarryTheirModifiersAndTypedCharacter) {
  struct TCase {
    const char* text;
    unsigned vk;
    bool ctrl, shift, alt;
    char ch;
  };
  const TCase cases[] = {
      {"Enter", 0x0D, false, false, false, '\r'}, {"F5", 0x74, false, false, false, 0},
      {"F12", 0x7B, false, false, false, 0},      {"Ctrl+F", 'F', true, false, false, 0},
      {"Shift+Tab", 0x09, false, true, false, '\t'}, {"a", 'A', false, false, false, 'a'},
      {"Shift+a", 'A', false, true, false, 'A'},  {"Ctrl+Shift+Delete", 0x2E, true, true, false, 0},
      {"Alt+x", 'X', false, false, true, 0},      {"down", 0x28, false, false, false, 0},
  };
  for (const TCase& c : cases) {
    TKey k;
    ASSERT_TRUE(ParseKey(c.text, k)) << c.text;
    EXPECT_EQ(k.vk, c.vk) << c.text;
    EXPECT_EQ(k.ctrl, c.ctrl) << c.text;
    EXPECT_EQ(k.shift, c.shift) << c.text;
    EXPECT_EQ(k.alt, c.alt) << c.text;
    EXPECT_EQ(k.ch, c.ch) << c.text;
  }
  TKey k;
  for (const char* bad : {"", "F13", "F0", "Ctrl+", "Enterr", "ab", "+"}) EXPECT_FALSE(ParseKey(bad, k)) << bad;
  // A key step's words after the control's name, in the order they are sent.
  const std::vector<TKey> keys = KeysOf({"IECookiesElTree", "Ctrl+F", "a", "Enter"}, 1);
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[0].vk, unsigned('F'));
  EXPECT_TRUE(keys[0].ctrl);
  EXPECT_EQ(keys[1].ch, 'a');
  EXPECT_EQ(keys[2].vk, 0x0Du);
}

// `show` is how a scenario reads a message box's exact text: the caption
// line, then one line per control with a text, empty ones left out, line
// breaks inside a text kept as they are.
TEST(DriveShow, ReportsTheCaptionAndEveryControlTextInOrder) {
  EXPECT_EQ(WindowTextsReport("Information", {{"Static", ""},
                                              {"Static", "Deleted:\r\n\r\nC:\\a\\index.dat"},
                                              {"Button", "&Yes"},
                                              {"Button", "&No"}}),
            "window \"Information\"\n"
            "  Static: Deleted:\r\n\r\nC:\\a\\index.dat\n"
            "  Button: &Yes\n"
            "  Button: &No\n");
  EXPECT_EQ(WindowTextsReport("Empty", {}), "window \"Empty\"\n");
}

}  // namespace
}  // namespace morvane::drive
