// Fixed control ids of every named control of the program's windows, one
// range per window, so that tests and automation tools find a control from
// outside by its id (its component name is in the window property "Name").
#pragma once

namespace morvane::ids {

// TdlgSoftwareUpdates: 1100-1119
constexpr int kUpdateLabel1 = 1100;
constexpr int kUpdateCurrentVersion = 1101;
constexpr int kUpdateNewestVersion = 1102;
constexpr int kUpdateMemo1 = 1103;
constexpr int kUpdateButton1 = 1104;
constexpr int kUpdateButton2 = 1105;

// The program's dialogs, 3000-3399, one range of twenty per window; a
// dialog numbers its controls from the start of its range in layout order.
constexpr int kEditcookieDlg = 3000;
constexpr int kEditBlockedDomainDlg = 3020;
constexpr int kNewBlockedDomain = 3040;
constexpr int kDeleteCookieDialog = 3060;
constexpr int kEditMozillaCookieDlg = 3080;
constexpr int kDeleteMozillacookieDialog = 3100;
constexpr int kEditMozillaBlockedDomainsDialog = 3120;
constexpr int kDeleteHistoryDialog = 3140;
constexpr int kRebootQuery = 3160;
constexpr int kRebotReminderDlg = 3180;
constexpr int kEditCookieFolderDlg = 3200;
constexpr int kErrorDlg = 3220;
constexpr int kViewTextFileDlg = 3240;
constexpr int kAboutBox = 3260;      // 3260-3299
constexpr int kSplash = 3300;
constexpr int kSettingsDlg = 3320;   // 3320-3359
constexpr int kFoundInfoDlg = 3360;

// TMainFrm: 2000-2299, numbered from the start in layout order.
constexpr int kMainFrm = 2000;

// TQBBinaryFileListView: 1900-1909
constexpr int kBinaryViewListView = 1900;

}  // namespace morvane::ids
