#pragma once
// The alias map of the prepared pages: every object of a source page is known on the prepared pages by a short
// alias ("m1", "b3") that leads to its source copy and to the copy's source name ("Page0.Memo1").
#include <map>
#include <vector>

#include "platform/rtl/object.h"
#include "platform/rtl/types.h"

class TqvxComponent;

class TqvxDictionary : public rtl::TObject {
 public:
  TqvxDictionary();
  ~TqvxDictionary() override;
  rtl::String ClassName() const override { return L"TqvxDictionary"; }

  void Clear();
  // A name already present keeps its entry; the call is ignored.
  void Add(const rtl::String& name, const rtl::String& sourceName, TqvxComponent* obj);
  // CreateUniqueName, then Add; the new alias.
  rtl::String AddUnique(const rtl::String& base, const rtl::String& sourceName, TqvxComponent* obj);
  // base + the first free number, found by halving probes from 10000 and then counting up.
  rtl::String CreateUniqueName(const rtl::String& base) const;
  // The source copy of an alias (nullptr when the alias is unknown or its copy was not found when loading).
  TqvxComponent* GetObject(const rtl::String& name) const;
  rtl::String GetSourceName(const rtl::String& name) const;
  bool Contains(const rtl::String& name) const;
  rtl::Integer Count() const { return static_cast<rtl::Integer>(FSourceNames.size()); }
  // Changes whenever an alias is added or the map is emptied: an answer found earlier holds while it stays.
  rtl::Int64 Version() const { return FVersion; }

  // The aliases in their sorted order (ASCII case ignored), each with its source name.
  struct TEntry {
    rtl::String Name;
    rtl::String SourceName;
    TqvxComponent* Object;
  };
  std::vector<TEntry> Entries() const;

 private:
  struct TLess {
    bool operator()(const rtl::String& a, const rtl::String& b) const;
  };
  struct TSource {
    rtl::String SourceName;
    TqvxComponent* Object;
  };
  // Alias to its index in FSourceNames.
  std::map<rtl::String, size_t, TLess> FNames;
  std::vector<TSource> FSourceNames;
  rtl::Int64 FVersion = 0;
};
