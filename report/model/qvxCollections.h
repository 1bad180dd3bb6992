#pragma once
// Collections of report records (datasets, variables, styles, formats, highlights) whose items carry a name unique
// within their collection, so that an inherited report can match its items with those of its parent. And how such
// collections are stored: in a form's component stream and as child elements of a report XML element.
#include "platform/vcl/collection.h"
#include "platform/vcl/filer.h"
#include "report/model/qvxXML.h"

class TqvxComponent;

class TqvxCollectionItem : public vcl::TCollectionItem {
  VCL_CLASS(TqvxCollectionItem, vcl::TCollectionItem)
 public:
  explicit TqvxCollectionItem(vcl::TCollection* collection) : vcl::TCollectionItem(collection) {}

  virtual rtl::String GetInheritedName() const { return InheritedName; }
  virtual void SetInheritedName(const rtl::String& value) { InheritedName = value; }
  virtual bool IsNameStored() const { return false; }

  rtl::String InheritedName;
  // The item's values were read over an item of the parent report.
  bool IsInherited = false;
};

class TqvxCollection : public vcl::TCollection {
  VCL_CLASS(TqvxCollection, vcl::TCollection)
 public:
  explicit TqvxCollection(const vcl::TClassInfo* itemClass, rtl::TPersistent* owner = nullptr)
      : vcl::TCollection(itemClass, owner) {}

  virtual void SerializeProperties(vcl::TWriter* writer, rtl::TPersistent* ancestor, vcl::TComponent* owner) {}
  virtual void DeserializeProperties(const rtl::String& propName, vcl::TReader* reader, rtl::TPersistent* ancestor) {}
  // The first item whose inherited name is exactly name (case matters); nullptr when none.
  virtual TqvxCollectionItem* FindByName(const rtl::String& name) const;

 protected:
  // A new item gets the first free name "<item class><n>" (n from 1).
  void Added(vcl::TCollectionItem* item) override;
};

// A collection as the value of a stored property of owner in a component stream. While owner is being written by
// the XML serializer the items go as a list of attribute texts; otherwise in the standard collection form.
void qvxWriteCollection(vcl::TCollection* collection, vcl::TWriter& writer, TqvxComponent* owner);
void qvxReadCollection(vcl::TCollection* collection, vcl::TReader& reader, TqvxComponent* owner);

// More items than any list of a report holds (datasets, variables, styles): a template with more is damaged.
inline constexpr rtl::Integer qvxMaxListItems = 500;

// A collection as a new child element name of xmlItem, one "item" element per item, and back. ancestorCollection is
// the same collection of the parent report (or nullptr): then only values that differ from the parent's are written.
void qvxWriteCollection(vcl::TCollection* collection, const rtl::String& name, TqvxXMLItem* xmlItem,
                        TqvxComponent* owner, vcl::TCollection* ancestorCollection);
void qvxReadCollection(vcl::TCollection* collection, TqvxXMLItem* xmlItem, TqvxComponent* owner,
                       vcl::TCollection* ancestorCollection);
