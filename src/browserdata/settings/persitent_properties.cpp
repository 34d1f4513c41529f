#include "browserdata/settings/persitent_properties.h"

#include <algorithm>
#include <memory>

#include "platform/core/exceptions.h"
#include "platform/core/registry.h"
#include "platform/core/sysutils.h"
#include "platform/win32.h"

namespace morvane {
namespace {

const std::string kProps = TPersitentProperties::kPropsKey;
const std::string kUserDefined = kProps + "UserDefined\\";
const std::string kUserDefinedArrays = kProps + "UserDefinedArrays\\";
const std::string kTerminator = TPersitentProperties::kArrayTerminator;

void PrepareList(TStringList& list) {
  list.SetSorted(true);
  list.SetDuplicates(dupError);
}

// The elements of a stored array: the text before each terminator; text
// after the last one is dropped.
void SplitArray(const std::string& stored, TStringList& elements) {
  size_t start = 0;
  while (true) {
    const size_t hit = stored.find(kTerminator, start);
    if (hit == std::string::npos) break;
    elements.Add(stored.substr(start, hit - start));
    start = hit + kTerminator.size();
  }
}


}  // namespace

TPersitentProperties::TPersitentProperties(int ScreenWidth, int ScreenHeight) {
  PrepareList(UserDefined);
  PrepareList(UserDefinedArrays);
  if (ScreenWidth <= 0) ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
  if (ScreenHeight <= 0) ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
  Read(ScreenWidth, ScreenHeight);
}

TPersitentProperties::~TPersitentProperties() = default;

void TPersitentProperties::Read(int ScreenWidth, int ScreenHeight) {
  Height = static_cast<int>(ScreenHeight * 0.8);
  Width = static_cast<int>(ScreenWidth * 0.8);
  Top = (ScreenHeight - Height) / 2;
  Left = (ScreenWidth - Width) / 2;
  Maximized = false;
  ViewToolbar = true;
  ViewStatusbar = true;

  try {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (reg.OpenKeyReadOnly(kProps)) {
      auto readInt = [&reg](const char* name, int def) {
        try {
          return reg.ReadInteger(name);
        } catch (const Exception&) {
          return def;
        }
      };
      // Each is first raised to its minimum, then cut to its maximum.
      Height = std::min(std::max(readInt("Height", Height), 40), ScreenHeight);
      Top = std::min(std::max(readInt("Top", Top), 0), ScreenHeight - 100);
      Width = std::min(std::max(readInt("Width", Width), 100), ScreenWidth);
      Left = std::min(std::max(readInt("Left", Left), 0), ScreenWidth - 150);
      // The first value that cannot be read keeps it and the later ones at
      // their defaults.
      try {
        const bool toolbar = reg.ReadBool("ViewToolbar");
        ViewToolbar = toolbar;
        const bool maximized = reg.ReadBool("Maximized");
        Maximized = maximized;
        const bool statusbar = reg.ReadBool("ViewStatusbar");
        ViewStatusbar = statusbar;
      } catch (const Exception&) {
      }
      reg.CloseKey();
    }
  } catch (const std::exception&) {
  }

  auto readSection = [](const std::string& key, TStringList& target, bool arrays) {
    try {
      TRegistry reg;
      reg.SetRootKey(HKEY_CURRENT_USER);
      if (!reg.OpenKeyReadOnly(key)) return;
      TStringList names;
      reg.GetValueNames(names);
      for (int i = 0; i < names.Count(); ++i) {
        const std::string name = names.Strings(i);
        std::string text;
        try {
          text = reg.ReadString(name);
        } catch (const Exception&) {
          continue;
        }
        auto value = std::make_unique<TStringList>();
        if (arrays) SplitArray(text, *value); else value->Add(text);
        Store(target, name, value.release());
      }
    } catch (const std::exception&) {
    }
  };
  readSection(kUserDefined, UserDefined, false);
  readSection(kUserDefinedArrays, UserDefinedArrays, true);
}

void TPersitentProperties::Save(const TSavedWindowState& Window) {
  try {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (reg.OpenKey(kProps, true)) {
      if (Window.Normal) {
        reg.WriteInteger("Left", Window.Left);
        reg.WriteInteger("Top", Window.Top);
        reg.WriteInteger("Width", Window.Width);
        reg.WriteInteger("Height", Window.Height);
      }
      reg.WriteBool("Maximized", Window.Maximized);
      reg.WriteBool("ViewToolbar", ViewToolbar);
      reg.WriteBool("ViewStatusbar", ViewStatusbar);
    }
  } catch (const std::exception&) {
  }
  try {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (reg.OpenKey(kUserDefined, true)) {
      for (int i = 0; i < UserDefined.Count(); ++i) {
        const auto* value = static_cast<const TStringList*>(UserDefined.GetObject(i));
        if (value && value->Count() > 0) reg.WriteString(UserDefined.Strings(i), value->Strings(0));
      }
    }
  } catch (const std::exception&) {
  }
  try {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (reg.OpenKey(kUserDefinedArrays, true)) {
      for (int i = 0; i < UserDefinedArrays.Count(); ++i) {
        const auto* elements = static_cast<const TStringList*>(UserDefinedArrays.GetObject(i));
        std::string stored;
        for (int k = 0; elements && k < elements->Count(); ++k) stored += elements->Strings(k) + kTerminator;
        reg.WriteString(UserDefinedArrays.Strings(i), stored);
      }
    }
  } catch (const std::exception&) {
  }
}

TStringList* TPersitentProperties::Find(const TStringList& List, const std::string& Name) const {
  int index = 0;
  if (!List.Find(Name, index)) return nullptr;
  return static_cast<TStringList*>(List.GetObject(index));
}

void TPersitentProperties::Store(TStringList& List, const std::string& Name, TStringList* Value) {
  int index = 0;
  if (List.Find(Name, index)) List.Delete(index);
  List.AddObject(Name, Value);
}

void TPersitentProperties::SetProperty(const std::string& Name, const std::string& Value) {
  auto value = std::make_unique<TStringList>();
  value->Add(Value);
  Store(UserDefined, AnsiUpperCase(Name), value.release());
}

void TPersitentProperties::GetProperty(const std::string& Name, std::string& Value) const {
  const TStringList* value = Find(UserDefined, Name);
  Value = (value && value->Count() > 0) ? value->Strings(0) : std::string();
}

void TPersitentProperties::SetArrayItem(const std::string& Name, int Index, const std::string& Value) {
  if (Index < 0) return;
  TStringList* elements = Find(UserDefinedArrays, Name);
  if (!elements) {
    auto created = std::make_unique<TStringList>();
    elements = created.get();
    Store(UserDefinedArrays, AnsiUpperCase(Name), created.release());
  }
  while (elements->Count() < Index + 1) elements->Add(std::string());
  elements->Put(Index, Value);
}

void TPersitentProperties::GetArrayItem(const std::string& Name, int Index, std::string& Value) const {
  const TStringList* elements = Find(UserDefinedArrays, Name);
  Value = (elements && Index >= 0 && Index < elements->Count()) ? elements->Strings(Index) : std::string();
}

int TPersitentProperties::GetArrayCount(const std::string& Name) const {
  const TStringList* elements = Find(UserDefinedArrays, Name);
  return elements ? elements->Count() : 0;
}

void TPersitentProperties::DeleteArray(const std::string& Name) {
  int index = 0;
  std::string stored = Name;
  if (UserDefinedArrays.Find(Name, index)) {
    stored = UserDefinedArrays.Strings(index);
    UserDefinedArrays.Delete(index);
  }
  try {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (reg.OpenKey(kUserDefinedArrays, true)) reg.DeleteValue(stored);
  } catch (const std::exception&) {
  }
}

}  // namespace morvane
