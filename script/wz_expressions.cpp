#include "script/wz_expressions.h"

#include <utility>
#include <vector>

#include "platform/rtl/strings.h"
#include "script/wz_designators.h"
#include "script/wz_hostclasses.h"
#include "script/wz_iconst.h"
#include "script/wz_itools.h"
#include "script/wz_script.h"

using rtl::String;
using rtl::Variant;

namespace {

TwzVarType TypeOfConstant(const Variant& v) {
  switch (v.Deref().VarType()) {
    case rtl::varBoolean: return fvtBool;
    case rtl::varSingle:
    case rtl::varDouble:
    case rtl::varCurrency: return fvtFloat;
    case rtl::varInt64: return fvtInt64;
    case rtl::varOleStr:
    case rtl::varString:
    case rtl::varUString: return fvtString;
    default: return fvtInt;
  }
}

bool IsComparison(TwzOperatorType op) {
  return op == opGreat || op == opLess || op == opLessEq || op == opGreatEq || op == opNonEq || op == opEq;
}

bool OperatorAllowed(TwzOperatorType op, TwzVarType left) {
  switch (left) {
    case fvtBool: return op == opNonEq || op == opEq || op == opOr || op == opXor || op == opAnd || op == opNot;
    case fvtChar:
    case fvtString: return IsComparison(op) || op == opPlus || op == opIn;
    case fvtClass:
    case fvtArray: return op == opNonEq || op == opEq;
    default: return true;
  }
}

bool IsIntType(TwzVarType t) { return t == fvtInt || t == fvtInt64; }

TwzOperatorNode* CreateOperatorNode(const String& text) {
  const String t = rtl::UpperCase(text);
  if (t == L" ") return new TNoneNode;
  if (t == L">") return new TGreatNode;
  if (t == L"<") return new TLessNode;
  if (t == L"<=") return new TLessEqNode;
  if (t == L">=") return new TGreatEqNode;
  if (t == L"<>") return new TNonEqNode;
  if (t == L"=") return new TEqNode;
  if (t == L"+") return new TPlusNode;
  if (t == L"STRCAT") return new TStrCatNode;
  if (t == L"-") return new TMinusNode;
  if (t == L"OR") return new TOrNode;
  if (t == L"XOR") return new TXorNode;
  if (t == L"*") return new TMulNode;
  if (t == L"/") return new TDivFloatNode;
  if (t == L"DIV") return new TDivIntNode;
  if (t == L"MOD") return new TModNode;
  if (t == L"AND") return new TAndNode;
  if (t == L"SHL") return new TShlNode;
  if (t == L"SHR") return new TShrNode;
  if (t == L"(") return new TLeftBracketNode;
  if (t == L")") return new TRightBracketNode;
  if (t == L"NOT") return new TNotNode;
  if (t == L"UNMINUS") return new TUnMinusNode;
  if (t == L"IN") return new TInNode;
  if (t == L"IS") return new TIsNode;
  throw EwzScriptError(L"Unknown operator: '" + text + L"'");
}

}  // namespace

// --- nodes ---

// A chain of operators is a tree as deep as the chain is long, so the children are freed from a list, not by
// recursion (each node freed here has no children left).
TwzExpressionNode::~TwzExpressionNode() {
  if (!FLeft && !FRight) return;
  std::vector<TwzExpressionNode*> pending;
  for (TwzExpressionNode* child : {FLeft, FRight})
    if (child) pending.push_back(child);
  while (!pending.empty()) {
    TwzExpressionNode* node = pending.back();
    pending.pop_back();
    for (TwzExpressionNode* child : {node->FLeft, node->FRight})
      if (child) pending.push_back(child);
    node->FLeft = node->FRight = nullptr;
    delete node;
  }
}

TwzOperandNode::TwzOperandNode(const Variant& value) {
  FValue = value;
  FTyp = TypeOfConstant(value);
}

TwzDesignatorNode::TwzDesignatorNode(TwzDesignator* designator)
    : TwzOperandNode(Variant::Null()), FDesignator(designator) {
  FVar = wzDirectItem(designator);
  FTyp = designator->Typ();
  FTypeName = designator->TypeName();
}

