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

// TQBBinaryFileListView: 1900-1909
constexpr int kBinaryViewListView = 1900;

}  // namespace morvane::ids
