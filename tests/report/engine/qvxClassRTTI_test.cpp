// The report library as scripts see it: the constants, enumerations and sets, the report classes with their
// members, the shared report variables, the date functions; scripts that read and change a report through them,
// in a run over a real SQLite file; and members called on nil or on an object of another class, which end in a
// script error.
#include "report/engine/qvxClassRTTI.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/picture.h"
#include "report/engine/qvxEngine.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxClassPictures.h"
#include "report/model/qvxDialogPage.h"
#include "report/model/qvxOptions.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxVariables.h"
#include "report/pages/qvxPreviewPages.h"
#include "script/wz_iclassesrtti.h"
#include "script/wz_idialogsrtti.h"
#include "script/wz_iformsrtti.h"
#include "script/wz_script.h"
#include "tests/common/tempdir.h"
#include "tests/report/engine/enginefixture.h"

using rtl::String;
using rtl::Variant;

namespace {

std::string Utf8(const String& s) { return rtl::StringToUTF8(s); }

TEST(ClassBindings, TheModuleComesAfterTheFormBindingsAndBeforeTheDialogs) {
  std::vector<TwzRTTIModuleClass>* modules = wzRTTIModules();
  ASSERT_NE(modules, nullptr);
  auto at = [&](TwzRTTIModuleClass m) { return std::find(modules->begin(), modules->end(), m) - modules->begin(); };
  EXPECT_EQ(at(qvxClassRTTIModule()), at(wzFormsModule()) + 1);
  EXPECT_EQ(at(wzDialogsModule()), at(qvxClassRTTIModule()) + 1);
  EXPECT_EQ(at(qvxClassRTTIModule()), 4);
}

struct Constant {
  const wchar_t* name;
  double value;
  TwzVarType typ;
};

struct EnumList {
  const wchar_t* type;
  bool set;
  std::vector<const wchar_t*> members;
};

TEST(ClassBindings, ConstantsEnumerationsAndSets) {
  TwzScript script;
  script.AddRTTI();
  for (const Constant& c : std::initializer_list<Constant>{{L"qv01cm", 3.77953, fvtFloat},
                                                           {L"qv1cm", 37.7953, fvtFloat},
                                                           {L"qv01in", 9.6, fvtFloat},
                                                           {L"qv1in", 96, fvtFloat},
                                                           {L"qv1CharX", 9.6, fvtFloat},
                                                           {L"qv1CharY", 17, fvtFloat},
                                                           {L"clTransparent", 536870911, fvtInt},
                                                           {L"crHand", 150, fvtInt},
                                                           {L"crZoom", 151, fvtInt},
                                                           {L"crFormat", 152, fvtInt}}) {
    SCOPED_TRACE(Utf8(c.name));
    auto* item = dynamic_cast<TwzVariable*>(script.Find(c.name));
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->IsReadOnly());
    EXPECT_EQ(item->Typ(), c.typ);
    EXPECT_DOUBLE_EQ(item->GetValue().AsDouble(), c.value);
    // Floating constants are doubles in scripts, the integer ones of the library too.
    EXPECT_EQ(item->GetValue().VarType(), c.typ == fvtFloat ? rtl::varDouble : rtl::varInteger);
  }

  std::vector<const wchar_t*> buttons;
  for (const String& n : vcl::EnumInfoOf<TqvxPreviewButton>().Names()) buttons.push_back(n.c_str());
  const std::vector<EnumList> enums = {
      {L"TqvxStretchMode", false, {L"smDontStretch", L"smActualHeight", L"smMaxHeight"}},
      {L"TqvxShiftMode", false, {L"smDontShift", L"smAlways", L"smWhenOverlapped"}},
      {L"TqvxDuplexMode", false, {L"dmNone", L"dmVertical", L"dmHorizontal", L"dmSimplex"}},
      {L"TqvxAlign", false, {L"baNone", L"baLeft", L"baRight", L"baCenter", L"baWidth", L"baBottom", L"baClient"}},
      {L"TqvxFrameStyle", false, {L"fsSolid", L"fsDash", L"fsDot", L"fsDashDot", L"fsDashDotDot", L"fsDouble"}},
      {L"TqvxFrameTypes", true, {L"ftLeft", L"ftRight", L"ftTop", L"ftBottom"}},
      {L"TqvxHAlign", false, {L"haLeft", L"haRight", L"haCenter", L"haBlock"}},
      {L"TqvxVAlign", false, {L"vaTop", L"vaBottom", L"vaCenter"}},
      {L"TqvxRestrictions", true, {L"rfDontModify", L"rfDontSize", L"rfDontMove", L"rfDontDelete"}},
      {L"TqvxShapeKind",
       false,
       {L"skRectangle", L"skRoundRectangle", L"skEllipse", L"skTriangle", L"skDiamond", L"skDiagonal1",
        L"skDiagonal2"}},
      {L"TqvxPreviewButtons", true, buttons},
      {L"TqvxZoomMode", false, {L"zmDefault", L"zmWholePage", L"zmPageWidth", L"zmManyPages"}},
      {L"TqvxPrintPages", false, {L"ppAll", L"ppOdd", L"ppEven"}},
      {L"TqvxDMPFontStyles",
       true,
       {L"fsxBold", L"fsxItalic", L"fsxUnderline", L"fsxSuperScript", L"fsxSubScript", L"fsxCondensed", L"fsxWide",
        L"fsx12cpi", L"fsx15cpi"}},
      {L"TqvxRangeBegin", false, {L"rbFirst", L"rbCurrent"}},
      {L"TqvxRangeEnd", false, {L"reLast", L"reCurrent", L"reCount"}},
      {L"TqvxFieldType", false, {L"fftNumeric", L"fftString", L"fftBoolean"}},
      {L"TqvxFormatKind", false, {L"fkText", L"fkNumeric", L"fkDateTime", L"fkBoolean"}},
      {L"TqvxFillType", false, {L"ftBrush", L"ftGradient", L"ftGlass"}},
  };
  for (const EnumList& e : enums) {
    SCOPED_TRACE(Utf8(e.type));
    TwzCustomVariable* type = script.Find(e.type);
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(type->Typ(), fvtEnum);
    long long value = e.set ? 1 : 0;
    for (const wchar_t* member : e.members) {
      SCOPED_TRACE(Utf8(member));
      TwzCustomVariable* item = script.Find(member);
      ASSERT_NE(item, nullptr);
      EXPECT_EQ(item->TypeName(), e.type);
      EXPECT_TRUE(item->IsReadOnly());
      EXPECT_EQ(item->GetValue().AsInt64(), value);
      value = e.set ? value * 2 : value + 1;
    }
  }
  // The members the library has beyond the registered lists are not there; the outline button answers to its
  // other name too.
  for (const wchar_t* absent : {L"fsAltDot", L"fsSquare", L"rfDontEdit", L"fftDateTime", L"pbRefresh"})
    EXPECT_EQ(script.Find(absent), nullptr) << Utf8(absent);
  EXPECT_EQ(script.Find(L"pbTree")->GetValue().AsInt64(), 1LL << pbOutline);
  // The library's own lists agree with what scripts see.
  for (const auto& [type, info] : std::initializer_list<std::pair<const wchar_t*, const vcl::TEnumInfo*>>{
           {L"TqvxHAlign", &vcl::EnumInfoOf<TqvxHAlign>()},
           {L"TqvxShapeKind", &vcl::EnumInfoOf<TqvxShapeKind>()},
           {L"TqvxFillType", &vcl::EnumInfoOf<TqvxFillType>()},
           {L"TqvxFrameTypes", &vcl::EnumInfoOf<TqvxFrameType>()}})
    for (size_t i = 0; i < info->Names().size(); ++i) {
      TwzCustomVariable* item = script.Find(info->Names()[i]);
      ASSERT_NE(item, nullptr) << Utf8(info->Names()[i]);
      EXPECT_EQ(item->TypeName(), type);
    }
}

