#pragma once
// The three registries plug-ins and the library's own units fill at start-up: which report object classes exist
// (with their toolbar image and category), which property editor edits which property, and which export filters
// the program has. Also the property-editor base and the standard editors (registered, though no inspector uses
// them in this program, which has no designer).
#include <memory>
#include <vector>

#include "platform/rtl/stringlist.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/collection.h"
#include "platform/vcl/typinfo.h"

class TqvxCustomExportFilter;
class TqvxCustomDesigner;
class TqvxComponent;

namespace vcl {
class TCanvas;
class TWinControl;
}  // namespace vcl

VCL_ENUM(TqvxObjectCategory, ctData, ctReport, ctDialog, ctDMP)
VCL_SET(TqvxObjectCategories, TqvxObjectCategory)

class TqvxObjectItem : public vcl::TCollectionItem {
  VCL_CLASS(TqvxObjectItem, vcl::TCollectionItem)
 public:
  explicit TqvxObjectItem(vcl::TCollection* collection) : vcl::TCollectionItem(collection) {}

  const vcl::TClassInfo* ClassRef = nullptr;
  vcl::TBitmap* ButtonBmp = nullptr;
  rtl::Integer ButtonImageIndex = -1;
  rtl::String ButtonHint;
  rtl::String CategoryName;
  rtl::Word Flags = 0;
  TqvxObjectCategories Category;
};

class TqvxObjectCollection : public vcl::TCollection {
  VCL_CLASS(TqvxObjectCollection, vcl::TCollection)
 public:
  TqvxObjectCollection() : vcl::TCollection(TqvxObjectItem::StaticClass()) {}

  // Nothing when an item of the same class and flags exists. A class is also registered with the class registry;
  // an empty category is derived (ctData for datasets and database components, ctDialog for dialog objects,
  // ctReport for the rest).
  void RegisterObject1(const vcl::TClassInfo* classRef, vcl::TBitmap* buttonBmp, const rtl::String& buttonHint,
                       const rtl::String& categoryName, rtl::Word flags, rtl::Integer imageIndex,
                       TqvxObjectCategories category);
  void RegisterObject(const vcl::TClassInfo* classRef, vcl::TBitmap* buttonBmp,
                      const rtl::String& categoryName = rtl::String());
  void RegisterCategory(const rtl::String& categoryName, vcl::TBitmap* buttonBmp, const rtl::String& buttonHint,
                        rtl::Integer imageIndex);
  void Unregister(const vcl::TClassInfo* classRef);
  TqvxObjectItem* Items(int index) const { return vcl::TCollection::Items<TqvxObjectItem>(index); }
  // The first item of that class; nullptr when none.
  TqvxObjectItem* Find(const vcl::TClassInfo* classRef) const;
};

VCL_ENUM(TqvxPropertyAttribute, paValueList, paSortList, paDialog, paMultiSelect, paSubProperties, paReadOnly,
         paOwnerDraw)
VCL_SET(TqvxPropertyAttributes, TqvxPropertyAttribute)

// Edits one property of a selection of objects.
class TqvxPropertyEditor : public rtl::TObject {
 public:
  explicit TqvxPropertyEditor(TqvxCustomDesigner* designer);
  ~TqvxPropertyEditor() override;
  rtl::String ClassName() const override { return L"TqvxPropertyEditor"; }

  virtual TqvxPropertyAttributes GetAttributes() { return TqvxPropertyAttributes{paMultiSelect}; }
  virtual rtl::String GetValue() { return L"(Unknown)"; }
  virtual void SetValue(const rtl::String& value) {}
  // Empties Values (sorted exactly with paSortList) for the choices a descendant adds.
  virtual void GetValues();
  // Sets the choice after the current value; False without choices.
  virtual bool Edit();
  virtual void OnDrawLBItem(vcl::TWinControl* control, rtl::Integer index, const vcl::TRect& rect);
  virtual void OnDrawItem(vcl::TCanvas* canvas, const vcl::TRect& rect);
  virtual rtl::Integer GetExtraLBSize() { return ItemHeight + 2; }

