// Statements in the lower form. Each node does what its statement's Execute does, in the same order: the line hook
// with the statement's unit and position, the termination test after it, the flags of the statement's own program,
// the loop pattern and the try statement's catching and rethrowing. A statement of a kind without a node of its own
// runs itself.
#include <atomic>
#include <exception>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include "script/wz_designators.h"
#include "script/wz_expressions.h"
#include "script/wz_lowered.h"
#include "script/wz_lowered_expr.h"
#include "script/wz_lowered_nodes.h"
#include "script/wz_script.h"
#include "script/wz_statements.h"

using rtl::Int64;
using rtl::String;
using rtl::Variant;

namespace {

std::atomic<bool> gLowering{true};

}  // namespace

bool wzLoweringEnabled() { return gLowering.load(std::memory_order_relaxed); }
void wzSetLoweringEnabled(bool enabled) { gLowering.store(enabled, std::memory_order_relaxed); }

namespace wzlow {

namespace {

// --- expression node classes the statements run without a virtual call ---

template <class... T>
struct Types {};

template <class... A, class... B>
Types<A..., B...> operator+(Types<A...>, Types<B...>);

// Calls f.template operator()<T>() for the class T of the list that e is exactly; false when it is none of them.
template <class... T, class F>
bool WithExactClass(Types<T...>, Expr* e, F&& f) {
  const std::type_info& type = typeid(*e);
  return ((type == typeid(T) && (f.template operator()<T>(), true)) || ...);
}

template <class Op>
using ComparesOf = Types<node::Binary<node::CompareOp<Op>, node::VarOperand, node::ConstOperand>,
                         node::Binary<node::CompareOp<Op>, node::VarOperand, node::VarOperand>,
                         node::Binary<node::CompareOp<Op>, node::ExprOperand, node::ConstOperand>,
                         node::Binary<node::CompareOp<Op>, node::ExprOperand, node::VarOperand>>;
// Conditions: a comparison of a variable or an expression with a constant or a variable.
using ConditionClasses =
    decltype(ComparesOf<node::GreatCmp>() + ComparesOf<node::LessCmp>() + ComparesOf<node::LessEqCmp>() +
             ComparesOf<node::GreatEqCmp>() + ComparesOf<node::NonEqCmp>() + ComparesOf<node::EqCmp>());

template <class Op>
using ArithmeticOf =
    Types<node::Binary<Op, node::VarOperand, node::ConstOperand>, node::Binary<Op, node::VarOperand, node::VarOperand>,
          node::Binary<Op, node::ExprOperand, node::ConstOperand>, node::Binary<Op, node::ExprOperand, node::VarOperand>,
          node::Binary<Op, node::ExprOperand, node::ExprOperand>, node::Binary<Op, node::VarOperand, node::ExprOperand>>;
// Values: Integer arithmetic, remainders by a constant, variables and calls of script routines.
using ValueClasses =
    decltype(ArithmeticOf<node::PlusOp>() + ArithmeticOf<node::MinusOp>() + ArithmeticOf<node::MulOp>() +
             Types<node::ConstModulo<node::VarOperand>, node::ConstModulo<node::ExprOperand>, node::VarRead,
                   node::ScriptCall>());

class Stmt {
 public:
  explicit Stmt(TwzStatement* source) : source_(source), prog_(source->Program()) {}
  virtual ~Stmt() = default;
  virtual void Run() = 0;

 protected:
  // The line hook, then true when the program has been terminated.
  bool HookAndTerminated() {
    prog_->RunLine(source_->UnitName(), source_->SourcePos());
    return prog_->Terminated;
  }
  // After a loop body: true when the loop must end; otherwise continue is cleared.
  bool LoopShouldLeave() {
    if (prog_->BreakCalled || prog_->ExitCalled) return true;
    prog_->ContinueCalled = false;
    return false;
  }

