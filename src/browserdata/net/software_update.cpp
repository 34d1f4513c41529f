#include "browserdata/net/software_update.h"

#include "browserdata/net/qb_net_utils.h"
#include "browserdata/net/update_list.h"
#include "browserdata/net/version_info.h"
#include "browserdata/settings/persitent_properties.h"
#include "platform/core/files.h"
#include "platform/core/sysutils.h"
#include "platform/win32.h"

namespace morvane {

const char* const kUpdateHost = "http://www.quenbry.com";
const char* const kUpdatePath = "morvane/updates.txt";
const char* const kUpdateFileName = "morvane1.exe";

TUpdateServer ParseUpdateServer(const std::string& Text) {
  if (Text.empty()) return TUpdateServer{kUpdateHost, kUpdatePort};
  TUpdateServer s;
  const size_t colon = Text.rfind(':');
  const std::string host = Text.substr(0, colon);
  if (host.empty() || host.find_first_of(" \t/") != std::string::npos) return TUpdateServer{"", 0};
  if (colon != std::string::npos) {
    const std::string port = Text.substr(colon + 1);
    int value = 0;
    if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos ||
        (value = std::stoi(port)) < 1 || value > 65535)
      return TUpdateServer{"", 0};
    s.Port = value;
  }
  s.Host = host;
  return s;
}

TUpdateServer UpdateServer() {
  char buf[512] = {};
  const DWORD n = GetEnvironmentVariableA("MORVANE_UPDATE_SERVER", buf, sizeof buf);
  return ParseUpdateServer(n < sizeof buf ? std::string(buf, n) : std::string("?"));
}

TUpdateNoticeFn& UpdateNoticeDialog() {
  static TUpdateNoticeFn dialog;
  return dialog;
}

bool CheckForSoftwareUpdates(const std::string& Host, int Port, const std::string& Path,
                             const std::string& ProgramFile) {
  try {
    const auto list = ParseUpdateList(HttpGetLines(Host, Port, Path));
    if (!list) return false;
    const TqbVersionInfo version(ProgramFile.empty() ? ProgramFileName() : ProgramFile);
    const auto newer = IsNewerVersion(version.FileVersion, list->NewestVersion);
    if (!newer || !*newer) return false;

    TUpdateNotice notice;
    notice.CurrentVersionText = "You are using version " + version.FileVersion + " of Morvane.";
    notice.CurrentVersionText += " Version you can download now is " + list->NewestVersion + ".";
    notice.NewestVersionText = "See detailed list of new features below.";
    notice.Notes = list->Notes;
    const TUpdateNoticeFn& dialog = UpdateNoticeDialog();
    if (!dialog || !dialog(notice)) return false;
    try {
      HttpGetToFile(Host, Port, list->DownloadPath, kUpdateFileName);
    } catch (const std::exception&) {
      // The user chose to download; a failed download removes what it wrote.
    }
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool CheckForSoftwareUpdatesWhenDue(TPersitentProperties& Props, TDateTime Now, const std::function<bool()>& Check) {
  std::string text;
  bool enabled = true;
  Props.GetProperty("checkForUpdates", text);
  if (!TryStrToBool(text, enabled)) enabled = true;
  int frequency = 14;
  Props.GetProperty("checkForUpdatesFrequency", text);
  if (!TryStrToInt(text, frequency)) frequency = 14;
  TDateTime last = Now - frequency;
  Props.GetProperty("SoftwareCheckDate", text);
  if (!TryStrToDateTime(text, last)) last = Now - frequency;

  if (!enabled || Now - last < frequency) return false;
  // Stored first, so a failed check is not repeated before its time.
  Props.SetProperty("SoftwareCheckDate", DateTimeToStr(Now));
  if (Check) Check();
  return true;
}

}  // namespace morvane