TwzDesignatorNode::~TwzDesignatorNode() { delete FDesignator; }

Variant TwzDesignatorNode::GetValue() {
  if (FPlain < 0) FPlain = wzIsPlainValueItem(FVar) ? 1 : 0;
  // The handler is looked at every time: a host may give the variable one after compiling.
  if (FPlain == 1 && !FVar->OnGetVarValue()) return *FVar->PValue();
  return FVar->GetValue();
}

TwzSetNode::TwzSetNode(TwzSetExpression* set) : TwzOperandNode(Variant::Null()), FSetExpression(set) {
  FTyp = fvtVariant;
}

TwzSetNode::~TwzSetNode() { delete FSetExpression; }

Variant TwzSetNode::GetValue() { return FSetExpression->GetValue(); }

int TwzOperatorNode::Priority() const {
  switch (FOp) {
    case opNone: return 7;
    case opLeftBracket: return 6;
    case opRightBracket: return 5;
    case opGreat:
    case opLess:
    case opLessEq:
    case opGreatEq:
    case opNonEq:
    case opEq:
    case opIn:
    case opIs: return 4;
    case opPlus:
    case opMinus:
    case opOr:
    case opXor: return 3;
    case opMul:
    case opDivFloat:
    case opDivInt:
    case opMod:
    case opAnd:
    case opShl:
    case opShr: return 2;
    case opNot:
    case opUnMinus: return 1;
  }
  return 7;
}

void TwzOperatorNode::MissingOperand() { throw EwzScriptError(L"Operand expected"); }

Variant TLeftBracketNode::GetValue() { return LeftValue(); }

Variant TNoneNode::GetValue() { return FLeft ? FLeft->GetValue() : Variant::Null(); }

Variant TGreatNode::GetValue() {
  Variant l = LeftValue();
  return Variant(l > RightValue());
}

Variant TLessNode::GetValue() {
  Variant l = LeftValue();
  return Variant(l < RightValue());
}

Variant TLessEqNode::GetValue() {
  Variant l = LeftValue();
  return Variant(l <= RightValue());
}

Variant TGreatEqNode::GetValue() {
  Variant l = LeftValue();
  return Variant(l >= RightValue());
}

Variant TNonEqNode::GetValue() {
  Variant l = LeftValue();
  return Variant(l != RightValue());
}

Variant TEqNode::GetValue() {
  Variant l = LeftValue();
  return Variant(l == RightValue());
}

Variant TPlusNode::GetValue() {
  Variant l = LeftValue();
  return l + RightValue();
}

Variant TStrCatNode::GetValue() {
  Variant l = LeftValue();
  Variant r = RightValue();
  const rtl::TVarType t = l.Deref().VarType();
  if (t == rtl::varOleStr || t == rtl::varString || t == rtl::varUString) return Variant(l.AsString() + r.AsString());
  return l + r;
}

Variant TMinusNode::GetValue() {
  Variant l = LeftValue();
  return l - RightValue();
}

Variant TOrNode::GetValue() {
  Variant l = LeftValue();
  if (FOptimizeBool) return l.AsBoolean() ? l : RightValue();
  return rtl::VarOp(rtl::TVarOp::Or, l, RightValue());
}

Variant TXorNode::GetValue() {
  Variant l = LeftValue();
  return rtl::VarOp(rtl::TVarOp::Xor, l, RightValue());
}

Variant TMulNode::GetValue() {
  Variant l = LeftValue();
  return l * RightValue();
}

Variant TDivFloatNode::GetValue() {
  Variant l = LeftValue();
  return l / RightValue();
}

Variant TDivIntNode::GetValue() {
  Variant l = LeftValue();
  return rtl::VarOp(rtl::TVarOp::IntDivide, l, RightValue());
}

Variant TModNode::GetValue() {
  Variant l = LeftValue();
  return rtl::VarOp(rtl::TVarOp::Modulus, l, RightValue());
}

Variant TAndNode::GetValue() {
  Variant l = LeftValue();
  if (FOptimizeBool) return l.AsBoolean() ? RightValue() : l;
  return rtl::VarOp(rtl::TVarOp::And, l, RightValue());
}

