#pragma once
// The script compiler's messages. Each is raised as the platform's general exception; where a message names
// something, the raiser appends the name (most often in single quotes).
#include "platform/rtl/types.h"

extern const rtl::String SLangNotFound;  // "%s" is the language name
extern const rtl::String SInvalidLanguage;
extern const rtl::String SIdRedeclared;
extern const rtl::String SUnknownType;
extern const rtl::String SIncompatibleTypes;
extern const rtl::String SIdUndeclared;
extern const rtl::String SClassRequired;
extern const rtl::String SIndexRequired;
extern const rtl::String SStringError;
extern const rtl::String SClassError;  // "%s" is the class name
extern const rtl::String SArrayRequired;
extern const rtl::String SVarRequired;
extern const rtl::String SNotEnoughParams;
extern const rtl::String STooManyParams;
extern const rtl::String SLeftCantAssigned;
extern const rtl::String SForError;
extern const rtl::String SEventError;
// Text left after a program that is a run of statements.
extern const rtl::String SStatementExpected;
// Answered instead of running out of stack on absurdly deep nesting.
extern const rtl::String SNestingTooDeep;
