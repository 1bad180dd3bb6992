#include "script/wz_iconst.h"

#include "platform/rtl/strings.h"

rtl::String SLangNotFound = L"Language '%s' not found";
rtl::String SInvalidLanguage = L"Invalid language definition";
rtl::String SIdRedeclared = L"Identifier redeclared: ";
rtl::String SUnknownType = L"Unknown type: ";
rtl::String SIncompatibleTypes = L"Incompatible types";
rtl::String SIdUndeclared = L"Undeclared identifier: ";
rtl::String SClassRequired = L"Class type required";
rtl::String SIndexRequired = L"Index required";
rtl::String SStringError = L"Strings doesn't have properties or methods";
rtl::String SClassError = L"Class %s does not have a default property";
rtl::String SArrayRequired = L"Array type required";
rtl::String SVarRequired = L"Variable required";
rtl::String SNotEnoughParams = L"Not enough actual parameters";
rtl::String STooManyParams = L"Too many actual parameters";
rtl::String SLeftCantAssigned = L"Left side cannot be assigned to";
rtl::String SForError = L"For loop variable must be numeric variable";
rtl::String SEventError = L"Event handler must be a procedure";
const rtl::String SStatementExpected = L"Statement expected";
const rtl::String SNestingTooDeep = L"Nesting too deep";

bool wzSetMessage(const rtl::String& name, const rtl::String& text) {
  static const struct {
    const wchar_t* name;
    rtl::String* text;
  } messages[] = {
      {L"SLangNotFound", &SLangNotFound},
      {L"SInvalidLanguage", &SInvalidLanguage},
      {L"SIdRedeclared", &SIdRedeclared},
      {L"SUnknownType", &SUnknownType},
      {L"SIncompatibleTypes", &SIncompatibleTypes},
      {L"SIdUndeclared", &SIdUndeclared},
      {L"SClassRequired", &SClassRequired},
      {L"SIndexRequired", &SIndexRequired},
      {L"SStringError", &SStringError},
      {L"SClassError", &SClassError},
      {L"SArrayRequired", &SArrayRequired},
      {L"SVarRequired", &SVarRequired},
      {L"SNotEnoughParams", &SNotEnoughParams},
      {L"STooManyParams", &STooManyParams},
      {L"SLeftCantAssigned", &SLeftCantAssigned},
      {L"SForError", &SForError},
      {L"SEventError", &SEventError},
  };
  for (const auto& m : messages)
    if (rtl::SameText(name, m.name)) {
      *m.text = text;
      return true;
    }
  return false;
}
