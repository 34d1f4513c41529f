// morvane-drive: drives the real program from outside for the end-to-end
// tests and by hand. See HelpText() in drive_parse.cpp for the commands.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "drive_parse.h"
#include "drive_session.h"
#include "monkey.h"

namespace morvane::drive {
namespace {

std::string DefaultExe() {
  char path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string self(path, n);
  const size_t slash = self.find_last_of("\\/");
  return (slash == std::string::npos ? std::string() : self.substr(0, slash + 1)) + "Morvane.exe";
}

void RunExport(TSession& S, const TExportRequest& R) {
  const TViewRoute* route = FindView(R.view);
  S.Start({});
  S.Press(route->browserButton);
  // Without the privacy list the Internet Explorer page has no tabs: its
  // first tab's grid is all it shows.
  if (route->tab != 0 || S.HasControl(route->tabs)) S.Select(route->tabs, route->tab);
  if (R.ieFolder >= 0) S.Select("CboIECookieFolders", R.ieFolder);
  if (R.profile >= 0) S.Select("cboMozillaProfiles", R.profile);
  if (R.row >= 0) S.SelectRow("ElTreeHistoryFiles", R.row);
  // The history entries are the active grid while they have the focus.
  if (route->historyRow) S.Click(route->grid, nullptr, 1, false);
  S.CheckNoUnexpectedWindow();
  S.SaveAs(R.outFile, R.format);
  S.Close();
}

void RunStep(TSession& S, const TStep& Step) {
  const auto& a = Step.args;
  const std::string& v = Step.verb;
  int n = 0;
  if (v != "answer" && v != "expect" && v != "expect-gone" && v != "show" && v != "timeout") S.CheckNoUnexpectedWindow();
  if (v == "start") {
    S.Start(a);
  } else if (v == "timeout") {
    ParseIndex(a[0], n);
    S.SetTimeout(n);
  } else if (v == "press") {
    S.Press(a[0]);
  } else if (v == "menu") {
    S.Menu(a);
  } else if (v == "key") {
    S.Keys(a[0], KeysOf(a, 1));
  } else if (v == "text") {
    S.SetText(a[0], a[1]);
  } else if (v == "select") {
    ParseIndex(a[1], n);
    S.Select(a[0], n);
  } else if (v == "row") {
    ParseIndex(a[1], n);
    S.SelectRow(a[0], n);
  } else if (v == "focus") {
    S.Click(a[0], nullptr, 1, false);
  } else if (v == "click" || v == "dclick" || v == "rclick") {
    POINT p{};
    int x = 0, y = 0;
    const bool at = a.size() == 3 && ParseIndex(a[1], x) && ParseIndex(a[2], y);
    p.x = x;
    p.y = y;
    S.Click(a[0], at ? &p : nullptr, v == "dclick" ? 2 : 1, v == "rclick");
  } else if (v == "header") {
    ParseIndex(a[1], n);
    int to = 0;
    const bool drag = a.size() == 3 && ParseIndex(a[2], to);
    S.Header(a[0], n, drag ? &to : nullptr);
  } else if (v == "screenshot") {
    S.Screenshot(a[0]);
  } else if (v == "place") {
    int r[4] = {};
    for (int i = 0; i < 4; ++i) ParseIndex(a[i], r[i]);
    S.Place(r[0], r[1], r[2], r[3]);
  } else if (v == "state") {
    std::printf("%s\n", S.State(a[0]).c_str());
    std::fflush(stdout);
  } else if (v == "answer") {
    S.Answer(a[0], a[1], a.size() == 3 ? &a[2] : nullptr);
  } else if (v == "expect") {
    S.Expect(a[0]);
  } else if (v == "show") {
    const std::string report = S.Show(a[0]);
    std::fwrite(report.data(), 1, report.size(), stdout);
    std::fflush(stdout);
  } else if (v == "list-row") {
    ParseIndex(a[1], n);
    std::string line = "row " + a[1] + " of \"" + a[0] + "\": ";
    const std::vector<std::string> cells = S.ListRow(a[0], n);
    for (size_t i = 0; i < cells.size(); ++i) line += (i ? "\t" : "") + cells[i];
    line += "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
  } else if (v == "expect-gone") {
    S.ExpectGone(a[0]);
  } else if (v == "save" || v == "save-selection") {
    S.SaveAs(a[0], a.size() == 2 ? a[1] : "txt", v == "save-selection");
  } else if (v == "close") {
    S.Close();
  } else if (v == "wait-exit") {
    S.WaitExit();
  }
}

int Main(const std::vector<std::string>& Args) {
  TCommandLine cl;
  std::string error;
  if (!ParseCommandLine(Args, cl, error)) {
    std::fprintf(stderr, "morvane-drive: %s (see --help)\n", error.c_str());
    return kExitUsage;
  }
  if (cl.kind == TCommandLine::TKind::kHelp) {
    std::fputs(HelpText().c_str(), stdout);
    return kExitOk;
  }
  if (cl.kind == TCommandLine::TKind::kMonkey) {
    const std::string exe = cl.exe.empty() ? DefaultExe() : cl.exe;
    return RunMonkey(cl.monkey, exe, cl.cwd.empty() ? FolderOf(exe) : cl.cwd);
  }
  std::vector<TStep> steps;
  if (cl.kind == TCommandLine::TKind::kRun) {
    if (!LoadSteps(cl.script, ParseScript, steps, error)) {
      std::fprintf(stderr, "morvane-drive: %s\n", error.c_str());
      return kExitUsage;
    }
  }
  const std::string exe = cl.exe.empty() ? DefaultExe() : cl.exe;
  TSession session(exe, cl.cwd.empty() ? FolderOf(exe) : cl.cwd);
  const TStep* current = nullptr;
  try {
    if (cl.kind == TCommandLine::TKind::kExport) {
      RunExport(session, cl.exportRequest);
    } else {
      for (const TStep& s : steps) {
        current = &s;
        RunStep(session, s);
      }
      current = nullptr;
      session.CheckNoUnexpectedWindow();
    }
  } catch (const TDriveError& e) {
    if (current)
      std::fprintf(stderr, "morvane-drive: %s line %d (%s): %s\n", cl.script.c_str(), current->line,
                   current->verb.c_str(), e.what());
    else
      std::fprintf(stderr, "morvane-drive: %s\n", e.what());
    return e.code;
  }
  return kExitOk;
}

}  // namespace
}  // namespace morvane::drive

int main(int argc, char** argv) {
  // What `show` and `list-row` write are the program's texts byte for byte:
  // no CR is put before their line breaks.
  _setmode(_fileno(stdout), _O_BINARY);
  std::vector<std::string> args(argv + 1, argv + argc);
  return morvane::drive::Main(args);
}
