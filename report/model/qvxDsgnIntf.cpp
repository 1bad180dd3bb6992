#include "report/model/qvxDsgnIntf.h"

#include <algorithm>

#include "platform/rtl/datetime.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/canvas.h"
#include "platform/vcl/colors.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/graphicsobjects.h"
#include "report/model/qvxDCtrl.h"
#include "report/model/qvxDataSets.h"
#include "report/model/qvxPlugins.h"

using rtl::String;

VCL_REGISTER(TqvxObjectItem) {}
VCL_REGISTER(TqvxObjectCollection) {}
VCL_REGISTER(TqvxPropertyEditorItem) {}
VCL_REGISTER(TqvxPropertyEditorCollection) {}
VCL_REGISTER(TqvxExportFilterItem) {}
VCL_REGISTER(TqvxExportFilterCollection) {}

TqvxCustomExportFilter* qvxDotMatrixExport = nullptr;

const wchar_t* const qvxModalResults[15] = {L"mrNone",     L"mrOk",       L"mrCancel", L"mrAbort",   L"mrRetry",
                                            L"mrIgnore",   L"mrYes",      L"mrNo",     L"mrClose",   L"mrHelp",
                                            L"mrTryAgain", L"mrContinue", L"mrAll",    L"mrNoToAll", L"mrYesToAll"};

TqvxObjectCollection& qvxObjects() {
  static TqvxObjectCollection* registry = new TqvxObjectCollection;
  return *registry;
}

TqvxPropertyEditorCollection& qvxPropertyEditors() {
  static TqvxPropertyEditorCollection* registry = new TqvxPropertyEditorCollection;
  return *registry;
}

TqvxExportFilterCollection& qvxExportFilters() {
  static TqvxExportFilterCollection* registry = new TqvxExportFilterCollection;
  return *registry;
}

// ---------------------------------------------------------------------------------------------------------------
// Objects

void TqvxObjectCollection::RegisterObject1(const vcl::TClassInfo* classRef, vcl::TBitmap* buttonBmp,
                                           const String& buttonHint, const String& categoryName, rtl::Word flags,
                                           rtl::Integer imageIndex, TqvxObjectCategories category) {
  for (int i = 0; i < Count(); ++i)
    if (classRef && Items(i)->ClassRef == classRef && Items(i)->Flags == flags) return;
  if (classRef) vcl::RegisterClass(classRef);
  auto* item = Add<TqvxObjectItem>();
  item->ClassRef = classRef;
  item->ButtonBmp = buttonBmp;
  item->ButtonHint = buttonHint;
  item->CategoryName = categoryName;
  item->Flags = flags;
  item->ButtonImageIndex = imageIndex;
  if (classRef && category.Empty()) {
    if (classRef->InheritsFrom(TqvxDataSet::StaticClass()) || classRef->InheritsFrom(TqvxCustomDatabase::StaticClass()))
      category.Include(ctData);
    else if (classRef->InheritsFrom(TqvxDialogControl::StaticClass()) ||
             classRef->InheritsFrom(TqvxDialogComponent::StaticClass()))
      category.Include(ctDialog);
    else
      category.Include(ctReport);
  }
  item->Category = category;
  if (buttonBmp) buttonBmp->Dormant();
}

void TqvxObjectCollection::RegisterObject(const vcl::TClassInfo* classRef, vcl::TBitmap* buttonBmp,
                                          const String& categoryName) {
  RegisterObject1(classRef, buttonBmp, String(), categoryName, 0, -1, TqvxObjectCategories());
}

void TqvxObjectCollection::RegisterCategory(const String& categoryName, vcl::TBitmap* buttonBmp,
                                            const String& buttonHint, rtl::Integer imageIndex) {
  RegisterObject1(nullptr, buttonBmp, buttonHint, categoryName, 0, imageIndex, TqvxObjectCategories());
}

void TqvxObjectCollection::Unregister(const vcl::TClassInfo* classRef) {
  for (int i = Count() - 1; i >= 0; --i)
    if (Items(i)->ClassRef == classRef) delete Items(i);
}

TqvxObjectItem* TqvxObjectCollection::Find(const vcl::TClassInfo* classRef) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->ClassRef == classRef) return Items(i);
  return nullptr;
}

// ---------------------------------------------------------------------------------------------------------------
// Property editor registry

