// The real program under a minute of random use on a small machine: the demo
// machine's browser files in the user's real folders, with a few files that
// are cut or odd. The driver's monkey does what a user can do and checks
// that the program keeps answering, never crashes or reports an error the
// action does not explain, changes only the files it is told to change,
// leaves every file readable, and does not keep growing.
// MORVANE_MONKEY_SECONDS, MORVANE_MONKEY_SEED and MORVANE_MONKEY_LOG (a
// Windows path to keep the log in) make a longer run of the same test;
// MORVANE_MONKEY_REPLAY (a log's Windows path) does a logged run again.
// ctest: desktop
// ctest: clipboard
// ctest: lock=registry_qbmorvane
// ctest: lock=ie_cookies
// ctest: lock=ie_history
// ctest: lock=p3p
// ctest: lock=pending_renames
// ctest: lock=opera_profile
// ctest: lock=mozilla_profiles
// ctest: timeout=300
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "browserdata/netscape/reg_builder.h"
#include "e2e_support.h"
#include "fixture-gen/index_dat_gen.h"
#include "fixture-gen/opera_gen.h"
#include "platform/win32.h"
#include "support/test_env.h"

#include <shlobj.h>

namespace morvane {
namespace {

using test::ReadFileBytes;
using test::TDriveResult;
using test::TFolderGuard;
using test::TSettingsGuard;
using test::UserFolder;
using test::WriteFileBytes;

// The per-site privacy list as the demo machine has it (always block one
// site, always allow another); the user's list comes back afterwards.
struct TDemoPrivacyList {
  TDemoPrivacyList() {
    test::SetPrivacyEntry("adnet.test", "dword:5");
    test::SetPrivacyEntry("example.com", "dword:1");
  }
  test::TPrivacyListGuard guard;
};

std::string UserName() {
  char name[256] = {};
  DWORD n = sizeof name;
  GetUserNameA(name, &n);
  return name;
}

std::string IeRecord(const std::string& Name, const std::string& Value, const std::string& Where, int Flags,
                     int64_t Expires, int64_t Created) {
  return test::IeCookieRecord(Name, Value, Where, std::to_string(Flags), test::FileTimeOfUnix(Expires),
                              test::FileTimeOfUnix(Created));
}

// The demo machine of scripts/demo-machine.sh, written here byte for byte,
// and the odd files.
void SeedMachine(const TFolderGuard& Cookies, const TFolderGuard& History, const TFolderGuard& Mozilla,
                 const TFolderGuard& Opera) {
  const int64_t now = static_cast<int64_t>(std::time(nullptr)), year = 365 * 86400;
  const std::string user = UserName();
  WriteFileBytes(Cookies.File(user + "@example[1].txt"),
                 IeRecord("SESSIONID", "a81f0c2e", "example.com/", 0, now + year, now - 86400) +
                     IeRecord("prefs", "lang=en&theme=dark", "example.com/account/", 1, now + 2 * year, now - 3600));
  WriteFileBytes(Cookies.File(user + "@ads.adnet[2].txt"),
                 IeRecord("tracker", "7d1c9e52b0", "ads.adnet.test/", 8192, now + 30 * 86400, now - 600));
  WriteFileBytes(Cookies.File(user + "@news.example[1].txt"),
                 IeRecord("visits", "42", "news.example.org/", 0, now + 90 * 86400, now - 7200));
  // Odd ones: a record cut in the middle, and a very long value under an
  // 8-bit name.
  WriteFileBytes(Cookies.File(user + "@cut.example[1].txt"), "half\nvalue\ncut.example/\n0\n2916");
  WriteFileBytes(Cookies.File(user + "@long.example[1].txt"),
                 IeRecord("caf\xe9", std::string(5000, 'v'), "long.example/", 0, now + year, now - 60));

  WriteFileBytes(History.File("History.IE5\\index.dat"), fixturegen::MakeHistoryIndex(1u << 20));

  const std::string firefox = Mozilla.File("Firefox\\Profiles\\demo1234.default\\");
  WriteFileBytes(Mozilla.File("Firefox\\profiles.ini"),
                 "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\n"
                 "Path=Profiles/demo1234.default\r\nDefault=1\r\n");
  const std::string header =
      "# HTTP Cookie File\n# http://www.netscape.com/newsref/std/cookie_spec.html\n# This is a generated file!  Do "
      "not edit.\n\n";
  WriteFileBytes(firefox + "cookies.txt",
                 header + ".example.com\tTRUE\t/\tFALSE\t" + std::to_string(now + year) + "\tSESSIONID\tff93be01\n" +
                     "shop.example.net\tFALSE\t/cart\tTRUE\t" + std::to_string(now + 7 * 86400) + "\tcart\t3-items\n" +
                     ".news.example.org\tTRUE\t/\tFALSE\t" + std::to_string(now + 2 * year) + "\tregion\teu-west\n" +
                     // Odd lines: no tabs, too few fields, an 8-bit and a very long value, a CR LF end.
                     "this line has no tabs\n" + "short.example\tTRUE\t/\n" + ".caf\xe9.example\tTRUE\t/\tFALSE\t" +
                     std::to_string(now + year) + "\tn\xe4me\t" + std::string(3000, 'w') + "\r\n");
  WriteFileBytes(firefox + "hostperm.1",
                 "# Permission File\n# This is a generated file! Do not edit.\n\nhost\tcookie\t2\tads.adnet.test\n"
                 "host\tcookie\t1\texample.com\nhost\tpopup\t2\tpopups.example.net\ngarbage without fields\n");

  const std::string classic = Mozilla.File("Profiles\\default\\k3x9q2ab.slt");
  {
    test::TRegBuilder b;
    const uint32_t root = b.Key("/"), common = b.Key("Common"), profiles = b.Key("profiles");
    b.Child(root, common);
    b.Child(common, profiles);
    b.FirstValue(profiles, b.Value("CurrentProfile", "default"));
    const uint32_t profile = b.Key("default");
    b.FirstValue(profile, b.Value("directory", classic));
    b.Child(profiles, profile);
    WriteFileBytes(Mozilla.File("Registry.dat"), b.Bytes(root));
  }
  WriteFileBytes(classic + "\\cookies.txt",
                 "# HTTP Cookie File\n# http://www.netscape.com/newsref/std/cookie_spec.html\n\n"
                 ".mozilla-demo.example\tTRUE\t/\tFALSE\t" +
                     std::to_string(now + year) + "\tuid\t5512\n");
  WriteFileBytes(classic + "\\cookperm.txt", "ads.adnet.test\t0F\nexample.com\t0T\n");

  const std::string profile = Opera.File("Opera7\\Profile");
  WriteFileBytes(profile + "\\opera6.ini", "[User Prefs]\r\nOpera Directory=" + profile + "\r\n");
  WriteFileBytes(profile + "\\cookies4.dat",
                 fixturegen::WriteOperaCookies(fixturegen::MakeOperaCookies(40), fixturegen::TOperaGenOptions{}));
}

std::string Env(const char* Name, const std::string& Default) {
  const char* v = std::getenv(Name);
  return v && *v ? std::string(v) : Default;
}

// The machine of every run: first-run settings, the privacy list, the
// user's folders emptied and seeded, all given back afterwards.
class TMonkeyMachine : public ::testing::Test {
 protected:
  TMonkeyMachine()
      : appData_(UserFolder(CSIDL_APPDATA)),
        cookies_(UserFolder(CSIDL_COOKIES)),
        history_(UserFolder(CSIDL_HISTORY)),
        mozilla_(appData_ + "\\Mozilla"),
        opera_(appData_ + "\\Opera") {
    SeedMachine(cookies_, history_, mozilla_, opera_);
  }