struct ClassEntry {
  const wchar_t* name;
  const wchar_t* ancestor;
  // Own members: declarations of methods as registered, or "Name: Type" of properties.
  std::vector<const wchar_t*> members;
};

TEST(ClassBindings, ClassesWithTheirAncestorsAndMembers) {
  TwzScript script;
  script.AddRTTI();
  const std::vector<ClassEntry> classes = {
      {L"TJPEGImage", L"TGraphic", {}},
      {L"TPngImage", L"TGraphic", {}},
      {L"TqvxHyperlink", L"TPersistent", {}},
      {L"TqvxCustomFill", L"TPersistent", {}},
      {L"TqvxBrushFill", L"TqvxCustomFill", {}},
      {L"TqvxGradientFill", L"TqvxCustomFill", {}},
      {L"TqvxGlassFill", L"TqvxCustomFill", {}},
      {L"TWideStrings",
       L"TPersistent",
       {L"function Create: Constructor", L"function Add(const S: string): Integer",
        L"function AddObject(const S: string; AObject: TObject): Integer", L"procedure Clear",
        L"procedure Delete(Index: Integer)", L"function IndexOf(const S: string): Integer",
        L"procedure Insert(Index: Integer; const S: string)", L"procedure LoadFromFile(const FileName: string)",
        L"procedure LoadFromStream(Stream: TStream)", L"procedure SaveToFile(const FileName: string)",
        L"procedure SaveToStream(Stream: TStream)", L"Count: Integer", L"function Objects(p0: Integer): TObject",
        L"function Strings(p0: Integer): string", L"Text: string"}},
      {L"TqvxDataSet",
       L"TComponent",
       {L"procedure Open", L"procedure Close", L"procedure First", L"procedure Next", L"procedure Prior",
        L"function Eof: Boolean", L"function FieldsCount: Integer", L"function RecordCount: Integer",
        L"function IsBlobField(const fName: String): Boolean", L"procedure GetFieldList(List: TStrings)",
        L"function HasField(const fName: String): Boolean", L"RecNo: Integer",
        L"function DisplayText(p0: String): String", L"function DisplayWidth(p0: String): Integer",
        L"function FieldType(p0: String): TqvxFieldType", L"function Value(p0: String): Variant"}},
      {L"TqvxUserDataSet", L"TqvxDataSet", {}},
      {L"TqvxCustomDBDataSet", L"TqvxDataSet", {}},
      {L"TqvxComponent",
       L"TComponent",
       {L"procedure Clear", L"function FindObject(s: String): TqvxComponent",
        L"procedure LoadFromStream(Stream: TStream)",
        L"procedure SaveToStream(Stream: TStream; SaveChildren: Boolean = True)",
        L"procedure SetBounds(ALeft, ATop, AWidth, AHeight: Extended)", L"Objects: TList", L"AllObjects: TList",
        L"Parent: TqvxComponent", L"Page: TqvxPage", L"AbsLeft: Extended", L"AbsTop: Extended"}},
      {L"TqvxReportComponent", L"TqvxComponent", {}},
      {L"TqvxDialogComponent", L"TqvxReportComponent", {}},
      {L"TqvxDialogControl", L"TqvxReportComponent", {L"procedure SetFocus"}},
      {L"TqvxFrameLine", L"TPersistent", {}},
      {L"TqvxFrame", L"TPersistent", {}},
      {L"TqvxView", L"TqvxReportComponent", {L"TagStr: String"}},
      {L"TqvxShapeView", L"TqvxView", {}},
      {L"TqvxStretcheable", L"TqvxView", {L"function CalcHeight: Extended"}},
      {L"TqvxHighlight", L"TPersistent", {}},
      {L"TqvxFormat", L"TPersistent", {}},
      {L"TqvxCustomMemoView",
       L"TqvxStretcheable",
       {L"function CalcWidth: Extended", L"Text: String", L"AnsiText: String", L"Lines: TWideStrings",
        L"Value: Variant"}},
      {L"TqvxMemoView", L"TqvxCustomMemoView", {}},
      {L"TqvxSysMemoView", L"TqvxCustomMemoView", {}},
      {L"TqvxDMPMemoView", L"TqvxCustomMemoView", {}},
      {L"TqvxCustomLineView", L"TqvxStretcheable", {}},
      {L"TqvxLineView", L"TqvxCustomLineView", {}},
      {L"TqvxDMPLineView", L"TqvxCustomLineView", {}},
      {L"TqvxDMPCommand", L"TqvxView", {}},
      {L"TqvxPictureView", L"TqvxView", {L"procedure LoadFromFile(filename: String)"}},
      {L"TqvxSubreport", L"TqvxView", {}},
      {L"TqvxBand", L"TqvxReportComponent", {L"Overflow: Boolean"}},
      {L"TqvxDataBand", L"TqvxBand", {}},
      {L"TqvxHeader", L"TqvxBand", {}},
      {L"TqvxFooter", L"TqvxBand", {}},
      {L"TqvxMasterData", L"TqvxDataBand", {}},
      {L"TqvxDetailData", L"TqvxDataBand", {}},
      {L"TqvxSubdetailData", L"TqvxDataBand", {}},
      {L"TqvxDataBand4", L"TqvxDataBand", {}},
      {L"TqvxDataBand5", L"TqvxDataBand", {}},
      {L"TqvxDataBand6", L"TqvxDataBand", {}},
      {L"TqvxPageHeader", L"TqvxBand", {}},
      {L"TqvxPageFooter", L"TqvxBand", {}},
      {L"TqvxColumnHeader", L"TqvxBand", {}},
      {L"TqvxColumnFooter", L"TqvxBand", {}},
      {L"TqvxGroupHeader", L"TqvxBand", {}},
      {L"TqvxGroupFooter", L"TqvxBand", {}},
      {L"TqvxReportTitle", L"TqvxBand", {}},
      {L"TqvxReportSummary", L"TqvxBand", {}},
      {L"TqvxChild", L"TqvxBand", {}},
      {L"TqvxOverlay", L"TqvxBand", {}},
      {L"TqvxPage", L"TqvxComponent", {}},
      {L"TqvxReportPage", L"TqvxPage", {}},
      {L"TqvxDialogPage", L"TqvxPage", {L"function ShowModal: Integer", L"ModalResult: Integer"}},
      {L"TqvxDMPPage", L"TqvxReportPage", {}},
      {L"TqvxDataPage", L"TqvxPage", {}},
      {L"TqvxEngineOptions", L"TPersistent", {L"DestroyForms: Boolean"}},
      {L"TqvxPrintOptions", L"TPersistent", {}},
      {L"TqvxPreviewOptions", L"TPersistent", {}},
      {L"TqvxReportOptions", L"TPersistent", {}},
      {L"TqvxVariable", L"TCollectionItem", {}},
      {L"TqvxVariables", L"TCollection", {L"function Create: Constructor", L"function Variables(p0: String): Variant"}},
      {L"TqvxStyleItem", L"TCollectionItem", {}},
      {L"TqvxStyles",
       L"TCollection",
       {L"function Create(AReport: TqvxReport): Constructor", L"function Items(p0: Integer): TqvxStyleItem",
        L"function Add: TqvxStyleItem", L"function Find(const Name: String): TqvxStyleItem", L"procedure Apply",
        L"procedure GetList(List: TStrings)", L"procedure LoadFromFile(const FileName: String)",
        L"procedure LoadFromStream(Stream: TStream)", L"procedure SaveToFile(const FileName: String)",
        L"procedure SaveToStream(Stream: TStream)"}},
      {L"TqvxArray", L"TCollection", {L"function Create: Constructor", L"function Variables(p0: Variant): Variant"}},
      {L"TqvxReport",
       L"TqvxComponent",
       {L"function Calc(const Expr: String): Variant", L"function GetDataset(const Alias: String): TqvxDataset",
        L"function LoadFromFile(const FileName: String): Boolean", L"procedure SaveToFile(const FileName: String)",
        L"procedure ShowReport", L"Terminated: Boolean", L"Variables: TqvxVariables", L"Styles: TqvxStyles"}},
      {L"TqvxCustomEngine",
       L"TPersistent",
       {L"procedure AddAnchor(const Text: String)", L"procedure NewPage", L"procedure NewColumn",
        L"procedure ShowBand(Band: TqvxBand)", L"procedure StopReport", L"function FreeSpace: Extended",
        L"function GetAnchorPage(const Text: String): Integer"}},
      {L"TqvxEngine", L"TqvxCustomEngine", {}},
      {L"TqvxCustomOutline",
       L"TPersistent",
       {L"procedure AddItem(const Text: String)", L"procedure LevelRoot", L"procedure LevelUp"}},
      {L"TqvxOutline", L"TqvxCustomOutline", {}},
  };
  for (const ClassEntry& c : classes) {
    SCOPED_TRACE(Utf8(c.name));
    TwzClassVariable* cls = script.FindClass(c.name);
    ASSERT_NE(cls, nullptr);
    EXPECT_EQ(cls->Ancestor(), c.ancestor);
    ASSERT_NE(cls->ClassRef(), nullptr);
    EXPECT_EQ(cls->ClassRef()->ClassName(), c.name);
    std::vector<String> own;
    for (int i = 0; i < cls->MembersCount(); ++i) {
      TwzCustomVariable* m = cls->Members(i);
      if (auto* p = dynamic_cast<TwzPropertyHelper*>(m)) {
        if (!p->IsPublished()) own.push_back(p->Name() + L": " + p->TypeName());
      } else if (auto* method = dynamic_cast<TwzMethodHelper*>(m)) {
        own.push_back(method->Syntax());
      }
    }
    std::vector<String> expected(c.members.begin(), c.members.end());
    std::sort(own.begin(), own.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(own, expected);
  }
  // Registered once, although the module names the fills twice.
  int fills = 0;
  for (int i = 0; i < script.Count(); ++i)
    if (wzSameName(script.ItemName(i), L"TqvxCustomFill")) ++fills;
  EXPECT_EQ(fills, 1);
  // Read-only where the report library has no writer.
  EXPECT_TRUE(script.FindClass(L"TqvxComponent")->Find(L"AbsTop")->IsReadOnly());
  EXPECT_FALSE(script.FindClass(L"TqvxComponent")->Find(L"Parent")->IsReadOnly());
  EXPECT_TRUE(script.FindClass(L"TqvxDataSet")->Find(L"Value")->IsReadOnly());
  EXPECT_FALSE(script.FindClass(L"TqvxStyles")->Find(L"Items")->IsReadOnly());
  EXPECT_EQ(script.FindClass(L"TqvxStyles")->DefProperty(), script.FindClass(L"TqvxStyles")->Find(L"Items"));

  // The shared variables, with their run-time class; the date functions and the declared macro functions.
  TwzCustomVariable* globals = script.Find(L"qvxGlobalVariables");
  ASSERT_NE(globals, nullptr);
  EXPECT_EQ(globals->TypeName(), L"TqvxVariables");
  EXPECT_EQ(globals->GetValue().AsObject(), &qvxGlobalVariables());
  for (const auto& [name, category] :
       std::initializer_list<std::pair<const wchar_t*, const wchar_t*>>{{L"DayOf", L"ctDate"},
                                                                        {L"MonthOf", L"ctDate"},
                                                                        {L"YearOf", L"ctDate"},
                                                                        {L"IIF", L"ctOther"},
                                                                        {L"SUM", L"ctAggregate"},
                                                                        {L"AVG", L"ctAggregate"},
                                                                        {L"MIN", L"ctAggregate"},
                                                                        {L"MAX", L"ctAggregate"},
                                                                        {L"COUNT", L"ctAggregate"}}) {
    auto* fn = dynamic_cast<TwzMethodHelper*>(script.Find(name));
    ASSERT_NE(fn, nullptr) << Utf8(name);
    EXPECT_EQ(fn->Category(), category);
    EXPECT_EQ(fn->ClassRef(), nullptr);
  }
  EXPECT_EQ(dynamic_cast<TwzMethodHelper*>(script.Find(L"SUM"))->Syntax(),
            L"function SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant");
}

TEST(ClassBindings, WideStringsOnlyOverTheClassBindingsPersistentClass) {
  std::vector<TwzRTTIModuleClass>* modules = wzRTTIModules();
  const std::vector<TwzRTTIModuleClass> saved = *modules;
  modules->erase(std::remove(modules->begin(), modules->end(), wzClassesModule()), modules->end());
  struct Restore {
    std::vector<TwzRTTIModuleClass>* list;
    const std::vector<TwzRTTIModuleClass>& saved;
    ~Restore() { *list = saved; }
  } restore{modules, saved};
  TwzScript script;
  script.AddRTTI();
  EXPECT_EQ(script.FindClass(L"TPersistent"), nullptr);
  EXPECT_EQ(script.FindClass(L"TWideStrings"), nullptr);
  // The memo's lines are still typed, by a class this script does not know.
  TwzClassVariable* memo = script.FindClass(L"TqvxCustomMemoView");
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->Find(L"Lines")->TypeName(), L"TWideStrings");
  EXPECT_EQ(memo->Find(L"Lines")->Typ(), fvtClass);
}