void TqvxPropertyEditorCollection::Register(const String& propertyType, const vcl::TClassInfo* componentClass,
                                            const String& propertyName, const String& editorClass,
                                            TqvxPropertyEditorFactory factory) {
  auto* item = Add<TqvxPropertyEditorItem>();
  item->PropertyType = propertyType;
  item->ComponentClass = componentClass;
  item->PropertyName = propertyName;
  item->EditorClass = editorClass;
  item->Factory = factory;
}

void TqvxPropertyEditorCollection::RegisterEventEditor(const String& editorClass, TqvxPropertyEditorFactory factory) {
  Register(String(), nullptr, String(), editorClass, factory);
  EventEditorItem = Count() - 1;
}

void TqvxPropertyEditorCollection::UnRegister(const String& editorClass) {
  for (int i = Count() - 1; i >= 0; --i)
    if (Items(i)->EditorClass == editorClass) delete Items(i);
}

rtl::Integer TqvxPropertyEditorCollection::GetPropertyEditor(const String& propertyType, rtl::TObject* component,
                                                             const String& propertyName) const {
  const String lower = rtl::LowerCase(propertyType);
  if (lower.size() >= 9 && lower.compare(0, 4, L"tqvx") == 0 && lower.compare(lower.size() - 5, 5, L"event") == 0)
    return EventEditorItem;
  const vcl::TClassInfo* cls = vcl::ClassOf(component);
  rtl::Integer found = -1;
  for (int i = Count() - 1; i >= 0; --i) {
    TqvxPropertyEditorItem* item = Items(i);
    if (!item->ComponentClass) {
      if (item->PropertyType != propertyType || item->PropertyType.empty()) continue;
      if (item->PropertyName.empty())
        found = i;
      else if (rtl::SameText(item->PropertyName, propertyName))
        return i;
    } else if (cls && cls->InheritsFrom(item->ComponentClass) && rtl::SameText(item->PropertyName, propertyName)) {
      return i;
    }
  }
  return found;
}

// ---------------------------------------------------------------------------------------------------------------
// Export filters

void TqvxExportFilterCollection::Register(TqvxCustomExportFilter* filter) {
  if (!filter) return;
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Filter == filter) return;
  Add<TqvxExportFilterItem>()->Filter = filter;
}

void TqvxExportFilterCollection::Unregister(TqvxCustomExportFilter* filter) {
  for (int i = Count() - 1; i >= 0; --i)
    if (Items(i)->Filter == filter) delete Items(i);
}

// ---------------------------------------------------------------------------------------------------------------
// Property editor base

TqvxPropertyEditor::TqvxPropertyEditor(TqvxCustomDesigner* designer)
    : Designer(designer), FValues(std::make_unique<rtl::TStringList>()) {}

TqvxPropertyEditor::~TqvxPropertyEditor() = default;

void TqvxPropertyEditor::Add(rtl::TObject* obj, const vcl::TPropInfo* prop) {
  CompList.push_back(obj);
  PropList.push_back(prop);
}

String TqvxPropertyEditor::Name() const { return PropInfo() ? PropInfo()->Name() : String(); }
rtl::TObject* TqvxPropertyEditor::Component() const { return CompList.empty() ? nullptr : CompList.front(); }
TqvxComponent* TqvxPropertyEditor::qvComponent() const { return dynamic_cast<TqvxComponent*>(Component()); }
const vcl::TPropInfo* TqvxPropertyEditor::PropInfo() const { return PropList.empty() ? nullptr : PropList.front(); }

rtl::Int64 TqvxPropertyEditor::GetOrdValue() const { return PropInfo() ? PropInfo()->GetOrd(Component()) : 0; }
double TqvxPropertyEditor::GetFloatValue() const { return PropInfo() ? PropInfo()->GetFloat(Component()) : 0; }
String TqvxPropertyEditor::GetStrValue() const { return PropInfo() ? PropInfo()->GetStr(Component()) : String(); }

void TqvxPropertyEditor::SetOrdValue(rtl::Int64 value) {
  const bool lock = Designer && !CompList.empty();
  if (lock) Designer->DisableInspectorUpdate();
  for (size_t i = 0; i < CompList.size(); ++i) {
    if (lock && i + 1 == CompList.size()) Designer->EnableInspectorUpdate();
    if (PropList[i]->IsWritable()) PropList[i]->SetOrd(CompList[i], value);
  }
}

void TqvxPropertyEditor::SetFloatValue(double value) {
  for (size_t i = 0; i < CompList.size(); ++i)
    if (PropList[i]->IsWritable()) PropList[i]->SetFloat(CompList[i], value);
}

