#pragma once
// The lower form of a compiled program. A successful compile turns the statement and expression trees of the
// program and of each of its routines into a run of small nodes that read and write the items' values in place,
// answer Integer arithmetic and comparisons inline and call routines without the general designator walk. The trees
// stay as they are and keep the program's meaning: every node does exactly what the object it stands for does (line
// hook, flags, conversions, Null rules, exceptions), and anything the lower form has no node of its own for runs
// through the object itself.
#include <memory>

class TwzStatement;

class TwzLoweredCode {
 public:
  virtual ~TwzLoweredCode() = default;
  // Runs the statement list the code was made from.
  virtual void Run() = 0;
};

// The lower form of a statement list; nullptr when the list cannot be lowered (the list then runs itself).
std::unique_ptr<TwzLoweredCode> wzLowerStatementList(TwzStatement* list);

// Whether compiling makes the lower form (on by default). Off, every program runs its trees: the tests run programs
// both ways and compare.
bool wzLoweringEnabled();
void wzSetLoweringEnabled(bool enabled);
