#pragma once
// Expressions: binary trees of operator nodes over constants, designators and sets, built in source order with the
// operator priorities deciding the shape, then typed and evaluated over variants.
#include <cstdint>

#include "script/wz_classes.h"

class TwzDesignator;
class TwzSetExpression;

enum TwzOperatorType : std::uint8_t {
  opNone,
  opGreat,
  opLess,
  opLessEq,
  opGreatEq,
  opNonEq,
  opEq,
  opPlus,
  opMinus,
  opOr,
  opXor,
  opMul,
  opDivFloat,
  opDivInt,
  opMod,
  opAnd,
  opShl,
  opShr,
  opLeftBracket,
  opRightBracket,
  opNot,
  opUnMinus,
  opIn,
  opIs
};

class TwzExpressionNode : public TwzCustomVariable {
public:
  TwzExpressionNode() : TwzCustomVariable(rtl::String(), fvtVariant, rtl::String()) {}
  ~TwzExpressionNode() override;
  rtl::String ClassName() const override { return L"TwzExpressionNode"; }
  // A lower number binds tighter; operands have 0.
  virtual int Priority() const = 0;

  TwzExpressionNode* Left() const { return FLeft; }
  TwzExpressionNode* Right() const { return FRight; }
  TwzExpressionNode* ParentNode() const { return FParent; }

protected:
  friend class TwzExpression;
  TwzExpressionNode* FLeft = nullptr;
  TwzExpressionNode* FRight = nullptr;
  TwzExpressionNode* FParent = nullptr;
};

// A constant; its type code follows the constant's variant type.
class TwzOperandNode : public TwzExpressionNode {
public:
  explicit TwzOperandNode(const rtl::Variant& value);
  rtl::String ClassName() const override { return L"TwzOperandNode"; }
  int Priority() const override { return 0; }
};

class TwzDesignatorNode : public TwzOperandNode {
public:
  // Takes ownership of the designator.
  explicit TwzDesignatorNode(TwzDesignator* designator);
  ~TwzDesignatorNode() override;
  rtl::String ClassName() const override { return L"TwzDesignatorNode"; }
  rtl::Variant GetValue() override;
  TwzDesignator* Designator() const { return FDesignator; }
  // The item read: the variable itself for a plain-variable designator, else the designator.
  TwzCustomVariable* Var() const { return FVar; }

private:
  TwzDesignator* FDesignator;
  TwzCustomVariable* FVar;
  std::int8_t FPlain = -1;  // FVar is a plain value item (wzIsPlainValueItem); -1 until first asked
};

class TwzSetNode : public TwzOperandNode {
public:
  // Takes ownership of the set.
  explicit TwzSetNode(TwzSetExpression* set);
  ~TwzSetNode() override;
  rtl::String ClassName() const override { return L"TwzSetNode"; }
  rtl::Variant GetValue() override;
  TwzSetExpression* SetExpression() const { return FSetExpression; }

private:
  TwzSetExpression* FSetExpression;
};

class TwzOperatorNode : public TwzExpressionNode {
public:
  explicit TwzOperatorNode(TwzOperatorType op) : FOp(op) {}
  rtl::String ClassName() const override { return L"TwzOperatorNode"; }
  int Priority() const override;
  TwzOperatorType Op() const { return FOp; }
  bool OptimizeBool() const { return FOptimizeBool; }
  void SetOptimizeBool(bool value) { FOptimizeBool = value; }

protected:
  rtl::Variant LeftValue() const {
    if (!FLeft) MissingOperand();
    return FLeft->GetValue();
  }
  rtl::Variant RightValue() const {
    if (!FRight) MissingOperand();
    return FRight->GetValue();
  }
  [[noreturn]] static void MissingOperand();

  TwzOperatorType FOp;
  bool FOptimizeBool = false;
};

