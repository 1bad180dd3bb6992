// Every constant, enumeration, type, class, member, global function and object that the class, graphics, form,
// dialog and ini binding modules give scripts is registered as they are listed: a table per module, checked against
// what AddRTTI leaves in a program.
#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/rtl/win.h"
#include "platform/vcl/application.h"
#include "script/wz_events.h"
#include "script/wz_iclassesrtti.h"
#include "script/wz_idialogsrtti.h"
#include "script/wz_iformsrtti.h"
#include "script/wz_igraphicsrtti.h"
#include "script/wz_iinirtti.h"
#include "script/wz_isysrtti.h"
#include "script/wz_script.h"

using rtl::String;
using rtl::Variant;

namespace {

std::string Utf8(const String& s) { return rtl::UTF8Encode(s); }

class BindingsRegistration : public ::testing::Test {
 protected:
  BindingsRegistration() { script.AddRTTI(); }

  // The member of the class item itself (not of an ancestor), registered by the module rather than published.
  TwzCustomVariable* OwnMember(TwzClassVariable* cls, const String& name) {
    for (int i = 0; i < cls->MembersCount(); ++i) {
      TwzCustomVariable* m = cls->Members(i);
      auto* p = dynamic_cast<TwzPropertyHelper*>(m);
      if (p && p->IsPublished()) continue;
      if (wzSameName(m->Name(), name)) return m;
    }
    return nullptr;
  }

