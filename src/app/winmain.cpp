// Program entry: the start-up order of the run-time pieces, then the
// application object and its message loop.
#include <string>
#include <vector>

#include "app/command_line_parser.h"
#include "app/main_form.h"
#include "app/text_domains.h"
#include "app/update_dialog.h"
#include "browserdata/net/qb_net_utils.h"
#include "browserdata/settings/application_defaults.h"
#include "browserdata/sys/tell_user.h"
#include "controls/elhintwnd.h"
#include "platform/core/gettext.h"
#include "platform/ui/application.h"
#include "platform/ui/forms.h"
#include "platform/ui/modal.h"
#include "platform/win32.h"
#include "treeview/eltree_glyphs.h"

using namespace morvane;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Messages are translated from the first one on.
  UseLanguage();
  InitTextDomains();
  // What the stores tell the user appears in a message box; the update
  // notice is the program's dialog.
  SetTellUser([](const std::string& Text) { ShowMessage(Text); });
  UpdateNoticeDialog() = ShowSoftwareUpdateNotice;
  // Network status binding, then the one-time defaults import.
  InitNetUtils();
  InitApplicationDefaults();

  int status = 0;
  {
    Application->Initialize();
    // The trees' drag cursors and button glyphs are there before the first
    // window: a drag object asks for the cursors before any tree exists.
    ElTreeUnitStartup();
    Application->SetTitle(AppName);
    UseElHintWindow(Application);

    if (Application->ParamCount() > 0) {
      std::vector<std::string> args;
      for (int i = 1; i <= Application->ParamCount(); ++i) args.push_back(Application->ParamStr(i));
      TCommandLineParser commandLine(args);  // no command changes what the program does
    }

    TMainFrm* main = nullptr;
    Application->CreateForm(main);
    CreateProgramDialogs(Application);
    Application->Run();
    // The forms go while the program still runs: the main window's
    // destruction is where the settings, column orders and sorts are saved.
    Application->DestroyComponents();
    ElTreeUnitEnd();
  }

  DoneApplicationDefaults();
  DoneNetUtils();
  return status;
}
