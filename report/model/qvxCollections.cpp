#include "report/model/qvxCollections.h"

#include <memory>

#include "platform/rtl/strings.h"
#include "platform/rtl/variant.h"
#include "platform/vcl/typinfo.h"
#include "report/model/qvxClass.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxXMLSerializer.h"

using rtl::String;

VCL_REGISTER(TqvxCollectionItem) {
  cls.Prop(L"InheritedName", &TqvxCollectionItem::InheritedName).Stored(&TqvxCollectionItem::IsNameStored);
}

VCL_REGISTER(TqvxCollection) {}

TqvxCollectionItem* TqvxCollection::FindByName(const String& name) const {
  for (int i = 0; i < Count(); ++i) {
    auto* item = dynamic_cast<TqvxCollectionItem*>(Items(i));
    if (item && item->GetInheritedName() == name) return item;
  }
  return nullptr;
}

void TqvxCollection::Added(vcl::TCollectionItem* item) {
  vcl::TCollection::Added(item);
  auto* qi = dynamic_cast<TqvxCollectionItem*>(item);
  if (!qi) return;
  rtl::TStringList names;
  names.SetSorted(true);
  names.SetDuplicates(rtl::dupIgnore);
  names.SetCaseSensitive(false);
  for (int i = 0; i < Count(); ++i)
    if (auto* other = dynamic_cast<TqvxCollectionItem*>(Items(i))) names.Add(other->GetInheritedName());
  for (int n = 1;; ++n) {
    const String candidate = item->ClassName() + rtl::IntToStr(n);
    rtl::Integer index = 0;
    if (!names.Find(candidate, index)) {
      qi->SetInheritedName(candidate);
      return;
    }
  }
}

namespace {

TqvxComponent* ReportOf(TqvxComponent* owner) {
  if (!owner) return nullptr;
  TqvxComponent* report = owner->Report();
  return report ? report : owner;
}

// The serializer reading or writing owner's report just now, if any.
TqvxXMLSerializer* ActiveSerializer(TqvxComponent* owner) {
  TqvxReport* report = owner ? owner->Report() : nullptr;
  return report ? report->XMLSerializer() : nullptr;
}

// Form files of older versions kept characters above 127 as code 1 followed by the character less 128.
String DecodeHighChars(const String& s) {
  if (s.find(L'\x01') == String::npos) return s;
  String result;
  result.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == L'\x01' && i + 1 < s.size()) {
      result += static_cast<wchar_t>(s[i + 1] + 128);
      ++i;
    } else {
      result += s[i];
    }
  }
  return result;
}

void CorrectItem(vcl::TCollectionItem* item) {
  const vcl::TClassInfo* cls = vcl::ClassOf(item);
  if (!cls) return;
  for (const vcl::TPropInfo* p : cls->Properties()) {
    if (!p->IsReadable() || !p->IsWritable()) continue;
    const vcl::TTypeKind kind = p->Kind();
    if (kind == vcl::tkString || kind == vcl::tkLString || kind == vcl::tkWString) {
      const String s = p->GetStr(item);
      const String fixed = DecodeHighChars(s);
      if (fixed != s) p->SetStr(item, fixed);
    } else if (kind == vcl::tkVariant) {
      const rtl::Variant v = p->GetVariant(item);
      if (v.IsString()) p->SetVariant(item, rtl::Variant(DecodeHighChars(rtl::VarToStr(v))));
    }
  }
}

}  // namespace

void qvxWriteCollection(vcl::TCollection* collection, vcl::TWriter& writer, TqvxComponent* owner) {
  if (owner && owner->IsWriting()) {
    TqvxXMLSerializer serializer(nullptr);
    serializer.SetOwner(ReportOf(owner));
    writer.WriteListBegin();
    try {
      for (int i = 0; i < collection->Count(); ++i) writer.WriteString(serializer.ObjToXML(collection->Items(i)));
    } catch (...) {
      writer.WriteListEnd();
      throw;
    }
    writer.WriteListEnd();
  } else {
    writer.WriteCollection(collection);
  }
}

