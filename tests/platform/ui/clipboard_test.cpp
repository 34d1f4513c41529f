// The clipboard's text, set at once and in batches.
// ctest: clipboard
#include <gtest/gtest.h>

#include "platform/ui/application.h"
#include "platform/ui/clipbrd.h"

namespace morvane::test {
namespace {

TEST(ClipboardText, RoundTripAndBatches) {
  Application->Initialize();
  Clipboard()->SetAsText("header\tline\r\nrow 1 \xe9");
  EXPECT_EQ("header\tline\r\nrow 1 \xe9", Clipboard()->AsText());
  Clipboard()->Open();
  Clipboard()->Clear();
  for (int batch = 0; batch < 3; ++batch) {
    std::string lines;
    for (int i = 0; i < 500; ++i) lines += "line " + std::to_string(batch * 500 + i) + "\r\n";
    Clipboard()->AppendText(lines);
  }
  Clipboard()->Close();
  std::string t = Clipboard()->AsText();
  EXPECT_EQ(0u, t.find("line 0\r\n"));
  EXPECT_NE(std::string::npos, t.find("line 1499\r\n"));
  EXPECT_EQ(1500, std::count(t.begin(), t.end(), '\n'));
  // What another program sees.
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE h = GetClipboardData(CF_TEXT);
  ASSERT_TRUE(h);
  EXPECT_EQ(t, std::string(static_cast<const char*>(GlobalLock(h))));
  GlobalUnlock(h);
  CloseClipboard();
}

}  // namespace
}  // namespace morvane::test
