#include "report/pages/qvxDictionary.h"

#include "platform/rtl/strings.h"

using rtl::String;

bool TqvxDictionary::TLess::operator()(const String& a, const String& b) const { return rtl::CompareText(a, b) < 0; }

TqvxDictionary::TqvxDictionary() = default;

TqvxDictionary::~TqvxDictionary() = default;

void TqvxDictionary::Clear() {
  FNames.clear();
  FSourceNames.clear();
  ++FVersion;
}

void TqvxDictionary::Add(const String& name, const String& sourceName, TqvxComponent* obj) {
  if (FNames.count(name)) return;
  FSourceNames.push_back(TSource{sourceName, obj});
  FNames.emplace(name, FSourceNames.size() - 1);
  ++FVersion;
}

String TqvxDictionary::AddUnique(const String& base, const String& sourceName, TqvxComponent* obj) {
  const String name = CreateUniqueName(base);
  Add(name, sourceName, obj);
  return name;
}

String TqvxDictionary::CreateUniqueName(const String& base) const {
  // Aliases of a base are taken densely from 1, so halving from above finds the taken range in a few probes.
  rtl::Int64 i = 10000;
  while (i > 1 && !FNames.count(base + rtl::IntToStr(i))) i /= 2;
  while (FNames.count(base + rtl::IntToStr(i))) ++i;
  return base + rtl::IntToStr(i);
}

TqvxComponent* TqvxDictionary::GetObject(const String& name) const {
  auto it = FNames.find(name);
  return it == FNames.end() ? nullptr : FSourceNames[it->second].Object;
}

String TqvxDictionary::GetSourceName(const String& name) const {
  auto it = FNames.find(name);
  return it == FNames.end() ? String() : FSourceNames[it->second].SourceName;
}

bool TqvxDictionary::Contains(const String& name) const { return FNames.count(name) != 0; }

std::vector<TqvxDictionary::TEntry> TqvxDictionary::Entries() const {
  std::vector<TEntry> entries;
  entries.reserve(FNames.size());
  for (const auto& [name, index] : FNames)
    entries.push_back(TEntry{name, FSourceNames[index].SourceName, FSourceNames[index].Object});
  return entries;
}