#define WZ_OPERATOR_NODE(Name, Op)                               \
  class Name : public TwzOperatorNode {                          \
  public:                                                        \
    Name() : TwzOperatorNode(Op) {}                              \
    rtl::String ClassName() const override { return L## #Name; } \
    rtl::Variant GetValue() override;                            \
  }

WZ_OPERATOR_NODE(TNoneNode, opNone);
WZ_OPERATOR_NODE(TGreatNode, opGreat);
WZ_OPERATOR_NODE(TLessNode, opLess);
WZ_OPERATOR_NODE(TLessEqNode, opLessEq);
WZ_OPERATOR_NODE(TGreatEqNode, opGreatEq);
WZ_OPERATOR_NODE(TNonEqNode, opNonEq);
WZ_OPERATOR_NODE(TEqNode, opEq);
WZ_OPERATOR_NODE(TPlusNode, opPlus);
WZ_OPERATOR_NODE(TStrCatNode, opPlus);
WZ_OPERATOR_NODE(TMinusNode, opMinus);
WZ_OPERATOR_NODE(TOrNode, opOr);
WZ_OPERATOR_NODE(TXorNode, opXor);
WZ_OPERATOR_NODE(TMulNode, opMul);
WZ_OPERATOR_NODE(TDivFloatNode, opDivFloat);
WZ_OPERATOR_NODE(TDivIntNode, opDivInt);
WZ_OPERATOR_NODE(TModNode, opMod);
WZ_OPERATOR_NODE(TAndNode, opAnd);
WZ_OPERATOR_NODE(TShlNode, opShl);
WZ_OPERATOR_NODE(TShrNode, opShr);
WZ_OPERATOR_NODE(TNotNode, opNot);
WZ_OPERATOR_NODE(TUnMinusNode, opUnMinus);
WZ_OPERATOR_NODE(TInNode, opIn);
WZ_OPERATOR_NODE(TIsNode, opIs);

#undef WZ_OPERATOR_NODE

// The brackets exist only while the tree is being built.
class TLeftBracketNode : public TwzOperatorNode {
public:
  TLeftBracketNode() : TwzOperatorNode(opLeftBracket) {}
  rtl::String ClassName() const override { return L"TLeftBracketNode"; }
  // Only a bracket left unclosed survives the build; it stands for what it encloses.
  rtl::Variant GetValue() override;
};

class TRightBracketNode : public TwzOperatorNode {
public:
  TRightBracketNode() : TwzOperatorNode(opRightBracket) {}
  rtl::String ClassName() const override { return L"TRightBracketNode"; }
};

class TwzCustomExpression : public TwzCustomVariable {
public:
  TwzCustomExpression() : TwzCustomVariable(rtl::String(), fvtVariant, rtl::String()) {}
  rtl::String ClassName() const override { return L"TwzCustomExpression"; }
};

class TwzExpression : public TwzCustomExpression {
public:
  explicit TwzExpression(TwzScript* script);
  ~TwzExpression() override;
  rtl::String ClassName() const override { return L"TwzExpression"; }

  // Operands take the expression's current source position (SourcePos), which the builder moves along.
  void AddConst(const rtl::Variant& value);
  void AddDesignator(TwzDesignator* designator);
  void AddSet(TwzSetExpression* set);
  void AddOperand(TwzExpressionNode* node);
  // Raises EwzScriptError for an unknown operator text or an unbalanced closing bracket.
  void AddOperator(const rtl::String& text);
  // Ends construction; the source position of the first type error, or an empty text. A tree more than 1000
  // operators deep raises EwzScriptError "Nesting too deep".
  rtl::String Finalize();
  // For an assignment of this expression to designator: "+", "-", "*" or "/" when the tree was rewritten into the
  // right-hand side of a compound assignment, else " ".
  wchar_t Optimize(TwzDesignator* designator);
  // The item an assignment can read instead of evaluating the tree, or nil.
  TwzCustomVariable* SingleItem() const;

  rtl::Variant GetValue() override;
  // Writes through a root designator (how a var parameter's value reaches the caller); ignored when read-only.
  void SetValue(const rtl::Variant& value) override;

  const rtl::String& Source() const { return FSource; }
  void SetSource(const rtl::String& value) { FSource = value; }
  TwzExpressionNode* Root() const { return FNode; }
  TwzScript* Script() const { return FScript; }

private:
  TwzExpressionNode* FCurNode;
  TwzExpressionNode* FNode;
  TwzScript* FScript;
  rtl::String FSource;
  bool FFinalized = false;
};

// A set constructor such as [1, 3, 5..9]. The owned list holds the element expressions in order; a nil entry marks
// a range between its neighbours (1, 3, 5, nil, 9).
class TwzSetExpression : public TwzCustomVariable {
public:
  TwzSetExpression() : TwzCustomVariable(rtl::String(), fvtVariant, rtl::String()) {}
  rtl::String ClassName() const override { return L"TwzSetExpression"; }
  TwzCustomVariable* Items(int index) const { return static_cast<TwzCustomVariable*>(GetItem(index)); }
  // A variant array 0..Count-1 of the element values, Null at range markers.
  rtl::Variant GetValue() override;
  // Membership, with inclusive range bounds.
  bool Check(const rtl::Variant& value);
};

// Membership of value in a set held as a variant array (Null entries mark ranges).
bool wzInVariantSet(const rtl::Variant& value, const rtl::Variant& set);