Variant TShlNode::GetValue() {
  Variant l = LeftValue();
  return rtl::VarOp(rtl::TVarOp::ShiftLeft, l, RightValue());
}

Variant TShrNode::GetValue() {
  Variant l = LeftValue();
  return rtl::VarOp(rtl::TVarOp::ShiftRight, l, RightValue());
}

Variant TNotNode::GetValue() { return rtl::VarNot(LeftValue()); }

Variant TUnMinusNode::GetValue() { return rtl::VarNeg(LeftValue()); }

Variant TInNode::GetValue() {
  Variant l = LeftValue();
  if (auto* setNode = dynamic_cast<TwzSetNode*>(FRight)) return Variant(setNode->SetExpression()->Check(l));
  return Variant(wzInVariantSet(l, RightValue()));
}

Variant TIsNode::GetValue() {
  Variant l = LeftValue();
  rtl::TObject* obj = l.AsObject();
  if (!obj) return Variant(false);
  auto* node = dynamic_cast<TwzDesignatorNode*>(FRight);
  TwzClassVariable* cls = nullptr;
  if (node && node->Designator()->Count() > 0)
    cls = dynamic_cast<TwzClassVariable*>(node->Designator()->Items(0)->Ref());
  if (!cls) throw EwzScriptError(SClassRequired);
  return Variant(cls->IsInstance(obj));
}

bool wzInVariantSet(const Variant& value, const Variant& set) {
  const Variant& a = set.Deref();
  if (!a.IsArray() || a.DimCount() != 1) throw rtl::EVariantNotAnArrayError(L"Set or array required for 'in'");
  const rtl::Integer low = a.LowBound(1);
  const rtl::Integer h = a.HighBound(1);
  for (rtl::Integer i = low; i <= h; ++i) {
    bool result = value == a[i];
    if (!result && i < h - 1 && a[i + 1].IsNull()) {
      result = a[i] <= value && value <= a[i + 2];
      i += 2;
    }
    if (result) return true;
  }
  return false;
}

// --- TwzSetExpression ---

Variant TwzSetExpression::GetValue() {
  Variant result = rtl::VarArrayCreate({0, Count() - 1}, rtl::varVariant);
  for (int i = 0; i < Count(); ++i) {
    TwzCustomVariable* item = Items(i);
    result.PutElement({i}, item ? item->GetValue() : Variant::Null());
  }
  return result;
}

bool TwzSetExpression::Check(const Variant& value) {
  const int count = Count();
  for (int i = 0; i < count; ++i) {
    TwzCustomVariable* item = Items(i);
    bool result;
    if (i < count - 2 && !Items(i + 1) && item && Items(i + 2)) {
      result = item->GetValue() <= value && value <= Items(i + 2)->GetValue();
      i += 2;
    } else {
      if (!item) continue;  // a stray range marker
      result = value == item->GetValue();
    }
    if (result) return true;
  }
  return false;
}

// --- TwzExpression ---

TwzExpression::TwzExpression(TwzScript* script) : FCurNode(new TNoneNode), FScript(script) { FNode = FCurNode; }

TwzExpression::~TwzExpression() { delete FNode; }

void TwzExpression::AddConst(const Variant& value) {
  auto* node = new TwzOperandNode(value);
  node->SetSourcePos(FSourcePos);
  AddOperand(node);
}

void TwzExpression::AddDesignator(TwzDesignator* designator) {
  auto* node = new TwzDesignatorNode(designator);
  node->SetSourcePos(FSourcePos);
  AddOperand(node);
}

void TwzExpression::AddSet(TwzSetExpression* set) {
  auto* node = new TwzSetNode(set);
  node->SetSourcePos(FSourcePos);
  AddOperand(node);
}

void TwzExpression::AddOperand(TwzExpressionNode* node) {
  if (!FCurNode->FLeft)
    FCurNode->FLeft = node;
  else if (!FCurNode->FRight)
    FCurNode->FRight = node;
  else {
    delete node;
    throw EwzScriptError(L"Operator expected");
  }
  node->FParent = FCurNode;
  FCurNode = node;
}

namespace {

// Puts node into parent's first empty child slot, left before right.
void PutIntoFreeSlot(TwzExpressionNode*& left, TwzExpressionNode*& right, TwzExpressionNode* node) {
  if (!left)
    left = node;
  else
    right = node;
}

}  // namespace

