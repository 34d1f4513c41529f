// The header's section collection: numbering, insertion, deletion and
// moving, and the "Data" and SectionsOrder forms.
#include "controls/elheadersections.h"

#include <algorithm>
#include <vector>

#include "controls/elresources.h"
#include "controls/header_data_codec.h"
#include "controls/stream_codec.h"
#include "platform/core/streams.h"
#include "platform/core/sysutils.h"

namespace morvane {

namespace {


TElHeaderSection* At(const TElList& l, int i) {
  return static_cast<TElHeaderSection*>(static_cast<TObject*>(l.List()[i]));
}

}  // namespace

TElHeaderSections::TElHeaderSections(IElHeaderSectionsOwner* AOwner) : header_(AOwner) {}

TElHeaderSections::~TElHeaderSections() { Clear(); }

TPersistent* TElHeaderSections::GetOwner() { return header_ ? header_->HeaderPersistent() : nullptr; }


TElHeaderSection* TElHeaderSections::CreateSection() { return new TElHeaderSection(header_, this); }

TElHeaderSection* TElHeaderSections::GetSection(int Index) const {
  for (int i = 0; i < list_.Count(); ++i)
    if (At(list_, i)->index_ == Index) return At(list_, i);
  return nullptr;
}

TElHeaderSection* TElHeaderSections::GetSectionById(int32_t Id) const {
  for (int i = 0; i < list_.Count(); ++i)
    if (At(list_, i)->uniqueId_ == Id) return At(list_, i);
  return nullptr;
}

TElHeaderSection* TElHeaderSections::GetSectionByPos(int Position) const {
  return static_cast<TElHeaderSection*>(static_cast<TObject*>(list_.Get(Position)));
}

int TElHeaderSections::LowestFreeIndex() const {
  std::vector<bool> used(static_cast<size_t>(list_.Count()) + 1, false);
  for (int i = 0; i < list_.Count(); ++i) {
    const int x = At(list_, i)->index_;
    if (x >= 0 && x < static_cast<int>(used.size())) used[static_cast<size_t>(x)] = true;
  }
  int n = 0;
  while (used[static_cast<size_t>(n)]) ++n;
  return n;
}

int32_t TElHeaderSections::FreeUniqueId() const {
  int32_t id = 1;
  while (GetSectionById(id)) ++id;
  return id;
}

TElHeaderSection* TElHeaderSections::AddSection() { return InsertSection(Count()); }

TElHeaderSection* TElHeaderSections::InsertSection(int Position) {
  THeaderUpdate bracket(header_);
  if (Position < 0 || Position > list_.Count()) list_.Insert(Position, nullptr);  // raises the list's error
  TElHeaderSection* s = CreateSection();
  s->index_ = LowestFreeIndex();
  s->uniqueId_ = FreeUniqueId();
  list_.Insert(Position, static_cast<TObject*>(s));
  if (header_) {
    header_->InvalidateFrom(Position);
    header_->SectionCreated();
  }
  return s;
}

void TElHeaderSections::DeleteSection(TElHeaderSection* Section) {
  THeaderUpdate bracket(header_);
  if (!Section || list_.IndexOf(static_cast<TObject*>(Section)) < 0)
    throw EElHeaderError(ElResString(elres::SInvalidSection));
  list_.Remove(static_cast<TObject*>(Section));
  for (int i = 0; i < list_.Count(); ++i) At(list_, i)->index_ = i;
  if (header_) {
    header_->SectionLeaving(Section);
    header_->SectionDeleted();
  }
  delete Section;
  if (header_ && header_->HandleAllocated()) header_->Invalidate();
}

void TElHeaderSections::MoveSection(TElHeaderSection* Section, int NewPosition) {
  THeaderUpdate bracket(header_);
  const int old = list_.IndexOf(static_cast<TObject*>(Section));
  if (old < 0) throw EElHeaderError(ElResString(elres::SInvalidSection));
  list_.Move(old, NewPosition);
  if (header_) {
    header_->TriggerSectionMoveEvent(Section, old, NewPosition);
    if (header_->HandleAllocated()) header_->Invalidate();
  }
}

void TElHeaderSections::Clear() {
  // Take the sections out first: a section being freed looks through the
  // list for its children, and must not meet sections already freed.
  std::vector<TElHeaderSection*> all;
  all.reserve(static_cast<size_t>(list_.Count()));
  for (int i = 0; i < list_.Count(); ++i) all.push_back(At(list_, i));
  list_.SetCount(0);
  list_.SetCapacity(0);
  for (TElHeaderSection* s : all) {
    if (header_) header_->SectionLeaving(s);
    s->collection_ = nullptr;
    s->parent_ = nullptr;
  }
  for (TElHeaderSection* s : all) delete s;
}

TElHeaderSection* TElHeaderSections::PrevVisibleSection(TElHeaderSection* Section) const {
  const int pos = list_.IndexOf(static_cast<TObject*>(Section));
  for (int i = pos - 1; i >= 0; --i)
    if (At(list_, i)->Visible()) return At(list_, i);
  return nullptr;
}

TElHeaderSection* TElHeaderSections::LastVisibleSection() const {
  if (list_.Count() == 0) return nullptr;
  TElHeaderSection* last = At(list_, list_.Count() - 1);
  return last->Visible() ? last : PrevVisibleSection(last);
}

void TElHeaderSections::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TElHeaderSections*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  // Deleting the own sections first would leave nothing to copy.
  if (src == this) return;
  THeaderUpdate bracket(header_);
  while (list_.Count() > 0) {
    TElHeaderSection* s = GetSection(0);
    DeleteSection(s ? s : At(list_, 0));
  }
  const int n = src->Count();
  for (int i = 0; i < n; ++i) AddSection()->Assign(src->GetSectionByPos(i));
  for (int i = 0; i < n; ++i) {
    TElHeaderSection* mine = At(list_, i);
    const TElHeaderSection* theirs = src->GetSectionByPos(i);
    mine->index_ = theirs->index_;
    mine->uniqueId_ = theirs->uniqueId_;
  }
  // Parents by Index once every section has its number; during the copy
  // above the numbers were still the fresh ones.
  for (int i = 0; i < n; ++i) {
    TElHeaderSection* mine = At(list_, i);
    const TElHeaderSection* theirs = src->GetSectionByPos(i);
    mine->parent_ = nullptr;
    if (theirs->parent_) mine->StoreParent(GetSection(theirs->parent_->index_));
  }
  if (header_) {
    header_->SaveStickyShares();
    header_->Invalidate();
  }
}

