// Late binding and event adapters, end to end: ZuvizaVuruze programs that drive automation objects by member name (a
// recording stand-in object and the dictionary the system registers) and script procedures that handle host events.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/ole/oleauto.h"
#include "platform/rtl/win.h"
#include <oleauto.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/typinfo.h"
#include "script/wz_classes.h"
#include "script/wz_events.h"
#include "script/wz_hostclasses.h"
#include "script/wz_script.h"

using rtl::String;
using rtl::Variant;

namespace wzlatetest {

class TLateEventProbe : public rtl::TPersistent {
  VCL_CLASS(TLateEventProbe, rtl::TPersistent)
public:
  vcl::TNotifyEvent OnChange;
  vcl::TKeyPressEvent OnKeyPress;
  vcl::TKeyEvent OnKeyDown;
  vcl::TCloseQueryEvent OnCloseQuery;
  vcl::TCloseEvent OnClose;
  vcl::TCanResizeEvent OnCanResize;
  vcl::TMouseEvent OnMouseDown;
};

VCL_REGISTER(TLateEventProbe) {
  cls.Prop(L"OnChange", &TLateEventProbe::OnChange);
  cls.Prop(L"OnKeyPress", &TLateEventProbe::OnKeyPress);
  cls.Prop(L"OnKeyDown", &TLateEventProbe::OnKeyDown);
  cls.Prop(L"OnCloseQuery", &TLateEventProbe::OnCloseQuery);
  cls.Prop(L"OnClose", &TLateEventProbe::OnClose);
  cls.Prop(L"OnCanResize", &TLateEventProbe::OnCanResize);
  cls.Prop(L"OnMouseDown", &TLateEventProbe::OnMouseDown);
}

}  // namespace wzlatetest

using wzlatetest::TLateEventProbe;

namespace {

// An automation object that records every call: the flags, the named arguments and the argument block as it arrives.
// "Echo" answers its arguments in block order, "Fail" raises with details, and any other name is unknown.
class TRecordingDispatch : public IDispatch {
public:
  struct Call {
    String Member;
    WORD Flags = 0;
    UINT NamedCount = 0;
    DISPID Named = 0;
    bool WantsResult = false;
    std::vector<Variant> Block;
  };
  std::vector<Call> Calls;
  int NameLookups = 0;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs_; }  // lives on the test's stack
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    ++NameLookups;
    if (count != 1) return E_INVALIDARG;
    const String name = names[0];
    for (size_t i = 0; i < std::size(kMembers); ++i)
      if (rtl::SameText(name, kMembers[i])) {
        ids[0] = static_cast<DISPID>(i + 1);
        return S_OK;
      }
    ids[0] = 12345;  // what an unknown name must never lead to
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* info, UINT*) override {
    if (id < 1 || id > static_cast<DISPID>(std::size(kMembers))) return DISP_E_MEMBERNOTFOUND;
    Call call;
    call.Member = kMembers[id - 1];
    call.Flags = flags;
    call.NamedCount = params->cNamedArgs;
    call.Named = params->cNamedArgs ? params->rgdispidNamedArgs[0] : 0;
    call.WantsResult = result != nullptr;
    for (UINT i = 0; i < params->cArgs; ++i) call.Block.push_back(rtl::OleToVariant(params->rgvarg[i]));
    Calls.push_back(call);
    if (call.Member == L"Fail") {
      info->bstrSource = SysAllocString(L"Probe");
      info->bstrDescription = SysAllocString(L"it broke");
      return DISP_E_EXCEPTION;
    }
    if (call.Member == L"Echo" && result) {
      String text;
      for (const Variant& v : call.Block) text += rtl::VarToStr(v) + L",";
      rtl::VariantToOle(Variant(text), *result);
    }
    return S_OK;
  }

private:
  static constexpr const wchar_t* kMembers[] = {L"Quit", L"Visible", L"Echo", L"Fail"};
  ULONG refs_ = 1;
};

