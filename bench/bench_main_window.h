// The main window shown as the program starts it, for the benchmarks that
// time its pages: no update check against the maker's server, a window of
// 1000 x 720, the program's dialogs made, every message handled. A message
// box or dialog nobody expects is printed and cancelled.
#pragma once

#include <cstdio>

#include "app/main_form.h"
#include "browserdata/settings/persitent_properties.h"
#include "platform/ui/application.h"
#include "platform/ui/modal.h"

namespace morvane::bench {

inline TMainFrm* ShowMainWindow() {
  SetModalResponder([](TModalRequest& r) {
    std::fprintf(stderr, "unexpected %s: %s %s\n", ModalKindName(r.Kind), r.Caption.c_str(), r.Text.c_str());
    return r.Kind == TModalKind::mkPopupMenu ? 0 : IDCANCEL;
  });
  {
    TPersitentProperties props;
    props.SetProperty("checkForUpdates", "0");
    props.Save(TSavedWindowState{true, false, 0, 0, 1000, 720});
  }
  auto* frm = new TMainFrm(Application);
  frm->AfterConstruction();
  CreateProgramDialogs(frm);
  frm->SetBounds(0, 0, 1000, 720);
  frm->Show();
  Application->ProcessMessages();
  return frm;
}

}  // namespace morvane::bench
