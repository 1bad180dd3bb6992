#include "report/model/qvxRes.h"

#include "platform/rtl/files.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/rtl/win.h"
#include "platform/vcl/application.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/buttons.h"
#include "platform/vcl/imagelist.h"
#include "report/model/qvxChm.h"
#include "report/model/qvxDecompress.h"
#include "report/model/qvxGraphics.h"
#include "report/model/qvxXML.h"
#include "script/wz_iconst.h"

using rtl::Integer;
using rtl::String;

const THelpTopic helpTopics[17] = {
    {L"TqvxDesignerForm", L"Designer.htm"},
    {L"TqvxOptionsEditor", L"Designer_options.htm"},
    {L"TqvxReportEditorForm", L"Report_options.htm"},
    {L"TqvxPageEditorForm", L"Page_options.htm"},
    {L"TqvxCrossEditorForm", L"Cross_tab_reports.htm"},
    {L"TqvxChartEditorForm", L"Diagrams.htm"},
    {L"TqvxSyntaxMemo", L"Script.htm"},
    {L"TqvxDialogPage", L"Dialogue_forms.htm"},
    {L"TqvxDialogComponent", L"Data_access_components.htm"},
    {L"TqvxVarEditorForm", L"Variables.htm"},
    {L"TqvxHighlightEditorForm", L"Conditional_highlighting.htm"},
    {L"TqvxSysMemoEditorForm", L"Inserting_aggregate_function.htm"},
    {L"TqvxFormatEditorForm", L"Values_formatting.htm"},
    {L"TqvxGroupEditorForm", L"Report_with_groups.htm"},
    {L"TqvxPictureEditorForm", L"Picture_object.htm"},
    {L"TqvxMemoEditorForm", L"Text_object.htm"},
    {L"TqvxSQLEditorForm", L"TqvxADOQuery.htm"},
};

TqvxResources::TqvxResources()
    : FDisabledButtonImages(std::make_unique<vcl::TImageList>(nullptr, 16, 16)),
      FMainButtonImages(std::make_unique<vcl::TImageList>(nullptr, 16, 16)),
      FObjectImages(std::make_unique<vcl::TImageList>(nullptr, 16, 16)),
      FPreviewButtonImages(std::make_unique<vcl::TImageList>(nullptr, 16, 16)),
      FWizardImages(std::make_unique<vcl::TImageList>(nullptr, 32, 32)),
      FNames(std::make_unique<rtl::TStringList>()),
      FValues(std::make_unique<TqvxWideStrings>()),
      FLanguages(std::make_unique<rtl::TStringList>()) {
  FNames->SetSorted(true);
  FNames->SetDuplicates(rtl::dupAccept);
  BuildLanguagesList();
}

TqvxResources::~TqvxResources() = default;

String TqvxResources::Get(const String& strName) const {
  Integer i = 0;
  String result = strName;
  if (FNames->Find(strName, i)) {
    const auto index = static_cast<Integer>(reinterpret_cast<intptr_t>(FNames->Objects(i)));
    result = FValues->Get(index);
  }
  if (!result.empty() && result[0] == L'!') result.erase(0, 1);
  return result;
}

void TqvxResources::AddW(const String& ref, const String& str) {
  Integer i = 0;
  if (FNames->Find(ref, i)) {
    const auto index = static_cast<Integer>(reinterpret_cast<intptr_t>(FNames->Objects(i)));
    FValues->Put(index, str);
    return;
  }
  FNames->AddObject(ref, reinterpret_cast<rtl::TObject*>(static_cast<intptr_t>(FValues->Count())));
  FValues->Add(str);
}

void TqvxResources::AddStrings(const String& str) {
  TqvxWideStrings lines;
  lines.SetTextStr(str);
  for (Integer i = 0; i < lines.Count(); ++i) {
    const String line = lines.Get(i);
    const size_t eq = line.find(L'=');
    if (eq == String::npos) continue;
    const String key = line.substr(0, eq);
    const String value = line.substr(eq + 1);
    if (!key.empty() && !value.empty()) Add(key, value);
  }
}

void TqvxResources::AddXML(const std::string& str) {
  rtl::TMemoryStream stream;
  stream.WriteBytes(str);
  stream.SetPosition(0);
  LoadFromStream(stream);
}

void TqvxResources::Clear() {
  FNames->Clear();
  FValues->Clear();
}