  // The monkey with Args, its log in Log; the assertions name what failed.
  void Monkey(std::vector<std::string> Args, unsigned Seconds) {
    // A failed test runs once more with the same log: the log of the run
    // before is kept beside it, for its replay.
    if (GetFileAttributesA(log_.c_str()) != INVALID_FILE_ATTRIBUTES)
      MoveFileExA(log_.c_str(), (log_ + ".previous").c_str(), MOVEFILE_REPLACE_EXISTING);
    args_.insert(args_.end(), Args.begin(), Args.end());
    const TDriveResult r = test::RunDrive(args_, (Seconds + 180) * 1000);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("every check held"), std::string::npos) << r.output;
    // The run's figures (actions, handles, working set) stay in the test log.
    const size_t summary = r.output.find("monkey: ");
    if (summary != std::string::npos) std::printf("%s", r.output.substr(summary).c_str());
  }

  TSettingsGuard settings_;
  test::TPendingRenamesGuard renames_;
  TDemoPrivacyList privacy_;
  std::string appData_;
  TFolderGuard cookies_, history_, mozilla_, opera_;
  test::TTempDir dir_;
  const std::string log_ = Env("MORVANE_MONKEY_LOG", dir_.File("monkey.log"));
  std::vector<std::string> args_{"monkey", "--log", log_, "--cwd", dir_.Path()};
};

using MonkeyRun = TMonkeyMachine;

TEST_F(MonkeyRun, AMinuteOfRandomUseKeepsTheProgramWorkingAndLosesNothing) {
  const std::string seconds = Env("MORVANE_MONKEY_SECONDS", "60"), replay = Env("MORVANE_MONKEY_REPLAY", "");
  if (replay.empty())
    Monkey({"--seconds", seconds, "--seed", Env("MORVANE_MONKEY_SEED", "1211")},
           static_cast<unsigned>(std::atoi(seconds.c_str())));
  else
    Monkey({"--replay", replay}, static_cast<unsigned>(std::atoi(seconds.c_str())) * 4);
}

using MonkeyReplay = TMonkeyMachine;

// Logged runs that found a fault, done again.
TEST_F(MonkeyReplay, SavedCookieEditsLeaveTheWindowAnswering) {
  // Each saved edit changed the row one cell at a time, and every cell sized
  // the columns and painted the whole grid again: on a busy machine the
  // window did not answer for more than 2 s after Save.
  Monkey({"--replay", test::FixturePath("monkey\\ie-cookie-edits.log")}, 60);
}

TEST_F(MonkeyReplay, SelectAllOnTheHistoryLeavesTheWindowAnswering) {
  // "Select all" of the history pop-up menu selected the entries one by one,
  // and the status bar showed and repainted every count on the way: the
  // window did not answer for more than 2 s on a long history.
  Monkey({"--replay", test::FixturePath("monkey\\history-select-all.log")}, 60);
}

TEST_F(MonkeyReplay, ANewFirefoxCookieOfVeryLongTextsIsSavedAnswering) {
  // A new cookie whose name, value and domain run to hundreds of letters
  // once kept Save from finishing for more than 20 s.
  Monkey({"--replay", test::FixturePath("monkey\\firefox-long-new-cookie.log")}, 60);
}

TEST_F(MonkeyReplay, OpeningAFirefoxCookieOfAThousandLetterDomainLeavesTheProgramRunning) {
  // The shell was handed the whole domain as a web address and ended the
  // program (seeds 3 and 1211 of the long run).
  Monkey({"--replay", test::FixturePath("monkey\\firefox-open-long-domain.log")}, 60);
}

}  // namespace
}  // namespace morvane