// A report of one page, band and two texts, its script prepared as a run prepares it, and a Print procedure.
class ReportScript : public ::testing::Test {
 protected:
  void SetUp() override {
    report_ = new TqvxReport(nullptr);
    report_->SetName(L"Rapor");
    report_->EngineOptions()->NewSilentMode = simSilent;
    page_ = new TqvxReportPage(report_);
    page_->SetName(L"Page1");
    band_ = new TqvxMasterData(page_);
    band_->SetName(L"MasterData1");
    band_->SetBounds(0, 20, 700, 40);
    memo_ = new TqvxMemoView(band_);
    memo_->SetName(L"Memo1");
    memo_->SetBounds(10, 5, 200, 20);
    memo_->SetText(L"Günaydın");
    other_ = new TqvxMemoView(band_);
    other_->SetName(L"Memo2");
    Prepare();
  }
  void TearDown() override { report_->Free(); }

  void Prepare() {
    ASSERT_TRUE(report_->PrepareScript());
    TwzScript* s = report_->Script();
    s->SetAddedBy(this);
    if (!s->FindLocal(L"Print"))
      s->AddMethod(L"procedure Print(v: Variant)",
                   [this](rtl::TObject*, const vcl::TClassInfo*, const String&, TwzMethodHelper* caller) {
                     out_ += rtl::VarToStr(caller->GetVParam(0)) + L";";
                     return Variant::Null();
                   });
    s->SetAddedBy(nullptr);
  }