void TqvxPropertyEditor::SetStrValue(const String& value) {
  for (size_t i = 0; i < CompList.size(); ++i)
    if (PropList[i]->IsWritable()) PropList[i]->SetStr(CompList[i], value);
}

void TqvxPropertyEditor::GetValues() {
  FValues->Clear();
  FValues->SetSorted(GetAttributes().Contains(paSortList));
}

bool TqvxPropertyEditor::Edit() {
  GetValues();
  if (FValues->Count() == 0) return false;
  const int index = FValues->IndexOf(GetValue());
  const int next = index < 0 || index == FValues->Count() - 1 ? 0 : index + 1;
  SetValue(FValues->Strings(next));
  return true;
}

void TqvxPropertyEditor::OnDrawLBItem(vcl::TWinControl* control, rtl::Integer index, const vcl::TRect& rect) {
  auto* custom = dynamic_cast<vcl::TCustomControl*>(control);
  vcl::TCanvas* canvas = custom ? custom->Canvas() : nullptr;
  if (!canvas || index < 0 || index >= FValues->Count()) return;
  canvas->FillRect(rect);
  canvas->TextOut(rect.Left + ItemHeight + 4, rect.Top + 1, FValues->Strings(index));
  canvas->Pen()->SetColor(vcl::clGray);
}

void TqvxPropertyEditor::OnDrawItem(vcl::TCanvas* canvas, const vcl::TRect& rect) {
  if (!canvas) return;
  canvas->TextOut(rect.Left + ItemHeight - 2, rect.Top + 1, GetValue());
  canvas->Pen()->SetColor(vcl::clGray);
}

// ---------------------------------------------------------------------------------------------------------------
// Standard editors

String TqvxIntegerProperty::GetValue() { return rtl::IntToStr(GetOrdValue()); }
void TqvxIntegerProperty::SetValue(const String& value) { SetOrdValue(rtl::StrToInt64(value)); }

TqvxPropertyAttributes TqvxClassProperty::GetAttributes() {
  return TqvxPropertyAttributes{paMultiSelect, paSubProperties, paReadOnly};
}
String TqvxClassProperty::GetValue() { return L"(" + (PropInfo() ? PropInfo()->TypeName() : String()) + L")"; }

TqvxPropertyAttributes TqvxColorProperty::GetAttributes() {
  return TqvxPropertyAttributes{paValueList, paMultiSelect, paOwnerDraw};
}
String TqvxColorProperty::GetValue() { return vcl::ColorToString(static_cast<vcl::TColor>(GetOrdValue())); }
void TqvxColorProperty::SetValue(const String& value) {
  vcl::TColor color = 0;
  if (vcl::IdentToColor(value, color))
    SetOrdValue(color);
  else
    SetOrdValue(rtl::StrToInt64(value));
}
void TqvxColorProperty::GetValues() {
  TqvxPropertyEditor::GetValues();
  vcl::GetColorValues([this](const String& name) { GetStrProc(name); });
}

TqvxPropertyAttributes TqvxFontProperty::GetAttributes() {
  return TqvxPropertyAttributes{paDialog, paMultiSelect, paSubProperties, paReadOnly};
}

TqvxPropertyAttributes TqvxFontNameProperty::GetAttributes() {
  return TqvxPropertyAttributes{paValueList, paSortList, paMultiSelect};
}
void TqvxFontNameProperty::GetValues() {
  TqvxPropertyEditor::GetValues();
  for (const String& name : vcl::Screen->Fonts()) GetStrProc(name);
}

namespace {
const int kCharsets[] = {0, 1, 2, 77, 128, 129, 130, 134, 136, 161, 162, 163, 177, 178, 186, 204, 222, 238, 255};
}

TqvxPropertyAttributes TqvxFontCharsetProperty::GetAttributes() {
  return TqvxPropertyAttributes{paValueList, paSortList, paMultiSelect};
}
String TqvxFontCharsetProperty::GetValue() {
  String ident;
  const auto value = static_cast<int>(GetOrdValue());
  return vcl::CharsetToIdent(value, ident) ? ident : rtl::IntToStr(value);
}
void TqvxFontCharsetProperty::SetValue(const String& value) {
  int charset = 0;
  if (vcl::IdentToCharset(value, charset))
    SetOrdValue(charset);
  else
    SetOrdValue(rtl::StrToInt64(value));
}
void TqvxFontCharsetProperty::GetValues() {
  TqvxPropertyEditor::GetValues();
  String ident;
  for (int c : kCharsets)
    if (vcl::CharsetToIdent(c, ident)) GetStrProc(ident);
}

