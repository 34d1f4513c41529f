// Header sections: one column of the column header (caption, width and
// limits, visibility, sort mark, data settings) and the header's ordered
// collection of them, with the two persistent forms: the binary "Data"
// layout value and the SectionsOrder text kept in the settings.
//
// A section keeps a fixed number, Index: the numbers of a header's sections
// are always 0..Count-1 in some order, and the tree stores column texts by
// them. Moving keeps the numbers; deleting renumbers by position.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "controls/ellist.h"
#include "controls/elstrutils.h"
#include "platform/core/classes.h"
#include "platform/core/components.h"
#include "platform/core/exceptions.h"

namespace morvane {

class TStream;
class TElHeaderSection;
namespace elcodec {
struct THeaderSectionData;
}

MORVANE_EXCEPTION(EElHeaderError, Exception);

using TElFString = WideString;
using TColor = int32_t;
// The toolkit's vertical text placement (top, centre, bottom).
enum class TTextLayout;

enum TElSectionStyle : uint8_t { ElhsText, ElhsOwnerDraw, ElhsPictureOnly };
enum TElSSortMode : uint8_t { hsmNone, hsmAscend, hsmDescend };
enum TElSAlignment : uint8_t { hsaLeft, hsaCenter, hsaRight };
enum TElFieldType : uint8_t {
  sftCustom, sftText, sftNumber, sftFloating, sftDateTime, sftDate, sftTime,
  sftPicture, sftEnum, sftBLOB, sftUndef, sftBool, sftCurrency, sftMemo
};
// What changed, as the header's section-change event reports it.
enum TSectionChangeMode : uint8_t {
  scmCaption, scmFieldName, scmFieldType, scmAlign, scmStyle, scmEditable, scmPassword
};

// What the sections need of the header that owns them. The header control
// implements it; a header without a window handle only needs the defaults.
class IElHeaderSectionsOwner {
 public:
  virtual ~IElHeaderSectionsOwner() = default;

  // The persistence owner of the collection (the header itself).
  virtual TPersistent* HeaderPersistent() { return nullptr; }
  virtual int DefaultWidth() const { return 120; }
  virtual void BeginUpdate() {}
  virtual void EndUpdate() {}
  // Recorded in the open update bracket; the header reports them once when
  // the outermost bracket closes.
  virtual void SectionCreated() {}
  virtual void SectionDeleted() {}
  // Called for each section just before it is freed (deleted, cleared,
  // replaced by a load or an assignment), while it is still whole: the
  // header drops every reference it keeps to it.
  virtual void SectionLeaving(TElHeaderSection* Section) {}
  virtual bool HandleAllocated() const { return false; }
  virtual void Invalidate() {}
  // Header client coordinates, right and bottom exclusive; no erasing.
  virtual void InvalidateRect(int Left, int Top, int Right, int Bottom) {}
  // Repaints from the left edge of the section at Position to the right end.
  virtual void InvalidateFrom(int Position) {}
  // The control the header sits on (the tree).
  virtual void InvalidateParent() {}
  virtual void AdjustHeight() {}
  virtual int HeaderWidth() const { return 0; }
  virtual int HeaderHeight() const { return 0; }
  virtual void SetHeaderHeight(int Value) {}
  virtual int LeftPos() const { return 0; }
  virtual bool StickySections() const { return false; }
  // The StickySections writer: True recomputes every section's share.
  virtual void SetStickySections(bool Value) {}
  virtual void SaveStickyShares() {}
  virtual void FitSections(TElHeaderSection* Except) {}
  // The header is resizing its sections itself.
  virtual bool InOwnResize() const { return false; }
  // The header or its owner is being loaded / designed / destroyed.
  virtual bool IsLoading() const { return false; }
  virtual bool IsDesigning() const { return false; }
  virtual bool IsDestroying() const { return false; }

  virtual void TriggerSectionResizeEvent(TElHeaderSection* Section) {}
  virtual void TriggerSectionShowHideEvent(TElHeaderSection* Section) {}
  virtual void TriggerSectionChangeEvent(TElHeaderSection* Section, TSectionChangeMode Change) {}
  virtual void TriggerSectionMoveEvent(TElHeaderSection* Section, int OldPos, int NewPos) {}
  virtual void TriggerSectionAutoSizeEvent(TElHeaderSection* Section) {}
};

// Brackets header updates, also when the work inside raises.
class THeaderUpdate {
 public:
  explicit THeaderUpdate(IElHeaderSectionsOwner* h) : h_(h) {
    if (h_) h_->BeginUpdate();
  }
  ~THeaderUpdate() {
    if (h_) h_->EndUpdate();
  }
  THeaderUpdate(const THeaderUpdate&) = delete;
  THeaderUpdate& operator=(const THeaderUpdate&) = delete;