  // The edited objects and their property (one entry per object).
  void Add(rtl::TObject* obj, const vcl::TPropInfo* prop);
  rtl::String Name() const;
  rtl::TObject* Component() const;
  // The first object when it is a report object.
  TqvxComponent* qvComponent() const;
  const vcl::TPropInfo* PropInfo() const;
  rtl::Int64 GetOrdValue() const;
  double GetFloatValue() const;
  rtl::String GetStrValue() const;
  void SetOrdValue(rtl::Int64 value);
  void SetFloatValue(double value);
  void SetStrValue(const rtl::String& value);
  void GetStrProc(const rtl::String& value) { FValues->Add(value); }

  TqvxCustomDesigner* Designer;
  std::vector<rtl::TObject*> CompList;
  std::vector<const vcl::TPropInfo*> PropList;
  rtl::Integer ItemHeight = 16;
  rtl::TStringList* Values() const { return FValues.get(); }

 private:
  std::unique_ptr<rtl::TStringList> FValues;
};

using TqvxPropertyEditorFactory = TqvxPropertyEditor* (*)(TqvxCustomDesigner* designer);

class TqvxPropertyEditorItem : public vcl::TCollectionItem {
  VCL_CLASS(TqvxPropertyEditorItem, vcl::TCollectionItem)
 public:
  explicit TqvxPropertyEditorItem(vcl::TCollection* collection) : vcl::TCollectionItem(collection) {}

  // The property type's name ("TColor", "TFont"...); empty for any type.
  rtl::String PropertyType;
  const vcl::TClassInfo* ComponentClass = nullptr;
  rtl::String PropertyName;
  rtl::String EditorClass;
  TqvxPropertyEditorFactory Factory = nullptr;
};

class TqvxPropertyEditorCollection : public vcl::TCollection {
  VCL_CLASS(TqvxPropertyEditorCollection, vcl::TCollection)
 public:
  TqvxPropertyEditorCollection() : vcl::TCollection(TqvxPropertyEditorItem::StaticClass()) {}

  void Register(const rtl::String& propertyType, const vcl::TClassInfo* componentClass, const rtl::String& propertyName,
                const rtl::String& editorClass, TqvxPropertyEditorFactory factory);
  void RegisterEventEditor(const rtl::String& editorClass, TqvxPropertyEditorFactory factory);
  void UnRegister(const rtl::String& editorClass);
  // The index of the editor for that property of component; -1 when none.
  rtl::Integer GetPropertyEditor(const rtl::String& propertyType, rtl::TObject* component,
                                 const rtl::String& propertyName) const;
  TqvxPropertyEditorItem* Items(int index) const { return vcl::TCollection::Items<TqvxPropertyEditorItem>(index); }

  rtl::Integer EventEditorItem = -1;
};

class TqvxExportFilterItem : public vcl::TCollectionItem {
  VCL_CLASS(TqvxExportFilterItem, vcl::TCollectionItem)
 public:
  explicit TqvxExportFilterItem(vcl::TCollection* collection) : vcl::TCollectionItem(collection) {}
  TqvxCustomExportFilter* Filter = nullptr;
};

class TqvxExportFilterCollection : public vcl::TCollection {
  VCL_CLASS(TqvxExportFilterCollection, vcl::TCollection)
 public:
  TqvxExportFilterCollection() : vcl::TCollection(TqvxExportFilterItem::StaticClass()) {}

  // Nothing for nullptr or a filter already registered.
  void Register(TqvxCustomExportFilter* filter);
  void Unregister(TqvxCustomExportFilter* filter);
  TqvxExportFilterItem* Items(int index) const { return vcl::TCollection::Items<TqvxExportFilterItem>(index); }
};

// The registries, each created on first use.
TqvxObjectCollection& qvxObjects();
TqvxPropertyEditorCollection& qvxPropertyEditors();
TqvxExportFilterCollection& qvxExportFilters();
inline TqvxExportFilterItem* GetExportFilterItem(int index) { return qvxExportFilters().Items(index); }
// The registered dot-matrix export filter (none in this program).
extern TqvxCustomExportFilter* qvxDotMatrixExport;

// The standard editors.
class TqvxIntegerProperty : public TqvxPropertyEditor {
 public:
  using TqvxPropertyEditor::TqvxPropertyEditor;
  rtl::String ClassName() const override { return L"TqvxIntegerProperty"; }
  rtl::String GetValue() override;
  void SetValue(const rtl::String& value) override;
};

class TqvxStringProperty : public TqvxPropertyEditor {
 public:
  using TqvxPropertyEditor::TqvxPropertyEditor;
  rtl::String ClassName() const override { return L"TqvxStringProperty"; }
  rtl::String GetValue() override { return GetStrValue(); }
  void SetValue(const rtl::String& value) override { SetStrValue(value); }
};

