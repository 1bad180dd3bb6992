#include "script/wz_ipascal.h"

#include "script/wz_ilanguages.h"
#include "script/wz_itools.h"

const rtl::String wzZuvizaVuruzeName = L"ZuvizaVuruze";

void wzRegisterPascal() {
  const rtl::String grammar = wzGrammarResource(L"WZ_ZUVIZAVURUZE");
  if (!grammar.empty()) wzRegisterLanguage(L"ZuvizaVuruze", grammar);
}
