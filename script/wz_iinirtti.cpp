#include "script/wz_iinirtti.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/rtlclasses.h"

using rtl::String;
using rtl::Variant;

VCL_REGISTER(TwzIniRTTI) {}

TwzRTTIModuleClass wzIniModule() { return &wzCreateRTTIModule<wz_iinirtti::TFunctions>; }

namespace {

String ItemKey(rtl::Integer index) { return L"Items" + rtl::IntToStr(index); }

// How many missing item keys a stored list may have before its Count is taken for damage.
constexpr rtl::Integer kMissingItemsAllowed = 65536;

}  // namespace

void wzWriteTStrings(rtl::TCustomIniFile& ini, const String& section, const rtl::TStrings& value, bool clear) {
  if (clear) ini.EraseSection(section);
  for (rtl::Integer i = 0; i < value.Count(); ++i) ini.WriteString(section, ItemKey(i), value.Get(i));
  ini.WriteInteger(section, L"Count", value.Count());
}

void wzReadTStrings(rtl::TCustomIniFile& ini, const String& section, rtl::TStrings& value, bool clear) {
  const rtl::Integer count = ini.ReadInteger(section, L"Count", 0);
  const auto keys = static_cast<rtl::Int64>(ini.SectionKeys(section).size());
  if (count > keys + kMissingItemsAllowed)
    throw rtl::EConvertError(L"Section [" + section + L"] claims " + rtl::IntToStr(count) + L" lines but holds " +
                             rtl::IntToStr(keys) + L" keys");
  if (clear) value.Clear();
  for (rtl::Integer i = 0; i < count; ++i) value.Add(ini.ReadString(section, ItemKey(i), String()));
}

void wzReadSectionValuesEx(rtl::TCustomIniFile& ini, const String& section, rtl::TStrings& strings) {
  rtl::TStringList lines;
  ini.ReadSectionValues(section, &lines);
  strings.Clear();
  for (rtl::Integer i = 0; i < lines.Count(); ++i) strings.Add(lines.Values(lines.Names(i)));
}

void wzSaveIniFileToStream(rtl::TCustomIniFile& ini, rtl::TStream& stream) {
  rtl::TStringList text;
  // A write-through file is read from the disk; an in-memory one gives what it holds.
  if (dynamic_cast<rtl::TIniFile*>(&ini))
    text.LoadFromFile(ini.FileName());
  else if (auto* mem = dynamic_cast<rtl::TMemIniFile*>(&ini))
    mem->GetStrings(&text);
  else
    return;
  text.SaveToStream(stream);
}

void wzLoadIniFileFromStream(rtl::TCustomIniFile& ini, rtl::TStream& stream) {
  rtl::TStringList text;
  if (auto* file = dynamic_cast<rtl::TIniFile*>(&ini)) {
    text.LoadFromStream(stream);
    text.SaveToFile(ini.FileName());
    file->Reload();
  } else if (auto* mem = dynamic_cast<rtl::TMemIniFile*>(&ini)) {
    text.LoadFromStream(stream);
    mem->SetStrings(&text);
  }
}

