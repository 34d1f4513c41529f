// One header section: its setters and their effect on the header.
#include <cmath>

#include "controls/elheadersections.h"
#include "controls/header_data_codec.h"
#include "platform/core/sysutils.h"

namespace morvane {

namespace {


// Sticky rescaling: the share of the old free width applied to the new one,
// rounded to nearest (halves to even); never below zero.
int Rescale(int Width, double D, double Free) {
  const double v = std::nearbyint(static_cast<double>(Width) / D * Free);
  return v < 0 ? 0 : static_cast<int>(v);
}

}  // namespace

TElHeaderSection::TElHeaderSection(IElHeaderSectionsOwner* AOwner, TElHeaderSections* ACollection)
    : header_(AOwner),
      collection_(ACollection),
      width_(AOwner ? AOwner->DefaultWidth() : 120),
      lookupHistory_(std::make_unique<TStringList>()),
      textLayout_(static_cast<TTextLayout>(1)) {}

TElHeaderSection::~TElHeaderSection() {
  // Children must not keep a pointer to a freed parent, whether or not this
  // section was marked expandable.
  if (collection_) {
    const TElList& l = collection_->list_;
    for (int i = 0; i < l.Count(); ++i) {
      auto* s = static_cast<TElHeaderSection*>(static_cast<TObject*>(l.List()[i]));
      if (s && s != this && s->parent_ == this) s->parent_ = nullptr;
    }
  }
  expandable_ = false;
}

TPersistent* TElHeaderSection::GetOwner() { return collection_; }

int TElHeaderSection::Position() const {
  if (!collection_) return -1;
  return collection_->list_.IndexOf(static_cast<TObject*>(const_cast<TElHeaderSection*>(this)));
}

bool TElHeaderSection::Visible() const {
  // The parent chain has no cycles (SetParentSection refuses them); the
  // bound is only a guard.
  const TElHeaderSection* s = this;
  for (int depth = 0; s && depth < 100000; ++depth) {
    if (!s->visible_) return false;
    if (!s->parent_) return true;
    if (!s->parent_->expanded_) return false;
    s = s->parent_;
  }
  return s == nullptr;
}

int TElHeaderSection::Left() const {
  if (!collection_) return 0;
  const TElList& l = collection_->list_;
  int left = 0;
  for (int i = 0; i < l.Count(); ++i) {
    auto* s = static_cast<TElHeaderSection*>(static_cast<TObject*>(l.List()[i]));
    if (s == this) break;
    if (s->Visible()) left += s->width_;
  }
  return left;
}

int TElHeaderSection::Right() const { return Visible() ? Left() + width_ : Left(); }

void TElHeaderSection::UpdateSection() {
  if (!header_ || !Visible() || !header_->HandleAllocated()) return;
  THeaderUpdate bracket(header_);
  const int x = Left() - header_->LeftPos();
  header_->InvalidateRect(x, 0, x + width_, header_->HeaderHeight() + 1);
}

void TElHeaderSection::TriggerAutoSize() {
  if (autoSize_ && header_) header_->TriggerSectionAutoSizeEvent(this);
}

void TElHeaderSection::Change(TSectionChangeMode m) {
  if (header_) header_->TriggerSectionChangeEvent(this, m);
}

void TElHeaderSection::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TElHeaderSection*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  if (src == this) return;
  fieldType_ = src->fieldType_;
  hint_ = src->hint_;
  visible_ = src->visible_;
  style_ = src->style_;
  text_ = src->text_;
  width_ = src->width_;
  tag_ = src->tag_;
  minWidth_ = src->minWidth_;
  maxWidth_ = src->maxWidth_;
  sortMode_ = src->sortMode_;
  allowClick_ = src->allowClick_;
  alignment_ = src->alignment_;
  expandable_ = src->expandable_;
  expanded_ = src->expanded_;
  StoreParent(src->parent_ && collection_ ? collection_->GetSection(src->parent_->index_) : nullptr);
  popupMenu_ = src->popupMenu_;
  popupMenuName_ = src->popupMenuName_;
  lookupEnabled_ = src->lookupEnabled_;
  useMainStyle_ = src->useMainStyle_;
  textLayout_ = src->textLayout_;
  filterEnabled_ = src->filterEnabled_;
  parentColor_ = src->parentColor_;
  fontColor_ = src->fontColor_;
  color_ = src->color_;
  autoSize_ = src->autoSize_;
  pictureAlign_ = src->pictureAlign_;
  resizable_ = src->resizable_;
  clickSelect_ = src->clickSelect_;
  password_ = src->password_;
  imageIndex_ = src->imageIndex_;
  editable_ = src->editable_;
  showSortMark_ = src->showSortMark_;
  index_ = src->index_;
}

