// Types shared by the tree-list control's item model, its sorting and its
// view geometry: enumerations, the tree's error class, event signatures.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "controls/elheadersections.h"
#include "controls/ellist.h"
#include "controls/elstrutils.h"
#include "platform/core/components.h"
#include "platform/core/exceptions.h"

namespace morvane {

class TCustomElTree;
class TElTreeItem;
class TElTreeItems;

MORVANE_EXCEPTION(EElTreeError, Exception);

// The fixed English texts of the tree (they reach the user through the
// message catalogs).
namespace eltreeres {
inline constexpr const char* SIndexOutOfBounds = "ElTree item index out of bounds.";
inline constexpr const char* SInvalidMoveTarget = "Can't move Item to one of its subitems.";
inline constexpr const char* SItemNotSpecified = "ElTree item not specified";
inline constexpr const char* SAssignFromRelative =
    "ElTree item can't be assigned from an item of its own subtree or ancestry.";
inline constexpr const char* SForeignParent = "ElTree item can't be moved to another tree.";
}  // namespace eltreeres

[[noreturn]] void RaiseTreeError(const char* Text);

enum TElTreeVirtualityLevel : uint8_t { vlNone, vlTextAndStyles };
enum TSortModes : uint8_t { smNone, smAdd, smClick, smAddClick };
enum TSortTypes : uint8_t {
  stCustom, stText, stNumber, stFloating, stDateTime, stDate, stTime, stBoolean, stCurrency
};
enum TSortDirs : uint8_t { sdAscend, sdDescend };

enum TElHitPart : uint8_t {
  hpButton, hpText, hpColumn, hpMainCell, hpImage, hpImage2, hpCheckBox, hpNowhere
};

enum class TElScrollBarKind : uint8_t { sbHorizontal, sbVertical };

// What the item-change event reports.
enum TItemChangeMode : uint8_t { icmText = 0, icmState = 1, icmCheckState = 2, icmColumnText = 3 };

// The system's setting for one page per wheel notch.
inline constexpr unsigned kWheelPageScroll = 0xFFFFFFFFu;

struct TElRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool operator==(const TElRect&) const = default;
};

// The metrics of an image list the tree draws from; Count 0 = no list.
struct TElImageMetrics {
  int Width = 0;
  int Height = 0;
  int Count = 0;
  bool Assigned() const { return Count > 0 || Width > 0; }
};

using TElTreeChangingEvent =
    std::function<void(TObject* Sender, TElTreeItem* Item, bool& AllowChange)>;
using TOnItemChangeEvent =
    std::function<void(TObject* Sender, TElTreeItem* Item, TItemChangeMode ItemChangeMode)>;
using TOnItemExpanding =
    std::function<void(TObject* Sender, TElTreeItem* Item, bool& CanProcess)>;
using TOnItemExpandEvent = std::function<void(TObject* Sender, TElTreeItem* Item)>;
using TOnItemCheckedEvent = std::function<void(TObject* Sender, TElTreeItem* Item)>;
using TItemSelChangeEvent = std::function<void(TObject* Sender, TElTreeItem* Item)>;
using TOnCompareItems =
    std::function<void(TObject* Sender, TElTreeItem* Item1, TElTreeItem* Item2, int& res)>;
using TElTreeScrollEvent =
    std::function<void(TObject* Sender, TElScrollBarKind ScrollBarKind, int ScrollCode)>;
using TVirtualTextNeededEvent = std::function<void(TObject* Sender, TElTreeItem* Item,
                                                   int SectionIndex, TElFString& Text)>;
class TVariant;
// VarType names the kind of value wanted, by the sort's key types: 0
// integer, 1 Boolean, 3 floating point (dates and times too), 12 currency.
using TVirtualValueNeededEvent = std::function<void(TObject* Sender, TElTreeItem* Item, int SectionIndex,
                                                    int VarType, TVariant& Value)>;
using TVirtualHintNeededEvent =
    std::function<void(TObject* Sender, TElTreeItem* Item, TElFString& Hint)>;
using TMeasureItemPartEvent = std::function<void(TObject* Sender, TElTreeItem* Item,
                                                 int SectionIndex, int& Width, int& Height)>;
using TElColumnNotifyEvent = std::function<void(TObject* Sender, int SectionIndex)>;
using TElPicNeededEvent = std::function<void(TObject* Sender, TElTreeItem* Item, int& ImageIndex)>;

// Walk callback of TElTreeItems::Iterate and its siblings.
using TElIterateProc = std::function<void(TElTreeItem* Item, int Index, bool& ContinueIterate,
                                          void* IterateData, TCustomElTree* Tree)>;
// Compare callback of TElTreeItems::LookForItem.
using TElLookupCompareProc =
    std::function<bool(TElTreeItem* Item, int SectionIndex, void* SearchDetails)>;

}  // namespace morvane
