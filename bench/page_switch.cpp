// A browser switch as the user makes it, on the demo machine (page_switch.sh
// seeds it): from the button's command to the new page's grid painted. The
// switches go round Internet Explorer, Firefox and Opera, each page loaded
// before; each switch reloads its page as the program does.
#include <cstdio>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "bench_main_window.h"
#include "bench_timing.h"
#include "platform/ui/application.h"
#include "platform/ui/modal.h"
#include "platform/win32.h"

using namespace morvane;

namespace {

struct TStop {
  const char* Name;
  TToolButton* Button;
  TElTreeWindow* Grid;
};

// The grid is on the screen and has nothing left to paint.
bool Painted(TElTreeWindow* Grid) {
  if (!Grid->View()->HandleAllocated()) return false;
  HWND view = Grid->View()->Handle();
  return IsWindowVisible(view) && !GetUpdateRect(view, nullptr, FALSE);
}

}  // namespace

int main() {
  TMainFrm* frm = bench::ShowMainWindow();

  const std::vector<TStop> stops = {{"Internet Explorer", frm->IECheck, frm->IECookiesElTree},
                                    {"Firefox", frm->FireFoxCheck, frm->MozillaCookiesElTree},
                                    {"Opera", frm->OperaCheck, frm->OperaCookiesElTree}};
  // Every page loaded once, with rows: a switch to an empty page paints
  // nothing worth measuring.
  for (const TStop& s : stops) {
    frm->BrowserCheckClick(s.Button);
    Application->ProcessMessages();
    if (s.Grid->Tree().Items().Count() == 0 || !Painted(s.Grid)) {
      std::fprintf(stderr, "bench page_switch: the %s page shows no rows\n", s.Name);
      return 1;
    }
  }

  size_t next = 0;
  bool allPainted = true;
  std::printf("bench page_switch %.1f ms\n", bench::Time(30, [&] {}, [&] {
                const TStop& s = stops[next];
                next = (next + 1) % stops.size();
                frm->BrowserCheckClick(s.Button);
                // The switch posts and invalidates: served and painted here,
                // as the message loop would before the user sees the page.
                Application->ProcessMessages();
                RedrawWindow(frm->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
                allPainted = allPainted && Painted(s.Grid);
              }));
  if (!allPainted) std::fprintf(stderr, "bench page_switch: a switched page was not painted\n");

  delete frm;
  return allPainted ? 0 : 1;
}
