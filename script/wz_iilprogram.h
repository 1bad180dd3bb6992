#pragma once
// The compiler's second step: walks the intermediate code a translator produced (or took back) and builds the
// script program's items and statements from it. Every identifier is resolved here, once; only paths through
// objects unknown at compile time are left to late binding.
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/rtl/types.h"
#include "script/wz_classes.h"

class TwzILParser;
class TwzXMLItem;
class TwzStatement;
class TwzExpression;
class TwzSetExpression;
class TwzDesignator;
class TwzDesignatorItem;
class TwzClassVariable;
class TwzWithStmt;

// What the caller of the designator builder wants of the path.
enum TwzEmitOp : std::uint8_t { emNone = 0, emCreate = 1, emFree = 2 };

class TwzILBuilder {
public:
  // program is the main program; the translator supplies the intermediate code, the grammar's type aliases, the
  // scanned text (for expression sources) and the fields ErrorPos, ProgRoot, UnitName and NeedDeclareVars.
  TwzILBuilder(TwzILParser& parser, TwzScript* program);
  TwzILBuilder(const TwzILBuilder&) = delete;
  TwzILBuilder& operator=(const TwzILBuilder&) = delete;

  // Builds the translator's intermediate code into the main program. Build errors do not raise: the program
  // receives the message, the "line:column" position and the unit, and the result is false.
  bool ParseILScript();
  // Set while a path deferred to run time is built: a nil object then is an error, not another deferral.
  void SetResolvingLate(bool value) { FResolvingLate = value; }

  void DoProgram(TwzXMLItem* element, TwzScript* scope);
  void DoStmt(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement);
  void DoCompoundStmt(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement);
  TwzCustomVariable* CreateVar(TwzXMLItem* element, TwzScript* scope, const rtl::String& name, TwzStatement* statement,
                               bool createParam, bool isVarParam);
  TwzCustomVariable* FindVar(TwzScript* scope, const rtl::String& name);
  // The type code of a type name after its alias is applied; typeName receives the name the alias stands for.
  TwzVarType FindType(rtl::String& typeName);
  TwzClassVariable* FindClass(const rtl::String& name);
  void CheckIdent(TwzScript* scope, const rtl::String& name);
  void CheckTypeCompatibility(TwzCustomVariable* target, TwzCustomVariable* source);

  // Building expressions and designators (wz_iexpression.cpp).
  TwzExpression* DoExpression(TwzXMLItem* element, TwzScript* scope);
  TwzSetExpression* DoSet(TwzXMLItem* element, TwzScript* scope);
  TwzDesignator* DoDesignator(TwzXMLItem* element, TwzScript* scope, TwzEmitOp emitOp);

private:
  struct WithEntry {
    rtl::String name;
    TwzWithStmt* statement;
    TwzCustomVariable* variable;
  };

  // Raises the platform's general exception with message.
  [[noreturn]] void Fail(const rtl::String& message);
  void SetErrorPos(const TwzXMLItem* element);
  TwzStatement* Append(TwzStatement* statement, TwzStatement* child, const TwzXMLItem* element);
  void RecordLine(const TwzXMLItem* element);
  // The rest of a path on an automation object: calls by name at run time (wz_iexpression.cpp).
  void AddAutomationSteps(TwzXMLItem* element, int first, TwzScript* scope, TwzDesignator* result);
  void AddDynamicSteps(TwzXMLItem* element, int first, TwzScript* scope, TwzDesignator* result);

  void DeclareRoutines(TwzXMLItem* element, TwzScript* scope);
  void DeclareRoutine(TwzXMLItem* element, TwzScript* scope);
  void DeclareParameters(TwzXMLItem* parameters, TwzProcVariable* proc);
  void DoRoutineBody(TwzXMLItem* element, TwzScript* scope);
  void DoVar(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement);
  void DoConst(TwzXMLItem* element, TwzScript* scope);
  void DoAssign(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement);
  void DoCall(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement);
  void DoIf(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement);
  void DoCase(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement);
  void DoFor(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement, bool vb);
  void DoCppFor(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement);
  void DoWhile(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement);
  void DoRepeat(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement);
  void DoTry(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement);
  void DoReturn(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement);
  void DoWith(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement);
  void DoDelete(TwzXMLItem* element, TwzScript* scope, TwzStatement* statement);
  void DoUses(TwzXMLItem* element, TwzScript* scope);
  // An expression that must fit target; freed before the error passes on.
  TwzExpression* TypedExpression(TwzXMLItem* element, TwzScript* scope, TwzCustomVariable* target);
  rtl::Variant ArrayValue(TwzXMLItem* array, TwzScript* scope, int& dimCount);

  // Designator steps (wz_iexpression.cpp).
  bool WithLookup(TwzXMLItem* element, TwzScript* scope, TwzDesignator* result, TwzDesignatorItem* step,
                  const rtl::String& name, bool& lateBound);
  void SetLateBinding(TwzDesignator* result, const TwzXMLItem* element);
  void CheckArguments(TwzDesignator* result);
  rtl::String ExpressionSource(const TwzXMLItem* element) const;
  void AddExpressionItems(TwzExpression* expression, TwzXMLItem* element, TwzScript* scope);

  TwzILParser& FParser;
  TwzScript* FProgram;
  std::vector<WithEntry> FWithList;
  bool FResolvingLate = false;
  // Each program element's "types" child (or nil), found once: a program holds one child per routine, and every
  // declared name's type is looked up here.
  std::unordered_map<const TwzXMLItem*, const TwzXMLItem*> FTypesOf;
};

// The late-binding resolver the builder gives a designator: builds the saved path again in program when it is
// first evaluated. Exposed for the designator tests.
std::function<TwzDesignator*(TwzScript*)> wzMakeLateBindingSource(const TwzXMLItem* dsgn, const rtl::String& language);
