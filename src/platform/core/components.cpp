#include "platform/core/components.h"

#include <algorithm>

#include "platform/core/exceptions.h"

namespace morvane {

namespace {
bool SameTextAscii(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
    if (x != y) return false;
  }
  return true;
}
}  // namespace

void TPersistent::Assign(TPersistent* Source) {
  if (Source) {
    Source->AssignTo(this);
    return;
  }
  AssignTo(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) {
  const std::string src = Dest ? ClassName() : std::string("nil");
  const std::string dst = Dest ? Dest->ClassName() : ClassName();
  throw EAssignError("Cannot assign a " + src + " to a " + dst);
}

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Tell everyone who asked; each may drop its pointer to us.
  while (!freeNotifies_.empty()) {
    TComponent* c = freeNotifies_.back();
    freeNotifies_.pop_back();
    auto& back = c->freeNotifies_;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
    c->Notification(this, TOperation::opRemove);
  }
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::DestroyComponents() {
  Destroying();
  // Owned components go last-created first. Each removes itself from us.
  while (!components_.empty()) {
    TComponent* c = components_.back();
    delete c;
    // A component that failed to remove itself must not be freed twice.
    if (!components_.empty() && components_.back() == c) components_.pop_back();
  }
}

void TComponent::SetName(const std::string& NewName) {
  if (NewName == name_) return;
  if (!NewName.empty() && owner_) {
    TComponent* other = owner_->FindComponent(NewName);
    if (other && other != this) throw EComponentError("A component named " + NewName + " already exists");
  }
  name_ = NewName;
}

TComponent* TComponent::Components(int Index) const {
  if (Index < 0 || Index >= ComponentCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return components_[static_cast<size_t>(Index)];
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameTextAscii(c->name_, AName)) return c;
  return nullptr;
}

void TComponent::BeginLoading() {
  state_ |= csLoading;
  for (TComponent* c : components_) c->BeginLoading();
}

void TComponent::EndLoading() {
  for (TComponent* c : components_) c->EndLoading();
  if (state_ & csLoading) {
    state_ &= ~static_cast<uint32_t>(csLoading);
    Loaded();
  }
}

void TComponent::SetDesigning(bool Value) {
  if (Value) state_ |= csDesigning; else state_ &= ~static_cast<uint32_t>(csDesigning);
}

void TComponent::Loaded() {}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->owner_ == this) return;
  if (AComponent->owner_) AComponent->owner_->RemoveComponent(AComponent);
  Insert(AComponent);
  Notification(AComponent, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->owner_ != this) return;
  Notification(AComponent, TOperation::opRemove);
  Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent) {
  components_.push_back(AComponent);
  AComponent->owner_ = this;
}

void TComponent::Remove(TComponent* AComponent) {
  components_.erase(std::remove(components_.begin(), components_.end(), AComponent), components_.end());
  AComponent->owner_ = nullptr;
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), AComponent) == freeNotifies_.end())
    freeNotifies_.push_back(AComponent);
  auto& back = AComponent->freeNotifies_;
  if (std::find(back.begin(), back.end(), this) == back.end()) back.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (!AComponent) return;
  freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), AComponent), freeNotifies_.end());
  auto& back = AComponent->freeNotifies_;
  back.erase(std::remove(back.begin(), back.end(), this), back.end());
}

void TComponent::Destroying() {
  if (state_ & csDestroying) return;
  state_ |= csDestroying;
  for (TComponent* c : components_) c->Destroying();
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == TOperation::opRemove && AComponent) {
    // Forget it as a free-notification partner too.
    freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), AComponent), freeNotifies_.end());
  }
  for (TComponent* c : components_) {
    if (c != AComponent) c->Notification(AComponent, Operation);
  }
}

}  // namespace morvane
