#pragma once
// The script compiler's messages (the first seventeen can be translated, see wzSetMessage). Each is raised as the
// platform's general exception; where a message names something, the raiser appends the name (most often in single
// quotes).
#include "platform/rtl/types.h"

extern rtl::String SLangNotFound;  // "%s" is the language name
extern rtl::String SInvalidLanguage;
extern rtl::String SIdRedeclared;
extern rtl::String SUnknownType;
extern rtl::String SIncompatibleTypes;
extern rtl::String SIdUndeclared;
extern rtl::String SClassRequired;
extern rtl::String SIndexRequired;
extern rtl::String SStringError;
extern rtl::String SClassError;  // "%s" is the class name
extern rtl::String SArrayRequired;
extern rtl::String SVarRequired;
extern rtl::String SNotEnoughParams;
extern rtl::String STooManyParams;
extern rtl::String SLeftCantAssigned;
extern rtl::String SForError;
extern rtl::String SEventError;
// Replaces the text of the message of that name (one of the seventeen above, ignoring ASCII case): the report
// library's string table translates them. False for any other name.
bool wzSetMessage(const rtl::String& name, const rtl::String& text);
// Text left after a program that is a run of statements.
extern const rtl::String SStatementExpected;
// Answered instead of running out of stack on absurdly deep nesting.
extern const rtl::String SNestingTooDeep;
