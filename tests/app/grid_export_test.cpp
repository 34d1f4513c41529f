// The bytes of Save as and Copy, and the filter's cell test, without a
// window: what users open in a spreadsheet or a browser, and which rows the
// search panel keeps.
#include "app/grid_export.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/cell_filter.h"
#include "platform/win32.h"

namespace morvane {
namespace {

const std::vector<std::string> kCaptions = {"Row Number", "Cookie Name", "Cookie Value"};

TEST(GridExport, TabSeparatedNumbersRowsAndEndsEveryLine) {
  struct Case {
    const char* name;
    std::vector<std::string_view> rows;
    std::string expected;
  };
  const Case cases[] = {
      {"three rows renumbered",
       {"1\ta\tx", "7\tb\ty", "1\tc\t"},
       "Row Number\tCookie Name\tCookie Value\r\n1\ta\tx\r\n2\tb\ty\r\n3\tc\t\r\n"},
      {"a line without TAB stays as it is", {"lonely", "1\tb"}, "Row Number\tCookie Name\tCookie Value\r\nlonely\r\n2\tb\r\n"},
      {"no rows", {}, "Row Number\tCookie Name\tCookie Value\r\n"},
      {"cells are not escaped in text", {"1\t<&\"\xE9"}, "Row Number\tCookie Name\tCookie Value\r\n1\t<&\"\xE9\r\n"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(GridExportText(TGridExportFormat::gefTabSeparated, kCaptions, c.rows), c.expected) << c.name;
}

TEST(GridExport, HtmlIsOneTableWithEscapedTexts) {
  EXPECT_EQ(GridExportText(TGridExportFormat::gefHtml, kCaptions, {}),
            "<table border=1><thead>\r\n"
            "<th>Row Number</th><th>Cookie Name</th><th>Cookie Value</th>\r\n"
            "</thead><tbody>\r\n"
            "</tbody></table>\r\n");
  EXPECT_EQ(GridExportText(TGridExportFormat::gefHtml, {"A&B", "<x>"},
                           {"9\t<script>\ta&b \"q\" \xE9", "1\t\t", "nofield"}),
            "<table border=1><thead>\r\n"
            "<th>A&amp;B</th><th>&lt;x&gt;</th>\r\n"
            "</thead><tbody>\r\n"
            "<tr>\r\n<td>1</td><td>&lt;script&gt;</td><td>a&amp;b &quot;q&quot; \xE9</td>\r\n</tr>\r\n"
            "<tr>\r\n<td>2</td><td></td><td></td>\r\n</tr>\r\n"
            "<tr>\r\n<td>3</td>\r\n</tr>\r\n"
            "</tbody></table>\r\n");
}

TEST(GridExport, FilterIndexPicksTheFormat) {
  EXPECT_EQ(GridExportFormatOf(1), TGridExportFormat::gefTabSeparated);
  EXPECT_EQ(GridExportFormatOf(2), TGridExportFormat::gefTabSeparated);
  EXPECT_EQ(GridExportFormatOf(3), TGridExportFormat::gefHtml);
  for (int i : {0, 4, -1}) {
    EXPECT_EQ(GridExportFormatOf(i), TGridExportFormat::gefNone);
    EXPECT_EQ(GridExportText(GridExportFormatOf(i), kCaptions, {"1\ta"}), "");
  }
}

TEST(GridExport, ClipboardTextHasNoLineEndAfterTheLast) {
  EXPECT_EQ(GridClipboardText(kCaptions, {}), "Row Number\tCookie Name\tCookie Value");
  EXPECT_EQ(GridClipboardText({"A", "B"}, {"1\tx", "2\ty"}), "A\tB\r\n1\tx\r\n2\ty");
}

// The fast matcher against the rule written out, on cells with ASCII and
// other letters, characters the locale may treat specially and texts longer
// than the cell.
TEST(CellFilter, MatcherAgreesWithThePositionRule) {
  const std::wstring cells[] = {L"",
                                L"example.com",
                                L"EXAMPLE.COM/path",
                                L"sessionid=AbC",
                                L"\u00e9t\u00e9 caf\u00e9",
                                L"\u00c9T\u00c9",
                                L"stra\u00dfe",
                                L"co-op co'op",
                                L"a\u00adb",
                                L"e\u0301x",
                                L"\uff21\uff22",
                                L"<&\">"};
  const std::wstring texts[] = {L"",     L"a",       L"A",      L"COM",  L"com/p", L"example.com/path/longer",
                                L"\u00e9", L"\u00c9", L"STRA\u00dfE", L"coop", L"ab",    L"\u00e9x",
                                L"AB",   L"&\"",     L"-",      L"abc"};
  for (bool caseSensitive : {false, true})
    for (const std::wstring& t : texts) {
      TCellMatcher m(t, caseSensitive);
      for (const std::wstring& c : cells)
        EXPECT_EQ(m.Matches(c), CellMatchesAtSomePosition(c, t, caseSensitive))
            << "cell " << testing::PrintToString(c) << " text " << testing::PrintToString(t) << " case "
            << caseSensitive;
    }
}

TEST(CellFilter, EdgeCasesOfTheSearch) {
  struct Case {
    const wchar_t* cell;
    const wchar_t* text;
    bool caseSensitive;
    bool matches;
  };
  const Case cases[] = {
      {L"www.example.com", L"EXAMPLE", false, true},
      {L"www.example.com", L"EXAMPLE", true, false},
      {L"www.example.com", L"example", true, true},
      {L"abc", L"abcd", false, false},
      {L"\u00e9t\u00e9", L"\u00c9T\u00c9", false, false},  // only a to z change case
      {L"caf\u00e9", L"CAF\u00e9", false, true},
      {L"anything", L"", false, true},
  };
  for (const Case& c : cases) {
    TCellMatcher m(c.text, c.caseSensitive);
    EXPECT_EQ(m.Matches(c.cell), c.matches) << testing::PrintToString(std::wstring(c.cell)) << " "
                                            << testing::PrintToString(std::wstring(c.text));
  }
}

// The case-sensitive shortcut stands on this: between printable ASCII
// characters the locale's equality is plain equality, and none of them is
// ignored.
TEST(CellFilter, LocaleEqualityOfPrintableAsciiIsPlainEquality) {
  for (wchar_t a = 0x20; a <= 0x7E; ++a) {
    const wchar_t s[2] = {L'x', a};
    EXPECT_NE(CompareStringW(LOCALE_USER_DEFAULT, 0, s, 2, L"x", 1), CSTR_EQUAL) << int(a);
    for (wchar_t b = 0x20; b <= 0x7E; ++b)
      if (a != b) ASSERT_NE(CompareStringW(LOCALE_USER_DEFAULT, 0, &a, 1, &b, 1), CSTR_EQUAL) << int(a) << " " << int(b);
  }
}

}  // namespace
}  // namespace morvane
