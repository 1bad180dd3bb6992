#pragma once
// The report's style sheet: named styles, each a font, a frame and a fill with switches saying which of them a
// text object naming the style takes over. Stored with the report and in style-sheet files of their own (root
// "style", one "item" per style).
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/vcl/graphicsobjects.h"
#include "report/model/qvxClassFrames.h"
#include "report/model/qvxCollections.h"
#include "report/model/qvxXML.h"

class TqvxReport;

class TqvxStyleItem : public TqvxCollectionItem {
  VCL_CLASS(TqvxStyleItem, TqvxCollectionItem)
 public:
  explicit TqvxStyleItem(vcl::TCollection* collection);
  ~TqvxStyleItem() override;

  // From a style only: the name itself (without the duplicate check), fill type and fill, font, frame, the three
  // switches and IsInherited.
  void Assign(const rtl::TPersistent* source) override;
  // The name, or the inherited name while the style has none.
  rtl::String GetInheritedName() const override;

  const rtl::String& Name() const { return FName; }
  // Raises "Duplicate name" when another style of the sheet has that name (ignoring case).
  void SetName(const rtl::String& value);
  // "Style" and the smallest free number.
  void CreateUniqueName();
  // The brush fill's back colour, a gradient's colour, else no colour; writing reaches brush fills only.
  vcl::TColor Color() const;
  void SetColor(vcl::TColor value);
  vcl::TFont* Font() const { return FFont; }
  void SetFont(vcl::TFont* value) { FFont->Assign(value); }
  TqvxFrame* Frame() const { return FFrame; }
  void SetFrame(TqvxFrame* value) { FFrame->Assign(value); }
  TqvxCustomFill* Fill() const { return FFill; }
  // The fill type of value, then its settings.
  void SetFill(TqvxCustomFill* value);
  TqvxFillType FillType() const { return qvxGetFillType(FFill); }
  // A new fill of that type when the type changes.
  void SetFillType(TqvxFillType value);

  bool ApplyFont = true, ApplyFill = true, ApplyFrame = true;

 private:
  rtl::String FName;
  vcl::TFont* FFont;
  TqvxFrame* FFrame;
  TqvxCustomFill* FFill;
};

class TqvxStyles : public TqvxCollection {
  VCL_CLASS(TqvxStyles, TqvxCollection)
 public:
  explicit TqvxStyles(TqvxReport* report = nullptr);

  TqvxStyleItem* Add();
  TqvxStyleItem* Items(int index) const;
  // The first style of that name (the user's locale, ignoring case); nullptr when none.
  TqvxStyleItem* Find(const rtl::String& name) const;
  void GetList(rtl::TStrings* list) const;
  // Every text object of the report takes its style again, or forgets a style the sheet does not have.
  void Apply();

  void SaveToXMLItem(TqvxXMLItem* item);
  // Empties the sheet and reads it; old-format documents decode text differently.
  void LoadFromXMLItem(TqvxXMLItem* item, bool oldXMLFormat = false);
  void SaveToStream(rtl::TStream& stream);
  // A document whose root is not "style" leaves the sheet empty.
  void LoadFromStream(rtl::TStream& stream);
  void SaveToFile(const rtl::String& fileName);
  void LoadFromFile(const rtl::String& fileName);

  const rtl::String& Name() const { return FName; }
  void SetName(const rtl::String& value) { FName = value; }
  TqvxReport* Report() const { return FReport; }

 private:
  rtl::String FName;
  TqvxReport* FReport;
};
