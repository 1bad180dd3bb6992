#pragma once
// The expression nodes of the lower form (see wz_lowered.h and wz_lowered_expr.cpp), visible to the statement
// nodes so that a statement whose expression is of a known node class runs it without a virtual call. Internal to
// the script engine.
#include <algorithm>
#include <cstdint>
#include <typeinfo>
#include <vector>

#include "script/wz_designators.h"
#include "script/wz_expressions.h"
#include "script/wz_lowered_expr.h"
#include "script/wz_script.h"

namespace wzlow::node {

using rtl::Int64;
using rtl::String;
using rtl::Variant;


inline bool IsPlain(const TwzCustomVariable* item) { return IsExactVariable(item) || IsExactParam(item); }

inline bool BothInteger(const Variant& a, const Variant& b) {
  return a.VarType() == rtl::varInteger && b.VarType() == rtl::varInteger;
}

// The Integer result of two Integers: Integer while it fits, else Int64 (the variant's own rule).
[[gnu::always_inline]] inline void SetIntResult(Int64 r, Variant& out) {
  if (r >= INT32_MIN && r <= INT32_MAX) [[likely]]
    out = Variant(static_cast<int>(r));
  else
    out = Variant(static_cast<long long>(r));
}

// --- leaves ---

class NullRead final : public Expr {
 public:
  void Eval(Variant& out) override { out = Variant::Null(); }
};

// A constant: the operand node's stored value, read in place.
class ConstRead final : public Expr {
 public:
  explicit ConstRead(const Variant* value) : value_(value) {}
  void Eval(Variant& out) override { out = *value_; }
  bool Test() override { return value_->AsBoolean(); }
  const Variant* Value() const { return value_; }

 private:
  const Variant* value_;
};

// A plain variable or parameter: its stored value unless a value handler answers (looked at every time: a host may
// give the variable one after compiling).
class VarRead final : public Expr {
 public:
  explicit VarRead(TwzCustomVariable* item) : item_(item) {}
  void Eval(Variant& out) override {
    if (!item_->OnGetVarValue())
      out = *item_->PValue();
    else
      out = item_->GetValue();
  }
  bool Test() override {
    if (!item_->OnGetVarValue()) return item_->PValue()->AsBoolean();
    return item_->GetValue().AsBoolean();
  }

 private:
  TwzCustomVariable* item_;
};

// Anything else: the item answers itself.
class ItemRead final : public Expr {
 public:
  explicit ItemRead(TwzCustomVariable* item) : item_(item) {}
  void Eval(Variant& out) override { out = item_->GetValue(); }

