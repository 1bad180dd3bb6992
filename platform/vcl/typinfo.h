#pragma once
// The class registry and published properties: one table that form resources, the report serializer and the
// script engine's host bindings all read.
//
// How a class takes part (header, then one .cpp):
//
//   VCL_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient)   // namespace scope: enum + value names
//   VCL_SET(TFontStyles, TFontStyle)                                       // set type (TSet<TFontStyle>) + its name
//
//   class TsBitBtn : public TBitBtn {
//     VCL_CLASS(TsBitBtn, TBitBtn)          // first in the body; leaves the access at public
//   public:
//     explicit TsBitBtn(TComponent* owner); // components: constructible from the owner -> the registry's factory
//     String Caption() const;  void SetCaption(const String& v);
//     TFont* Font() const;     void SetFont(TFont* v);        // owned sub-object: streamed as "Font.Name = ..."
//     TDataSource* DataSource() const; void SetDataSource(TDataSource* v);  // a component: a reference by name
//     TAlign Align() const;    void SetAlign(TAlign v);
//     TNotifyEvent OnClick;                                      // events are fields (events.h)
//   };
//
//   VCL_REGISTER(TsBitBtn) {                // in the .cpp, at namespace scope of the class; `cls` is the builder
//     cls.Prop(L"Caption", &TsBitBtn::Caption, &TsBitBtn::SetCaption);
//     cls.Prop(L"Align", &TsBitBtn::Align, &TsBitBtn::SetAlign).Default(alNone);
//     cls.Prop(L"Font", &TsBitBtn::Font, &TsBitBtn::SetFont).Stored(&TsBitBtn::IsFontStored);
//     cls.Prop(L"DataSource", &TsBitBtn::DataSource, &TsBitBtn::SetDataSource);
//     cls.Prop(L"Tag", &TsBitBtn::FTag);    // a data member works as getter and setter at once
//     cls.Prop(L"OnClick", &TsBitBtn::OnClick);
//   }
//
// A form class also registers the handlers its resource names and the fields its resource fills:
//
//   class TForm1 : public TForm {
//     VCL_CLASS(TForm1, TForm)
//   public:
//     TsBitBtn* sBitBtn1 = nullptr;
//     void sBitBtn1Click(TObject* Sender);
//   };
//   VCL_REGISTER(TForm1) {
//     cls.Field(L"sBitBtn1", &TForm1::sBitBtn1);           // set after the component is created, cleared when freed
//     cls.Method(L"sBitBtn1Click", &TForm1::sBitBtn1Click); // "OnClick = sBitBtn1Click" binds to it
//   }
//
// Rules:
//  - Properties are listed in registration order, the parent's first. Registering a name the parent already
//    has replaces the parent's entry in place (a new default, a new stored test).
//  - The kind follows the C++ type: bool -> Boolean enumeration; an enum with VCL_ENUM names -> enumeration;
//    TSet<E> -> set; 64-bit integers -> Int64; other integers -> Integer; wchar_t -> WChar; double/float ->
//    Float; String -> UString (Kind(tkWString) marks the report's wide strings); rtl::Variant -> Variant;
//    T* of a registered class -> Class (a reference when T is a component, else an owned sub-object);
//    TEvent<...> -> Method.
//  - Ordinal properties without Default(...) are always written; strings when not empty; floats when not 0 (or
//    not their Default); references when set; events when bound to a registered method; sub-objects by their
//    own properties.
//  - Property and method names compare ignoring ASCII case, as identifiers do; class names compare exactly.
//  - Registration happens on first use of C::StaticClass() and, for every linked VCL_REGISTER, before main.
//    A class that only a resource names must be linked in: register it with RegisterClasses, or declare a
//    form field of its type (Field references the class, which links it).
#include <concepts>
#include <functional>
#include <initializer_list>
#include <memory>
#include <type_traits>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"
#include "platform/rtl/win.h"
#include "platform/rtl/variant.h"
#include "platform/vcl/events.h"
#include "platform/vcl/set.h"

namespace rtl {
class TStrings;
class TStringList;
}  // namespace rtl

