#pragma once
// Builds run-time objects by hand, the way the compiler's front end does, so the run time can be tested on its own.
#include <initializer_list>
#include <variant>

#include "script/wz_designators.h"
#include "script/wz_expressions.h"
#include "script/wz_script.h"
#include "script/wz_statements.h"

namespace wztest {

template <class T = TwzVariable>
T* AddVar(TwzScript& script, const rtl::String& name, TwzVarType typ, const rtl::String& typeName = L"") {
  auto* v = new T(name, typ, typeName);
  script.Add(name, v);
  return v;
}

// A finalized, specialised designator over steps (item, argument expressions).
struct Step {
  TwzCustomVariable* item;
  std::vector<TwzCustomExpression*> args{};
};

inline TwzDesignator* Designator(TwzScript* script, std::initializer_list<Step> steps) {
  auto* d = new TwzDesignator(script);
  for (const Step& s : steps) {
    auto* item = new TwzDesignatorItem(s.item, L"1:1");
    for (TwzCustomExpression* a : s.args) item->Add(a);
    d->Add(item);
  }
  d->Finalize();
  return wzSpecializeDesignator(d);
}

inline TwzDesignator* Designator(TwzScript* script, TwzCustomVariable* var) { return Designator(script, {{var}}); }

// One token of an expression in source order: a constant, an operator text or a designator (owned by the tree).
struct Op {
  const wchar_t* text;
};
using Token = std::variant<rtl::Variant, Op, TwzDesignator*, TwzSetExpression*>;

inline TwzExpression* Expr(TwzScript* script, std::initializer_list<Token> tokens, rtl::String* errorPos = nullptr) {
  auto* e = new TwzExpression(script);
  int column = 1;
  for (const Token& t : tokens) {
    e->SetSourcePos(L"1:" + std::to_wstring(column++));
    if (auto* v = std::get_if<rtl::Variant>(&t))
      e->AddConst(*v);
    else if (auto* o = std::get_if<Op>(&t))
      e->AddOperator(o->text);
    else if (auto* d = std::get_if<TwzDesignator*>(&t))
      e->AddDesignator(*d);
    else
      e->AddSet(std::get<TwzSetExpression*>(t));
  }
  rtl::String pos = e->Finalize();
  if (errorPos) *errorPos = pos;
  return e;
}

inline TwzExpression* Const(TwzScript* script, const rtl::Variant& v) { return Expr(script, {v}); }

// Elements in order; nullptr marks a range between its neighbours.
inline TwzSetExpression* Set(TwzScript* script, std::initializer_list<const rtl::Variant*> elements) {
  auto* s = new TwzSetExpression;
  for (const rtl::Variant* v : elements) s->Add(v ? Const(script, *v) : nullptr);
  return s;
}

inline TwzAssignmentStmt* Assign(TwzScript* script, TwzDesignator* target, TwzCustomExpression* value) {
  auto* s = new TwzAssignmentStmt(script, L"", L"1:1");
  s->SetDesignator(target);
  s->SetExpression(value);
  s->Optimize();
  return s;
}

}  // namespace wztest
