#include "report/engine/qvxClassRTTI.h"

#include <functional>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/sysmath.h"
#include "platform/rtl/win.h"
#include "platform/vcl/collection.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/jpeg.h"
#include "platform/vcl/picture.h"
#include "platform/vcl/png.h"
#include "report/engine/qvxEngine.h"
#include "report/engine/qvxExpressions.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxClassFrames.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxClassPages.h"
#include "report/model/qvxClassPictures.h"
#include "report/model/qvxClassViews.h"
#include "report/model/qvxDCtrl.h"
#include "report/model/qvxDMPClass.h"
#include "report/model/qvxDataSets.h"
#include "report/model/qvxDialogPage.h"
#include "report/model/qvxOptions.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxStyles.h"
#include "report/model/qvxVariables.h"
#include "report/pages/qvxOutline.h"
#include "report/pages/qvxPreviewPages.h"
#include "script/wz_iformsrtti.h"

using rtl::String;
using rtl::Variant;

const vcl::TClassInfo* qvxWideStringsClassInfo() {
  static const vcl::TClassInfo* const info =
      vcl::detail::MakeClass(L"TWideStrings", vcl::StaticClassOf<rtl::TPersistent>(), [](vcl::TClassInfo&) {});
  return info;
}

const vcl::TClassInfo* qvxOutlineClassInfo() {
  static const vcl::TClassInfo* const info =
      vcl::detail::MakeClass(L"TqvxOutline", TqvxCustomOutline::StaticClass(), [](vcl::TClassInfo&) {});
  return info;
}

TwzRTTIModuleClass qvxClassRTTIModule() { return &wzCreateRTTIModule<qvxClassRTTI::TFunctions>; }

namespace {

// The fifth module: after the form bindings, whose classes it names as ancestors, and before the dialog bindings.
// Taken out again at shut-down, while the list still exists.
struct TModuleEntry {
  TModuleEntry() { wzRegisterRTTIModuleAfter(qvxClassRTTIModule(), wzFormsModule()); }
  ~TModuleEntry() { wzUnregisterRTTIModule(qvxClassRTTIModule()); }
};

const TModuleEntry moduleEntry;

// A pointer list the module keeps for a script; freed by the script, it tells the module so.
class TKeptList : public rtl::TList {
 public:
  explicit TKeptList(std::function<void()> onFree) : FOnFree(std::move(onFree)) {}
  ~TKeptList() override {
    if (FOnFree) FOnFree();
  }
  void Forget() { FOnFree = nullptr; }

 private:
  std::function<void()> FOnFree;
};

// An 8-bit text as scripts see it (its characters are those of the process's code page).
Variant AnsiResult(const String& text) { return Variant::FromString(text, rtl::varString); }
Variant WideResult(const String& text) { return Variant::FromString(text, rtl::varOleStr); }

// A date part by the platform's date formatting of the argument, read back as a number.
Variant DatePart(TwzMethodHelper* caller, const wchar_t* pattern) {
  const double value = caller->GetVParam(0).AsDouble();
  return Variant(rtl::StrToInt(rtl::FormatDateTime(pattern, value)));
}

}  // namespace