  TwzStatement* source_;
  TwzScript* prog_;
};

using StmtPtr = std::unique_ptr<Stmt>;

// A statement list: the children in order, stopping on termination before a child and on break, continue or exit
// after one (the flags of the list's own program).
class Block {
 public:
  explicit Block(TwzStatement* list);
  // Termination stops the list before a child and break, continue or exit after one; a termination during a
  // child stops it before the next as well, so after a child all four flags are tested at once.
  void Run() {
    if (prog_->Terminated) return;
    for (const StmtPtr& s : items_) {
      s->Run();
      if (prog_->AnyFlagSet()) return;
    }
  }
  // The only child, when the list has exactly one: the owner runs it directly (nothing follows it to be stopped).
  Stmt* Single() const { return items_.size() == 1 ? items_.front().get() : nullptr; }
  TwzScript* Program() const { return prog_; }

 private:
  // A nested plain list of the same program (begin ... end) runs its children in place: the list tests the same
  // flags of the same program before and after each child as this block does, so one loop does for both.
  void AddItems(TwzStatement* list);

  TwzScript* prog_;
  std::vector<StmtPtr> items_;
};

// --- kinds that keep their own way ---

class Itself final : public Stmt {
 public:
  using Stmt::Stmt;
  void Run() override { source_->Execute(); }
};

class ListStmt final : public Stmt {
 public:
  explicit ListStmt(TwzStatement* list) : Stmt(list), block_(list) {}
  void Run() override { block_.Run(); }

 private:
  Block block_;
};

// --- assignments ---

// Stores as TwzVariable's SetValue does: read-only ignored, the value converted by the variable's type. A value
// already of that type is taken over as it is.
[[gnu::noinline]] void StoreVariableGeneral(TwzVariable* var, Variant& value) {
  if (var->IsReadOnly()) return;
  Variant* stored = var->PValue();
  const rtl::TVarType t = value.VarType();
  switch (var->Typ()) {
    case fvtInt:
      if (t == rtl::varInteger) {
        *stored = std::move(value);
        return;
      }
      break;
    case fvtBool:
      if (t == rtl::varBoolean) {
        *stored = std::move(value);
        return;
      }
      break;
    case fvtFloat:
      if (t == rtl::varDouble) {
        *stored = std::move(value);
        return;
      }
      break;
    case fvtString:
      if (t == rtl::varUString) {
        *stored = std::move(value);
        return;
      }
      break;
    case fvtInt64:
      if (t == rtl::varInt64) {
        *stored = std::move(value);
        return;
      }
      break;
    default:
      *stored = std::move(value);
      return;
  }
  var->TwzVariable::SetValue(value);
}

// The common stores inline: an Integer into an Integer variable, a Double into a Double one.
[[gnu::always_inline]] inline void StoreVariable(TwzVariable* var, Variant& value) {
  const rtl::TVarType t = value.VarType();
  const TwzVarType typ = var->Typ();
  if (((typ == fvtInt && t == rtl::varInteger) || (typ == fvtFloat && t == rtl::varDouble)) && !var->IsReadOnly())
      [[likely]] {
    *var->PValue() = std::move(value);
    return;
  }
  StoreVariableGeneral(var, value);
}

struct VariableTarget {
  TwzVariable* var;
  void Store(Variant& value) const { StoreVariable(var, value); }
};

struct ParamTarget {
  TwzCustomVariable* param;
  void Store(Variant& value) const {
    if (!param->IsReadOnly()) *param->PValue() = std::move(value);
  }
};

struct AnyTarget {
  TwzCustomVariable* target;
  void Store(Variant& value) const { target->SetValue(value); }
};

// E: the value's node class when it is known (its Eval is then called directly), else Expr.
template <class Target, class E = Expr>
class Assign final : public Stmt {
 public:
  Assign(TwzStatement* source, Target target, ExprPtr value)
      : Stmt(source), target_(target), value_(std::move(value)) {}
  void Run() override {
    if (HookAndTerminated()) return;
    Variant v;
    static_cast<E*>(value_.get())->Eval(v);
    target_.Store(v);
  }

