// A method pointer that can be compared: an object and one of its member
// functions (or a plain function), called like a function.
//
// Events are std::function members; a std::function cannot say whether it
// holds the same method as another, which a chain of window procedures needs
// (a hook puts its own method in and, when it is removed, restores the one it
// found, but only if nobody replaced it meanwhile). TDelegate is that kind of
// method pointer: two delegates are equal when they call the same member
// function on the same object, or the same plain function.
//
//   using TWndMethod = TDelegate<void(TMessage&)>;
//   TWndMethod m(this, &TMyControl::WndProc);
//   if (Control->WindowProc() == m) ...
#pragma once

#include <cstring>
#include <type_traits>
#include <utility>

namespace morvane {

template <class Signature>
class TDelegate;

template <class R, class... Args>
class TDelegate<R(Args...)> {
 public:
  TDelegate() = default;
  TDelegate(std::nullptr_t) {}

  // Object may be of a class derived from C; the delegate holds it as a C.
  template <class O, class C, class = std::enable_if_t<std::is_convertible_v<O*, C*>>>
  TDelegate(O* Object, R (C::*Method)(Args...)) {
    if (Object && Method) Bind<C, R (C::*)(Args...)>(static_cast<C*>(Object), Method, &CallMember<C, R (C::*)(Args...)>);
  }
  template <class O, class C, class = std::enable_if_t<std::is_convertible_v<const O*, const C*>>>
  TDelegate(const O* Object, R (C::*Method)(Args...) const) {
    if (Object && Method)
      Bind<const C, R (C::*)(Args...) const>(static_cast<const C*>(Object), Method,
                                             &CallMember<const C, R (C::*)(Args...) const>);
  }
  TDelegate(R (*Function)(Args...)) {
    if (Function) Bind<void, R (*)(Args...)>(nullptr, Function, &CallFunction);
  }

  // Calls the method. An empty delegate is skipped: nothing runs and a
  // result is value-initialised.
  R operator()(Args... args) const {
    if constexpr (std::is_void_v<R> || std::is_default_constructible_v<R>) {
      if (!call_) return R();
    }
    return call_(object_, method_, std::forward<Args>(args)...);
  }

  explicit operator bool() const { return call_ != nullptr; }
  // The object the method is called on (null for a plain function or when empty).
  void* Object() const { return object_; }

  // Same object, same member function (the same class's, compared by its
  // pointer's bytes), or the same plain function. Empty delegates are equal.
  friend bool operator==(const TDelegate& a, const TDelegate& b) {
    return a.call_ == b.call_ && a.object_ == b.object_ && std::memcmp(a.method_, b.method_, sizeof a.method_) == 0;
  }
  friend bool operator!=(const TDelegate& a, const TDelegate& b) { return !(a == b); }

 private:
  // A member function pointer is at most two words in the Itanium ABI that
  // mingw's g++ uses (function or vtable offset, this adjustment).
  static constexpr std::size_t kMethodSize = 2 * sizeof(void*);
  using TCall = R (*)(void* object, const unsigned char* method, Args&&... args);

  template <class C, class M>
  void Bind(C* object, M method, TCall call) {
    static_assert(sizeof(M) <= kMethodSize, "member function pointer too large");
    object_ = const_cast<void*>(static_cast<const void*>(object));
    std::memcpy(method_, &method, sizeof(M));
    call_ = call;
  }

  template <class C, class M>
  static R CallMember(void* object, const unsigned char* method, Args&&... args) {
    M m;
    std::memcpy(&m, method, sizeof(M));
    return (static_cast<C*>(object)->*m)(std::forward<Args>(args)...);
  }
  static R CallFunction(void*, const unsigned char* method, Args&&... args) {
    R (*f)(Args...);
    std::memcpy(&f, method, sizeof f);
    return f(std::forward<Args>(args)...);
  }

  void* object_ = nullptr;
  unsigned char method_[kMethodSize] = {};
  TCall call_ = nullptr;
};

}  // namespace morvane
