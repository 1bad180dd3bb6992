#include "platform/vcl/resources.h"

#include <vector>

#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/rtl/win.h"

namespace vcl {

namespace {

HRSRC FindRcData(const String& name, void* module) {
  HMODULE m = module ? static_cast<HMODULE>(module) : GetModuleHandleW(nullptr);
  return FindResourceW(m, rtl::UpperCase(name).c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
}

}  // namespace

bool ResourceExists(const String& name, void* module) { return FindRcData(name, module) != nullptr; }

String LoadResourceText(const String& name, void* module) {
  HMODULE m = module ? static_cast<HMODULE>(module) : GetModuleHandleW(nullptr);
  HRSRC res = FindRcData(name, module);
  if (!res) throw EResNotFound(L"Resource " + name + L" not found");
  HGLOBAL handle = LoadResource(m, res);
  const void* data = handle ? LockResource(handle) : nullptr;
  DWORD size = SizeofResource(m, res);
  if (!data) throw EResNotFound(L"Resource " + name + L" cannot be loaded");
  std::string bytes(static_cast<const char*>(data), size);
  // windres pads resources; trailing zeros are not text.
  while (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
  return rtl::UTF8ToString(rtl::StripUTF8BOM(bytes));
}

void ReadComponentRes(const String& name, TComponent* root, void* module) {
  ReadComponentText(LoadResourceText(name, module), root, name);
}

bool InitInheritedComponent(TComponent* root, const TClassInfo* stopAt) {
  std::vector<const TClassInfo*> chain;
  for (const TClassInfo* c = ClassOf(root); c && c != stopAt; c = c->ClassParent()) chain.push_back(c);
  bool any = false;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (!ResourceExists((*it)->ClassName())) continue;
    ReadComponentRes((*it)->ClassName(), root);
    any = true;
  }
  return any;
}

}  // namespace vcl
