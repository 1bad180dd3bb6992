#pragma once
// The script languages that come with the engine. Their grammars are RCDATA resources linked into every program
// that uses the engine; the language registry registers them when it is first used.
#include "platform/rtl/types.h"

void wzRegisterStandardLanguages();

// The text of a grammar resource (UTF-8 bytes); empty when the program carries no such resource.
rtl::String wzGrammarResource(const wchar_t* resourceName);
