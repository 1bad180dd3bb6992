#include "script/wz_ilanguages.h"

#include "platform/rtl/streams.h"
#include "platform/rtl/textconv.h"
#include "platform/rtl/win.h"
#include "script/wz_ibasic.h"
#include "script/wz_icpp.h"
#include "script/wz_ijs.h"
#include "script/wz_ipascal.h"

void wzRegisterStandardLanguages() {
  wzRegisterPascal();
  wzRegisterCPP();
  wzRegisterBasic();
  wzRegisterJScript();
}

rtl::String wzGrammarResource(const wchar_t* resourceName) {
  try {
    rtl::TResourceStream stream(nullptr, resourceName, RT_RCDATA);
    return rtl::UTF8ToString(rtl::StripUTF8BOM(stream.ReadBytes(static_cast<rtl::Integer>(stream.Size()))));
  } catch (const rtl::EResNotFound&) {
    return rtl::String();
  }
}
