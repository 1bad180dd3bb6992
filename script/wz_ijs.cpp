#include "script/wz_ijs.h"

#include "script/wz_ilanguages.h"
#include "script/wz_itools.h"

VCL_REGISTER(TwzJScript) {}

void wzRegisterJScript() {
  const rtl::String grammar = wzGrammarResource(L"WZ_JSCRIPT");
  if (!grammar.empty()) wzRegisterLanguage(L"JScript", grammar);
}
