// The start-up check for a newer version on the maker's web server.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/core/datetime.h"

namespace morvane {

class TPersitentProperties;

// The maker's web server and the update list on it.
extern const char* const kUpdateHost;
constexpr int kUpdatePort = 80;
extern const char* const kUpdatePath;
// Where the update list is asked for. A network that keeps its own copy of
// the list (and the end-to-end tests, with their scripted local server)
// names it in the environment variable MORVANE_UPDATE_SERVER as
// "host[:port]"; otherwise it is the maker's server on port 80.
struct TUpdateServer {
  std::string Host;
  int Port = kUpdatePort;
};
// The server a MORVANE_UPDATE_SERVER text names; the maker's when the text is
// empty, and nothing to ask (an empty Host) when the text is malformed: a
// mistyped mirror must not send the request somewhere else.
TUpdateServer ParseUpdateServer(const std::string& Text);
TUpdateServer UpdateServer();
// The name the download is saved under, in the current folder.
extern const char* const kUpdateFileName;

// What the update notice shows; the answer is true when the user chose to
// download.
struct TUpdateNotice {
  std::string CurrentVersionText;  // lblCurrentVersion
  std::string NewestVersionText;   // lblNewestVersion
  std::vector<std::string> Notes;  // Memo1
};
using TUpdateNoticeFn = std::function<bool(const TUpdateNotice&)>;

// Shows the notice. The program installs its dialog (TdlgSoftwareUpdates);
// with nothing installed no notice is shown and nothing is downloaded.
TUpdateNoticeFn& UpdateNoticeDialog();

// Fetches the update list, compares its version with the FileVersion of
// ProgramFile (empty: the running program) and, when the list is newer,
// shows the notice; on "Download" saves the new program as "morvane1.exe" in
// the current folder. True when the notice was shown and the user chose to
// download. Never raises.
bool CheckForSoftwareUpdates(const std::string& Host, int Port, const std::string& Path,
                             const std::string& ProgramFile = std::string());

// The schedule kept in the property store: runs the check when it is
// switched on and its frequency has passed since the last one, storing the
// time of this check before the request is made. True when a check ran.
bool CheckForSoftwareUpdatesWhenDue(TPersitentProperties& Props, TDateTime Now,
                                    const std::function<bool()>& Check);

}  // namespace morvane
