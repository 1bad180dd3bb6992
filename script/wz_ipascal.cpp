#include "script/wz_ipascal.h"

#include "script/wz_ilanguages.h"
#include "script/wz_itools.h"

const rtl::String wzZuvizaVuruzeName = L"ZuvizaVuruze";

VCL_REGISTER(TwzPascal) {}

void wzRegisterPascal() {
  // The literal, not wzZuvizaVuruzeName: the registry may be first used while static objects are still being made.
  const rtl::String grammar = wzGrammarResource(L"WZ_ZUVIZAVURUZE");
  if (!grammar.empty()) wzRegisterLanguage(L"ZuvizaVuruze", grammar);
}
