#pragma once
// Host classes and their members as scripts see them. A binding module registers a class item per host class and,
// on it, property, method, event and component members with their handlers; published properties of the class
// are added from the class registry and read and written without a handler.
#include <functional>

#include "platform/vcl/typinfo.h"
#include "script/wz_classes.h"

class TwzPropertyHelper;
class TwzMethodHelper;

// Handlers receive the object (nil for global functions and constructors), the member's class and the member's
// upper-cased name (".GET" or ".SET" appended for index properties).
using TwzGetValueEvent =
    std::function<rtl::Variant(rtl::TObject* instance, const vcl::TClassInfo* classType, const rtl::String& propName)>;
using TwzSetValueEvent = std::function<void(rtl::TObject* instance, const vcl::TClassInfo* classType,
                                            const rtl::String& propName, const rtl::Variant& value)>;
using TwzGetValueNewEvent = std::function<rtl::Variant(rtl::TObject* instance, const vcl::TClassInfo* classType,
                                                       const rtl::String& propName, TwzPropertyHelper* caller)>;
using TwzSetValueNewEvent =
    std::function<void(rtl::TObject* instance, const vcl::TClassInfo* classType, const rtl::String& propName,
                       const rtl::Variant& value, TwzPropertyHelper* caller)>;
// First form: the arguments arrive as a variant array 0..n-1 (Empty without parameters); var parameters are read
// back from it after the call.
using TwzCallMethodEvent = std::function<rtl::Variant(rtl::TObject* instance, const vcl::TClassInfo* classType,
                                                      const rtl::String& methodName, rtl::Variant& params)>;
// Second form: the handler reads arguments with GetVParam and writes var parameters with SetVParam.
using TwzCallMethodNewEvent = std::function<rtl::Variant(rtl::TObject* instance, const vcl::TClassInfo* classType,
                                                         const rtl::String& methodName, TwzMethodHelper* caller)>;

// One property of a host class.
class TwzPropertyHelper : public TwzCustomHelper {
public:
  TwzPropertyHelper(const rtl::String& aName, TwzVarType aTyp, const rtl::String& aTypeName);
  rtl::String ClassName() const override { return L"TwzPropertyHelper"; }
  void SetValue(const rtl::Variant& value) override;
  rtl::Variant GetValue() override;

  const vcl::TClassInfo* ClassRef() const { return FClassRef; }
  void SetClassRef(const vcl::TClassInfo* value) { FClassRef = value; }
  bool IsPublished() const { return FIsPublished; }
  void SetIsPublished(bool value) { FIsPublished = value; }
  void SetOnGetValue(TwzGetValueEvent value) { FOnGetValue = std::move(value); }
  void SetOnSetValue(TwzSetValueEvent value) { FOnSetValue = std::move(value); }
  void SetOnGetValueNew(TwzGetValueNewEvent value) { FOnGetValueNew = std::move(value); }
  void SetOnSetValueNew(TwzSetValueNewEvent value) { FOnSetValueNew = std::move(value); }

private:
  rtl::TObject* Instance() const;
  rtl::Variant ReadPublished(rtl::TObject* instance) const;
  void WritePublished(rtl::TObject* instance, const rtl::Variant& value) const;

  const vcl::TClassInfo* FClassRef = nullptr;
  bool FIsPublished = false;
  TwzGetValueEvent FOnGetValue;
  TwzSetValueEvent FOnSetValue;
  TwzGetValueNewEvent FOnGetValueNew;
  TwzSetValueNewEvent FOnSetValueNew;
};

// One method, constructor, global function or index property.
class TwzMethodHelper : public TwzCustomHelper {
public:
  // From a declaration ("function IndexOf(Item: TObject): Integer"); type names resolve in script.
  TwzMethodHelper(const rtl::String& syntax, TwzScript* script);
  // From an already parsed declaration: the parameters move into this item.
  TwzMethodHelper(const rtl::String& aName, TwzVarType aTyp, const rtl::String& aTypeName,
                  const std::vector<TwzParamItem*>& params, const rtl::String& syntax);
  rtl::String ClassName() const override { return L"TwzMethodHelper"; }
  rtl::Variant GetValue() override;
  // Writes an index property; any other method ignores it.
  void SetValue(const rtl::Variant& value) override;

  // Parameter index's current value; index == Count() gives the value being assigned to an index property.
  rtl::Variant GetVParam(int index) const;
  void SetVParam(int index, const rtl::Variant& value);

  const rtl::String& Category() const { return FCategory; }
  void SetCategory(const rtl::String& value) { FCategory = value; }
  const vcl::TClassInfo* ClassRef() const { return FClassRef; }
  void SetClassRef(const vcl::TClassInfo* value) { FClassRef = value; }
  const rtl::String& Description() const { return FDescription; }
  void SetDescription(const rtl::String& value) { FDescription = value; }
  bool IndexMethod() const { return FIndexMethod; }
  void SetIndexMethod(bool value) { FIndexMethod = value; }
  const TwzCallMethodEvent& OnCall() const { return FOnCall; }
  void SetOnCall(TwzCallMethodEvent value) { FOnCall = std::move(value); }
  const TwzCallMethodNewEvent& OnCallNew() const { return FOnCallNew; }
  void SetOnCallNew(TwzCallMethodNewEvent value) { FOnCallNew = std::move(value); }
  const rtl::String& Syntax() const { return FSyntax; }

private:
  rtl::TObject* Instance() const;

