#include "report/engine/qvxExpressions.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxRes.h"
#include "script/wz_classes.h"
#include "script/wz_hostclasses.h"
#include "script/wz_script.h"

using rtl::String;
using rtl::Variant;

namespace {

// What the platform's floating-point division by zero says; such errors may be ignored by option.
const wchar_t kFloatDivByZero[] = L"Floating point division by zero";

// Restores the main program's flag on every exit.
class TMainProgGuard {
 public:
  explicit TMainProgGuard(TwzScript* script) : script_(script), saved_(script && script->MainProg()) {
    if (script_) script_->SetMainProg(false);
  }
  ~TMainProgGuard() {
    if (script_) script_->SetMainProg(saved_);
  }
  TMainProgGuard(const TMainProgGuard&) = delete;
  TMainProgGuard& operator=(const TMainProgGuard&) = delete;

 private:
  TwzScript* script_;
  bool saved_;
};

bool IsTextValue(const Variant& v) {
  const rtl::TVarType t = v.VarType();
  return t == rtl::varString || t == rtl::varUString || t == rtl::varOleStr;
}

// The value a field of that type has when it is Null and nulls are converted.
Variant EmptyValueOf(TqvxFieldType type) {
  switch (type) {
    case fftString:
      return Variant(String());
    case fftBoolean:
      return Variant(false);
    case fftDateTime:
      return Variant(0.0);
    default:
      return Variant(0);
  }
}

String ArgText(const Variant& params, rtl::Integer index) {
  if (!params.IsArray() || index > rtl::VarArrayHighBound(params, 1)) return String();
  return rtl::VarToStr(params[index]);
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------------
// The expression cache

TqvxExpressionCache::TqvxExpressionCache(TwzScript* mainScript)
    : FExpressions(std::make_unique<rtl::TStringList>()),
      FMainScript(mainScript),
      FScript(std::make_unique<TwzScript>(nullptr)) {
  FExpressions->SetSorted(true);
  FExpressions->SetCaseSensitive(false);
  FScript->SetExtendedCharset(true);
}

TqvxExpressionCache::~TqvxExpressionCache() = default;

void TqvxExpressionCache::Clear() {
  FExpressions->Clear();
  FScript->Clear();
}

bool TqvxExpressionCache::CaseSensitive() const { return FExpressions->CaseSensitive(); }

void TqvxExpressionCache::SetCaseSensitive(bool value) { FExpressions->SetCaseSensitive(value); }

Variant TqvxExpressionCache::Calc(const String& expression, String& errorMsg, TwzScript* script) {
  errorMsg.clear();
  FScript->SetParent(script);
  TwzCustomVariable* item = nullptr;
  rtl::Integer index = 0;
  if (FExpressions->Find(expression, index)) {
    item = dynamic_cast<TwzCustomVariable*>(FExpressions->Objects(index));
  } else {
    const String name = L"qv3f" + rtl::IntToStr(FExpressions->Count());
    FScript->SetSyntaxType(FScriptLanguage);
    const String& lang = FScriptLanguage;
    if (rtl::SameText(lang, L"ZuvizaVuruze"))
      FScript->SetText(L"function " + name + L": Variant; begin Result := " + expression + L" end; begin end.");
    else if (rtl::SameText(lang, L"R++Aradod"))
      FScript->SetText(L"Variant " + name + L"() { return " + expression + L"; } {}");
    else if (rtl::SameText(lang, L"DizizOzazoz"))
      FScript->SetText(L"function " + name + L"\r\nreturn " + expression + L"\r\nend function");
    else if (rtl::SameText(lang, L"JScript"))
      FScript->SetText(L"function " + name + L"() { return " + expression + L"; }");
    bool compiled = false;
    try {
      compiled = FScript->Compile();
    } catch (const rtl::Exception& e) {
      // An unknown language or a broken grammar: the expression cannot be compiled, which the report reports.
      FScript->SetErrorMsg(e.Message());
    }
    item = FScript->FindLocal(name);
    if (!compiled) {
      if (item) {
        FScript->Remove(item);
        delete item;
      }
      errorMsg = qvxResources().Get(L"clExprError") + L" '" + expression + L"': " + FScript->ErrorMsg();
      return Variant::Null();
    }
    FExpressions->AddObject(expression, item);
  }
  if (!item) return Variant::Null();
  TMainProgGuard mainProg(FMainScript);
  Variant result;
  try {
    result = item->Value();
  } catch (const rtl::Exception& e) {
    errorMsg = e.Message();
  }
  return result;
}

// ---------------------------------------------------------------------------------------------------------------
// The calculator

TqvxCalculator::TqvxCalculator(TqvxReport* report)
    : FReport(report), FCache(std::make_unique<TqvxExpressionCache>(report->Script())) {}

TqvxCalculator::~TqvxCalculator() = default;

void TqvxCalculator::Clear() {
  FFieldRefs.clear();
  FCache->Clear();
  FCache->SetScriptLanguage(FReport->ScriptLanguage());
}

void TqvxCalculator::Fail(const String& msg, bool scriptCall) {
  String text;
  if (scriptCall) {
    text = qvxResources().Get(L"clErrorInExp") + msg;
  } else {
    text = FReport->CurObject.empty() ? msg : FReport->CurObject + L": " + msg;
    FReport->Errors()->Add(text);
  }
  throw rtl::Exception(text);
}

Variant TqvxCalculator::Calc(const String& expr, TwzScript* script) {
  const bool scriptCall = script == qvxScriptCall;
  TwzScript* scope = scriptCall || !script ? FReport->Script() : script;
  Variant result;
  if (DoGetValue(expr, result)) return result;
  String error;
  result = FCache->Calc(expr, error, scope);
  if (!error.empty()) {
    if (error == kFloatDivByZero && FReport->EngineOptions()->IgnoreDevByZero) return result;
    Fail(error, scriptCall);
  }
  return result;
}

const TqvxCalculator::TFieldRef* TqvxCalculator::RunFieldRef(const String& expr) {
  // While a run goes on its datasets stay as they are: each text is looked up among them once.
  const TqvxCustomEngine* engine = FReport->Engine();
  if (!engine || !engine->Running) return nullptr;
  auto it = FFieldRefs.find(expr);
  if (it == FFieldRefs.end()) {
    TqvxDataSet* ds = nullptr;
    String field;
    FReport->GetDatasetAndField(expr, ds, field);
    it = FFieldRefs.emplace(expr, TFieldRef{ds, field}).first;
  }
  return &it->second;
}

void TqvxCalculator::CalcInto(const String& expr, Variant& value) {
  // A dataset field answers as in DoGetValue, its value put straight into value (whose text room is used again);
  // everything else goes the general way.
  if (!qvxQV2Events().OnGetValue) {
    const TFieldRef* ref = RunFieldRef(expr);
    if (ref && ref->DataSet && !ref->Field.empty()) {
      ref->DataSet->GetValueInto(ref->Field, value);
      if (FReport->EngineOptions()->ConvertNulls && value.IsNull())
        value = EmptyValueOf(ref->DataSet->GetFieldType(ref->Field));
      return;
    }
  }
  value = Calc(expr, nullptr);
}

bool TqvxCalculator::DoGetValue(const String& expr, Variant& value) {
  value = Variant::Null();

  if (const auto& hook = qvxQV2Events().OnGetValue) {
    Variant v;
    hook(expr, v);
    if (!v.IsEmpty()) {
      value = v;
      return true;
    }
  }

  TqvxDataSet* ds = nullptr;
  String ownField;
  const String* fieldRef = &ownField;
  if (const TFieldRef* ref = RunFieldRef(expr)) {
    ds = ref->DataSet;
    fieldRef = &ref->Field;
  } else {
    FReport->GetDatasetAndField(expr, ds, ownField);
  }
  const String& field = *fieldRef;
  if (ds && !field.empty()) {
    value = ds->GetValue(field);
    if (FReport->EngineOptions()->ConvertNulls && value.IsNull()) value = EmptyValueOf(ds->GetFieldType(field));
    return true;
  }

  const rtl::Integer sys = FReport->SysVariables()->IndexOf(expr);
  if (sys >= 0) {
    auto engine = [&]() -> TqvxCustomEngine& { return FReport->RequireEngine(); };
    auto pages = [&]() -> TqvxCustomPreviewPages& { return FReport->RequirePreviewPages(); };
    switch (sys) {
      case 0:
        value = rtl::VarFromDateTime(engine().StartDate);
        break;
      case 1:
        value = rtl::VarFromDateTime(engine().StartTime);
        break;
      case 2:
        value = Variant(pages().GetLogicalPageNo());
        break;
      case 3:
        value = Variant(pages().CurPage + 1);
        break;
      case 4:
        value = Variant(pages().GetLogicalTotalPages());
        break;
      case 5:
        value = Variant(engine().TotalPages);
        break;
      case 6:
        value = Variant(engine().CurLine);
        break;
      case 7:
        value = Variant(engine().CurLineThrough);
        break;
      default: {
        const int at = qvxGlobalVariables().IndexOf(L"CopyName0");
        value = at >= 0 ? qvxGlobalVariables().Items(at)->Value() : Variant::Null();
      }
    }
    return true;
  }

  {
    Variant v;
    if (FReport->OnGetValue.Assigned()) FReport->OnGetValue(expr, v);
    if (FReport->OnNewGetValue.Assigned()) FReport->OnNewGetValue(FReport, expr, v);
    if (!v.IsEmpty()) {
      value = v;
      return true;
    }
  }

  const int var = FReport->Variables()->IndexOf(expr);
  if (var >= 0) {
    const Variant v = FReport->Variables()->Items(var)->Value();
    const String text = IsTextValue(v) ? rtl::VarToStr(v) : String();
    if (IsTextValue(v) && text.find(L"\r\n") == String::npos) {
      // The variable holds an expression. One that leads back to itself would never end.
      const String key = rtl::UpperCase(FReport->Variables()->Items(var)->Name());
      if (FEvaluating.count(key))
        Fail(L"Circular reference in variable \"" + FReport->Variables()->Items(var)->Name() + L"\"", false);
      FEvaluating.insert(key);
      try {
        value = Calc(text, nullptr);
      } catch (...) {
        FEvaluating.erase(key);
        throw;
      }
      FEvaluating.erase(key);
    } else {
      value = v;
    }
    return true;
  }

  const int global = qvxGlobalVariables().IndexOf(expr);
  if (global >= 0) {
    value = qvxGlobalVariables().Items(global)->Value();
    return true;
  }

  if (!qvxQV2Events().OnGetScriptValue)
    if (TwzCustomVariable* item = FReport->Script()->FindLocal(expr))
      if (!dynamic_cast<TwzProcVariable*>(item) && !dynamic_cast<TwzMethodHelper*>(item)) {
        value = item->Value();
        return true;
      }
  return false;
}

Variant TqvxCalculator::GetScriptValue(rtl::TObject*, const String&, Variant& params) {
  const String name = ArgText(params, 0);
  Variant result;
  if (DoGetValue(name, result)) return result;
  const size_t paren = name.find(L'(');
  if (paren != String::npos) {
    const String fn = rtl::UpperCase(rtl::Trim(name.substr(0, paren)));
    if (fn == L"SUM" || fn == L"MIN" || fn == L"MAX" || fn == L"AVG" || fn == L"COUNT") return Calc(name, nullptr);
  }
  if (const auto& hook = qvxQV2Events().OnGetScriptValue) {
    hook(params, result);
    return result;
  }
  FReport->Errors()->Add(qvxResources().Get(L"clUnknownVar") + L" " + name);
  return Variant::Null();
}

Variant TqvxCalculator::SetScriptValue(rtl::TObject*, const String&, Variant& params) {
  FReport->Variables()->SetVariable(
      ArgText(params, 0), params.IsArray() && rtl::VarArrayHighBound(params, 1) >= 1 ? params[1] : Variant::Null());
  return Variant();
}

Variant TqvxCalculator::CallMethod(rtl::TObject*, const String& methodName, Variant& params) {
  Variant result;
  const String name = rtl::UpperCase(methodName);
  if (name == L"IIF") {
    TwzScript* running = FReport->Script()->ProgRunning();
    if (!running) running = FReport->Script();
    try {
      const Variant condition = Calc(ArgText(params, 0), running);
      result = rtl::VarSameValue(condition, Variant(true)) ? Calc(ArgText(params, 1), running)
                                                           : Calc(ArgText(params, 2), running);
    } catch (...) {
      // A condition or branch that fails leaves the result as it was; the preparation goes on.
    }
    return result;
  }
  const bool count = name == L"COUNT";
  if (!count && name != L"SUM" && name != L"AVG" && name != L"MIN" && name != L"MAX") return result;
  const String expr = count ? String() : ArgText(params, 0);
  const String bandText = rtl::Trim(ArgText(params, count ? 0 : 1));
  const String flagsText = rtl::Trim(ArgText(params, count ? 1 : 2));
  const Variant bandValue = bandText.empty() ? Variant(0) : Calc(bandText, nullptr);
  const Variant flagsValue = flagsText.empty() ? Variant(0) : Calc(flagsText, nullptr);
  auto* band = dynamic_cast<TqvxBand*>(bandValue.IsNull() || bandValue.IsEmpty() ? nullptr : bandValue.AsObject());
  return FReport->RequireEngine().GetAggregateValue(name, expr, band, flagsValue.AsInteger());
}

void TqvxCalculator::RegisterFunctions(TwzScript* script) {
  if (!script) script = FReport->Script();
  auto get = [this](rtl::TObject* instance, const vcl::TClassInfo*, const String& method, Variant& params) {
    return GetScriptValue(instance, method, params);
  };
  auto set = [this](rtl::TObject* instance, const vcl::TClassInfo*, const String& method, Variant& params) {
    return SetScriptValue(instance, method, params);
  };
  auto call = [this](rtl::TObject* instance, const vcl::TClassInfo*, const String& method, Variant& params) {
    return CallMethod(instance, method, params);
  };
  script->AddMethod(L"function Get(Name: String): Variant", TwzCallMethodEvent(get));
  script->AddMethod(L"procedure Set(Name: String; Value: Variant)", TwzCallMethodEvent(set));
  script->AddMethod(L"macrofunction IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant",
                    TwzCallMethodEvent(call));
  for (const wchar_t* fn : {L"SUM", L"AVG", L"MIN", L"MAX"})
    script->AddMethod(
        String(L"macrofunction ") + fn + L"(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
        TwzCallMethodEvent(call));
  script->AddMethod(L"macrofunction COUNT(Band: Variant = 0; Flags: Integer = 0): Variant", TwzCallMethodEvent(call));
}
