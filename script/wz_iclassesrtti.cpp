#include "script/wz_iclassesrtti.h"

#include <algorithm>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/list.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/collection.h"
#include "platform/vcl/rtlclasses.h"
#include "script/wz_xml.h"

using rtl::String;
using rtl::Variant;

VCL_REGISTER(TwzClassesRTTI) {}

const vcl::TClassInfo* wzXMLItemClassInfo() {
  static const vcl::TClassInfo* const info =
      vcl::detail::MakeClass(L"TwzXMLItem", vcl::StaticClassOf<rtl::TObject>(), [](vcl::TClassInfo& ci) {
        ci.SetFactory([](const vcl::TCreateArgs&) -> rtl::TObject* { return new TwzXMLItem(); });
      });
  return info;
}

const vcl::TClassInfo* wzXMLDocumentClassInfo() {
  static const vcl::TClassInfo* const info =
      vcl::detail::MakeClass(L"TwzXMLDocument", vcl::StaticClassOf<rtl::TObject>(), [](vcl::TClassInfo& ci) {
        ci.SetFactory([](const vcl::TCreateArgs&) -> rtl::TObject* { return new TwzXMLDocument(); });
      });
  return info;
}

TwzRTTIModuleClass wzClassesModule() { return &wzCreateRTTIModule<wz_iclassesrtti::TFunctions>; }

