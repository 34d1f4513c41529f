// The settings dialog: what its edits make of typed text, what the up-down
// arrows may reach, and what OK, Apply and Cancel change.
// ctest: desktop
// ctest: lock=registry_qbmorvane
#include "app/settings_dlg.h"

#include <gtest/gtest.h>

#include <memory>

#include "dialog_snap.h"
#include "platform/ui/extctrls.h"
#include "platform/ui/modal.h"

namespace morvane {
namespace {

TEST(SettingsDialog, EditsCorrectWhatIsTyped) {
  TSettingsDlg dlg(nullptr);
  struct Case {
    const char* typed;
    const char* frequency;  // text after the frequency edit's correction
    int frequencyPos;
    const char* font;  // text after the font-size edit's correction
    int fontPos;
  };
  const Case cases[] = {
      {"0", "1", 1, "5", 5},      {"", "1", 1, "5", 5},   {"7", "7", 7, "7", 7},
      {"19", "19", 19, "17", 16}, {"4", "4", 4, "5", 5},  {"x", "1", 1, "5", 5},
      {"16", "16", 16, "16", 16}, {"99", "99", 99, "17", 16},
  };
  for (const Case& c : cases) {
    dlg.edtFrequency->SetText("12");
    dlg.edtFrequency->SetText(c.typed);
    EXPECT_EQ(dlg.edtFrequency->Text(), c.frequency) << c.typed;
    EXPECT_EQ(dlg.UpDownFrequency->Position(), c.frequencyPos) << c.typed;
    dlg.edtGridFontSize->SetText("12");
    dlg.edtGridFontSize->SetText(c.typed);
    EXPECT_EQ(dlg.edtGridFontSize->Text(), c.font) << c.typed;
    EXPECT_EQ(dlg.UpDownGridFontSize->Position(), c.fontPos) << c.typed;
  }
}

TEST(SettingsDialog, KeyFilterTakesTwoDigitsAndEditingKeys) {
  TSettingsDlg dlg(nullptr);
  struct Case {
    const char* text;
    bool selectAll;
    char key;
    bool kept;
  };
  const Case cases[] = {
      {"1", false, '5', true},  {"1", false, 'a', false}, {"12", false, '3', false}, {"12", true, '3', true},
      {"12", false, '\b', true}, {"1", false, '0', true}, {"1", false, '-', false},
  };
  for (const Case& c : cases) {
    for (TEdit* edit : {dlg.edtFrequency, dlg.edtGridFontSize}) {
      edit->SetText(c.text);
      edit->SetSelStart(0);
      edit->SetSelLength(c.selectAll ? static_cast<int>(edit->Text().size()) : 0);
      char key = c.key;
      if (edit == dlg.edtFrequency)
        dlg.edtFrequencyKeyPress(edit, key);
      else
        dlg.edtGridFontSizeKeyPress(edit, key);
      EXPECT_EQ(key != 0, c.kept) << edit->Name() << " '" << c.text << "' + " << int(c.key);
    }
  }
}

TEST(SettingsDialog, ArrowsStayWithinTheirRanges) {
  TSettingsDlg dlg(nullptr);
  struct Case {
    bool font;
    short value;
    bool allowed;
  };
  const Case cases[] = {{true, 5, false}, {true, 6, true}, {true, 16, true}, {true, 17, false},
                        {false, 0, false}, {false, 1, true}, {false, 99, true}, {false, 100, false}};
  for (const Case& c : cases) {
    bool allow = true;
    TEdit* edit = c.font ? dlg.edtGridFontSize : dlg.edtFrequency;
    edit->SetText("10");
    if (c.font)
      dlg.UpDownGridFontSizeChangingEx(nullptr, allow, c.value, TUpDownDirection::updUp);
    else
      dlg.UpDownFrequencyChangingEx(nullptr, allow, c.value, TUpDownDirection::updUp);
    EXPECT_EQ(allow, c.allowed) << c.font << " " << c.value;
    EXPECT_EQ(edit->Text(), c.allowed ? std::to_string(c.value) : std::string("10")) << c.font << " " << c.value;
    EXPECT_FALSE(dlg.Updating);
  }
}

TEST(SettingsDialog, OkReadsBackApplyStaysAfterCancel) {
  TSettingsDlg dlg(nullptr);
  TPersitentProperties props;
  TPanel grid1(nullptr), grid2(nullptr);
  grid1.Font()->SetSize(8);
  grid2.Font()->SetSize(8);
  dlg.Grids = {&grid1, &grid2};
  dlg.Properties = &props;

  // Apply, then Cancel: the font stays, the options do not change.
  TSettingsOptions options{true, true, 14};
  {
    TModalResponderScope scope([&](TModalRequest&) -> int {
      EXPECT_TRUE(dlg.chkSaveProfiles->Checked());
      EXPECT_EQ(dlg.edtFrequency->Text(), "14");
      EXPECT_EQ(dlg.edtGridFontSize->Text(), "9");
      dlg.chkSaveProfiles->SetChecked(false);
      dlg.edtFrequency->SetText("30");
      dlg.edtGridFontSize->SetText("12");
      dlg.Button1->Click();
      test::SnapWindow(dlg.Handle(), "settings");
      dlg.CancelBtn->Click();
      return mrKeepOpen;
    });
    EXPECT_FALSE(ExecuteSettings(dlg, options, "9"));
  }
  EXPECT_EQ(grid1.Font()->Size(), 12);
  EXPECT_EQ(grid2.Font()->Size(), 12);
  std::string stored;
  props.GetProperty("FontSize", stored);
  EXPECT_EQ(stored, "12");
  EXPECT_TRUE(options.SaveProfiles);
  EXPECT_EQ(options.CheckForUpdatesFrequency, 14);

  // First start: nothing stored yet shows "5", and OK applies it.
  {
    TModalResponderScope scope([&](TModalRequest&) -> int {
      EXPECT_EQ(dlg.edtGridFontSize->Text(), "5");
      dlg.chkCheckForUpdates->SetChecked(false);
      dlg.edtFrequency->SetText("0");
      dlg.OKBtn->Click();
      return mrKeepOpen;
    });
    EXPECT_TRUE(ExecuteSettings(dlg, options, ""));
  }
  EXPECT_FALSE(options.CheckForUpdates);
  EXPECT_EQ(options.CheckForUpdatesFrequency, 1);
  EXPECT_EQ(grid1.Font()->Size(), 5);
  props.GetProperty("FontSize", stored);
  EXPECT_EQ(stored, "5");
}

}  // namespace
}  // namespace morvane