  String Run(const String& text) {
    out_.clear();
    TwzScript* s = report_->Script();
    s->ClearItems(nullptr);
    s->SetSyntaxType(L"ZuvizaVuruze");
    s->SetText(text);
    if (!s->Compile()) return L"compile error: " + s->ErrorMsg() + L" at " + s->ErrorPos();
    s->Execute();
    return out_;
  }

  String RunCatching(const String& text) {
    try {
      return Run(text);
    } catch (const rtl::Exception& e) {
      return out_ + L"raised " + e.ClassName() + L": " + e.Message();
    }
  }

  TqvxReport* report_ = nullptr;
  TqvxReportPage* page_ = nullptr;
  TqvxMasterData* band_ = nullptr;
  TqvxMemoView* memo_ = nullptr;
  TqvxMemoView* other_ = nullptr;
  String out_;
};

TEST_F(ReportScript, TextsComeAsWideAndAnsiTextsAndConstantsAsDoubles) {
  EXPECT_EQ(Run(L"begin Print(VarType(Memo1.Text)); Print(VarType(Memo1.AnsiText)); Print(Memo1.Text); "
                L"Print(VarType(qv1in)); Print(VarType(qv1CharY)); Print(VarType(qv01cm)); "
                L"Print(Round(qv1cm * 100)); Print(Round(qv1in * qv1CharY)) end."),
            L"8;256;Günaydın\r\n;5;5;5;3780;1632;");
  // Texts written as plain, wide and 8-bit texts; a memo of another character set reads an 8-bit text in its code
  // page, the way its AnsiText gives it.
  EXPECT_EQ(Run(L"begin Memo1.Text := 'Öğrenci ' + IntToStr(7); Memo2.Text := Memo1.AnsiText; "
                L"Print(Memo2.Text) end."),
            L"Öğrenci 7\r\n;");
  EXPECT_EQ(memo_->Text(), L"Öğrenci 7\r\n");
  other_->Font()->SetCharset(162);  // Turkish
  memo_->Font()->SetCharset(162);
  EXPECT_EQ(Run(L"begin Memo2.Text := Memo1.AnsiText; Print(Memo2.Text = Memo1.Text) end."), L"True;");
  EXPECT_EQ(other_->Text(), L"Öğrenci 7\r\n");
}

