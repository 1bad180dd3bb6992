#pragma once
// Statements. Break, continue, exit and termination are flags on the owning program, set by the statement that
// causes them and tested by every statement list after each child, so the effect travels outwards until a loop, a
// procedure or the program consumes it. Exceptions unwind normally; the try statement catches them.
#include "script/wz_classes.h"

class TwzCustomExpression;
class TwzDesignator;
class TwzSetExpression;

class TwzStatement : public TwzItemList {
public:
  TwzStatement(TwzScript* aProgram, const rtl::String& unitName, const rtl::String& sourcePos);
  rtl::String ClassName() const override { return L"TwzStatement"; }

  // Runs the children in order, stopping on termination before a child and on break, continue or exit after one.
  virtual void Execute();
  // The line hook of the program chain, with this statement's unit and position.
  void RunLine();

  TwzStatement* Items(int index) const { return static_cast<TwzStatement*>(GetItem(index)); }
  TwzScript* Program() const { return FProgram; }
  const rtl::String& SourcePos() const { return FSourcePos; }
  const rtl::String& UnitName() const { return FUnitName; }

protected:
  // Line hook, then true when the program has been terminated.
  bool HookAndTerminated();
  // After a loop body: true when the loop must end (break or exit); otherwise clears continue.
  bool LoopShouldLeave();

  TwzScript* FProgram;
  rtl::String FSourcePos;
  rtl::String FUnitName;
};

// How the front end makes a statement of any kind from its class.
using TwzStatementClass = TwzStatement* (*)(TwzScript* aProgram, const rtl::String& unitName,
                                            const rtl::String& sourcePos);

template <class T>
TwzStatement* wzCreateStatement(TwzScript* aProgram, const rtl::String& unitName, const rtl::String& sourcePos) {
  return new T(aProgram, unitName, sourcePos);
}

class TwzAssignmentStmt : public TwzStatement {
public:
  using TwzStatement::TwzStatement;
  ~TwzAssignmentStmt() override;
  rtl::String ClassName() const override { return L"TwzAssignmentStmt"; }
  void Execute() override;
  // Called once designator and expression are set: picks the items the statement writes and reads directly.
  void Optimize();

  TwzDesignator* Designator() const { return FDesignator; }
  void SetDesignator(TwzDesignator* value) { FDesignator = value; }
  TwzCustomExpression* Expression() const { return FExpression; }
  void SetExpression(TwzCustomExpression* value) { FExpression = value; }
  // What the statement writes and reads: the items Optimize picked, else the designator and the expression.
  TwzCustomVariable* Target() const;
  TwzCustomVariable* Source() const;

protected:
  TwzDesignator* FDesignator = nullptr;
  TwzCustomExpression* FExpression = nullptr;
  TwzCustomVariable* FVar = nullptr;
  TwzCustomVariable* FExpr = nullptr;
};

// Compound assignments: the variable is read once and written once.
class TwzCompoundAssignmentStmt : public TwzAssignmentStmt {
public:
  using TwzAssignmentStmt::TwzAssignmentStmt;
  void Execute() override;

protected:
  virtual rtl::Variant Combine(const rtl::Variant& v, const rtl::Variant& e) const = 0;
  // Reads the variable, then the operand, combines and writes back.
  void ExecuteGeneral(TwzCustomVariable* target);
};