class TqvxClassProperty : public TqvxPropertyEditor {
 public:
  using TqvxPropertyEditor::TqvxPropertyEditor;
  rtl::String ClassName() const override { return L"TqvxClassProperty"; }
  TqvxPropertyAttributes GetAttributes() override;
  rtl::String GetValue() override;
};

class TqvxNameProperty : public TqvxStringProperty {
 public:
  using TqvxStringProperty::TqvxStringProperty;
  rtl::String ClassName() const override { return L"TqvxNameProperty"; }
  TqvxPropertyAttributes GetAttributes() override { return TqvxPropertyAttributes(); }
};

class TqvxColorProperty : public TqvxIntegerProperty {
 public:
  using TqvxIntegerProperty::TqvxIntegerProperty;
  rtl::String ClassName() const override { return L"TqvxColorProperty"; }
  TqvxPropertyAttributes GetAttributes() override;
  rtl::String GetValue() override;
  void SetValue(const rtl::String& value) override;
  void GetValues() override;
};

class TqvxFontProperty : public TqvxClassProperty {
 public:
  using TqvxClassProperty::TqvxClassProperty;
  rtl::String ClassName() const override { return L"TqvxFontProperty"; }
  TqvxPropertyAttributes GetAttributes() override;
};

class TqvxFontNameProperty : public TqvxStringProperty {
 public:
  using TqvxStringProperty::TqvxStringProperty;
  rtl::String ClassName() const override { return L"TqvxFontNameProperty"; }
  TqvxPropertyAttributes GetAttributes() override;
  void GetValues() override;
};

class TqvxFontCharsetProperty : public TqvxIntegerProperty {
 public:
  using TqvxIntegerProperty::TqvxIntegerProperty;
  rtl::String ClassName() const override { return L"TqvxFontCharsetProperty"; }
  TqvxPropertyAttributes GetAttributes() override;
  rtl::String GetValue() override;
  void SetValue(const rtl::String& value) override;
  void GetValues() override;
};

class TqvxModalResultProperty : public TqvxIntegerProperty {
 public:
  using TqvxIntegerProperty::TqvxIntegerProperty;
  rtl::String ClassName() const override { return L"TqvxModalResultProperty"; }
  TqvxPropertyAttributes GetAttributes() override;
  rtl::String GetValue() override;
  void SetValue(const rtl::String& value) override;
  void GetValues() override;
};

class TqvxShortCutProperty : public TqvxPropertyEditor {
 public:
  using TqvxPropertyEditor::TqvxPropertyEditor;
  rtl::String ClassName() const override { return L"TqvxShortCutProperty"; }
  TqvxPropertyAttributes GetAttributes() override;
  rtl::String GetValue() override;
  void SetValue(const rtl::String& value) override;
  void GetValues() override;
};

class TqvxCursorProperty : public TqvxIntegerProperty {
 public:
  using TqvxIntegerProperty::TqvxIntegerProperty;
  rtl::String ClassName() const override { return L"TqvxCursorProperty"; }
  TqvxPropertyAttributes GetAttributes() override;
  rtl::String GetValue() override;
  void SetValue(const rtl::String& value) override;
  void GetValues() override;
};

class TqvxDateTimeProperty : public TqvxPropertyEditor {
 public:
  using TqvxPropertyEditor::TqvxPropertyEditor;
  rtl::String ClassName() const override { return L"TqvxDateTimeProperty"; }
  rtl::String GetValue() override;
  void SetValue(const rtl::String& value) override;
};

class TqvxDateProperty : public TqvxPropertyEditor {
 public:
  using TqvxPropertyEditor::TqvxPropertyEditor;
  rtl::String ClassName() const override { return L"TqvxDateProperty"; }
  rtl::String GetValue() override;
  void SetValue(const rtl::String& value) override;
};

class TqvxTimeProperty : public TqvxPropertyEditor {
 public:
  using TqvxPropertyEditor::TqvxPropertyEditor;
  rtl::String ClassName() const override { return L"TqvxTimeProperty"; }
  rtl::String GetValue() override;
  void SetValue(const rtl::String& value) override;
};

// The 15 modal-result names, mrNone to mrYesToAll.
extern const wchar_t* const qvxModalResults[15];