  rtl::String FCategory;
  const vcl::TClassInfo* FClassRef = nullptr;
  rtl::String FDescription;
  bool FIndexMethod = false;
  TwzCallMethodEvent FOnCall;
  TwzCallMethodNewEvent FOnCallNew;
  rtl::Variant FSetValue;
  rtl::String FSyntax;
  rtl::Variant FVarArray;
};

// A component a form owns, reachable by name as a member of the form's class.
class TwzComponentHelper : public TwzCustomHelper {
public:
  explicit TwzComponentHelper(rtl::TObject* component);
  rtl::String ClassName() const override { return L"TwzComponentHelper"; }
  rtl::Variant GetValue() override;
  rtl::TObject* Component() const { return FComponent; }

private:
  rtl::TObject* FComponent;
};

// The class item of a host class. Its one optional parameter turns TButton(x) into a type cast.
class TwzClassVariable : public TwzCustomVariable {
public:
  // Adds the class's published properties (none when aClass is nil).
  TwzClassVariable(const vcl::TClassInfo* aClass, const rtl::String& ancestor);
  // For a class the registry does not know: named explicitly, no published properties.
  TwzClassVariable(const rtl::String& aName, const vcl::TClassInfo* aClass, const rtl::String& ancestor);
  ~TwzClassVariable() override;
  rtl::String ClassName() const override { return L"TwzClassVariable"; }

  // A cast argument comes back unchanged; otherwise nil: the constructor member's handler creates the object
  // through the class registry's factory, fully constructed, from its class argument.
  rtl::Variant GetValue() override;

  TwzPropertyHelper* AddProperty(const rtl::String& name, const rtl::String& typ, TwzGetValueEvent getEvent,
                                 TwzSetValueEvent setEvent = nullptr);
  TwzPropertyHelper* AddPropertyEx(const rtl::String& name, const rtl::String& typ, TwzGetValueNewEvent getEvent,
                                   TwzSetValueNewEvent setEvent = nullptr);
  // Methods from their declarations. No check for an existing member of the name: the first one registered wins
  // lookups.
  TwzMethodHelper* AddMethod(const rtl::String& syntax, TwzCallMethodEvent callEvent);
  TwzMethodHelper* AddMethod(const rtl::String& syntax, TwzCallMethodNewEvent callEvent);
  // "constructor Create" is registered as "function Create: Constructor".
  TwzMethodHelper* AddConstructor(const rtl::String& syntax, TwzCallMethodEvent callEvent);
  TwzMethodHelper* AddConstructor(const rtl::String& syntax, TwzCallMethodNewEvent callEvent);
  // params: comma-separated parameter type names; the parameters are named p0, p1 ...
  TwzMethodHelper* AddIndexProperty(const rtl::String& name, const rtl::String& params, const rtl::String& typ,
                                    TwzCallMethodEvent callEvent, bool aReadOnly = false);
  TwzMethodHelper* AddIndexProperty(const rtl::String& name, const rtl::String& params, const rtl::String& typ,
                                    TwzCallMethodNewEvent callEvent, bool aReadOnly = false);
  TwzMethodHelper* AddDefaultProperty(const rtl::String& name, const rtl::String& params, const rtl::String& typ,
                                      TwzCallMethodEvent callEvent, bool aReadOnly = false);
  TwzMethodHelper* AddDefaultProperty(const rtl::String& name, const rtl::String& params, const rtl::String& typ,
                                      TwzCallMethodNewEvent callEvent, bool aReadOnly = false);
  TwzComponentHelper* AddComponent(rtl::TObject* component);
  void AddPublishedProperties(const vcl::TClassInfo* aClass);
  // Appends an already built member (method helpers built from declarations, event members).
  void AddMember(TwzCustomVariable* member);

  // By name (ordinal case rules), first match in registration order, then the ancestors' members.
  TwzCustomVariable* Find(const rtl::String& name) const;
  // True when obj is an instance of this class or of a descendant.
  bool IsInstance(const rtl::TObject* obj) const;

  TwzCustomVariable* Members(int index) const { return static_cast<TwzCustomVariable*>(FMembers.GetItem(index)); }
  int MembersCount() const { return FMembers.Count(); }
  const rtl::String& Ancestor() const { return FAncestor; }
  const vcl::TClassInfo* ClassRef() const { return FClassRef; }
  TwzCustomVariable* DefProperty() const { return FDefProperty; }
  void SetDefProperty(TwzCustomVariable* value) { FDefProperty = value; }
  TwzScript* Program() const { return FProgram; }
  void SetProgram(TwzScript* value) { FProgram = value; }

private:
  TwzVarType TypeCodeOf(const rtl::String& typeName) const;
  TwzMethodHelper* NewMethod(const rtl::String& syntax);
  static rtl::String ConstructorSyntax(const rtl::String& syntax);
  static rtl::String IndexPropertySyntax(const rtl::String& name, const rtl::String& params, const rtl::String& typ);

  rtl::String FAncestor;
  const vcl::TClassInfo* FClassRef;
  TwzCustomVariable* FDefProperty = nullptr;
  TwzItemList FMembers;
  TwzScript* FProgram = nullptr;
};