// A program with what these scripts need, registered by the host.
struct TLateHost {
  TLateHost() {
    script.SetAddedBy(this);
    for (auto [name, typ] : {std::pair{L"Integer", fvtInt},
                             {L"Boolean", fvtBool},
                             {L"Char", fvtChar},
                             {L"String", fvtString},
                             {L"Variant", fvtVariant}})
      script.AddType(name, typ);
    script.AddConst(L"True", L"Boolean", Variant(true));
    script.AddConst(L"False", L"Boolean", Variant(false));
    script.AddVariable(L"ExceptionClassName", L"String", Variant(String()));
    script.AddVariable(L"ExceptionMessage", L"String", Variant(String()));
    script.Add(L"__StringHelper", new TwzStringHelper);
    script.AddClass(vcl::GetClass(L"TObject"), L"");
    script.AddMethod(L"procedure Print(v: Variant)",
                     [this](rtl::TObject*, const vcl::TClassInfo*, const String&, TwzMethodHelper* caller) {
                       out += rtl::VarToStr(caller->GetVParam(0)) + L";";
                       return Variant::Null();
                     });
    script.AddMethod(L"procedure Fail(msg: String)",
                     [](rtl::TObject*, const vcl::TClassInfo*, const String&, TwzMethodHelper* caller) -> Variant {
                       throw rtl::EConvertError(caller->GetVParam(0).AsString());
                     });
    script.AddMethod(L"function CreateOleObject(ClassName: String): Variant",
                     [](rtl::TObject*, const vcl::TClassInfo*, const String&, TwzMethodHelper* caller) {
                       return ole::CreateOleObject(caller->GetVParam(0).AsString());
                     });
    script.SetAddedBy(nullptr);
  }

  // Compiles and runs; what the program printed, or the compile error.
  String RunScript(const String& text) {
    out.clear();
    script.ClearItems(nullptr);
    script.SetText(text);
    if (!script.Compile()) return L"compile error: " + script.ErrorMsg();
    script.Execute();
    return out;
  }

  TwzScript script;
  String out;
};

class ScriptLateBinding : public ::testing::Test, public TLateHost {};

// --- automation objects ---

class ScriptAutomationCalls : public ScriptLateBinding {
protected:
  ScriptAutomationCalls() {
    script.SetAddedBy(this);
    script.AddVariable(L"Obj", L"Variant", Variant(static_cast<IDispatch*>(&recorder)));
    script.SetAddedBy(nullptr);
  }
  TRecordingDispatch recorder;
};

TEST_F(ScriptAutomationCalls, FlagsNamedArgumentsAndArgumentOrder) {
  EXPECT_EQ(RunScript(L"var x: Variant; begin Obj.Quit; x := Obj.Quit; "
                      L"Obj.Visible := True; Obj.Visible := Obj; "
                      L"Print(Obj.Echo(1, 'two', 3)) end."),
            L"3,two,1,;");
  ASSERT_EQ(recorder.Calls.size(), 5u);
  const auto& statement = recorder.Calls[0];
  EXPECT_EQ(statement.Flags, DISPATCH_METHOD) << "a call statement asks for no result";
  EXPECT_FALSE(statement.WantsResult);
  const auto& read = recorder.Calls[1];
  EXPECT_EQ(read.Flags, DISPATCH_METHOD | DISPATCH_PROPERTYGET) << "a read may be a method or a property";
  EXPECT_TRUE(read.WantsResult);
  const auto& put = recorder.Calls[2];
  EXPECT_EQ(put.Flags, DISPATCH_PROPERTYPUT);
  EXPECT_EQ(put.NamedCount, 1u);
  EXPECT_EQ(put.Named, DISPID_PROPERTYPUT);
  ASSERT_EQ(put.Block.size(), 1u);
  EXPECT_TRUE(put.Block[0].AsBoolean());
  const auto& putRef = recorder.Calls[3];
  EXPECT_EQ(putRef.Flags, DISPATCH_PROPERTYPUTREF) << "an automation object is put by reference";
  EXPECT_EQ(putRef.Named, DISPID_PROPERTYPUT);
  // The argument block holds the last script argument first.
  ASSERT_EQ(recorder.Calls[4].Block.size(), 3u);
  EXPECT_EQ(recorder.Calls[4].Block[0].AsInteger(), 3);
  EXPECT_EQ(recorder.Calls[4].Block[2].AsInteger(), 1);
}

TEST_F(ScriptAutomationCalls, ErrorsNameTheMemberAndTheObjectsDetails) {
  script.SetText(L"begin Obj.Fail end.");
  ASSERT_TRUE(script.Compile()) << rtl::StringToUTF8(script.ErrorMsg());
  try {
    script.Execute();
    FAIL() << "the object raised";
  } catch (const rtl::Exception& e) {
    EXPECT_EQ(e.ClassName(), L"Exception");
    EXPECT_EQ(e.Message(), L"OLE error 80020009: Fail: " + ole::SysErrorMessage(static_cast<long>(DISP_E_EXCEPTION)) +
                               L"\r\nSource        ::  Probe\r\nDescription ::  it broke");
  }

  // An unknown name is refused before anything is invoked, and a script can catch it.
  recorder.Calls.clear();
  EXPECT_EQ(RunScript(L"begin try Obj.Launch(1) except Print(ExceptionMessage) end end."),
            L"OLE error 80020006: Launch: " + ole::SysErrorMessage(static_cast<long>(DISP_E_UNKNOWNNAME)) + L";");
  EXPECT_TRUE(recorder.Calls.empty());
  EXPECT_GT(recorder.NameLookups, 0);
}

