#include "platform/ui/automation.h"

namespace morvane {

std::string WindowName(HWND Wnd) {
  ATOM a = static_cast<ATOM>(reinterpret_cast<uintptr_t>(GetPropA(Wnd, "Name")));
  if (!a) return std::string();
  char buf[256] = {};
  UINT n = GlobalGetAtomNameA(a, buf, sizeof(buf));
  return std::string(buf, n);
}

namespace {
struct TFind {
  const std::string* name;
  HWND found = nullptr;
  static BOOL CALLBACK Enum(HWND w, LPARAM p) {
    auto* f = reinterpret_cast<TFind*>(p);
    if (WindowName(w) == *f->name) {
      f->found = w;
      return FALSE;
    }
    return TRUE;
  }
};
}  // namespace

HWND FindNamedWindow(HWND Root, const std::string& Name) {
  if (!Root || Name.empty()) return nullptr;
  if (WindowName(Root) == Name) return Root;
  TFind f{&Name};
  EnumChildWindows(Root, &TFind::Enum, reinterpret_cast<LPARAM>(&f));  // all descendants
  return f.found;
}

std::string ToolButtonProperty(const std::string& Name) { return "Button:" + Name; }

std::string MenuPathProperty(const std::vector<std::string>& Captions) {
  std::string p = "Menu:";
  for (size_t i = 0; i < Captions.size(); ++i) {
    if (i) p += '\t';
    p += Captions[i];
  }
  return p;
}

int PublishedCommand(HWND Wnd, const std::string& Property) {
  if (!Wnd || Property.empty()) return 0;
  return static_cast<int>(reinterpret_cast<intptr_t>(GetPropA(Wnd, Property.c_str())));
}

}  // namespace morvane
