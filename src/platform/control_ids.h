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

// TMainFrm's menu commands: 2300-2399, fixed so that automation can choose a
// command by its id (WM_COMMAND to the main window).
constexpr int kMnuFile = 2300;
constexpr int kMnuSaveAs = 2301;
constexpr int kMnuSaveSelectedAs = 2302;
constexpr int kMnuExit = 2303;
// "&Edit" and the grids' pop-up menu: the fourteen items, item i at base + i.
constexpr int kMnuEdit = 2309;
constexpr int kMnuEditItems = 2310;   // 2310-2323
constexpr int kGridMenuItems = 2330;  // 2330-2343
constexpr int kGridItemNew = 0, kGridItemEdit = 1, kGridItemDelete = 2, kGridItemBlock = 4,
              kGridItemSelectAll = 6, kGridItemDeselectAll = 7, kGridItemSaveAs = 9,
              kGridItemSaveSelectedAs = 10, kGridItemCopy = 11, kGridItemViewInBrowser = 13;
constexpr int kMnuView = 2350;
constexpr int kMnuToolbar = 2351;
constexpr int kMnuStatusbar = 2352;
constexpr int kMnuSearch = 2353;
constexpr int kMnuRefresh = 2354;
constexpr int kMnuIECookies = 2355;
constexpr int kMnuMozilla = 2356;
constexpr int kMnuFireFox = 2357;
constexpr int kMnuOpera = 2358;
constexpr int kMnuTools = 2360;
constexpr int kMnuSettings = 2361;
constexpr int kMnuViewLogFile = 2362;
constexpr int kMnuHelp = 2370;
constexpr int kMnuMorvaneHelp = 2371;
constexpr int kMnuAbout = 2372;
constexpr int kMnuRename = 2380;            // pop-up of the cookie-folder combo
constexpr int kMnuViewHistoryObject = 2385;  // pop-up of the history entries
constexpr int kMnuHistorySelectAll = 2386;
constexpr int kMnuHistoryDeselectAll = 2387;

// TQBBinaryFileListView: 1900-1909
constexpr int kBinaryViewListView = 1900;

}  // namespace morvane::ids