TEST_F(ScriptAutomationCalls, ArgumentListsLongerThanTheBlockAreRefused) {
  String args = L"0";
  for (int i = 1; i <= ole::kMaxDispatchArgs; ++i) args += L", " + rtl::IntToStr(i);
  EXPECT_EQ(RunScript(L"begin Obj.Echo(" + args + L") end."), L"compile error: Too many actual parameters");
  // Exactly the limit still calls.
  args = L"1";
  for (int i = 2; i <= ole::kMaxDispatchArgs; ++i) args += L", " + rtl::IntToStr(i);
  EXPECT_EQ(RunScript(L"begin Obj.Echo(" + args + L") end."), L"");
  ASSERT_EQ(recorder.Calls.size(), 1u);
  EXPECT_EQ(recorder.Calls[0].Block.size(), static_cast<size_t>(ole::kMaxDispatchArgs));
}

TEST_F(ScriptAutomationCalls, ValuesThatAreNoAutomationObjects) {
  // Bound at the first run, when the variable holds a number: no object to call.
  script.SetText(L"var v: Variant; begin v := 5; v.Quit end.");
  ASSERT_TRUE(script.Compile());
  EXPECT_THROW(script.Execute(), rtl::Exception);
  // An index straight on the object names no member.
  EXPECT_EQ(RunScript(L"begin Obj[1] := 2 end.").substr(0, 14), L"compile error:");
}

class ScriptDictionary : public ScriptLateBinding {};

TEST_F(ScriptDictionary, PropertyPutAndGetOnARealAutomationObject) {
  const struct {
    const wchar_t* name;
    const wchar_t* body;
    const wchar_t* printed;
  } cases[] = {
      {L"methods and reads",
       L"d.Add('a', 1); d.Add('b', 'iki'); Print(d.Count); Print(d.Item('a')); "
       L"Print(d.Item['b']); Print(d.Exists('a')); Print(d.Exists('z'))",
       L"2;1;iki;True;False;"},
      {L"property put",
       L"d.Item['c'] := 5; Print(d.Item['c']); d.Item['c'] := d.Item['c'] + 1; "
       L"Print(d.Item['c']); "
       L"Print(d.Count)",
       L"5;6;1;"},
      {L"call statement", L"d.Add('a', 1); d.RemoveAll; Print(d.Count)", L"0;"},
      {L"objects in objects",
       L"e := CreateOleObject('Scripting.Dictionary'); e.Add('x', 7); "
       L"d.Add('in', e); "
       L"Print(d.Item['in'].Item['x']); d.Item['in'].Item['x'] := 8; "
       L"Print(e.Item['x'])",
       L"7;8;"},
      {L"with", L"with d do begin Add('w', 1); Print(Count) end", L"1;"},
      {L"names ignore case", L"D.ADD('k', 'v'); print(d.item['K'] + d.ITEM['k'])", L"v;"},
  };
  for (const auto& c : cases) {
    TLateHost fresh;
    EXPECT_EQ(fresh.RunScript(String(L"var d, e: Variant;\r\nbegin\r\n  d := "
                                     L"CreateOleObject('Scripting.Dictionary');\r\n  ") +
                              c.body + L"\r\nend."),
              c.printed)
        << c.name;
  }
}

TEST_F(ScriptDictionary, ObjectErrorsAreScriptExceptions) {
  const String printed = RunScript(
      L"var d: Variant;\r\nbegin\r\n  d := "
      L"CreateOleObject('Scripting.Dictionary');\r\n  d.Add('a', 1);\r\n"
      L"  try d.Add('a', 2) except Print(ExceptionMessage) end;\r\n"
      L"  try d.Frobnicate except Print(ExceptionMessage) end;\r\n"
      L"  try CreateOleObject('Tavrel.NoSuchObject') except "
      L"Print(ExceptionClassName) end;\r\n"
      L"  Print(d.Count)\r\nend.");
  const std::vector<String> lines = [&] {
    std::vector<String> parts;
    size_t from = 0;
    for (size_t at; (at = printed.find(L';', from)) != String::npos; from = at + 1)
      parts.push_back(printed.substr(from, at - from));
    return parts;
  }();
  ASSERT_EQ(lines.size(), 4u) << rtl::StringToUTF8(printed);
  EXPECT_EQ(lines[0].rfind(L"OLE error ", 0), 0u);
  EXPECT_NE(lines[0].find(L": Add: "), String::npos);
  EXPECT_EQ(lines[1].rfind(L"OLE error 80020006: Frobnicate: ", 0), 0u);
  EXPECT_EQ(lines[2], L"EOleSysError");
  EXPECT_EQ(lines[3], L"1");
}

