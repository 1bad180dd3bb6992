#pragma once
// Report variables: named values that expressions use like fields. Each report owns a list and the process has
// one shared list (qvxGlobalVariables). A list groups into categories by heading items whose name is a blank
// followed by the category's name; a category's variables are the items after its heading up to the next heading,
// an item with an empty name, or the end. Lists are stored as XML (root "variables", one "item" per variable).
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/variant.h"
#include "report/model/qvxCollections.h"
#include "report/model/qvxXML.h"

class TqvxVariable : public TqvxCollectionItem {
  VCL_CLASS(TqvxVariable, TqvxCollectionItem)
 public:
  explicit TqvxVariable(vcl::TCollection* collection);

  // Copies Name, Value and IsInherited of another variable; other sources are ignored.
  void Assign(const rtl::TPersistent* source) override;
  // A variable is matched with its parent report's by name.
  rtl::String GetInheritedName() const override;
  bool IsNameStored() const override { return false; }

  const rtl::String& Name() const { return FName; }
  void SetName(const rtl::String& value) { FName = value; }
  const rtl::Variant& Value() const { return FValue; }
  void SetValue(const rtl::Variant& value) { FValue = value; }
  bool IsValueStored() const { return !FValue.IsNull(); }

 private:
  rtl::String FName;
  rtl::Variant FValue;
};

class TqvxVariables : public TqvxCollection {
  VCL_CLASS(TqvxVariables, TqvxCollection)
 public:
  TqvxVariables();

  TqvxVariable* Add();
  TqvxVariable* Insert(int index);
  TqvxVariable* Items(int index) const;
  // The first item of that name (the user's locale, ignoring case); -1 when none.
  int IndexOf(const rtl::String& name) const;
  // Null for a name the list does not have.
  rtl::Variant GetVariable(const rtl::String& name) const;
  // Appends the variable when the list does not have it.
  void SetVariable(const rtl::String& name, const rtl::Variant& value);
  rtl::Variant operator[](const rtl::String& name) const { return GetVariable(name); }

  void GetCategoriesList(rtl::TStrings* list, bool clearList = true) const;
  // The variables of a category; with an empty category, those before the first heading.
  void GetVariablesList(const rtl::String& category, rtl::TStrings* list) const;
  // The heading and its variables; the next heading and what follows stay.
  void DeleteCategory(const rtl::String& name);
  void DeleteVariable(const rtl::String& name);
  // Adds aName at the end of an existing category, or only sets its value when the list has it anywhere already.
  // A category without a heading gets nothing.
  void AddVariable(const rtl::String& category, const rtl::String& name, const rtl::Variant& value);

  void LoadFromFile(const rtl::String& fileName);
  // Clears the list first; a document whose root is not "variables" leaves it empty.
  void LoadFromStream(rtl::TStream& stream);
  void LoadFromXMLItem(TqvxXMLItem* item, bool oldXMLFormat = false);
  void SaveToFile(const rtl::String& fileName);
  void SaveToStream(rtl::TStream& stream);
  void SaveToXMLItem(TqvxXMLItem* item);

 private:
  int FindHeading(const rtl::String& category) const;
};

// A script-side map from any variant key to a value; keys compare as text, so 1 and "1" are the same key.
class TqvxArray : public vcl::TCollection {
  VCL_CLASS(TqvxArray, vcl::TCollection)
 public:
  TqvxArray();

  TqvxVariable* Items(int index) const;
  int IndexOf(const rtl::Variant& key) const;
  rtl::Variant GetVariable(const rtl::Variant& key) const;
  void SetVariable(const rtl::Variant& key, const rtl::Variant& value);
  rtl::Variant operator[](const rtl::Variant& key) const { return GetVariable(key); }
};

// The list shared by every report of the process.
TqvxVariables& qvxGlobalVariables();