TqvxPropertyAttributes TqvxModalResultProperty::GetAttributes() {
  return TqvxPropertyAttributes{paValueList, paMultiSelect};
}
String TqvxModalResultProperty::GetValue() {
  const rtl::Int64 value = GetOrdValue();
  if (value >= 0 && value < 15) return qvxModalResults[value];
  return rtl::IntToStr(value);
}
void TqvxModalResultProperty::SetValue(const String& value) {
  const String text = value.empty() ? String(L"0") : value;
  for (int i = 0; i < 15; ++i)
    if (rtl::SameText(text, qvxModalResults[i])) {
      SetOrdValue(i);
      return;
    }
  SetOrdValue(rtl::StrToInt64(text));
}
void TqvxModalResultProperty::GetValues() {
  TqvxPropertyEditor::GetValues();
  for (const wchar_t* name : qvxModalResults) GetStrProc(name);
}

// Shortcuts: a virtual key in the low byte with scShift $2000, scCtrl $4000, scAlt $8000.
namespace {

constexpr int scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;

String KeyName(int key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return String(1, static_cast<wchar_t>(key));
  if (key >= VK_F1 && key <= VK_F24) return L"F" + rtl::IntToStr(key - VK_F1 + 1);
  switch (key) {
    case VK_BACK:
      return L"Backspace";
    case VK_INSERT:
      return L"Ins";
    case VK_DELETE:
      return L"Del";
    case VK_TAB:
      return L"Tab";
    case VK_RETURN:
      return L"Enter";
    case VK_ESCAPE:
      return L"Esc";
    case VK_SPACE:
      return L"Space";
    default:
      return String();
  }
}

String ShortCutToText(int shortCut) {
  const String name = KeyName(shortCut & 0xFF);
  if (name.empty()) return String();
  String result;
  if (shortCut & scShift) result += L"Shift+";
  if (shortCut & scCtrl) result += L"Ctrl+";
  if (shortCut & scAlt) result += L"Alt+";
  return result + name;
}

int TextToShortCut(const String& text) {
  for (int key = 1; key < 256; ++key)
    for (int mods :
         {0, scShift, scCtrl, scAlt, scShift | scCtrl, scCtrl | scAlt, scShift | scAlt, scShift | scCtrl | scAlt})
      if (!KeyName(key).empty() && rtl::SameText(ShortCutToText(key | mods), text)) return key | mods;
  return 0;
}

std::vector<int> ShortCutChoices() {
  std::vector<int> list;
  for (int k = 'A'; k <= 'Z'; ++k) list.push_back(scCtrl | k);
  for (int k = 'A'; k <= 'Z'; ++k) list.push_back(scCtrl | scAlt | k);
  for (int mods : {0, scCtrl, scShift, scShift | scCtrl})
    for (int k = VK_F1; k <= VK_F12; ++k) list.push_back(mods | k);
  for (int v : {VK_INSERT, scShift | VK_INSERT, scCtrl | VK_INSERT, VK_DELETE, scShift | VK_DELETE, scCtrl | VK_DELETE,
                scAlt | VK_BACK, scShift | scAlt | VK_BACK})
    list.push_back(v);
  return list;
}

}  // namespace

TqvxPropertyAttributes TqvxShortCutProperty::GetAttributes() {
  return TqvxPropertyAttributes{paValueList, paMultiSelect};
}
String TqvxShortCutProperty::GetValue() {
  const auto value = static_cast<int>(GetOrdValue());
  return value == 0 ? String(L"(None)") : ShortCutToText(value);
}
void TqvxShortCutProperty::SetValue(const String& value) {
  if (value.empty() || rtl::SameText(value, L"(None)"))
    SetOrdValue(0);
  else
    SetOrdValue(TextToShortCut(value));
}
void TqvxShortCutProperty::GetValues() {
  TqvxPropertyEditor::GetValues();
  GetStrProc(L"(None)");
  for (int s : ShortCutChoices()) GetStrProc(ShortCutToText(s));
}

