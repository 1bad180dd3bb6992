#include "script/wz_ilanguages.h"

#include "platform/rtl/textconv.h"
#include "platform/rtl/win.h"
#include "script/wz_ipascal.h"

void wzRegisterStandardLanguages() { wzRegisterPascal(); }

rtl::String wzGrammarResource(const wchar_t* resourceName) {
  HRSRC resource = FindResourceW(nullptr, resourceName, MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!resource) return rtl::String();
  HGLOBAL handle = LoadResource(nullptr, resource);
  const DWORD size = SizeofResource(nullptr, resource);
  const char* data = handle ? static_cast<const char*>(LockResource(handle)) : nullptr;
  if (!data) return rtl::String();
  return rtl::UTF8ToString(rtl::StripUTF8BOM(std::string(data, size)));
}
