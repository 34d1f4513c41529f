#include "browserdata/opera/qb_opera_cookie_info.h"

#include <vector>

#include "browserdata/sys/qb_sys_utils.h"
#include "browserdata/sys/tell_user.h"
#include "platform/core/exceptions.h"
#include "platform/core/files.h"
#include "platform/core/inifiles.h"
#include "platform/core/registry.h"
#include "platform/core/streams.h"

namespace morvane {
namespace {

std::string WithBackslash(std::string s) {
  if (s.empty() || s.back() != '\\') s += '\\';
  return s;
}

std::string OperaDirectoryFrom(const std::string& ini) {
  if (!FileExists(ini)) return std::string();
  return TIniFile(ini).ReadString("User Prefs", "Opera Directory", "");
}

}  // namespace

QbOperaCookieInfo::QbOperaCookieInfo() : file_(std::make_unique<TOperaCookieFile>()) {
  std::string path;
  LocateCookieFile(path);
  if (!path.empty() && FileExists(path)) Read(path);
}

QbOperaCookieInfo::QbOperaCookieInfo(const std::string& CookieFile) : file_(std::make_unique<TOperaCookieFile>()) {
  if (!CookieFile.empty()) Read(CookieFile);
}

QbOperaCookieInfo::~QbOperaCookieInfo() = default;

void QbOperaCookieInfo::LocateCookieFile(std::string& Path) {
  Path.clear();
  std::string dir;
  try {
    std::string appData;
    GetSpecialFolderPath(nullptr, csidlAppData, appData);
    dir = OperaDirectoryFrom(appData + "\\Opera\\Opera7\\Profile\\opera6.ini");
  } catch (const std::exception&) {
  }
  if (dir.empty()) {
    try {
      TRegistry reg(KEY_READ);
      reg.SetRootKey(HKEY_LOCAL_MACHINE);
      if (reg.OpenKeyReadOnly("\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Opera.exe") &&
          reg.ValueExists("Path")) {
        dir = OperaDirectoryFrom(WithBackslash(reg.ReadString("Path")) + "opera6.ini");
      }
    } catch (const std::exception&) {
    }
  }
  if (!dir.empty()) Path = WithBackslash(dir) + "cookies4.dat";
}

void QbOperaCookieInfo::Read(const std::string& FileName) {
  fileName_ = FileName;
  // Only read, and shared with the running browser, which may hold it open.
  TFileStream in(FileName, fmOpenRead | fmShareDenyNone);
  std::vector<uint8_t> bytes(static_cast<size_t>(in.Size()));
  if (!bytes.empty()) in.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  TOperaParseResult r = ParseOperaCookies(bytes, *file_);
  if (!r.Ok) throw EReadError(FileName + ": " + r.Error + " (offset " + std::to_string(r.Offset) + ")");
}

TOperaCookieNode* QbOperaCookieInfo::First() {
  current_ = Root();
  return current_;
}

TOperaCookieNode* QbOperaCookieInfo::Next() {
  current_ = TOperaCookieTree::Next(current_);
  return current_;
}

void QbOperaCookieInfo::GetNodeName(std::string& Name) const { Name = TOperaCookieTree::NodeName(current_); }

void QbOperaCookieInfo::DeleteCookie(const std::string& DomainPath, const std::string& CookieName) {
  TOperaCookieTree::TFindResult found = file_->Tree.FindNode(DomainPath);
  if (found.FailedUnder) TellUser("DidNot Found child of :" + found.FailedUnder->Name);
  if (!found.Node) return;
  auto& cookies = found.Node->Cookies;
  for (auto it = cookies.begin(); it != cookies.end(); ++it) {
    if ((*it)->Name == CookieName) {
      cookies.erase(it);
      return;
    }
  }
}

}  // namespace morvane