namespace vcl {

using rtl::Int64;
using rtl::String;
using rtl::TObject;
using rtl::TPersistent;

class TComponent;
class TCollection;
class TClassInfo;

// A property or class that does not exist, a wrong kind of value, a read-only property written.
using rtl::Exception;
RTL_EXCEPTION_CLASS(EPropertyError, Exception);
RTL_EXCEPTION_CLASS(EPropertyConvertError, Exception);

enum TTypeKind {
  tkUnknown,
  tkInteger,
  tkChar,
  tkEnumeration,
  tkFloat,
  tkString,
  tkSet,
  tkClass,
  tkMethod,
  tkWChar,
  tkLString,
  tkWString,
  tkVariant,
  tkInt64,
  tkUString,
};

// ---------------------------------------------------------------------------------------------------------------
// Enumerations

class TEnumInfo {
public:
  // names: "alNone, alTop, alBottom", as VCL_ENUM writes them.
  TEnumInfo(const wchar_t* typeName, const wchar_t* commaSeparatedNames, int minValue = 0);
  TEnumInfo(const wchar_t* typeName, std::initializer_list<const wchar_t*> names, int minValue = 0);

  const String& TypeName() const { return type_name_; }
  int MinValue() const { return min_; }
  int MaxValue() const { return min_ + static_cast<int>(names_.size()) - 1; }
  const std::vector<String>& Names() const { return names_; }
  // The value's name; a value out of range as its decimal text.
  String NameOf(Int64 value) const;
  // The value named (ignoring ASCII case); false when no value has that name.
  bool TryValueOf(const String& name, Int64& value) const;

private:
  String type_name_;
  std::vector<String> names_;
  int min_ = 0;
};

// "Boolean": False, True.
const TEnumInfo& BooleanInfo();

template <class E>
concept RegisteredEnum = std::is_enum_v<E> && requires(E* e) {
  { VclEnumInfo(e) } -> std::convertible_to<const TEnumInfo&>;
};

template <RegisteredEnum E>
const TEnumInfo& EnumInfoOf() {
  return VclEnumInfo(static_cast<E*>(nullptr));
}

// An enumeration with its value names. Put it at namespace scope (the names are found through the enum's namespace).
#define VCL_ENUM(E, ...)     \
  enum E : int { __VA_ARGS__ }; \
  VCL_ENUM_NAMES(E, __VA_ARGS__)

// Value names for an enumeration declared elsewhere (values 0, 1, 2... in this order).
#define VCL_ENUM_NAMES(E, ...)                                              \
  [[maybe_unused]] inline const ::vcl::TEnumInfo& VclEnumInfo(E*) {         \
    static const ::vcl::TEnumInfo info(L## #E, L"" #__VA_ARGS__);          \
    return info;                                                            \
  }

// A set type over a registered enumeration, with the set's own type name (what scripts see).
#define VCL_SET(S, E)              \
  using S = ::vcl::TSet<E>;        \
  [[maybe_unused]] inline const wchar_t* VclSetTypeName(::vcl::TSet<E>*) { return L## #S; }

// Sets as text: "[fsBold,fsItalic]"; reading accepts blanks and any ASCII case, and "[]".
String SetToString(const TEnumInfo& elements, std::uint64_t bits, bool brackets = true);
std::uint64_t StringToSet(const TEnumInfo& elements, const String& text);

// ---------------------------------------------------------------------------------------------------------------
// Published properties

class TPropInfo {
public:
  const String& Name() const { return name_; }
  TTypeKind Kind() const { return kind_; }
  // The type's name: "Boolean", "TAlign", "TFontStyles", the class name, "Integer", "String"...
  const String& TypeName() const;
  // Enumerations and Booleans: their values; sets: their elements.
  const TEnumInfo* EnumType() const { return enum_; }
  // Class properties: the declared class (resolved on first use).
  const TClassInfo* PropClass() const;
  // The class that registered the property.
  const TClassInfo* Declarer() const { return declarer_; }

  // A class property whose class is a component: it refers to another component by name instead of owning one.
  bool IsReference() const;
  // A class property that owns its object (a font, a collection, a string list): streamed as its properties.
  bool IsSubObject() const { return kind_ == tkClass && !IsReference(); }
  bool IsReadable() const;
  bool IsWritable() const;

  bool HasDefault() const { return has_default_; }
  Int64 OrdDefault() const { return ord_default_; }
  double FloatDefault() const { return float_default_; }
  // The stored test: false keeps the property out of streams (its value is still readable and writable).
  bool IsStored(TObject* obj) const;
  // True when the writer would leave the property out because it holds its default value.
  bool IsDefaultValue(TObject* obj) const;

  // Access by kind. Ordinal kinds (Integer, Char, WChar, Enumeration, Set as its bits, Int64) go through
  // GetOrd/SetOrd. Each raises EPropertyError when the property has another kind or cannot be read or written.
  Int64 GetOrd(TObject* obj) const;
  void SetOrd(TObject* obj, Int64 value) const;
  double GetFloat(TObject* obj) const;
  void SetFloat(TObject* obj, double value) const;
  String GetStr(TObject* obj) const;
  void SetStr(TObject* obj, const String& value) const;
  rtl::Variant GetVariant(TObject* obj) const;
  void SetVariant(TObject* obj, const rtl::Variant& value) const;
  TObject* GetObject(TObject* obj) const;
  // References: sets the reference. Sub-objects: the setter, or else Assign into the owned object.
  void SetObject(TObject* obj, TObject* value) const;
  // Methods: the event object of obj; bind it with BindMethod or the event's own Bind.
  TEventBase* GetEvent(TObject* obj) const;
  TMethod GetMethod(TObject* obj) const;

private:
  friend class TClassInfo;
  template <class C>
  friend class TClassBuilder;
  friend class TPropBuilder;

  String name_;
  TTypeKind kind_ = tkUnknown;
  mutable String type_name_;
  const wchar_t* static_type_name_ = nullptr;
  const TEnumInfo* enum_ = nullptr;
  const TClassInfo* (*class_fn_)() = nullptr;
  const TClassInfo* declarer_ = nullptr;
  bool has_default_ = false;
  Int64 ord_default_ = 0;
  double float_default_ = 0;
  bool stored_ = true;
  std::function<bool(TObject*)> stored_fn_;

  std::function<Int64(TObject*)> get_ord_;
  std::function<void(TObject*, Int64)> set_ord_;
  std::function<double(TObject*)> get_float_;
  std::function<void(TObject*, double)> set_float_;
  std::function<String(TObject*)> get_str_;
  std::function<void(TObject*, const String&)> set_str_;
  std::function<rtl::Variant(TObject*)> get_var_;
  std::function<void(TObject*, const rtl::Variant&)> set_var_;
  std::function<TObject*(TObject*)> get_obj_;
  std::function<void(TObject*, TObject*)> set_obj_;
  std::function<TEventBase*(TObject*)> get_event_;
};

// A method a class offers to event properties by name ("sBitBtn1Click").
class TMethodInfo {
public:
  const String& Name() const { return name_; }
  const TMethodCode& Code() const { return code_; }
  // Binds event to target's method; false when the signatures differ or target is not of the class.
  bool BindTo(TEventBase& event, TObject* target) const { return bind_(event, target); }

private:
  friend class TClassInfo;
  template <class C>
  friend class TClassBuilder;
  String name_;
  TMethodCode code_;
  std::function<bool(TEventBase&, TObject*)> bind_;
};

// A field of a form class that holds one of its components ("sBitBtn1").
class TFieldInfo {
public:
  const String& Name() const { return name_; }
  // The field's declared class (a component class).
  const TClassInfo* FieldClass() const { return class_fn_(); }
  // Stores component (or nullptr) into owner's field; false when component is not of the field's class.
  bool Set(TObject* owner, TObject* component) const { return set_(owner, component); }
  TObject* Get(TObject* owner) const { return get_(owner); }

private:
  friend class TClassInfo;
  template <class C>
  friend class TClassBuilder;
  String name_;
  const TClassInfo* (*class_fn_)() = nullptr;
  std::function<bool(TObject*, TObject*)> set_;
  std::function<TObject*(TObject*)> get_;
};

// ---------------------------------------------------------------------------------------------------------------
// Classes

// How the registry constructs an object: a component gets its owner, a collection item its collection.
struct TCreateArgs {
  TComponent* Owner = nullptr;
  TCollection* Collection = nullptr;
};

class TClassInfo {
public:
  TClassInfo(String name, const TClassInfo* parent);
  TClassInfo(const TClassInfo&) = delete;
  TClassInfo& operator=(const TClassInfo&) = delete;

  const String& ClassName() const { return name_; }
  const TClassInfo* ClassParent() const { return parent_; }
  // True for this class and every class derived from other.
  bool InheritsFrom(const TClassInfo* other) const;

  // Virtual construction: the class's own constructor, then AfterConstruction. Raises EPropertyError for a class
  // that cannot be created (abstract, or no suitable constructor).
  bool CanCreate() const { return static_cast<bool>(factory_); }
  TObject* CreateInstance(const TCreateArgs& args = {}) const;

  // Published properties, the parent's first, each class's in registration order.
  const std::vector<const TPropInfo*>& Properties() const { return all_props_; }
  const TPropInfo* FindProperty(const String& name) const;
  // Methods and fields, searched in this class and then its ancestors.
  const TMethodInfo* FindMethod(const String& name) const;
  const TMethodInfo* FindMethod(const TMethodCode& code) const;
  const TFieldInfo* FindField(const String& name) const;
  const std::vector<std::unique_ptr<TMethodInfo>>& OwnMethods() const { return methods_; }
  const std::vector<std::unique_ptr<TFieldInfo>>& OwnFields() const { return fields_; }

  // Used by the builder while the class registers itself.
  TPropInfo& AddProperty(const String& name);
  TMethodInfo& AddMethod(const String& name);
  TFieldInfo& AddField(const String& name);
  void SetFactory(std::function<TObject*(const TCreateArgs&)> factory) { factory_ = std::move(factory); }
  // Called once the class has registered everything: merges the parent's properties in front.
  void Finish();

private:
  String name_;
  const TClassInfo* parent_;
  std::function<TObject*(const TCreateArgs&)> factory_;
  std::vector<std::unique_ptr<TPropInfo>> own_props_;
  std::vector<const TPropInfo*> all_props_;
  std::vector<std::unique_ptr<TMethodInfo>> methods_;
  std::vector<std::unique_ptr<TFieldInfo>> fields_;
};

// The registry. Classes are registered by name, matched exactly. Registering a class again does nothing;
// another class under a name already taken raises EFilerError (at start-up that ends the program).
void RegisterClass(const TClassInfo* cls);
void RegisterClasses(std::initializer_list<const TClassInfo*> classes);
// nullptr when no class has that name.
const TClassInfo* GetClass(const String& name);
// Raises rtl::EClassNotFound ("Class TFoo not found").
const TClassInfo* FindClass(const String& name);
// The registered class of obj: its own when it has VCL_CLASS, else the nearest registered one.
const TClassInfo* ClassOf(const TObject* obj);

// Registered classes outside the component layer (the runtime's root classes, its lists). Declared here so
// StaticClassOf finds them; defined in the class library.
const TClassInfo* VclStaticClass(const rtl::TObject*);
const TClassInfo* VclStaticClass(const rtl::TPersistent*);
// String lists: a published TStrings* property (a list's Items, a memo's Lines, a query's SQL) is streamed as
// "Items.Strings = ( 'a' 'b' )" and read into a new list that the property's setter assigns. A property declared
// with a descendant of TStrings counts as TStrings.
const TClassInfo* VclStaticClass(const rtl::TStrings*);
const TClassInfo* VclStaticClass(const rtl::TStringList*);
// True for properties whose value is a string list.
bool IsStringsProp(const TPropInfo* prop);
// Gives a string-list property of obj the lines: through the property's setter when it takes any list, else by
// assigning them to the list the property holds. Raises EPropertyError when neither is possible.
void AssignStringsProp(TObject* obj, const TPropInfo* prop, const rtl::TStrings& lines);

template <class T>
concept HasStaticClass = requires { { T::StaticClass() } -> std::convertible_to<const TClassInfo*>; };

template <class T>
const TClassInfo* StaticClassOf() {
  if constexpr (HasStaticClass<T>)
    return T::StaticClass();
  else
    return VclStaticClass(static_cast<const T*>(nullptr));
}

// ---------------------------------------------------------------------------------------------------------------
// Access by name. Paths may be dotted through sub-objects ("Font.Name", "Title.Caption", "SkinData.CustomColor").

struct TPropTarget {
  TObject* Object = nullptr;      // the object that has the last property of the path
  const TPropInfo* Prop = nullptr;
};
// nullptr Prop when some part of the path is not a published property (or a sub-object is missing).
TPropTarget FindPropPath(TObject* obj, const String& path);
// As FindPropPath, raising EPropertyError naming the path when it does not lead to a property.
TPropTarget GetPropPath(TObject* obj, const String& path);
const TPropInfo* GetPropInfo(const TObject* obj, const String& name);
bool IsPublishedProp(TObject* obj, const String& path);

Int64 GetOrdProp(TObject* obj, const String& path);
void SetOrdProp(TObject* obj, const String& path, Int64 value);
String GetStrProp(TObject* obj, const String& path);
void SetStrProp(TObject* obj, const String& path, const String& value);
double GetFloatProp(TObject* obj, const String& path);
void SetFloatProp(TObject* obj, const String& path, double value);
String GetEnumProp(TObject* obj, const String& path);  // the value's name
void SetEnumProp(TObject* obj, const String& path, const String& name);
String GetSetProp(TObject* obj, const String& path, bool brackets = true);  // "[a,b]"
void SetSetProp(TObject* obj, const String& path, const String& text);
TObject* GetObjectProp(TObject* obj, const String& path);
void SetObjectProp(TObject* obj, const String& path, TObject* value);
rtl::Variant GetVariantProp(TObject* obj, const String& path);
void SetVariantProp(TObject* obj, const String& path, const rtl::Variant& value);
// The name of the method an event property is bound to (empty when none, or when it has no registered name).
String GetMethodName(TObject* obj, const String& path);
// Binds the event property to a method of target found by name; raises EPropertyError when target's class has no
// such method or its signature does not fit the event.
void SetMethodProp(TObject* obj, const String& path, TObject* target, const String& methodName);
// The name of a bound method as target's class registered it; empty when none.
String MethodNameOf(const TMethod& method);

// Any property as text, as form resources spell values: numbers, 'True', enumeration names, "[a,b]" sets,
// floats with '.', strings as they are, references by component name. Events: the handler's name. String lists:
// their Text, one line per line.
String GetPropText(TObject* obj, const String& path);
void SetPropText(TObject* obj, const String& path, const String& text);

// ---------------------------------------------------------------------------------------------------------------
// Registration

class TPropBuilder {
public:
  explicit TPropBuilder(TPropInfo& prop) : prop_(prop) {}
  // The default value: an integer, an enumerator, a bool, a TSet or a float.
  template <class V>
  TPropBuilder& Default(V value) {
    prop_.has_default_ = true;
    if constexpr (std::is_floating_point_v<V>) {
      prop_.float_default_ = static_cast<double>(value);
    } else if constexpr (requires { value.Bits(); }) {
      prop_.ord_default_ = static_cast<Int64>(value.Bits());
    } else {
      prop_.ord_default_ = static_cast<Int64>(value);
    }
    return *this;
  }
  TPropBuilder& NoDefault() {
    prop_.has_default_ = false;
    return *this;
  }
  TPropBuilder& Stored(bool stored) {
    prop_.stored_ = stored;
    prop_.stored_fn_ = nullptr;
    return *this;
  }
  // A stored test: a const member function answering bool.
  template <class C>
  TPropBuilder& Stored(bool (C::*test)() const) {
    prop_.stored_fn_ = [test](TObject* obj) {
      C* c = dynamic_cast<C*>(obj);
      return c ? (c->*test)() : true;
    };
    return *this;
  }
  TPropBuilder& Kind(TTypeKind kind) {
    prop_.kind_ = kind;
    return *this;
  }
  TPropBuilder& TypeName(const wchar_t* name) {
    prop_.static_type_name_ = name;
    return *this;
  }

private:
  TPropInfo& prop_;
};

namespace detail {
template <class T>
struct IsTSet : std::false_type {};
template <class E>
struct IsTSet<TSet<E>> : std::true_type {};
template <class T>
struct IsTEvent : std::false_type {};
template <class S>
struct IsTEvent<TEvent<S>> : std::true_type {};
template <class M>
struct MemberFn;
template <class R, class B, class... A>
struct MemberFn<R (B::*)(A...)> {
  using Class = B;
  using Event = TEvent<R(A...)>;
};

[[noreturn]] void ThrowWrongObject(const TPropInfo& prop, const TObject* obj);
[[noreturn]] void ThrowWrongValue(const TPropInfo& prop, const TObject* value);
const TClassInfo* MakeClass(const wchar_t* name, const TClassInfo* parent, void (*describe)(TClassInfo&));

template <class E>
const wchar_t* SetTypeNameOf() {
  if constexpr (requires(TSet<E>* s) { VclSetTypeName(s); })
    return VclSetTypeName(static_cast<TSet<E>*>(nullptr));
  else
    return nullptr;
}
}  // namespace detail

template <class C>
class TClassBuilder {
public:
  explicit TClassBuilder(TClassInfo& info) : info_(info) {}

  // A published property. getter: a const member function or a data member; setter: a member function taking the
  // value, or omitted (a data member getter is then written directly; a function getter makes it read-only).
  template <class G, class S = std::nullptr_t>
  TPropBuilder Prop(const wchar_t* name, G getter, S setter = nullptr) {
    using Raw = std::invoke_result_t<G, C&>;
    using T = std::remove_cvref_t<Raw>;
    TPropInfo& p = info_.AddProperty(name);
    p.declarer_ = &info_;
    auto self = [](TObject* obj, const TPropInfo* prop) -> C& {
      C* c = dynamic_cast<C*>(obj);
      if (!c) detail::ThrowWrongObject(*prop, obj);
      return *c;
    };
    const TPropInfo* pp = &p;
    constexpr bool hasSetter = !std::is_same_v<S, std::nullptr_t>;
    constexpr bool isField = std::is_member_object_pointer_v<G>;
    auto put = [getter, setter](C& c, auto&& v) {
      if constexpr (hasSetter)
        std::invoke(setter, c, std::forward<decltype(v)>(v));
      else if constexpr (isField)
        c.*getter = std::forward<decltype(v)>(v);
    };
    constexpr bool writable = hasSetter || isField;

    if constexpr (detail::IsTEvent<T>::value) {
      static_assert(isField, "event properties are published as fields");
      p.kind_ = tkMethod;
      p.get_event_ = [getter, self, pp](TObject* o) -> TEventBase* { return &(self(o, pp).*getter); };
    } else if constexpr (std::is_same_v<T, bool>) {
      p.kind_ = tkEnumeration;
      p.enum_ = &BooleanInfo();
      p.get_ord_ = [getter, self, pp](TObject* o) -> Int64 { return std::invoke(getter, self(o, pp)) ? 1 : 0; };
      if constexpr (writable) p.set_ord_ = [put, self, pp](TObject* o, Int64 v) { put(self(o, pp), v != 0); };
    } else if constexpr (std::is_enum_v<T>) {
      p.kind_ = tkEnumeration;
      p.enum_ = &EnumInfoOf<T>();
      p.get_ord_ = [getter, self, pp](TObject* o) -> Int64 {
        return static_cast<Int64>(std::invoke(getter, self(o, pp)));
      };
      if constexpr (writable)
        p.set_ord_ = [put, self, pp](TObject* o, Int64 v) { put(self(o, pp), static_cast<T>(v)); };
    } else if constexpr (detail::IsTSet<T>::value) {
      using E = typename T::Element;
      p.kind_ = tkSet;
      p.enum_ = &EnumInfoOf<E>();
      p.static_type_name_ = detail::SetTypeNameOf<E>();
      p.get_ord_ = [getter, self, pp](TObject* o) -> Int64 {
        return static_cast<Int64>(std::invoke(getter, self(o, pp)).Bits());
      };
      if constexpr (writable)
        p.set_ord_ = [put, self, pp](TObject* o, Int64 v) {
          put(self(o, pp), T::FromBits(static_cast<std::uint64_t>(v)));
        };
    } else if constexpr (std::is_same_v<T, wchar_t> || std::is_same_v<T, char>) {
      p.kind_ = std::is_same_v<T, wchar_t> ? tkWChar : tkChar;
      p.get_ord_ = [getter, self, pp](TObject* o) -> Int64 {
        return static_cast<Int64>(static_cast<std::make_unsigned_t<T>>(std::invoke(getter, self(o, pp))));
      };
      if constexpr (writable)
        p.set_ord_ = [put, self, pp](TObject* o, Int64 v) { put(self(o, pp), static_cast<T>(v)); };
    } else if constexpr (std::is_integral_v<T>) {
      p.kind_ = sizeof(T) == 8 ? tkInt64 : tkInteger;
      p.get_ord_ = [getter, self, pp](TObject* o) -> Int64 {
        return static_cast<Int64>(std::invoke(getter, self(o, pp)));
      };
      if constexpr (writable)
        p.set_ord_ = [put, self, pp](TObject* o, Int64 v) { put(self(o, pp), static_cast<T>(v)); };
    } else if constexpr (std::is_floating_point_v<T>) {
      p.kind_ = tkFloat;
      p.get_float_ = [getter, self, pp](TObject* o) -> double {
        return static_cast<double>(std::invoke(getter, self(o, pp)));
      };
      if constexpr (writable)
        p.set_float_ = [put, self, pp](TObject* o, double v) { put(self(o, pp), static_cast<T>(v)); };
    } else if constexpr (std::is_same_v<T, String>) {
      p.kind_ = tkUString;
      p.get_str_ = [getter, self, pp](TObject* o) -> String { return std::invoke(getter, self(o, pp)); };
      if constexpr (writable) p.set_str_ = [put, self, pp](TObject* o, const String& v) { put(self(o, pp), v); };
    } else if constexpr (std::is_same_v<T, rtl::Variant>) {
      p.kind_ = tkVariant;
      p.get_var_ = [getter, self, pp](TObject* o) -> rtl::Variant { return std::invoke(getter, self(o, pp)); };
      if constexpr (writable)
        p.set_var_ = [put, self, pp](TObject* o, const rtl::Variant& v) { put(self(o, pp), v); };
    } else if constexpr (std::is_pointer_v<T> && std::is_base_of_v<TObject, std::remove_pointer_t<T>>) {
      using X = std::remove_cv_t<std::remove_pointer_t<T>>;
      p.kind_ = tkClass;
      p.class_fn_ = &StaticClassOf<X>;
      p.get_obj_ = [getter, self, pp](TObject* o) -> TObject* {
        return const_cast<X*>(std::invoke(getter, self(o, pp)));
      };
      if constexpr (writable)
        p.set_obj_ = [put, self, pp](TObject* o, TObject* v) {
          X* x = dynamic_cast<X*>(v);
          if (v && !x) detail::ThrowWrongValue(*pp, v);
          put(self(o, pp), x);
        };
    } else {
      static_assert(sizeof(T) == 0, "this type cannot be a published property");
    }
    return TPropBuilder(p);
  }

  // A method that event properties can be bound to by name (the handlers a form resource names).
  template <class M>
  void Method(const wchar_t* name, M method) {
    using Traits = detail::MemberFn<M>;
    using B = typename Traits::Class;
    using Ev = typename Traits::Event;
    static_assert(std::is_base_of_v<B, C>, "the method must belong to the class or a base of it");
    TMethodInfo& m = info_.AddMethod(name);
    m.code_ = TMethodCode::Of(method);
    m.bind_ = [method](TEventBase& event, TObject* target) -> bool {
      auto* ev = dynamic_cast<Ev*>(&event);
      C* c = dynamic_cast<C*>(target);
      if (!ev || !c) return false;
      ev->Bind(c, method);
      return true;
    };
  }

  // A field that holds a component of this object's resource, set by the reader from the component's name.
  template <class T, class B>
  void Field(const wchar_t* name, T* B::*field) {
    static_assert(std::is_base_of_v<B, C>, "the field must belong to the class or a base of it");
    TFieldInfo& f = info_.AddField(name);
    f.class_fn_ = &StaticClassOf<T>;
    f.set_ = [field](TObject* owner, TObject* component) -> bool {
      C* c = dynamic_cast<C*>(owner);
      if (!c) return false;
      if (!component) {
        c->*field = nullptr;
        return true;
      }
      T* t = dynamic_cast<T*>(component);
      if (!t) return false;
      c->*field = t;
      return true;
    };
    f.get_ = [field](TObject* owner) -> TObject* {
      C* c = dynamic_cast<C*>(owner);
      return c ? static_cast<TObject*>(c->*field) : nullptr;
    };
  }

  TClassInfo& Info() { return info_; }

private:
  TClassInfo& info_;
};

namespace detail {
template <class C>
void SetFactory(TClassInfo& info) {
  if constexpr (std::is_abstract_v<C>) {
    // no instances
  } else if constexpr (std::is_constructible_v<C, TComponent*>) {
    info.SetFactory([](const TCreateArgs& a) -> TObject* { return new C(a.Owner); });
  } else if constexpr (std::is_constructible_v<C, TCollection*>) {
    info.SetFactory([](const TCreateArgs& a) -> TObject* { return new C(a.Collection); });
  } else if constexpr (std::is_default_constructible_v<C>) {
    info.SetFactory([](const TCreateArgs&) -> TObject* { return new C(); });
  }
}
}  // namespace detail

// In the class body, first: the class's registry entry; overrides ClassType and ClassName. Leaves access public.
#define VCL_CLASS(C, Parent)                                                              \
public:                                                                                   \
  using inherited = Parent;                                                               \
  static const ::vcl::TClassInfo* StaticClass();                                          \
  const ::vcl::TClassInfo* ClassType() const override { return StaticClass(); }           \
  ::rtl::String ClassName() const override { return StaticClass()->ClassName(); }         \
                                                                                          \
public:

// In the .cpp, at the namespace of the class, followed by the body that registers with `cls`.
#define VCL_REGISTER(C)                                                                                      \
  static void VclDescribe_##C(::vcl::TClassBuilder<C>& cls);                                                 \
  const ::vcl::TClassInfo* C::StaticClass() {                                                                \
    static const ::vcl::TClassInfo* const info = ::vcl::detail::MakeClass(                                   \
        L## #C, ::vcl::StaticClassOf<C::inherited>(), [](::vcl::TClassInfo& ci) {                            \
          ::vcl::detail::SetFactory<C>(ci);                                                                  \
          ::vcl::TClassBuilder<C> builder(ci);                                                               \
          VclDescribe_##C(builder);                                                                          \
        });                                                                                                  \
    return info;                                                                                             \
  }                                                                                                          \
  [[maybe_unused]] static const ::vcl::TClassInfo* const VclRegistered_##C = C::StaticClass();              \
  static void VclDescribe_##C([[maybe_unused]] ::vcl::TClassBuilder<C>& cls)

// Creates a T the way the registry does: the constructor, then AfterConstruction. Use it for forms and any class
// that does work in AfterConstruction (reading its resource).
template <class T, class... A>
T* Create(A&&... args) {
  T* obj = new T(std::forward<A>(args)...);
  try {
    obj->AfterConstruction();
  } catch (...) {
    obj->Free();
    throw;
  }
  return obj;
}

}  // namespace vcl