void TwzExpression::AddOperator(const String& text) {
  TwzOperatorNode* n = CreateOperatorNode(text);
  n->SetSourcePos(FSourcePos);
  const String t = rtl::LowerCase(text);
  if (t == L"(" || t == L"unminus" || t == L"not") {
    AddOperand(n);
    return;
  }

  if (n->Op() == opRightBracket) {
    delete n;
    TwzExpressionNode* b = FCurNode;
    while (b && b->Priority() <= 5) b = b->FParent;
    if (!b || b->Priority() != 6 || !b->FParent) throw EwzScriptError(L"Unbalanced ')'");
    TwzExpressionNode* parent = b->FParent;
    if (parent->FLeft == b)
      parent->FLeft = nullptr;
    else
      parent->FRight = nullptr;
    TwzExpressionNode* inner = b->FLeft;
    b->FLeft = nullptr;
    delete b;
    if (!inner) throw EwzScriptError(L"Operand expected");
    PutIntoFreeSlot(parent->FLeft, parent->FRight, inner);
    inner->FParent = parent;
    FCurNode = inner;
    return;
  }

  if (FCurNode == FNode) {
    PutIntoFreeSlot(FNode->FLeft, FNode->FRight, n);
    n->FParent = FNode;
    FCurNode = n;
    return;
  }
  TwzExpressionNode* p;
  TwzExpressionNode* c;
  if (auto* op = dynamic_cast<TwzOperatorNode*>(FCurNode); op && op->Op() == opLeftBracket) {
    c = FCurNode;
    p = nullptr;
  } else {
    p = FCurNode;
    c = FCurNode->FParent;
  }
  while (c && c->Priority() <= n->Priority()) {
    p = c;
    c = c->FParent;
  }
  if (!c) {
    delete n;
    throw EwzScriptError(L"Invalid expression");
  }
  if (p) {
    if (c->FLeft == p)
      c->FLeft = n;
    else
      c->FRight = n;
    n->FLeft = p;
    p->FParent = n;
  } else {
    PutIntoFreeSlot(c->FLeft, c->FRight, n);
  }
  n->FParent = c;
  FCurNode = n;
}

namespace {

constexpr int kMaxExpressionDepth = 1000;

struct Typer {
  TwzScript* script;
  String errorPos;

  void Type(TwzExpressionNode* node) {
    if (!node) return;
    Type(node->Left());
    Type(node->Right());
    auto* op = dynamic_cast<TwzOperatorNode*>(node);
    if (!op) return;  // operands carry their own type
    if (op->Op() == opLeftBracket) {
      TwzTypePair inner = PairOf(node->Left());
      node->SetTyp(inner.Typ);
      node->SetTypeName(inner.TypeName);
      return;
    }
    TwzTypePair l = PairOf(node->Left());
    TwzTypePair r = PairOf(node->Right());
    if (l.Typ == fvtBool && r.Typ == fvtBool) op->SetOptimizeBool(true);
    const TwzOperatorType code = op->Op();
    bool ok = (code == opIs && l.Typ == fvtClass && r.Typ == fvtClass) ||
              (TypesCompatible(l, r, script) && OperatorAllowed(code, l.Typ));
    if (!ok) {
      if (errorPos.empty()) errorPos = node->SourcePos().empty() ? String(L"0:0") : node->SourcePos();
      return;
    }
    TwzVarType t = l.Typ;
    node->SetTypeName(l.TypeName);
    if ((l.Typ == fvtInt && r.Typ == fvtFloat) || (l.Typ == fvtFloat && r.Typ == fvtInt)) t = fvtFloat;
    if ((l.Typ == fvtFloat && r.Typ == fvtInt64) || (l.Typ == fvtInt64 && r.Typ == fvtFloat)) t = fvtFloat;
    if (code == opDivFloat && IsIntType(l.Typ) && IsIntType(r.Typ)) t = fvtFloat;
    if (IsComparison(code) || code == opIn || code == opIs) t = fvtBool;
    node->SetTyp(t);
  }