bool TElHeaderSection::IsAncestorOrSelf(const TElHeaderSection* Candidate) const {
  // Is this section Candidate itself or one of Candidate's ancestors?
  for (int depth = 0; Candidate && depth < 100000; ++depth) {
    if (Candidate == this) return true;
    Candidate = Candidate->parent_;
  }
  return false;
}

void TElHeaderSection::StoreParent(TElHeaderSection* v) {
  if (v && IsAncestorOrSelf(v)) return;
  parent_ = v;
}

void TElHeaderSection::SetText(const TElFString& v) {
  if (v == text_) return;
  text_ = v;
  TriggerAutoSize();
  if (header_) header_->AdjustHeight();
  if (style_ == ElhsText) UpdateSection();
  Change(scmCaption);
}

void TElHeaderSection::SetStyle(TElSectionStyle v) {
  if (v == style_) return;
  style_ = v;
  Change(scmStyle);
  UpdateSection();
}

void TElHeaderSection::SetAlignment(TElSAlignment v) {
  if (v == alignment_) return;
  alignment_ = v;
  Change(scmAlign);
  UpdateSection();
}

void TElHeaderSection::SetFieldName(const std::string& v) {
  if (v == fieldName_) return;
  fieldName_ = v;
  Change(scmFieldName);
}

void TElHeaderSection::SetFieldType(TElFieldType v) {
  if (v == fieldType_) return;
  fieldType_ = v;
  Change(scmFieldType);
}

void TElHeaderSection::SetEditable(bool v) {
  if (v == editable_) return;
  editable_ = v;
  Change(scmEditable);
}

void TElHeaderSection::SetPassword(bool v) {
  if (v == password_) return;
  password_ = v;
  Change(scmPassword);
}

bool TElHeaderSection::StickyMode() const {
  return header_ && collection_ && header_->StickySections() && Visible() && !header_->InOwnResize() &&
         !header_->IsLoading();
}

void TElHeaderSection::SetWidth(int v) {
  // Outside the limits the value is ignored, not clamped.
  if (v <= maxWidth_ && v >= minWidth_) {
    if (!StickyMode()) {
      width_ = v;
      if (header_ && Visible() && !header_->InOwnResize()) {
        header_->AdjustHeight();
        if (header_->HandleAllocated()) header_->Invalidate();
      }
    } else {
      const TElList& l = collection_->list_;
      const int pos = Position();
      if (pos != l.Count() - 1) {
        const int L = Left(), W = width_, H = header_->HeaderWidth();
        int D = H - L - W;
        if (L + W == H) D = 1;
        TElHeaderSection* lastRescaled = nullptr;
        // Sections wider than the header leave no free width to share out.
        if (D > 0) {
          for (int i = pos + 1; i < l.Count(); ++i) {
            auto* s = static_cast<TElHeaderSection*>(static_cast<TObject*>(l.List()[i]));
            if (!s->resizable_ || !s->Visible()) continue;
            s->width_ = Rescale(s->width_, D, H - v - L);
            lastRescaled = s;
          }
        }
        width_ = v;
        if (lastRescaled) {
          const TElHeaderSection* lastVisible = collection_->LastVisibleSection();
          const int gap = H - (lastVisible ? lastVisible->Right() : 0);
          if (gap > 0) lastRescaled->width_ += gap;
        }
        header_->FitSections(this);
      }
      header_->SaveStickyShares();
      if (!header_->InOwnResize()) header_->InvalidateFrom(pos);
    }
  }
  if (header_) header_->TriggerSectionResizeEvent(this);
}

void TElHeaderSection::SetMinWidth(int v) {
  if (v == minWidth_) return;
  minWidth_ = v;
  if (width_ < v) SetWidth(v);
}

void TElHeaderSection::SetMaxWidth(int v) {
  if (v == maxWidth_) return;
  maxWidth_ = v;
  if (width_ > v) SetWidth(v);
}

void TElHeaderSection::SetSortMode(TElSSortMode v) {
  if (v == sortMode_) return;
  // Only one section carries a sort mark.
  if (collection_) {
    const TElList& l = collection_->list_;
    for (int i = 0; i < l.Count(); ++i)
      static_cast<TElHeaderSection*>(static_cast<TObject*>(l.List()[i]))->sortMode_ = hsmNone;
  }
  sortMode_ = v;
  TriggerAutoSize();
  if (header_ && header_->HandleAllocated() && showSortMark_) header_->Invalidate();
}

