// Every dialog's labels show their whole text: each label is as large as
// its text in its own font, and lies inside its parent and the dialog's
// client area, so no caption is cut at an edge.
// ctest: desktop
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "app/about_box.h"
#include "app/delete_cookie_dialog.h"
#include "app/delete_history_dialog.h"
#include "app/delete_mozilla_cookie_dialog.h"
#include "app/edit_blocked_domain_dlg.h"
#include "app/edit_cookie_dlg.h"
#include "app/edit_cookie_folder_dlg.h"
#include "app/edit_mozilla_blocked_domains_dialog.h"
#include "app/edit_mozilla_cookie_dlg.h"
#include "app/error_dlg.h"
#include "app/new_blocked_domain.h"
#include "app/rebot_reminder_dlg.h"
#include "app/reboot_query.h"
#include "app/settings_dlg.h"
#include "app/splash.h"
#include "platform/ui/gdi_handles.h"
#include "platform/ui/stdctrls.h"

namespace morvane {
namespace {

// The rectangle a caption needs in Control's font: on one line, or broken
// into lines at WrapWidth when that is not 0.
RECT TextNeeds(TWinControl* Control, const std::string& Text, int WrapWidth, bool Prefix) {
  TMemoryDC dc(nullptr);
  TSelectObject font(dc.Get(), Control->Font()->Handle());
  RECT r{0, 0, WrapWidth, 0};
  const UINT flags =
      DT_CALCRECT | DT_EXPANDTABS | (WrapWidth ? DT_WORDBREAK : DT_SINGLELINE) | (Prefix ? 0 : DT_NOPREFIX);
  DrawTextA(dc.Get(), Text.c_str(), static_cast<int>(Text.size()), &r, flags);
  return r;
}

// Window rectangle of Wnd in the client coordinates of To.
RECT RectIn(HWND Wnd, HWND To) {
  RECT r{};
  GetWindowRect(Wnd, &r);
  MapWindowPoints(nullptr, To, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void ExpectLabelsFit(TForm* Form) {
  Form->HandleNeeded();
  RECT client{};
  GetClientRect(Form->Handle(), &client);
  int labels = 0;
  for (int i = 0; i < Form->ComponentCount(); ++i) {
    // Labels draw as they are set; static texts break their lines at their width.
    RECT need{};
    TWinControl* label = nullptr;
    std::string text;
    if (auto* l = dynamic_cast<TLabel*>(Form->Components(i))) {
      label = l;
      text = l->Caption();
      need = TextNeeds(l, text, l->WordWrap() ? l->Width() : 0, l->ShowAccelChar());
    } else if (auto* st = dynamic_cast<TStaticText*>(Form->Components(i))) {
      label = st;
      text = st->Caption();
      need = TextNeeds(st, text, st->Width(), false);
    }
    if (!label || text.empty()) continue;
    ++labels;
    SCOPED_TRACE(label->Name() + " \"" + text + "\"");
    label->HandleNeeded();
    EXPECT_LE(need.right - need.left, label->Width());
    EXPECT_LE(need.bottom - need.top, label->Height());
    const RECT inForm = RectIn(label->Handle(), Form->Handle());
    EXPECT_GE(inForm.left, client.left);
    EXPECT_GE(inForm.top, client.top);
    EXPECT_LE(inForm.right, client.right) << "the dialog's client area is " << client.right << " wide";
    EXPECT_LE(inForm.bottom, client.bottom);
    if (TWinControl* parent = label->Parent(); parent && parent != Form) {
      RECT pc{};
      GetClientRect(parent->Handle(), &pc);
      const RECT inParent = RectIn(label->Handle(), parent->Handle());
      EXPECT_LE(inParent.right, pc.right) << "inside " << parent->Name();
      EXPECT_LE(inParent.bottom, pc.bottom) << "inside " << parent->Name();
    }
  }
  EXPECT_GT(labels, 0) << Form->Name() << " has no label to check";
}

TEST(DialogLabels, EveryLabelsTextFitsInsideItsDialog) {
  const std::vector<std::pair<const char*, std::function<TForm*()>>> dialogs = {
      {"about box", [] { return new TAboutBox(nullptr); }},
      {"delete cookie", [] { return new TDeleteCookieDialog(nullptr); }},
      {"delete history", [] { return new TDeleteHistoryDialog(nullptr); }},
      {"delete mozilla cookie", [] { return new TDeleteMozillacookieDialog(nullptr); }},
      {"edit blocked domain", [] { return new TEditBlockedDomainDlg(nullptr); }},
      {"edit cookie", [] { return new TEditcookieDlg(nullptr); }},
      {"edit cookie folder", [] { return new TEditCookieFolderDlg(nullptr); }},
      {"edit mozilla blocked domains", [] { return new TEditMozillaBlockedDomainsDialog(nullptr); }},
      {"edit mozilla cookie", [] { return new TEditMozillaCookieDlg(nullptr); }},
      {"error", [] { return new TErrorDlg(nullptr); }},
      {"new blocked domain", [] { return new TNewBlockedDomain(nullptr); }},
      {"reboot reminder", [] { return new TRebotReminderDlg(nullptr); }},
      {"reboot query", [] { return new TRebootQuery(nullptr); }},
      {"settings", [] { return new TSettingsDlg(nullptr); }},
      {"splash", [] { return new TSplash(nullptr); }},
  };
  for (const auto& [name, make] : dialogs) {
    SCOPED_TRACE(name);
    std::unique_ptr<TForm> form(make());
    ExpectLabelsFit(form.get());
  }
}

}  // namespace
}  // namespace morvane
