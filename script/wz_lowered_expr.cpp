// Expressions in the lower form. Each node does what the tree node it stands for does, in the same order: the left
// operand is read before the right one runs, Integer operands are answered inline by the variant's own rules and
// everything else goes to the variant operators; a call of one step follows the designator's walk step for step.
#include "script/wz_lowered_expr.h"
#include "script/wz_lowered_nodes.h"

#include <algorithm>
#include <cstdint>
#include <typeinfo>
#include <vector>

#include "script/wz_designators.h"
#include "script/wz_expressions.h"
#include "script/wz_hostclasses.h"
#include "script/wz_script.h"

using rtl::Int64;
using rtl::String;
using rtl::Variant;

namespace wzlow {

bool IsExactVariable(const TwzCustomVariable* item) { return item && typeid(*item) == typeid(TwzVariable); }
bool IsExactParam(const TwzCustomVariable* item) { return item && typeid(*item) == typeid(TwzParamItem); }

namespace {

using namespace wzlow::node;

// --- building ---

ExprPtr LowerNode(TwzExpressionNode* node);

enum class OperandKind { Const, Var, Other };

OperandKind KindOf(TwzExpressionNode* node) {
  if (typeid(*node) == typeid(TwzOperandNode)) return OperandKind::Const;
  if (typeid(*node) == typeid(TwzDesignatorNode) && IsPlain(static_cast<TwzDesignatorNode*>(node)->Var()))
    return OperandKind::Var;
  return OperandKind::Other;
}

template <class Op, class L>
ExprPtr WithRight(L l, ExprPtr ownedLeft, TwzExpressionNode* right) {
  switch (KindOf(right)) {
    case OperandKind::Const:
      return std::make_unique<Binary<Op, L, ConstOperand>>(l, ConstOperand{right->PValue()}, std::move(ownedLeft),
                                                           nullptr);
    case OperandKind::Var:
      return std::make_unique<Binary<Op, L, VarOperand>>(l, VarOperand{static_cast<TwzDesignatorNode*>(right)->Var()},
                                                         std::move(ownedLeft), nullptr);
    case OperandKind::Other:
      break;
  }
  ExprPtr r = LowerNode(right);
  Expr* raw = r.get();
  return std::make_unique<Binary<Op, L, ExprOperand>>(l, ExprOperand{raw}, std::move(ownedLeft), std::move(r));
}

template <class Op>
ExprPtr MakeBinary(TwzExpressionNode* left, TwzExpressionNode* right) {
  switch (KindOf(left)) {
    case OperandKind::Const:
      return WithRight<Op>(ConstOperand{left->PValue()}, nullptr, right);
    case OperandKind::Var:
      return WithRight<Op>(VarOperand{static_cast<TwzDesignatorNode*>(left)->Var()}, nullptr, right);
    case OperandKind::Other:
      break;
  }
  ExprPtr l = LowerNode(left);
  Expr* raw = l.get();
  return WithRight<Op>(ExprOperand{raw}, std::move(l), right);
}

// x mod d for a constant Integer d of 2 or more and a left operand that is not a constant; nullptr otherwise.
ExprPtr MakeConstModulo(TwzExpressionNode* left, TwzExpressionNode* right) {
  if (KindOf(right) != OperandKind::Const) return nullptr;
  const Variant* divisor = right->PValue();
  if (divisor->VarType() != rtl::varInteger || divisor->AsInteger() < 2) return nullptr;
  switch (KindOf(left)) {
    case OperandKind::Const: return nullptr;
    case OperandKind::Var:
      return std::make_unique<ConstModulo<VarOperand>>(VarOperand{static_cast<TwzDesignatorNode*>(left)->Var()},
                                                       divisor, nullptr);
    case OperandKind::Other: break;
  }
  ExprPtr l = LowerNode(left);
  Expr* raw = l.get();
  return std::make_unique<ConstModulo<ExprOperand>>(ExprOperand{raw}, divisor, std::move(l));
}

ExprPtr LowerOperator(TwzOperatorNode* node) {
  TwzExpressionNode* l = node->Left();
  TwzExpressionNode* r = node->Right();
  const std::type_info& type = typeid(*node);
  // An unclosed bracket without an operand raises the node's own error; an empty expression is Null.
  if (type == typeid(TLeftBracketNode)) return l ? LowerNode(l) : std::make_unique<ItemRead>(node);
  if (type == typeid(TNoneNode)) return l ? LowerNode(l) : std::make_unique<NullRead>();
  if (type == typeid(TNotNode) || type == typeid(TUnMinusNode)) {
    // The node's own error for a missing operand comes from the node.
    if (!l) return std::make_unique<ItemRead>(node);
    if (type == typeid(TNotNode)) return std::make_unique<Unary<rtl::VarNot>>(LowerNode(l));
    return std::make_unique<Unary<rtl::VarNeg>>(LowerNode(l));
  }
  if (!l || !r) return std::make_unique<ItemRead>(node);
  if (type == typeid(TPlusNode)) return MakeBinary<PlusOp>(l, r);
  if (type == typeid(TStrCatNode)) return MakeBinary<StrCatOp>(l, r);
  if (type == typeid(TMinusNode)) return MakeBinary<MinusOp>(l, r);
  if (type == typeid(TMulNode)) return MakeBinary<MulOp>(l, r);
  if (type == typeid(TDivFloatNode)) return MakeBinary<DivFloatOp>(l, r);
  if (type == typeid(TDivIntNode)) return MakeBinary<DivIntOp>(l, r);
  if (type == typeid(TModNode)) {
    if (ExprPtr e = MakeConstModulo(l, r)) return e;
    return MakeBinary<ModOp>(l, r);
  }
  if (type == typeid(TGreatNode)) return MakeBinary<CompareOp<GreatCmp>>(l, r);
  if (type == typeid(TLessNode)) return MakeBinary<CompareOp<LessCmp>>(l, r);
  if (type == typeid(TLessEqNode)) return MakeBinary<CompareOp<LessEqCmp>>(l, r);
  if (type == typeid(TGreatEqNode)) return MakeBinary<CompareOp<GreatEqCmp>>(l, r);
  if (type == typeid(TNonEqNode)) return MakeBinary<CompareOp<NonEqCmp>>(l, r);
  if (type == typeid(TEqNode)) return MakeBinary<CompareOp<EqCmp>>(l, r);
  if (type == typeid(TXorNode)) return MakeBinary<VariantOp<rtl::TVarOp::Xor>>(l, r);
  if (type == typeid(TShlNode)) return MakeBinary<VariantOp<rtl::TVarOp::ShiftLeft>>(l, r);
  if (type == typeid(TShrNode)) return MakeBinary<VariantOp<rtl::TVarOp::ShiftRight>>(l, r);
  if (type == typeid(TOrNode)) {
    if (node->OptimizeBool()) return std::make_unique<ShortOr>(LowerNode(l), LowerNode(r));
    return MakeBinary<VariantOp<rtl::TVarOp::Or>>(l, r);
  }
  if (type == typeid(TAndNode)) {
    if (node->OptimizeBool()) return std::make_unique<ShortAnd>(LowerNode(l), LowerNode(r));
    return MakeBinary<VariantOp<rtl::TVarOp::And>>(l, r);
  }
  // in, is, and any node of a class of its own.
  return std::make_unique<ItemRead>(node);
}

ExprPtr LowerNode(TwzExpressionNode* node) {
  const std::type_info& type = typeid(*node);
  if (type == typeid(TwzOperandNode)) return std::make_unique<ConstRead>(node->PValue());
  if (type == typeid(TwzDesignatorNode)) {
    TwzCustomVariable* var = static_cast<TwzDesignatorNode*>(node)->Var();
    if (IsPlain(var)) return std::make_unique<VarRead>(var);
    return LowerItem(var);
  }
  if (auto* op = dynamic_cast<TwzOperatorNode*>(node)) return LowerOperator(op);
  return std::make_unique<ItemRead>(node);
}

// A designator's value, when the designator is read as a whole.
ExprPtr LowerDesignator(TwzDesignator* d) {
  const std::type_info& type = typeid(*d);
  if (type == typeid(TwzVariableDesignator)) {
    // Its value is its variable's, without the late-binding check or the walk.
    TwzCustomVariable* var = d->RefItem();
    if (!var) return std::make_unique<ItemRead>(d);
    if (IsPlain(var)) return std::make_unique<VarRead>(var);
    return std::make_unique<ItemRead>(var);
  }
  if (type == typeid(TwzDesignator) && !d->HasLateBindingSource() && d->Count() == 1) {
    TwzCustomVariable* item = d->Items(0)->Ref();
    if (item && typeid(*item) == typeid(TwzProcVariable)) return std::make_unique<ScriptCall>(d);
    if (item && !item->IsKind(wzkDesignator)) return std::make_unique<OneStepCall>(d);
  }
  return std::make_unique<ItemRead>(d);
}

}  // namespace

const Variant* ConstantOf(Expr* expr) {
  auto* c = dynamic_cast<ConstRead*>(expr);
  return c ? c->Value() : nullptr;
}

ExprPtr LowerItem(TwzCustomVariable* item) {
  const std::type_info& type = typeid(*item);
  if (type == typeid(TwzOperandNode)) return std::make_unique<ConstRead>(item->PValue());
  if (IsPlain(item)) return std::make_unique<VarRead>(item);
  if (type == typeid(TwzExpression)) return LowerExpression(static_cast<TwzExpression*>(item));
  if (item->IsKind(wzkDesignator)) return LowerDesignator(static_cast<TwzDesignator*>(item));
  if (auto* node = dynamic_cast<TwzExpressionNode*>(item)) return LowerNode(node);
  return std::make_unique<ItemRead>(item);
}

ExprPtr LowerExpression(TwzCustomExpression* expression) {
  if (typeid(*expression) != typeid(TwzExpression)) return std::make_unique<ItemRead>(expression);
  TwzExpressionNode* root = static_cast<TwzExpression*>(expression)->Root();
  if (!root) return std::make_unique<NullRead>();
  return LowerNode(root);
}

}  // namespace wzlow