void qvxReadCollection(vcl::TCollection* collection, vcl::TReader& reader, TqvxComponent* owner) {
  const vcl::TFormValue value = reader.ReadValue();
  TqvxComponent* report = ReportOf(owner);
  if (value.Kind == vcl::TFormValueKind::Collection) {
    collection->BeginUpdate();
    try {
      collection->Clear();
      auto* root = dynamic_cast<TqvxReport*>(report);
      for (const auto& props : value.Items) {
        vcl::TCollectionItem* item = collection->Add();
        // The objects an item names are read after the lists: the report resolves them once it is loaded.
        std::vector<vcl::TFormProp> now;
        for (const vcl::TFormProp& p : props) {
          const vcl::TPropInfo* info = root ? vcl::ClassOf(item)->FindProperty(p.Name) : nullptr;
          if (info && info->IsReference() && p.Value.Kind == vcl::TFormValueKind::Ident &&
              !rtl::SameText(p.Value.Str, L"nil"))
            root->AddFormFixup(TqvxFixupItem{item, info, p.Value.Str});
          else
            now.push_back(p);
        }
        vcl::ReadProperties(item, now, report, L"");
        CorrectItem(item);
      }
    } catch (...) {
      collection->EndUpdate();
      throw;
    }
    collection->EndUpdate();
    return;
  }
  if (value.Kind != vcl::TFormValueKind::List) return;
  collection->Clear();
  TqvxXMLSerializer* loading = ActiveSerializer(owner);
  std::unique_ptr<TqvxXMLSerializer> own;
  for (const vcl::TFormValue& line : value.List) {
    vcl::TCollectionItem* item = collection->Add();
    if (loading) {
      loading->XMLToObj(line.Str, item);
    } else {
      if (!own) own = std::make_unique<TqvxXMLSerializer>(nullptr);
      own->ReadPersistentStr(report, item, line.Str);
    }
  }
}

void qvxWriteCollection(vcl::TCollection* collection, const String& name, TqvxXMLItem* xmlItem, TqvxComponent* owner,
                        vcl::TCollection* ancestorCollection) {
  TqvxXMLItem* element = xmlItem->Add(name);
  TqvxComponent* report = ReportOf(owner);
  TqvxXMLSerializer* serializer = ActiveSerializer(owner);
  std::unique_ptr<TqvxXMLSerializer> own;
  if (!serializer) {
    own = std::make_unique<TqvxXMLSerializer>(nullptr);
    own->SetOwner(report);
    serializer = own.get();
  }
  auto* qvxCollection = dynamic_cast<TqvxCollection*>(collection);
  auto* ancestor = dynamic_cast<TqvxCollection*>(ancestorCollection);
  for (int i = 0; i < collection->Count(); ++i) {
    vcl::TCollectionItem* item = collection->Items(i);
    TqvxXMLItem* e = element->Add(L"item");
    TqvxCollectionItem* ancestorItem = nullptr;
    if (qvxCollection && ancestor)
      if (auto* qi = dynamic_cast<TqvxCollectionItem*>(item))
        ancestorItem = ancestor->FindByName(qi->GetInheritedName());
    if (ancestorItem)
      e->SetText(L" InheritedName=\"" + qvxStrToXML(ancestorItem->GetInheritedName()) + L"\"" +
                 serializer->ObjToXML(item, String(), ancestorItem));
    else
      e->SetText(serializer->ObjToXML(item));
  }
}

void qvxReadCollection(vcl::TCollection* collection, TqvxXMLItem* xmlItem, TqvxComponent* owner,
                       vcl::TCollection* ancestorCollection) {
  // Items are named and checked against each other as they come: a damaged template's endless list is refused
  // rather than read for minutes.
  if (xmlItem->Count() > qvxMaxListItems)
    throw rtl::Exception(L"Too many items in " + xmlItem->Name() + L": " + rtl::IntToStr(xmlItem->Count()) +
                         L" (at most " + rtl::IntToStr(qvxMaxListItems) + L")");
  TqvxComponent* report = ReportOf(owner);
  TqvxXMLSerializer* serializer = ActiveSerializer(owner);
  std::unique_ptr<TqvxXMLSerializer> own;
  if (!serializer) {
    own = std::make_unique<TqvxXMLSerializer>(nullptr);
    own->SetOwner(report);
    serializer = own.get();
  }
  auto* qvxCollection = dynamic_cast<TqvxCollection*>(collection);
  const bool matchInherited = owner && owner->IsAncestor() && qvxCollection && ancestorCollection;
  for (rtl::Integer k = 0; k < xmlItem->Count(); ++k) {
    TqvxXMLItem* e = xmlItem->Items(k);
    if (matchInherited) {
      const String inheritedName = qvxXMLToStr(e->Prop(L"InheritedName"));
      if (!inheritedName.empty()) {
        if (TqvxCollectionItem* item = qvxCollection->FindByName(inheritedName)) {
          serializer->XMLToObj(e->Text(), item);
          item->IsInherited = true;
        }
        continue;
      }
    }
    serializer->XMLToObj(e->Text(), collection->Add());
  }
  // A private serializer resolves the items' references now; the report's own does so with the rest of the tree.
  if (own) own->FixupReferences();
}