 private:
  IElHeaderSectionsOwner* h_;
};

class TElHeaderSections;

class TElHeaderSection : public TPersistent {
 public:
  TElHeaderSection(IElHeaderSectionsOwner* AOwner, TElHeaderSections* ACollection);
  ~TElHeaderSection() override;

  IElHeaderSectionsOwner* Header() const { return header_; }
  // Plain copies of the settings (no events, no repaint); the parent is the
  // section of this header with the source parent's Index.
  void Assign(TPersistent* Source) override;
  // Repaints the section's rectangle when it is shown and has a window.
  void UpdateSection();

  int Index() const { return index_; }
  int32_t UniqueId() const { return uniqueId_; }
  // Place in the collection's list; -1 without a header.
  int Position() const;
  // Header coordinates, before the horizontal scroll offset.
  int Left() const;
  int Right() const;
  // Effective visibility: the own flag, and a parent that is shown and expanded.
  bool Visible() const;
  bool OwnVisible() const { return visible_; }

  const TElFString& Text() const { return text_; }
  void SetText(const TElFString& v);
  TElSectionStyle Style() const { return style_; }
  void SetStyle(TElSectionStyle v);
  int Width() const { return width_; }
  void SetWidth(int v);
  int MaxWidth() const { return maxWidth_; }
  void SetMaxWidth(int v);
  int MinWidth() const { return minWidth_; }
  void SetMinWidth(int v);
  TElSSortMode SortMode() const { return sortMode_; }
  void SetSortMode(TElSSortMode v);
  bool AllowClick() const { return allowClick_; }
  void SetAllowClick(bool v) { allowClick_ = v; }
  TElSAlignment Alignment() const { return alignment_; }
  void SetAlignment(TElSAlignment v);
  TElSAlignment PictureAlign() const { return pictureAlign_; }
  void SetPictureAlign(TElSAlignment v) { pictureAlign_ = v; }
  void SetVisible(bool v);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  const std::string& FieldName() const { return fieldName_; }
  virtual void SetFieldName(const std::string& v);
  TElFieldType FieldType() const { return fieldType_; }
  virtual void SetFieldType(TElFieldType v);
  bool Editable() const { return editable_; }
  virtual void SetEditable(bool v);
  bool Password() const { return password_; }
  void SetPassword(bool v);
  bool Resizable() const { return resizable_; }
  virtual void SetResizable(bool v);
  bool ClickSelect() const { return clickSelect_; }
  void SetClickSelect(bool v) { clickSelect_ = v; }
  bool Expandable() const { return expandable_; }
  void SetExpandable(bool v);
  bool Expanded() const { return expanded_; }
  void SetExpanded(bool v);
  TElHeaderSection* ParentSection() const { return parent_; }
  // Ignored when it would make a cycle.
  void SetParentSection(TElHeaderSection* v);
  // The section's popup menu (a component; the header resolves it by name
  // after loading).
  TComponent* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TComponent* v);
  const std::string& PopupMenuName() const { return popupMenuName_; }
  bool LookupEnabled() const { return lookupEnabled_; }
  void SetLookupEnabled(bool v);
  TStringList& LookupHistory() { return *lookupHistory_; }
  void SetLookupHistory(TStrings* v);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool v);
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  TColor FontColor() const { return fontColor_; }
  void SetFontColor(TColor v);
  bool UseMainStyle() const { return useMainStyle_; }
  void SetUseMainStyle(bool v);
  TTextLayout TextLayout() const { return textLayout_; }
  void SetTextLayout(TTextLayout v);
  bool FilterEnabled() const { return filterEnabled_; }
  void SetFilterEnabled(bool v);
  bool FilterIsActive() const { return filterIsActive_; }
  void SetFilterIsActive(bool v);
  const TElFString& Hint() const { return hint_; }
  void SetHint(const TElFString& v) { hint_ = v; }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  bool ShowSortMark() const { return showSortMark_; }
  void SetShowSortMark(bool v);
  int Tag() const { return tag_; }
  void SetTag(int v) { tag_ = v; }

  // Sticky sizing state kept for the header.
  float StickyShare() const { return stickyShare_; }
  void SetStickyShare(float v) { stickyShare_ = v; }
  int SavedWidth() const { return savedWidth_; }
  void SetSavedWidth(int v) { savedWidth_ = v; }
  // Stores a width without limits or events (the header's fitting).
  void StoreWidth(int v) { width_ = v; }

 protected:
  TPersistent* GetOwner() override;
  std::string ClassName() const override { return "TElHeaderSection"; }

 private:
  friend class TElHeaderSections;
  bool IsAncestorOrSelf(const TElHeaderSection* Candidate) const;
  void StoreParent(TElHeaderSection* v);
  void TriggerAutoSize();
  void Change(TSectionChangeMode m);
  bool StickyMode() const;
  void ToData(elcodec::THeaderSectionData& d) const;
  void FromData(const elcodec::THeaderSectionData& d);

  IElHeaderSectionsOwner* header_;
  TElHeaderSections* collection_;
  TElFString text_;
  TElSectionStyle style_ = ElhsText;
  int width_;
  int maxWidth_ = 10000;
  int minWidth_ = 0;
  TElSSortMode sortMode_ = hsmNone;
  bool allowClick_ = true;
  TElSAlignment alignment_ = hsaLeft;
  TElSAlignment pictureAlign_ = hsaLeft;
  bool visible_ = true;
  int imageIndex_ = -1;
  std::string fieldName_;
  TElFieldType fieldType_ = sftText;
  bool editable_ = false;
  bool password_ = false;
  bool resizable_ = true;
  bool clickSelect_ = true;
  bool expandable_ = false;
  bool expanded_ = false;
  TElHeaderSection* parent_ = nullptr;
  TComponent* popupMenu_ = nullptr;
  std::string popupMenuName_;
  bool lookupEnabled_ = false;
  std::unique_ptr<TStringList> lookupHistory_;
  bool parentColor_ = true;
  TColor color_ = 0;
  TColor fontColor_ = 0;
  bool useMainStyle_ = false;
  TTextLayout textLayout_;
  bool filterEnabled_ = false;
  bool filterIsActive_ = false;
  TElFString hint_;
  bool autoSize_ = false;
  bool showSortMark_ = true;
  int tag_ = 0;

  int index_ = 0;
  int32_t uniqueId_ = 0;
  int loadParentIndex_ = -1;
  float stickyShare_ = 0;
  int savedWidth_ = -1;
};