TEST_F(ReportScript, TreeBoundsAndPositionsOfReportObjects) {
  EXPECT_EQ(Run(L"var o: TqvxComponent; i: Integer;\n"
                L"begin\n"
                L"  Print(Report.AllObjects.Count); Print(MasterData1.Objects.Count);\n"
                L"  for i := 0 to Report.AllObjects.Count - 1 do Print(TqvxComponent(Report.AllObjects[i]).Name);\n"
                L"  o := Report.FindObject('memo2'); Print(o.Name); Print(o.Parent.Name); Print(o.Page.Name);\n"
                L"  Memo2.SetBounds(30, 12.5, 100, 18); Print(Memo2.AbsLeft); Print(Memo2.AbsTop);\n"
                L"  Print(Report.FindObject('Yok') = nil);\n"
                L"  Memo1.TagStr := 'etiket'; Print(Memo1.TagStr); Print(MasterData1.Overflow)\n"
                L"end."),
            L"4;2;Page1;MasterData1;Memo1;Memo2;Memo2;MasterData1;Page1;30;32,5;True;etiket;False;");
  EXPECT_EQ(memo_->TagStr, L"etiket");
  EXPECT_EQ(static_cast<double>(other_->Top()), 12.5);
  // Another parent through the parent setter.
  auto* summary = new TqvxReportSummary(page_);
  summary->SetName(L"ReportSummary1");
  Prepare();
  EXPECT_EQ(Run(L"begin Memo2.Parent := ReportSummary1; Print(ReportSummary1.Objects.Count); "
                L"Print(MasterData1.Objects.Count) end."),
            L"1;1;");
  EXPECT_EQ(other_->Parent(), summary);
  // A list a script reads may be freed by it: the next read gives a new one, and the module frees nothing twice.
  EXPECT_EQ(Run(L"var L: TList; begin L := Report.AllObjects; Print(L.Count); L.Free; L := MasterData1.Objects; "
                L"L.Free; Print(Report.AllObjects.Count) end."),
            L"5;5;");
}

TEST_F(ReportScript, WideStringListsAndTheMemosLines) {
  EXPECT_EQ(Run(L"var L: TWideStrings;\n"
                L"begin\n"
                L"  L := TWideStrings.Create; L.Add('Şubat'); L.Add('Mart'); L.Insert(1, 'Nisan');\n"
                L"  L.Objects[2] := Report; Print(L.ClassName); Print(L.Count); Print(L.IndexOf('Mart'));\n"
                L"  Print(TqvxReport(L.Objects[2]).Name);\n"
                L"  Memo1.Lines := L; L.Free;\n"
                L"  Print(Memo1.Lines.Count); Print(Memo1.Lines[1]); Print(VarType(Memo1.Lines[0]));\n"
                L"  Memo1.Lines[0] := 'Ocak'; Memo1.Lines.Delete(2); Print(Memo1.Lines.Text)\n"
                L"end."),
            L"TWideStringList;3;2;Rapor;3;Nisan;8;Ocak\r\nNisan\r\n;");
  EXPECT_EQ(memo_->Lines()->Count(), 2);
  EXPECT_EQ(memo_->Lines()->Get(0), L"Ocak");
}

TEST_F(ReportScript, VariablesArraysStylesAndCalc) {
  report_->Variables()->SetVariable(L"Okul", Variant(String(L"Işıklar Lisesi")));
  const String done =
      Run(L"var A: TqvxArray; S: TqvxStyles; st: TqvxStyleItem;\n"
          L"begin\n"
          L"  Print(Report.Variables['Okul']); Report.Variables['Yıl'] := 2026;\n"
          L"  qvxGlobalVariables['Dönem'] := 'Güz'; Print(qvxGlobalVariables['dönem']);\n"
          L"  A := TqvxArray.Create; A[1] := 'bir'; A['iki'] := 2; Print(A['1']); Print(A['iki']); A.Free;\n"
          L"  st := Report.Styles.Add; st.Name := 'Başlık'; Print(Report.Styles.Find('başlık').Name);\n"
          L"  Report.Styles[0] := nil; Print(Report.Styles[0].Name); Print(Report.Styles.Count);\n"
          L"  S := TqvxStyles.Create(Report); S.Add; Print(S.Count); S.Free;\n"
          L"  Print(Report.Calc('2 * 21')); Print(Report.Calc('Memo1.Text'))\n"
          L"end.");
  qvxGlobalVariables().DeleteVariable(L"Dönem");
  EXPECT_EQ(done, L"Işıklar Lisesi;Güz;bir;2;Başlık;Başlık;1;1;42;Günaydın\r\n;");
  EXPECT_EQ(report_->Variables()->GetVariable(L"Yıl"), Variant(2026));
  ASSERT_EQ(report_->Styles()->Count(), 1);
  EXPECT_EQ(report_->Styles()->Items(0)->Name(), L"Başlık");
  // A Calc that does not compile raises, worded for a script's Calc.
  const String failed = RunCatching(L"begin Print(Report.Calc('1 +')) end.");
  EXPECT_NE(failed.find(L"Error in Calc expression:"), String::npos) << Utf8(failed);
  EXPECT_TRUE(report_->Errors()->Count() == 0);
}

