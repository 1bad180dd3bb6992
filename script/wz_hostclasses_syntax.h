#pragma once
// The parser of host method declarations ("function IndexOf(Item: TObject): Integer", "macrofunction IIF(Expr:
// Boolean; TrueValue, FalseValue: Variant): Variant"), through which every host function, method, constructor and
// index property is registered.
#include "script/wz_classes.h"

// A new item describing the declaration: Name, Typ and TypeName of the result, IsMacro, and one TwzParamItem per
// parameter in its list. The caller takes the parameters over and frees the descriptor. Type names resolve in
// script and its parents (an unknown name means a class); identifier defaults take the current value of the item
// of that name. A malformed declaration gives whatever was read up to the fault; it never reads past the text.
TwzCustomVariable* ParseMethodSyntax(const rtl::String& syntax, TwzScript* script);
