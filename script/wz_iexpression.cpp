// Building expressions, sets and designators from the intermediate code: where names meet the program's items
// and the host classes, step by step along an access path.
#include <cstdint>
#include <memory>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"
#include "platform/ole/oleauto.h"
#include "platform/vcl/component.h"
#include "script/wz_designators.h"
#include "script/wz_dynamichelper.h"
#include "script/wz_evalcache.h"
#include "script/wz_expressions.h"
#include "script/wz_hostclasses.h"
#include "script/wz_iconst.h"
#include "script/wz_iilparser.h"
#include "script/wz_iilprogram.h"
#include "script/wz_itools.h"
#include "script/wz_olehelper.h"
#include "script/wz_script.h"
#include "script/wz_xml.h"

using rtl::String;
using rtl::Variant;

namespace {

String Lower(const String& s) {
  String out = s;
  for (wchar_t& c : out)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
  return out;
}

bool Named(const TwzXMLItem* item, const wchar_t* name) { return Lower(item->Name()) == name; }

String Quoted(const String& name) { return L"'" + name + L"'"; }

bool IsIntegerKind(const Variant& v) {
  switch (v.Deref().VarType() & rtl::varTypeMask) {
    case rtl::varSmallint:
    case rtl::varInteger:
    case rtl::varShortInt:
    case rtl::varByte:
    case rtl::varWord:
    case rtl::varLongWord:
    case rtl::varInt64:
    case rtl::varUInt64: return true;
    default: return false;
  }
}

// Variables and parameters hold their value; a function, a method or a property gives one only when it runs.
bool HoldsValue(TwzCustomVariable* item) {
  return dynamic_cast<TwzVariable*>(item) || dynamic_cast<TwzParamItem*>(item);
}

// Objects cross as integers; a small or misaligned number cannot be an object and must not be read as one.
rtl::TObject* ObjectOf(const Variant& v) {
  if (!IsIntegerKind(v)) throw rtl::Exception(SClassRequired);
  const auto address = static_cast<std::uintptr_t>(v.AsInt64());
  if (address < 0x10000 || address % alignof(void*) != 0) throw rtl::Exception(SClassRequired);
  return v.AsObject();
}

TwzScript* MainProgramOf(TwzScript* program) {
  for (TwzScript* p = program; p; p = p->Parent())
    if (p->MainProg()) return p;
  TwzScript* root = program;
  while (root && root->Parent()) root = root->Parent();
  return root ? root : program;
}

}  // namespace

std::function<TwzDesignator*(TwzScript*)> wzMakeLateBindingSource(const TwzXMLItem* dsgn, const String& language) {
  std::shared_ptr<TwzXMLItem> copy(new TwzXMLItem);
  copy->Assign(dsgn);
  return [copy, language](TwzScript* program) -> TwzDesignator* {
    TwzScript* main = MainProgramOf(program);
    TwzILParser parser(main);
    if (!language.empty()) parser.SelectLanguage(language);
    TwzILBuilder builder(parser, main);
    builder.SetResolvingLate(true);
    return builder.DoDesignator(copy.get(), program, emNone);
  };
}

// The rest of a path on an automation object, from child first on: every member becomes a call by name at run
// time; the brackets of an indexed member hold more arguments of that member.
void TwzILBuilder::AddAutomationSteps(TwzXMLItem* element, int first, TwzScript* scope, TwzDesignator* result) {
  TwzDesignatorItem* last = nullptr;
  for (int j = first; j < element->Count(); ++j) {
    TwzXMLItem* child = element->Items(j);
    SetErrorPos(child);
    const String kind = Lower(child->Name());
    if (kind == L"node") {
      const String member = child->Prop(L"text");
      if (member == L"[") {
        if (!last) Fail(L"Automation objects are reached by member name; an index needs a member before it");
        continue;
      }
      auto* helper = new TwzOLEHelper(member);
      scope->Add(String(), helper);
      last = new TwzDesignatorItem(helper, FParser.ErrorPos);
      result->Add(last);
    } else if (kind == L"expr") {
      if (!last) Fail(SVarRequired);
      // The call's argument block has a fixed size; a longer list is refused here rather than cut short.
      if (last->Count() >= ole::kMaxDispatchArgs) Fail(STooManyParams);
      last->Add(DoExpression(child, scope));
      last->Ref()->Add(new TwzParamItem(String(), fvtVariant, String(), false, false));
    }
  }
}