// --- event adapters ---

struct TEventHost : TLateHost {
  TEventHost() {
    script.SetAddedBy(this);
    TwzClassVariable* cls = script.AddClass(TLateEventProbe::StaticClass(), L"TObject");
    cls->AddEvent(L"OnChange", &wzCreateEventAdapter<TwzNotifyEvent>);
    cls->AddEvent(L"OnKeyPress", &wzCreateEventAdapter<TwzKeyPressEvent>);
    cls->AddEvent(L"OnKeyDown", &wzCreateEventAdapter<TwzKeyEvent>);
    cls->AddEvent(L"OnCloseQuery", &wzCreateEventAdapter<TwzCloseQueryEvent>);
    cls->AddEvent(L"OnClose", &wzCreateEventAdapter<TwzCloseEvent>);
    cls->AddEvent(L"OnCanResize", &wzCreateEventAdapter<TwzCanResizeEvent>);
    cls->AddEvent(L"OnMouseDown", &wzCreateEventAdapter<TwzMouseEvent>);
    script.AddObject(L"Probe", &probe);
    script.AddMethod(L"procedure Refire",
                     [this](rtl::TObject*, const vcl::TClassInfo*, const String&, TwzMethodHelper*) {
                       probe.OnChange(&probe);
                       return Variant::Null();
                     });
    script.SetAddedBy(nullptr);
  }
  TLateEventProbe probe;
};

class ScriptEvents : public ::testing::Test, public TEventHost {};

TEST_F(ScriptEvents, HostEventsRunScriptProcedures) {
  ASSERT_EQ(RunScript(L"procedure Changed(Sender: TObject);\r\nbegin if Sender = "
                      L"Probe then Print('changed') end;\r\n"
                      L"procedure Pressed(Sender: TObject; var Key: String);\r\n"
                      L"begin Print(Key); if Key = 'a' then Key := 'A' else if Key = "
                      L"'x' then Key := '' end;\r\n"
                      L"procedure KeyDown(Sender: TObject; var Key: Integer; Shift: "
                      L"Integer);\r\n"
                      L"begin Print(Shift); Key := Key + 1 end;\r\n"
                      L"procedure Query(Sender: TObject; var CanClose: Boolean); "
                      L"begin CanClose := False end;\r\n"
                      L"procedure Closing(Sender: TObject; var Action: Integer); "
                      L"begin Action := 2 end;\r\n"
                      L"procedure Resizing(Sender: TObject; var W, H: Integer; var "
                      L"Resize: Boolean);\r\n"
                      L"begin W := W * 2; H := 10; Resize := False end;\r\n"
                      L"procedure Down(Sender: TObject; Button, Shift, X, Y: "
                      L"Integer); begin Print(Button * 1000 + X + Y) end;\r\n"
                      L"begin Probe.OnChange := @Changed; Probe.OnKeyPress := "
                      L"@Pressed; Probe.OnKeyDown := @KeyDown;\r\n"
                      L"  Probe.OnCloseQuery := @Query; Probe.OnClose := @Closing; "
                      L"Probe.OnCanResize := @Resizing;\r\n"
                      L"  Probe.OnMouseDown := @Down end."),
            L"");
  probe.OnChange(&probe);
  EXPECT_EQ(out, L"changed;");

  wchar_t key = L'a';
  probe.OnKeyPress(&probe, key);
  EXPECT_EQ(key, L'A');
  key = L'x';
  probe.OnKeyPress(&probe, key);
  EXPECT_EQ(key, L'x') << "an emptied key leaves the host's key alone";

  rtl::Word code = 65;
  probe.OnKeyDown(&probe, code, vcl::TShiftState{vcl::ssShift, vcl::ssCtrl});
  EXPECT_EQ(code, 66);

  bool canClose = true;
  probe.OnCloseQuery(&probe, canClose);
  EXPECT_FALSE(canClose);
  vcl::TCloseAction action = vcl::caHide;
  probe.OnClose(&probe, action);
  EXPECT_EQ(action, vcl::caFree);

  int w = 30, h = 40;
  bool resize = true;
  probe.OnCanResize(&probe, w, h, resize);
  EXPECT_EQ(w, 60);
  EXPECT_EQ(h, 10);
  EXPECT_FALSE(resize);

  out.clear();
  probe.OnMouseDown(&probe, vcl::mbRight, vcl::TShiftState{}, 3, 4);
  EXPECT_EQ(out, L"1007;");
  // Shift as the low byte of the set.
  out.clear();
  code = 1;
  probe.OnKeyDown(&probe, code, vcl::TShiftState{vcl::ssShift, vcl::ssCtrl});
  EXPECT_EQ(out, rtl::IntToStr(vcl::TShiftState{vcl::ssShift, vcl::ssCtrl}.Bits() & 0xFF) + L";");
}