 private:
  TwzCustomVariable* item_;
};

// --- operands of the fused operator nodes ---

struct ConstOperand {
  const Variant* value;
  [[gnu::always_inline]] const Variant& Read(Variant&) const { return *value; }
  bool RunsCode() const { return false; }
};

struct VarOperand {
  TwzCustomVariable* item;
  [[gnu::noinline]] static const Variant& Handled(TwzCustomVariable* item, Variant& scratch) {
    scratch = item->GetValue();
    return scratch;
  }
  [[gnu::always_inline]] const Variant& Read(Variant& scratch) const {
    if (!item->OnGetVarValue()) [[likely]]
      return *item->PValue();
    return Handled(item, scratch);
  }
  bool RunsCode() const { return static_cast<bool>(item->OnGetVarValue()); }
};

struct ExprOperand {
  Expr* expr;
  const Variant& Read(Variant& scratch) const {
    expr->Eval(scratch);
    return scratch;
  }
  bool RunsCode() const { return true; }
};

// --- operators ---

// Two Integers are answered inline in the node; anything else goes out of line to the variant operators.
struct PlusOp {
  [[gnu::noinline]] static void General(const Variant& a, const Variant& b, Variant& out) { out = a + b; }
  [[gnu::always_inline]] static void Apply(const Variant& a, const Variant& b, Variant& out) {
    if (BothInteger(a, b)) [[likely]]
      SetIntResult(static_cast<Int64>(a.AsInteger()) + b.AsInteger(), out);
    else
      General(a, b, out);
  }
};

struct StrCatOp {
  static void Apply(const Variant& a, const Variant& b, Variant& out) {
    const rtl::TVarType t = a.Deref().VarType();
    if (t == rtl::varOleStr || t == rtl::varString || t == rtl::varUString)
      out = Variant(a.AsString() + b.AsString());
    else
      PlusOp::Apply(a, b, out);
  }
};

struct MinusOp {
  [[gnu::noinline]] static void General(const Variant& a, const Variant& b, Variant& out) { out = a - b; }
  [[gnu::always_inline]] static void Apply(const Variant& a, const Variant& b, Variant& out) {
    if (BothInteger(a, b)) [[likely]]
      SetIntResult(static_cast<Int64>(a.AsInteger()) - b.AsInteger(), out);
    else
      General(a, b, out);
  }
};

struct MulOp {
  [[gnu::noinline]] static void General(const Variant& a, const Variant& b, Variant& out) { out = a * b; }
  [[gnu::always_inline]] static void Apply(const Variant& a, const Variant& b, Variant& out) {
    if (BothInteger(a, b)) [[likely]]
      SetIntResult(static_cast<Int64>(a.AsInteger()) * b.AsInteger(), out);
    else
      General(a, b, out);
  }
};

struct DivFloatOp {
  static void Apply(const Variant& a, const Variant& b, Variant& out) { out = a / b; }
};

// A zero divisor goes to the variant operator, which raises its own error.
struct DivIntOp {
  [[gnu::noinline]] static void General(const Variant& a, const Variant& b, Variant& out) {
    out = rtl::VarOp(rtl::TVarOp::IntDivide, a, b);
  }
  // A 32-bit division where it cannot overflow (the 64-bit one costs several times as much); -1 divides in 64 bits,
  // where the lowest Integer divided by it still fits.
  [[gnu::always_inline]] static void Apply(const Variant& a, const Variant& b, Variant& out) {
    if (BothInteger(a, b) && b.AsInteger() != 0) [[likely]] {
      const int y = b.AsInteger();
      if (y != -1) [[likely]]
        out = Variant(a.AsInteger() / y);
      else
        SetIntResult(-static_cast<Int64>(a.AsInteger()), out);
    } else {
      General(a, b, out);
    }
  }
};

struct ModOp {
  [[gnu::noinline]] static void General(const Variant& a, const Variant& b, Variant& out) {
    out = rtl::VarOp(rtl::TVarOp::Modulus, a, b);
  }
  // As DivIntOp: 32 bits, the remainder by -1 being 0.
  [[gnu::always_inline]] static void Apply(const Variant& a, const Variant& b, Variant& out) {
    if (BothInteger(a, b) && b.AsInteger() != 0) [[likely]] {
      const int y = b.AsInteger();
      out = Variant(y != -1 ? a.AsInteger() % y : 0);
    } else {
      General(a, b, out);
    }
  }
};

// The remainder by a constant Integer divisor of 2 or more, as ModOp answers it, without a division: the remainder
// of the magnitude by a multiplication with the divisor's 64-bit reciprocal (exact for every 32-bit magnitude), the
// sign of the dividend as the division's. The constant is read each time and compared: anything else goes through
// ModOp.
template <class L>
class ConstModulo final : public Expr {
 public:
  ConstModulo(L l, const Variant* divisor, ExprPtr ownedLeft)
      : l_(l),
        divisor_(divisor),
        d_(static_cast<std::uint32_t>(divisor->AsInteger())),
        reciprocal_(UINT64_MAX / d_ + 1),
        ownedLeft_(std::move(ownedLeft)) {}

  void Eval(Variant& out) override {
    Variant ls;
    const Variant& a = l_.Read(ls);
    const Variant& b = *divisor_;
    if (BothInteger(a, b) && static_cast<std::uint32_t>(b.AsInteger()) == d_) [[likely]] {
      const int x = a.AsInteger();
      const auto magnitude = static_cast<std::uint32_t>(x < 0 ? -static_cast<Int64>(x) : static_cast<Int64>(x));
      const std::uint64_t low = reciprocal_ * magnitude;
      const auto r = static_cast<int>((static_cast<unsigned __int128>(low) * d_) >> 64);
      out = Variant(x < 0 ? -r : r);
    } else {
      ModOp::Apply(a, b, out);
    }
  }