// The rest of a path beyond a value known only when it runs (a function's Variant result), from child first on:
// every member is looked up by name on what the value holds then; the brackets after a member hold more arguments
// of that member, brackets right after the value index it.
void TwzILBuilder::AddDynamicSteps(TwzXMLItem* element, int first, TwzScript* scope, TwzDesignator* result) {
  TwzDesignatorItem* last = nullptr;
  TwzDynamicHelper* lastHelper = nullptr;
  bool inBrackets = false;
  auto addStep = [&](const String& member) {
    lastHelper = new TwzDynamicHelper(member);
    scope->Add(String(), lastHelper);
    last = new TwzDesignatorItem(lastHelper, FParser.ErrorPos);
    result->Add(last);
  };
  for (int j = first; j < element->Count(); ++j) {
    TwzXMLItem* child = element->Items(j);
    SetErrorPos(child);
    const String kind = Lower(child->Name());
    if (kind == L"node") {
      const String member = child->Prop(L"text");
      if (member == L"[") {
        if (!last) addStep(member);
        inBrackets = true;
        continue;
      }
      addStep(member);
      inBrackets = false;
    } else if (kind == L"expr") {
      if (!last) Fail(SVarRequired);
      if (last->Count() >= ole::kMaxDispatchArgs) Fail(STooManyParams);
      last->Add(DoExpression(child, scope));
      lastHelper->Add(new TwzParamItem(String(), fvtVariant, String(), false, false));
      if (!inBrackets) lastHelper->SetParenArgs(lastHelper->Count());
    }
  }
}

// --- expressions ---

String TwzILBuilder::ExpressionSource(const TwzXMLItem* element) const {
  const String pos = element->Prop(L"pos"), pos1 = element->Prop(L"pos1");
  if (pos.empty() || pos1.empty()) return String();
  try {
    TwzParser* scanner = FParser.Parser();
    const int from = scanner->GetPlainPosition(wzPosToPoint(pos));
    const int to = scanner->GetPlainPosition(wzPosToPoint(pos1));
    const String& text = scanner->Text();
    if (from < 1 || to < from || to - 1 > static_cast<int>(text.size())) return String();
    return text.substr(static_cast<size_t>(from - 1), static_cast<size_t>(to - from));
  } catch (const rtl::Exception&) {
    return String();
  }
}

void TwzILBuilder::AddExpressionItems(TwzExpression* expression, TwzXMLItem* element, TwzScript* scope) {
  const int count = element->Count();
  for (int i = 0; i < count; ++i) {
    TwzXMLItem* child = element->Items(i);
    SetErrorPos(child);
    expression->SetSourcePos(FParser.ErrorPos);
    const String name = Lower(child->Name());
    if (name == L"op") {
      const String text = Lower(child->Prop(L"text"));
      if (text != L")" && i == count - 1) continue;
      expression->AddOperator(text);
    } else if (name == L"number" || name == L"string") {
      expression->AddConst(ParserStringToVariant(child->Prop(L"text")));
    } else if (name == L"dsgn") {
      std::unique_ptr<TwzDesignator> d(DoDesignator(child, scope, emNone));
      expression->AddDesignator(d.release());
    } else if (name == L"set") {
      std::unique_ptr<TwzSetExpression> s(DoSet(child, scope));
      expression->AddSet(s.release());
    } else if (name == L"new") {
      if (child->Count() == 0) Fail(SClassRequired);
      std::unique_ptr<TwzDesignator> d(DoDesignator(child->Items(0), scope, emCreate));
      expression->AddDesignator(d.release());
    } else if (name == L"expr") {
      AddExpressionItems(expression, child, scope);
    }
  }
}

