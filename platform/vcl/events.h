#pragma once
// Event properties ("OnClick", "OnChange"): a callable bound to an object and one of its methods.
//
//   class TButton ... { public: TNotifyEvent OnClick; };      // published with cls.Prop(L"OnClick", &TButton::OnClick)
//   Button1->OnClick.Bind(this, &TForm1::Button1Click);       // code
//   OnClick = Button1Click                                     // form resource: found by name among the methods the
//                                                              // form class registers (cls.Method, typinfo.h)
//   if (OnClick) OnClick(this);                                // firing
//
// An event remembers which object and which member function it is bound to, so the form writer can find the
// handler's registered name again and write it back. A plain lambda may be assigned too; such a handler works but
// has no name and is not written.
#include <array>
#include <cstring>
#include <functional>
#include <type_traits>
#include <utility>

#include "platform/rtl/object.h"

namespace vcl {

using rtl::TObject;

// The identity of a member function: the bytes of its member pointer. Two pointers to the same member function
// compare equal this way, which is all the writer needs to find the handler's name.
struct TMethodCode {
  std::array<unsigned char, 2 * sizeof(void*)> Bytes{};
  bool operator==(const TMethodCode&) const = default;

  template <class M>
  static TMethodCode Of(M method) {
    static_assert(std::is_member_function_pointer_v<M>);
    static_assert(sizeof(M) <= sizeof(Bytes), "member pointer larger than expected");
    TMethodCode code;
    std::memcpy(code.Bytes.data(), &method, sizeof(M));
    return code;
  }
};

// What a method property holds, seen without its signature: the bound object and the member's identity.
// Data is nullptr when the event is empty or holds a plain callable.
struct TMethod {
  TObject* Data = nullptr;
  TMethodCode Code{};
  bool HasCode = false;
  bool operator==(const TMethod&) const = default;
};

class TEventBase {
public:
  virtual ~TEventBase() = default;
  virtual bool Assigned() const = 0;
  virtual void Clear() = 0;
  // The object and method the event is bound to (empty for a plain callable).
  const TMethod& Method() const { return method_; }

protected:
  TMethod method_;
};

template <class Sig>
class TEvent;

template <class R, class... A>
class TEvent<R(A...)> final : public TEventBase {
public:
  using Signature = R(A...);

  TEvent() = default;
  TEvent(std::nullptr_t) {}

  // Binds the event to obj's member function; B may be a base of C (a handler inherited from a base form).
  template <class C, class B>
    requires std::is_base_of_v<B, C>
  void Bind(C* obj, R (B::*method)(A...)) {
    if (!obj) {
      Clear();
      return;
    }
    B* target = obj;
    fn_ = [target, method](A... args) -> R { return (target->*method)(std::forward<A>(args)...); };
    method_.Data = obj;
    method_.Code = TMethodCode::Of(method);
    method_.HasCode = true;
  }

  // A plain callable; it has no name, so the form writer skips it.
  template <class F>
    requires(std::is_invocable_r_v<R, F&, A...> && !std::is_same_v<std::decay_t<F>, TEvent>)
  TEvent& operator=(F f) {
    fn_ = std::move(f);
    method_ = {};
    return *this;
  }
  TEvent& operator=(std::nullptr_t) {
    Clear();
    return *this;
  }

  bool Assigned() const override { return static_cast<bool>(fn_); }
  explicit operator bool() const { return Assigned(); }
  void Clear() override {
    fn_ = nullptr;
    method_ = {};
  }

  // Calling an empty event does nothing and answers a default value.
  R operator()(A... args) const {
    if (!fn_) {
      if constexpr (std::is_void_v<R>)
        return;
      else
        return R{};
    }
    return fn_(std::forward<A>(args)...);
  }

private:
  std::function<R(A...)> fn_;
};

using TNotifyEvent = TEvent<void(TObject* Sender)>;

}  // namespace vcl
