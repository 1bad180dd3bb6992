// How a report is stored: the lists it adds to form resources, the nested elements of its XML template, loading
// and saving templates (through a compressor and a crypter when a program has them), parent templates, and
// inheriting from a template.
#include <algorithm>
#include <memory>
#include <vector>

#include "platform/rtl/files.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/vcl/filer.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxCollections.h"
#include "report/model/qvxPlugins.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxRes.h"
#include "report/model/qvxUtils.h"
#include "script/wz_script.h"

using rtl::String;

String qvxScramblePassword(const String& password) {
  String result = password;
  for (wchar_t& c : result) c = static_cast<wchar_t>(static_cast<std::uint16_t>(c) - 10);
  return result;
}

String qvxUnscramblePassword(const String& stored) {
  String result = stored;
  for (wchar_t& c : result) c = static_cast<wchar_t>(static_cast<std::uint16_t>(c) + 10);
  return result;
}

namespace {

// The parent templates being loaded just now, outermost first: a template that names one of them as its parent
// (directly or further up) would load for ever.
std::vector<String>& ParentChain() {
  static std::vector<String> chain;
  return chain;
}

// Nobody writes templates that inherit this deep; a longer chain is taken for a damaged one.
constexpr size_t kMaxParentDepth = 32;

bool SamePath(const String& a, const String& b) {
  return rtl::SameText(rtl::ExpandFileName(a), rtl::ExpandFileName(b));
}

String ErrorsText(TqvxReport* report) { return qvxResources().Get(L"clErrors") + L"\r\n" + report->Errors()->Text(); }

// Creates the plug-in registered in slot, or nullptr.
template <class T>
std::unique_ptr<T> CreatePlugin(const vcl::TClassInfo* slot) {
  if (!slot) return nullptr;
  rtl::TObject* made = slot->CreateInstance(vcl::TCreateArgs{});
  auto* plugin = dynamic_cast<T*>(made);
  if (!plugin) {
    if (made) made->Free();
    return nullptr;
  }
  return std::unique_ptr<T>(plugin);
}

// Drops the attribute name="..." from an attribute text.
String WithoutAttribute(const String& text, const String& name) {
  const String key = L" " + name + L"=\"";
  const size_t at = text.find(key);
  if (at == String::npos) return text;
  const size_t close = text.find(L'"', at + key.size());
  return text.substr(0, at) + (close == String::npos ? String() : text.substr(close + 1));
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------------
// Form resources and nested elements

void TqvxReport::DefineProperties(vcl::TFiler* filer) {
  TqvxComponent::DefineProperties(filer);
  if (filer->IsWriter() && !StoreInDFM) return;
  filer->DefineProperty(
      L"Datasets", [this](vcl::TReader& r) { qvxReadCollection(FDataSets.get(), r, this); },
      [this](vcl::TWriter& w) { qvxWriteCollection(FDataSets.get(), w, this); }, true);
  filer->DefineProperty(
      L"Variables", [this](vcl::TReader& r) { qvxReadCollection(FVariables.get(), r, this); },
      [this](vcl::TWriter& w) { qvxWriteCollection(FVariables.get(), w, this); }, true);
  filer->DefineProperty(
      L"Style", [this](vcl::TReader& r) { qvxReadCollection(FStyles.get(), r, this); },
      [this](vcl::TWriter& w) { qvxWriteCollection(FStyles.get(), w, this); }, true);
}

void TqvxReport::Loaded() {
  TqvxComponent::Loaded();
  std::vector<TqvxFixupItem> fixups;
  fixups.swap(FFormFixups);
  for (const TqvxFixupItem& f : fixups) {
    vcl::TComponent* found = FindObject(f.Value);
    // Written from a form, an object of the report is named through the report ("qvxReport1.UserDataSet1").
    const size_t dot = f.Value.find(L'.');
    if (!found && dot != String::npos && rtl::SameText(f.Value.substr(0, dot), Name()))
      found = FindObject(f.Value.substr(dot + 1));
    if (!found) {
      try {
        found = qvxFindComponent(this, f.Value);
      } catch (const rtl::Exception&) {
        found = nullptr;
      }
    }
    if (!found) throw rtl::Exception(L"Component " + f.Value + L" named by " + f.PropInfo->Name() + L" not found");
    f.PropInfo->SetObject(f.Obj, found);
  }
}

void TqvxReport::WriteNestedProperties(TqvxXMLItem* item) {
  TqvxVariables* ancestorVariables = FParentReportObject ? FParentReportObject->Variables() : nullptr;
  TqvxStyles* ancestorStyles = FParentReportObject ? FParentReportObject->Styles() : nullptr;
  if (FDataSets->Count() > 0) qvxWriteCollection(FDataSets.get(), L"Datasets", item, this, nullptr);
  if (FVariables->Count() > 0) qvxWriteCollection(FVariables.get(), L"Variables", item, this, ancestorVariables);
  if (FStyles->Count() > 0) qvxWriteCollection(FStyles.get(), L"Styles", item, this, ancestorStyles);
}

bool TqvxReport::ReadNestedProperty(TqvxXMLItem* item) {
  const String& name = item->Name();
  if (rtl::SameText(name, L"Datasets")) {
    if (FParentReportObject) FDataSets->Clear();
    qvxReadCollection(FDataSets.get(), item, this, nullptr);
    return true;
  }
  if (rtl::SameText(name, L"Variables")) {
    qvxReadCollection(FVariables.get(), item, this, FParentReportObject ? FParentReportObject->Variables() : nullptr);
    return true;
  }
  if (rtl::SameText(name, L"Styles")) {
    qvxReadCollection(FStyles.get(), item, this, FParentReportObject ? FParentReportObject->Styles() : nullptr);
    return true;
  }
  return false;
}

// ---------------------------------------------------------------------------------------------------------------
// Templates

void TqvxReport::LoadFromStream(rtl::TStream& stream) {
  FErrors->Clear();
  rtl::TStream* source = &stream;

  std::unique_ptr<TqvxCustomCompressor> compressor;
  if (qvxCompressorClass) {
    try {
      compressor = CreatePlugin<TqvxCustomCompressor>(qvxCompressorClass);
      if (compressor) {
        compressor->Report = this;
        compressor->IsQV3File = true;
        compressor->CreateStream();
        if (compressor->Decompress(stream)) source = compressor->Stream.get();
      }
    } catch (const std::exception&) {
      compressor.reset();
      FErrors->Add(qvxResources().Get(L"clDecompressError"));
      qvxCommonErrorHandler(this, ErrorsText(this));
      return;
    }
  }

  FReportOptions->Password = FReportOptions->HiddenPassword;
  bool decrypted = false;
  std::unique_ptr<TqvxCustomCrypter> crypter;
  if (qvxCrypterClass) {
    try {
      crypter = CreatePlugin<TqvxCustomCrypter>(qvxCrypterClass);
      if (crypter) {
        crypter->CreateStream();
        decrypted = crypter->Decrypt(*source, rtl::StringToAnsi(FReportOptions->Password));
        if (decrypted) source = crypter->Stream.get();
      }
    } catch (const std::exception&) {
      crypter.reset();
      FErrors->Add(qvxResources().Get(L"clDecryptError"));
      qvxCommonErrorHandler(this, ErrorsText(this));
      return;
    }
  }

  TqvxEngineOptions savedEngine;
  savedEngine.Assign(FEngineOptions.get());
  const bool savedThreadSafe = FEngineOptions->EnableThreadSafe;
  TqvxPreviewOptions savedPreview;
  savedPreview.Assign(FPreviewOptions.get());
  const String savedIniFile = IniFile;
  TqvxCustomPreview* savedPreviewControl = FPreview;
  const bool savedOldStyle = OldStyleProgress, savedShowProgress = ShowProgress, savedStoreInDFM = StoreInDFM;
  StreamLoaded = true;

  LoadStream = source;
  try {
    if (!(qvxQV2Events().OnLoad && qvxQV2Events().OnLoad(this, *source))) {
      const rtl::Int64 designInfo = DesignInfo();
      try {
        TqvxComponent::LoadFromStream(*source);
      } catch (...) {
        SetDesignInfo(designInfo);
        throw;
      }
      SetDesignInfo(designInfo);
    }
  } catch (const TqvxInvalidXMLException& e) {
    StreamLoaded = false;
    FErrors->Add(decrypted ? qvxResources().Get(L"Invalid password") : e.Message());
  } catch (const rtl::Exception& e) {
    StreamLoaded = false;
    FErrors->Add(e.Message());
  }
  LoadStream = nullptr;

  crypter.reset();
  compressor.reset();
  CheckDataPage();
  // The options that belong to the layout keep what was read; the rest is the program's.
  const bool convertNulls = FEngineOptions->ConvertNulls, ignoreDevByZero = FEngineOptions->IgnoreDevByZero,
             doublePass = FEngineOptions->DoublePass;
  FEngineOptions->Assign(&savedEngine);
  FEngineOptions->EnableThreadSafe = savedThreadSafe;
  FEngineOptions->ConvertNulls = convertNulls;
  FEngineOptions->IgnoreDevByZero = ignoreDevByZero;
  FEngineOptions->DoublePass = doublePass;
  const bool outlineVisible = FPreviewOptions->OutlineVisible, outlineExpand = FPreviewOptions->OutlineExpand,
             thumbnailVisible = FPreviewOptions->ThumbnailVisible;
  const rtl::Integer outlineWidth = FPreviewOptions->OutlineWidth, pagesInCache = FPreviewOptions->PagesInCache;
  FPreviewOptions->Assign(&savedPreview);
  FPreviewOptions->OutlineVisible = outlineVisible;
  FPreviewOptions->OutlineExpand = outlineExpand;
  FPreviewOptions->ThumbnailVisible = thumbnailVisible;
  FPreviewOptions->OutlineWidth = outlineWidth;
  FPreviewOptions->PagesInCache = pagesInCache;
  IniFile = savedIniFile;
  FPreview = savedPreviewControl;
  OldStyleProgress = savedOldStyle;
  ShowProgress = savedShowProgress;
  StoreInDFM = savedStoreInDFM;

  if (!decrypted) FReportOptions->Password = qvxUnscramblePassword(FReportOptions->Password);

  if (FReportOptions->Info) {
    Clear();
  } else if (Reloading || FEngineOptions->EnableThreadSafe || decrypted || FReportOptions->CheckPassword()) {
    // A parent template's problems stay in Errors for the template that names it to report once.
    if (FErrors->Count() > 0 && ParentChain().empty()) qvxCommonErrorHandler(this, ErrorsText(this));
  } else {
    Clear();
  }
}

void TqvxReport::SaveToStream(rtl::TStream& stream, bool saveChildren, bool saveDefaultValues, bool) {
  std::unique_ptr<TqvxCustomCompressor> compressor;
  if (FReportOptions->Compressed && qvxCompressorClass) {
    compressor = CreatePlugin<TqvxCustomCompressor>(qvxCompressorClass);
    if (compressor) {
      compressor->Report = this;
      compressor->IsQV3File = true;
      compressor->CreateStream();
    }
  }
  std::unique_ptr<TqvxCustomCrypter> crypter;
  if (!FReportOptions->Password.empty() && qvxCrypterClass) {
    crypter = CreatePlugin<TqvxCustomCrypter>(qvxCrypterClass);
    if (crypter) crypter->CreateStream();
  }
  rtl::TStream* target = &stream;
  if (compressor) target = compressor->Stream.get();
  if (crypter) target = crypter->Stream.get();

  const String password = FReportOptions->Password;
  FReportOptions->PrevPassword = password;
  if (!crypter) FReportOptions->Password = qvxScramblePassword(password);
  // The preview control is a run-time attachment, never part of the layout.
  TqvxCustomPreview* preview = FPreview;
  FPreview = nullptr;
  try {
    TqvxComponent::SaveToStream(*target, saveChildren, saveDefaultValues, false);
  } catch (...) {
    FPreview = preview;
    FReportOptions->Password = password;
    throw;
  }
  FPreview = preview;
  FReportOptions->Password = password;

  if (crypter) {
    rtl::TStream& dest = compressor ? *compressor->Stream : stream;
    crypter->Crypt(dest, rtl::StringToUTF8(password));
  }
  if (compressor) compressor->Compress(stream);
}

bool TqvxReport::LoadFromFile(const String& fileName, bool exceptionIfNotFound) {
  Clear();
  FileName.clear();
  const bool exists = rtl::FileExists(fileName);
  if (exists || exceptionIfNotFound) {
    rtl::TFileStream file(fileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
    FileName = fileName;
    LoadFromStream(file);
  }
  return exists;
}

void TqvxReport::SaveToFile(const String& fileName) {
  // A parent named with a drive letter is kept relative to the template, so the two can move together.
  if (FParentReport.size() >= 2 && FParentReport[1] == L':')
    FParentReport = rtl::ExtractRelativePath(rtl::ExtractFilePath(rtl::ExpandFileName(fileName)), FParentReport);
  rtl::TFileStream file(fileName, rtl::fmCreate);
  SaveToStream(file, true, false, false);
}

void TqvxReport::DoGetAncestor(const String& name, rtl::TPersistent*& ancestor) {
  if (!FParentReportObject) return;
  if (rtl::SameText(name, Name()))
    ancestor = FParentReportObject;
  else
    ancestor = name.empty() ? nullptr : FParentReportObject->FindObject(name);
}

// ---------------------------------------------------------------------------------------------------------------
// Parent templates

void TqvxReport::FreeParentReportObject() {
  if (!FParentReportObject) return;
  TqvxReport* parent = FParentReportObject;
  FParentReportObject = nullptr;
  delete parent;
  if (FScript) FScript->SetParent(FSaveParentScript);
}

void TqvxReport::SetAncestorMarks(bool value) {
  SetAncestorFlag(value);
  SetAncestor(value);
  const std::vector<TqvxComponent*> all = GetAllObjects();
  for (TqvxComponent* c : all) {
    c->SetAncestorFlag(value);
    c->SetAncestor(value);
  }
}

void TqvxReport::SetParentReport(const String& value) {
  FParentReport = value;
  FreeParentReportObject();
  if (value.empty()) {
    SetAncestorMarks(false);
    return;
  }

  const String savedFileName = FileName;
  TqvxXMLSerializer* savedSerializer = FXMLSerializer;
  String file = value;
  if (OnLoadTemplate.Assigned()) {
    OnLoadTemplate(this, value);
  } else {
    const bool absolute = value.size() == 1 || (value.size() >= 2 && value[1] == L':') ||
                          (value.size() >= 2 && value[0] == L'\\' && value[1] == L'\\');
    if (!absolute) {
      file = rtl::ExtractFilePath(FileName) + value;
      if (!rtl::FileExists(file)) file = GetApplicationFolder() + value;
    }
    std::vector<String>& chain = ParentChain();
    const bool cyclic = std::any_of(chain.begin(), chain.end(), [&](const String& f) { return SamePath(f, file); }) ||
                        (!savedFileName.empty() && SamePath(savedFileName, file) && chain.empty());
    if (cyclic || chain.size() >= kMaxParentDepth) {
      // Loading it again would never end: the report keeps what it has and says why.
      FErrors->Add(L"Circular parent report reference: " + value);
      FParentReport = value;
      return;
    }
    chain.push_back(file);
    bool found = false;
    try {
      found = LoadFromFile(file, false);
    } catch (...) {
      chain.pop_back();
      FileName = savedFileName;
      FXMLSerializer = savedSerializer;
      throw;
    }
    chain.pop_back();
    if (!found) FErrors->Add(L"Parent report not found: " + file);
  }

  auto* parent = new TqvxReport(nullptr);
  parent->FileName = FileName;
  parent->OnLoadTemplate = OnLoadTemplate;
  parent->Reloading = true;
  parent->EngineOptions()->NewSilentMode = FEngineOptions->NewSilentMode;
  if (FParentReportObject) FreeParentReportObject();
  if (!OnLoadTemplate.Assigned()) ParentChain().push_back(file);
  try {
    parent->AssignAll(this);
  } catch (...) {
    if (!OnLoadTemplate.Assigned()) ParentChain().pop_back();
    delete parent;
    FileName = savedFileName;
    FXMLSerializer = savedSerializer;
    throw;
  }
  if (!OnLoadTemplate.Assigned()) ParentChain().pop_back();
  parent->Reloading = false;
  FParentReportObject = parent;
  FileName = savedFileName;

  for (TqvxComponent* c : parent->Objects())
    if (auto* page = dynamic_cast<TqvxReportPage*>(c)) page->SetPaperSize(qvxCustomPaper);
  for (int i = 0; i < FVariables->Count(); ++i) FVariables->Items(i)->IsInherited = true;
  for (int i = 0; i < FStyles->Count(); ++i) FStyles->Items(i)->IsInherited = true;
  SetAncestorMarks(true);
  FParentReport = value;
  FXMLSerializer = savedSerializer;
}

// ---------------------------------------------------------------------------------------------------------------
// Inheriting from a template

void TqvxReport::MergeFrom(TqvxComponent* source, TqvxComponent* target, bool deleteMode, bool renameMode,
                           TqvxReport* copy, std::vector<TqvxFixupItem>& fixups) {
  const bool isRoot = source == copy;
  {
    TqvxXMLSerializer writer(nullptr);
    writer.SetOwner(copy);
    writer.HandleNestedProperties = isRoot;
    writer.SerializeDefaultValues = !isRoot;
    String text = writer.ObjToXML(source);
    if (isRoot) text = WithoutAttribute(text, L"ParentReport");
    TqvxXMLSerializer reader(nullptr);
    reader.SetOwner(this);
    reader.XMLToObj(text, target);
    reader.CopyFixupList(&fixups);
    reader.ClearFixups();
    for (rtl::Integer k = 0; k < reader.Errors().Count(); ++k) FErrors->Add(reader.Errors().Get(k));
  }
  const std::vector<TqvxComponent*> children = source->Objects();
  for (TqvxComponent* child : children) {
    if (child->Parent() != source) continue;  // a subreport's page already taken over
    const String originalName = child->Name();
    TqvxComponent* existing = originalName.empty() ? nullptr : FindObject(originalName);
    TqvxComponent* into = nullptr;
    if (existing && dynamic_cast<TqvxPage*>(existing)) {
      into = existing;
    } else if (existing) {
      if (deleteMode) continue;
      if (renameMode) child->SetName(String());
    }
    if (!into) {
      rtl::TObject* made = vcl::ClassOf(child)->CreateInstance(vcl::TCreateArgs{target, nullptr});
      auto* obj = dynamic_cast<TqvxComponent*>(made);
      if (!obj) {
        if (made) made->Free();
        continue;
      }
      if (obj->Parent() != target) obj->SetParent(target);
      if (!child->Name().empty()) {
        obj->SetName(child->Name());
      } else {
        obj->CreateUniqueName();
        const String newName = obj->Name();
        if (TqvxComponent* holder = copy->FindObject(newName)) holder->CreateUniqueName();
        child->SetName(newName);
        for (TqvxFixupItem& f : fixups)
          if (!originalName.empty() && rtl::SameText(f.Value, originalName)) f.Value = newName;
        if (auto* ds = dynamic_cast<TqvxDataSet*>(obj)) {
          ds->SetUserName(newName);
          FDataSets->Add(ds);
        }
      }
      if (auto* sourceSub = dynamic_cast<TqvxSubreport*>(child))
        if (TqvxReportPage* sourcePage = sourceSub->Page()) {
          auto* page = new TqvxReportPage(this);
          page->CreateUniqueName();
          MergeFrom(sourcePage, page, deleteMode, renameMode, copy, fixups);
          dynamic_cast<TqvxSubreport*>(obj)->SetPage(page);
          sourcePage->SetParent(nullptr);
        }
      into = obj;
    }
    MergeFrom(child, into, deleteMode, renameMode, copy, fixups);
  }
}

bool TqvxReport::InheritFromTemplate(const String& templateName, TqvxInheriteMode inheriteMode) {
  auto expand = [](const String& name) {
    return name.size() >= 2 && (name[0] == L'.' || name[0] == L'\\') ? rtl::ExpandFileName(name) : name;
  };
  if (rtl::SameText(expand(FileName), expand(templateName))) return false;

  std::unique_ptr<TqvxReport> copy(new TqvxReport(nullptr));
  copy->Reloading = true;
  copy->AssignAll(this);
  std::vector<TqvxFixupItem> fixups;

  SetParentReport(rtl::ExtractRelativePath(rtl::ExtractFilePath(rtl::ExpandFileName(FileName)), templateName));

  bool clashes = false;
  for (TqvxComponent* c : copy->GetAllObjects())
    if (!dynamic_cast<TqvxPage*>(c) && !c->Name().empty() && FindObject(c->Name())) {
      clashes = true;
      break;
    }
  bool result = true;
  TqvxInheriteMode mode = inheriteMode;
  if (clashes && inheriteMode == imDefault) result = qvxPreviewLink().AskInheritMode(mode);
  const bool deleteMode = mode == imDelete;
  const bool renameMode = !deleteMode;

  if (result) {
    const String templateScript = FScriptText->Text();
    MergeFrom(copy.get(), this, deleteMode, renameMode, copy.get(), fixups);

    for (int i = 0; i < copy->DataSets()->Count(); ++i) {
      const String name = copy->DataSets()->Items(i)->DataSetName();
      if (FDataSets->Find(name)) continue;
      if (auto* ds = dynamic_cast<TqvxDataSet*>(FindObject(name))) FDataSets->Add(ds);
    }
    for (int i = 0; i < copy->Variables()->Count(); ++i) {
      TqvxVariable* v = copy->Variables()->Items(i);
      String name = v->Name();
      if (FVariables->IndexOf(name) >= 0) {
        if (deleteMode) continue;
        name += L"_renamed";
      }
      TqvxVariable* added = FVariables->Add();
      added->Assign(v);
      added->SetName(name);
    }
    for (int i = 0; i < copy->Styles()->Count(); ++i) {
      TqvxStyleItem* s = copy->Styles()->Items(i);
      String name = s->Name();
      if (FStyles->Find(name)) {
        if (deleteMode) continue;
        name += L"_renamed";
      }
      TqvxStyleItem* added = FStyles->Add();
      added->Assign(s);
      added->SetName(name);
    }

    String open, close;
    if (rtl::SameText(FScriptLanguage, L"R++Aradod") || rtl::SameText(FScriptLanguage, L"JScript")) {
      open = L"/*";
      close = L"*/";
    } else if (rtl::SameText(FScriptLanguage, L"DizizOzazoz")) {
      open = close = L"/\\";
    } else if (rtl::SameText(FScriptLanguage, L"ZuvizaVuruze")) {
      open = L"{";
      close = L"}";
    }
    rtl::TStringList merged;
    merged.Assign(copy->ScriptText());
    merged.Add(open);
    merged.Add(L"**********Script from parent report**********");
    merged.SetText(merged.Text() + templateScript);
    merged.Add(close);
    FScriptText->Assign(&merged);

    for (int i = 0; i < FDataSets->Count(); ++i) {
      TqvxDataSetItem* item = FDataSets->Items(i);
      const String name = item->DataSetName();
      if (auto* ds = dynamic_cast<TqvxDataSet*>(FindObject(name)))
        item->SetDataSet(ds);
      else
        item->SetDataSetName(name);
    }
    for (const TqvxFixupItem& f : fixups) {
      vcl::TComponent* found = FindObject(f.Value);
      if (!found) {
        try {
          found = qvxFindComponent(this, f.Value);
        } catch (const rtl::Exception&) {
          found = nullptr;
        }
      }
      if (found) f.PropInfo->SetObject(f.Obj, found);
    }
  } else {
    const String fileName = FileName;
    Reloading = true;
    try {
      AssignAll(copy.get());
    } catch (...) {
      Reloading = false;
      throw;
    }
    Reloading = false;
    FileName = fileName;
  }
  return result;
}

// ---------------------------------------------------------------------------------------------------------------
// The data page

void TqvxReport::CheckDataPage() {
  for (TqvxComponent* c : GetAllObjects())
    if (dynamic_cast<TqvxDataPage*>(c)) return;
  auto* page = new TqvxDataPage(this);
  if (FindObject(L"Data"))
    page->CreateUniqueName();
  else
    page->SetName(L"Data");
  FObjects.erase(std::remove(FObjects.begin(), FObjects.end(), page), FObjects.end());
  FObjects.insert(FObjects.begin(), page);
  ObjectsChanged();
  int k = 0;
  const std::vector<TqvxComponent*> all = GetAllObjects();
  for (TqvxComponent* c : all)
    if (auto* dc = dynamic_cast<TqvxDialogComponent*>(c)) {
      dc->SetParent(page);
      dc->SetLeft(60 + 64 * k);
      dc->SetTop(20);
      ++k;
    }
}
