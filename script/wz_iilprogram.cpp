#include "script/wz_iilprogram.h"

#include <memory>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "script/wz_designators.h"
#include "script/wz_expressions.h"
#include "script/wz_hostclasses.h"
#include "script/wz_iconst.h"
#include "script/wz_iilparser.h"
#include "script/wz_itools.h"
#include "script/wz_script.h"
#include "script/wz_statements.h"
#include "script/wz_xml.h"

using rtl::String;
using rtl::Variant;

namespace {

// Element names of the intermediate code are ASCII; lowering them must not depend on the user's locale.
String Lower(const String& s) {
  String out = s;
  for (wchar_t& c : out)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
  return out;
}

bool Named(const TwzXMLItem* item, const wchar_t* name) { return Lower(item->Name()) == name; }

String Quoted(const String& name) { return L"'" + name + L"'"; }

// A plain designator over one item, as the builder makes for initialisers and returned values.
TwzDesignator* ItemDesignator(TwzScript* scope, TwzCustomVariable* item, const String& pos) {
  auto* d = new TwzDesignator(scope);
  d->Add(new TwzDesignatorItem(item, pos));
  d->Finalize();
  return wzSpecializeDesignator(d);
}

}  // namespace

TwzILBuilder::TwzILBuilder(TwzILParser& parser, TwzScript* program) : FParser(parser), FProgram(program) {}

void TwzILBuilder::Fail(const String& message) { throw rtl::Exception(message); }

void TwzILBuilder::SetErrorPos(const TwzXMLItem* element) {
  if (element && element->PropExists(L"pos")) FParser.ErrorPos = element->Prop(L"pos");
}

bool TwzILBuilder::ParseILScript() {
  FWithList.clear();
  FProgram->SetErrorUnit(String());
  FParser.UnitName.clear();
  try {
    DoProgram(FParser.ILScript()->Root(), FProgram);
    FProgram->SetErrorPos(String());
    return true;
  } catch (const rtl::Exception& e) {
    FWithList.clear();
    // A failure without words would read as success to the host.
    FProgram->SetErrorMsg(e.Message().empty() ? e.ClassName() : e.Message());
    FProgram->SetErrorPos(FParser.ErrorPos);
    FProgram->SetErrorUnit(FParser.UnitName);
    return false;
  }
}

void TwzILBuilder::DoProgram(TwzXMLItem* element, TwzScript* scope) {
  TwzXMLItem* savedRoot = FParser.ProgRoot;
  const String savedUnit = FParser.UnitName;
  FParser.ProgRoot = element;
  struct Restore {
    TwzILParser& parser;
    TwzXMLItem* root;
    String unit;
    ~Restore() {
      parser.ProgRoot = root;
      parser.UnitName = unit;
    }
  } restore{FParser, savedRoot, savedUnit};
  DeclareRoutines(element, scope);
  for (int i = 0; i < element->Count(); ++i) DoStmt(element->Items(i), scope, scope->Statement());
}

void TwzILBuilder::DeclareRoutines(TwzXMLItem* element, TwzScript* scope) {
  for (int i = 0; i < element->Count(); ++i) {
    TwzXMLItem* child = element->Items(i);
    if (Named(child, L"procedure") || Named(child, L"function"))
      DeclareRoutine(child, scope);
    else if (Named(child, L"compoundstmt"))
      DeclareRoutines(child, scope);
  }
}

void TwzILBuilder::DeclareRoutine(TwzXMLItem* element, TwzScript* scope) {
  String name;
  TwzVarType typ = fvtInt;
  String typeName;
  bool isFunc = false;
  if (Named(element, L"procedure")) {
    if (element->Count() == 0) Fail(SIdUndeclared);
    SetErrorPos(element->Items(0));
    name = element->Items(0)->Prop(L"text");
    CheckIdent(scope, name);
  } else {
    typ = fvtVariant;
    isFunc = true;
    const int typeIndex = element->Find(L"type");
    if (typeIndex >= 0) {
      SetErrorPos(element->Items(typeIndex));
      typeName = element->Items(typeIndex)->Prop(L"text");
      // Tested as written: the grammar's alias turns "void" into a type name of its own.
      isFunc = !wzSameName(typeName, L"void");
      if (isFunc)
        typ = FindType(typeName);
      else {
        typ = fvtInt;
        typeName.clear();
      }
    }
    const int nameIndex = element->Find(L"name");
    if (nameIndex < 0) Fail(SIdUndeclared);
    SetErrorPos(element->Items(nameIndex));
    name = element->Items(nameIndex)->Prop(L"text");
    CheckIdent(scope, name);
  }
  auto* proc = new TwzProcVariable(name, typ, typeName, scope, isFunc);
  proc->SetSourcePos(element->Prop(L"pos"));
  proc->SetSourceUnit(FParser.UnitName);
  scope->Add(name, proc);
  const int params = element->Find(L"parameters");
  if (params >= 0) DeclareParameters(element->Items(params), proc);
}