TwzExpression* TwzILBuilder::DoExpression(TwzXMLItem* element, TwzScript* scope) {
  std::unique_ptr<TwzExpression> expression(new TwzExpression(FProgram));
  SetErrorPos(element);
  expression->SetSourcePos(FParser.ErrorPos);
  AddExpressionItems(expression.get(), element, scope);
  expression->SetSource(ExpressionSource(element));
  const String errorPos = expression->Finalize();
  if (!errorPos.empty()) {
    FParser.ErrorPos = errorPos;
    Fail(SIncompatibleTypes);
  }
  return expression.release();
}

TwzSetExpression* TwzILBuilder::DoSet(TwzXMLItem* element, TwzScript* scope) {
  std::unique_ptr<TwzSetExpression> set(new TwzSetExpression);
  for (int i = 0; i < element->Count(); ++i) {
    TwzXMLItem* child = element->Items(i);
    if (Named(child, L"expr"))
      set->Add(DoExpression(child, scope));
    else if (Named(child, L"range"))
      set->Add(nullptr);
  }
  return set.release();
}

// --- designators ---

void TwzILBuilder::SetLateBinding(TwzDesignator* result, const TwzXMLItem* element) {
  result->Finalize();
  result->SetLateBindingXmlSource(wzMakeLateBindingSource(element, FParser.LangName));
}

bool TwzILBuilder::WithLookup(TwzXMLItem* element, TwzScript* scope, TwzDesignator* result, TwzDesignatorItem* step,
                              const String& name, bool& lateBound) {
  lateBound = false;
  for (auto it = FWithList.rbegin(); it != FWithList.rend(); ++it) {
    TwzCustomVariable* hidden = it->variable;
    if (scope->FindLocal(it->name) != hidden) continue;
    if (hidden->Typ() == fvtVariant) {
      if (scope->Find(name)) return false;
      step->SetRef(hidden);
      // The path is resolved at its first evaluation, through the with object's value then.
      std::unique_ptr<TwzXMLItem> copy(new TwzXMLItem);
      copy->Assign(element);
      auto* node = new TwzXMLItem;
      node->SetName(L"node");
      node->SetProp(L"text", it->name);
      node->SetProp(L"pos", step->SourcePos());
      copy->InsertItem(0, node);
      SetLateBinding(result, copy.get());
      lateBound = true;
      return true;
    }
    TwzClassVariable* cls = FindClass(hidden->TypeName());
    if (TwzCustomVariable* member = cls->Find(name)) {
      result->Remove(step);
      result->Add(new TwzDesignatorItem(hidden, step->SourcePos()));
      result->Add(step);
      step->SetRef(member);
      return true;
    }
  }
  return false;
}