 private:
  Target target_;
  ExprPtr value_;
};

// x := x op e, the variable read once before e and written once after. A plain variable without a value handler
// is read in place and two Integers are combined inline; text appended to a variable keeps its in-place way.
template <class Op, class E = Expr>
class Compound final : public Stmt {
 public:
  Compound(TwzAssignmentStmt* source, TwzCustomVariable* target, ExprPtr operand)
      : Stmt(source), target_(target), operand_(std::move(operand)), constant_(ConstantOf(operand_.get())) {
    if (wzlow::IsExactVariable(target)) var_ = static_cast<TwzVariable*>(target);
  }

  void Run() override {
    if (HookAndTerminated()) return;
    if (var_ && !var_->OnGetVarValue()) {
      if constexpr (Op::kInteger) {
        // An Integer variable and an Integer operand: combined and stored in place, the variable read before the
        // operand runs as the general way reads it.
        if (var_->PValue()->VarType() == rtl::varInteger) {
          const int x = var_->PValue()->AsInteger();
          Variant e;
          if (constant_)
            e = *constant_;
          else
            static_cast<E*>(operand_.get())->Eval(e);
          if (e.VarType() == rtl::varInteger && var_->Typ() == fvtInt && !var_->IsReadOnly()) {
            const Int64 r = Op::Int(x, e.AsInteger());
            if (r >= INT32_MIN && r <= INT32_MAX) {
              *var_->PValue() = Variant(static_cast<int>(r));
              return;
            }
          }
          const Variant v(x);
          Variant r;
          Op::Combine(v, e, r);
          StoreVariable(var_, r);
          return;
        }
      }
      Variant v = *var_->PValue();
      Variant e;
      static_cast<E*>(operand_.get())->Eval(e);
      if (Op::kPlus && v.VarType() == rtl::varUString && e.VarType() == rtl::varUString &&
          var_->PValue()->SharesTextWith(v) && !var_->IsReadOnly()) {
        // v shares the stored text; once it lets go, the stored variant owns the text alone and appends in place.
        v.Clear();
        var_->PValue()->AppendText(e.AsString());
        return;
      }
      Variant r;
      Op::Combine(v, e, r);
      StoreVariable(var_, r);
      return;
    }
    Op::General(static_cast<TwzAssignmentStmt*>(source_), target_, *operand_);
  }

 private:
  TwzCustomVariable* target_;
  TwzVariable* var_ = nullptr;
  ExprPtr operand_;
  const Variant* constant_;  // the operand's value when it is a constant: read without the call
};

void IntegerOr(const Variant& v, const Variant& e, Variant& out, Int64 (*f)(Int64, Int64),
               Variant (*general)(const Variant&, const Variant&)) {
  if (v.VarType() == rtl::varInteger && e.VarType() == rtl::varInteger) {
    const Int64 r = f(v.AsInteger(), e.AsInteger());
    out = r >= INT32_MIN && r <= INT32_MAX ? Variant(static_cast<int>(r)) : Variant(static_cast<long long>(r));
  } else {
    out = general(v, e);
  }
}

Variant Add(const Variant& a, const Variant& b) { return a + b; }
Variant Subtract(const Variant& a, const Variant& b) { return a - b; }
Variant Multiply(const Variant& a, const Variant& b) { return a * b; }

// Any other target: what the compound statement does after its line hook.
void GeneralCompound(TwzCustomVariable* target, Expr& operand, Variant (*combine)(const Variant&, const Variant&)) {
  const Variant v = target->GetValue();
  Variant e;
  operand.Eval(e);
  target->SetValue(combine(v, e));
}

struct PlusCombine {
  static constexpr bool kPlus = true;
  static constexpr bool kInteger = true;
  static Int64 Int(Int64 x, Int64 y) { return x + y; }
  static void Combine(const Variant& v, const Variant& e, Variant& out) {
    IntegerOr(
        v, e, out, [](Int64 x, Int64 y) { return x + y; }, Add);
  }
  // Text variables, host variables of classes of their own and targets with value handlers keep the statement's
  // own rules (in-place appends to text variables among them).
  static void General(TwzAssignmentStmt* source, TwzCustomVariable*, Expr&) {
    static_cast<TwzAssignPlusStmt*>(source)->Perform();
  }
};

struct MinusCombine {
  static constexpr bool kPlus = false;
  static constexpr bool kInteger = true;
  static Int64 Int(Int64 x, Int64 y) { return x - y; }
  static void Combine(const Variant& v, const Variant& e, Variant& out) {
    IntegerOr(
        v, e, out, [](Int64 x, Int64 y) { return x - y; }, Subtract);
  }
  static void General(TwzAssignmentStmt*, TwzCustomVariable* target, Expr& operand) {
    GeneralCompound(target, operand, Subtract);
  }
};

struct MulCombine {
  static constexpr bool kPlus = false;
  static constexpr bool kInteger = true;
  static Int64 Int(Int64 x, Int64 y) { return x * y; }
  static void Combine(const Variant& v, const Variant& e, Variant& out) {
    IntegerOr(
        v, e, out, [](Int64 x, Int64 y) { return x * y; }, Multiply);
  }
  static void General(TwzAssignmentStmt*, TwzCustomVariable* target, Expr& operand) {
    GeneralCompound(target, operand, Multiply);
  }
};

struct DivCombine {
  static constexpr bool kPlus = false;
  static constexpr bool kInteger = false;
  static Variant Divide(const Variant& a, const Variant& b) { return a / b; }
  static void Combine(const Variant& v, const Variant& e, Variant& out) { out = v / e; }
  static void General(TwzAssignmentStmt*, TwzCustomVariable* target, Expr& operand) {
    GeneralCompound(target, operand, Divide);
  }
};

// --- calls ---

class Call final : public Stmt {
 public:
  Call(TwzCallStmt* source, ExprPtr call) : Stmt(source), designator_(source->Designator()), call_(std::move(call)) {}
  void Run() override {
    if (HookAndTerminated()) return;
    designator_->SetNeedResult(false);
    Variant discarded;
    call_->Eval(discarded);
  }

