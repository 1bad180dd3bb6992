#include "script/wz_iconst.h"

const rtl::String SLangNotFound = L"Language '%s' not found";
const rtl::String SInvalidLanguage = L"Invalid language definition";
const rtl::String SIdRedeclared = L"Identifier redeclared: ";
const rtl::String SUnknownType = L"Unknown type: ";
const rtl::String SIncompatibleTypes = L"Incompatible types";
const rtl::String SIdUndeclared = L"Undeclared identifier: ";
const rtl::String SClassRequired = L"Class type required";
const rtl::String SIndexRequired = L"Index required";
const rtl::String SStringError = L"Strings doesn't have properties or methods";
const rtl::String SClassError = L"Class %s does not have a default property";
const rtl::String SArrayRequired = L"Array type required";
const rtl::String SVarRequired = L"Variable required";
const rtl::String SNotEnoughParams = L"Not enough actual parameters";
const rtl::String STooManyParams = L"Too many actual parameters";
const rtl::String SLeftCantAssigned = L"Left side cannot be assigned to";
const rtl::String SForError = L"For loop variable must be numeric variable";
const rtl::String SEventError = L"Event handler must be a procedure";
const rtl::String SStatementExpected = L"Statement expected";
const rtl::String SNestingTooDeep = L"Nesting too deep";