void TwzILBuilder::DeclareParameters(TwzXMLItem* parameters, TwzProcVariable* proc) {
  bool nextByReference = false;
  for (int i = 0; i < parameters->Count(); ++i) {
    TwzXMLItem* child = parameters->Items(i);
    if (Named(child, L"varparams")) {
      nextByReference = true;
      continue;
    }
    if (!Named(child, L"var")) continue;
    bool oneByReference = false;
    for (int j = 0; j < child->Count(); ++j) {
      TwzXMLItem* part = child->Items(j);
      if (Named(part, L"varparam")) {
        oneByReference = true;
        continue;
      }
      if (!Named(part, L"ident")) continue;
      SetErrorPos(part);
      const String name = part->Prop(L"text");
      CheckIdent(proc->Prog(), name);
      auto* param = static_cast<TwzParamItem*>(
          CreateVar(child, proc->Prog(), name, nullptr, true, nextByReference || oneByReference));
      param->SetDefValue(*param->PValue());
      proc->AddParam(param);
      oneByReference = false;
    }
    nextByReference = false;
  }
}

void TwzILBuilder::DoCompoundStmt(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement) {
  for (int i = 0; i < element->Count(); ++i) DoStmt(element->Items(i), scope, statement);
}

TwzStatement* TwzILBuilder::Append(TwzStatement* statement, TwzStatement* child, const TwzXMLItem* element) {
  statement->Add(child);
  (void)element;
  return child;
}

void TwzILBuilder::RecordLine(const TwzXMLItem* element) {
  const String pos = element->Prop(L"pos");
  if (!pos.empty()) FProgram->AddCodeLine(FParser.UnitName, pos);
}

void TwzILBuilder::DoStmt(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement) {
  const String name = Lower(element->Name());
  const String pos = element->Prop(L"pos");
  const String& unit = FParser.UnitName;
  if (name == L"assignstmt") {
    DoAssign(element, scope, statement);
  } else if (name == L"callstmt") {
    DoCall(element, scope, statement);
  } else if (name == L"ifstmt") {
    DoIf(element, scope, statement);
  } else if (name == L"casestmt") {
    DoCase(element, scope, statement);
  } else if (name == L"forstmt") {
    DoFor(element, scope, statement, false);
  } else if (name == L"vbforstmt") {
    DoFor(element, scope, statement, true);
  } else if (name == L"cppforstmt") {
    DoCppFor(element, scope, statement);
  } else if (name == L"whilestmt") {
    DoWhile(element, scope, statement);
  } else if (name == L"repeatstmt") {
    DoRepeat(element, scope, statement);
  } else if (name == L"trystmt") {
    DoTry(element, scope, statement);
  } else if (name == L"break") {
    Append(statement, new TwzBreakStmt(scope, unit, pos), element);
    RecordLine(element);
  } else if (name == L"continue") {
    Append(statement, new TwzContinueStmt(scope, unit, pos), element);
    RecordLine(element);
  } else if (name == L"exit") {
    Append(statement, new TwzExitStmt(scope, unit, pos), element);
    RecordLine(element);
  } else if (name == L"return") {
    DoReturn(element, scope, statement);
  } else if (name == L"with") {
    DoWith(element, scope, statement);
  } else if (name == L"delete") {
    DoDelete(element, scope, statement);
  } else if (name == L"compoundstmt") {
    DoCompoundStmt(element, scope, statement);
  } else if (name == L"uses") {
    DoUses(element, scope);
  } else if (name == L"var") {
    DoVar(element, scope, statement);
  } else if (name == L"const") {
    DoConst(element, scope);
  } else if (name == L"procedure" || name == L"function") {
    DoRoutineBody(element, scope);
  }
}

TwzExpression* TwzILBuilder::TypedExpression(TwzXMLItem* element, TwzScript* scope, TwzCustomVariable* target) {
  std::unique_ptr<TwzExpression> e(DoExpression(element, scope));
  if (target) CheckTypeCompatibility(target, e.get());
  return e.release();
}