void TqvxResources::LoadFromFile(const String& fileName) {
  if (!rtl::FileExists(fileName)) return;
  rtl::TFileStream file(fileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
  LoadFromStream(file);
}

void TqvxResources::LoadFromStream(rtl::TStream& stream) {
  {
    TqvxXMLDocument doc;
    doc.LoadFromStream(stream);
    TqvxXMLItem* root = doc.Root();
    if (root->Name() == L"Resources") {
      FCP = static_cast<rtl::Cardinal>(rtl::StrToInt(root->Prop(L"CodePage")));
      for (Integer i = 0; i < root->Count(); ++i) {
        TqvxXMLItem* item = root->Items(i);
        if (item->Name() != L"StrRes") continue;
        String value = qvxXMLToStr(item->Prop(L"Text"));
        // Old documents hold UTF-8 bytes read as ANSI characters.
        if (doc.OldVersion()) value = rtl::UTF8ToString(rtl::StringToAnsi(value));
        AddW(item->Prop(L"Name"), value);
      }
    }
  }
  UpdateFSResources();
}

void TqvxResources::BuildLanguagesList() {
  FLanguages->Clear();
  for (const String& file : rtl::ListFiles(rtl::ExeFolder(), L"*.qvc")) {
    String name = rtl::LowerCase(file);
    if (!name.empty()) name[0] = rtl::UpCase(name[0]);
    const size_t at = name.find(L".qvc");
    if (at != String::npos) name.erase(at, 4);
    FLanguages->Add(name);
  }
  FLanguages->Sort();
}

String TqvxResources::HelpPath(const rtl::TObject* sender) const {
  String topic;
  if (sender) {
    const String cls = sender->ClassName();
    for (const THelpTopic& t : helpTopics)
      if (rtl::SameText(cls, t.Sender)) topic += String(L"::/") + t.Topic;
  }
  return rtl::ExeFolder() + FHelpFile + topic;
}

void TqvxResources::Help(const rtl::TObject* sender) const {
  qvxDisplayHHTopic(vcl::Application ? vcl::Application->Handle() : nullptr, HelpPath(sender));
}

void TqvxResources::UpdateFSResources() {
  static const wchar_t* const keys[] = {
      L"SLangNotFound",  L"SInvalidLanguage", L"SIdRedeclared",    L"SUnknownType",   L"SIncompatibleTypes",
      L"SIdUndeclared",  L"SClassRequired",   L"SIndexRequired",   L"SStringError",   L"SClassError",
      L"SArrayRequired", L"SVarRequired",     L"SNotEnoughParams", L"STooManyParams", L"SLeftCantAssigned",
      L"SForError",      L"SEventError"};
  for (const wchar_t* key : keys) wzSetMessage(key, Get(key));
}

namespace {

// The packed image strip stored under name among the program's RCDATA resources, unpacked.
void LoadStrip(const wchar_t* name, vcl::TBitmap& bitmap) {
  rtl::TResourceStream packed(nullptr, name, MAKEINTRESOURCEW(10));
  rtl::TMemoryStream unpacked;
  qvxDecompressStream(packed, unpacked);
  unpacked.SetPosition(0);
  bitmap.LoadFromStream(unpacked);
}

}  // namespace

vcl::TImageList* TqvxResources::GetMainButtonImages() {
  if (FMainButtonImages->Count() == 0) {
    vcl::TBitmap strip;
    LoadStrip(L"DesgnButtons", strip);
    SetButtonImages(&strip);
  }
  return FMainButtonImages.get();
}

vcl::TImageList* TqvxResources::GetPreviewButtonImages() {
  if (FPreviewButtonImages->Count() == 0) {
    vcl::TBitmap strip;
    LoadStrip(L"PreviewButtons", strip);
    SetPreviewButtonImages(&strip);
  }
  return FPreviewButtonImages.get();
}

vcl::TImageList* TqvxResources::GetObjectImages() {
  if (FObjectImages->Count() == 0) {
    vcl::TBitmap strip;
    LoadStrip(L"ObjectButtons", strip);
    SetObjectImages(&strip);
  }
  return FObjectImages.get();
}

vcl::TImageList* TqvxResources::GetWizardImages() {
  if (FWizardImages->Count() == 0) {
    vcl::TBitmap strip;
    LoadStrip(L"WizardButtons", strip);
    SetWizardImages(&strip);
  }
  return FWizardImages.get();
}

void TqvxResources::SetButtonImages(vcl::TBitmap* images, bool clear) {
  if (clear) {
    FMainButtonImages->Clear();
    FDisabledButtonImages->Clear();
  }
  qvxAssignImages(images, 16, 16, FMainButtonImages.get(), FDisabledButtonImages.get());
}

void TqvxResources::SetPreviewButtonImages(vcl::TBitmap* images, bool clear) {
  if (clear) FPreviewButtonImages->Clear();
  qvxAssignImages(images, 16, 16, FPreviewButtonImages.get());
}

void TqvxResources::SetObjectImages(vcl::TBitmap* images, bool clear) {
  if (clear) FObjectImages->Clear();
  qvxAssignImages(images, 16, 16, FObjectImages.get());
}

void TqvxResources::SetWizardImages(vcl::TBitmap* images, bool clear) {
  if (clear) FWizardImages->Clear();
  qvxAssignImages(images, 32, 32, FWizardImages.get());
}

void TqvxResources::SetGlyph(vcl::TSpeedButton* button, Integer index) {
  vcl::TBitmap glyph(32, 16, vcl::pf24bit);
  glyph.Canvas()->Brush()->SetColor(0x008080);
  glyph.Canvas()->FillRect(vcl::TRect(0, 0, 32, 16));
  GetMainButtonImages()->Draw(glyph.Canvas(), 0, 0, index);
  FDisabledButtonImages->Draw(glyph.Canvas(), 16, 0, index);
  button->SetGlyph(&glyph);
}

void qvxDisplayHHTopic(void* handle, const String& topic) {
  if (THtmlHelpW help = HtmlHelpW()) help(handle, topic.c_str(), 1 /* HH_DISPLAY_TOPIC */, 0);
}

namespace {

std::unique_ptr<TqvxResources>& Instance() {
  static std::unique_ptr<TqvxResources> instance;
  return instance;
}

}  // namespace

TqvxResources& qvxResources() {
  auto& instance = Instance();
  if (!instance) {
    instance = std::make_unique<TqvxResources>();
    HRSRC info = FindResourceW(nullptr, L"QVXSTRINGS", MAKEINTRESOURCEW(10));
    if (info) {
      HGLOBAL data = LoadResource(nullptr, info);
      const DWORD size = SizeofResource(nullptr, info);
      if (data && size) instance->AddXML(std::string(static_cast<const char*>(LockResource(data)), size));
    }
  }
  return *instance;
}

String qvxGet(Integer id) { return qvxResources().Get(rtl::IntToStr(id)); }