  TwzScript script;
};

struct Constant {
  const wchar_t* name;
  long long value;
};

void ExpectConstants(TwzScript& script, std::initializer_list<Constant> constants) {
  for (const Constant& c : constants) {
    auto* item = dynamic_cast<TwzVariable*>(script.Find(c.name));
    ASSERT_NE(item, nullptr) << Utf8(c.name);
    EXPECT_TRUE(item->IsReadOnly()) << Utf8(c.name);
    EXPECT_EQ(item->GetValue().AsInt64(), c.value) << Utf8(c.name);
    EXPECT_EQ(item->Typ(), fvtInt) << Utf8(c.name);
  }
}

struct EnumList {
  const wchar_t* type;
  bool set;
  std::vector<const wchar_t*> members;
};

void ExpectEnums(TwzScript& script, std::initializer_list<EnumList> enums) {
  for (const EnumList& e : enums) {
    TwzCustomVariable* type = script.Find(e.type);
    ASSERT_NE(type, nullptr) << Utf8(e.type);
    EXPECT_EQ(type->Typ(), fvtEnum) << Utf8(e.type);
    long long value = e.set ? 1 : 0;
    for (const wchar_t* member : e.members) {
      TwzCustomVariable* item = script.Find(member);
      ASSERT_NE(item, nullptr) << Utf8(member);
      EXPECT_EQ(item->TypeName(), e.type) << Utf8(member);
      EXPECT_EQ(item->GetValue().AsInt64(), value) << Utf8(member);
      value = e.set ? value * 2 : value + 1;
    }
  }
}

enum class Kind {
  Method,
  Constructor,
  Property,
  ReadOnlyProperty,
  Index,
  ReadOnlyIndex,
  Default,
  ReadOnlyDefault,
  Event
};

struct Member {
  Kind kind;
  const wchar_t* name;
  // Methods and constructors: the declaration as registered. Properties: the type. Index properties: the parameter
  // types and the type, "Integer, Integer: TColor". Events: unused.
  const wchar_t* detail = L"";
  TwzEventClass adapter = nullptr;
};

struct ClassEntry {
  const wchar_t* name;
  const wchar_t* ancestor;
  std::vector<Member> members;
};

String IndexSyntax(const String& name, const String& detail) {
  const size_t colon = detail.rfind(L':');
  String params = detail.substr(0, colon);
  const String type = rtl::Trim(detail.substr(colon + 1));
  String list;
  int i = 0;
  for (size_t start = 0; start <= params.size();) {
    size_t comma = params.find(L',', start);
    if (comma == String::npos) comma = params.size();
    if (!list.empty()) list += L"; ";
    list += L"p" + rtl::IntToStr(i++) + L": " + rtl::Trim(params.substr(start, comma - start));
    start = comma + 1;
  }
  return L"function " + name + L"(" + list + L"): " + type;
}

struct Published {
  const wchar_t* cls;
  std::vector<const wchar_t*> props;
};

// Properties the host class publishes, reached through the class item (its own or an ancestor's) as published ones.
void ExpectPublishedIn(TwzScript& script, std::initializer_list<Published> list) {
  for (const Published& p : list) {
    TwzClassVariable* cls = script.FindClass(p.cls);
    ASSERT_NE(cls, nullptr) << Utf8(p.cls);
    for (const wchar_t* name : p.props) {
      auto* prop = dynamic_cast<TwzPropertyHelper*>(cls->Find(name));
      ASSERT_NE(prop, nullptr) << Utf8(p.cls) << "." << Utf8(name);
      EXPECT_TRUE(prop->IsPublished()) << Utf8(p.cls) << "." << Utf8(name);
    }
  }
}

TEST_F(BindingsRegistration, ModulesComeInTheirOrder) {
  std::vector<TwzRTTIModuleClass>* modules = wzRTTIModules();
  ASSERT_NE(modules, nullptr);
  const std::vector<TwzRTTIModuleClass> expected = {wzSysFunctionsModule(), wzClassesModule(), wzGraphicsModule(),
                                                    wzFormsModule(),        wzDialogsModule(), wzIniModule()};
  EXPECT_EQ(*modules, expected);
}

class ClassTables : public BindingsRegistration {
 protected:
  void Check(const std::vector<ClassEntry>& classes) {
    for (const ClassEntry& c : classes) {
      SCOPED_TRACE(Utf8(c.name));
      TwzClassVariable* cls = script.FindClass(c.name);
      ASSERT_NE(cls, nullptr);
      EXPECT_EQ(cls->Ancestor(), c.ancestor);
      ASSERT_NE(cls->ClassRef(), nullptr);
      EXPECT_EQ(cls->ClassRef()->ClassName(), c.name);
      for (const Member& m : c.members) {
        SCOPED_TRACE(Utf8(m.name));
        TwzCustomVariable* item = OwnMember(cls, m.name);
        ASSERT_NE(item, nullptr);
        switch (m.kind) {
          case Kind::Method: {
            auto* method = dynamic_cast<TwzMethodHelper*>(item);
            ASSERT_NE(method, nullptr);
            EXPECT_EQ(method->Syntax(), m.detail);
            EXPECT_FALSE(method->IndexMethod());
            EXPECT_EQ(method->ClassRef(), cls->ClassRef());
            break;
          }
          case Kind::Constructor: {
            auto* method = dynamic_cast<TwzMethodHelper*>(item);
            ASSERT_NE(method, nullptr);
            const String decl = m.detail;
            EXPECT_EQ(decl.substr(0, 12), L"constructor ");
            EXPECT_EQ(method->Syntax(), L"function " + decl.substr(12) + L": Constructor");
            EXPECT_EQ(method->Typ(), fvtConstructor);
            break;
          }
          case Kind::Property:
          case Kind::ReadOnlyProperty: {
            auto* prop = dynamic_cast<TwzPropertyHelper*>(item);
            ASSERT_NE(prop, nullptr);
            EXPECT_EQ(prop->TypeName(), m.detail);
            EXPECT_EQ(prop->IsReadOnly(), m.kind == Kind::ReadOnlyProperty);
            EXPECT_EQ(prop->ClassRef(), cls->ClassRef());
            break;
          }
          case Kind::Index:
          case Kind::ReadOnlyIndex:
          case Kind::Default:
          case Kind::ReadOnlyDefault: {
            auto* method = dynamic_cast<TwzMethodHelper*>(item);
            ASSERT_NE(method, nullptr);
            EXPECT_TRUE(method->IndexMethod());
            EXPECT_EQ(method->Syntax(), IndexSyntax(m.name, m.detail));
            EXPECT_EQ(method->IsReadOnly(), m.kind == Kind::ReadOnlyIndex || m.kind == Kind::ReadOnlyDefault);
            const bool isDefault = m.kind == Kind::Default || m.kind == Kind::ReadOnlyDefault;
            EXPECT_EQ(cls->DefProperty() == method, isDefault);
            break;
          }
          case Kind::Event: {
            auto* event = dynamic_cast<TwzEventHelper*>(item);
            ASSERT_NE(event, nullptr);
            EXPECT_EQ(event->Event(), m.adapter);
            EXPECT_EQ(event->ClassRef(), cls->ClassRef());
            break;
          }
        }
      }
    }
  }
};

const TwzEventClass kNotify = &wzCreateEventAdapter<TwzNotifyEvent>;

TEST_F(ClassTables, ClassListAndStringStreamBindings) {
  ExpectConstants(script, {{L"fmCreate", 65280},
                           {L"fmOpenRead", 0},
                           {L"fmOpenWrite", 1},
                           {L"fmOpenReadWrite", 2},
                           {L"fmShareExclusive", 16},
                           {L"fmShareDenyWrite", 32},
                           {L"fmShareDenyNone", 64},
                           {L"soFromBeginning", 0},
                           {L"soFromCurrent", 1},
                           {L"soFromEnd", 2}});
  ExpectEnums(script, {{L"TDuplicates", false, {L"dupIgnore", L"dupAccept", L"dupError"}},
                       {L"TPrinterOrientation", false, {L"poPortrait", L"poLandscape"}}});
  using K = Kind;
  Check({
      {L"TObject",
       L"",
       {{K::Constructor, L"Create", L"constructor Create"},
        {K::Method, L"Free", L"procedure Free"},
        {K::Method, L"ClassName", L"function ClassName: String"}}},
      {L"TPersistent", L"TObject", {{K::Method, L"Assign", L"procedure Assign(Source: TPersistent)"}}},
      {L"TCollectionItem", L"TPersistent", {}},
      {L"TCollection",
       L"TPersistent",
       {{K::Method, L"Clear", L"procedure Clear"},
        {K::ReadOnlyProperty, L"Count", L"Integer"},
        {K::ReadOnlyDefault, L"Items", L"Integer: TCollectionItem"}}},
      {L"TList",
       L"TObject",
       {{K::Method, L"Add", L"function Add(Item: TObject): Integer"},
        {K::Method, L"Clear", L"procedure Clear"},
        {K::Method, L"Delete", L"procedure Delete(Index: Integer)"},
        {K::Method, L"IndexOf", L"function IndexOf(Item: TObject): Integer"},
        {K::Method, L"Insert", L"procedure Insert(Index: Integer; Item: TObject)"},
        {K::Method, L"Remove", L"function Remove(Item: TObject): Integer"},
        {K::ReadOnlyProperty, L"Count", L"Integer"},
        {K::Default, L"Items", L"Integer: TObject"}}},
      {L"TStrings",
       L"TPersistent",
       {{K::Constructor, L"Create", L"constructor Create"},
        {K::Method, L"Add", L"function Add(const S: string): Integer"},
        {K::Method, L"AddObject", L"function AddObject(const S: string; AObject: TObject): Integer"},
        {K::Method, L"Clear", L"procedure Clear"},
        {K::Method, L"Delete", L"procedure Delete(Index: Integer)"},
        {K::Method, L"IndexOf", L"function IndexOf(const S: string): Integer"},
        {K::Method, L"IndexOfName", L"function IndexOfName(const Name: string): Integer"},
        {K::Method, L"IndexOfObject", L"function IndexOfObject(AObject: TObject): Integer"},
        {K::Method, L"Insert", L"procedure Insert(Index: Integer; const S: string)"},
        {K::Method, L"InsertObject", L"procedure InsertObject(Index: Integer; const S: string; AObject: TObject)"},
        {K::Method, L"LoadFromFile", L"procedure LoadFromFile(const FileName: string)"},
        {K::Method, L"LoadFromStream", L"procedure LoadFromStream(Stream: TStream)"},
        {K::Method, L"SaveToFile", L"procedure SaveToFile(const FileName: string)"},
        {K::Method, L"Move", L"procedure Move(CurIndex, NewIndex: Integer)"},
        {K::Method, L"SaveToStream", L"procedure SaveToStream(Stream: TStream)"},
        {K::Property, L"CommaText", L"string"},
        {K::ReadOnlyProperty, L"Count", L"Integer"},
        {K::ReadOnlyIndex, L"Names", L"Integer: string"},
        {K::Index, L"Objects", L"Integer: TObject"},
        {K::Index, L"Values", L"String: string"},
        {K::Default, L"Strings", L"Integer: string"},
        {K::Property, L"Text", L"string"}}},
      {L"TStringList",
       L"TStrings",
       {{K::Method, L"Find", L"function Find(s: String; var Index: Integer): Boolean"},
        {K::Method, L"Sort", L"procedure Sort"},
        {K::Property, L"Duplicates", L"TDuplicates"},
        {K::Property, L"Sorted", L"Boolean"}}},
      {L"TStream",
       L"TObject",
       {{K::Method, L"Read", L"function Read(var Buffer: string; Count: Longint): Longint"},
        {K::Method, L"Write", L"function Write(Buffer: string; Count: Longint): Longint"},
        {K::Method, L"Seek", L"function Seek(Offset: Longint; Origin: Word): Longint"},
        {K::Method, L"CopyFrom", L"function CopyFrom(Source: TStream; Count: Longint): Longint"},
        {K::Property, L"Position", L"Longint"},
        {K::ReadOnlyProperty, L"Size", L"Longint"}}},
      {L"TFileStream", L"TStream", {{K::Constructor, L"Create", L"constructor Create(Filename: String; Mode: Word)"}}},
      {L"TMemoryStream",
       L"TStream",
       {{K::Method, L"Clear", L"procedure Clear"},
        {K::Method, L"LoadFromStream", L"procedure LoadFromStream(Stream: TStream)"},
        {K::Method, L"LoadFromFile", L"procedure LoadFromFile(Filename: String)"},
        {K::Method, L"SaveToStream", L"procedure SaveToStream(Stream: TStream)"},
        {K::Method, L"SaveToFile", L"procedure SaveToFile(Filename: String)"}}},
      {L"TComponent",
       L"TPersistent",
       {{K::Constructor, L"Create", L"constructor Create(AOwner: TComponent)"},
        {K::ReadOnlyProperty, L"Owner", L"TComponent"}}},
      {L"TwzXMLItem",
       L"TObject",
       {{K::Constructor, L"Create", L"constructor Create"},
        {K::Method, L"AddItem", L"procedure AddItem(Item: TwzXMLItem)"},
        {K::Method, L"Clear", L"procedure Clear"},
        {K::Method, L"InsertItem", L"procedure InsertItem(Index: Integer; Item: TwzXMLItem)"},
        {K::Method, L"Add", L"function Add: TwzXMLItem"},
        {K::Method, L"Find", L"function Find(const Name: String): Integer"},
        {K::Method, L"FindItem", L"function FindItem(const Name: String): TwzXMLItem"},
        {K::Method, L"Root", L"function Root: TwzXMLItem"},
        {K::Property, L"Data", L"Integer"},
        {K::ReadOnlyProperty, L"Count", L"Integer"},
        {K::ReadOnlyDefault, L"Items", L"Integer: TwzXMLItem"},
        {K::Index, L"Prop", L"String: String"},
        {K::Property, L"Name", L"String"},
        {K::ReadOnlyProperty, L"Parent", L"TwzXMLItem"},
        {K::Property, L"Text", L"String"}}},
      {L"TwzXMLDocument",
       L"TObject",
       {{K::Constructor, L"Create", L"constructor Create"},
        {K::Method, L"SaveToStream", L"procedure SaveToStream(Stream: TStream)"},
        {K::Method, L"LoadFromStream", L"procedure LoadFromStream(Stream: TStream)"},
        {K::Method, L"SaveToFile", L"procedure SaveToFile(const FileName: String)"},
        {K::Method, L"LoadFromFile", L"procedure LoadFromFile(const FileName: String)"},
        {K::ReadOnlyProperty, L"Root", L"TwzXMLItem"}}},
  });
}

TEST_F(ClassTables, GraphicsBindings) {
  ExpectConstants(
      script, {{L"clBlack", 0x000000},      {L"clMaroon", 0x000080},  {L"clGreen", 0x008000}, {L"clOlive", 0x008080},
               {L"clNavy", 0x800000},       {L"clPurple", 0x800080},  {L"clTeal", 0x808000},  {L"clGray", 0x808080},
               {L"clSilver", 0xC0C0C0},     {L"clRed", 0x0000FF},     {L"clLime", 0x00FF00},  {L"clYellow", 0x00FFFF},
               {L"clBlue", 0xFF0000},       {L"clFuchsia", 0xFF00FF}, {L"clAqua", 0xFFFF00},  {L"clWhite", 0xFFFFFF},
               {L"clMoneyGreen", 0xC0DCC0}, {L"clSkyBlue", 0xF0CAA6}, {L"clCream", 0xF0FBFF}, {L"clMedGray", 0xA4A0A0},
               {L"clNone", 536870911},      {L"clDefault", 536870912}});
  // The system colours: $FF000000 plus the Windows colour index of the same name.
  const std::pair<const wchar_t*, int> system[] = {{L"clActiveBorder", COLOR_ACTIVEBORDER},
                                                   {L"clActiveCaption", COLOR_ACTIVECAPTION},
                                                   {L"clAppWorkSpace", COLOR_APPWORKSPACE},
                                                   {L"clBackground", COLOR_BACKGROUND},
                                                   {L"clBtnFace", COLOR_BTNFACE},
                                                   {L"clBtnHighlight", COLOR_BTNHIGHLIGHT},
                                                   {L"clBtnShadow", COLOR_BTNSHADOW},
                                                   {L"clBtnText", COLOR_BTNTEXT},
                                                   {L"clCaptionText", COLOR_CAPTIONTEXT},
                                                   {L"clGradientActiveCaption", COLOR_GRADIENTACTIVECAPTION},
                                                   {L"clGradientInactiveCaption", COLOR_GRADIENTINACTIVECAPTION},
                                                   {L"clGrayText", COLOR_GRAYTEXT},
                                                   {L"clHighlight", COLOR_HIGHLIGHT},
                                                   {L"clHighlightText", COLOR_HIGHLIGHTTEXT},
                                                   {L"clHotLight", COLOR_HOTLIGHT},
                                                   {L"clInactiveBorder", COLOR_INACTIVEBORDER},
                                                   {L"clInactiveCaption", COLOR_INACTIVECAPTION},
                                                   {L"clInactiveCaptionText", COLOR_INACTIVECAPTIONTEXT},
                                                   {L"clInfoBk", COLOR_INFOBK},
                                                   {L"clInfoText", COLOR_INFOTEXT},
                                                   {L"clMenu", COLOR_MENU},
                                                   {L"clMenuBar", COLOR_MENUBAR},
                                                   {L"clMenuHighlight", COLOR_MENUHILIGHT},
                                                   {L"clMenuText", COLOR_MENUTEXT},
                                                   {L"clScrollBar", COLOR_SCROLLBAR},
                                                   {L"cl3DDkShadow", COLOR_3DDKSHADOW},
                                                   {L"cl3DLight", COLOR_3DLIGHT},
                                                   {L"clWindow", COLOR_WINDOW},
                                                   {L"clWindowFrame", COLOR_WINDOWFRAME},
                                                   {L"clWindowText", COLOR_WINDOWTEXT}};
  int colours = 0;
  for (auto [name, index] : system) {
    auto* item = script.Find(name);
    ASSERT_NE(item, nullptr) << Utf8(name);
    EXPECT_EQ(item->GetValue().AsInteger(), static_cast<int>(0xFF000000u | static_cast<unsigned>(index))) << Utf8(name);
    ++colours;
  }
  EXPECT_EQ(colours + 22, 52);
  EXPECT_EQ(script.Find(L"clBtnFace")->GetValue().AsInteger(), -16777201);

  ExpectEnums(script, {{L"TFontStyles", true, {L"fsBold", L"fsItalic", L"fsUnderline", L"fsStrikeout"}},
                       {L"TFontPitch", false, {L"fpDefault", L"fpVariable", L"fpFixed"}},
                       {L"TPenStyle",
                        false,
                        {L"psSolid", L"psDash", L"psDot", L"psDashDot", L"psDashDotDot", L"psClear", L"psInsideFrame"}},
                       {L"TPenMode",
                        false,
                        {L"pmBlack", L"pmWhite", L"pmNop", L"pmNot", L"pmCopy", L"pmNotCopy", L"pmMergePenNot",
                         L"pmMaskPenNot", L"pmMergeNotPen", L"pmMaskNotPen", L"pmMerge", L"pmNotMerge", L"pmMask",
                         L"pmNotMask", L"pmXor", L"pmNotXor"}},
                       {L"TBrushStyle",
                        false,
                        {L"bsSolid", L"bsClear", L"bsHorizontal", L"bsVertical", L"bsFDiagonal", L"bsBDiagonal",
                         L"bsCross", L"bsDiagCross"}}});
  using K = Kind;
  Check({
      {L"TFont", L"TPersistent", {{K::Constructor, L"Create", L"constructor Create"}}},
      {L"TPen", L"TPersistent", {{K::Constructor, L"Create", L"constructor Create"}}},
      {L"TBrush", L"TPersistent", {{K::Constructor, L"Create", L"constructor Create"}}},
      {L"TCanvas",
       L"TPersistent",
       {{K::Constructor, L"Create", L"constructor Create"},
        {K::Method, L"Draw", L"procedure Draw(X, Y: Integer; Graphic: TGraphic)"},
        {K::Method, L"Ellipse", L"procedure Ellipse(X1, Y1, X2, Y2: Integer)"},
        {K::Method, L"LineTo", L"procedure LineTo(X, Y: Integer)"},
        {K::Method, L"MoveTo", L"procedure MoveTo(X, Y: Integer)"},
        {K::Method, L"Rectangle", L"procedure Rectangle(X1, Y1, X2, Y2: Integer)"},
        {K::Method, L"RoundRect", L"procedure RoundRect(X1, Y1, X2, Y2, X3, Y3: Integer)"},
        {K::Method, L"StretchDraw", L"procedure StretchDraw(X1, Y1, X2, Y2: Integer; Graphic: TGraphic)"},
        {K::Method, L"TextHeight", L"function TextHeight(const Text: string): Integer"},
        {K::Method, L"TextOut", L"procedure TextOut(X, Y: Integer; const Text: string)"},
        {K::Method, L"TextWidth", L"function TextWidth(const Text: string): Integer"},
        {K::Index, L"Pixels", L"Integer, Integer: TColor"}}},
      {L"TGraphic",
       L"TPersistent",
       {{K::Constructor, L"Create", L"constructor Create"},
        {K::Method, L"LoadFromFile", L"procedure LoadFromFile(const Filename: string)"},
        {K::Method, L"SaveToFile", L"procedure SaveToFile(const Filename: string)"},
        {K::Property, L"Height", L"Integer"},
        {K::Property, L"Width", L"Integer"}}},
      {L"TPicture",
       L"TPersistent",
       {{K::Method, L"LoadFromFile", L"procedure LoadFromFile(const Filename: string)"},
        {K::Method, L"SaveToFile", L"procedure SaveToFile(const Filename: string)"},
        {K::ReadOnlyProperty, L"Height", L"Integer"},
        {K::ReadOnlyProperty, L"Width", L"Integer"}}},
      {L"TMetafile", L"TGraphic", {}},
      {L"TMetafileCanvas",
       L"TCanvas",
       {{K::Constructor, L"Create", L"constructor Create(AMetafile: TMetafile; ReferenceDevice: Integer)"}}},
      {L"TBitmap", L"TGraphic", {{K::ReadOnlyProperty, L"Canvas", L"TCanvas"}}},
  });
  // Published properties come through the class items by themselves.
  ExpectPublishedIn(script,
                    {{L"TFont",
                    {L"Charset", L"Color", L"Height", L"Name", L"Orientation", L"Pitch", L"Size", L"Style", L"Quality"}},
                   {L"TPen", {L"Color", L"Mode", L"Style", L"Width"}},
                   {L"TBrush", {L"Color", L"Style"}},
                   {L"TCanvas", {L"Brush", L"CopyMode", L"Font", L"Pen"}}});
}

TEST_F(ClassTables, FormAndControlBindings) {
  ExpectConstants(script, {{L"mrNone", 0},
                           {L"mrOk", 1},
                           {L"mrCancel", 2},
                           {L"mrAbort", 3},
                           {L"mrRetry", 4},
                           {L"mrIgnore", 5},
                           {L"mrYes", 6},
                           {L"mrNo", 7},
                           {L"mrAll", 12},
                           {L"mrNoToAll", 13},
                           {L"mrYesToAll", 14}});
  ExpectConstants(script, {{L"crDefault", 0},     {L"crNone", -1},       {L"crArrow", -2},    {L"crCross", -3},
                           {L"crIBeam", -4},      {L"crSize", -22},      {L"crSizeNESW", -6}, {L"crSizeNS", -7},
                           {L"crSizeNWSE", -8},   {L"crSizeWE", -9},     {L"crUpArrow", -10}, {L"crHourGlass", -11},
                           {L"crDrag", -12},      {L"crNoDrop", -13},    {L"crHSplit", -14},  {L"crVSplit", -15},
                           {L"crMultiDrag", -16}, {L"crSQLWait", -17},   {L"crNo", -18},      {L"crAppStart", -19},
                           {L"crHelp", -20},      {L"crHandPoint", -21}, {L"crSizeAll", -22}});
  ExpectConstants(script, {{L"bsNone", 0},
                           {L"bsSingle", 1},
                           {L"bsSizeable", 2},
                           {L"bsDialog", 3},
                           {L"bsToolWindow", 4},
                           {L"bsSizeToolWin", 5},
                           {L"taLeftJustify", 0},
                           {L"taRightJustify", 1},
                           {L"taCenter", 2}});
  ExpectConstants(
      script,
      {{L"VK_RBUTTON", 2},  {L"VK_CANCEL", 3},      {L"VK_MBUTTON", 4},    {L"VK_BACK", 8},      {L"VK_TAB", 9},
       {L"VK_RETURN", 13},  {L"VK_SHIFT", 16},      {L"VK_CONTROL", 17},   {L"VK_MENU", 18},     {L"VK_PAUSE", 19},
       {L"VK_CAPITAL", 20}, {L"VK_ESCAPE", 27},     {L"VK_SPACE", 32},     {L"VK_PRIOR", 33},    {L"VK_NEXT", 34},
       {L"VK_END", 35},     {L"VK_HOME", 36},       {L"VK_LEFT", 37},      {L"VK_UP", 38},       {L"VK_RIGHT", 39},
       {L"VK_DOWN", 40},    {L"VK_INSERT", 45},     {L"VK_DELETE", 46},    {L"VK_HELP", 47},     {L"VK_LWIN", 91},
       {L"VK_RWIN", 92},    {L"VK_APPS", 93},       {L"VK_NUMPAD0", 96},   {L"VK_NUMPAD9", 105}, {L"VK_MULTIPLY", 106},
       {L"VK_ADD", 107},    {L"VK_SEPARATOR", 108}, {L"VK_SUBTRACT", 109}, {L"VK_DECIMAL", 110}, {L"VK_DIVIDE", 111},
       {L"VK_F1", 112},     {L"VK_F12", 123},       {L"VK_NUMLOCK", 144},  {L"VK_SCROLL", 145}});
  EXPECT_EQ(script.Find(L"VK_LBUTTON"), nullptr);
  // No constant has the value -5.
  for (int i = 0; i < script.Count(); ++i) {
    auto* v = dynamic_cast<TwzVariable*>(script.Items(i));
    if (v && v->Name().substr(0, 2) == L"cr") {
      EXPECT_NE(v->GetValue().AsInteger(), -5) << Utf8(v->Name());
    }
  }
  for (const wchar_t* type : {L"TFormBorderStyle", L"TBorderStyle", L"TAlignment", L"TLeftRight"}) {
    auto* item = dynamic_cast<TwzTypeVariable*>(script.Find(type));
    ASSERT_NE(item, nullptr) << Utf8(type);
    EXPECT_EQ(item->Typ(), fvtInt);
  }
  ExpectEnums(
      script,
      {{L"TShiftState", true, {L"ssShift", L"ssAlt", L"ssCtrl", L"ssLeft", L"ssRight", L"ssMiddle", L"ssDouble"}},
       {L"TAlign", false, {L"alNone", L"alTop", L"alBottom", L"alLeft", L"alRight", L"alClient"}},
       {L"TMouseButton", false, {L"mbLeft", L"mbRight", L"mbMiddle"}},
       {L"TAnchors", true, {L"akLeft", L"akTop", L"akRight", L"akBottom"}},
       {L"TBevelCut", false, {L"bvNone", L"bvLowered", L"bvRaised", L"bvSpace"}},
       {L"TTextLayout", false, {L"tlTop", L"tlCenter", L"tlBottom"}},
       {L"TEditCharCase", false, {L"ecNormal", L"ecUpperCase", L"ecLowerCase"}},
       {L"TScrollStyle", false, {L"ssNone", L"ssHorizontal", L"ssVertical", L"ssBoth"}},
       {L"TComboBoxStyle",
        false,
        {L"csDropDown", L"csSimple", L"csDropDownList", L"csOwnerDrawFixed", L"csOwnerDrawVariable"}},
       {L"TCheckBoxState", false, {L"cbUnchecked", L"cbChecked", L"cbGrayed"}},
       {L"TListBoxStyle", false, {L"lbStandard", L"lbOwnerDrawFixed", L"lbOwnerDrawVariable"}},
       {L"TWindowState", false, {L"wsNormal", L"wsMinimized", L"wsMaximized"}},
       {L"TFormStyle", false, {L"fsNormal", L"fsMDIChild", L"fsMDIForm", L"fsStayOnTop"}},
       {L"TBorderIcons", true, {L"biSystemMenu", L"biMinimize", L"biMaximize", L"biHelp"}},
       {L"TPosition",
        false,
        {L"poDesigned", L"poDefault", L"poDefaultPosOnly", L"poDefaultSizeOnly", L"poScreenCenter",
         L"poDesktopCenter"}},
       {L"TCloseAction", false, {L"caNone", L"caHide", L"caFree", L"caMinimize"}}});
  using K = Kind;
  const TwzEventClass mouse = &wzCreateEventAdapter<TwzMouseEvent>;
  const TwzEventClass key = &wzCreateEventAdapter<TwzKeyEvent>;
  Check({
      {L"TControl",
       L"TComponent",
       {{K::Property, L"Parent", L"TWinControl"},
        {K::Method, L"Hide", L"procedure Hide"},
        {K::Method, L"Show", L"procedure Show"},
        {K::Method, L"SetBounds", L"procedure SetBounds(ALeft, ATop, AWidth, AHeight: Integer)"},
        {K::Event, L"OnCanResize", L"", &wzCreateEventAdapter<TwzCanResizeEvent>},
        {K::Event, L"OnClick", L"", kNotify},
        {K::Event, L"OnDblClick", L"", kNotify},
        {K::Event, L"OnResize", L"", kNotify},
        {K::Event, L"OnMouseDown", L"", mouse},
        {K::Event, L"OnMouseUp", L"", mouse},
        {K::Event, L"OnMouseMove", L"", &wzCreateEventAdapter<TwzMouseMoveEvent>}}},
      {L"TWinControl",
       L"TControl",
       {{K::Method, L"SetFocus", L"procedure SetFocus"},
        {K::Event, L"OnEnter", L"", kNotify},
        {K::Event, L"OnExit", L"", kNotify},
        {K::Event, L"OnKeyDown", L"", key},
        {K::Event, L"OnKeyUp", L"", key},
        {K::Event, L"OnKeyPress", L"", &wzCreateEventAdapter<TwzKeyPressEvent>}}},
      {L"TCustomControl", L"TWinControl", {}},
      {L"TGraphicControl", L"TControl", {}},
      {L"TGroupBox", L"TWinControl", {}},
      {L"TLabel", L"TControl", {}},
      {L"TEdit", L"TWinControl", {}},
      {L"TMemo", L"TWinControl", {}},
      {L"TCustomComboBox",
       L"TWinControl",
       {{K::Property, L"DroppedDown", L"Boolean"},
        {K::Property, L"ItemIndex", L"Integer"},
        {K::Event, L"OnChange", L"", kNotify},
        {K::Event, L"OnDropDown", L"", kNotify},
        {K::Event, L"OnCloseUp", L"", kNotify}}},
      {L"TComboBox", L"TCustomComboBox", {}},
      {L"TButton", L"TWinControl", {}},
      {L"TCheckBox", L"TWinControl", {}},
      {L"TRadioButton", L"TWinControl", {}},
      {L"TCustomListBox",
       L"TWinControl",
       {{K::Property, L"ItemIndex", L"Integer"},
        {K::ReadOnlyProperty, L"SelCount", L"Integer"},
        {K::Index, L"Selected", L"Integer: Boolean"}}},
      {L"TListBox", L"TCustomListBox", {}},
      {L"TControlScrollBar", L"TPersistent", {}},
      {L"TScrollingWinControl", L"TWinControl", {}},
      {L"TScrollBox", L"TScrollingWinControl", {}},
      {L"TCustomForm",
       L"TScrollingWinControl",
       {{K::Method, L"Close", L"procedure Close"},
        {K::Method, L"Hide", L"procedure Hide"},
        {K::Method, L"Show", L"procedure Show"},
        {K::Method, L"ShowModal", L"function ShowModal: Integer"},
        {K::Event, L"OnActivate", L"", kNotify},
        {K::Event, L"OnCreate", L"", kNotify},
        {K::Event, L"OnDestroy", L"", kNotify},
        {K::Event, L"OnDeactivate", L"", kNotify},
        {K::Event, L"OnHide", L"", kNotify},
        {K::Event, L"OnPaint", L"", kNotify},
        {K::Event, L"OnShow", L"", kNotify},
        {K::Event, L"OnClose", L"", &wzCreateEventAdapter<TwzCloseEvent>},
        {K::Event, L"OnCloseQuery", L"", &wzCreateEventAdapter<TwzCloseQueryEvent>},
        {K::ReadOnlyProperty, L"Canvas", L"TCanvas"},
        {K::Property, L"ModalResult", L"Integer"}}},
      {L"TForm", L"TCustomForm", {}},
      {L"TDataModule", L"TComponent", {}},
      {L"TApplication",
       L"TComponent",
       {{K::Method, L"Minimize", L"procedure Minimize"},
        {K::Method, L"ProcessMessages", L"procedure ProcessMessages"},
        {K::Method, L"Restore", L"procedure Restore"},
        {K::ReadOnlyProperty, L"ExeName", L"String"}}},
  });
  auto* application = script.Find(L"Application");
  ASSERT_NE(application, nullptr);
  EXPECT_EQ(application->GetValue().AsObject(), vcl::Application);
  EXPECT_EQ(application->TypeName(), L"TApplication");
}

TEST_F(ClassTables, DialogAndSettingsFileBindings) {
  ExpectEnums(script,
              {{L"TOpenOptions",
                true,
                {L"ofReadOnly",         L"ofOverwritePrompt",    L"ofHideReadOnly",        L"ofNoChangeDir",
                 L"ofShowHelp",         L"ofNoValidate",         L"ofAllowMultiSelect",    L"ofExtensionDifferent",
                 L"ofPathMustExist",    L"ofFileMustExist",      L"ofCreatePrompt",        L"ofShareAware",
                 L"ofNoReadOnlyReturn", L"ofNoTestFileCreate",   L"ofNoNetworkButton",     L"ofNoLongNames",
                 L"ofOldStyleDialog",   L"ofNoDereferenceLinks", L"ofEnableIncludeNotify", L"ofEnableSizing"}},
               {L"TFileEditStyle", false, {L"fsEdit", L"fsComboBox"}},
               {L"TColorDialogOptions",
                true,
                {L"cdFullOpen", L"cdPreventFullOpen", L"cdShowHelp", L"cdSolidColor", L"cdAnyColor"}},
               {L"TFontDialogOptions",
                true,
                {L"fdAnsiOnly", L"fdTrueTypeOnly", L"fdEffects", L"fdFixedPitchOnly", L"fdForceFontExist",
                 L"fdNoFaceSel", L"fdNoOEMFonts", L"fdNoSimulations", L"fdNoSizeSel", L"fdNoStyleSel",
                 L"fdNoVectorFonts", L"fdShowHelp", L"fdWysiwyg", L"fdLimitSize", L"fdScalableOnly", L"fdApplyButton"}},
               {L"TFontDialogDevice", false, {L"fdScreen", L"fdPrinter", L"fdBoth"}},
               {L"TPrintRange", false, {L"prAllPages", L"prSelection", L"prPageNums"}},
               {L"TPrintDialogOptions",
                true,
                {L"poPrintToFile", L"poPageNums", L"poSelection", L"poWarning", L"poHelp", L"poDisablePrintToFile"}},
               {L"TMsgDlgType", false, {L"mtWarning", L"mtError", L"mtInformation", L"mtConfirmation", L"mtCustom"}},
               {L"TMsgDlgButtons",
                true,
                {L"mbYes", L"mbNo", L"mbOK", L"mbCancel", L"mbAbort", L"mbRetry", L"mbIgnore", L"mbAll", L"mbNoToAll",
                 L"mbYesToAll", L"mbHelp"}}});
  EXPECT_EQ(script.Find(L"ofEnableSizing")->GetValue().AsInteger(), 524288);
  EXPECT_EQ(script.Find(L"mbOK")->GetValue().AsInteger(), 4);
  EXPECT_EQ(script.Find(L"mbCancel")->GetValue().AsInteger(), 8);

  struct Global {
    const wchar_t* name;
    const wchar_t* syntax;
  };
  for (const Global& g :
       {Global{L"MessageDlg",
               L"function MessageDlg(Msg: string; DlgType: TMsgDlgType; Buttons: TMsgDlgButtons; HelpCtx: Longint): "
               L"Integer"},
        Global{L"InputBox", L"function InputBox(ACaption, APrompt, ADefault: string): string"},
        Global{L"InputQuery", L"function InputQuery(ACaption, APrompt: string; var Value: string): Boolean"}}) {
    auto* method = dynamic_cast<TwzMethodHelper*>(script.Find(g.name));
    ASSERT_NE(method, nullptr) << Utf8(g.name);
    EXPECT_EQ(method->Syntax(), g.syntax);
    EXPECT_EQ(method->Category(), L"ctOther");
    EXPECT_EQ(method->ClassRef(), nullptr);
  }

  using K = Kind;
  std::vector<ClassEntry> classes = {
      {L"TCommonDialog", L"TComponent", {{K::Method, L"Execute", L"function Execute: Boolean"}}}};
  for (const wchar_t* name :
       {L"TOpenDialog", L"TSaveDialog", L"TColorDialog", L"TFontDialog", L"TPrintDialog", L"TPrinterSetupDialog"})
    classes.push_back({name, L"TCommonDialog", {}});
  const std::vector<Member> shared = {
      {K::Method, L"WriteString", L"procedure WriteString(const Section, Ident, Value: String)"},
      {K::Method, L"ReadString", L"function ReadString(const Section, Ident, Default: String): String;"},
      {K::Method, L"ReadSectionValuesEx", L"procedure ReadSectionValuesEx(const Section: String; Strings: TStrings)"},
      {K::Method, L"DeleteKey", L"procedure DeleteKey(const Section, Ident: String)"},
      {K::Method, L"ReadSection", L"procedure ReadSection(const Section: String; Strings: TStrings)"},
      {K::Method, L"ReadSections", L"procedure ReadSections(Strings: TStrings)"},
      {K::Method, L"ReadSectionValues", L"procedure ReadSectionValues(const Section: String; Strings: TStrings)"},
      {K::Method, L"EraseSection", L"procedure EraseSection(const Section: String)"},
      {K::Method, L"SaveIniFileToStream", L"procedure SaveIniFileToStream(oStream: TStream)"},
      {K::Method, L"LoadIniFileFromStream", L"procedure LoadIniFileFromStream(oStream: TStream)"}};
  std::vector<Member> memory = shared;
  memory.push_back({K::Constructor, L"Create", L"constructor Create(const FileName: String)"});
  memory.push_back({K::Method, L"Clear", L"procedure Clear"});
  memory.push_back({K::Method, L"GetStrings", L"procedure GetStrings(List: TStrings)"});
  memory.push_back({K::Method, L"SetStrings", L"procedure SetStrings(List: TStrings)"});
  classes.push_back(
      {L"TCustomIniFile",
       L"TObject",
       {{K::Constructor, L"Create", L"constructor Create(const FileName: String)"},
        {K::Method, L"ReadInteger", L"function ReadInteger(const Section, Ident: String; Default: LongInt): LongInt"},
        {K::Method, L"WriteInteger", L"procedure WriteInteger(const Section, Ident: String; Value: LongInt)"},
        {K::Method, L"ReadBool", L"function ReadBool(const Section, Ident: String; Default: Boolean): Boolean"},
        {K::Method, L"WriteBool", L"procedure WriteBool(const Section, Ident: String; Value: Boolean)"},
        {K::Method, L"ReadDate", L"function ReadDate(const Section, Name: String; Default: TDateTime): TDateTime"},
        {K::Method, L"WriteDate", L"procedure WriteDate(const Section, Name: String; Value: TDateTime)"},
        {K::Method, L"ReadDateTime",
         L"function ReadDateTime(const Section, Name: String; Default: TDateTime): TDateTime"},
        {K::Method, L"WriteDateTime", L"procedure WriteDateTime(const Section, Name: String; Value: TDateTime)"},
        {K::Method, L"ReadFloat", L"function ReadFloat(const Section, Name: String; Default: Double): Double"},
        {K::Method, L"WriteFloat", L"procedure WriteFloat(const Section, Name: String; Value: Double)"},
        {K::Method, L"ReadTime", L"function ReadTime(const Section, Name: String; Default: TDateTime): TDateTime"},
        {K::Method, L"WriteTime", L"procedure WriteTime(const Section, Name: String; Value: TDateTime);"},
        {K::Method, L"ReadBinaryStream",
         L"function ReadBinaryStream(const Section, Name: String; Value: TStream): Integer"},
        {K::Method, L"WriteBinaryStream", L"procedure WriteBinaryStream(const Section, Name: String; Value: TStream)"},
        {K::Method, L"SectionExists", L"function SectionExists(const Section: String): Boolean"},
        {K::Method, L"ValueExists", L"function ValueExists(const Section, Ident: String): Boolean"},
        {K::Method, L"WriteTStrings",
         L"procedure WriteTStrings(const Section :String; Value :TStrings; IsClear :Boolean = True)"},
        {K::Method, L"ReadTStrings",
         L"function ReadTStrings(const Section :String; Value :TStrings; IsClear :Boolean = True): String;"},
        {K::ReadOnlyProperty, L"FileName", L"String"}}});
  classes.push_back({L"TMemIniFile", L"TCustomIniFile", memory});
  classes.push_back({L"TIniFile", L"TCustomIniFile", shared});
  Check(classes);
  // A TIniFile is made through the TCustomIniFile constructor; the in-memory content operations are not its own.
  TwzClassVariable* iniFile = script.FindClass(L"TIniFile");
  EXPECT_EQ(OwnMember(iniFile, L"Create"), nullptr);
  EXPECT_EQ(OwnMember(iniFile, L"Clear"), nullptr);
}

// The common dialogs' choices reach scripts through the published properties of their class items.
TEST_F(BindingsRegistration, DialogChoicesArePublished) {
  ExpectPublishedIn(script, {{L"TOpenDialog", {L"FileName", L"Filter", L"Options"}},
                             {L"TSaveDialog", {L"FileName", L"Filter"}},
                             {L"TColorDialog", {L"Color", L"Options"}},
                             {L"TFontDialog", {L"Font", L"Options"}},
                             {L"TPrintDialog", {L"Copies", L"PrintRange", L"Options"}}});
}

// The modules' items go with ClearRTTI and come back with AddRTTI, so a program can drop and take them again.
TEST_F(BindingsRegistration, ClearRTTIRemovesEveryModuleItem) {
  ASSERT_NE(script.FindClass(L"TStringList"), nullptr);
  script.ClearRTTI();
  EXPECT_EQ(script.Count(), 0);
  script.AddRTTI();
  EXPECT_NE(script.FindClass(L"TIniFile"), nullptr);
}

}  // namespace