#define WZ_COMPOUND_STMT(Name)                                                         \
  class Name : public TwzCompoundAssignmentStmt {                                      \
  public:                                                                              \
    using TwzCompoundAssignmentStmt::TwzCompoundAssignmentStmt;                        \
    rtl::String ClassName() const override { return L## #Name; }                       \
                                                                                       \
  protected:                                                                           \
    rtl::Variant Combine(const rtl::Variant& v, const rtl::Variant& e) const override; \
  }

// x := x + e. Text is appended to a string variable in place, so building a text piece by piece grows with its
// length, not with its square.
class TwzAssignPlusStmt : public TwzCompoundAssignmentStmt {
public:
  using TwzCompoundAssignmentStmt::TwzCompoundAssignmentStmt;
  rtl::String ClassName() const override { return L"TwzAssignPlusStmt"; }
  void Execute() override;
  // What Execute does after the line hook.
  void Perform();

protected:
  rtl::Variant Combine(const rtl::Variant& v, const rtl::Variant& e) const override;
};

WZ_COMPOUND_STMT(TwzAssignMinusStmt);
WZ_COMPOUND_STMT(TwzAssignMulStmt);
WZ_COMPOUND_STMT(TwzAssignDivStmt);

#undef WZ_COMPOUND_STMT

class TwzCallStmt : public TwzStatement {
public:
  using TwzStatement::TwzStatement;
  ~TwzCallStmt() override;
  rtl::String ClassName() const override { return L"TwzCallStmt"; }
  void Execute() override;

  TwzDesignator* Designator() const { return FDesignator; }
  void SetDesignator(TwzDesignator* value) { FDesignator = value; }
  // Empty for a call, "+" or "-" for the ++ and -- statements.
  const rtl::String& Modificator() const { return FModificator; }
  void SetModificator(const rtl::String& value) { FModificator = value; }

private:
  TwzDesignator* FDesignator = nullptr;
  rtl::String FModificator;
};

// The children are the then-part.
class TwzIfStmt : public TwzStatement {
public:
  TwzIfStmt(TwzScript* aProgram, const rtl::String& unitName, const rtl::String& sourcePos);
  ~TwzIfStmt() override;
  rtl::String ClassName() const override { return L"TwzIfStmt"; }
  void Execute() override;

  TwzCustomExpression* Condition() const { return FCondition; }
  void SetCondition(TwzCustomExpression* value) { FCondition = value; }
  TwzStatement* ElseStmt() const { return FElseStmt; }

private:
  TwzCustomExpression* FCondition = nullptr;
  TwzStatement* FElseStmt;
};

// One branch of a case statement; the children are the branch.
class TwzCaseSelector : public TwzStatement {
public:
  using TwzStatement::TwzStatement;
  ~TwzCaseSelector() override;
  rtl::String ClassName() const override { return L"TwzCaseSelector"; }
  bool Check(const rtl::Variant& value) const;

  TwzSetExpression* SetExpression() const { return FSetExpression; }
  void SetSetExpression(TwzSetExpression* value) { FSetExpression = value; }

private:
  TwzSetExpression* FSetExpression = nullptr;
};

// The children are TwzCaseSelector items.
class TwzCaseStmt : public TwzStatement {
public:
  TwzCaseStmt(TwzScript* aProgram, const rtl::String& unitName, const rtl::String& sourcePos);
  ~TwzCaseStmt() override;
  rtl::String ClassName() const override { return L"TwzCaseStmt"; }
  void Execute() override;

  TwzCustomExpression* Condition() const { return FCondition; }
  void SetCondition(TwzCustomExpression* value) { FCondition = value; }
  TwzStatement* ElseStmt() const { return FElseStmt; }

private:
  TwzCustomExpression* FCondition = nullptr;
  TwzStatement* FElseStmt;
};

// repeat ... until c, or (inverse) do ... while c. The children are the body.
class TwzRepeatStmt : public TwzStatement {
public:
  using TwzStatement::TwzStatement;
  ~TwzRepeatStmt() override;
  rtl::String ClassName() const override { return L"TwzRepeatStmt"; }
  void Execute() override;

  TwzCustomExpression* Condition() const { return FCondition; }
  void SetCondition(TwzCustomExpression* value) { FCondition = value; }
  bool InverseCondition() const { return FInverseCondition; }
  void SetInverseCondition(bool value) { FInverseCondition = value; }

private:
  TwzCustomExpression* FCondition = nullptr;
  bool FInverseCondition = false;
};

class TwzWhileStmt : public TwzStatement {
public:
  using TwzStatement::TwzStatement;
  ~TwzWhileStmt() override;
  rtl::String ClassName() const override { return L"TwzWhileStmt"; }
  void Execute() override;

  TwzCustomExpression* Condition() const { return FCondition; }
  void SetCondition(TwzCustomExpression* value) { FCondition = value; }

private:
  TwzCustomExpression* FCondition = nullptr;
};

// for v := a to b (or downto): integer bounds evaluated once.
class TwzForStmt : public TwzStatement {
public:
  using TwzStatement::TwzStatement;
  ~TwzForStmt() override;
  rtl::String ClassName() const override { return L"TwzForStmt"; }
  void Execute() override;

  TwzCustomExpression* BeginValue() const { return FBeginValue; }
  void SetBeginValue(TwzCustomExpression* value) { FBeginValue = value; }
  bool Down() const { return FDown; }
  void SetDown(bool value) { FDown = value; }
  TwzCustomExpression* EndValue() const { return FEndValue; }
  void SetEndValue(TwzCustomExpression* value) { FEndValue = value; }
  TwzCustomVariable* Variable() const { return FVariable; }
  void SetVariable(TwzCustomVariable* value) { FVariable = value; }

private:
  TwzCustomExpression* FBeginValue = nullptr;
  bool FDown = false;
  TwzCustomExpression* FEndValue = nullptr;
  TwzCustomVariable* FVariable = nullptr;
};

// For v = a To b [Step s] ... Next: variant counter, so fractional steps work.
class TwzVbForStmt : public TwzStatement {
public:
  using TwzStatement::TwzStatement;
  ~TwzVbForStmt() override;
  rtl::String ClassName() const override { return L"TwzVbForStmt"; }
  void Execute() override;

  TwzCustomExpression* BeginValue() const { return FBeginValue; }
  void SetBeginValue(TwzCustomExpression* value) { FBeginValue = value; }
  TwzCustomExpression* EndValue() const { return FEndValue; }
  void SetEndValue(TwzCustomExpression* value) { FEndValue = value; }
  TwzCustomExpression* Step() const { return FStep; }
  void SetStep(TwzCustomExpression* value) { FStep = value; }
  TwzCustomVariable* Variable() const { return FVariable; }
  void SetVariable(TwzCustomVariable* value) { FVariable = value; }

private:
  TwzCustomExpression* FBeginValue = nullptr;
  TwzCustomExpression* FEndValue = nullptr;
  TwzCustomExpression* FStep = nullptr;
  TwzCustomVariable* FVariable = nullptr;
};

// for (init; condition; increment) body.
class TwzCppForStmt : public TwzStatement {
public:
  TwzCppForStmt(TwzScript* aProgram, const rtl::String& unitName, const rtl::String& sourcePos);
  ~TwzCppForStmt() override;
  rtl::String ClassName() const override { return L"TwzCppForStmt"; }
  void Execute() override;

  TwzStatement* FirstStmt() const { return FFirstStmt; }
  TwzCustomExpression* Expression() const { return FExpression; }
  void SetExpression(TwzCustomExpression* value) { FExpression = value; }
  TwzStatement* SecondStmt() const { return FSecondStmt; }

private:
  TwzStatement* FFirstStmt;
  TwzCustomExpression* FExpression = nullptr;
  TwzStatement* FSecondStmt;
};

// try ... except / try ... finally. The children are the protected part.
class TwzTryStmt : public TwzStatement {
public:
  TwzTryStmt(TwzScript* aProgram, const rtl::String& unitName, const rtl::String& sourcePos);
  ~TwzTryStmt() override;
  rtl::String ClassName() const override { return L"TwzTryStmt"; }
  void Execute() override;

  bool IsExcept() const { return FIsExcept; }
  void SetIsExcept(bool value) { FIsExcept = value; }
  TwzStatement* ExceptStmt() const { return FExceptStmt; }

private:
  bool FIsExcept = false;
  TwzStatement* FExceptStmt;
};

class TwzBreakStmt : public TwzStatement {
public:
  using TwzStatement::TwzStatement;
  rtl::String ClassName() const override { return L"TwzBreakStmt"; }
  void Execute() override;
};

class TwzContinueStmt : public TwzStatement {
public:
  using TwzStatement::TwzStatement;
  rtl::String ClassName() const override { return L"TwzContinueStmt"; }
  void Execute() override;
};

class TwzExitStmt : public TwzStatement {
public:
  using TwzStatement::TwzStatement;
  rtl::String ClassName() const override { return L"TwzExitStmt"; }
  void Execute() override;
};

// Evaluates the with-object once and keeps it in a hidden variable through which the body reaches its members.
class TwzWithStmt : public TwzStatement {
public:
  using TwzStatement::TwzStatement;
  ~TwzWithStmt() override;
  rtl::String ClassName() const override { return L"TwzWithStmt"; }
  void Execute() override;

  TwzDesignator* Designator() const { return FDesignator; }
  void SetDesignator(TwzDesignator* value) { FDesignator = value; }
  TwzCustomVariable* Variable() const { return FVariable; }
  void SetVariable(TwzCustomVariable* value) { FVariable = value; }

private:
  TwzDesignator* FDesignator = nullptr;
  TwzCustomVariable* FVariable = nullptr;
};