namespace qvxClassRTTI {

TFunctions::TFunctions(TwzScript* aScript) : TwzRTTIModule(aScript) {
  TwzScript* s = aScript;
  TwzCallMethodNewEvent call = [this](rtl::TObject* instance, const vcl::TClassInfo* cls, const String& name,
                                      TwzMethodHelper* caller) { return CallMethod(instance, cls, name, caller); };
  TwzGetValueEvent get = [this](rtl::TObject* instance, const vcl::TClassInfo* cls, const String& name) {
    return GetProp(instance, cls, name);
  };
  TwzSetValueEvent set = [this](rtl::TObject* instance, const vcl::TClassInfo* cls, const String& name,
                                const Variant& value) { SetProp(instance, cls, name, value); };

  // The library's own typed constants; a constant takes the kind of its type name, so the integer ones come out
  // as floating values under "Extended".
  s->AddConst(L"qv01cm", L"Extended", Variant(static_cast<double>(qv01cm)));
  s->AddConst(L"qv1cm", L"Extended", Variant(static_cast<double>(qv1cm)));
  s->AddConst(L"qv01in", L"Extended", Variant(static_cast<double>(qv01in)));
  s->AddConst(L"qv1in", L"Extended", Variant(qv1in));
  s->AddConst(L"qv1CharX", L"Extended", Variant(static_cast<double>(qv1CharX)));
  s->AddConst(L"qv1CharY", L"Extended", Variant(qv1CharY));
  s->AddConst(L"clTransparent", L"Integer", Variant(static_cast<int>(clTransparent)));
  s->AddConst(L"crHand", L"Integer", Variant(150));
  s->AddConst(L"crZoom", L"Integer", Variant(151));
  s->AddConst(L"crFormat", L"Integer", Variant(152));

  s->AddEnum(L"TqvxStretchMode", L"smDontStretch, smActualHeight, smMaxHeight");
  s->AddEnum(L"TqvxShiftMode", L"smDontShift, smAlways, smWhenOverlapped");
  s->AddEnum(L"TqvxDuplexMode", L"dmNone, dmVertical, dmHorizontal, dmSimplex");
  s->AddEnum(L"TqvxAlign", L"baNone, baLeft, baRight, baCenter, baWidth, baBottom, baClient");
  s->AddEnum(L"TqvxFrameStyle", L"fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble");
  s->AddEnumSet(L"TqvxFrameTypes", L"ftLeft, ftRight, ftTop, ftBottom");
  s->AddEnum(L"TqvxHAlign", L"haLeft, haRight, haCenter, haBlock");
  s->AddEnum(L"TqvxVAlign", L"vaTop, vaBottom, vaCenter");
  s->AddEnumSet(L"TqvxRestrictions", L"rfDontModify, rfDontSize, rfDontMove, rfDontDelete");
  s->AddEnum(L"TqvxShapeKind",
             L"skRectangle, skRoundRectangle, skEllipse, skTriangle, skDiamond, skDiagonal1, skDiagonal2");
  // The preview buttons as the preview options' Buttons property holds them, so that each name selects the button
  // of that name; pbTree, the outline button's other name, selects the outline.
  {
    const auto& names = vcl::EnumInfoOf<TqvxPreviewButton>().Names();
    String list;
    for (const String& n : names) list += (list.empty() ? L"" : L", ") + n;
    s->AddEnumSet(L"TqvxPreviewButtons", list);
    s->AddConst(L"pbTree", L"TqvxPreviewButtons", Variant(1 << static_cast<int>(pbOutline)));
  }
  s->AddEnum(L"TqvxZoomMode", L"zmDefault, zmWholePage, zmPageWidth, zmManyPages");
  s->AddEnum(L"TqvxPrintPages", L"ppAll, ppOdd, ppEven");
  s->AddEnumSet(L"TqvxDMPFontStyles",
                L"fsxBold, fsxItalic, fsxUnderline, fsxSuperScript, fsxSubScript, fsxCondensed, fsxWide, fsx12cpi, "
                L"fsx15cpi");
  s->AddEnum(L"TqvxRangeBegin", L"rbFirst, rbCurrent");
  s->AddEnum(L"TqvxRangeEnd", L"reLast, reCurrent, reCount");
  s->AddEnum(L"TqvxFieldType", L"fftNumeric, fftString, fftBoolean");
  s->AddEnum(L"TqvxFormatKind", L"fkText, fkNumeric, fkDateTime, fkBoolean");
  s->AddEnum(L"TqvxFillType", L"ftBrush, ftGradient, ftGlass");

  s->AddClass(vcl::TJPEGImage::StaticClass(), L"TGraphic");
  s->AddClass(vcl::TPngImage::StaticClass(), L"TGraphic");
  s->AddClass(TqvxHyperlink::StaticClass(), L"TPersistent");
  s->AddClass(TqvxCustomFill::StaticClass(), L"TPersistent");
  s->AddClass(TqvxBrushFill::StaticClass(), L"TqvxCustomFill");
  s->AddClass(TqvxGradientFill::StaticClass(), L"TqvxCustomFill");
  s->AddClass(TqvxGlassFill::StaticClass(), L"TqvxCustomFill");
  // Wide string lists only on top of the persistent class of the class bindings; without it they and their
  // members are left out.
  if (s->FindClass(L"TPersistent"))
    if (TwzClassVariable* c = s->AddClass(qvxWideStringsClassInfo(), L"TPersistent")) {
      c->AddConstructor(L"constructor Create", call);
      c->AddMethod(L"function Add(const S: string): Integer", call);
      c->AddMethod(L"function AddObject(const S: string; AObject: TObject): Integer", call);
      c->AddMethod(L"procedure Clear", call);
      c->AddMethod(L"procedure Delete(Index: Integer)", call);
      c->AddMethod(L"function IndexOf(const S: string): Integer", call);
      c->AddMethod(L"procedure Insert(Index: Integer; const S: string)", call);
      c->AddMethod(L"procedure LoadFromFile(const FileName: string)", call);
      c->AddMethod(L"procedure LoadFromStream(Stream: TStream)", call);
      c->AddMethod(L"procedure SaveToFile(const FileName: string)", call);
      c->AddMethod(L"procedure SaveToStream(Stream: TStream)", call);
      c->AddProperty(L"Count", L"Integer", get);
      c->AddIndexProperty(L"Objects", L"Integer", L"TObject", call, false);
      c->AddDefaultProperty(L"Strings", L"Integer", L"string", call, false);
      c->AddProperty(L"Text", L"string", get, set);
    }
  // A second time, as the module always did: a class the script knows is not registered again.
  s->AddClass(TqvxCustomFill::StaticClass(), L"TPersistent");
  s->AddClass(TqvxGlassFill::StaticClass(), L"TqvxCustomFill");
  s->AddClass(TqvxBrushFill::StaticClass(), L"TqvxCustomFill");
  s->AddClass(TqvxGradientFill::StaticClass(), L"TqvxCustomFill");

  if (TwzClassVariable* c = s->AddClass(TqvxDataSet::StaticClass(), L"TComponent")) {
    c->AddMethod(L"procedure Open", call);
    c->AddMethod(L"procedure Close", call);
    c->AddMethod(L"procedure First", call);
    c->AddMethod(L"procedure Next", call);
    c->AddMethod(L"procedure Prior", call);
    c->AddMethod(L"function Eof: Boolean", call);
    c->AddMethod(L"function FieldsCount: Integer", call);
    c->AddMethod(L"function RecordCount: Integer", call);
    c->AddMethod(L"function IsBlobField(const fName: String): Boolean", call);
    c->AddMethod(L"procedure GetFieldList(List: TStrings)", call);
    c->AddMethod(L"function HasField(const fName: String): Boolean", call);
    c->AddProperty(L"RecNo", L"Integer", get);
    c->AddIndexProperty(L"DisplayText", L"String", L"String", call, true);
    c->AddIndexProperty(L"DisplayWidth", L"String", L"Integer", call, true);
    c->AddIndexProperty(L"FieldType", L"String", L"TqvxFieldType", call, true);
    c->AddIndexProperty(L"Value", L"String", L"Variant", call, true);
  }
  s->AddClass(TqvxUserDataSet::StaticClass(), L"TqvxDataSet");
  s->AddClass(TqvxCustomDBDataSet::StaticClass(), L"TqvxDataSet");

  if (TwzClassVariable* c = s->AddClass(TqvxComponent::StaticClass(), L"TComponent")) {
    c->AddMethod(L"procedure Clear", call);
    c->AddMethod(L"function FindObject(s: String): TqvxComponent", call);
    c->AddMethod(L"procedure LoadFromStream(Stream: TStream)", call);
    c->AddMethod(L"procedure SaveToStream(Stream: TStream; SaveChildren: Boolean = True)", call);
    c->AddMethod(L"procedure SetBounds(ALeft, ATop, AWidth, AHeight: Extended)", call);
    c->AddProperty(L"Objects", L"TList", get);
    c->AddProperty(L"AllObjects", L"TList", get);
    c->AddProperty(L"Parent", L"TqvxComponent", get, set);
    c->AddProperty(L"Page", L"TqvxPage", get);
    c->AddProperty(L"AbsLeft", L"Extended", get);
    c->AddProperty(L"AbsTop", L"Extended", get);
  }
  s->AddClass(TqvxReportComponent::StaticClass(), L"TqvxComponent");
  s->AddClass(TqvxDialogComponent::StaticClass(), L"TqvxReportComponent");
  if (TwzClassVariable* c = s->AddClass(TqvxDialogControl::StaticClass(), L"TqvxReportComponent"))
    c->AddMethod(L"procedure SetFocus", call);
  s->AddClass(TqvxFrameLine::StaticClass(), L"TPersistent");
  s->AddClass(TqvxFrame::StaticClass(), L"TPersistent");
  if (TwzClassVariable* c = s->AddClass(TqvxView::StaticClass(), L"TqvxReportComponent"))
    c->AddProperty(L"TagStr", L"String", get, set);
  s->AddClass(TqvxShapeView::StaticClass(), L"TqvxView");
  if (TwzClassVariable* c = s->AddClass(TqvxStretcheable::StaticClass(), L"TqvxView"))
    c->AddMethod(L"function CalcHeight: Extended", call);
  s->AddClass(TqvxHighlight::StaticClass(), L"TPersistent");
  s->AddClass(TqvxFormat::StaticClass(), L"TPersistent");
  if (TwzClassVariable* c = s->AddClass(TqvxCustomMemoView::StaticClass(), L"TqvxStretcheable")) {
    c->AddMethod(L"function CalcWidth: Extended", call);
    c->AddProperty(L"Text", L"String", get, set);
    c->AddProperty(L"AnsiText", L"String", get, set);
    c->AddProperty(L"Lines", L"TWideStrings", get, set);
    c->AddProperty(L"Value", L"Variant", get);
  }
  s->AddClass(TqvxMemoView::StaticClass(), L"TqvxCustomMemoView");
  s->AddClass(TqvxSysMemoView::StaticClass(), L"TqvxCustomMemoView");
  s->AddClass(TqvxDMPMemoView::StaticClass(), L"TqvxCustomMemoView");
  s->AddClass(TqvxCustomLineView::StaticClass(), L"TqvxStretcheable");
  s->AddClass(TqvxLineView::StaticClass(), L"TqvxCustomLineView");
  s->AddClass(TqvxDMPLineView::StaticClass(), L"TqvxCustomLineView");
  s->AddClass(TqvxDMPCommand::StaticClass(), L"TqvxView");
  if (TwzClassVariable* c = s->AddClass(TqvxPictureView::StaticClass(), L"TqvxView"))
    c->AddMethod(L"procedure LoadFromFile(filename: String)", call);
  s->AddClass(TqvxSubreport::StaticClass(), L"TqvxView");

  if (TwzClassVariable* c = s->AddClass(TqvxBand::StaticClass(), L"TqvxReportComponent"))
    c->AddProperty(L"Overflow", L"Boolean", get);
  s->AddClass(TqvxDataBand::StaticClass(), L"TqvxBand");
  s->AddClass(TqvxHeader::StaticClass(), L"TqvxBand");
  s->AddClass(TqvxFooter::StaticClass(), L"TqvxBand");
  for (const vcl::TClassInfo* cls :
       {TqvxMasterData::StaticClass(), TqvxDetailData::StaticClass(), TqvxSubdetailData::StaticClass(),
        TqvxDataBand4::StaticClass(), TqvxDataBand5::StaticClass(), TqvxDataBand6::StaticClass()})
    s->AddClass(cls, L"TqvxDataBand");
  for (const vcl::TClassInfo* cls :
       {TqvxPageHeader::StaticClass(), TqvxPageFooter::StaticClass(), TqvxColumnHeader::StaticClass(),
        TqvxColumnFooter::StaticClass(), TqvxGroupHeader::StaticClass(), TqvxGroupFooter::StaticClass(),
        TqvxReportTitle::StaticClass(), TqvxReportSummary::StaticClass(), TqvxChild::StaticClass(),
        TqvxOverlay::StaticClass()})
    s->AddClass(cls, L"TqvxBand");

  s->AddClass(TqvxPage::StaticClass(), L"TqvxComponent");
  s->AddClass(TqvxReportPage::StaticClass(), L"TqvxPage");
  if (TwzClassVariable* c = s->AddClass(TqvxDialogPage::StaticClass(), L"TqvxPage")) {
    c->AddMethod(L"function ShowModal: Integer", call);
    c->AddProperty(L"ModalResult", L"Integer", get, set);
  }
  s->AddClass(TqvxDMPPage::StaticClass(), L"TqvxReportPage");
  s->AddClass(TqvxDataPage::StaticClass(), L"TqvxPage");

  if (TwzClassVariable* c = s->AddClass(TqvxEngineOptions::StaticClass(), L"TPersistent"))
    c->AddProperty(L"DestroyForms", L"Boolean", get, set);
  s->AddClass(TqvxPrintOptions::StaticClass(), L"TPersistent");
  s->AddClass(TqvxPreviewOptions::StaticClass(), L"TPersistent");
  s->AddClass(TqvxReportOptions::StaticClass(), L"TPersistent");
  s->AddClass(TqvxVariable::StaticClass(), L"TCollectionItem");
  if (TwzClassVariable* c = s->AddClass(TqvxVariables::StaticClass(), L"TCollection")) {
    c->AddConstructor(L"constructor Create", call);
    c->AddDefaultProperty(L"Variables", L"String", L"Variant", call, false);
  }
  s->AddClass(TqvxStyleItem::StaticClass(), L"TCollectionItem");
  if (TwzClassVariable* c = s->AddClass(TqvxStyles::StaticClass(), L"TCollection")) {
    c->AddConstructor(L"constructor Create(AReport: TqvxReport)", call);
    c->AddDefaultProperty(L"Items", L"Integer", L"TqvxStyleItem", call, false);
    c->AddMethod(L"function Add: TqvxStyleItem", call);
    c->AddMethod(L"function Find(const Name: String): TqvxStyleItem", call);
    c->AddMethod(L"procedure Apply", call);
    c->AddMethod(L"procedure GetList(List: TStrings)", call);
    c->AddMethod(L"procedure LoadFromFile(const FileName: String)", call);
    c->AddMethod(L"procedure LoadFromStream(Stream: TStream)", call);
    c->AddMethod(L"procedure SaveToFile(const FileName: String)", call);
    c->AddMethod(L"procedure SaveToStream(Stream: TStream)", call);
  }
  if (TwzClassVariable* c = s->AddClass(TqvxArray::StaticClass(), L"TCollection")) {
    c->AddConstructor(L"constructor Create", call);
    c->AddDefaultProperty(L"Variables", L"Variant", L"Variant", call, false);
  }

  s->AddObject(L"qvxGlobalVariables", &qvxGlobalVariables());

  if (TwzClassVariable* c = s->AddClass(TqvxReport::StaticClass(), L"TqvxComponent")) {
    c->AddMethod(L"function Calc(const Expr: String): Variant", call);
    c->AddMethod(L"function GetDataset(const Alias: String): TqvxDataset", call);
    c->AddMethod(L"function LoadFromFile(const FileName: String): Boolean", call);
    c->AddMethod(L"procedure SaveToFile(const FileName: String)", call);
    c->AddMethod(L"procedure ShowReport", call);
    c->AddProperty(L"Terminated", L"Boolean", get, set);
    c->AddProperty(L"Variables", L"TqvxVariables", get);
    c->AddProperty(L"Styles", L"TqvxStyles", get);
  }
  if (TwzClassVariable* c = s->AddClass(TqvxCustomEngine::StaticClass(), L"TPersistent")) {
    c->AddMethod(L"procedure AddAnchor(const Text: String)", call);
    c->AddMethod(L"procedure NewPage", call);
    c->AddMethod(L"procedure NewColumn", call);
    c->AddMethod(L"procedure ShowBand(Band: TqvxBand)", call);
    c->AddMethod(L"procedure StopReport", call);
    c->AddMethod(L"function FreeSpace: Extended", call);
    c->AddMethod(L"function GetAnchorPage(const Text: String): Integer", call);
  }
  s->AddClass(TqvxEngine::StaticClass(), L"TqvxCustomEngine");
  if (TwzClassVariable* c = s->AddClass(TqvxCustomOutline::StaticClass(), L"TPersistent")) {
    c->AddMethod(L"procedure AddItem(const Text: String)", call);
    c->AddMethod(L"procedure LevelRoot", call);
    c->AddMethod(L"procedure LevelUp", call);
  }
  s->AddClass(qvxOutlineClassInfo(), L"TqvxCustomOutline");

  s->AddMethod(L"function DayOf(Date: TDateTime): Integer", call, L"ctDate");
  s->AddMethod(L"function MonthOf(Date: TDateTime): Integer", call, L"ctDate");
  s->AddMethod(L"function YearOf(Date: TDateTime): Integer", call, L"ctDate");
  // Declared so that every report script compiles with them; the report registers the working ones later.
  s->AddMethod(L"function IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant", call, L"ctOther");
  for (const wchar_t* fn : {L"SUM", L"AVG", L"MIN", L"MAX"})
    s->AddMethod(String(L"function ") + fn + L"(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant", call,
                 L"ctAggregate");
  s->AddMethod(L"function COUNT(Band: Variant = 0; Flags: Integer = 0): Variant", call, L"ctAggregate");
}

TFunctions::~TFunctions() {
  FreeLists(FObjectLists);
  FreeLists(FAllObjectLists);
}

void TFunctions::FreeLists(TListMap& lists) {
  TListMap kept;
  kept.swap(lists);
  for (auto& [owner, list] : kept) {
    static_cast<TKeptList*>(list)->Forget();
    list->Free();
  }
}

rtl::TList* TFunctions::ListOf(TListMap& lists, const TqvxComponent* owner, const std::vector<TqvxComponent*>& items) {
  rtl::TList*& list = lists[owner];
  if (!list) list = new TKeptList([&lists, owner] { lists.erase(owner); });
  list->Clear();
  for (TqvxComponent* item : items) list->Add(static_cast<rtl::TObject*>(item));
  return list;
}

// --- methods

Variant TFunctions::CallMethod(rtl::TObject* instance, const vcl::TClassInfo* classType, const String& methodName,
                               TwzMethodHelper* caller) {
  if (!classType) return GlobalFunction(methodName, caller);
  if (classType == qvxWideStringsClassInfo()) return WideStringsMethod(instance, methodName, caller);
  if (classType == TqvxDataSet::StaticClass()) return DataSetMethod(instance, methodName, caller);
  if (classType == TqvxComponent::StaticClass() || classType == TqvxDialogControl::StaticClass() ||
      classType == TqvxStretcheable::StaticClass() || classType == TqvxCustomMemoView::StaticClass() ||
      classType == TqvxPictureView::StaticClass() || classType == TqvxDialogPage::StaticClass())
    return ComponentMethod(instance, classType, methodName, caller);
  if (classType == TqvxVariables::StaticClass() || classType == TqvxStyles::StaticClass() ||
      classType == TqvxArray::StaticClass())
    return ListsMethod(instance, classType, methodName, caller);
  if (classType == TqvxReport::StaticClass()) return ReportMethod(instance, methodName, caller);
  if (classType == TqvxCustomEngine::StaticClass() || classType == TqvxCustomOutline::StaticClass())
    return EngineMethod(instance, classType, methodName, caller);
  return Variant(0);
}

Variant TFunctions::GlobalFunction(const String& name, TwzMethodHelper* caller) {
  if (name == L"DAYOF") return DatePart(caller, L"d");
  if (name == L"MONTHOF") return DatePart(caller, L"m");
  if (name == L"YEAROF") return DatePart(caller, L"yyyy");
  // IIF and the aggregates: only declared here.
  return Variant(0);
}

Variant TFunctions::WideStringsMethod(rtl::TObject* instance, const String& name, TwzMethodHelper* caller) {
  if (name == L"CREATE") {
    // Always a list of its own: the class item's instance (if one was made for it) is released by the call.
    return wzObjectResult(new TWideStringList());
  }
  auto* self = wzSelf<rtl::TStrings>(instance, caller);
  if (name == L"ADD") return Variant(self->Add(wzTextArg(caller, 0)));
  if (name == L"ADDOBJECT") return Variant(self->AddObject(wzTextArg(caller, 0), wzObjectArg(caller->GetVParam(1))));
  if (name == L"CLEAR") self->Clear();
  if (name == L"DELETE") self->Delete(wzIntArg(caller, 0));
  if (name == L"INDEXOF") return Variant(self->IndexOf(wzTextArg(caller, 0)));
  if (name == L"INSERT") self->Insert(wzIntArg(caller, 0), wzTextArg(caller, 1));
  if (name == L"LOADFROMFILE") self->LoadFromFile(wzTextArg(caller, 0));
  if (name == L"LOADFROMSTREAM") self->LoadFromStream(*wzArg<rtl::TStream>(caller, 0, L"LoadFromStream"));
  if (name == L"SAVETOFILE") self->SaveToFile(wzTextArg(caller, 0));
  if (name == L"SAVETOSTREAM") self->SaveToStream(*wzArg<rtl::TStream>(caller, 0, L"SaveToStream"));
  if (name == L"OBJECTS.GET") return wzObjectResult(self->Objects(wzIntArg(caller, 0)));
  if (name == L"OBJECTS.SET") self->SetObjects(wzIntArg(caller, 0), wzObjectArg(caller->GetVParam(1)));
  if (name == L"STRINGS.GET") return WideResult(self->Get(wzIntArg(caller, 0)));
  if (name == L"STRINGS.SET") self->Put(wzIntArg(caller, 0), wzTextArg(caller, 1));
  return Variant(0);
}

Variant TFunctions::DataSetMethod(rtl::TObject* instance, const String& name, TwzMethodHelper* caller) {
  auto* self = wzSelf<TqvxDataSet>(instance, caller);
  if (name == L"OPEN") self->Open();
  if (name == L"CLOSE") self->Close();
  if (name == L"FIRST") self->First();
  if (name == L"NEXT") self->Next();
  if (name == L"PRIOR") self->Prior();
  if (name == L"EOF") return Variant(self->Eof());
  if (name == L"FIELDSCOUNT") return Variant(self->FieldsCount());
  if (name == L"RECORDCOUNT") return Variant(self->RecordCount());
  if (name == L"ISBLOBFIELD") return Variant(self->IsBlobField(wzTextArg(caller, 0)));
  if (name == L"GETFIELDLIST") self->GetFieldList(wzArg<rtl::TStrings>(caller, 0, L"GetFieldList"));
  if (name == L"HASFIELD") return Variant(self->HasField(wzTextArg(caller, 0)));
  if (name == L"DISPLAYTEXT.GET") return WideResult(self->GetDisplayText(wzTextArg(caller, 0)));
  if (name == L"DISPLAYWIDTH.GET") return Variant(self->GetDisplayWidth(wzTextArg(caller, 0)));
  if (name == L"FIELDTYPE.GET") return Variant(static_cast<int>(self->GetFieldType(wzTextArg(caller, 0))));
  if (name == L"VALUE.GET") return self->GetValue(wzTextArg(caller, 0));
  return Variant(0);
}

Variant TFunctions::ComponentMethod(rtl::TObject* instance, const vcl::TClassInfo* classType, const String& name,
                                    TwzMethodHelper* caller) {
  if (classType == TqvxComponent::StaticClass()) {
    auto* self = wzSelf<TqvxComponent>(instance, caller);
    if (name == L"CLEAR") self->Clear();
    if (name == L"FINDOBJECT") return wzObjectResult(self->FindObject(wzTextArg(caller, 0)));
    if (name == L"LOADFROMSTREAM") self->LoadFromStream(*wzArg<rtl::TStream>(caller, 0, L"LoadFromStream"));
    if (name == L"SAVETOSTREAM")
      self->SaveToStream(*wzArg<rtl::TStream>(caller, 0, L"SaveToStream"), wzBoolArg(caller, 1), false, false);
    if (name == L"SETBOUNDS")
      self->SetBounds(wzFloatArg(caller, 0), wzFloatArg(caller, 1), wzFloatArg(caller, 2), wzFloatArg(caller, 3));
  } else if (classType == TqvxDialogControl::StaticClass()) {
    auto* self = wzSelf<TqvxDialogControl>(instance, caller);
    if (name == L"SETFOCUS")
      if (auto* control = dynamic_cast<vcl::TWinControl*>(self->Control())) control->SetFocus();
  } else if (classType == TqvxStretcheable::StaticClass()) {
    if (name == L"CALCHEIGHT")
      return Variant(static_cast<double>(wzSelf<TqvxStretcheable>(instance, caller)->CalcHeight()));
  } else if (classType == TqvxCustomMemoView::StaticClass()) {
    if (name == L"CALCWIDTH")
      return Variant(static_cast<double>(wzSelf<TqvxCustomMemoView>(instance, caller)->CalcWidth()));
  } else if (classType == TqvxPictureView::StaticClass()) {
    if (name == L"LOADFROMFILE") {
      auto* self = wzSelf<TqvxPictureView>(instance, caller);
      self->Picture()->LoadFromFile(wzTextArg(caller, 0));
      self->PictureChanged();
    }
  } else if (classType == TqvxDialogPage::StaticClass()) {
    if (name == L"SHOWMODAL") return Variant(static_cast<int>(wzSelf<TqvxDialogPage>(instance, caller)->ShowModal()));
  }
  return Variant(0);
}

Variant TFunctions::ListsMethod(rtl::TObject* instance, const vcl::TClassInfo* classType, const String& name,
                                TwzMethodHelper* caller) {
  if (classType == TqvxVariables::StaticClass()) {
    if (name == L"CREATE") {
      // The registry built the list with its constructor already; one is made here only when it could not.
      if (instance) return wzObjectResult(wzSelf<TqvxVariables>(instance, caller));
      return wzObjectResult(new TqvxVariables());
    }
    auto* self = wzSelf<TqvxVariables>(instance, caller);
    if (name == L"VARIABLES.GET") return self->GetVariable(wzTextArg(caller, 0));
    if (name == L"VARIABLES.SET") self->SetVariable(wzTextArg(caller, 0), caller->GetVParam(1));
  } else if (classType == TqvxArray::StaticClass()) {
    if (name == L"CREATE") {
      if (instance) return wzObjectResult(wzSelf<TqvxArray>(instance, caller));
      return wzObjectResult(new TqvxArray());
    }
    auto* self = wzSelf<TqvxArray>(instance, caller);
    if (name == L"VARIABLES.GET") return self->GetVariable(caller->GetVParam(0));
    if (name == L"VARIABLES.SET") self->SetVariable(caller->GetVParam(0), caller->GetVParam(1));
  } else if (classType == TqvxStyles::StaticClass()) {
    if (name == L"CREATE") {
      // The sheet belongs to the report it is made for; the instance the registry made without one goes back.
      auto* report = wzArg<TqvxReport>(caller, 0, L"Create", true);
      return wzObjectResult(new TqvxStyles(report));
    }
    auto* self = wzSelf<TqvxStyles>(instance, caller);
    if (name == L"ITEMS.GET") return wzObjectResult(self->Items(wzIntArg(caller, 0)));
    // A style cannot be replaced through the list: the assignment is accepted and changes nothing.
    if (name == L"ITEMS.SET") return Variant(0);
    if (name == L"ADD") return wzObjectResult(self->Add());
    if (name == L"FIND") return wzObjectResult(self->Find(wzTextArg(caller, 0)));
    if (name == L"APPLY") self->Apply();
    if (name == L"GETLIST") self->GetList(wzArg<rtl::TStrings>(caller, 0, L"GetList"));
    if (name == L"LOADFROMFILE") self->LoadFromFile(wzTextArg(caller, 0));
    if (name == L"LOADFROMSTREAM") self->LoadFromStream(*wzArg<rtl::TStream>(caller, 0, L"LoadFromStream"));
    if (name == L"SAVETOFILE") self->SaveToFile(wzTextArg(caller, 0));
    if (name == L"SAVETOSTREAM") self->SaveToStream(*wzArg<rtl::TStream>(caller, 0, L"SaveToStream"));
  }
  return Variant(0);
}

Variant TFunctions::ReportMethod(rtl::TObject* instance, const String& name, TwzMethodHelper* caller) {
  auto* self = wzSelf<TqvxReport>(instance, caller);
  // The report's own script, and a failure raised rather than collected.
  if (name == L"CALC") return self->Calc(wzTextArg(caller, 0), qvxScriptCall);
  if (name == L"GETDATASET") return wzObjectResult(self->GetDataset(wzTextArg(caller, 0)));
  if (name == L"LOADFROMFILE") return Variant(self->LoadFromFile(wzTextArg(caller, 0)));
  if (name == L"SAVETOFILE") self->SaveToFile(wzTextArg(caller, 0));
  if (name == L"SHOWREPORT") self->ShowReport(true);
  return Variant(0);
}

Variant TFunctions::EngineMethod(rtl::TObject* instance, const vcl::TClassInfo* classType, const String& name,
                                 TwzMethodHelper* caller) {
  if (classType == TqvxCustomOutline::StaticClass()) {
    auto* self = wzSelf<TqvxCustomOutline>(instance, caller);
    if (name == L"ADDITEM") {
      TqvxCustomEngine* engine = self->Engine();
      const Extended y = engine ? engine->CurY : 0;
      self->AddItem(wzTextArg(caller, 0), static_cast<rtl::Integer>(rtl::Round(static_cast<double>(y))));
    }
    if (name == L"LEVELROOT") self->LevelRoot();
    if (name == L"LEVELUP") self->LevelUp();
    return Variant(0);
  }
  auto* self = wzSelf<TqvxCustomEngine>(instance, caller);
  if (name == L"ADDANCHOR" || name == L"GETANCHORPAGE") {
    // Anchors live in the prepared pages of the pages layer; any other store keeps none.
    auto* pages = dynamic_cast<TqvxPreviewPages*>(self->PreviewPages());
    if (!pages) throw EwzScriptError(L"'" + caller->Name() + L"' needs the engine's prepared pages");
    if (name == L"ADDANCHOR") pages->AddAnchor(wzTextArg(caller, 0));
    if (name == L"GETANCHORPAGE") return Variant(pages->GetAnchorPage(wzTextArg(caller, 0)));
  }
  if (name == L"NEWPAGE") self->NewPage();
  if (name == L"NEWCOLUMN") self->NewColumn();
  if (name == L"SHOWBAND") self->ShowBand(wzArg<TqvxBand>(caller, 0, L"ShowBand"));
  if (name == L"STOPREPORT") self->StopReport();
  if (name == L"FREESPACE") return Variant(static_cast<double>(self->FreeSpace()));
  return Variant(0);
}

// --- properties

Variant TFunctions::GetProp(rtl::TObject* instance, const vcl::TClassInfo* classType, const String& propName) {
  if (classType == qvxWideStringsClassInfo()) {
    auto* self = wzSelf<rtl::TStrings>(instance, propName);
    if (propName == L"COUNT") return Variant(self->Count());
    if (propName == L"TEXT") return WideResult(self->Text());
  } else if (classType == TqvxDataSet::StaticClass()) {
    if (propName == L"RECNO") return Variant(wzSelf<TqvxDataSet>(instance, propName)->RecNo());
  } else if (classType == TqvxComponent::StaticClass()) {
    auto* self = wzSelf<TqvxComponent>(instance, propName);
    if (propName == L"OBJECTS") return wzObjectResult(ListOf(FObjectLists, self, self->Objects()));
    if (propName == L"ALLOBJECTS") return wzObjectResult(ListOf(FAllObjectLists, self, self->GetAllObjects()));
    if (propName == L"PARENT") return wzObjectResult(self->Parent());
    if (propName == L"PAGE") return wzObjectResult(self->Page());
    if (propName == L"ABSLEFT") return Variant(static_cast<double>(self->AbsLeft()));
    if (propName == L"ABSTOP") return Variant(static_cast<double>(self->AbsTop()));
  } else if (classType == TqvxView::StaticClass()) {
    if (propName == L"TAGSTR") return Variant(wzSelf<TqvxView>(instance, propName)->TagStr);
  } else if (classType == TqvxCustomMemoView::StaticClass()) {
    auto* self = wzSelf<TqvxCustomMemoView>(instance, propName);
    if (propName == L"TEXT") return WideResult(self->Text());
    if (propName == L"ANSITEXT") return AnsiResult(self->AnsiText());
    if (propName == L"LINES") return wzObjectResult(self->Lines());
    if (propName == L"VALUE") return self->Value();
  } else if (classType == TqvxBand::StaticClass()) {
    if (propName == L"OVERFLOW") return Variant(wzSelf<TqvxBand>(instance, propName)->Overflow);
  } else if (classType == TqvxDialogPage::StaticClass()) {
    if (propName == L"MODALRESULT")
      return Variant(static_cast<int>(wzSelf<TqvxDialogPage>(instance, propName)->ModalResult()));
  } else if (classType == TqvxEngineOptions::StaticClass()) {
    if (propName == L"DESTROYFORMS") return Variant(wzSelf<TqvxEngineOptions>(instance, propName)->DestroyForms);
  } else if (classType == TqvxReport::StaticClass()) {
    auto* self = wzSelf<TqvxReport>(instance, propName);
    if (propName == L"TERMINATED") return Variant(self->Terminated());
    if (propName == L"VARIABLES") return wzObjectResult(self->Variables());
    if (propName == L"STYLES") return wzObjectResult(self->Styles());
  }
  return Variant(0);
}

void TFunctions::SetProp(rtl::TObject* instance, const vcl::TClassInfo* classType, const String& propName,
                         const Variant& value) {
  if (classType == qvxWideStringsClassInfo()) {
    if (propName == L"TEXT") wzSelf<rtl::TStrings>(instance, propName)->SetText(value.AsString());
  } else if (classType == TqvxComponent::StaticClass()) {
    if (propName == L"PARENT") {
      auto* self = wzSelf<TqvxComponent>(instance, propName);
      rtl::TObject* obj = wzObjectArg(value);
      auto* parent = dynamic_cast<TqvxComponent*>(obj);
      if (obj && !parent) throw EwzScriptError(L"A " + obj->ClassName() + L" cannot be the parent of a report object");
      self->SetParent(parent);
    }
  } else if (classType == TqvxView::StaticClass()) {
    if (propName == L"TAGSTR") wzSelf<TqvxView>(instance, propName)->TagStr = value.AsString();
  } else if (classType == TqvxCustomMemoView::StaticClass()) {
    auto* self = wzSelf<TqvxCustomMemoView>(instance, propName);
    if (propName == L"TEXT") {
      // An 8-bit text for a memo of another character set is read in that set's code page.
      if (self->Font()->Charset() != DEFAULT_CHARSET && value.Deref().VarType() == rtl::varString)
        self->SetAnsiText(value.AsString());
      else
        self->SetText(value.AsString());
    }
    if (propName == L"ANSITEXT") self->SetAnsiText(value.AsString());
    if (propName == L"LINES") {
      rtl::TObject* obj = wzObjectArg(value);
      auto* lines = dynamic_cast<rtl::TStrings*>(obj);
      if (!lines)
        throw EwzScriptError(L"'Lines' takes a list of lines, not " + (obj ? obj->ClassName() : String(L"nil")));
      self->Lines()->Assign(lines);
    }
  } else if (classType == TqvxDialogPage::StaticClass()) {
    if (propName == L"MODALRESULT") wzSelf<TqvxDialogPage>(instance, propName)->SetModalResult(value.AsInteger());
  } else if (classType == TqvxEngineOptions::StaticClass()) {
    if (propName == L"DESTROYFORMS") wzSelf<TqvxEngineOptions>(instance, propName)->DestroyForms = value.AsBoolean();
  } else if (classType == TqvxReport::StaticClass()) {
    if (propName == L"TERMINATED") wzSelf<TqvxReport>(instance, propName)->SetTerminated(value.AsBoolean());
  }
}

}  // namespace qvxClassRTTI