TEST_F(ScriptEvents, AnEventRaisedByItsOwnHandlerIsDropped) {
  ASSERT_EQ(RunScript(L"var n: Integer;\r\nprocedure Changed(Sender: TObject); "
                      L"begin n := n + 1; Print(n); Refire end;\r\n"
                      L"begin n := 0; Probe.OnChange := @Changed end."),
            L"");
  probe.OnChange(&probe);
  probe.OnChange(&probe);
  EXPECT_EQ(out, L"1;2;");
}

TEST_F(ScriptEvents, ExceptionsOfTheHandlerReachTheHost) {
  ASSERT_EQ(RunScript(L"procedure Changed(Sender: TObject); begin "
                      L"Fail('handler failed') end;\r\n"
                      L"begin Probe.OnChange := @Changed end."),
            L"");
  try {
    probe.OnChange(&probe);
    FAIL() << "the handler raised";
  } catch (const rtl::EConvertError& e) {
    EXPECT_EQ(e.Message(), L"handler failed");
  }
}

TEST_F(ScriptEvents, HandlersWithMoreParametersThanTheEventAreRefused) {
  script.SetText(
      L"procedure Changed(Sender: TObject; Extra: Integer); begin "
      L"Print(Extra) end;\r\n"
      L"begin Probe.OnChange := @Changed end.");
  ASSERT_TRUE(script.Compile());
  try {
    script.Execute();
    FAIL() << "the event passes one value";
  } catch (const EwzScriptError& e) {
    EXPECT_NE(e.Message().find(L"Changed"), String::npos) << rtl::StringToUTF8(e.Message());
  }
  EXPECT_FALSE(probe.OnChange.Assigned());
  // A script can catch the refusal like any other error.
  EXPECT_EQ(RunScript(L"procedure Pressed(Sender: TObject; var Key: String; "
                      L"More: Integer); begin end;\r\n"
                      L"begin try Probe.OnKeyPress := @Pressed except "
                      L"Print(ExceptionClassName) end end."),
            L"EwzScriptError;");
  EXPECT_FALSE(probe.OnKeyPress.Assigned());
}

TEST_F(ScriptEvents, EventsFiredAfterTheProgramIsGoneDoNothing) {
  ASSERT_EQ(RunScript(L"procedure Changed(Sender: TObject); begin Print('changed') end;\r\n"
                      L"procedure Pressed(Sender: TObject; var Key: String); begin Key := "
                      L"'Z' end;\r\n"
                      L"begin Probe.OnChange := @Changed; Probe.OnKeyPress := @Pressed "
                      L"end."),
            L"");
  // A host recompiling frees the script's routines first; their adapters go with them.
  script.ClearItems(nullptr);
  out.clear();
  probe.OnChange(&probe);
  EXPECT_EQ(out, L"");

  ASSERT_EQ(RunScript(L"procedure Changed(Sender: TObject); begin Print('changed') end;\r\n"
                      L"procedure Pressed(Sender: TObject; var Key: String); begin Key := "
                      L"'Z' end;\r\n"
                      L"begin Probe.OnChange := @Changed; Probe.OnKeyPress := @Pressed "
                      L"end."),
            L"");
  probe.OnChange(&probe);
  EXPECT_EQ(out, L"changed;");
  script.Clear();
  out.clear();
  probe.OnChange(&probe);
  wchar_t key = L'q';
  probe.OnKeyPress(&probe, key);
  EXPECT_EQ(out, L"");
  EXPECT_EQ(key, L'q');

  // The same when the program itself is destroyed.
  TLateEventProbe other;
  {
    TEventHost second;
    second.script.SetAddedBy(&second);
    second.script.AddObject(L"Other", &other);
    second.script.SetAddedBy(nullptr);
    ASSERT_EQ(second.RunScript(L"procedure Changed(Sender: TObject); begin Print('x') end;\r\n"
                               L"begin Other.OnChange := @Changed end."),
              L"");
    ASSERT_TRUE(other.OnChange.Assigned());
  }
  EXPECT_NO_THROW(other.OnChange(&other));
}

}  // namespace