 private:
  TwzDesignator* designator_;
  ExprPtr call_;
};

// --- if, case ---

bool IsTrue(Expr* condition) { return !condition || condition->Test(); }

// C: the condition's node class when it is known (its Test is then called directly), else Expr.
template <class C = Expr>
class If final : public Stmt {
 public:
  If(TwzIfStmt* source, ExprPtr condition)
      : Stmt(source),
        condition_(std::move(condition)),
        then_(source),
        else_(source->ElseStmt()),
        thenSingle_(then_.Program() == prog_ ? then_.Single() : nullptr),
        elseSingle_(else_.Program() == prog_ ? else_.Single() : nullptr) {}
  void Run() override {
    if (HookAndTerminated()) return;
    bool holds;
    if constexpr (std::is_same_v<C, Expr>)
      holds = IsTrue(condition_.get());
    else
      holds = static_cast<C*>(condition_.get())->Test();
    if (holds)
      RunBranch(then_, thenSingle_);
    else
      RunBranch(else_, elseSingle_);
  }

 private:
  // A branch of one statement runs it directly, after the termination test its list would make.
  void RunBranch(Block& block, Stmt* single) {
    if (single) {
      if (!prog_->Terminated) single->Run();
    } else {
      block.Run();
    }
  }

  ExprPtr condition_;
  Block then_, else_;
  Stmt* thenSingle_;
  Stmt* elseSingle_;
};

class Case final : public Stmt {
 public:
  explicit Case(TwzCaseStmt* source)
      : Stmt(source),
        condition_(source->Condition() ? LowerExpression(source->Condition()) : nullptr),
        else_(source->ElseStmt()) {
    for (int i = 0; i < source->Count(); ++i) {
      auto* selector = dynamic_cast<TwzCaseSelector*>(source->Items(i));
      selectors_.push_back(selector);
      branches_.push_back(selector ? std::make_unique<Block>(selector) : nullptr);
    }
  }
  void Run() override {
    Variant value = Variant::Null();
    if (condition_) condition_->Eval(value);
    if (HookAndTerminated()) return;
    for (size_t i = 0; i < selectors_.size(); ++i)
      if (selectors_[i] && selectors_[i]->Check(value)) {
        branches_[i]->Run();
        return;
      }
    else_.Run();
  }