namespace {
struct TCursorName {
  int Value;
  const wchar_t* Name;
};
constexpr TCursorName kCursors[] = {
    {0, L"crDefault"},     {-1, L"crNone"},     {-2, L"crArrow"},    {-3, L"crCross"},     {-4, L"crIBeam"},
    {-6, L"crSizeNESW"},   {-7, L"crSizeNS"},   {-8, L"crSizeNWSE"}, {-9, L"crSizeWE"},    {-10, L"crUpArrow"},
    {-11, L"crHourGlass"}, {-12, L"crDrag"},    {-13, L"crNoDrop"},  {-14, L"crHSplit"},   {-15, L"crVSplit"},
    {-16, L"crMultiDrag"}, {-17, L"crSQLWait"}, {-18, L"crNo"},      {-19, L"crAppStart"}, {-20, L"crHelp"},
    {-21, L"crHandPoint"}, {-22, L"crSizeAll"}, {150, L"crHand"},    {151, L"crZoom"},     {152, L"crFormat"}};
}  // namespace

TqvxPropertyAttributes TqvxCursorProperty::GetAttributes() {
  return TqvxPropertyAttributes{paValueList, paSortList, paMultiSelect};
}
String TqvxCursorProperty::GetValue() {
  const auto value = static_cast<int>(GetOrdValue());
  for (const TCursorName& c : kCursors)
    if (c.Value == value) return c.Name;
  return rtl::IntToStr(value);
}
void TqvxCursorProperty::SetValue(const String& value) {
  for (const TCursorName& c : kCursors)
    if (rtl::SameText(value, c.Name)) {
      SetOrdValue(c.Value);
      return;
    }
  SetOrdValue(rtl::StrToInt64(value));
}
void TqvxCursorProperty::GetValues() {
  TqvxPropertyEditor::GetValues();
  for (const TCursorName& c : kCursors) GetStrProc(c.Name);
}

String TqvxDateTimeProperty::GetValue() {
  const double v = GetFloatValue();
  return v == 0 ? String() : rtl::DateTimeToStr(v);
}
void TqvxDateTimeProperty::SetValue(const String& value) {
  SetFloatValue(value.empty() ? 0 : rtl::StrToDateTime(value));
}

String TqvxDateProperty::GetValue() {
  const double v = GetFloatValue();
  return v == 0 ? String() : rtl::DateToStr(v);
}
void TqvxDateProperty::SetValue(const String& value) { SetFloatValue(value.empty() ? 0 : rtl::StrToDate(value)); }

String TqvxTimeProperty::GetValue() {
  const double v = GetFloatValue();
  return v == 0 ? String() : rtl::TimeToStr(v);
}
void TqvxTimeProperty::SetValue(const String& value) { SetFloatValue(value.empty() ? 0 : rtl::StrToTime(value)); }

// ---------------------------------------------------------------------------------------------------------------
// Start-up registrations

namespace {

template <class E>
TqvxPropertyEditor* Make(TqvxCustomDesigner* designer) {
  return new E(designer);
}

// The type name our registry gives a published property, taken from a class that has one.
String TypeOf(const vcl::TClassInfo* cls, const wchar_t* prop) {
  const vcl::TPropInfo* p = cls ? cls->FindProperty(prop) : nullptr;
  return p ? p->TypeName() : String();
}

const bool editorsRegistered = [] {
  TqvxPropertyEditorCollection& r = qvxPropertyEditors();
  const vcl::TClassInfo* font = vcl::TFont::StaticClass();
  r.Register(L"TComponentName", nullptr, L"Name", L"TqvxNameProperty", Make<TqvxNameProperty>);
  r.Register(L"TColor", nullptr, String(), L"TqvxColorProperty", Make<TqvxColorProperty>);
  r.Register(L"TFont", nullptr, String(), L"TqvxFontProperty", Make<TqvxFontProperty>);
  r.Register(TypeOf(font, L"Name"), font, L"Name", L"TqvxFontNameProperty", Make<TqvxFontNameProperty>);
  r.Register(TypeOf(font, L"Charset"), font, L"Charset", L"TqvxFontCharsetProperty", Make<TqvxFontCharsetProperty>);
  r.Register(L"TModalResult", nullptr, String(), L"TqvxModalResultProperty", Make<TqvxModalResultProperty>);
  r.Register(L"TShortCut", nullptr, String(), L"TqvxShortCutProperty", Make<TqvxShortCutProperty>);
  r.Register(L"TCursor", nullptr, String(), L"TqvxCursorProperty", Make<TqvxCursorProperty>);
  r.Register(L"TDateTime", nullptr, String(), L"TqvxDateTimeProperty", Make<TqvxDateTimeProperty>);
  r.Register(L"TDate", nullptr, String(), L"TqvxDateProperty", Make<TqvxDateProperty>);
  r.Register(L"TTime", nullptr, String(), L"TqvxTimeProperty", Make<TqvxTimeProperty>);
  return true;
}();

}  // namespace