  static TwzTypePair PairOf(TwzExpressionNode* node) {
    TwzTypePair p;
    if (!node) return p;
    p.Typ = node->Typ();
    p.TypeName = node->TypeName();
    return p;
  }
};

}  // namespace

String TwzExpression::Finalize() {
  if (FFinalized) return String();
  FFinalized = true;
  TwzExpressionNode* root = FNode->FLeft;
  FNode->FLeft = nullptr;
  if (FNode->FRight) {
    // Only a malformed build leaves something here; it cannot be reached from the root.
    delete FNode->FRight;
    FNode->FRight = nullptr;
  }
  delete FNode;
  FNode = root;
  FCurNode = root;
  if (!root) {
    // An empty expression evaluates to Null.
    FTyp = fvtVariant;
    FIsReadOnly = true;
    return String();
  }
  root->FParent = nullptr;
  // Typing here and evaluating at run time recurse over the tree's depth: a longer chain of operators than this
  // (no program written by hand comes near) is refused rather than left to overflow the stack.
  std::vector<std::pair<const TwzExpressionNode*, int>> walk{{root, 1}};
  while (!walk.empty()) {
    const auto [node, depth] = walk.back();
    walk.pop_back();
    if (depth > kMaxExpressionDepth) throw EwzScriptError(SNestingTooDeep);
    for (const TwzExpressionNode* child : {node->Left(), node->Right()})
      if (child) walk.emplace_back(child, depth + 1);
  }
  Typer typer{FScript, String()};
  typer.Type(root);
  FTyp = root->Typ();
  FTypeName = root->TypeName();
  auto* dn = dynamic_cast<TwzDesignatorNode*>(root);
  FIsReadOnly = !(dn && !dn->Designator()->IsReadOnly());
  return typer.errorPos;
}

wchar_t TwzExpression::Optimize(TwzDesignator* designator) {
  auto* target = dynamic_cast<TwzVariableDesignator*>(designator);
  auto* root = dynamic_cast<TwzOperatorNode*>(FNode);
  if (!target || !root || !FFinalized) return L' ';
  const TwzOperatorType op = root->Op();
  if (op != opPlus && op != opMinus && op != opMul && op != opDivFloat) return L' ';
  auto sameVariable = [target](TwzExpressionNode* node) {
    auto* dn = dynamic_cast<TwzDesignatorNode*>(node);
    if (!dn) return false;
    auto* vd = dynamic_cast<TwzVariableDesignator*>(dn->Designator());
    return vd && vd->RefItem() == target->RefItem();
  };
  auto symbol = [op]() -> wchar_t {
    switch (op) {
      case opPlus: return L'+';
      case opMinus: return L'-';
      case opMul: return L'*';
      default: return L'/';
    }
  };
  TwzExpressionNode* keep = nullptr;
  if (sameVariable(root->FLeft)) {
    keep = root->FRight;
    root->FRight = nullptr;
  } else if (sameVariable(root->FRight) && (op == opPlus || op == opMul) && target->RefItem() &&
             target->RefItem()->Typ() != fvtString && target->RefItem()->Typ() != fvtVariant) {
    keep = root->FLeft;
    root->FLeft = nullptr;
  }
  if (!keep) return L' ';
  const wchar_t result = symbol();
  delete root;
  FNode = keep;
  FCurNode = keep;
  keep->FParent = nullptr;
  FIsReadOnly = true;
  auto* dn = dynamic_cast<TwzDesignatorNode*>(keep);
  if (dn && !dn->Designator()->IsReadOnly()) FIsReadOnly = false;
  return result;
}

TwzCustomVariable* TwzExpression::SingleItem() const {
  if (auto* dn = dynamic_cast<TwzDesignatorNode*>(FNode)) return dn->Var();
  if (auto* on = dynamic_cast<TwzOperandNode*>(FNode)) return on;
  return nullptr;
}

Variant TwzExpression::GetValue() { return FNode ? FNode->GetValue() : Variant::Null(); }

void TwzExpression::SetValue(const Variant& value) {
  if (FIsReadOnly || !FFinalized) return;
  if (auto* dn = dynamic_cast<TwzDesignatorNode*>(FNode)) dn->Designator()->SetValue(value);
}