void TwzILBuilder::DoAssign(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement) {
  if (element->Count() < 2) Fail(SVarRequired);
  SetErrorPos(element->Items(0));
  std::unique_ptr<TwzDesignator> designator(DoDesignator(element->Items(0), scope, emNone));
  const String designatorPos = FParser.ErrorPos;
  String op = L" ";
  TwzXMLItem* exprElement = element->Items(1);
  if (Named(exprElement, L"modificator")) {
    op = exprElement->Prop(L"text");
    if (element->Count() < 3) Fail(SVarRequired);
    exprElement = element->Items(2);
  }
  std::unique_ptr<TwzExpression> expression(DoExpression(exprElement, scope));
  if (designator->IsReadOnly()) {
    FParser.ErrorPos = designatorPos;
    Fail(SLeftCantAssigned);
  }
  CheckTypeCompatibility(designator.get(), expression.get());
  if (op == L" ") op = String(1, expression->Optimize(designator.get()));
  const wchar_t kind = op.empty() ? L' ' : op[0];
  const String pos = element->Prop(L"pos");
  const String& unit = FParser.UnitName;
  TwzAssignmentStmt* stmt;
  switch (kind) {
    case L'*': stmt = new TwzAssignMulStmt(scope, unit, pos); break;
    case L'+': stmt = new TwzAssignPlusStmt(scope, unit, pos); break;
    case L'-': stmt = new TwzAssignMinusStmt(scope, unit, pos); break;
    case L'/': stmt = new TwzAssignDivStmt(scope, unit, pos); break;
    default: stmt = new TwzAssignmentStmt(scope, unit, pos); break;
  }
  stmt->SetDesignator(designator.release());
  stmt->SetExpression(expression.release());
  stmt->Optimize();
  statement->Add(stmt);
  RecordLine(element);
}

void TwzILBuilder::DoCall(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement) {
  if (element->Count() < 1) Fail(SVarRequired);
  SetErrorPos(element->Items(0));
  std::unique_ptr<TwzDesignator> designator(DoDesignator(element->Items(0), scope, emNone));
  String modificator;
  if (element->Count() > 1) {
    modificator = element->Items(1)->Prop(L"text");
    if (designator->IsReadOnly()) {
      SetErrorPos(element->Items(0));
      Fail(SLeftCantAssigned);
    }
  }
  auto* stmt = new TwzCallStmt(scope, FParser.UnitName, element->Prop(L"pos"));
  stmt->SetDesignator(designator.release());
  stmt->SetModificator(modificator.empty() ? modificator : String(1, modificator[0]));
  statement->Add(stmt);
  RecordLine(element);
}

void TwzILBuilder::DoIf(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement) {
  auto* stmt = new TwzIfStmt(scope, FParser.UnitName, element->Prop(L"pos"));
  statement->Add(stmt);
  for (int i = 0; i < element->Count(); ++i) {
    TwzXMLItem* child = element->Items(i);
    if (i == 0 && Named(child, L"expr"))
      stmt->SetCondition(DoExpression(child, scope));
    else if (Named(child, L"thenstmt"))
      DoCompoundStmt(child, scope, stmt);
    else if (Named(child, L"elsestmt"))
      DoCompoundStmt(child, scope, stmt->ElseStmt());
  }
  RecordLine(element);
}

void TwzILBuilder::DoCase(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement) {
  auto* stmt = new TwzCaseStmt(scope, FParser.UnitName, element->Prop(L"pos"));
  statement->Add(stmt);
  if (element->Count() == 0) return;
  stmt->SetCondition(DoExpression(element->Items(0), scope));
  const int last = element->Count() - 1;
  for (int i = 1; i <= last; ++i) {
    TwzXMLItem* child = element->Items(i);
    if (Named(child, L"caseselector")) {
      // A branch without a statement is left out, so its values fall to the else branch.
      if (child->Count() != 2) continue;
      auto* selector = new TwzCaseSelector(scope, FParser.UnitName, child->Prop(L"pos"));
      stmt->Add(selector);
      selector->SetSetExpression(DoSet(child->Items(0), scope));
      DoStmt(child->Items(1), scope, selector);
    } else if (i == last) {
      DoStmt(child, scope, stmt->ElseStmt());
    }
  }
  RecordLine(element);
}