TwzDesignator* TwzILBuilder::DoDesignator(TwzXMLItem* element, TwzScript* scope, TwzEmitOp emitOp) {
  std::unique_ptr<TwzDesignator> result(new TwzDesignator(scope));
  TwzDesignatorItem* current = nullptr;
  for (int i = 0; i < element->Count(); ++i) {
    TwzXMLItem* child = element->Items(i);
    SetErrorPos(child);
    const String kind = Lower(child->Name());

    if (kind == L"addr") {
      // Only "@Name" is an address: the routine's name, by which events are bound.
      if (element->Count() != 2 || !Named(element->Items(1), L"node")) Fail(SVarRequired);
      auto* text = new TwzStringVariable(String(), fvtString, String());
      text->SetValue(Variant(element->Items(1)->Prop(L"text")));
      scope->Add(String(), text);
      result->Add(new TwzDesignatorItem(text, FParser.ErrorPos));
      break;
    }

    if (kind == L"expr") {
      if (!current) Fail(SVarRequired);
      current->Add(DoExpression(child, scope));
      continue;
    }

    if (kind != L"node") continue;
    const String name = child->Prop(L"text");
    auto* step = new TwzDesignatorItem(nullptr, FParser.ErrorPos);
    result->Add(step);

    if (result->Count() == 1) {
      bool lateBound = false;
      if (!WithLookup(element, scope, result.get(), step, name, lateBound))
        step->SetRef(FindVar(scope, name));
      else if (lateBound)
        return result.release();
      if (emitOp == emCreate) {
        auto* cls = dynamic_cast<TwzClassVariable*>(step->Ref());
        if (!cls) Fail(SClassRequired);
        TwzCustomVariable* constructor = cls->Find(L"Create");
        if (!constructor) Fail(SIdUndeclared + Quoted(L"Create"));
        step = new TwzDesignatorItem(constructor, FParser.ErrorPos);
        result->Add(step);
      }
      current = step;
      continue;
    }

    TwzDesignatorItem* previous = result->Items(result->Count() - 2);
    TwzCustomVariable* pi = previous->Ref();
    auto* method = dynamic_cast<TwzMethodHelper*>(pi);
    const bool indexMethod = method && method->IndexMethod() && !previous->Flag();
    TwzVarType typ = pi->Typ();
    String typeName = pi->TypeName();
    Variant value = Variant::Null();
    bool valueRead = false;

    if (typ == fvtVariant && !indexMethod && !HoldsValue(pi)) {
      // Running the function now to learn what it gives would run it twice: the rest of the path is looked up on
      // its result each time the path runs.
      result->Remove(step);
      delete step;
      AddDynamicSteps(element, i, scope, result.get());
      result->Finalize();
      return result.release();
    }
    if (typ == fvtVariant && !indexMethod) {
      value = wzCompileTimeValue(pi);
      valueRead = true;
      const rtl::TVarType vt = value.Deref().VarType();
      const bool nil = value.IsNull() || value.IsEmpty() || (IsIntegerKind(value) && value.AsInt64() == 0);
      if (nil) {
        // Known only when the path runs: the rest of the path is built then.
        if (FResolvingLate) Fail(SIdUndeclared + Quoted(name));
        result->Remove(step);
        delete step;
        SetLateBinding(result.get(), element);
        return result.release();
      }
      // Bound to what the value holds now: a kept evaluation checks that it still does.
      wzNoteVariantBinding(scope, pi, value);
      if (value.IsString()) {
        typ = fvtString;
      } else if ((vt & rtl::varTypeMask) == rtl::varDispatch) {
        result->Remove(step);
        delete step;
        AddAutomationSteps(element, i, scope, result.get());
        result->Finalize();
        return result.release();
      } else if (value.IsArray()) {
        if (name != L"[") Fail(SIndexRequired);
        TwzCustomVariable* helper = FProgram->Find(L"__ArrayHelper");
        if (!helper) Fail(SIdUndeclared + Quoted(L"__ArrayHelper"));
        step->SetRef(helper);
        current = step;
        continue;
      } else {
        rtl::TObject* obj = ObjectOf(value);
        // The nearest class scripts know: a stream of a class of its own is still a stream.
        typeName = obj->ClassName();
        for (const vcl::TClassInfo* c = vcl::ClassOf(obj); c; c = c->ClassParent())
          if (FProgram->FindClass(c->ClassName())) {
            typeName = c->ClassName();
            break;
          }
        pi->SetTypeName(typeName);
        typ = fvtClass;
      }
    }

    if (indexMethod) {
      previous->SetFlag(true);
      result->Remove(step);
      delete step;
      FParser.ErrorPos = previous->SourcePos();
      if (name != L"[") Fail(SIndexRequired);
      current = previous;
      continue;
    }

    switch (typ) {
      case fvtString: {
        if (name != L"[") Fail(SStringError);
        TwzCustomVariable* helper = FProgram->Find(L"__StringHelper");
        if (!helper) Fail(SIdUndeclared + Quoted(L"__StringHelper"));
        step->SetRef(helper);
        break;
      }
      case fvtClass: {
        TwzClassVariable* cls = FindClass(typeName);
        if (name == L"[") {
          step->SetFlag(true);
          if (!cls->DefProperty()) Fail(rtl::Format(SClassError, {cls->Name()}));
          step->SetRef(cls->DefProperty());
          break;
        }
        if (TwzCustomVariable* member = cls->Find(name)) {
          step->SetRef(member);
          break;
        }
        if (!valueRead) value = wzCompileTimeValue(pi);
        const bool nil = value.IsNull() || value.IsEmpty() || (IsIntegerKind(value) && value.AsInt64() == 0);
        if (nil && !FProgram->IsRunning() && FProgram->UseClassLateBinding() && !FResolvingLate) {
          while (result->Count() > 1) {
            auto* extra = result->Items(result->Count() - 1);
            result->Remove(extra);
            delete extra;
          }
          SetLateBinding(result.get(), element);
          result->SetTyp(fvtVariant);
          return result.release();
        }
        if (!nil && IsIntegerKind(value)) {
          if (auto* owner = dynamic_cast<vcl::TComponent*>(ObjectOf(value)))
            if (vcl::TComponent* component = owner->FindComponent(name)) {
              auto* item = new TwzCustomVariable(String(), fvtClass, component->ClassName());
              item->SetValue(Variant::FromObject(component));
              scope->Add(String(), item);
              step->SetRef(item);
              break;
            }
        }
        Fail(SIdUndeclared + Quoted(name));
      }
      case fvtArray:
        if (!pi->RefItem()) Fail(SArrayRequired);
        step->SetRef(pi->RefItem());
        break;
      default: Fail(SArrayRequired);
    }
    current = step;
  }

  if (emitOp == emFree) {
    if (result->Count() == 0) Fail(SClassRequired);
    TwzCustomVariable* last = result->Items(result->Count() - 1)->Ref();
    result->Finalize();
    if (!last || (result->Typ() != fvtClass && result->Typ() != fvtVariant)) Fail(SClassRequired);
    TwzCustomVariable* freeMember = FindClass(L"TObject")->Find(L"Free");
    if (!freeMember) Fail(SIdUndeclared + Quoted(L"Free"));
    result->Add(new TwzDesignatorItem(freeMember, FParser.ErrorPos));
  }

  result->Finalize();
  TwzDesignator* specialised = wzSpecializeDesignator(result.release());
  result.reset(specialised);
  CheckArguments(result.get());
  return result.release();
}

void TwzILBuilder::CheckArguments(TwzDesignator* result) {
  for (int s = 0; s < result->Count(); ++s) {
    TwzDesignatorItem* step = result->Items(s);
    TwzCustomVariable* item = step->Ref();
    if (!item || dynamic_cast<TwzDesignator*>(item)) continue;
    FParser.ErrorPos = step->SourcePos();
    const int params = item->Count();
    const int args = step->Count();
    if (args < item->GetNumberOfRequiredParams()) Fail(SNotEnoughParams);
    if (args > params) Fail(STooManyParams);
    for (int j = args; j < params; ++j) {
      auto* e = new TwzExpression(FProgram);
      step->Add(e);
      e->AddConst(item->Params(j)->DefValue());
      e->Finalize();
    }
    for (int j = 0; j < args; ++j) {
      auto* arg = step->Items(j);
      if (!arg) continue;
      if (!arg->SourcePos().empty()) FParser.ErrorPos = arg->SourcePos();
      CheckTypeCompatibility(item->Params(j), arg);
    }
  }
}
