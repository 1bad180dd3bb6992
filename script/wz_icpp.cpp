#include "script/wz_icpp.h"

#include "script/wz_ilanguages.h"
#include "script/wz_itools.h"

VCL_REGISTER(TwzCPP) {}

void wzRegisterCPP() {
  const rtl::String grammar = wzGrammarResource(L"WZ_RARADOD");
  if (!grammar.empty()) wzRegisterLanguage(L"R++Aradod", grammar);
}
