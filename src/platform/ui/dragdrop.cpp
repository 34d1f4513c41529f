#include "platform/ui/dragdrop.h"

#include <cstdlib>
#include <memory>

#include "platform/ui/application.h"
#include "platform/ui/imglist.h"

namespace morvane {

// One drag at a time: the source control, the object, and where it stands.
class TDragManager {
 public:
  TControl* source = nullptr;
  TDragObject* object = nullptr;
  std::unique_ptr<TDragObject> owned;  // made here, freed here
  bool pending = false;                 // waiting for the threshold
  bool active = false;
  POINT start{};
  int threshold = 5;
  bool accepted = false;
  TDragImageList* images = nullptr;

  void Begin(TControl* c, bool immediate, int th) {
    if (active || pending) return;
    source = c;
    threshold = th < 0 ? GetSystemMetrics(SM_CXDRAG) : th;
    GetCursorPos(&start);
    pending = true;
    c->SetMouseCapture(true);
    if (immediate) Init();
  }

  void Init() {
    pending = false;
    TDragObject* obj = nullptr;
    source->DoStartDrag(obj);
    if (!source) return;  // the start handler ended it
    if (!obj) {
      owned = std::make_unique<TDragControlObject>(source);
      obj = owned.get();
    }
    object = obj;
    active = true;
    accepted = false;
    images = object->GetDragImages();
    if (images) images->BeginDrag(GetDesktopWindow(), start.x, start.y);
    Move(start);
  }

  LRESULT Send(TControl* target, TDragMessage kind, POINT pos) {
    TDragRec rec;
    rec.Pos = pos;
    rec.Source = object;
    rec.Target = target;
    return target->Perform(CM_DRAG, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(&rec));
  }

  static TControl* TargetAt(POINT pos) {
    TWinControl* w = TWinControl::FromHandle(WindowFromPoint(pos));
    if (!w) return nullptr;
    POINT cp = w->ScreenToClient(pos);
    if (TControl* g = w->ControlAtPos(cp, false)) return g;
    return w;
  }

  void Move(POINT pos) {
    if (!active) return;
    object->dragPos_ = pos;
    TControl* t = TargetAt(pos);
    if (t != object->dragTarget_) {
      if (object->dragTarget_) Send(object->dragTarget_, TDragMessage::dmDragLeave, pos);
      object->dragTarget_ = t;
      if (t) accepted = Send(t, TDragMessage::dmDragEnter, pos) != 0;
    }
    if (!active) return;
    accepted = t ? Send(t, TDragMessage::dmDragMove, pos) != 0 : false;
    if (images) images->DragMove(pos.x, pos.y);
    POINT cp = t ? t->ScreenToClient(pos) : pos;
    ::SetCursor(Screen->Cursors(object->GetDragCursor(accepted, cp.x, cp.y)));
  }

  void Done(bool drop) {
    if (pending && !active) {
      pending = false;
      TControl* s = source;
      source = nullptr;
      if (s) s->SetMouseCapture(false);
      return;
    }
    if (!active) return;
    active = false;
    TDragObject* obj = object;
    TControl* target = obj->dragTarget_;
    POINT pos = obj->dragPos_;
    const bool ok = drop && target && accepted;
    if (target) {
      if (ok) {
        obj->dropped_ = true;
        Send(target, TDragMessage::dmDragDrop, pos);
      } else {
        Send(target, TDragMessage::dmDragLeave, pos);
      }
    }
    if (images) images->EndDrag();
    images = nullptr;
    TControl* s = source;
    source = nullptr;
    object = nullptr;
    if (s) s->SetMouseCapture(false);
    POINT tp = target ? target->ScreenToClient(pos) : pos;
    obj->Finished(ok ? target : nullptr, tp.x, tp.y, ok);
    // An object the source supplied belongs to the source from here on.
    owned.reset();
    ::SetCursor(Screen->Cursors(crDefault));
  }