TEST_F(ReportScript, DateFunctionsAndTheOnlyDeclaredMacroFunctions) {
  EXPECT_EQ(Run(L"var d: TDateTime; begin d := EncodeDate(2001, 3, 7); Print(DayOf(d)); Print(MonthOf(d)); "
                L"Print(YearOf(d)); Print(DayOf(EncodeDate(1999, 12, 31) + 0.75)) end."),
            L"7;3;2001;31;");
  EXPECT_NE(RunCatching(L"var v: Variant; begin v := 'yarın'; Print(DayOf(v)) end.").find(L"raised "), String::npos);
  // Before a report prepares its script the module's declarations answer 0; the report's own ones are found once
  // it has.
  TwzScript bare;
  bare.AddRTTI();
  bare.SetText(L"var r: Variant; begin r := IIF(True, 1, 2) + SUM(5) + COUNT; end.");
  ASSERT_TRUE(bare.Compile()) << Utf8(bare.ErrorMsg());
  bare.Execute();
  EXPECT_EQ(bare.GetVariable(L"r").AsInteger(), 0);
  auto* sum = dynamic_cast<TwzMethodHelper*>(report_->Script()->Find(L"SUM"));
  ASSERT_NE(sum, nullptr);
  EXPECT_EQ(sum->AddedBy(), static_cast<TwzAddedBy>(report_));
}

TEST_F(ReportScript, StreamsPicturesMeasuresAndDialogPages) {
  // An object written to a stream and read back takes its text again.
  EXPECT_EQ(Run(L"var M: TMemoryStream;\n"
                L"begin\n"
                L"  M := TMemoryStream.Create; Memo1.SaveToStream(M, False); Print(M.Size > 50);\n"
                L"  Memo1.Text := 'değişti'; M.Position := 0; Memo1.LoadFromStream(M); Print(Memo1.Text); M.Free;\n"
                L"  Print(Memo1.CalcWidth > 10); Print(Memo1.CalcHeight > 5)\n"
                L"end."),
            L"True;Günaydın\r\n;True;True;");
  // A picture file into a picture object.
  testutil::TempFolder folder{L"rttipic"};
  const String file = folder.File(L"resim.bmp");
  {
    vcl::TBitmap bitmap;
    bitmap.SetSize(7, 5);
    bitmap.SaveToFile(file);
  }
  auto* picture = new TqvxPictureView(band_);
  picture->SetName(L"Picture1");
  auto* dialog = new TqvxDialogPage(report_);
  dialog->SetName(L"DialogPage1");
  Prepare();
  report_->Script()->SetAddedBy(this);
  report_->Script()->AddVariable(L"PictureFile", L"String", Variant(file));
  report_->Script()->SetAddedBy(nullptr);
  EXPECT_EQ(Run(L"begin Picture1.LoadFromFile(PictureFile); DialogPage1.ModalResult := mrOk; "
                L"Print(DialogPage1.ModalResult) end."),
            L"1;");
  EXPECT_EQ(picture->Picture()->Width(), 7);
  EXPECT_EQ(picture->Picture()->Height(), 5);
  EXPECT_NE(RunCatching(L"begin Picture1.LoadFromFile(PictureFile + '.yok') end.").find(L"raised "), String::npos);
}

TEST_F(ReportScript, AnchorsOfThePreparedPagesAndTheEngine) {
  auto* pages = dynamic_cast<TqvxPreviewPages*>(report_->PreviewPages());
  ASSERT_NE(pages, nullptr);
  EXPECT_EQ(Run(L"begin Print(Engine.GetAnchorPage('Bölüm 1')) end."), L"1;");
  pages->CurPage = 2;
  EXPECT_EQ(Run(L"begin Engine.AddAnchor('Bölüm 1'); Print(Engine.GetAnchorPage('bölüm 1')) end."), L"3;");
  pages->CurPage = 0;
  EXPECT_EQ(Run(L"begin Engine.AddAnchor('Bölüm 1'); Print(Engine.GetAnchorPage('Bölüm 1')) end."), L"1;");
  // The outline of the prepared pages, at the engine's position.
  report_->Engine()->CurY = 40.4L;
  EXPECT_EQ(Run(L"begin Outline.AddItem('Sınıf 9-A'); Outline.AddItem('Şükrü'); Outline.LevelUp; Outline.LevelUp; "
                L"Outline.AddItem('Sınıf 9-B'); Outline.LevelRoot end."),
            L"");
  TqvxCustomOutline* outline = pages->Outline();
  ASSERT_EQ(outline->GetCount(), 2);
  String text;
  rtl::Integer page = -1, top = -1;
  outline->GetItem(0, text, page, top);
  EXPECT_EQ(text, L"Sınıf 9-A");
  EXPECT_EQ(top, 40);
  outline->LevelDown(0);
  ASSERT_EQ(outline->GetCount(), 1);
  outline->GetItem(0, text, page, top);
  EXPECT_EQ(text, L"Şükrü");
  // The engine's options, and stopping from a script: the report stops, and its script program with it.
  EXPECT_EQ(Run(L"begin Report.EngineOptions.DestroyForms := False; Print(Report.EngineOptions.DestroyForms); "
                L"Report.Terminated := True; Print(Report.Terminated) end."),
            L"False;");
  EXPECT_FALSE(report_->EngineOptions()->DestroyForms);
  EXPECT_TRUE(report_->Terminated());
}

TEST_F(ReportScript, PreviewButtonsSelectTheButtonsOfTheirNames) {
  EXPECT_EQ(Run(L"begin Report.PreviewOptions.Buttons := pbPrint + pbNavigator + pbTree + pbExportQuick end."), L"");
  const TqvxPreviewButtons buttons = report_->PreviewOptions()->Buttons;
  EXPECT_EQ(buttons, TqvxPreviewButtons({pbPrint, pbNavigator, pbOutline, pbExportQuick}));
}

TEST_F(ReportScript, AMissingTemplateLoadsNothingAndLeavesTheReportEmpty) {
  testutil::TempFolder folder{L"rtti"};
  const String saved = folder.File(L"rapor.qv3");
  report_->Script()->SetAddedBy(this);
  report_->Script()->AddVariable(L"Saved", L"String", Variant(saved));
  report_->Script()->AddVariable(L"Missing", L"String", Variant(folder.File(L"yok.qv3")));
  report_->Script()->SetAddedBy(nullptr);
  EXPECT_EQ(Run(L"begin Report.SaveToFile(Saved) end."), L"");
  EXPECT_TRUE(rtl::FileExists(saved));
  EXPECT_EQ(Run(L"begin Print(Report.LoadFromFile(Missing)) end."), L"False;");
  EXPECT_EQ(report_->PagesCount(), 0);
  EXPECT_EQ(report_->FindObject(L"Memo1"), nullptr);
  // The saved template brings the objects back.
  EXPECT_TRUE(report_->LoadFromFile(saved));
  ASSERT_NE(report_->FindObject(L"Memo1"), nullptr);
}