namespace wz_iclassesrtti {

namespace {

const vcl::TClassInfo* ObjectClass() { return vcl::StaticClassOf<rtl::TObject>(); }
const vcl::TClassInfo* PersistentClass() { return vcl::StaticClassOf<rtl::TPersistent>(); }
const vcl::TClassInfo* StringsClass() { return vcl::StaticClassOf<rtl::TStrings>(); }
const vcl::TClassInfo* StringListClass() { return vcl::StaticClassOf<rtl::TStringList>(); }

// Stream reads and writes move text through the memory of its characters, two bytes each, so a text written with
// Write comes back unchanged from Read whatever characters it holds.
constexpr int kBytesPerChar = static_cast<int>(sizeof(wchar_t));

Variant Int64Result(rtl::Int64 v) { return Variant(static_cast<long long>(v)); }

}  // namespace

TFunctions::TFunctions(TwzScript* aScript) : TwzRTTIModule(aScript) {
  TwzScript* s = aScript;
  vcl::RegisterRtlClasses();
  auto method = [this](rtl::TObject* instance, const vcl::TClassInfo* cls, const String& name,
                       TwzMethodHelper* caller) { return CallMethod(instance, cls, name, caller); };
  TwzCallMethodNewEvent call = method;
  TwzGetValueEvent get = [this](rtl::TObject* instance, const vcl::TClassInfo* cls, const String& name) {
    return GetProp(instance, cls, name);
  };
  TwzSetValueEvent set = [this](rtl::TObject* instance, const vcl::TClassInfo* cls, const String& name,
                                const Variant& value) { SetProp(instance, cls, name, value); };

  for (auto [name, value] : {std::pair{L"fmCreate", 65280},
                             {L"fmOpenRead", 0},
                             {L"fmOpenWrite", 1},
                             {L"fmOpenReadWrite", 2},
                             {L"fmShareExclusive", 16},
                             {L"fmShareDenyWrite", 32},
                             {L"fmShareDenyNone", 64},
                             {L"soFromBeginning", 0},
                             {L"soFromCurrent", 1},
                             {L"soFromEnd", 2}})
    s->AddConst(name, L"Integer", Variant(value));
  s->AddEnum(L"TDuplicates", L"dupIgnore, dupAccept, dupError");
  s->AddEnum(L"TPrinterOrientation", L"poPortrait, poLandscape");

  if (TwzClassVariable* c = s->AddClass(ObjectClass(), String())) {
    c->AddConstructor(L"constructor Create", call);
    c->AddMethod(L"procedure Free", call);
    c->AddMethod(L"function ClassName: String", call);
  }
  if (TwzClassVariable* c = s->AddClass(PersistentClass(), L"TObject"))
    c->AddMethod(L"procedure Assign(Source: TPersistent)", call);
  s->AddClass(vcl::TCollectionItem::StaticClass(), L"TPersistent");
  if (TwzClassVariable* c = s->AddClass(vcl::TCollection::StaticClass(), L"TPersistent")) {
    c->AddMethod(L"procedure Clear", call);
    c->AddProperty(L"Count", L"Integer", get);
    c->AddDefaultProperty(L"Items", L"Integer", L"TCollectionItem", call, true);
  }
  if (TwzClassVariable* c = s->AddClass(vcl::ListClassInfo(), L"TObject")) {
    c->AddMethod(L"function Add(Item: TObject): Integer", call);
    c->AddMethod(L"procedure Clear", call);
    c->AddMethod(L"procedure Delete(Index: Integer)", call);
    c->AddMethod(L"function IndexOf(Item: TObject): Integer", call);
    c->AddMethod(L"procedure Insert(Index: Integer; Item: TObject)", call);
    c->AddMethod(L"function Remove(Item: TObject): Integer", call);
    c->AddProperty(L"Count", L"Integer", get);
    c->AddDefaultProperty(L"Items", L"Integer", L"TObject", call, false);
  }
  if (TwzClassVariable* c = s->AddClass(StringsClass(), L"TPersistent")) {
    c->AddConstructor(L"constructor Create", call);
    c->AddMethod(L"function Add(const S: string): Integer", call);
    c->AddMethod(L"function AddObject(const S: string; AObject: TObject): Integer", call);
    c->AddMethod(L"procedure Clear", call);
    c->AddMethod(L"procedure Delete(Index: Integer)", call);
    c->AddMethod(L"function IndexOf(const S: string): Integer", call);
    c->AddMethod(L"function IndexOfName(const Name: string): Integer", call);
    c->AddMethod(L"function IndexOfObject(AObject: TObject): Integer", call);
    c->AddMethod(L"procedure Insert(Index: Integer; const S: string)", call);
    c->AddMethod(L"procedure InsertObject(Index: Integer; const S: string; AObject: TObject)", call);
    c->AddMethod(L"procedure LoadFromFile(const FileName: string)", call);
    c->AddMethod(L"procedure LoadFromStream(Stream: TStream)", call);
    c->AddMethod(L"procedure SaveToFile(const FileName: string)", call);
    c->AddMethod(L"procedure Move(CurIndex, NewIndex: Integer)", call);
    c->AddMethod(L"procedure SaveToStream(Stream: TStream)", call);
    c->AddProperty(L"CommaText", L"string", get, set);
    c->AddProperty(L"Count", L"Integer", get);
    c->AddIndexProperty(L"Names", L"Integer", L"string", call, true);
    c->AddIndexProperty(L"Objects", L"Integer", L"TObject", call, false);
    c->AddIndexProperty(L"Values", L"String", L"string", call, false);
    c->AddDefaultProperty(L"Strings", L"Integer", L"string", call, false);
    c->AddProperty(L"Text", L"string", get, set);
  }
  if (TwzClassVariable* c = s->AddClass(StringListClass(), L"TStrings")) {
    c->AddMethod(L"function Find(s: String; var Index: Integer): Boolean", call);
    c->AddMethod(L"procedure Sort", call);
    c->AddProperty(L"Duplicates", L"TDuplicates", get, set);
    c->AddProperty(L"Sorted", L"Boolean", get, set);
  }
  if (TwzClassVariable* c = s->AddClass(vcl::StreamClassInfo(), L"TObject")) {
    c->AddMethod(L"function Read(var Buffer: string; Count: Longint): Longint", call);
    c->AddMethod(L"function Write(Buffer: string; Count: Longint): Longint", call);
    c->AddMethod(L"function Seek(Offset: Longint; Origin: Word): Longint", call);
    c->AddMethod(L"function CopyFrom(Source: TStream; Count: Longint): Longint", call);
    c->AddProperty(L"Position", L"Longint", get, set);
    c->AddProperty(L"Size", L"Longint", get);
  }
  if (TwzClassVariable* c = s->AddClass(vcl::FileStreamClassInfo(), L"TStream"))
    c->AddConstructor(L"constructor Create(Filename: String; Mode: Word)", call);
  if (TwzClassVariable* c = s->AddClass(vcl::MemoryStreamClassInfo(), L"TStream")) {
    c->AddMethod(L"procedure Clear", call);
    c->AddMethod(L"procedure LoadFromStream(Stream: TStream)", call);
    c->AddMethod(L"procedure LoadFromFile(Filename: String)", call);
    c->AddMethod(L"procedure SaveToStream(Stream: TStream)", call);
    c->AddMethod(L"procedure SaveToFile(Filename: String)", call);
  }
  if (TwzClassVariable* c = s->AddClass(vcl::TComponent::StaticClass(), L"TPersistent")) {
    c->AddConstructor(L"constructor Create(AOwner: TComponent)", call);
    c->AddProperty(L"Owner", L"TComponent", get);
  }
  if (TwzClassVariable* c = s->AddClass(wzXMLItemClassInfo(), L"TObject")) {
    c->AddConstructor(L"constructor Create", call);
    c->AddMethod(L"procedure AddItem(Item: TwzXMLItem)", call);
    c->AddMethod(L"procedure Clear", call);
    c->AddMethod(L"procedure InsertItem(Index: Integer; Item: TwzXMLItem)", call);
    c->AddMethod(L"function Add: TwzXMLItem", call);
    c->AddMethod(L"function Find(const Name: String): Integer", call);
    c->AddMethod(L"function FindItem(const Name: String): TwzXMLItem", call);
    c->AddMethod(L"function Root: TwzXMLItem", call);
    c->AddProperty(L"Data", L"Integer", get, set);
    c->AddProperty(L"Count", L"Integer", get);
    c->AddDefaultProperty(L"Items", L"Integer", L"TwzXMLItem", call, true);
    c->AddIndexProperty(L"Prop", L"String", L"String", call, false);
    c->AddProperty(L"Name", L"String", get, set);
    c->AddProperty(L"Parent", L"TwzXMLItem", get);
    c->AddProperty(L"Text", L"String", get, set);
  }
  if (TwzClassVariable* c = s->AddClass(wzXMLDocumentClassInfo(), L"TObject")) {
    c->AddConstructor(L"constructor Create", call);
    c->AddMethod(L"procedure SaveToStream(Stream: TStream)", call);
    c->AddMethod(L"procedure LoadFromStream(Stream: TStream)", call);
    c->AddMethod(L"procedure SaveToFile(const FileName: String)", call);
    c->AddMethod(L"procedure LoadFromFile(const FileName: String)", call);
    c->AddProperty(L"Root", L"TwzXMLItem", get);
  }
}

Variant TFunctions::CallMethod(rtl::TObject* instance, const vcl::TClassInfo* classType, const String& methodName,
                               TwzMethodHelper* caller) {
  if (classType == ObjectClass() || classType == PersistentClass() || classType == vcl::TCollection::StaticClass() ||
      classType == vcl::TComponent::StaticClass())
    return ObjectMethod(instance, methodName, caller);
  if (classType == vcl::ListClassInfo()) return ListMethod(instance, methodName, caller);
  if (classType == StringsClass() || classType == StringListClass()) return StringsMethod(instance, methodName, caller);
  if (classType == vcl::StreamClassInfo() || classType == vcl::FileStreamClassInfo() ||
      classType == vcl::MemoryStreamClassInfo())
    return StreamMethod(instance, methodName, caller);
  if (classType == wzXMLItemClassInfo() || classType == wzXMLDocumentClassInfo())
    return XMLMethod(instance, classType, methodName, caller);
  return Variant(0);
}

Variant TFunctions::ObjectMethod(rtl::TObject* instance, const String& name, TwzMethodHelper* caller) {
  const vcl::TClassInfo* cls = caller->ClassRef();
  if (cls == ObjectClass()) {
    if (name == L"CREATE") {
      // The root class is not in the registry's factories: a plain object is all it makes.
      if (!instance && caller->ConstructedClass() == ObjectClass()) return wzObjectResult(new rtl::TObject());
      return wzObjectResult(wzNewInstance(instance, caller));
    }
    if (name == L"FREE") {
      if (instance) instance->Free();
      return Variant(0);
    }
    if (name == L"CLASSNAME") return Variant(wzSelf<rtl::TObject>(instance, L"ClassName")->ClassName());
  } else if (cls == PersistentClass()) {
    if (name == L"ASSIGN")
      wzSelf<rtl::TPersistent>(instance, L"Assign")->Assign(wzArg<rtl::TPersistent>(caller, 0, L"Assign", true));
  } else if (cls == vcl::TCollection::StaticClass()) {
    auto* self = wzSelf<vcl::TCollection>(instance, L"Items");
    if (name == L"CLEAR") self->Clear();
    if (name == L"ITEMS.GET") return wzObjectResult(self->Items(wzIntArg(caller, 0)));
  } else if (cls == vcl::TComponent::StaticClass()) {
    if (name == L"CREATE") {
      // The new component belongs to AOwner, as if its own constructor had been given it.
      auto* owner = wzArg<vcl::TComponent>(caller, 0, L"Create", true);
      rtl::TObject* made = wzNewInstance(instance, caller);
      auto* component = dynamic_cast<vcl::TComponent*>(made);
      if (!component) {
        if (made != instance) made->Free();
        throw EwzScriptError(L"'Create' of TComponent cannot make an object of class " + made->ClassName());
      }
      if (owner && component->Owner() != owner) owner->InsertComponent(component);
      return wzObjectResult(component);
    }
  }
  return Variant(0);
}

Variant TFunctions::ListMethod(rtl::TObject* instance, const String& name, TwzMethodHelper* caller) {
  auto* self = wzSelf<rtl::TList>(instance, caller);
  if (name == L"ADD") return Variant(self->Add(wzObjectArg(caller->GetVParam(0))));
  if (name == L"CLEAR") self->Clear();
  if (name == L"DELETE") self->Delete(wzIntArg(caller, 0));
  if (name == L"INDEXOF") return Variant(self->IndexOf(wzObjectArg(caller->GetVParam(0))));
  if (name == L"INSERT") self->Insert(wzIntArg(caller, 0), wzObjectArg(caller->GetVParam(1)));
  if (name == L"REMOVE") return Variant(self->Remove(wzObjectArg(caller->GetVParam(0))));
  if (name == L"ITEMS.GET") return wzObjectResult(static_cast<rtl::TObject*>(self->Items(wzIntArg(caller, 0))));
  if (name == L"ITEMS.SET") self->SetItems(wzIntArg(caller, 0), wzObjectArg(caller->GetVParam(1)));
  return Variant(0);
}

Variant TFunctions::StringsMethod(rtl::TObject* instance, const String& name, TwzMethodHelper* caller) {
  if (name == L"CREATE") {
    // A list named by its abstract class is a string list: the abstract one could hold nothing.
    if (!instance && caller->ConstructedClass() == StringsClass()) return wzObjectResult(new rtl::TStringList());
    return wzObjectResult(wzNewInstance(instance, caller));
  }
  if (caller->ClassRef() == StringListClass()) {
    auto* self = wzSelf<rtl::TStringList>(instance, caller);
    if (name == L"FIND") {
      rtl::Integer index = 0;
      const bool found = self->Find(wzTextArg(caller, 0), index);
      caller->SetVParam(1, Variant(index));
      return Variant(found);
    }
    if (name == L"SORT") self->Sort();
    return Variant(0);
  }
  auto* self = wzSelf<rtl::TStrings>(instance, caller);
  if (name == L"ADD") return Variant(self->Add(wzTextArg(caller, 0)));
  if (name == L"ADDOBJECT") return Variant(self->AddObject(wzTextArg(caller, 0), wzObjectArg(caller->GetVParam(1))));
  if (name == L"CLEAR") self->Clear();
  if (name == L"DELETE") self->Delete(wzIntArg(caller, 0));
  if (name == L"INDEXOF") return Variant(self->IndexOf(wzTextArg(caller, 0)));
  if (name == L"INDEXOFNAME") return Variant(self->IndexOfName(wzTextArg(caller, 0)));
  if (name == L"INDEXOFOBJECT") return Variant(self->IndexOfObject(wzObjectArg(caller->GetVParam(0))));
  if (name == L"INSERT") self->Insert(wzIntArg(caller, 0), wzTextArg(caller, 1));
  if (name == L"INSERTOBJECT")
    self->InsertObject(wzIntArg(caller, 0), wzTextArg(caller, 1), wzObjectArg(caller->GetVParam(2)));
  if (name == L"LOADFROMFILE") self->LoadFromFile(wzTextArg(caller, 0));
  if (name == L"LOADFROMSTREAM") self->LoadFromStream(*wzArg<rtl::TStream>(caller, 0, L"LoadFromStream"));
  if (name == L"SAVETOFILE") self->SaveToFile(wzTextArg(caller, 0));
  if (name == L"MOVE") self->Move(wzIntArg(caller, 0), wzIntArg(caller, 1));
  if (name == L"SAVETOSTREAM") self->SaveToStream(*wzArg<rtl::TStream>(caller, 0, L"SaveToStream"));
  if (name == L"NAMES.GET") return Variant(self->Names(wzIntArg(caller, 0)));
  if (name == L"OBJECTS.GET") return wzObjectResult(self->Objects(wzIntArg(caller, 0)));
  if (name == L"OBJECTS.SET") self->SetObjects(wzIntArg(caller, 0), wzObjectArg(caller->GetVParam(1)));
  if (name == L"VALUES.GET") return Variant(self->Values(wzTextArg(caller, 0)));
  if (name == L"VALUES.SET") self->SetValues(wzTextArg(caller, 0), wzTextArg(caller, 1));
  if (name == L"STRINGS.GET") return Variant(self->Get(wzIntArg(caller, 0)));
  if (name == L"STRINGS.SET") self->Put(wzIntArg(caller, 0), wzTextArg(caller, 1));
  return Variant(0);
}

Variant TFunctions::StreamMethod(rtl::TObject* instance, const String& name, TwzMethodHelper* caller) {
  if (name == L"CREATE") {
    // A file stream exists only once its file is open: it is built here from the arguments.
    const vcl::TClassInfo* cls = caller->ConstructedClass();
    if (cls && cls != vcl::FileStreamClassInfo())
      throw EwzScriptError(L"Cannot create an object of class " + cls->ClassName() + L" with 'Create'");
    const rtl::Integer mode = wzIntArg(caller, 1);
    if (mode < 0 || mode > 0xFFFF) throw rtl::ERangeError(L"Invalid file mode " + rtl::IntToStr(mode));
    return wzObjectResult(new rtl::TFileStream(wzTextArg(caller, 0), static_cast<rtl::Word>(mode)));
  }
  if (caller->ClassRef() == vcl::MemoryStreamClassInfo()) {
    auto* self = wzSelf<rtl::TMemoryStream>(instance, caller);
    if (name == L"CLEAR") self->Clear();
    if (name == L"LOADFROMSTREAM") self->LoadFromStream(*wzArg<rtl::TStream>(caller, 0, L"LoadFromStream"));
    if (name == L"LOADFROMFILE") self->LoadFromFile(wzTextArg(caller, 0));
    if (name == L"SAVETOSTREAM") self->SaveToStream(*wzArg<rtl::TStream>(caller, 0, L"SaveToStream"));
    if (name == L"SAVETOFILE") self->SaveToFile(wzTextArg(caller, 0));
    return Variant(0);
  }
  auto* self = wzSelf<rtl::TStream>(instance, caller);
  if (name == L"READ") {
    const rtl::Integer count = wzIntArg(caller, 1);
    if (count < 0) throw rtl::ERangeError(L"Read of a negative count");
    String buffer(static_cast<size_t>((count + kBytesPerChar - 1) / kBytesPerChar), L'\0');
    const rtl::Integer read = count > 0 ? self->Read(buffer.data(), count) : 0;
    buffer.resize(static_cast<size_t>((read + kBytesPerChar - 1) / kBytesPerChar));
    caller->SetVParam(0, Variant(buffer));
    return Variant(read);
  }
  if (name == L"WRITE") {
    const String buffer = wzTextArg(caller, 0);
    const rtl::Integer count = wzIntArg(caller, 1);
    // Never more bytes than the text holds.
    const rtl::Int64 available = static_cast<rtl::Int64>(buffer.size()) * kBytesPerChar;
    if (count < 0 || count > available)
      throw rtl::ERangeError(L"Write of " + rtl::IntToStr(count) + L" bytes from a text of " +
                             rtl::IntToStr(available) + L" bytes");
    return Variant(count > 0 ? self->Write(buffer.data(), count) : 0);
  }
  if (name == L"SEEK") {
    const rtl::Integer origin = wzIntArg(caller, 1);
    if (origin < 0 || origin > 2) throw rtl::ERangeError(L"Invalid seek origin " + rtl::IntToStr(origin));
    return Int64Result(self->Seek(wzInt64Arg(caller, 0), static_cast<rtl::TSeekOrigin>(origin)));
  }
  if (name == L"COPYFROM")
    return Int64Result(self->CopyFrom(*wzArg<rtl::TStream>(caller, 0, L"CopyFrom"), wzInt64Arg(caller, 1)));
  return Variant(0);
}

Variant TFunctions::XMLMethod(rtl::TObject* instance, const vcl::TClassInfo* classType, const String& name,
                              TwzMethodHelper* caller) {
  if (name == L"CREATE") return wzObjectResult(wzNewInstance(instance, caller));
  if (classType == wzXMLDocumentClassInfo()) {
    auto* self = wzSelf<TwzXMLDocument>(instance, caller);
    if (name == L"SAVETOSTREAM") self->SaveToStream(*wzArg<rtl::TStream>(caller, 0, L"SaveToStream"));
    if (name == L"LOADFROMSTREAM") self->LoadFromStream(*wzArg<rtl::TStream>(caller, 0, L"LoadFromStream"));
    if (name == L"SAVETOFILE") self->SaveToFile(wzTextArg(caller, 0));
    if (name == L"LOADFROMFILE") self->LoadFromFile(wzTextArg(caller, 0));
    return Variant(0);
  }
  auto* self = wzSelf<TwzXMLItem>(instance, caller);
  if (name == L"ADDITEM") self->AddItem(wzArg<TwzXMLItem>(caller, 0, L"AddItem"));
  if (name == L"CLEAR") self->Clear();
  if (name == L"INSERTITEM") {
    const rtl::Integer index = wzIntArg(caller, 0);
    if (index < 0 || index > self->Count())
      throw rtl::EListError(L"List index out of bounds (" + rtl::IntToStr(index) + L")");
    self->InsertItem(index, wzArg<TwzXMLItem>(caller, 1, L"InsertItem"));
  }
  if (name == L"ADD") return wzObjectResult(self->Add());
  if (name == L"FIND") return Variant(self->Find(wzTextArg(caller, 0)));
  if (name == L"FINDITEM") return wzObjectResult(self->FindItem(wzTextArg(caller, 0)));
  if (name == L"ROOT") return wzObjectResult(self->Root());
  if (name == L"ITEMS.GET") return wzObjectResult(self->Items(wzIntArg(caller, 0)));
  if (name == L"PROP.GET") return Variant(self->Prop(wzTextArg(caller, 0)));
  if (name == L"PROP.SET") self->SetProp(wzTextArg(caller, 0), wzTextArg(caller, 1));
  return Variant(0);
}

Variant TFunctions::GetProp(rtl::TObject* instance, const vcl::TClassInfo* classType, const String& propName) {
  if (classType == vcl::TCollection::StaticClass()) {
    if (propName == L"COUNT") return Variant(wzSelf<vcl::TCollection>(instance, L"Count")->Count());
  } else if (classType == vcl::ListClassInfo()) {
    if (propName == L"COUNT") return Variant(wzSelf<rtl::TList>(instance, L"Count")->Count());
  } else if (classType == StringsClass()) {
    auto* self = wzSelf<rtl::TStrings>(instance, propName);
    if (propName == L"COMMATEXT") return Variant(self->CommaText());
    if (propName == L"COUNT") return Variant(self->Count());
    if (propName == L"TEXT") return Variant(self->Text());
  } else if (classType == StringListClass()) {
    auto* self = wzSelf<rtl::TStringList>(instance, propName);
    if (propName == L"DUPLICATES") return Variant(static_cast<int>(self->Duplicates()));
    if (propName == L"SORTED") return Variant(self->Sorted());
  } else if (classType == vcl::StreamClassInfo()) {
    auto* self = wzSelf<rtl::TStream>(instance, propName);
    if (propName == L"POSITION") return Int64Result(self->Position());
    if (propName == L"SIZE") return Int64Result(self->Size());
  } else if (classType == vcl::TComponent::StaticClass()) {
    if (propName == L"OWNER") return wzObjectResult(wzSelf<vcl::TComponent>(instance, L"Owner")->Owner());
  } else if (classType == wzXMLItemClassInfo()) {
    auto* self = wzSelf<TwzXMLItem>(instance, propName);
    if (propName == L"DATA") return Int64Result(static_cast<rtl::Int64>(self->Data()));
    if (propName == L"COUNT") return Variant(self->Count());
    if (propName == L"NAME") return Variant(self->Name());
    if (propName == L"PARENT") return wzObjectResult(self->Parent());
    if (propName == L"TEXT") return Variant(self->Text());
  } else if (classType == wzXMLDocumentClassInfo()) {
    if (propName == L"ROOT") return wzObjectResult(wzSelf<TwzXMLDocument>(instance, L"Root")->Root());
  }
  return Variant(0);
}

void TFunctions::SetProp(rtl::TObject* instance, const vcl::TClassInfo* classType, const String& propName,
                         const Variant& value) {
  if (classType == StringsClass()) {
    auto* self = wzSelf<rtl::TStrings>(instance, propName);
    if (propName == L"COMMATEXT") self->SetCommaText(value.AsString());
    if (propName == L"TEXT") self->SetText(value.AsString());
  } else if (classType == StringListClass()) {
    auto* self = wzSelf<rtl::TStringList>(instance, propName);
    if (propName == L"DUPLICATES") {
      // Stored as a byte-sized enumeration value, as the platform keeps it.
      const int v = static_cast<rtl::Byte>(value.AsInteger());
      if (v > rtl::dupError) throw rtl::ERangeError(L"Invalid Duplicates value " + rtl::IntToStr(v));
      self->SetDuplicates(static_cast<rtl::TDuplicates>(v));
    }
    if (propName == L"SORTED") self->SetSorted(value.AsBoolean());
  } else if (classType == vcl::StreamClassInfo()) {
    if (propName == L"POSITION") wzSelf<rtl::TStream>(instance, propName)->SetPosition(value.AsInt64());
  } else if (classType == wzXMLItemClassInfo()) {
    auto* self = wzSelf<TwzXMLItem>(instance, propName);
    if (propName == L"DATA") self->SetData(static_cast<std::intptr_t>(value.AsInt64()));
    if (propName == L"NAME") self->SetName(value.AsString());
    if (propName == L"TEXT") self->SetText(value.AsString());
  }
}

}  // namespace wz_iclassesrtti
