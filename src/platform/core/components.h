// The object model of the toolkit layer: TObject, TPersistent and TComponent.
//
// A component frees the components it owns when it is freed (last created
// first), removes itself from its owner, and tells every component that asked
// for a free notification that it is going away.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace morvane {

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
};

// Deletes an object given as a base pointer; null is allowed.
inline void FreeAndNil(TObject*& obj) {
  TObject* o = obj;
  obj = nullptr;
  delete o;
}
template <class T>
void FreeAndNil(T*& obj) {
  T* o = obj;
  obj = nullptr;
  delete o;
}

class TPersistent : public TObject {
 public:
  // Copies Source into this object. The default asks Source to assign itself
  // to this object (AssignTo); when neither knows the other, EAssignError.
  virtual void Assign(TPersistent* Source);

 protected:
  virtual void AssignTo(TPersistent* Dest);
  virtual TPersistent* GetOwner() { return nullptr; }
  // Class name shown in the "cannot assign" message.
  virtual std::string ClassName() const { return "TPersistent"; }
};

class TObject;
// The plain event: who fired it.
using TNotifyEvent = std::function<void(TObject* Sender)>;

enum class TOperation { opInsert, opRemove };

enum TComponentStateFlag : uint32_t {
  csLoading = 1u << 0,
  csReading = 1u << 1,
  csWriting = 1u << 2,
  csDestroying = 1u << 3,
  csDesigning = 1u << 4,
  csUpdating = 1u << 5,
};
using TComponentState = uint32_t;

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  virtual void SetName(const std::string& NewName);
  intptr_t Tag() const { return tag_; }
  void SetTag(intptr_t v) { tag_ = v; }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int Index) const;
  // The owned component with that name (case-insensitive), or null.
  TComponent* FindComponent(const std::string& AName) const;

  TComponentState ComponentState() const { return state_; }
  bool HasState(TComponentStateFlag f) const { return (state_ & f) != 0; }
  // Marks the component (and what it owns) as being set up: Loaded runs on EndLoading.
  void BeginLoading();
  void EndLoading();
  void SetDesigning(bool Value);

  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);

  // AComponent will get Notification(this, opRemove) when this component is freed.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  // Sets csDestroying here and in every owned component.
  void Destroying();
  // Frees the owned components now. ~TComponent does this too, but by then a
  // derived class's members are gone and its Notification no longer runs; a
  // class whose owned components reach back into it calls this first in its
  // own destructor.
  void DestroyComponents();

 protected:
  virtual void Loaded();
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  std::string ClassName() const override { return "TComponent"; }

 private:
  void Insert(TComponent* AComponent);
  void Remove(TComponent* AComponent);

  TComponent* owner_ = nullptr;
  std::string name_;
  intptr_t tag_ = 0;
  TComponentState state_ = 0;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
};

}  // namespace morvane