struct ErrorCase {
  const wchar_t* source;
  const wchar_t* message;
};

TEST_F(ReportScript, MembersOnNilOrOnAnotherClassEndInAScriptError) {
  const std::vector<ErrorCase> cases = {
      {L"begin Report.GetDataset('Yok').First end.", L"Cannot call 'First' of a nil object"},
      {L"begin Print(Report.GetDataset('Yok').Value['ad']) end.", L"Cannot call 'Value' of a nil object"},
      {L"begin Print(Report.GetDataset('Yok').RecNo) end.", L"Cannot read 'RecNo' of a nil object"},
      {L"begin Print(TqvxMemoView(Report.FindObject('Yok')).Text) end.", L"Cannot read 'Text' of a nil object"},
      {L"begin TqvxMemoView(Report.FindObject('Yok')).Text := 'x' end.", L"Cannot set 'Text' of a nil object"},
      {L"begin Print(TqvxReport(Memo1).GetDataset('x')) end.",
       L"'GetDataset' does not apply to an object of class TqvxMemoView"},
      {L"begin Print(TqvxDataSet(Report).Value['ad']) end.",
       L"'Value' does not apply to an object of class TqvxReport"},
      {L"begin Print(TqvxMemoView(MasterData1).Text) end.",
       L"'TEXT' does not apply to an object of class TqvxMasterData"},
      {L"begin TqvxMemoView(Page1).Lines.Add('x') end.",
       L"'LINES' does not apply to an object of class TqvxReportPage"},
      {L"begin Memo1.Lines := TWideStrings(Report) end.", L"'Lines' takes a list of lines, not TqvxReport"},
      {L"begin Memo1.Parent := TqvxComponent(qvxGlobalVariables) end.", L"cannot be the parent of a report object"},
      {L"begin Engine.ShowBand(nil) end.", L"'ShowBand' needs an object, not nil"},
      {L"begin Engine.ShowBand(TqvxBand(Memo1)) end.", L"'ShowBand' cannot take an object of class TqvxMemoView"},
      {L"begin TqvxReport(12345).Calc('1') end.", L"An object is expected, not the number 12345"},
      {L"begin Print(TqvxComponent(Report.FindObject('Yok')).AllObjects.Count) end.",
       L"Cannot read 'AllObjects' of a nil object"},
      {L"begin TqvxStyles(Report).Apply end.", L"'Apply' does not apply to an object of class TqvxReport"},
  };
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(Utf8(c.source));
    const String result = RunCatching(c.source);
    EXPECT_EQ(result.rfind(L"raised EwzScriptError: ", 0), 0u) << Utf8(result);
    EXPECT_NE(result.find(c.message), String::npos) << Utf8(result);
  }
  // The program runs on afterwards.
  EXPECT_EQ(Run(L"begin Print(Memo1.Text) end."), L"Günaydın\r\n;");
}

// A run over the SQLite file: the script of the report reads its objects, bands, datasets and variables and
// rewrites a text before it prints. This program's reports never run their own event scripts, so the test hooks
// the report's before-print event and calls the procedure the object names, as a host would.
class ScriptedRun : public EngineFixture {
 protected:
  void Build() {
    auto* header = Band<TqvxPageHeader>(L"PageHeader1", 0, 30);
    Memo(header, L"Baslik", L"Sınıflar", 0, 400);
    master_ = Band<TqvxMasterData>(L"MasterData1", 40, 30);
    master_->SetDataSet(classes_);
    Memo(master_, L"SinifAdi", L"[Sinif.\"ad\"]", 0, 300);
    TqvxMemoView* summary = Memo(master_, L"Ozet", L"(boş)", 300, 400);
    summary->OnBeforePrint = L"OzetBeforePrint";
    // Expressions compile in a program under the report's script: the bindings are theirs as well.
    Memo(master_, L"Tarih",
         L"[DayOf(EncodeDate(2001, 3, 7))].[MonthOf(EncodeDate(2001, 3, 7))] "
         L"[Report.GetDataset('Ogrenci').FieldsCount] [TqvxDataSet(Report.GetDataset('Sinif')).RecNo]",
         0, 300, 15, 15);
    report_->Variables()->SetVariable(L"Okul", Variant(String(L"Işıklar Lisesi")));
    qvxGlobalVariables().SetVariable(L"Dönem", Variant(String(L"2026 Güz")));
    rtl::TStringList* text = report_->ScriptText();
    text->SetText(
        L"procedure OzetBeforePrint(Sender: TqvxComponent);\n"
        L"var ds: TqvxDataSet; band: TqvxBand;\n"
        L"begin\n"
        L"  ds := Report.GetDataset('Sinif');\n"
        L"  band := TqvxBand(Sender.Parent);\n"
        L"  TqvxMemoView(Sender).Text := IntToStr(ds.RecNo + 1) + '/' + IntToStr(ds.RecordCount) + ' ' +\n"
        L"    ds.DisplayText['kod'] + ' ' + band.Name + ' ' + IntToStr(band.Objects.Count) + ' ' +\n"
        L"    SinifAdi.Value + ' ' + IntToStr(ds.FieldType['sıra']) +\n"
        L"    IntToStr(Report.GetDataset('Ogrenci').FieldType['Adı']) + ' ' +\n"
        L"    Report.Variables['Okul'] + ' ' + qvxGlobalVariables['Dönem'] + ' [Sinif.\"sıra\"]' +\n"
        L"    ' ' + TqvxMemoView(Report.FindObject('Baslik')).Text\n"
        L"end;\n"
        L"begin end.");
    report_->OnBeginDoc = [this](rtl::TObject*) { compiled_ = false; };
    report_->OnBeforePrint = [this](TqvxReportComponent* sender) {
      if (sender->OnBeforePrint.empty()) return;
      TwzScript* script = report_->Script();
      if (!compiled_) {
        script->ClearItems(nullptr);
        compiled_ = script->Compile();
        if (!compiled_) throw rtl::Exception(script->ErrorMsg() + L" at " + script->ErrorPos());
      }
      script->CallFunction(sender->OnBeforePrint, rtl::VarArrayOf({Variant::FromObject(sender)}));
      ++calls_;
    };
  }
  void TearDown() override {
    qvxGlobalVariables().DeleteVariable(L"Dönem");
    EngineFixture::TearDown();
  }