  void Forget(TControl* c) {
    if (source == c) {
      source = nullptr;
      if (active) {
        active = false;
        if (images) images->EndDrag();
        images = nullptr;
        object = nullptr;
        owned.reset();
      }
      pending = false;
    }
    if (object && object->dragTarget_ == c) object->dragTarget_ = nullptr;
  }
};

namespace {
TDragManager& Manager() {
  static TDragManager m;
  return m;
}
}  // namespace

void ForgetDragControl(TControl* c) { Manager().Forget(c); }

void TDragObject::HideDragImage() {
  if (TDragImageList* i = GetDragImages()) i->HideDragImage();
}
void TDragObject::ShowDragImage() {
  if (TDragImageList* i = GetDragImages()) i->ShowDragImage();
}

TCursor TDragControlObject::GetDragCursor(bool Accepted, int X, int Y) {
  return Accepted ? control_->DragCursor() : crNoDrop;
}

void TDragControlObject::Finished(TObject* Target, int X, int Y, bool Accepted) {
  control_->DoEndDrag(Accepted ? Target : nullptr, X, Y);
}

TDragImageList* TDragControlObject::GetDragImages() { return control_->GetDragImages(); }

TDragObject* DragObject() { return Manager().active ? Manager().object : nullptr; }

bool DragManagerHandles(TControl* Control, TMessage& m) {
  TDragManager& d = Manager();
  if (d.source != Control || (!d.pending && !d.active)) return false;
  POINT sp{};
  GetCursorPos(&sp);
  if (m.Msg == WM_MOUSEMOVE) {
    POINT cp{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
    sp = Control->ClientToScreen(cp);
    if (d.pending) {
      if (std::abs(sp.x - d.start.x) >= d.threshold || std::abs(sp.y - d.start.y) >= d.threshold) d.Init();
      return false;  // the control still sees the move that started the drag
    }
    d.Move(sp);
    return true;
  }
  if (m.Msg == WM_LBUTTONUP) {
    if (d.pending) {
      d.Done(false);
      return false;
    }
    POINT cp{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
    d.Move(Control->ClientToScreen(cp));
    d.Done(true);
    return true;
  }
  if (m.Msg == WM_RBUTTONDOWN && d.active) {
    d.Done(false);
    return true;
  }
  return false;
}

void DragMessage(TControl* Control, TMessage& m) {
  auto* rec = reinterpret_cast<TDragRec*>(m.LParam);
  if (!rec || !rec->Source) return;
  POINT cp = Control->ScreenToClient(rec->Pos);
  TObject* src = rec->Source->SourceObject();
  switch (static_cast<TDragMessage>(m.WParam)) {
    case TDragMessage::dmDragEnter:
    case TDragMessage::dmDragLeave:
    case TDragMessage::dmDragMove: {
      bool accept = true;
      TDragState st = static_cast<TDragMessage>(m.WParam) == TDragMessage::dmDragEnter ? TDragState::dsDragEnter
                      : static_cast<TDragMessage>(m.WParam) == TDragMessage::dmDragLeave ? TDragState::dsDragLeave
                                                                                        : TDragState::dsDragMove;
      Control->DragOver(src, cp.x, cp.y, st, accept);
      m.Result = accept ? 1 : 0;
      return;
    }
    case TDragMessage::dmDragDrop:
      Control->DragDrop(src, cp.x, cp.y);
      return;
    default:
      return;
  }
}

void DragTo(POINT ScreenPos) {
  TDragManager& d = Manager();
  if (d.pending) d.Init();
  d.Move(ScreenPos);
}

void DragDone(bool Drop) { Manager().Done(Drop); }

// TControl's share -----------------------------------------------------------------

void TControl::BeginDrag(bool Immediate, int Threshold) { Manager().Begin(this, Immediate, Threshold); }
bool TControl::Dragging() const { return Manager().active && Manager().source == this; }
void TControl::EndDrag(bool Drop) {
  if (Manager().source == this) Manager().Done(Drop);
}
void TControl::DoStartDrag(TDragObject*& DragObject) {
  if (OnStartDrag) OnStartDrag(this, DragObject);
}
void TControl::DoEndDrag(TObject* Target, int X, int Y) {
  if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}
void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  Accept = static_cast<bool>(OnDragOver);
  if (OnDragOver) OnDragOver(this, Source, X, Y, State, Accept);
}
void TControl::DragDrop(TObject* Source, int X, int Y) {
  if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

}  // namespace morvane