class TElHeaderSections : public TPersistent {
 public:
  explicit TElHeaderSections(IElHeaderSectionsOwner* AOwner);
  ~TElHeaderSections() override;

  IElHeaderSectionsOwner* Header() const { return header_; }
  int Count() const { return list_.Count(); }
  // By Index; null when none.
  virtual TElHeaderSection* GetSection(int Index) const;
  virtual TElHeaderSection* FindSectionByIndex(int Index) const { return GetSection(Index); }
  virtual TElHeaderSection* GetSectionById(int32_t Id) const;
  // By list position (EElListError when out of range).
  virtual TElHeaderSection* GetSectionByPos(int Position) const;
  TElHeaderSection* operator[](int Index) const { return GetSection(Index); }
  // The list in display order (owns the sections).
  const TElList& List() const { return list_; }

  TElHeaderSection* AddSection();
  TElHeaderSection* InsertSection(int Position);
  void DeleteSection(TElHeaderSection* Section);
  void MoveSection(TElHeaderSection* Section, int NewPosition);
  // Frees every section, without notifications.
  void Clear();
  TElHeaderSection* LastVisibleSection() const;
  TElHeaderSection* PrevVisibleSection(TElHeaderSection* Section) const;

  void Assign(TPersistent* Source) override;

  // The "Data" layout value. Loading replaces the sections; data that end
  // early raise EReadError and keep the sections read before.
  virtual void SaveToStream(TStream& Stream) const;
  virtual void LoadFromStream(TStream& Stream);

  // "i<Index>:w<Width>:v<t|f>," per section in list order.
  std::string SectionsOrder() const;
  // Applies a saved order: sections move to the listed positions and take
  // the widths (within their limits) and visibility. Numbers of sections
  // that do not exist are skipped; a number that is not an integer raises
  // EConvertError with the entries before it applied.
  void SetSectionsOrder(const std::string& Value);

 protected:
  virtual TElHeaderSection* CreateSection();
  TPersistent* GetOwner() override;
  std::string ClassName() const override { return "TElHeaderSections"; }

 private:
  friend class TElHeaderSection;
  int LowestFreeIndex() const;
  int32_t FreeUniqueId() const;
  // Makes the numbers 0..Count-1 again when they are not.
  void RenumberIfBroken();

  IElHeaderSectionsOwner* header_;
  TElList list_;
};

}  // namespace morvane
