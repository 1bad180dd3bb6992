#pragma once
// Expressions in the lower form (see wz_lowered.h): what the statement nodes evaluate.
#include <memory>

#include "platform/rtl/variant.h"

class TwzCustomVariable;
class TwzCustomExpression;

namespace wzlow {

class Expr {
 public:
  virtual ~Expr() = default;
  // The value, into out (which may hold anything before).
  virtual void Eval(rtl::Variant& out) = 0;
  // The value as a condition: its Boolean conversion.
  virtual bool Test() {
    rtl::Variant v;
    Eval(v);
    return v.AsBoolean();
  }
};

using ExprPtr = std::unique_ptr<Expr>;

// What reading the item gives (its GetValue): plain variables read in place, expressions and one-step calls
// lowered, anything else through the item.
ExprPtr LowerItem(TwzCustomVariable* item);
// An expression's value (its GetValue).
ExprPtr LowerExpression(TwzCustomExpression* expression);

// The value an expression always gives, when it is a constant read in place; nullptr for anything else.
const rtl::Variant* ConstantOf(Expr* expr);

// True for an item of exactly the class TwzVariable or TwzParamItem: its value is its stored value unless a value
// handler answers, and storing into it follows the class's own rules.
bool IsExactVariable(const TwzCustomVariable* item);
bool IsExactParam(const TwzCustomVariable* item);

}  // namespace wzlow