namespace wz_iinirtti {

TFunctions::TFunctions(TwzScript* aScript) : TwzRTTIModule(aScript) {
  TwzScript* s = aScript;
  vcl::RegisterRtlClasses();
  TwzCallMethodNewEvent call = [this](rtl::TObject* instance, const vcl::TClassInfo* cls, const String& name,
                                      TwzMethodHelper* caller) { return CallMethod(instance, cls, name, caller); };
  TwzGetValueEvent get = [this](rtl::TObject* instance, const vcl::TClassInfo* cls, const String& name) {
    return GetProp(instance, cls, name);
  };

  if (TwzClassVariable* c = s->AddClass(vcl::CustomIniFileClassInfo(), L"TObject")) {
    c->AddConstructor(L"constructor Create(const FileName: String)", call);
    c->AddMethod(L"function ReadInteger(const Section, Ident: String; Default: LongInt): LongInt", call);
    c->AddMethod(L"procedure WriteInteger(const Section, Ident: String; Value: LongInt)", call);
    c->AddMethod(L"function ReadBool(const Section, Ident: String; Default: Boolean): Boolean", call);
    c->AddMethod(L"procedure WriteBool(const Section, Ident: String; Value: Boolean)", call);
    c->AddMethod(L"function ReadDate(const Section, Name: String; Default: TDateTime): TDateTime", call);
    c->AddMethod(L"procedure WriteDate(const Section, Name: String; Value: TDateTime)", call);
    c->AddMethod(L"function ReadDateTime(const Section, Name: String; Default: TDateTime): TDateTime", call);
    c->AddMethod(L"procedure WriteDateTime(const Section, Name: String; Value: TDateTime)", call);
    c->AddMethod(L"function ReadFloat(const Section, Name: String; Default: Double): Double", call);
    c->AddMethod(L"procedure WriteFloat(const Section, Name: String; Value: Double)", call);
    c->AddMethod(L"function ReadTime(const Section, Name: String; Default: TDateTime): TDateTime", call);
    c->AddMethod(L"procedure WriteTime(const Section, Name: String; Value: TDateTime);", call);
    c->AddMethod(L"function ReadBinaryStream(const Section, Name: String; Value: TStream): Integer", call);
    c->AddMethod(L"procedure WriteBinaryStream(const Section, Name: String; Value: TStream)", call);
    c->AddMethod(L"function SectionExists(const Section: String): Boolean", call);
    c->AddMethod(L"function ValueExists(const Section, Ident: String): Boolean", call);
    c->AddMethod(L"procedure WriteTStrings(const Section :String; Value :TStrings; IsClear :Boolean = True)", call);
    c->AddMethod(L"function ReadTStrings(const Section :String; Value :TStrings; IsClear :Boolean = True): String;",
                 call);
    c->AddProperty(L"FileName", L"String", get);
  }
  for (const vcl::TClassInfo* cls : {vcl::MemIniFileClassInfo(), vcl::IniFileClassInfo()}) {
    TwzClassVariable* c = s->AddClass(cls, L"TCustomIniFile");
    if (!c) continue;
    const bool memory = cls == vcl::MemIniFileClassInfo();
    if (memory) c->AddConstructor(L"constructor Create(const FileName: String)", call);
    c->AddMethod(L"procedure WriteString(const Section, Ident, Value: String)", call);
    c->AddMethod(L"function ReadString(const Section, Ident, Default: String): String;", call);
    c->AddMethod(L"procedure ReadSectionValuesEx(const Section: String; Strings: TStrings)", call);
    c->AddMethod(L"procedure DeleteKey(const Section, Ident: String)", call);
    c->AddMethod(L"procedure ReadSection(const Section: String; Strings: TStrings)", call);
    c->AddMethod(L"procedure ReadSections(Strings: TStrings)", call);
    c->AddMethod(L"procedure ReadSectionValues(const Section: String; Strings: TStrings)", call);
    c->AddMethod(L"procedure EraseSection(const Section: String)", call);
    if (memory) {
      c->AddMethod(L"procedure Clear", call);
      c->AddMethod(L"procedure GetStrings(List: TStrings)", call);
      c->AddMethod(L"procedure SetStrings(List: TStrings)", call);
    }
    c->AddMethod(L"procedure SaveIniFileToStream(oStream: TStream)", call);
    c->AddMethod(L"procedure LoadIniFileFromStream(oStream: TStream)", call);
  }
}

Variant TFunctions::CallMethod(rtl::TObject* instance, const vcl::TClassInfo* classType, const String& methodName,
                               TwzMethodHelper* caller) {
  const String& n = methodName;
  if (n == L"CREATE") {
    // Settings objects exist only with their file name: built here, as the class the script named.
    const vcl::TClassInfo* cls = caller->ConstructedClass();
    const String fileName = wzTextArg(caller, 0);
    if (cls && cls->InheritsFrom(vcl::IniFileClassInfo())) return wzObjectResult(new rtl::TIniFile(fileName));
    if (cls && cls->InheritsFrom(vcl::MemIniFileClassInfo())) return wzObjectResult(new rtl::TMemIniFile(fileName));
    throw EwzScriptError(L"Cannot create an object of class " + (cls ? cls->ClassName() : String(L"(none)")) +
                         L": a settings file is a TIniFile or a TMemIniFile");
  }
  auto* ini = wzSelf<rtl::TCustomIniFile>(instance, caller);
  auto text = [caller](int i) { return wzTextArg(caller, i); };
  if (classType == vcl::CustomIniFileClassInfo()) {
    if (n == L"READINTEGER") return Variant(ini->ReadInteger(text(0), text(1), wzIntArg(caller, 2)));
    if (n == L"WRITEINTEGER") ini->WriteInteger(text(0), text(1), wzIntArg(caller, 2));
    if (n == L"READBOOL") return Variant(ini->ReadBool(text(0), text(1), wzBoolArg(caller, 2)));
    if (n == L"WRITEBOOL") ini->WriteBool(text(0), text(1), wzBoolArg(caller, 2));
    if (n == L"READDATE") return Variant::FromDate(ini->ReadDate(text(0), text(1), wzFloatArg(caller, 2)));
    if (n == L"WRITEDATE") ini->WriteDate(text(0), text(1), wzFloatArg(caller, 2));
    if (n == L"READDATETIME") return Variant::FromDate(ini->ReadDateTime(text(0), text(1), wzFloatArg(caller, 2)));
    if (n == L"WRITEDATETIME") ini->WriteDateTime(text(0), text(1), wzFloatArg(caller, 2));
    if (n == L"READFLOAT") return Variant(ini->ReadFloat(text(0), text(1), wzFloatArg(caller, 2)));
    if (n == L"WRITEFLOAT") ini->WriteFloat(text(0), text(1), wzFloatArg(caller, 2));
    if (n == L"READTIME") return Variant::FromDate(ini->ReadTime(text(0), text(1), wzFloatArg(caller, 2)));
    if (n == L"WRITETIME") ini->WriteTime(text(0), text(1), wzFloatArg(caller, 2));
    if (n == L"READBINARYSTREAM")
      return Variant(ini->ReadBinaryStream(text(0), text(1), wzArg<rtl::TStream>(caller, 2, L"ReadBinaryStream")));
    if (n == L"WRITEBINARYSTREAM")
      ini->WriteBinaryStream(text(0), text(1), wzArg<rtl::TStream>(caller, 2, L"WriteBinaryStream"));
    if (n == L"SECTIONEXISTS") return Variant(ini->SectionExists(text(0)));
    if (n == L"VALUEEXISTS") return Variant(ini->ValueExists(text(0), text(1)));
    if (n == L"WRITETSTRINGS")
      wzWriteTStrings(*ini, text(0), *wzArg<rtl::TStrings>(caller, 1, L"WriteTStrings"), wzBoolArg(caller, 2));
    if (n == L"READTSTRINGS")
      wzReadTStrings(*ini, text(0), *wzArg<rtl::TStrings>(caller, 1, L"ReadTStrings"), wzBoolArg(caller, 2));
    return Variant(0);
  }
  if (classType != vcl::MemIniFileClassInfo() && classType != vcl::IniFileClassInfo()) return Variant(0);
  if (n == L"WRITESTRING") ini->WriteString(text(0), text(1), text(2));
  if (n == L"READSTRING") return Variant(ini->ReadString(text(0), text(1), text(2)));
  if (n == L"READSECTIONVALUESEX")
    wzReadSectionValuesEx(*ini, text(0), *wzArg<rtl::TStrings>(caller, 1, L"ReadSectionValuesEx"));
  if (n == L"DELETEKEY") ini->DeleteKey(text(0), text(1));
  if (n == L"READSECTION") ini->ReadSection(text(0), wzArg<rtl::TStrings>(caller, 1, L"ReadSection"));
  if (n == L"READSECTIONS") ini->ReadSections(wzArg<rtl::TStrings>(caller, 0, L"ReadSections"));
  if (n == L"READSECTIONVALUES") ini->ReadSectionValues(text(0), wzArg<rtl::TStrings>(caller, 1, L"ReadSectionValues"));
  if (n == L"ERASESECTION") ini->EraseSection(text(0));
  if (n == L"CLEAR") wzSelf<rtl::TMemIniFile>(instance, caller)->Clear();
  if (n == L"GETSTRINGS") wzSelf<rtl::TMemIniFile>(instance, caller)->GetStrings(wzArg<rtl::TStrings>(caller, 0, n));
  if (n == L"SETSTRINGS") wzSelf<rtl::TMemIniFile>(instance, caller)->SetStrings(wzArg<rtl::TStrings>(caller, 0, n));
  // Nothing for a nil stream.
  if (n == L"SAVEINIFILETOSTREAM")
    if (auto* stream = wzArg<rtl::TStream>(caller, 0, L"SaveIniFileToStream", true))
      wzSaveIniFileToStream(*ini, *stream);
  if (n == L"LOADINIFILEFROMSTREAM")
    if (auto* stream = wzArg<rtl::TStream>(caller, 0, L"LoadIniFileFromStream", true))
      wzLoadIniFileFromStream(*ini, *stream);
  return Variant(0);
}

Variant TFunctions::GetProp(rtl::TObject* instance, const vcl::TClassInfo* classType, const String& propName) {
  if (classType == vcl::CustomIniFileClassInfo() && propName == L"FILENAME")
    return Variant(wzSelf<rtl::TCustomIniFile>(instance, propName)->FileName());
  return Variant(0);
}

}  // namespace wz_iinirtti