void TwzILBuilder::DoFor(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement, bool vb) {
  if (element->Count() < 3) Fail(SForError);
  SetErrorPos(element->Items(0));
  TwzCustomVariable* variable = FindVar(scope, element->Items(0)->Prop(L"text"));
  const TwzVarType t = variable->Typ();
  if (!dynamic_cast<TwzVariable*>(variable) || (t != fvtInt && t != fvtFloat && t != fvtVariant && t != fvtInt64))
    Fail(SForError);
  const String pos = element->Prop(L"pos");
  int body = -1;
  if (!vb) {
    auto* stmt = new TwzForStmt(scope, FParser.UnitName, pos);
    statement->Add(stmt);
    stmt->SetVariable(variable);
    stmt->SetBeginValue(TypedExpression(element->Items(1), scope, variable));
    int endIndex = 2;
    if (Named(element->Items(2), L"downto")) {
      stmt->SetDown(true);
      endIndex = 3;
    }
    if (endIndex >= element->Count()) Fail(SForError);
    stmt->SetEndValue(TypedExpression(element->Items(endIndex), scope, variable));
    body = endIndex + 1;
    if (body < element->Count()) DoStmt(element->Items(body), scope, stmt);
  } else {
    auto* stmt = new TwzVbForStmt(scope, FParser.UnitName, pos);
    statement->Add(stmt);
    stmt->SetVariable(variable);
    stmt->SetBeginValue(TypedExpression(element->Items(1), scope, variable));
    stmt->SetEndValue(TypedExpression(element->Items(2), scope, variable));
    body = 3;
    if (element->Count() >= 4 && Named(element->Items(3), L"expr")) {
      stmt->SetStep(TypedExpression(element->Items(3), scope, variable));
      body = 4;
    }
    if (body < element->Count()) DoStmt(element->Items(body), scope, stmt);
  }
  RecordLine(element);
}

void TwzILBuilder::DoCppFor(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement) {
  auto* stmt = new TwzCppForStmt(scope, FParser.UnitName, element->Prop(L"pos"));
  statement->Add(stmt);
  if (element->Count() > 0) DoStmt(element->Items(0), scope, stmt->FirstStmt());
  if (element->Count() > 1) stmt->SetExpression(DoExpression(element->Items(1), scope));
  if (element->Count() > 2) DoStmt(element->Items(2), scope, stmt->SecondStmt());
  // Without a body the loop runs its condition and increment only.
  if (element->Count() > 3) DoStmt(element->Items(3), scope, stmt);
  RecordLine(element);
}

void TwzILBuilder::DoWhile(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement) {
  auto* stmt = new TwzWhileStmt(scope, FParser.UnitName, element->Prop(L"pos"));
  statement->Add(stmt);
  if (element->Count() > 0) stmt->SetCondition(DoExpression(element->Items(0), scope));
  if (element->Count() > 1) DoStmt(element->Items(1), scope, stmt);
  RecordLine(element);
}

void TwzILBuilder::DoRepeat(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement) {
  auto* stmt = new TwzRepeatStmt(scope, FParser.UnitName, element->Prop(L"pos"));
  statement->Add(stmt);
  int conditionIndex = element->Count() - 1;
  if (conditionIndex >= 0 && Named(element->Items(conditionIndex), L"inverse")) {
    stmt->SetInverseCondition(true);
    --conditionIndex;
  }
  if (conditionIndex >= 0) {
    TwzXMLItem* condition = element->Items(conditionIndex);
    if (!Named(condition, L"expr")) {
      const int e = condition->Find(L"expr");
      condition = e >= 0 ? condition->Items(e) : nullptr;
    }
    if (condition) stmt->SetCondition(DoExpression(condition, scope));
  }
  for (int i = 0; i < conditionIndex; ++i) DoStmt(element->Items(i), scope, stmt);
  RecordLine(element);
}

void TwzILBuilder::DoTry(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement) {
  auto* stmt = new TwzTryStmt(scope, FParser.UnitName, element->Prop(L"pos"));
  statement->Add(stmt);
  for (int i = 0; i < element->Count(); ++i) {
    TwzXMLItem* child = element->Items(i);
    if (Named(child, L"exceptstmt")) {
      stmt->SetIsExcept(true);
      DoCompoundStmt(child, scope, stmt->ExceptStmt());
    } else if (Named(child, L"finallystmt")) {
      DoCompoundStmt(child, scope, stmt->ExceptStmt());
    } else {
      DoStmt(child, scope, stmt);
    }
  }
  RecordLine(element);
}