void TElHeaderSections::RenumberIfBroken() {
  const int n = list_.Count();
  std::vector<bool> seen(static_cast<size_t>(n), false);
  bool ok = true;
  for (int i = 0; i < n && ok; ++i) {
    const int x = At(list_, i)->index_;
    if (x < 0 || x >= n || seen[static_cast<size_t>(x)])
      ok = false;
    else
      seen[static_cast<size_t>(x)] = true;
  }
  if (!ok)
    for (int i = 0; i < n; ++i) At(list_, i)->index_ = i;
}

void TElHeaderSections::SaveToStream(TStream& Stream) const {
  std::vector<elcodec::THeaderSectionData> data(static_cast<size_t>(list_.Count()));
  for (int i = 0; i < list_.Count(); ++i) At(list_, i)->ToData(data[static_cast<size_t>(i)]);
  std::string bytes;
  elcodec::EncodeHeaderData(bytes, data);
  Stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TElHeaderSections::LoadFromStream(TStream& Stream) {
  const int64_t start = Stream.Position();
  const int64_t size = Stream.Size() - start;
  std::string bytes(static_cast<size_t>(std::max<int64_t>(size, 0)), '\0');
  if (!bytes.empty()) bytes.resize(static_cast<size_t>(Stream.Read(bytes.data(), static_cast<int64_t>(bytes.size()))));

  // What a new section holds, for the fields an older version lacks.
  elcodec::THeaderSectionData defaults;
  {
    TElHeaderSection fresh(header_, nullptr);
    fresh.ToData(defaults);
  }
  const elcodec::THeaderData data = elcodec::DecodeHeaderData(
      elcodec::TBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), defaults);
  Stream.SetPosition(start + static_cast<int64_t>(data.Consumed));
  // Without even a version the sections stay as they are.
  if (bytes.size() < 4) throw EReadError(ElResString(elres::SStreamReadError));

  Clear();
  for (const elcodec::THeaderSectionData& d : data.Sections) AddSection()->FromData(d);
  if (data.HasParents) {
    // Resolved by the stored numbers, through the cycle check.
    for (int i = 0; i < list_.Count(); ++i) {
      TElHeaderSection* s = At(list_, i);
      if (s->loadParentIndex_ != -1) s->StoreParent(GetSection(s->loadParentIndex_));
    }
  }
  // The tree indexes column texts by these numbers: they must stay a
  // permutation of 0..Count-1 whatever the stream said.
  RenumberIfBroken();
  if (data.Truncated) throw EReadError(ElResString(elres::SStreamReadError));
  if (header_) {
    header_->AdjustHeight();
    if (header_->HandleAllocated()) header_->Invalidate();
  }
}

std::string TElHeaderSections::SectionsOrder() const {
  std::string r;
  for (int i = 0; i < list_.Count(); ++i) {
    const TElHeaderSection* s = At(list_, i);
    r += "i" + std::to_string(s->index_) + ":w" + std::to_string(s->width_) + ":v" + (s->Visible() ? "t," : "f,");
  }
  return r;
}

void TElHeaderSections::SetSectionsOrder(const std::string& Value) {
  if (header_ && (header_->IsDesigning() || header_->IsLoading())) return;
  std::string s = Value;
  // The number between the leading letter and the next ":"; the text up to
  // and including that ":" is consumed.
  auto takeNumber = [&s]() {
    const size_t colon = s.find(':');
    const std::string digits = colon == std::string::npos || colon < 1 ? std::string() : s.substr(1, colon - 1);
    if (colon != std::string::npos) s.erase(0, colon + 1);
    return StrToInt(digits);
  };
  auto drop = [&s](size_t n) { s.erase(0, std::min(n, s.size())); };
  int p = 0;
  while (!s.empty()) {
    const int index = takeNumber();
    TElHeaderSection* section = GetSection(index);
    // An entry past the last position (a number listed twice) is skipped
    // like one for a section that does not exist.
    if (!section || p >= Count()) {
      const size_t colon = s.find(':');
      if (colon != std::string::npos) s.erase(0, colon + 1);
      drop(3);
      continue;
    }
    MoveSection(section, p);
    section->SetWidth(takeNumber());
    section->SetVisible(!(s.compare(0, 3, "vf,") == 0 || s.compare(0, 3, "vf;") == 0));
    drop(3);
    ++p;
  }
}

}  // namespace morvane
