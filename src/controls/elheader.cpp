#include "controls/elheader.h"

#include <algorithm>
#include <cmath>

#include "controls/eldrawtext.h"
#include "controls/elvclutils.h"
#include "platform/core/sysutils.h"
#include "platform/ui/application.h"
#include "platform/ui/forms.h"
#include "platform/ui/menus.h"

namespace morvane {
namespace {

// The marks and the column-split cursor are the program's resources; a
// program without them draws no marks and keeps the system's split cursor.
struct THeaderArt {
  HBITMAP asc = nullptr, desc = nullptr, point = nullptr;
  THeaderArt() {
    HINSTANCE inst = ::GetModuleHandleA(nullptr);
    asc = static_cast<HBITMAP>(::LoadImageA(inst, "ELHEADERASCBMP", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    desc = static_cast<HBITMAP>(::LoadImageA(inst, "ELHEADERDESCBMP", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    point = static_cast<HBITMAP>(::LoadImageA(inst, "ELHEADERPOINTBMP", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (HCURSOR split = ::LoadCursorA(inst, "CRHSPLIT"); split && Screen) Screen->SetCursors(crHSplit, split);
  }
  ~THeaderArt() {
    for (HBITMAP b : {asc, desc, point})
      if (b) ::DeleteObject(b);
  }
};

THeaderArt& Art() {
  static THeaderArt art;
  return art;
}

}  // namespace

HBITMAP ElHeaderAscBmp() { return Art().asc; }
HBITMAP ElHeaderDescBmp() { return Art().desc; }
HBITMAP ElHeaderPointBmp() { return Art().point; }

TCustomElHeader::TCustomElHeader(TComponent* AOwner) : TElXPThemedControl(AOwner) {
  Art();
  SetControlStyle((ControlStyle() | csOpaque | csClickEvents | csDoubleClicks) & ~csCaptureMouse);
  // Paint messages from the system are drawn off screen and copied at once.
  SetDoubleBuffered(true);
  sections_.reset(CreateSections());
  SetTabStop(false);
  TControl::Font()->OnChange = [this](TObject*) { FontChanged(); };
  const int h = std::abs(TControl::Font()->Height()) + 2 * ::GetSystemMetrics(SM_CYBORDER) + 6;
  SetBounds(Left(), Top(), Width() ? Width() : 200, h);
  SetDragMode(TDragMode::dmManual);
  SetDragCursor(Cursor());
  tracking_ = true;
  allowDrag_ = true;
  resizeOnDrag_ = false;
  imageLink_ = std::make_unique<TChangeLink>();
  imageLink_->OnChange = [this](TObject* s) { ImagesChanged(s); };
  SetColor(clBtnFace);
  SetAlign(TAlign::alTop);
  filterColor_ = clBtnText;
  invertSortArrows_ = false;
  defaultWidth_ = 120;
}

TCustomElHeader::~TCustomElHeader() {
  Destroying();
  // A gesture still running is dropped without events: the owner may be
  // on its way out too.
  EndLine();
  FreeDragImages();
  if (TElXPThemedControl::HandleAllocated() && ::GetCapture() == Handle()) {
    releasing_ = true;
    ::ReleaseCapture();
  }
  RestoreScreenCursor();
  // The lookup box sits on the header's parent, which may outlive the
  // header: it goes with the header, so none of its handlers outlives it.
  FreeLookupBox();
  sections_.reset();
  if (images_) {
    images_->UnRegisterChanges(imageLink_.get());
    images_->RemoveFreeNotification(this);
  }
  imageLink_.reset();
  DestroyComponents();
}

TElHeaderSections* TCustomElHeader::CreateSections() { return new TElHeaderSections(this); }

bool TCustomElHeader::IsLoading() const {
  return HasState(csLoading) || (Owner() && Owner()->HasState(csLoading));
}

// Update bracket -------------------------------------------------------------------

void TCustomElHeader::EndUpdate() {
  if (updateCount_ <= 0) return;
  if (--updateCount_ > 0) return;
  if (sectionDeleted_) {
    sectionDeleted_ = false;
    TriggerSectionDeleteEvent(nullptr);
  }
  if (sectionCreated_) {
    sectionCreated_ = false;
    TriggerSectionCreateEvent(nullptr);
  }
  Update();
}

void TCustomElHeader::Update() {
  if (updateCount_ == 0) TElXPThemedControl::Update();
}

void TCustomElHeader::SetIsDesigning(bool Value) {
  if (IsDesigning() != Value) SetDesigning(Value);
}

// Properties ---------------------------------------------------------------------------

void TCustomElHeader::SetLeftPos(int v) {
  if (v == leftPos_) return;
  leftPos_ = v;
  if (HandleAllocated()) Invalidate();
}

void TCustomElHeader::SetInvertSortArrows(bool v) {
  if (v == invertSortArrows_) return;
  invertSortArrows_ = v;
  if (HandleAllocated()) Invalidate();
}

void TCustomElHeader::SetFlat(bool v) {
  if (v == flat_) return;
  flat_ = v;
  if (HandleAllocated()) AdjustHeight();
  Invalidate();
}

void TCustomElHeader::SetFilterColor(TColor v) {
  if (v == filterColor_) return;
  filterColor_ = v;
  for (int i = 0; i < sections_->Count(); ++i) {
    TElHeaderSection* s = sections_->GetSectionByPos(i);
    if (s->Visible() && s->FilterEnabled() && !s->FilterIsActive()) s->UpdateSection();
  }
}

void TCustomElHeader::SetActiveFilterColor(TColor v) {
  if (v == activeFilterColor_) return;
  activeFilterColor_ = v;
  for (int i = 0; i < sections_->Count(); ++i) {
    TElHeaderSection* s = sections_->GetSectionByPos(i);
    if (s->Visible() && s->FilterEnabled() && s->FilterIsActive()) s->UpdateSection();
  }
}

void TCustomElHeader::SetLockHeight(bool v) {
  if (v == lockHeight_) return;
  lockHeight_ = v;
  if (!v && Parent() && !Parent()->HasState(csLoading)) AdjustHeight();
}

void TCustomElHeader::SetRightAlignedText(bool v) {
  if (v == rightAlignedText_) return;
  rightAlignedText_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomElHeader::SetRightAlignedOrder(bool v) {
  if (v == rightAlignedOrder_) return;
  rightAlignedOrder_ = v;
  if (IsLoading()) return;
  BeginUpdate();
  const int n = sections_->Count();
  for (int i = 0; i < n / 2; ++i) {
    TElHeaderSection* a = sections_->GetSectionByPos(i);
    TElHeaderSection* b = sections_->GetSectionByPos(n - 1 - i);
    sections_->MoveSection(a, n - 1 - i);
    sections_->MoveSection(b, i);
  }
  EndUpdate();
  Invalidate();
}

void TCustomElHeader::SetStickySections(bool v) {
  if (IsLoading()) {
    stickySections_ = v;
    return;
  }
  stickySections_ = v;
  if (v) {
    const int a = ResizableWidth();
    for (int i = 0; i < sections_->Count(); ++i) {
      TElHeaderSection* s = sections_->GetSectionByPos(i);
      if (s->Visible() && s->Resizable())
        s->SetStickyShare(static_cast<float>(s->Width()) / static_cast<float>(a ? a : 1));
      else
        s->SetStickyShare(0);
    }
  }
}

void TCustomElHeader::SetImages(TCustomImageList* v) {
  if (v == images_) return;
  if (images_) {
    images_->UnRegisterChanges(imageLink_.get());
    images_->RemoveFreeNotification(this);
  }
  images_ = v;
  if (images_) {
    images_->RegisterChanges(imageLink_.get());
    images_->FreeNotification(this);
  }
  if (!lockHeight_) AdjustHeight();
  if (HandleAllocated() && !painting_) Invalidate();
}

void TCustomElHeader::ImagesChanged(TObject*) {
  if (painting_) return;
  if (!lockHeight_) AdjustHeight();
  Invalidate();
}

void TCustomElHeader::SetTracking(bool v) {
  if (v == tracking_) return;
  tracking_ = v;
  if (!v && !IsThemeApplied()) {
    hotSection_ = nullptr;
    Invalidate();
  }
}

void TCustomElHeader::SetHint(const std::wstring& v) {
  wideHint_ = v;
  TControl::SetHint(PackWideHint(v));
}

void TCustomElHeader::FontChanged() {
  if (!lockHeight_) AdjustHeight();
  Canvas()->Font()->Assign(TControl::Font());
  if (HandleAllocated()) Invalidate();
}

void TCustomElHeader::Notification(TComponent* AComponent, TOperation Operation) {
  TElXPThemedControl::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove) return;
  if (AComponent == images_) {
    images_ = nullptr;
    if (!lockHeight_) AdjustHeight();
    if (HandleAllocated()) Invalidate();
  }
  if (sections_)
    for (int i = 0; i < sections_->Count(); ++i) {
      TElHeaderSection* s = sections_->GetSectionByPos(i);
      if (s->PopupMenu() == AComponent) s->SetPopupMenu(nullptr);
    }
}

void TCustomElHeader::Loaded() {
  TElXPThemedControl::Loaded();
  if (TCustomForm* form = GetOwnerForm(this)) {
    for (int i = 0; i < sections_->Count(); ++i) {
      TElHeaderSection* s = sections_->GetSectionByPos(i);
      if (s->PopupMenuName().empty()) continue;
      if (auto* menu = dynamic_cast<TPopupMenu*>(form->FindComponent(s->PopupMenuName()))) s->SetPopupMenu(menu);
    }
  }
  SetStickySections(stickySections_);
  if (rightAlignedOrder_) {
    rightAlignedOrder_ = false;
    SetRightAlignedOrder(true);
  }
  AdjustHeight();
}

void TCustomElHeader::CreateParams(TCreateParams& Params) {
  TElXPThemedControl::CreateParams(Params);
  if (rightAlignedText_) Params.ExStyle |= WS_EX_RIGHT | WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR;
}

void TCustomElHeader::CreateWnd() {
  TElXPThemedControl::CreateWnd();
  AdjustHeight();
}

// Geometry and heights -------------------------------------------------------------------

int TCustomElHeader::SectionsWidth() const {
  TElHeaderSection* last = sections_ ? sections_->LastVisibleSection() : nullptr;
  return last ? last->Right() : 0;
}

TElHeaderSection* TCustomElHeader::SectionAt(int X, int Y) const {
  int sum = 0;
  for (int i = 0; i < sections_->Count(); ++i) {
    TElHeaderSection* s = sections_->GetSectionByPos(i);
    if (!s->Visible()) continue;
    sum += s->Width();
    if (X + leftPos_ < sum) return Y >= 0 && Y <= Height() ? s : nullptr;
  }
  return nullptr;
}

RECT TCustomElHeader::SectionRect(TElHeaderSection* Section) const {
  const int l = Section->Left();
  RECT client{};
  if (TElXPThemedControl::HandleAllocated())
    ::GetClientRect(const_cast<TCustomElHeader*>(this)->Handle(), &client);
  else
    client = RECT{0, 0, Width(), Height()};
  return RECT{l, 0, l + Section->Width(), client.bottom};
}

int TCustomElHeader::ImageIndexOf(TElHeaderSection* Section) {
  int index = Section->ImageIndex();
  if (index == -1) TriggerPictureNeeded(Section, index);
  return index;
}

int TCustomElHeader::MeasureSection(TElHeaderSection* Section, int& TextWidth, int& TextHeight) {
  int w = 10;
  if (Section->Expandable() || Section->LookupEnabled()) w += 8;
  w += 12;
  TextWidth = TextHeight = 0;
  if (Section->Style() == ElhsOwnerDraw) {
    POINT size{0, 0};
    TriggerMeasureSectionEvent(Section, size);
    w += size.x;
    TextHeight = size.y;
  } else {
    if (images_) {
      const int index = ImageIndexOf(Section);
      if (index >= 0 && index < images_->Count()) w += images_->Width();
    }
    if (Section->Style() != ElhsPictureOnly) {
      HDC dc = Canvas()->Handle();
      Canvas()->Font()->Assign(TControl::Font());
      HGDIOBJ old = ::SelectObject(dc, Canvas()->Font()->Handle());
      RECT r{0, 0, 0, 0};
      if (Section->Text().empty()) {
        TextHeight = std::abs(Canvas()->Font()->Height());
      } else {
        ElDrawTextW(dc, Section->Text(), r, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
        TextWidth = r.right - r.left;
        TextHeight = r.bottom - r.top;
        w += TextWidth;
      }
      ::SelectObject(dc, old);
    }
  }
  return std::max(w, Section->MinWidth());
}

int TCustomElHeader::NeededHeight() {
  int h = std::max(17, std::abs(TControl::Font()->Height()) + 8);
  if (images_) h = std::max(h, images_->Height() + 4);
  if (!flat_) h += 2;
  return h;
}

void TCustomElHeader::AdjustHeight() {
  if (lockHeight_ || !TElXPThemedControl::HandleAllocated()) return;
  const int need = NeededHeight();
  if (ClientHeight() != need) SetClientHeight(need);
}

void TCustomElHeader::EnsureButtonHeight() {
  bool buttons = false;
  for (int i = 0; i < sections_->Count() && !buttons; ++i) {
    TElHeaderSection* s = sections_->GetSectionByPos(i);
    buttons = s->LookupEnabled() || s->FilterEnabled();
  }
  if (buttons && Height() >= 1 && Height() <= 16) SetHeight(17);
}

void TCustomElHeader::InvalidateRect(int L, int T, int R, int B) {
  if (!TElXPThemedControl::HandleAllocated()) return;
  RECT r{L, T, R, B};
  ::InvalidateRect(Handle(), &r, FALSE);
}

void TCustomElHeader::InvalidateFrom(int Position) {
  if (!TElXPThemedControl::HandleAllocated()) return;
  TElHeaderSection* s = Position >= 0 && Position < sections_->Count() ? sections_->GetSectionByPos(Position) : nullptr;
  const int x = s ? s->Left() - leftPos_ : SectionsWidth() - leftPos_;
  InvalidateRect(std::max(0, x), 0, ClientWidth(), ClientHeight());
}

void TCustomElHeader::InvalidateParent() {
  if (Parent()) Parent()->Invalidate();
}

void TCustomElHeader::RepaintSection(TElHeaderSection* Section) {
  if (Section) Section->UpdateSection();
}

// Sticky sizing ----------------------------------------------------------------------------

int TCustomElHeader::ResizableWidth() const {
  int w = Width();
  for (int i = 0; i < sections_->Count(); ++i) {
    TElHeaderSection* s = sections_->GetSectionByPos(i);
    if (s->Visible() && !s->Resizable()) w -= s->Width();
  }
  return w;
}

void TCustomElHeader::SaveStickyShares() {
  const int a = ResizableWidth();
  for (int i = 0; i < sections_->Count(); ++i) {
    TElHeaderSection* s = sections_->GetSectionByPos(i);
    if (s->Visible() && s->Resizable())
      s->SetStickyShare(a ? static_cast<float>(s->Width()) / static_cast<float>(a) : 0.f);
  }
}

void TCustomElHeader::FitSections(TElHeaderSection* Except) {
  const int cw = ClientWidth();
  const int n = sections_->Count();
  auto at = [&](int i) { return sections_->GetSectionByPos(i); };
  int sw = SectionsWidth();
  // 1. Shrink resizable sections from the right.
  while (sw >= cw && cw > 0) {
    TElHeaderSection* s = nullptr;
    for (int i = n - 1; i >= 0 && !s; --i) {
      TElHeaderSection* c = at(i);
      if (c->Visible() && c->Width() > 0 && c->Resizable() && c != Except) s = c;
    }
    if (!s) break;
    const int need = sw - cw + 1;
    s->StoreWidth(s->Width() >= need ? s->Width() - need : 0);
    sw = SectionsWidth();
  }
  // 2. Then the others, remembering their width.
  while (sw >= cw && cw > 0) {
    TElHeaderSection* s = nullptr;
    for (int i = n - 1; i >= 0 && !s; --i) {
      TElHeaderSection* c = at(i);
      if (c->Visible() && c->Width() >= 1 && (!c->Resizable() || c == Except)) s = c;
    }
    if (!s) break;
    if (s->SavedWidth() == -1) s->SetSavedWidth(s->Width());
    const int need = sw - cw + 1;
    s->StoreWidth(s->Width() >= need ? s->Width() - need : 0);
    sw = SectionsWidth();
  }
  // 3. Give squeezed fixed sections their width back.
  for (int i = n - 1; i >= 0 && sw < cw - 1; --i) {
    TElHeaderSection* s = at(i);
    if (!s->Visible() || s->Resizable() || s->SavedWidth() < 0 || s->Width() >= s->SavedWidth()) continue;
    s->StoreWidth(std::min(s->Width() + cw - sw - 1, s->SavedWidth()));
    sw = SectionsWidth();
    if (s->Width() == s->SavedWidth())
      s->SetSavedWidth(-1);
    else
      break;
  }
  // 4. The last resizable section takes what is left (never below 0).
  for (int i = n - 1; i >= 0; --i) {
    TElHeaderSection* s = at(i);
    if (s->Visible() && s->Resizable() && s != Except) {
      s->StoreWidth(std::max(0, s->Width() + cw - sw - 1));
      break;
    }
  }
}

void TCustomElHeader::Resize() {
  EnsureButtonHeight();
  if (!lockHeight_ && TElXPThemedControl::HandleAllocated()) {
    int want = std::max(ClientHeight(), std::abs(TControl::Font()->Height()) + 6);
    if (images_) want = std::max(std::max(images_->Height(), ClientHeight()), std::abs(TControl::Font()->Height()) + 6);
    if (ClientHeight() != want) AdjustHeight();
  }
  if (stickySections_ && !inOwnResize_ && TElXPThemedControl::HandleAllocated()) {
    inOwnResize_ = true;
    const int cw = ClientWidth();
    if (cw > lastClientWidth_) {
      for (int i = sections_->Count() - 1; i >= 0; --i) {
        TElHeaderSection* s = sections_->GetSectionByPos(i);
        if (s->Visible() && !s->Resizable() && s->SavedWidth() >= 0) {
          s->StoreWidth(std::min(s->SavedWidth(), cw));
          if (s->Width() == s->SavedWidth()) s->SetSavedWidth(-1);
        }
      }
    }
    int rw = ResizableWidth();
    if (rw == 0) rw = 1;
    for (int i = 0; i < sections_->Count(); ++i) {
      TElHeaderSection* s = sections_->GetSectionByPos(i);
      // Fixed sections wider than the header leave no room: never a
      // negative width.
      if (s->Visible() && s->Resizable())
        s->StoreWidth(std::max(0, static_cast<int>(std::lround(s->StickyShare() * rw))));
    }
    FitSections(nullptr);
    lastClientWidth_ = cw;
    inOwnResize_ = false;
    Invalidate();
  }
  TElXPThemedControl::Resize();
}

// Hints ----------------------------------------------------------------------------------------

void TCustomElHeader::HintShow(TMessage& m) {
  auto* info = reinterpret_cast<THintInfo*>(m.LParam);
  m.Result = 0;
  if (!info) return;
  hintSection_ = SectionAt(info->CursorPos.x, info->CursorPos.y);
  std::wstring wide;
  if (hintSection_ && !hintSection_->Hint().empty()) {
    info->HintStr = WideToAnsi(hintSection_->Hint());
    wide = hintSection_->Hint();
  } else {
    wide = wideHint_;
  }
  if (wide.empty()) {
    info->HintStr.clear();
    return;
  }
  std::wstring shortWide = GetShortHintW(wideHint_);
  if (info->HintStr == GetShortHint(TControl::Hint()) && wide == wideHint_) wide = shortWide;
  info->HintStr = PackWideHint(wide);
}

// Events ---------------------------------------------------------------------------------------

void TCustomElHeader::TriggerPictureNeeded(TElHeaderSection* Section, int& Index) {
  Index = -1;
  if (OnPictureNeeded) OnPictureNeeded(this, Section, Index);
}
void TCustomElHeader::TriggerSectionShowHideEvent(TElHeaderSection* Section) {
  if (OnSectionShowHide) OnSectionShowHide(this, Section);
}
void TCustomElHeader::TriggerSectionDeleteEvent(TElHeaderSection* Section) {
  if (OnSectionDelete) OnSectionDelete(this, Section);
}
void TCustomElHeader::TriggerSectionMoveEvent(TElHeaderSection* Section, int OldPos, int NewPos) {
  if (OnSectionMove) OnSectionMove(this, Section, OldPos, NewPos);
}
void TCustomElHeader::TriggerSectionResizingEvent(TElHeaderSection* Section, TElHResizingStates State, int Width) {
  if (OnSectionResizing) OnSectionResizing(this, Section, State, Width);
}
void TCustomElHeader::TriggerSectionResizeEvent(TElHeaderSection* Section) {
  if (OnSectionResize) OnSectionResize(this, Section);
}
void TCustomElHeader::TriggerSectionClickEvent(TElHeaderSection* Section) {
  if (OnSectionClick) OnSectionClick(this, Section);
}
void TCustomElHeader::TriggerSectionDrawEvent(TCanvas* Canvas, TElHeaderSection* Section, RECT R, bool Pressed) {
  if (OnSectionDraw) OnSectionDraw(this, Canvas, Section, R, Pressed);
}
void TCustomElHeader::TriggerSectionChangeEvent(TElHeaderSection* Section, TSectionChangeMode Change) {
  if (OnSectionChange) OnSectionChange(this, Section, Change);
}
void TCustomElHeader::TriggerSectionExpandEvent(TElHeaderSection* Section) {
  if (OnSectionExpand) OnSectionExpand(this, Section);
}
void TCustomElHeader::TriggerSectionCollapseEvent(TElHeaderSection* Section) {
  if (OnSectionCollapse) OnSectionCollapse(this, Section);
}
void TCustomElHeader::TriggerSectionCreateEvent(TElHeaderSection* Section) {
  if (OnSectionCreate) OnSectionCreate(this, Section);
}
void TCustomElHeader::TriggerHeaderLookupEvent(TElHeaderSection* Section, std::string& Text) {
  if (OnHeaderLookup) OnHeaderLookup(this, Section, Text);
}
void TCustomElHeader::TriggerHeaderLookupDoneEvent(TElHeaderSection* Section, const std::string& Text, bool Accepted) {
  if (OnHeaderLookupDone) OnHeaderLookupDone(this, Section, Text, Accepted);
}
void TCustomElHeader::TriggerSectionAutoSizeEvent(TElHeaderSection* Section) {
  if (OnSectionAutoSize) OnSectionAutoSize(this, Section);
}
void TCustomElHeader::TriggerFilterCallEvent(TElHeaderSection* Section) {
  if (OnFilterCall) OnFilterCall(this, Section);
}
void TCustomElHeader::TriggerMeasureSectionEvent(TElHeaderSection* Section, POINT& Size) {
  if (OnMeasureSection) OnMeasureSection(this, Section, Size);
}

}  // namespace morvane
