#pragma once
// Event adapters: a host event (a click, a key press, a close request) runs a script procedure. Each adapter's entry
// point has one host event signature; it hands the event's values to the procedure's parameters, runs it and copies the
// var arguments back to the host.
//
// The program owns its adapters, while the host's event only points at one. When the program is cleared or destroyed
// first, the event stays bound to a handler that no longer exists; firing it then does nothing.
#include <initializer_list>
#include <memory>

#include "platform/vcl/controls.h"
#include "platform/vcl/forms.h"
#include "script/wz_hostclasses.h"

class TwzEventAdapter : public TwzCustomEvent {
public:
  TwzEventAdapter(rtl::TObject* instance, TwzProcVariable* handler);
  ~TwzEventAdapter() override;
  rtl::String ClassName() const override { return L"TwzEventAdapter"; }

  // How many values the event passes to the handler's parameters.
  virtual int EventParamCount() const = 0;

protected:
  // Refuses a handler that declares more parameters than the event passes (EwzScriptError), then points event at entry
  // when it is an Ev; false otherwise.
  template <class Ev, class Self, class... A>
  bool HookAs(vcl::TEventBase& event, void (Self::*entry)(A...)) {
    auto* e = dynamic_cast<Ev*>(&event);
    if (!e) return false;
    CheckHandler();
    std::shared_ptr<TwzEventAdapter*> alive = FAlive;
    *e = [alive, entry](A... args) {
      if (TwzEventAdapter* self = *alive) (static_cast<Self*>(self)->*entry)(args...);
    };
    return true;
  }

  // Runs the handler with params in its parameters 0, 1 ...; false when it did not run because it is executing already
  // (an event raised by its own handler is dropped).
  bool CallHandler(std::initializer_list<rtl::Variant> params);
  // Parameter index of the handler after the call; false, leaving value alone, when the handler has no such parameter.
  bool ReadBack(int index, rtl::Variant& value) const;

private:
  void CheckHandler() const;

  std::shared_ptr<TwzEventAdapter*> FAlive;
};

class TwzNotifyEvent : public TwzEventAdapter {
public:
  using TwzEventAdapter::TwzEventAdapter;
  rtl::String ClassName() const override { return L"TwzNotifyEvent"; }
  int EventParamCount() const override { return 1; }
  bool Hook(vcl::TEventBase& event) override { return HookAs<vcl::TNotifyEvent>(event, &TwzNotifyEvent::DoEvent); }
  void DoEvent(rtl::TObject* sender);
};

class TwzMouseEvent : public TwzEventAdapter {
public:
  using TwzEventAdapter::TwzEventAdapter;
  rtl::String ClassName() const override { return L"TwzMouseEvent"; }
  int EventParamCount() const override { return 5; }
  bool Hook(vcl::TEventBase& event) override { return HookAs<vcl::TMouseEvent>(event, &TwzMouseEvent::DoEvent); }
  void DoEvent(rtl::TObject* sender, vcl::TMouseButton button, vcl::TShiftState shift, int x, int y);
};

class TwzMouseMoveEvent : public TwzEventAdapter {
public:
  using TwzEventAdapter::TwzEventAdapter;
  rtl::String ClassName() const override { return L"TwzMouseMoveEvent"; }
  int EventParamCount() const override { return 4; }
  bool Hook(vcl::TEventBase& event) override {
    return HookAs<vcl::TMouseMoveEvent>(event, &TwzMouseMoveEvent::DoEvent);
  }
  void DoEvent(rtl::TObject* sender, vcl::TShiftState shift, int x, int y);
};

class TwzKeyEvent : public TwzEventAdapter {
public:
  using TwzEventAdapter::TwzEventAdapter;
  rtl::String ClassName() const override { return L"TwzKeyEvent"; }
  int EventParamCount() const override { return 3; }
  bool Hook(vcl::TEventBase& event) override { return HookAs<vcl::TKeyEvent>(event, &TwzKeyEvent::DoEvent); }
  void DoEvent(rtl::TObject* sender, rtl::Word& key, vcl::TShiftState shift);
};

class TwzKeyPressEvent : public TwzEventAdapter {
public:
  using TwzEventAdapter::TwzEventAdapter;
  rtl::String ClassName() const override { return L"TwzKeyPressEvent"; }
  int EventParamCount() const override { return 2; }
  bool Hook(vcl::TEventBase& event) override { return HookAs<vcl::TKeyPressEvent>(event, &TwzKeyPressEvent::DoEvent); }
  void DoEvent(rtl::TObject* sender, wchar_t& key);
};

class TwzCloseEvent : public TwzEventAdapter {
public:
  using TwzEventAdapter::TwzEventAdapter;
  rtl::String ClassName() const override { return L"TwzCloseEvent"; }
  int EventParamCount() const override { return 2; }
  bool Hook(vcl::TEventBase& event) override { return HookAs<vcl::TCloseEvent>(event, &TwzCloseEvent::DoEvent); }
  void DoEvent(rtl::TObject* sender, vcl::TCloseAction& action);
};

class TwzCloseQueryEvent : public TwzEventAdapter {
public:
  using TwzEventAdapter::TwzEventAdapter;
  rtl::String ClassName() const override { return L"TwzCloseQueryEvent"; }
  int EventParamCount() const override { return 2; }
  bool Hook(vcl::TEventBase& event) override {
    return HookAs<vcl::TCloseQueryEvent>(event, &TwzCloseQueryEvent::DoEvent);
  }
  void DoEvent(rtl::TObject* sender, bool& canClose);
};

class TwzCanResizeEvent : public TwzEventAdapter {
public:
  using TwzEventAdapter::TwzEventAdapter;
  rtl::String ClassName() const override { return L"TwzCanResizeEvent"; }
  int EventParamCount() const override { return 4; }
  bool Hook(vcl::TEventBase& event) override {
    return HookAs<vcl::TCanResizeEvent>(event, &TwzCanResizeEvent::DoEvent);
  }
  void DoEvent(rtl::TObject* sender, int& newWidth, int& newHeight, bool& resize);
};