 private:
  L l_;
  const Variant* divisor_;
  std::uint32_t d_;
  std::uint64_t reciprocal_;
  ExprPtr ownedLeft_;
};

template <rtl::TVarOp Op>
struct VariantOp {
  static void Apply(const Variant& a, const Variant& b, Variant& out) { out = rtl::VarOp(Op, a, b); }
};

// Comparisons answer a Boolean; Test gives it without making a variant.
template <class Cmp>
struct CompareOp {
  [[gnu::noinline]] static bool General(const Variant& a, const Variant& b) {
    return Cmp::Holds(rtl::VarCompareValue(a, b));
  }
  [[gnu::always_inline]] static bool Test(const Variant& a, const Variant& b) {
    if (BothInteger(a, b)) [[likely]]
      return Cmp::Int(a.AsInteger(), b.AsInteger());
    return General(a, b);
  }
  static void Apply(const Variant& a, const Variant& b, Variant& out) { out = Variant(Test(a, b)); }
};

struct GreatCmp {
  static bool Holds(rtl::TVariantRelationship r) { return r == rtl::vrGreaterThan; }
  static bool Int(int x, int y) { return x > y; }
};
struct LessCmp {
  static bool Holds(rtl::TVariantRelationship r) { return r == rtl::vrLessThan; }
  static bool Int(int x, int y) { return x < y; }
};
struct LessEqCmp {
  static bool Holds(rtl::TVariantRelationship r) { return r == rtl::vrLessThan || r == rtl::vrEqual; }
  static bool Int(int x, int y) { return x <= y; }
};
struct GreatEqCmp {
  static bool Holds(rtl::TVariantRelationship r) { return r == rtl::vrGreaterThan || r == rtl::vrEqual; }
  static bool Int(int x, int y) { return x >= y; }
};
struct NonEqCmp {
  static bool Holds(rtl::TVariantRelationship r) { return r != rtl::vrEqual; }
  static bool Int(int x, int y) { return x != y; }
};
struct EqCmp {
  static bool Holds(rtl::TVariantRelationship r) { return r == rtl::vrEqual; }
  static bool Int(int x, int y) { return x == y; }
};

template <class Op>
concept HasTest = requires(const Variant& v) {
  Op::Test(v, v);
};

// A binary operator over two operands. The left value is kept as it was read: when the right operand may run code
// (a call, a value handler), a value read in place is copied first.
template <class Op, class L, class R>
class Binary final : public Expr {
 public:
  Binary(L l, R r, ExprPtr ownedLeft, ExprPtr ownedRight)
      : l_(l), r_(r), ownedLeft_(std::move(ownedLeft)), ownedRight_(std::move(ownedRight)) {}

  void Eval(Variant& out) override {
    Variant ls, rs;
    const Variant* a = &l_.Read(ls);
    if (a != &ls && r_.RunsCode()) {
      ls = *a;
      a = &ls;
    }
    const Variant& b = r_.Read(rs);
    Op::Apply(*a, b, out);
  }

  bool Test() override {
    if constexpr (HasTest<Op>) {
      Variant ls, rs;
      const Variant* a = &l_.Read(ls);
      if (a != &ls && r_.RunsCode()) {
        ls = *a;
        a = &ls;
      }
      const Variant& b = r_.Read(rs);
      return Op::Test(*a, b);
    } else {
      return Expr::Test();
    }
  }

 private:
  L l_;
  R r_;
  ExprPtr ownedLeft_, ownedRight_;
};

// not, unary minus.
template <Variant (*F)(const Variant&)>
class Unary final : public Expr {
 public:
  explicit Unary(ExprPtr operand) : operand_(std::move(operand)) {}
  void Eval(Variant& out) override {
    Variant v;
    operand_->Eval(v);
    out = F(v);
  }

 private:
  ExprPtr operand_;
};

// or / and between two statically Boolean operands: the right one runs only when the left one leaves the answer
// open, and the answer is the deciding operand's value.
class ShortOr final : public Expr {
 public:
  ShortOr(ExprPtr l, ExprPtr r) : l_(std::move(l)), r_(std::move(r)) {}
  void Eval(Variant& out) override {
    Variant l;
    l_->Eval(l);
    if (l.AsBoolean())
      out = std::move(l);
    else
      r_->Eval(out);
  }
  bool Test() override { return l_->Test() || r_->Test(); }