void TwzILBuilder::DoReturn(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement) {
  const String& unit = FParser.UnitName;
  if (element->Count() > 0) {
    TwzXMLItem* value = element->Items(0);
    SetErrorPos(value);
    const String valuePos = FParser.ErrorPos;
    TwzCustomVariable* result = FindVar(scope, L"Result");
    std::unique_ptr<TwzDesignator> designator(ItemDesignator(scope, result, valuePos));
    std::unique_ptr<TwzExpression> expression(TypedExpression(value, scope, designator.get()));
    auto* assign = new TwzAssignmentStmt(scope, unit, valuePos);
    assign->SetDesignator(designator.release());
    assign->SetExpression(expression.release());
    assign->Optimize();
    statement->Add(assign);
  }
  statement->Add(new TwzExitStmt(scope, unit, element->Prop(L"pos")));
  RecordLine(element);
}

void TwzILBuilder::DoWith(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement) {
  if (element->Count() == 0) return;
  const size_t entriesBefore = FWithList.size();
  struct Shrink {
    std::vector<WithEntry>& list;
    size_t size;
    ~Shrink() { list.resize(size); }
  } shrink{FWithList, entriesBefore};
  // A with statement whose body is empty ends with its last designator.
  const bool hasBody = !Named(element->Items(element->Count() - 1), L"dsgn");
  const int designators = hasBody ? element->Count() - 1 : element->Count();
  for (int i = 0; i < designators; ++i) {
    TwzXMLItem* child = element->Items(i);
    SetErrorPos(child);
    std::unique_ptr<TwzDesignator> designator(DoDesignator(child, scope, emNone));
    if (designator->Typ() != fvtClass && designator->Typ() != fvtVariant) Fail(SClassRequired);
    String name;
    for (int n = 0;; ++n) {
      name = L"_WithList_" + rtl::IntToStr(n);
      bool used = scope->FindLocal(name) != nullptr;
      for (const WithEntry& e : FWithList) used = used || wzSameName(e.name, name);
      if (!used) break;
    }
    auto* variable = new TwzVariable(name, designator->Typ(), designator->TypeName());
    scope->Add(name, variable);
    auto* stmt = new TwzWithStmt(scope, FParser.UnitName, element->Prop(L"pos"));
    stmt->SetVariable(variable);
    stmt->SetDesignator(designator.release());
    statement->Add(stmt);
    FWithList.push_back(WithEntry{name, stmt, variable});
  }
  if (hasBody) DoStmt(element->Items(element->Count() - 1), scope, statement);
  RecordLine(element);
}

void TwzILBuilder::DoDelete(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement) {
  if (element->Count() == 0) Fail(SClassRequired);
  SetErrorPos(element->Items(0));
  std::unique_ptr<TwzDesignator> designator(DoDesignator(element->Items(0), scope, emFree));
  auto* stmt = new TwzCallStmt(scope, FParser.UnitName, element->Prop(L"pos"));
  stmt->SetDesignator(designator.release());
  statement->Add(stmt);
  RecordLine(element);
}

void TwzILBuilder::DoUses(TwzXMLItem* element, TwzScript* scope) {
  const String saved = FParser.UnitName;
  struct Restore {
    TwzILParser& parser;
    String unit;
    ~Restore() { parser.UnitName = unit; }
  } restore{FParser, saved};
  FParser.UnitName = element->Prop(L"unit");
  if (FProgram->OnGetILUnit()) {
    String text;
    FProgram->OnGetILUnit()(FProgram, FParser.UnitName, text);
    if (!text.empty()) {
      TwzXMLDocument doc;
      doc.LoadFromBytes(rtl::StringToUTF8(text));
      DoProgram(doc.Root(), scope);
    }
    return;
  }
  for (int i = 0; i < element->Count(); ++i) DoProgram(element->Items(i), scope);
}

void TwzILBuilder::DoRoutineBody(TwzXMLItem* element, TwzScript* scope) {
  String name;
  if (Named(element, L"procedure")) {
    if (element->Count() == 0) return;
    name = element->Items(0)->Prop(L"text");
  } else {
    const int nameIndex = element->Find(L"name");
    if (nameIndex < 0) return;
    name = element->Items(nameIndex)->Prop(L"text");
  }
  // A routine the first pass did not reach (declared inside a statement) is declared where it stands.
  auto* proc = dynamic_cast<TwzProcVariable*>(scope->FindLocal(name));
  if (!proc) {
    DeclareRoutine(element, scope);
    proc = dynamic_cast<TwzProcVariable*>(scope->FindLocal(name));
    if (!proc) Fail(SIdUndeclared + Quoted(name));
  }
  DoProgram(element, proc->Prog());
}