void TElHeaderSection::SetVisible(bool v) {
  if (v == visible_) return;
  THeaderUpdate bracket(header_);
  const bool plain = !header_ || !header_->StickySections() || (parent_ && !parent_->Visible()) ||
                     header_->InOwnResize() || header_->IsLoading() || !collection_;
  if (plain) {
    visible_ = v;
    if (header_) {
      header_->AdjustHeight();
      if (!header_->InOwnResize() && (!parent_ || parent_->Visible())) header_->InvalidateFrom(Position());
    }
  } else {
    const int W = width_;
    const int F = v ? 0 : W, T = v ? W : 0;
    visible_ = v;
    const int L = Left(), H = header_->HeaderWidth();
    int D = H - F - L;
    if (D == 0) D = 1;
    const TElList& l = collection_->list_;
    const int pos = Position();
    const bool last = pos == l.Count() - 1;
    if (D > 0) {
      const int from = last ? 0 : pos + 1, to = last ? pos : l.Count();
      for (int i = from; i < to; ++i) {
        auto* s = static_cast<TElHeaderSection*>(static_cast<TObject*>(l.List()[i]));
        if (s->resizable_) s->width_ = Rescale(s->width_, D, H - T - L);
      }
    }
    header_->FitSections(this);
    header_->SaveStickyShares();
  }
  if (header_) {
    if (header_->HandleAllocated()) header_->Invalidate();
    header_->TriggerSectionShowHideEvent(this);
  }
}

void TElHeaderSection::SetImageIndex(int v) {
  if (v == imageIndex_) return;
  imageIndex_ = v;
  TriggerAutoSize();
  UpdateSection();
}

void TElHeaderSection::SetResizable(bool v) {
  resizable_ = v;
  if (header_ && header_->StickySections()) header_->SetStickySections(true);
}

void TElHeaderSection::SetExpandable(bool v) {
  if (v == expandable_) return;
  expandable_ = v;
  bool detached = false;
  if (!v && collection_) {
    const TElList& l = collection_->list_;
    for (int i = 0; i < l.Count(); ++i) {
      auto* s = static_cast<TElHeaderSection*>(static_cast<TObject*>(l.List()[i]));
      if (s->parent_ == this) {
        s->parent_ = nullptr;
        detached = true;
      }
    }
  }
  TriggerAutoSize();
  if (detached && header_ && !header_->IsDestroying() && header_->HandleAllocated()) header_->Invalidate();
}

void TElHeaderSection::SetExpanded(bool v) {
  if (v == expanded_ || !expandable_) return;
  expanded_ = v;
  if (header_ && header_->HandleAllocated()) header_->Invalidate();
}

void TElHeaderSection::SetParentSection(TElHeaderSection* v) {
  if (v == parent_) return;
  if (v && IsAncestorOrSelf(v)) return;
  parent_ = v;
  if (header_) {
    header_->TriggerSectionShowHideEvent(this);
    header_->AdjustHeight();
    if (header_->HandleAllocated()) header_->Invalidate();
  }
}

void TElHeaderSection::SetPopupMenu(TComponent* v) {
  if (v == popupMenu_) return;
  popupMenu_ = v;
  popupMenuName_ = v ? v->Name() : std::string();
}

void TElHeaderSection::SetLookupEnabled(bool v) {
  if (v == lookupEnabled_) return;
  lookupEnabled_ = v;
  if (v && header_ && header_->HeaderHeight() >= 1 && header_->HeaderHeight() <= 16) header_->SetHeaderHeight(17);
  TriggerAutoSize();
  UpdateSection();
}

void TElHeaderSection::SetFilterEnabled(bool v) {
  if (v == filterEnabled_) return;
  filterEnabled_ = v;
  if (v && header_ && header_->HeaderHeight() >= 1 && header_->HeaderHeight() <= 16) header_->SetHeaderHeight(17);
  TriggerAutoSize();
  UpdateSection();
}

void TElHeaderSection::SetLookupHistory(TStrings* v) { lookupHistory_->Assign(v); }

void TElHeaderSection::SetFilterIsActive(bool v) {
  if (v == filterIsActive_) return;
  filterIsActive_ = v;
  if (filterEnabled_) UpdateSection();
}

