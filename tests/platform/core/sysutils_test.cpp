#include "platform/core/sysutils.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "platform/core/datetime.h"
#include "platform/core/exceptions.h"

namespace morvane {
namespace {

// The test prefix runs with code page 1252: these bytes are letters there.
const std::string kLatin = "\xC4pfel \xFC" "ber Stra\xDF" "e \x80 \xE9t\xE9";  // Äpfel über Straße € été
const std::wstring kLatinW = L"\u00C4pfel \u00FCber Stra\u00DFe \u20AC \u00E9t\u00E9";

TEST(CodePage, RoundTripsCharactersOutsideAscii) {
  EXPECT_EQ(AnsiToWide(kLatin), kLatinW);
  EXPECT_EQ(WideToAnsi(kLatinW), kLatin);
  EXPECT_EQ(WideToAnsi(AnsiToWide(kLatin)), kLatin);
  // Every byte the code page defines survives the trip.
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(WideToAnsi(AnsiToWide(all)), all);
  EXPECT_EQ(AnsiToWide("\x80")[0], L'\u20AC');
  EXPECT_EQ(AnsiToWide(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
  // What 1252 cannot hold becomes '?'.
  EXPECT_EQ(WideToAnsi(L"\u4E2D x"), "? x");
  EXPECT_EQ(AnsiToWide(""), L"");
}

TEST(CodePage, CaseAndComparison) {
  EXPECT_EQ(UpperCase("abc\xE9xyz"), "ABC\xE9XYZ");
  EXPECT_EQ(LowerCase("ABC\xC9XYZ"), "abc\xC9xyz");
  EXPECT_EQ(AnsiUpperCase("stra\xDF" "e \xE9t\xE9"), "STRA\xDF" "E \xC9T\xC9");
  EXPECT_EQ(AnsiLowerCase("\xC4PFEL"), "\xE4pfel");
  EXPECT_TRUE(SameText("Cookies.TXT", "cookies.txt"));
  EXPECT_FALSE(SameText("\xE9t\xE9", "\xC9T\xC9"));  // ASCII folding only
  EXPECT_TRUE(AnsiSameText("\xE9t\xE9", "\xC9T\xC9"));
  EXPECT_FALSE(SameText("abc", "abcd"));
  EXPECT_LT(CompareText("apple", "Banana"), 0);
  EXPECT_GT(CompareStr("apple", "Banana"), 0);  // ordinal: 'a' > 'B'
  EXPECT_EQ(CompareText("ABC", "abc"), 0);
  EXPECT_LT(CompareText("ab", "abc"), 0);
  EXPECT_LT(AnsiCompareText("apple", "Banana"), 0);
  EXPECT_LT(AnsiCompareStr("apple", "Banana"), 0);  // the locale orders letters first
  EXPECT_EQ(AnsiCompareText("\xC4pfel", "\xE4PFEL"), 0);
  EXPECT_NE(AnsiCompareStr("\xC4pfel", "\xE4pfel"), 0);
}

TEST(Strings, TrimPosCopyReplace) {
  EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a \x01"), "  a");
  EXPECT_EQ(Trim(" \xA0x\xA0 "), "\xA0x\xA0");  // no-break space is not a blank
  EXPECT_EQ(Pos("lo", "hello lo"), 4);
  EXPECT_EQ(Pos("x", "hello"), 0);
  EXPECT_EQ(Pos("", "hello"), 0);
  struct {
    int64_t index, count;
    const char* expected;
  } copies[] = {{1, 3, "hel"}, {0, 2, "he"}, {-5, 2, "he"}, {4, 100, "lo"},
                {5, 1, "o"},   {6, 1, ""},   {2, 0, ""},    {2, -1, ""}};
  for (const auto& c : copies)
    EXPECT_EQ(Copy("hello", c.index, c.count), c.expected) << c.index << "," << c.count;
  EXPECT_EQ(StringReplace("a.b.c", ".", "::", rfReplaceAll), "a::b::c");
  EXPECT_EQ(StringReplace("a.b.c", ".", "", 0), "ab.c");
  EXPECT_EQ(StringReplace("Abc abC", "bc", "X", rfReplaceAll), "AX abC");
  EXPECT_EQ(StringReplace("Abc abC", "bc", "X", rfReplaceAll | rfIgnoreCase), "AX aX");
  EXPECT_EQ(StringReplace("\xE9t\xE9", "\xC9", "e", rfReplaceAll | rfIgnoreCase), "ete");
  EXPECT_EQ(StringReplace("aaa", "aa", "a", rfReplaceAll), "aa");
  EXPECT_EQ(StringReplace("abc", "", "x", rfReplaceAll), "abc");
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
}

TEST(Integers, StrToIntAcceptance) {
  struct Case {
    const char* text;
    bool ok;
    int64_t value;  // for the 32-bit reading
  };
  const Case cases[] = {
      {"0", true, 0},
      {"42", true, 42},
      {"  42", true, 42},
      {"\t7", true, 7},
      {"+5", true, 5},
      {"-5", true, -5},
      {"007", true, 7},
      {"$1F", true, 31},
      {"$ff", true, 255},
      {"0x10", true, 16},
      {"-$10", true, -16},
      {"$FFFFFFFF", true, -1},
      {"$80000000", true, INT_MIN},
      {"2147483647", true, INT_MAX},
      {"-2147483648", true, INT_MIN},
      {"2147483648", false, 0},
      {"-2147483649", false, 0},
      {"$100000000", false, 0},
      {"", false, 0},
      {"   ", false, 0},
      {"-", false, 0},
      {"$", false, 0},
      {"42 ", false, 0},
      {"4 2", false, 0},
      {"12abc", false, 0},
      {"1.5", false, 0},
      {"- 5", false, 0},
      {"1e3", false, 0},
      {"0x", false, 0},
  };
  for (const auto& c : cases) {
    int v = 12345;
    EXPECT_EQ(TryStrToInt(c.text, v), c.ok) << '"' << c.text << '"';
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
      EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
    } else {
      EXPECT_EQ(StrToIntDef(c.text, -7), -7) << c.text;
      try {
        StrToInt(c.text);
        ADD_FAILURE() << "no error for " << c.text;
      } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'" + std::string(c.text) + "' is not a valid integer value");
      }
    }
  }
}

TEST(Integers, Int64AndText) {
  EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(StrToInt64("4294967296"), 4294967296LL);
  EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_EQ(StrToInt64Def("9223372036854775808", 3), 3);
  EXPECT_THROW(StrToInt64("x"), EConvertError);
  EXPECT_EQ(IntToStr(-12), "-12");
  EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(0x12345, 2), "12345");
  EXPECT_EQ(IntToHex(-1, 1), "FFFFFFFF");
  EXPECT_EQ(IntToHex(int64_t{-1}, 1), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(IntToHex(static_cast<unsigned long>(0xDEADBEEF), 8), "DEADBEEF");  // a DWORD
  EXPECT_EQ(IntToHex(static_cast<uint8_t>(0xA), 2), "0A");
}

TEST(Booleans, TextsBothWays) {
  auto savedTrue = TrueBoolStrs(), savedFalse = FalseBoolStrs();
  EXPECT_EQ(BoolToStr(true), "-1");
  EXPECT_EQ(BoolToStr(false), "0");
  EXPECT_EQ(BoolToStr(true, true), "True");
  struct {
    const char* text;
    bool ok, value;
  } cases[] = {{"-1", true, true}, {"0", true, false},    {"1", true, true},
               {"2", true, true},  {"0.0", true, false},  {"true", true, true},
               {"FALSE", true, false}, {"", false, false}, {"yes", false, false},
               {" -1", true, true}, {"maybe", false, false}};
  for (const auto& c : cases) {
    bool v = !c.value;
    EXPECT_EQ(TryStrToBool(c.text, v), c.ok) << c.text;
    if (c.ok) EXPECT_EQ(v, c.value) << c.text;
  }
  EXPECT_THROW(StrToBool("maybe"), EConvertError);
  // The program sets its own texts; numbers still read.
  TrueBoolStrs() = {"Yes"};
  FalseBoolStrs() = {"No"};
  EXPECT_EQ(BoolToStr(true, true), "Yes");
  EXPECT_EQ(BoolToStr(false, true), "No");
  EXPECT_TRUE(StrToBool("yes"));
  EXPECT_FALSE(StrToBool("No"));
  EXPECT_TRUE(StrToBool("-1"));
  EXPECT_FALSE(StrToBoolDef("True", false));
  TrueBoolStrs().clear();
  EXPECT_EQ(BoolToStr(true, true), "True");
  EXPECT_TRUE(StrToBool("True"));
  TrueBoolStrs() = savedTrue;
  FalseBoolStrs() = savedFalse;
}

TEST(PathTexts, Table) {
  struct Case {
    const char* name;
    const char *path, *dir, *fileName, *ext, *changed;  // changed = ChangeFileExt(name, ".bak")
    const char* fileDir;
  };
  const Case cases[] = {
      {"full", "C:\\Docs\\a.txt", "C:\\Docs\\", "a.txt", ".txt", "C:\\Docs\\a.bak", "C:\\Docs"},
      {"two-dots", "C:\\x\\a.b.txt", "C:\\x\\", "a.b.txt", ".txt", "C:\\x\\a.b.bak", "C:\\x"},
      {"dot-in-folder", "C:\\x.y\\file", "C:\\x.y\\", "file", "", "C:\\x.y\\file.bak", "C:\\x.y"},
      {"root-file", "C:\\a.dat", "C:\\", "a.dat", ".dat", "C:\\a.bak", "C:\\"},
      {"drive-relative", "C:a.dat", "C:", "a.dat", ".dat", "C:a.bak", "C:"},
      {"no-folder", "a.dat", "", "a.dat", ".dat", "a.bak", ""},
      {"trailing-slash", "C:\\x\\", "C:\\x\\", "", "", "C:\\x\\.bak", "C:\\x"},
      {"forward-slash-is-a-letter", "C:\\x/y.z", "C:\\", "x/y.z", ".z", "C:\\x/y.bak", "C:\\"},
      {"unc", "\\\\srv\\share\\f.ini", "\\\\srv\\share\\", "f.ini", ".ini", "\\\\srv\\share\\f.bak",
       "\\\\srv\\share"},
      {"dot-file", "C:\\x\\.hidden", "C:\\x\\", ".hidden", ".hidden", "C:\\x\\.bak", "C:\\x"},
      {"url-like", "http://host/a.html", "http:", "//host/a.html", ".html", "http://host/a.bak",
       "http:"},
      {"empty", "", "", "", "", ".bak", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractFilePath(c.path), c.dir) << c.name;
    EXPECT_EQ(ExtractFileName(c.path), c.fileName) << c.name;
    EXPECT_EQ(ExtractFileExt(c.path), c.ext) << c.name;
    EXPECT_EQ(ChangeFileExt(c.path, ".bak"), c.changed) << c.name;
    EXPECT_EQ(ExtractFileDir(c.path), c.fileDir) << c.name;
  }
  EXPECT_EQ(IncludeTrailingBackslash("C:\\x"), "C:\\x\\");
  EXPECT_EQ(IncludeTrailingBackslash("C:\\x\\"), "C:\\x\\");
  EXPECT_EQ(IncludeTrailingBackslash(""), "\\");
  EXPECT_EQ(ExcludeTrailingBackslash("C:\\x\\"), "C:\\x");
  EXPECT_EQ(ExcludeTrailingBackslash("C:\\x"), "C:\\x");
}

TEST(FormatText, Specifiers) {
  struct Case {
    std::string expected, actual;
  };
  const void* ptr = reinterpret_cast<const void*>(static_cast<uintptr_t>(0xABC));
  const Case cases[] = {
      {"n=42", Format("n=%d", 42)},
      {"-7", Format("%d", -7)},
      {"[   42]", Format("[%5d]", 42)},
      {"[42   ]", Format("[%-5d]", 42)},
      {"[-0042]", Format("[%.4d]", -42)},
      {"[  -0042]", Format("[%7.4d]", -42)},
      {"9223372036854775807", Format("%d", INT64_MAX)},
      {"4294967295", Format("%u", -1)},
      {"FF", Format("%x", 255)},
      {"00FF", Format("%.4x", 255)},
      {"FFFFFFFF", Format("%x", -1)},
      {"FFFFFFFFFFFFFFFF", Format("%x", int64_t{-1})},
      {"80000000", Format("%X", 0x80000000u)},
      {"a b", Format("%s %s", "a", std::string("b"))},
      {"[ab]", Format("[%.2s]", "abcdef")},
      {"[  abc]", Format("[%5s]", "abc")},
      {"x", Format("%s", 'x')},
      {"\xE9t\xE9", Format("%s", std::wstring(L"\u00E9t\u00E9"))},
      {"100%", Format("%d%%", 100)},
      {"b a b", Format("%1:s %0:s %s", "a", "b")},
      {"[  7]", Format("[%*d]", 3, 7)},
      {"[07]", Format("[%.*d]", 2, 7)},
      {"3.14", Format("%f", 3.14159)},
      {"3.142", Format("%.3f", 3.14159)},
      {"-0.50", Format("%f", -0.5)},
      {"1,234,567.89", Format("%n", 1234567.891)},
      {"1.5", Format("%g", 1.5)},
      {"1E20", Format("%g", 1e20)},
      {"1.23450000000000E+003", Format("%e", 1234.5)},
      {"1.2E-005", Format("%.2e", 0.000012)},
      {"0000000000000ABC", Format("%p", ptr)},
      {"List index [5] out of bounds...", Format("List index [%d] out of bounds...", 5)},
  };
  for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected);
}

TEST(FormatText, BadSpecifiersRaise) {
  const char* bad[] = {"%s", "%d", "%f", "%x", "%z", "%", "%5"};
  for (const char* f : bad) {
    EXPECT_THROW(Format(f, f[1] == 's' ? TFormatArg(1) : TFormatArg("t")), EConvertError) << f;
  }
  EXPECT_THROW(Format("%d %d", 1), EConvertError);
  try {
    Format("%d", "x");
    ADD_FAILURE();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Format '%d' invalid or incompatible with argument");
  }
}

TEST(FormatText, FloatToStr) {
  struct {
    double v;
    const char* text;
  } cases[] = {{0, "0"},           {1.5, "1.5"},         {-2, "-2"},
               {0.1, "0.1"},       {1.0 / 3, "0.333333333333333"},
               {123456789012345.0, "123456789012345"}, {1e15, "1E15"},
               {0.0001, "0.0001"}, {0.00001, "1E-5"},     {-1.25e-7, "-1.25E-7"},
               {2.5e20, "2.5E20"}};
  for (const auto& c : cases) EXPECT_EQ(FloatToStr(c.v), c.text) << c.text;
}

}  // namespace
}  // namespace morvane
