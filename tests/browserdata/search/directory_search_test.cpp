// Real search threads over a tree of temporary folders, with the reports
// served by a message loop on the test's main thread. Every wait has a
// time-out, so a lost report fails the test instead of hanging it.
// ctest: timeout=240
#include "browserdata/search/directory_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/core/files.h"
#include "support/test_env.h"

namespace morvane {
namespace {

// Runs the message loop and the queued reports until Done or the time-out.
bool Pump(const std::function<bool()>& Done, int TimeoutMs = 20000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
  while (!Done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    CheckSynchronize(10);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return true;
}

void Sleep(int ms) { ::Sleep(static_cast<DWORD>(ms)); }

// What the handlers saw, in order; every report must arrive on this thread.
struct TLog {
  std::vector<std::string> Events;
  int Done = 0;
  int Errors = 0;
  bool OffThread = false;
  std::function<void(const std::string&)> FoundHook;

  void Note(const std::string& e) {
    if (!IsMainThread()) OffThread = true;
    Events.push_back(e);
  }
  TSearchFoundEvent FoundEvent() {
    return [this](const std::string& f, const WIN32_FIND_DATAA* fd) {
      Note("found " + f);
      if (!fd || f.size() < std::string(fd->cFileName).size()) OffThread = true;
      if (FoundHook) FoundHook(f);
    };
  }
  TSearchProgressEvent Progress() {
    return [this](const std::string& f) { Note("progress " + f); };
  }
  TSearchErrorEvent Error() {
    return [this](const std::string& p, const std::string& text) {
      ++Errors;
      Note("error " + p);
    };
  }
  TSearchDoneEvent DoneEvent() {
    return [this] {
      ++Done;
      Note("done");
    };
  }
  std::vector<std::string> Found(const std::string& prefix = "found ") const {
    std::vector<std::string> out;
    for (const auto& e : Events)
      if (e.rfind(prefix, 0) == 0) out.push_back(e.substr(prefix.size()));
    std::sort(out.begin(), out.end());
    return out;
  }
  size_t IndexOf(const std::string& e) const {
    return static_cast<size_t>(std::find(Events.begin(), Events.end(), e) - Events.begin());
  }
};

// root\index.dat, root\a\index.dat (hidden, system), root\a\b\index.dat,
// root\.dot\index.dat (never entered), root\c\other.txt, and a folder
// root\c\index.dat.
struct TTree {
  test::TTempDir dir;
  std::string root = dir.Path() + "\\";
  TTree() {
    for (const char* d : {"a\\b", ".dot", "c\\index.dat"}) ForceDirectories(dir.File(d));
    for (const char* f : {"index.dat", "a\\index.dat", "a\\b\\index.dat", ".dot\\index.dat", "c\\other.txt"})
      dir.Write(f, "x");
    SetFileAttributesA(dir.File("a\\index.dat").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  }
};

TEST(DirectorySearch, FindsFilesFolderBeforeSubfolders) {
  TTree t;
  TLog log;
  auto s = StartDirectorySearch(t.root, "index.dat", 0x27, log.DoneEvent(), log.Error(), log.Progress(), log.FoundEvent());
  ASSERT_TRUE(Pump([&] { return log.Done > 0; }));
  s->WaitFor();
  EXPECT_FALSE(log.OffThread);
  EXPECT_EQ(log.Found(), (std::vector<std::string>{t.root + "a\\b\\index.dat", t.root + "a\\index.dat",
                                                   t.root + "index.dat"}));
  EXPECT_LT(log.IndexOf("found " + t.root + "index.dat"), log.IndexOf("found " + t.root + "a\\index.dat"));
  EXPECT_LT(log.IndexOf("found " + t.root + "a\\index.dat"), log.IndexOf("found " + t.root + "a\\b\\index.dat"));
  // The first folder is always reported; the other four come within a
  // second of it and are held back (a slow machine may let one through).
  EXPECT_EQ(log.Events.front(), "progress " + t.root);
  EXPECT_LE(log.Found("progress ").size(), 2u);
  EXPECT_EQ(log.Events.back(), "done");
  EXPECT_EQ(log.Done, 1);
  EXPECT_EQ(log.Errors, 0);
}

TEST(DirectorySearch, EmptyFolderGivesOneProgressAndDone) {
  test::TTempDir dir;
  TLog log;
  auto s = StartDirectorySearch(dir.Path() + "\\", "index.dat", 0x27, log.DoneEvent(), log.Error(), log.Progress(),
                                log.FoundEvent());
  ASSERT_TRUE(Pump([&] { return log.Done > 0; }));
  s->WaitFor();
  EXPECT_EQ(log.Events, (std::vector<std::string>{"progress " + dir.Path() + "\\", "done"}));
}

TEST(DirectorySearch, HandlerFailureEndsTheWalkWithErrorThenDone) {
  TTree t;
  TLog log;
  log.FoundHook = [](const std::string&) { throw std::runtime_error("handler failed"); };
  auto s = StartDirectorySearch(t.root, "index.dat", 0x27, log.DoneEvent(), log.Error(), log.Progress(), log.FoundEvent());
  ASSERT_TRUE(Pump([&] { return log.Done > 0; }));
  s->WaitFor();
  ASSERT_EQ(log.Found().size(), 1u);
  EXPECT_EQ(log.Errors, 1);
  ASSERT_GE(log.Events.size(), 2u);
  EXPECT_EQ(log.Events[log.Events.size() - 2], "error " + t.root);
  EXPECT_EQ(log.Events.back(), "done");
}

TEST(DirectorySearch, TerminateStillReportsDone) {
  // A wide tree keeps the walk busy long enough to be stopped in the middle.
  test::TTempDir dir;
  for (int i = 0; i < 300; ++i) dir.Write("f" + std::to_string(i) + ".txt", "x");
  TLog log;
  auto s = StartDirectorySearch(dir.Path() + "\\", "*.txt", 0x27, log.DoneEvent(), log.Error(), log.Progress(),
                                log.FoundEvent());
  ASSERT_TRUE(Pump([&] { return log.Found().size() >= 5; }));
  s->Terminate();
  s->WaitFor();  // serves the reports still pending
  EXPECT_EQ(log.Done, 1);
  EXPECT_LT(log.Found().size(), 300u);
}

std::unique_ptr<TStringList> Roots(const std::vector<std::string>& roots) {
  auto l = std::make_unique<TStringList>();
  for (const auto& r : roots) l->Add(r);
  return l;
}

TEST(DirectoryThreadPool, AtMostFourAtATimeInRootOrder) {
  std::vector<std::unique_ptr<test::TTempDir>> dirs;
  std::vector<std::string> roots;
  for (int i = 0; i < 5; ++i) {
    dirs.push_back(std::make_unique<test::TTempDir>());
    dirs.back()->Write("index.dat", "x");
    roots.push_back(dirs.back()->Path() + "\\");
  }
  TLog log;
  auto pool = StartMultiDirectorySearch(*Roots(roots), "index.dat", 0x27, log.DoneEvent(), log.Error(),
                                        log.Progress(), log.FoundEvent());
  // Unserved, every started child waits in its first report and none ends:
  // four start, and no fifth comes while they wait.
  auto waitUnserved = [](int ms, const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
      if (std::chrono::steady_clock::now() > end) return false;
      Sleep(5);
    }
    return true;
  };
  ASSERT_TRUE(waitUnserved(20000, [&] { return pool->RunningCount() >= 4; }));
  waitUnserved(300, [&] { return pool->RunningCount() > 4; });
  EXPECT_EQ(pool->RunningCount(), 4);
  EXPECT_TRUE(log.Events.empty());
  ASSERT_TRUE(Pump([&] { return log.Done > 0; }));
  pool->WaitFor();
  EXPECT_FALSE(log.OffThread);
  EXPECT_EQ(log.Found("progress ").size(), 5u);
  EXPECT_EQ(log.Found().size(), 5u);
  // The fifth root starts only after an earlier child has reported its file
  // and ended.
  const size_t fifth = log.IndexOf("progress " + roots[4]);
  size_t firstFound = log.Events.size();
  for (int i = 0; i < 4; ++i) firstFound = std::min(firstFound, log.IndexOf("found " + roots[i] + "index.dat"));
  EXPECT_LT(firstFound, fifth);
  EXPECT_EQ(log.Events.back(), "done");
  EXPECT_EQ(log.Done, 1);
}

TEST(DirectoryThreadPool, EmptyListAndDuplicateRoots) {
  {
    TLog log;
    auto pool = StartMultiDirectorySearch(*Roots({}), "index.dat", 0x27, log.DoneEvent(), log.Error(), log.Progress(),
                                          log.FoundEvent());
    ASSERT_TRUE(Pump([&] { return log.Done > 0; }, 5000));
    pool->WaitFor();
    EXPECT_EQ(log.Events, std::vector<std::string>{"done"});
  }
  TTree t;
  TLog log;
  auto pool = StartMultiDirectorySearch(*Roots({t.root, t.root}), "index.dat", 0x27, log.DoneEvent(), log.Error(),
                                        log.Progress(), log.FoundEvent());
  ASSERT_TRUE(Pump([&] { return log.Done > 0; }));
  pool->WaitFor();
  EXPECT_EQ(log.Found().size(), 6u);  // both searched in full
  EXPECT_EQ(log.Done, 1);
}

TEST(DirectoryThreadPool, OneFailingChildOthersGoOn) {
  std::vector<std::unique_ptr<TTree>> trees;
  std::vector<std::string> roots;
  for (int i = 0; i < 3; ++i) {
    trees.push_back(std::make_unique<TTree>());
    roots.push_back(trees.back()->root);
  }
  TLog log;
  const std::string bad = roots[1] + "index.dat";
  log.FoundHook = [&](const std::string& f) {
    if (f == bad) throw std::runtime_error("handler failed");
  };
  auto pool = StartMultiDirectorySearch(*Roots(roots), "index.dat", 0x27, log.DoneEvent(), log.Error(),
                                        log.Progress(), log.FoundEvent());
  ASSERT_TRUE(Pump([&] { return log.Done > 0; }));
  pool->WaitFor();
  EXPECT_EQ(log.Errors, 1);
  EXPECT_EQ(log.Found().size(), 7u);  // three from each good tree, one from the failing one
  EXPECT_EQ(log.Events.back(), "done");
  EXPECT_EQ(log.Done, 1);
}

TEST(DirectoryThreadPool, TerminateStopsChildrenAndSkipsTheRest) {
  std::vector<std::unique_ptr<test::TTempDir>> dirs;
  std::vector<std::string> roots;
  for (int i = 0; i < 6; ++i) {
    dirs.push_back(std::make_unique<test::TTempDir>());
    for (int k = 0; k < 200; ++k) dirs.back()->Write("f" + std::to_string(k) + ".txt", "x");
    roots.push_back(dirs.back()->Path() + "\\");
  }
  TLog log;
  auto pool = StartMultiDirectorySearch(*Roots(roots), "*.txt", 0x27, log.DoneEvent(), log.Error(), log.Progress(),
                                        log.FoundEvent());
  ASSERT_TRUE(Pump([&] { return log.Found().size() >= 8; }));
  pool->Terminate();
  pool->WaitFor();
  const size_t after = log.Events.size();
  EXPECT_EQ(log.Done, 1);
  EXPECT_EQ(log.Events.back(), "done");
  for (int i = 4; i < 6; ++i) EXPECT_EQ(log.IndexOf("progress " + roots[i]), log.Events.size()) << roots[i];
  pool.reset();
  CheckSynchronize(50);
  EXPECT_EQ(log.Events.size(), after);
}

// Children that are finishing while the stop arrives: the pool must neither
// wait on nor free a child twice, and the end is reported exactly once.
TEST(DirectoryThreadPool, StopWhileChildrenFinishStress) {
  std::vector<std::unique_ptr<test::TTempDir>> dirs;
  std::vector<std::string> roots;
  for (int i = 0; i < 6; ++i) {
    dirs.push_back(std::make_unique<test::TTempDir>());
    dirs.back()->Write("index.dat", "x");
    roots.push_back(dirs.back()->Path() + "\\");
  }
  auto list = Roots(roots);
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE(round);
    TLog log;
    auto pool = StartMultiDirectorySearch(*list, "index.dat", 0x27, log.DoneEvent(), log.Error(), log.Progress(),
                                          log.FoundEvent());
    const int served = round % 8;
    Pump([&] { return static_cast<int>(log.Events.size()) >= served; }, 2000);
    if (round % 3 == 0) Sleep(round % 5);
    pool->Terminate();
    pool->WaitFor();
    EXPECT_EQ(log.Done, 1);
    EXPECT_EQ(log.Errors, 0);
    pool.reset();
  }
  for (int round = 0; round < 40; ++round) {
    TLog log;
    auto s = StartDirectorySearch(roots[0], "index.dat", 0x27, log.DoneEvent(), log.Error(), log.Progress(),
                                  log.FoundEvent());
    Pump([&] { return static_cast<int>(log.Events.size()) >= round % 3; }, 2000);
    s->Terminate();
    s->WaitFor();
    EXPECT_EQ(log.Done, 1);
  }
}

}  // namespace
}  // namespace morvane
