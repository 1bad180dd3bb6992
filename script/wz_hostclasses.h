#pragma once
// Host classes and their members as scripts see them. A binding module registers a class item per host class and,
// on it, property, method, event and component members with their handlers; published properties of the class
// are added from the class registry and read and written without a handler.
#include <functional>

#include "platform/vcl/typinfo.h"
#include "script/wz_classes.h"

class TwzPropertyHelper;
class TwzMethodHelper;
class TwzProcVariable;

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

// Runs a script procedure when a host event fires. Each adapter class has an entry point of one host event
// signature; it forwards the event's arguments to the procedure's parameters and copies var arguments back.
// Adapters are owned by the program in whose registry the event member put them.
class TwzCustomEvent : public rtl::TObject {
public:
  TwzCustomEvent(rtl::TObject* instance, TwzProcVariable* handler) : FInstance(instance), FHandler(handler) {}
  rtl::String ClassName() const override { return L"TwzCustomEvent"; }
  // Points event at this adapter's entry point; false when event's signature is not the adapter's.
  virtual bool Hook(vcl::TEventBase& event) = 0;
  TwzProcVariable* Handler() const { return FHandler; }
  rtl::TObject* Instance() const { return FInstance; }

protected:
  rtl::TObject* FInstance;
  TwzProcVariable* FHandler;
};

// What the binding modules name for each event: how to make its adapter.
using TwzEventClass = TwzCustomEvent* (*)(rtl::TObject* instance, TwzProcVariable* handler);

template <class T>
TwzCustomEvent* wzCreateEventAdapter(rtl::TObject* instance, TwzProcVariable* handler) {
  return new T(instance, handler);
}

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
  const vcl::TPropInfo* Published(rtl::TObject* instance) const;
  rtl::Variant ReadPublished(rtl::TObject* instance) const;
  void WritePublished(rtl::TObject* instance, const rtl::Variant& value) const;

  const vcl::TClassInfo* FClassRef = nullptr;
  bool FIsPublished = false;
  TwzGetValueEvent FOnGetValue;
  TwzSetValueEvent FOnSetValue;
  TwzGetValueNewEvent FOnGetValueNew;
  TwzSetValueNewEvent FOnSetValueNew;
  mutable const vcl::TClassInfo* FLastClass = nullptr;
  mutable const vcl::TPropInfo* FLastProp = nullptr;
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
  // During a constructor call: the class the script named (the registering class or a descendant). The handler
  // receives an instance of it when the registry can build one without arguments; otherwise it builds the object
  // itself from its arguments.
  const vcl::TClassInfo* ConstructedClass() const { return FConstructedClass; }

private:
  rtl::TObject* Instance() const;
  rtl::Variant Construct();
  rtl::Variant Call(rtl::TObject* instance, const rtl::String& methodName);

  rtl::String FCategory;
  const vcl::TClassInfo* FClassRef = nullptr;
  rtl::String FDescription;
  bool FIndexMethod = false;
  TwzCallMethodEvent FOnCall;
  TwzCallMethodNewEvent FOnCallNew;
  rtl::Variant FSetValue;
  rtl::String FSyntax;
  rtl::Variant FVarArray;
  const vcl::TClassInfo* FConstructedClass = nullptr;
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

// An event of a host class. Assigning it the name of a script procedure binds the event to that procedure;
// assigning "0" unhooks it.
class TwzEventHelper : public TwzCustomHelper {
public:
  TwzEventHelper(const rtl::String& aName, TwzEventClass aEvent);
  rtl::String ClassName() const override { return L"TwzEventHelper"; }
  rtl::Variant GetValue() override { return rtl::Variant(rtl::String()); }
  void SetValue(const rtl::Variant& value) override;

  const vcl::TClassInfo* ClassRef() const { return FClassRef; }
  void SetClassRef(const vcl::TClassInfo* value) { FClassRef = value; }
  TwzEventClass Event() const { return FEvent; }

private:
  const vcl::TClassInfo* FClassRef = nullptr;
  TwzEventClass FEvent;
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
  TwzEventHelper* AddEvent(const rtl::String& name, TwzEventClass aEvent);
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