 private:
  ExprPtr l_, r_;
};

class ShortAnd final : public Expr {
 public:
  ShortAnd(ExprPtr l, ExprPtr r) : l_(std::move(l)), r_(std::move(r)) {}
  void Eval(Variant& out) override {
    Variant l;
    l_->Eval(l);
    if (l.AsBoolean())
      r_->Eval(out);
    else
      out = std::move(l);
  }
  bool Test() override { return l_->Test() && r_->Test(); }

 private:
  ExprPtr l_, r_;
};

// --- calls ---

// Argument values of one call: on the machine stack for the usual handful, else on a stack of values the thread
// keeps, so that no call allocates. The thread's stack may grow while an argument is evaluated (a nested call):
// its elements are reached by index and written only after each argument's value is complete.
class ArgValues {
 public:
  explicit ArgValues(int count) {
    if (count > kInline) {
      stack_ = &Stack();
      base_ = stack_->size();
      stack_->resize(base_ + static_cast<size_t>(count));
    }
  }
  ~ArgValues() {
    if (stack_) stack_->resize(base_);
  }
  ArgValues(const ArgValues&) = delete;
  ArgValues& operator=(const ArgValues&) = delete;
  Variant& operator[](int i) { return stack_ ? (*stack_)[base_ + static_cast<size_t>(i)] : inline_[i]; }

 private:
  static std::vector<Variant>& Stack() {
    thread_local std::vector<Variant> stack;
    return stack;
  }
  static constexpr int kInline = 4;
  Variant inline_[kInline];
  std::vector<Variant>* stack_ = nullptr;
  size_t base_ = 0;
};

struct LocalsGuard {
  TwzProcVariable* proc = nullptr;
  TwzProcVariable::LocalsMark mark;
  // Inline: it runs on every call of a routine.
  [[gnu::always_inline]] ~LocalsGuard() {
    if (proc) proc->RestoreLocals(mark);
  }
};

// Var parameters go back to their arguments once the caller's locals are back: a recursive level that passes its
// own parameter on must receive what the call left in it, not have it overwritten by the restore.
[[gnu::noinline]] inline void WriteBackVarParams(TwzDesignatorItem* step, TwzCustomVariable* item, int argCount,
                                                 LocalsGuard& locals) {
  ArgValues results(argCount);
  for (int i = 0; i < argCount; ++i)
    if (item->ParamAt(i)->IsVarParam()) results[i] = item->ParamAt(i)->GetValue();
  if (locals.proc) {
    locals.proc->RestoreLocals(locals.mark);
    locals.proc = nullptr;
  }
  for (int i = 0; i < argCount; ++i)
    if (item->ParamAt(i)->IsVarParam())
      if (TwzCustomExpression* arg = step->Items(i)) arg->SetValue(results[i]);
}

// A path of one step with its arguments (a routine, a standard or host function): the designator's walk for that
// step, in its order: a running routine's locals saved, every argument evaluated before any parameter changes, the
// helper's parent set, the call, var parameters written back, the locals restored.
class OneStepCall final : public Expr {
 public:
  explicit OneStepCall(TwzDesignator* designator)
      : designator_(designator), step_(designator->Items(0)), item_(step_->Ref()) {
    if (item_->IsKind(wzkProc)) {
      proc_ = static_cast<TwzProcVariable*>(item_);
    }
    if (item_->IsKind(wzkHelper)) helper_ = static_cast<TwzCustomHelper*>(item_);
    for (int i = 0; i < step_->Count(); ++i) {
      TwzCustomExpression* arg = step_->Items(i);
      args_.push_back(arg ? LowerExpression(arg) : nullptr);
      auto* e = dynamic_cast<TwzExpression*>(arg);
      sources_.push_back(e ? e->Source() : String());
    }
  }