void TElHeaderSection::SetShowSortMark(bool v) {
  if (v == showSortMark_) return;
  showSortMark_ = v;
  if (sortMode_ != hsmNone) UpdateSection();
}

void TElHeaderSection::SetColor(TColor v) {
  if (v == color_) return;
  color_ = v;
  parentColor_ = false;
  UpdateSection();
}

void TElHeaderSection::SetFontColor(TColor v) {
  if (v == fontColor_) return;
  fontColor_ = v;
  parentColor_ = false;
  UpdateSection();
}

void TElHeaderSection::SetParentColor(bool v) {
  if (v == parentColor_) return;
  parentColor_ = v;
  UpdateSection();
}

void TElHeaderSection::SetTextLayout(TTextLayout v) {
  if (v == textLayout_) return;
  textLayout_ = v;
  UpdateSection();
}

void TElHeaderSection::SetUseMainStyle(bool v) {
  if (v == useMainStyle_) return;
  useMainStyle_ = v;
  if (header_) header_->InvalidateParent();
}

void TElHeaderSection::SetAutoSize(bool v) {
  if (v == autoSize_) return;
  autoSize_ = v;
  TriggerAutoSize();
}

// ---- "Data" records ----

void TElHeaderSection::ToData(elcodec::THeaderSectionData& d) const {
  d.LookupEnabled = lookupEnabled_;
  d.ParentIndex = parent_ ? parent_->index_ : -1;
  d.Expandable = expandable_;
  d.Expanded = expanded_;
  d.Visible = visible_;
  d.ClickSelect = clickSelect_;
  d.Resizable = resizable_;
  d.Style = style_;
  d.Width = width_;
  d.MinWidth = minWidth_;
  d.MaxWidth = maxWidth_;
  d.SortMode = sortMode_;
  d.AllowClick = allowClick_;
  d.Alignment = alignment_;
  d.HasUniqueId = true;
  d.UniqueId = uniqueId_;
  d.Index = index_;
  d.FieldType = fieldType_;
  d.Editable = editable_;
  d.ImageIndex = imageIndex_;
  d.PictureAlign = pictureAlign_;
  d.Password = password_;
  d.ParentColor = parentColor_;
  d.Color = color_;
  d.FontColor = fontColor_;
  d.FilterEnabled = filterEnabled_;
  d.TextLayout = static_cast<uint8_t>(textLayout_);
  d.UseMainStyle = useMainStyle_;
  d.AutoSize = autoSize_;
  d.Tag = tag_;
  d.Text = WideToAnsi(text_);
  d.FieldName = fieldName_;
  d.PopupMenuName = popupMenuName_;
  d.HintIsWide = true;
  d.Hint = hint_;
}

void TElHeaderSection::FromData(const elcodec::THeaderSectionData& d) {
  lookupEnabled_ = d.LookupEnabled;
  loadParentIndex_ = d.ParentIndex;
  expandable_ = d.Expandable;
  expanded_ = d.Expanded;
  visible_ = d.Visible;
  clickSelect_ = d.ClickSelect;
  resizable_ = d.Resizable;
  style_ = static_cast<TElSectionStyle>(d.Style);
  width_ = d.Width;
  minWidth_ = d.MinWidth;
  maxWidth_ = d.MaxWidth;
  sortMode_ = static_cast<TElSSortMode>(d.SortMode);
  allowClick_ = d.AllowClick;
  alignment_ = static_cast<TElSAlignment>(d.Alignment);
  if (d.HasUniqueId) uniqueId_ = d.UniqueId;
  index_ = d.Index;
  fieldType_ = static_cast<TElFieldType>(d.FieldType);
  editable_ = d.Editable;
  imageIndex_ = d.ImageIndex;
  pictureAlign_ = static_cast<TElSAlignment>(d.PictureAlign);
  password_ = d.Password;
  parentColor_ = d.ParentColor;
  color_ = d.Color;
  fontColor_ = d.FontColor;
  filterEnabled_ = d.FilterEnabled;
  textLayout_ = static_cast<TTextLayout>(d.TextLayout);
  useMainStyle_ = d.UseMainStyle;
  autoSize_ = d.AutoSize;
  tag_ = d.Tag;
  text_ = AnsiToWide(d.Text);
  fieldName_ = d.FieldName;
  popupMenuName_ = d.PopupMenuName;
  hint_ = d.HintIsWide ? d.Hint : AnsiToWide(d.HintAnsi);
}

}  // namespace morvane