 private:
  ExprPtr condition_;
  std::vector<TwzCaseSelector*> selectors_;
  std::vector<std::unique_ptr<Block>> branches_;
  Block else_;
};

// --- loops ---

class Repeat final : public Stmt {
 public:
  explicit Repeat(TwzRepeatStmt* source)
      : Stmt(source),
        condition_(source->Condition() ? LowerExpression(source->Condition()) : nullptr),
        body_(source),
        inverse_(source->InverseCondition()) {}
  void Run() override {
    if (HookAndTerminated()) return;
    for (;;) {
      body_.Run();
      if (LoopShouldLeave()) break;
      if (IsTrue(condition_.get()) != inverse_) break;
    }
    prog_->BreakCalled = false;
  }

 private:
  ExprPtr condition_;
  Block body_;
  bool inverse_;
};

class While final : public Stmt {
 public:
  explicit While(TwzWhileStmt* source)
      : Stmt(source), condition_(source->Condition() ? LowerExpression(source->Condition()) : nullptr), body_(source) {}
  void Run() override {
    if (HookAndTerminated()) return;
    while (IsTrue(condition_.get())) {
      body_.Run();
      if (LoopShouldLeave()) break;
    }
    prog_->BreakCalled = false;
  }

 private:
  ExprPtr condition_;
  Block body_;
};

class For final : public Stmt {
 public:
  explicit For(TwzForStmt* source)
      : Stmt(source),
        begin_(LowerExpression(source->BeginValue())),
        end_(LowerExpression(source->EndValue())),
        counter_(source->Variable()->PValue()),
        down_(source->Down()),
        body_(source) {}
  void Run() override {
    Variant v;
    begin_->Eval(v);
    const Int64 first = v.AsInteger();
    end_->Eval(v);
    const Int64 last = v.AsInteger();
    if (HookAndTerminated()) return;
    // The counter runs in 64 bits so that a bound at the edge of the integer range cannot wrap around.
    if (!down_) {
      for (Int64 i = first; i <= last; ++i) {
        *counter_ = Variant(static_cast<int>(i));
        body_.Run();
        if (LoopShouldLeave()) break;
      }
    } else {
      for (Int64 i = first; i >= last; --i) {
        *counter_ = Variant(static_cast<int>(i));
        body_.Run();
        if (LoopShouldLeave()) break;
      }
    }
    prog_->BreakCalled = false;
  }

 private:
  ExprPtr begin_, end_;
  Variant* counter_;
  bool down_;
  Block body_;
};

class VbFor final : public Stmt {
 public:
  explicit VbFor(TwzVbForStmt* source)
      : Stmt(source),
        begin_(LowerExpression(source->BeginValue())),
        end_(LowerExpression(source->EndValue())),
        step_(source->Step() ? LowerExpression(source->Step()) : nullptr),
        target_(source->Variable()->PValue()),
        body_(source) {}
  void Run() override {
    Variant i, last, step;
    begin_->Eval(i);
    end_->Eval(last);
    if (step_)
      step_->Eval(step);
    else
      step = Variant(1);
    const bool negative = step < Variant(0);
    if (HookAndTerminated()) return;
    while (negative ? i >= last : i <= last) {
      *target_ = i;
      body_.Run();
      if (LoopShouldLeave()) break;
      i = i + step;
    }
    prog_->BreakCalled = false;
  }

 private:
  ExprPtr begin_, end_, step_;
  Variant* target_;
  Block body_;
};

class CppFor final : public Stmt {
 public:
  explicit CppFor(TwzCppForStmt* source)
      : Stmt(source),
        first_(source->FirstStmt()),
        condition_(source->Expression() ? LowerExpression(source->Expression()) : nullptr),
        second_(source->SecondStmt()),
        body_(source) {}
  void Run() override {
    if (HookAndTerminated()) return;
    first_.Run();
    if (prog_->Terminated) return;
    while (IsTrue(condition_.get())) {
      body_.Run();
      if (LoopShouldLeave()) break;
      second_.Run();
    }
    prog_->BreakCalled = false;
  }

