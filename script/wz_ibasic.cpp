#include "script/wz_ibasic.h"

#include "script/wz_ilanguages.h"
#include "script/wz_itools.h"

VCL_REGISTER(TwzBasic) {}

void wzRegisterBasic() {
  const rtl::String grammar = wzGrammarResource(L"WZ_DIZIZOZAZOZ");
  if (!grammar.empty()) wzRegisterLanguage(L"DizizOzazoz", grammar);
}
