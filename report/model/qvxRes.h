#pragma once
// The report library's interface strings: one process-wide table of named texts, filled from the built-in English
// table and replaceable key by key from language files (the same XML form), plus the library's help topics.
#include <memory>
#include <string>

#include "platform/rtl/object.h"
#include "platform/rtl/stringlist.h"
#include "report/model/qvxUnicodeUtils.h"

namespace vcl {
class TBitmap;
class TImageList;
class TSpeedButton;
}  // namespace vcl

struct THelpTopic {
  const wchar_t* Sender;  // class name
  const wchar_t* Topic;   // page of the help file
};
extern const THelpTopic helpTopics[17];

class TqvxResources : public rtl::TObject {
 public:
  TqvxResources();
  ~TqvxResources() override;
  rtl::String ClassName() const override { return L"TqvxResources"; }

  // The value of key strName (keys ignore ASCII case), or strName itself when there is none; a leading "!" of the
  // result is dropped.
  rtl::String Get(const rtl::String& strName) const;
  // Replaces the value of an existing key in place, or adds the key.
  void AddW(const rtl::String& ref, const rtl::String& str);
  void Add(const rtl::String& ref, const rtl::String& str) { AddW(ref, str); }
  // "key=value" lines; lines without a key or a value are skipped.
  void AddStrings(const rtl::String& str);
  // UTF-8 bytes of a string document.
  void AddXML(const std::string& str);
  void Clear();
  // A missing file changes nothing.
  void LoadFromFile(const rtl::String& fileName);
  // Reads a string document (root "Resources", children "StrRes" with Name and Text). Another root loads nothing.
  void LoadFromStream(rtl::TStream& stream);

  // The language files ("*.qvc") beside the program, by name; they are listed, never loaded here.
  void BuildLanguagesList();
  const rtl::TStringList& Languages() const { return *FLanguages; }

  // Opens the help file at the page for sender's class (the default page for others, or without a sender).
  void Help(const rtl::TObject* sender) const;
  // The help file path Help opens: the program's folder, HelpFile and "::/" Topic when sender has one.
  rtl::String HelpPath(const rtl::TObject* sender) const;
  const rtl::String& HelpFile() const { return FHelpFile; }
  void SetHelpFile(const rtl::String& value) { FHelpFile = value; }
  rtl::Cardinal CodePage() const { return FCP; }

  // Copies the seventeen translatable messages of the script compiler from the table, so that a language file
  // translates them too.
  void UpdateFSResources();

  // The library's button images, 16 x 16 (the wizard's 32 x 32). A getter fills its list on first use from the
  // packed image strip of the program's resources; only the preview's strip ("PreviewButtons") is part of this
  // program, the others raise EResNotFound.
  vcl::TImageList* GetMainButtonImages();
  vcl::TImageList* GetPreviewButtonImages();
  vcl::TImageList* GetObjectImages();
  vcl::TImageList* GetWizardImages();
  // Filled with the main button images.
  vcl::TImageList* DisabledButtonImages() const { return FDisabledButtonImages.get(); }
  // A strip cut into the list (clear empties it first); the main buttons also get grey copies for disabled ones.
  void SetButtonImages(vcl::TBitmap* images, bool clear = false);
  void SetPreviewButtonImages(vcl::TBitmap* images, bool clear = false);
  void SetObjectImages(vcl::TBitmap* images, bool clear = false);
  void SetWizardImages(vcl::TBitmap* images, bool clear = false);
  // Gives button a two-state glyph: main image index, and its disabled image beside it.
  void SetGlyph(vcl::TSpeedButton* button, rtl::Integer index);

 private:
  std::unique_ptr<vcl::TImageList> FDisabledButtonImages, FMainButtonImages, FObjectImages, FPreviewButtonImages,
      FWizardImages;
  std::unique_ptr<rtl::TStringList> FNames;
  std::unique_ptr<TqvxWideStrings> FValues;
  std::unique_ptr<rtl::TStringList> FLanguages;
  rtl::String FHelpFile = L"QVUser.chm";
  rtl::Cardinal FCP = 0;
};

// The process-wide table, created (and filled with the built-in strings) on first use.
TqvxResources& qvxResources();
// The value of a numeric key.
rtl::String qvxGet(rtl::Integer id);
// Shows a page of a help file; nothing when the system has no HTML Help.
void qvxDisplayHHTopic(void* handle, const rtl::String& topic);