  TqvxMasterData* master_ = nullptr;
  bool compiled_ = false;
  int calls_ = 0;
};

TEST_F(ScriptedRun, TheScriptReadsTheReportAndRewritesATextBeforeItPrints) {
  Build();
  ASSERT_TRUE(Prepare()) << Utf8(report_->Errors()->Text());
  EXPECT_EQ(calls_, 3);
  ASSERT_EQ(pages_->GetCount(), 1);
  const TRecordedPage& page = pages_->Pages[0];
  const wchar_t* codes[] = {L"9-A", L"9-B", L"10-Ç"};
  const wchar_t* names[] = {L"Dokuzuncu sınıf A şubesi", L"Dokuzuncu sınıf B şubesi", L"Onuncu sınıf Ç şubesi"};
  std::vector<String> summaries, dates;
  for (const auto& o : page.Objects) {
    if (o.Name == L"Ozet") summaries.push_back(o.Text);
    if (o.Name == L"Tarih") dates.push_back(o.Text);
  }
  ASSERT_EQ(summaries.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    // The text the script wrote, its bracketed field expanded when it printed.
    EXPECT_EQ(summaries[static_cast<size_t>(i)], rtl::IntToStr(i + 1) + L"/3 " + codes[i] + L" MasterData1 3 " +
                                                     names[i] + L" 01 Işıklar Lisesi 2026 Güz " + rtl::IntToStr(i + 1) +
                                                     L" Sınıflar");
    EXPECT_EQ(dates[static_cast<size_t>(i)], L"7.3 6 " + rtl::IntToStr(i));
  }
  // The template keeps its own text.
  EXPECT_EQ(dynamic_cast<TqvxMemoView*>(report_->FindObject(L"Ozet"))->Text(), L"(boş)\r\n");
}

TEST_F(ScriptedRun, AScriptErrorInTheRunIsReportedAndNothingIsKept) {
  Build();
  report_->ScriptText()->SetText(
      L"procedure OzetBeforePrint(Sender: TqvxComponent);\n"
      L"begin TqvxMemoView(Sender).Text := Report.GetDataset('Yok').DisplayText['kod'] end;\n"
      L"begin end.");
  EXPECT_FALSE(Prepare());
  EXPECT_NE(report_->Errors()->Text().find(L"Cannot call 'DisplayText' of a nil object"), String::npos)
      << Utf8(report_->Errors()->Text());
  EXPECT_EQ(pages_->GetCount(), 0);
}

TEST_F(ScriptedRun, AScriptWalksADatasetOfTheReport) {
  Build();
  ASSERT_TRUE(report_->PrepareScript());
  TwzScript* script = report_->Script();
  String out;
  script->SetAddedBy(this);
  script->AddMethod(L"procedure Print(v: Variant)",
                    [&out](rtl::TObject*, const vcl::TClassInfo*, const String&, TwzMethodHelper* caller) {
                      out += rtl::VarToStr(caller->GetVParam(0)) + L";";
                      return Variant::Null();
                    });
  script->SetAddedBy(nullptr);
  script->SetText(
      L"var ds: TqvxDataSet; L: TStringList; n: Integer;\n"
      L"begin\n"
      L"  ds := Report.GetDataset('sinif'); ds.Open; ds.First; n := 0;\n"
      L"  while not ds.Eof do begin Print(ds.Value['kod'] + '=' + ds.DisplayText['ad']); ds.Next; n := n + 1 end;\n"
      L"  Print(n); Print(ds.RecNo); ds.Prior; Print(ds.Value['sıra']);\n"
      L"  Print(ds.HasField('AD')); Print(ds.HasField('yok')); Print(ds.FieldsCount); Print(ds.RecordCount);\n"
      L"  L := TStringList.Create; ds.GetFieldList(L); Print(L.CommaText); L.Free;\n"
      L"  Print(ds.IsBlobField('kod')); Print(ds.FieldType['sıra'] = fftNumeric); ds.Close\n"
      L"end.");
  ASSERT_TRUE(script->Compile()) << Utf8(script->ErrorMsg());
  script->Execute();
  // Past the end the cursor stays on the last record, so Prior lands on the second; a column declared "text" is a
  // memo, and so a blob, for the data layer.
  EXPECT_EQ(out,
            L"9-A=Dokuzuncu sınıf A şubesi;9-B=Dokuzuncu sınıf B şubesi;10-Ç=Onuncu sınıf Ç şubesi;3;3;2;"
            L"True;False;3;3;kod,ad,sıra;True;True;");
}

TEST_F(ScriptedRun, StoppingTheEngineFromTheScriptEndsTheRun) {
  Build();
  report_->ScriptText()->SetText(
      L"procedure OzetBeforePrint(Sender: TqvxComponent);\n"
      L"begin if Engine.FreeSpace > 0 then TqvxMemoView(Sender).Text := 'yer var';\n"
      L"  if Report.GetDataset('Sinif').RecNo = 1 then Engine.StopReport end;\n"
      L"begin end.");
  EXPECT_FALSE(Prepare());
  EXPECT_EQ(report_->Errors()->Count(), 0) << Utf8(report_->Errors()->Text());
  ASSERT_EQ(pages_->GetCount(), 1);
  std::vector<String> summaries;
  for (const auto& o : pages_->Pages[0].Objects)
    if (o.Name == L"Ozet") summaries.push_back(o.Text);
  EXPECT_EQ(summaries, (std::vector<String>{L"yer var", L"yer var"}));
}

}  // namespace