void TwzILBuilder::DoVar(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement) {
  for (int i = 0; i < element->Count(); ++i) {
    TwzXMLItem* child = element->Items(i);
    if (!Named(child, L"ident")) continue;
    SetErrorPos(child);
    const String name = child->Prop(L"text");
    CheckIdent(scope, name);
    TwzCustomVariable* item = CreateVar(element, scope, name, statement, false, false);
    scope->Add(name, item);
  }
}

Variant TwzILBuilder::ArrayValue(TwzXMLItem* array, TwzScript* scope, int& dimCount) {
  std::vector<rtl::Integer> bounds;
  for (int i = 0; i < array->Count(); ++i) {
    TwzXMLItem* dim = array->Items(i);
    if (!Named(dim, L"dim")) continue;
    std::vector<TwzXMLItem*> exprs;
    for (int j = 0; j < dim->Count(); ++j)
      if (Named(dim->Items(j), L"expr")) exprs.push_back(dim->Items(j));
    if (exprs.empty()) continue;
    std::unique_ptr<TwzExpression> first(DoExpression(exprs[0], scope));
    if (exprs.size() >= 2) {
      std::unique_ptr<TwzExpression> second(DoExpression(exprs[1], scope));
      bounds.push_back(first->GetValue().AsInteger());
      bounds.push_back(second->GetValue().AsInteger());
    } else {
      bounds.push_back(0);
      bounds.push_back(first->GetValue().AsInteger() - 1);
    }
  }
  if (bounds.empty()) bounds = {0, 0};
  dimCount = static_cast<int>(bounds.size() / 2);
  return rtl::VarArrayCreate(bounds, rtl::varVariant);
}

TwzCustomVariable* TwzILBuilder::CreateVar(TwzXMLItem* element, TwzScript* scope, const String& name,
                                           TwzStatement* statement, bool createParam, bool isVarParam) {
  const String startPos = FParser.ErrorPos;
  String typeName = L"Variant";
  const int typeIndex = element->Find(L"type");
  if (typeIndex >= 0) {
    typeName = element->Items(typeIndex)->Prop(L"text");
    SetErrorPos(element->Items(typeIndex));
  }
  const TwzVarType typ = FindType(typeName);
  Variant initial;
  switch (typ) {
    case fvtBool: initial = Variant(false); break;
    case fvtChar:
    case fvtString: initial = Variant(String()); break;
    case fvtInt:
    case fvtFloat:
    case fvtClass:
    case fvtInt64: initial = Variant(0); break;
    default: initial = Variant::Null(); break;
  }

  // The children that belong to this name: all of them when the type follows the names, else those after its
  // ident up to the next one.
  int from = 0, to = element->Count();
  for (int i = 0; i < element->Count(); ++i)
    if (Named(element->Items(i), L"ident") && wzSameName(element->Items(i)->Prop(L"text"), name)) {
      from = i + 1;
      break;
    }
  if (typeIndex == 0) {
    for (int i = from; i < element->Count(); ++i)
      if (Named(element->Items(i), L"ident")) {
        to = i;
        break;
      }
  } else {
    from = 0;
  }
  TwzXMLItem* arrayElement = nullptr;
  TwzXMLItem* initElement = nullptr;
  for (int i = from; i < to; ++i) {
    if (Named(element->Items(i), L"array")) arrayElement = element->Items(i);
    if (Named(element->Items(i), L"init")) initElement = element->Items(i);
  }
  TwzXMLItem* initExpr = nullptr;
  if (initElement) {
    const int e = initElement->Find(L"expr");
    initExpr = e >= 0 ? initElement->Items(e) : nullptr;
  }

  int dimCount = 0;
  TwzArrayHelper* helper = nullptr;
  if (arrayElement) {
    initial = ArrayValue(arrayElement, scope, dimCount);
    helper = new TwzArrayHelper(String(), dimCount, typ, typeName);
    scope->Add(String(), helper);
  }

  if (initExpr && !statement) {
    TwzVariable probe(String(), typ, typeName);
    std::unique_ptr<TwzExpression> e(TypedExpression(initExpr, scope, &probe));
    initial = e->GetValue();
  }

  std::unique_ptr<TwzCustomVariable> item;
  if (createParam)
    item.reset(new TwzParamItem(name, typ, typeName, initExpr != nullptr, isVarParam));
  else if ((typ == fvtChar || typ == fvtString) && !helper)
    // An array stays an array whatever its element type: a string variable would index characters.
    item.reset(new TwzStringVariable(name, typ, typeName));
  else
    item.reset(new TwzVariable(name, typ, typeName));
  if (helper) {
    item->SetTyp(fvtArray);
    item->SetRefItem(helper);
    *item->PValue() = initial;
  } else {
    item->SetValue(initial);
  }
  item->SetSourcePos(startPos);
  item->SetSourceUnit(FParser.UnitName);
  item->SetOnGetVarValue(FProgram->OnGetVarValue());

  if (initExpr && statement) {
    std::unique_ptr<TwzDesignator> designator(ItemDesignator(scope, item.get(), element->Prop(L"pos")));
    std::unique_ptr<TwzExpression> expression(TypedExpression(initExpr, scope, item.get()));
    auto* assign = new TwzAssignmentStmt(scope, FParser.UnitName, element->Prop(L"pos"));
    assign->SetDesignator(designator.release());
    assign->SetExpression(expression.release());
    assign->Optimize();
    statement->Add(assign);
  }
  return item.release();
}

