#include "script/wz_events.h"

#include "platform/rtl/strings.h"

using rtl::String;
using rtl::Variant;

namespace {

// The shift state as scripts see it: the low byte of the set.
Variant ShiftValue(vcl::TShiftState shift) { return Variant(static_cast<int>(shift.Bits() & 0xFF)); }

}  // namespace

TwzEventAdapter::TwzEventAdapter(rtl::TObject* instance, TwzProcVariable* handler)
    : TwzCustomEvent(instance, handler), FAlive(std::make_shared<TwzEventAdapter*>(this)) {}

TwzEventAdapter::~TwzEventAdapter() { *FAlive = nullptr; }

void TwzEventAdapter::CheckHandler() const {
  if (FHandler && FHandler->Count() > EventParamCount())
    throw EwzScriptError(L"Event handler '" + FHandler->Name() + L"' declares " + rtl::IntToStr(FHandler->Count()) +
                         L" parameters; the event passes " + rtl::IntToStr(EventParamCount()));
}

bool TwzEventAdapter::CallHandler(std::initializer_list<Variant> params) {
  if (!FHandler || FHandler->Executing()) return false;
  // Checked again here: the handler's declaration may have changed since the event was hooked (a recompile).
  CheckHandler();
  int i = 0;
  for (const Variant& value : params) {
    if (i >= FHandler->Count()) break;
    FHandler->Params(i++)->SetValue(value);
  }
  FHandler->GetValue();
  return true;
}

bool TwzEventAdapter::ReadBack(int index, Variant& value) const {
  if (!FHandler || index >= FHandler->Count()) return false;
  value = FHandler->Params(index)->GetValue();
  return true;
}

void TwzNotifyEvent::DoEvent(rtl::TObject* sender) { CallHandler({Variant::FromObject(sender)}); }

void TwzMouseEvent::DoEvent(rtl::TObject* sender, vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) {
  CallHandler(
      {Variant::FromObject(sender), Variant(static_cast<int>(button)), ShiftValue(shift), Variant(x), Variant(y)});
}

void TwzMouseMoveEvent::DoEvent(rtl::TObject* sender, vcl::TShiftState shift, int x, int y) {
  CallHandler({Variant::FromObject(sender), ShiftValue(shift), Variant(x), Variant(y)});
}

void TwzKeyEvent::DoEvent(rtl::TObject* sender, rtl::Word& key, vcl::TShiftState shift) {
  if (!CallHandler({Variant::FromObject(sender), Variant(static_cast<int>(key)), ShiftValue(shift)})) return;
  Variant v;
  if (ReadBack(1, v)) key = static_cast<rtl::Word>(v.AsInteger());
}

void TwzKeyPressEvent::DoEvent(rtl::TObject* sender, wchar_t& key) {
  if (!CallHandler({Variant::FromObject(sender), Variant(key)})) return;
  Variant v;
  if (!ReadBack(1, v)) return;
  // An emptied key gives no character to copy back; the host's key stays.
  const String text = v.IsNull() ? String() : v.AsString();
  if (!text.empty()) key = text[0];
}

void TwzCloseEvent::DoEvent(rtl::TObject* sender, vcl::TCloseAction& action) {
  if (!CallHandler({Variant::FromObject(sender), Variant(static_cast<int>(action))})) return;
  Variant v;
  if (!ReadBack(1, v)) return;
  const int ordinal = v.AsInteger();
  // A number outside the enumeration is no close action the form knows.
  if (ordinal < static_cast<int>(vcl::caNone) || ordinal > static_cast<int>(vcl::caMinimize))
    throw EwzScriptError(L"Close action out of range: " + rtl::IntToStr(ordinal));
  action = static_cast<vcl::TCloseAction>(ordinal);
}

void TwzCloseQueryEvent::DoEvent(rtl::TObject* sender, bool& canClose) {
  if (!CallHandler({Variant::FromObject(sender), Variant(canClose)})) return;
  Variant v;
  if (ReadBack(1, v)) canClose = v.AsBoolean();
}

void TwzCanResizeEvent::DoEvent(rtl::TObject* sender, int& newWidth, int& newHeight, bool& resize) {
  if (!CallHandler({Variant::FromObject(sender), Variant(newWidth), Variant(newHeight), Variant(resize)})) return;
  Variant v;
  if (ReadBack(1, v)) newWidth = v.AsInteger();
  if (ReadBack(2, v)) newHeight = v.AsInteger();
  if (ReadBack(3, v)) resize = v.AsBoolean();
}