 private:
  Block first_;
  ExprPtr condition_;
  Block second_, body_;
};

// --- try ---

class Try final : public Stmt {
 public:
  explicit Try(TwzTryStmt* source) : Stmt(source), body_(source), handler_(source->ExceptStmt()) {}
  void Run() override {
    if (HookAndTerminated()) return;
    if (static_cast<TwzTryStmt*>(source_)->IsExcept()) {
      bool caught = false;
      try {
        body_.Run();
      } catch (const rtl::Exception& e) {
        prog_->SetVariable(L"ExceptionClassName", Variant(e.ClassName()));
        prog_->SetVariable(L"ExceptionMessage", Variant(e.Message()));
        caught = true;
      }
      // The except part runs outside the handler, so an exception it raises propagates on its own.
      if (caught) handler_.Run();
      return;
    }
    std::exception_ptr pending;
    try {
      body_.Run();
    } catch (...) {
      pending = std::current_exception();
    }
    const bool exitCalled = prog_->ExitCalled;
    prog_->ExitCalled = false;
    handler_.Run();
    prog_->ExitCalled = exitCalled;
    if (pending) std::rethrow_exception(pending);
  }

 private:
  Block body_, handler_;
};

// --- jumps ---

class Break final : public Stmt {
 public:
  using Stmt::Stmt;
  void Run() override { prog_->BreakCalled = true; }
};

class Continue final : public Stmt {
 public:
  using Stmt::Stmt;
  void Run() override { prog_->ContinueCalled = true; }
};

class Exit final : public Stmt {
 public:
  using Stmt::Stmt;
  void Run() override {
    prog_->RunLine(source_->UnitName(), source_->SourcePos());
    prog_->ExitCalled = true;
  }
};

// --- building ---

template <class Target>
StmtPtr MakeAssign(TwzStatement* s, Target target, ExprPtr value) {
  StmtPtr made;
  if (value)
    WithExactClass(ValueClasses(), value.get(), [&]<class E>() {
      made = std::make_unique<Assign<Target, E>>(s, target, std::move(value));
    });
  if (!made) made = std::make_unique<Assign<Target>>(s, target, std::move(value));
  return made;
}

template <class Op>
StmtPtr MakeCompound(TwzAssignmentStmt* s, TwzCustomVariable* target, ExprPtr operand) {
  StmtPtr made;
  if (operand)
    WithExactClass(ValueClasses(), operand.get(), [&]<class E>() {
      made = std::make_unique<Compound<Op, E>>(s, target, std::move(operand));
    });
  if (!made) made = std::make_unique<Compound<Op>>(s, target, std::move(operand));
  return made;
}

StmtPtr MakeIf(TwzIfStmt* s) {
  ExprPtr condition = s->Condition() ? LowerExpression(s->Condition()) : nullptr;
  StmtPtr made;
  if (condition)
    WithExactClass(ConditionClasses(), condition.get(),
                   [&]<class C>() { made = std::make_unique<If<C>>(s, std::move(condition)); });
  if (!made) made = std::make_unique<If<>>(s, std::move(condition));
  return made;
}

StmtPtr LowerAssignment(TwzAssignmentStmt* s) {
  TwzCustomVariable* target = s->Target();
  TwzCustomVariable* source = s->Source();
  if (!target || !source) return std::make_unique<Itself>(s);
  const std::type_info& type = typeid(*s);
  if (type == typeid(TwzAssignmentStmt)) {
    ExprPtr value = LowerItem(source);
    if (IsExactVariable(target))
      return MakeAssign(s, VariableTarget{static_cast<TwzVariable*>(target)}, std::move(value));
    if (IsExactParam(target)) return MakeAssign(s, ParamTarget{target}, std::move(value));
    return std::make_unique<Assign<AnyTarget>>(s, AnyTarget{target}, std::move(value));
  }
  if (type == typeid(TwzAssignPlusStmt)) return MakeCompound<PlusCombine>(s, target, LowerItem(source));
  if (type == typeid(TwzAssignMinusStmt)) return MakeCompound<MinusCombine>(s, target, LowerItem(source));
  if (type == typeid(TwzAssignMulStmt)) return MakeCompound<MulCombine>(s, target, LowerItem(source));
  if (type == typeid(TwzAssignDivStmt)) return std::make_unique<Compound<DivCombine>>(s, target, LowerItem(source));
  return std::make_unique<Itself>(s);
}

StmtPtr LowerStatement(TwzStatement* s) {
  const std::type_info& type = typeid(*s);
  if (type == typeid(TwzStatement) || type == typeid(TwzCaseSelector)) return std::make_unique<ListStmt>(s);
  if (auto* a = dynamic_cast<TwzAssignmentStmt*>(s)) return LowerAssignment(a);
  if (type == typeid(TwzCallStmt)) {
    auto* c = static_cast<TwzCallStmt*>(s);
    if (!c->Designator() || !c->Modificator().empty()) return std::make_unique<Itself>(s);
    return std::make_unique<Call>(c, LowerItem(c->Designator()));
  }
  if (type == typeid(TwzIfStmt)) return MakeIf(static_cast<TwzIfStmt*>(s));
  if (type == typeid(TwzCaseStmt)) return std::make_unique<Case>(static_cast<TwzCaseStmt*>(s));
  if (type == typeid(TwzRepeatStmt)) return std::make_unique<Repeat>(static_cast<TwzRepeatStmt*>(s));
  if (type == typeid(TwzWhileStmt)) return std::make_unique<While>(static_cast<TwzWhileStmt*>(s));
  if (type == typeid(TwzForStmt)) {
    auto* f = static_cast<TwzForStmt*>(s);
    if (!f->BeginValue() || !f->EndValue() || !f->Variable()) return std::make_unique<Itself>(s);
    return std::make_unique<For>(f);
  }
  if (type == typeid(TwzVbForStmt)) {
    auto* f = static_cast<TwzVbForStmt*>(s);
    if (!f->BeginValue() || !f->EndValue() || !f->Variable()) return std::make_unique<Itself>(s);
    return std::make_unique<VbFor>(f);
  }
  if (type == typeid(TwzCppForStmt)) return std::make_unique<CppFor>(static_cast<TwzCppForStmt*>(s));
  if (type == typeid(TwzTryStmt)) return std::make_unique<Try>(static_cast<TwzTryStmt*>(s));
  if (type == typeid(TwzBreakStmt)) return std::make_unique<Break>(s);
  if (type == typeid(TwzContinueStmt)) return std::make_unique<Continue>(s);
  if (type == typeid(TwzExitStmt)) return std::make_unique<Exit>(s);
  return std::make_unique<Itself>(s);
}

Block::Block(TwzStatement* list) : prog_(list->Program()) {
  items_.reserve(static_cast<size_t>(list->Count()));
  AddItems(list);
}

void Block::AddItems(TwzStatement* list) {
  for (int i = 0; i < list->Count(); ++i) {
    TwzStatement* s = list->Items(i);
    if (s && typeid(*s) == typeid(TwzStatement) && s->Program() == prog_)
      AddItems(s);
    else
      items_.push_back(LowerStatement(s));
  }
}

// A program's or routine's main statement. Statements appended to the list while it runs (a host compiling into
// the running program) still run after the lowered ones, as the list would run them.
class MainCode final : public TwzLoweredCode {
 public:
  explicit MainCode(TwzStatement* list) : list_(list), lowered_(static_cast<size_t>(list->Count())), block_(list) {}
  void Run() override {
    block_.Run();
    TwzScript* prog = block_.Program();
    for (size_t i = lowered_; i < static_cast<size_t>(list_->Count()); ++i) {
      if (prog->Terminated) return;
      if (prog->BreakCalled || prog->ContinueCalled || prog->ExitCalled) return;
      list_->Items(static_cast<int>(i))->Execute();
    }
  }

 private:
  TwzStatement* list_;
  size_t lowered_;  // the statements the list held when it was lowered
  Block block_;
};

}  // namespace

}  // namespace wzlow

std::unique_ptr<TwzLoweredCode> wzLowerStatementList(TwzStatement* list) {
  if (!list || typeid(*list) != typeid(TwzStatement)) return nullptr;
  return std::make_unique<wzlow::MainCode>(list);
}