void TwzILBuilder::DoConst(TwzXMLItem* element, TwzScript* scope) {
  if (element->Count() < 2) Fail(SIdUndeclared);
  SetErrorPos(element->Items(0));
  const String name = element->Items(0)->Prop(L"text");
  CheckIdent(scope, name);
  std::unique_ptr<TwzExpression> e(DoExpression(element->Items(1), scope));
  auto item = std::make_unique<TwzVariable>(name, e->Typ(), e->TypeName());
  item->SetValue(e->GetValue());
  item->SetIsReadOnly(true);
  item->SetSourcePos(element->Items(0)->Prop(L"pos"));
  item->SetSourceUnit(FParser.UnitName);
  scope->Add(name, item.release());
}

TwzVarType TwzILBuilder::FindType(String& typeName) {
  auto alias = [this, &typeName](const TwzXMLItem* owner) {
    if (!owner) return false;
    auto found = FTypesOf.find(owner);
    if (found == FTypesOf.end()) {
      const int t = owner->Find(L"types");
      found = FTypesOf.emplace(owner, t < 0 ? nullptr : owner->Items(t)).first;
    }
    const TwzXMLItem* types = found->second;
    if (!types) return false;
    for (int i = 0; i < types->Count(); ++i)
      if (wzSameName(types->Items(i)->Name(), typeName)) {
        typeName = types->Items(i)->Prop(L"type");
        return true;
      }
    return false;
  };
  if (!alias(FParser.ProgRoot)) alias(FParser.Root);
  const TwzVarType typ = StrToVarType(typeName, FProgram);
  if (typ == fvtClass) FindClass(typeName);
  return typ;
}

TwzClassVariable* TwzILBuilder::FindClass(const String& name) {
  TwzClassVariable* cls = FProgram->FindClass(name);
  if (!cls) Fail(SUnknownType + Quoted(name));
  return cls;
}

TwzCustomVariable* TwzILBuilder::FindVar(TwzScript* scope, const String& name) {
  if (TwzCustomVariable* v = scope->Find(name)) return v;
  if (FParser.NeedDeclareVars) Fail(SIdUndeclared + Quoted(name));
  auto* v = new TwzVariable(name, fvtVariant, String());
  v->SetOnGetVarValue(FProgram->OnGetVarValue());
  FProgram->Add(name, v);
  return v;
}

void TwzILBuilder::CheckIdent(TwzScript* scope, const String& name) {
  if (scope->FindLocal(name)) Fail(SIdRedeclared + Quoted(name));
}

void TwzILBuilder::CheckTypeCompatibility(TwzCustomVariable* target, TwzCustomVariable* source) {
  if (!AssignCompatible(TwzTypePair{target->Typ(), target->TypeName()}, TwzTypePair{source->Typ(), source->TypeName()},
                        FProgram))
    Fail(SIncompatibleTypes + L": " + Quoted(target->GetFullTypeName()) + L", " + Quoted(source->GetFullTypeName()));
}