  void Eval(Variant& out) override {
    TwzCustomVariable* item = item_;
    LocalsGuard locals;
    if (proc_ && proc_->Executing()) {
      locals.mark = proc_->SaveLocals();
      locals.proc = proc_;
    }
    const int paramCount = item->Count();
    const int argCount = std::min(paramCount, static_cast<int>(args_.size()));
    if (argCount == 1) {
      Variant value;
      ReadArgument(item, 0, value);
      wzSetParam(item->ParamAt(0), value);
    } else if (paramCount > 0) {
      ArgValues values(argCount);
      for (int i = 0; i < argCount; ++i) {
        Variant value;
        ReadArgument(item, i, value);
        values[i] = std::move(value);
      }
      for (int i = 0; i < argCount; ++i) wzSetParam(item->ParamAt(i), values[i]);
    }
    if (helper_) {
      helper_->SetParentRef(nullptr);
      helper_->SetParentValue(Variant::Null());
      helper_->SetProg(designator_->Program());
    }
    item->SetNeedResult(designator_->NeedResult());
    out = item->GetValue();
    for (int i = 0; i < argCount; ++i)
      if (item->ParamAt(i)->IsVarParam()) [[unlikely]] {
        WriteBackVarParams(step_, item, argCount, locals);
        break;
      }
  }

 private:
  [[gnu::always_inline]] void ReadArgument(TwzCustomVariable* item, int i, Variant& value) {
    if (item->IsMacro())
      value = Variant(sources_[static_cast<size_t>(i)]);
    else if (Expr* arg = args_[static_cast<size_t>(i)].get())
      arg->Eval(value);
    else
      value = Variant::Null();
  }

  TwzDesignator* designator_;
  TwzDesignatorItem* step_;
  TwzCustomVariable* item_;
  TwzProcVariable* proc_ = nullptr;
  TwzCustomHelper* helper_ = nullptr;
  std::vector<ExprPtr> args_;
  std::vector<String> sources_;
};

// A one-step call of a script routine (of the class TwzProcVariable itself): OneStepCall's walk with the routine
// run inline, without the virtual dispatch, the helper's steps or a call out of line for the routine's frame.
class ScriptCall final : public Expr {
 public:
  explicit ScriptCall(TwzDesignator* designator)
      : designator_(designator),
        step_(designator->Items(0)),
        proc_(static_cast<TwzProcVariable*>(step_->Ref())) {
    for (int i = 0; i < step_->Count(); ++i) {
      TwzCustomExpression* arg = step_->Items(i);
      args_.push_back(arg ? LowerExpression(arg) : nullptr);
      auto* e = dynamic_cast<TwzExpression*>(arg);
      sources_.push_back(e ? e->Source() : String());
    }
  }

  void Eval(Variant& out) override {
    TwzProcVariable* const proc = proc_;
    LocalsGuard locals;
    if (proc->Executing()) {
      locals.mark = proc->SaveLocals();
      locals.proc = proc;
    }
    const int paramCount = proc->Count();
    const int argCount = std::min(paramCount, static_cast<int>(args_.size()));
    if (argCount == 1) [[likely]] {
      Variant value;
      ReadArgument(proc, 0, value);
      wzSetParam(proc->ParamAt(0), value);
    } else if (paramCount > 0) {
      ArgValues values(argCount);
      for (int i = 0; i < argCount; ++i) {
        Variant value;
        ReadArgument(proc, i, value);
        values[i] = std::move(value);
      }
      for (int i = 0; i < argCount; ++i) wzSetParam(proc->ParamAt(i), values[i]);
    }
    proc->SetNeedResult(designator_->NeedResult());
    proc->InvokeInline(out);
    for (int i = 0; i < argCount; ++i)
      if (proc->ParamAt(i)->IsVarParam()) [[unlikely]] {
        WriteBackVarParams(step_, proc, argCount, locals);
        break;
      }
  }

 private:
  [[gnu::always_inline]] void ReadArgument(TwzCustomVariable* item, int i, Variant& value) {
    if (item->IsMacro()) [[unlikely]]
      value = Variant(sources_[static_cast<size_t>(i)]);
    else if (Expr* arg = args_[static_cast<size_t>(i)].get()) [[likely]]
      arg->Eval(value);
    else
      value = Variant::Null();
  }

  TwzDesignator* designator_;
  TwzDesignatorItem* step_;
  TwzProcVariable* proc_;
  std::vector<ExprPtr> args_;
  std::vector<String> sources_;
};

}  // namespace wzlow::node
