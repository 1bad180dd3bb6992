#pragma once
// Visible report objects: the view base (frame, fill, hyperlink, data binding, the drawing rectangle, the data step
// of the print cycle), the stretchable base, the shape view, and the highlight and display-format items that text
// objects keep.
#include <typeinfo>

#include "platform/vcl/collection.h"
#include "report/model/qvxClass.h"
#include "report/model/qvxClassFrames.h"

VCL_ENUM(TqvxShiftMode, smDontShift, smAlways, smWhenOverlapped)
VCL_ENUM(TqvxVisibilityType, vsPreview, vsExport, vsPrint)
VCL_SET(TqvxVisibilityTypes, TqvxVisibilityType)
VCL_ENUM(TqvxStretchMode, smDontStretch, smActualHeight, smMaxHeight)
VCL_ENUM(TqvxShapeKind, skRectangle, skRoundRectangle, skEllipse, skTriangle, skDiamond, skDiagonal1, skDiagonal2)
VCL_ENUM(TqvxFormatKind, fkText, fkNumeric, fkDateTime, fkBoolean)

class TqvxView : public TqvxReportComponent {
  VCL_CLASS(TqvxView, TqvxReportComponent)
public:
  explicit TqvxView(vcl::TComponent* owner);
  TqvxView(vcl::TComponent* owner, rtl::Word flags);
  ~TqvxView() override;

  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  rtl::String Diff(TqvxComponent* component) override;
  void Draw(vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX, Extended offsetY) override;
  void BeforePrint() override;
  void GetData() override;
  void AfterPrint() override;

  virtual void BeginDraw(vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX, Extended offsetY);
  virtual void DrawBackground();
  virtual void DrawFrame();
  virtual void DoMouseMove(int x, int y, bool& refresh) {}
  virtual void DoMouseUp(int x, int y, int button, int shift, bool& refresh) {}
  virtual void DoMouseEnter(rtl::TObject* sender, bool& refresh) {}
  virtual void DoMouseLeave(rtl::TObject* sender, bool& refresh) {}
  virtual void DoMouseClick(rtl::TObject* sender, bool isDouble, bool& modified, bool& refresh) {}

  // Replaces every bracketed expression of expr by its value; what an expression gives is not scanned again.
  void ExpandVariables(rtl::String& expr);
  // A line of the given width by the frame's multi-line rule, with the canvas pen.
  void DrawLine(int x, int y, int x1, int y1, int width);
  bool IsDataField() const { return FDataSet && !DataField.empty(); }

  TqvxDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TqvxDataSet* value);
  rtl::String DataSetName() const;
  void SetDataSetName(const rtl::String& value);
  TqvxFrame* Frame() const { return FFrame; }
  void SetFrame(TqvxFrame* value) { FFrame->Assign(value); }
  TqvxHyperlink* Hyperlink() const { return FHyperlink; }
  void SetHyperlink(TqvxHyperlink* value) { FHyperlink->Assign(value); }
  TqvxCustomFill* Fill() const { return FFill; }
  void SetFill(TqvxCustomFill* value);
  TqvxFillType FillType() const { return qvxGetFillType(FFill); }
  void SetFillType(TqvxFillType value);
  vcl::TColor Color() const;
  void SetColor(vcl::TColor value);
  vcl::TBrushStyle BrushStyle() const;
  void SetBrushStyle(vcl::TBrushStyle value);
  bool Printable() const { return Visibility.Contains(vsPrint); }
  void SetPrintable(bool value);
  rtl::String URL() const { return FURL; }
  void SetURL(const rtl::String& value);
  TqvxAlign Align() const { return FAlign; }
  void SetAlign(TqvxAlign value) { FAlign = value; }

  std::int16_t Cursor = 0;
  rtl::String DataField;
  TqvxShiftMode ShiftMode = smAlways;
  rtl::String TagStr, TempTag, TempHyperlink, Hint;
  bool ShowHint = false;
  bool PlainText = false;
  TqvxVisibilityTypes Visibility{vsPreview, vsExport, vsPrint};
  bool DrawAsMask = false;
  rtl::String OnMouseEnter, OnMouseLeave, OnMouseDown, OnMouseMove, OnMouseUp;
  // The drawing rectangle of the current Draw.
  int X = 0, Y = 0, X1 = 0, Y1 = 0, DX = 0, DY = 0, FrameWidth = 0;
  Extended ScaleX = 1, ScaleY = 1, OffsetX = 0, OffsetY = 0;
  vcl::TCanvas* Canvas = nullptr;

protected:
  TqvxAlign FAlign = baNone;
  TqvxDataSet* FDataSet = nullptr;
  rtl::String FDataSetName;
  TqvxFrame* FFrame;
  TqvxHyperlink* FHyperlink;
  TqvxCustomFill* FFill;
  rtl::String FURL;

private:
  void InitView();
};

class TqvxStretcheable : public TqvxView {
  VCL_CLASS(TqvxStretcheable, TqvxView)
public:
  explicit TqvxStretcheable(vcl::TComponent* owner) : TqvxView(owner) {}
  TqvxStretcheable(vcl::TComponent* owner, rtl::Word flags) : TqvxView(owner, flags) {}
  virtual Extended CalcHeight() { return Height(); }
  virtual Extended DrawPart() { return 0; }
  virtual void InitPart() {}
  virtual bool HasNextDataPart() { return false; }

  TqvxStretchMode StretchMode = smDontStretch;
  Extended SaveHeight = 0, SavedTop = 0;
};

class TqvxShapeView : public TqvxView {
  VCL_CLASS(TqvxShapeView, TqvxView)
public:
  explicit TqvxShapeView(vcl::TComponent* owner);
  // flags: the shape kind.
  TqvxShapeView(vcl::TComponent* owner, rtl::Word flags);
  rtl::String GetDescription() const override;
  rtl::String Diff(TqvxComponent* component) override;
  void Draw(vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX, Extended offsetY) override;

  rtl::Integer Curve = 0;
  TqvxShapeKind Shape = skRectangle;

private:
  void DrawShape();
};

class TqvxHighlight : public vcl::TCollectionItem {
  VCL_CLASS(TqvxHighlight, vcl::TCollectionItem)
public:
  explicit TqvxHighlight(vcl::TCollection* collection);
  ~TqvxHighlight() override;
  void Assign(const rtl::TPersistent* source) override;

  vcl::TFont* Font() const { return FFont; }
  void SetFont(vcl::TFont* value) { FFont->Assign(value); }
  TqvxFrame* Frame() const { return FFrame; }
  void SetFrame(TqvxFrame* value) { FFrame->Assign(value); }
  TqvxCustomFill* Fill() const { return FFill; }
  void SetFill(TqvxCustomFill* value);
  TqvxFillType FillType() const { return qvxGetFillType(FFill); }
  void SetFillType(TqvxFillType value);
  vcl::TColor Color() const;
  void SetColor(vcl::TColor value);

  bool Active = false;
  bool ApplyFont = true, ApplyFill = true, ApplyFrame = false;
  rtl::String Condition;
  bool Visible = true;

private:
  vcl::TFont* FFont;
  TqvxCustomFill* FFill;
  TqvxFrame* FFrame;
};

class TqvxHighlightCollection : public vcl::TCollection {
  VCL_CLASS(TqvxHighlightCollection, vcl::TCollection)
public:
  explicit TqvxHighlightCollection(rtl::TPersistent* owner = nullptr)
      : vcl::TCollection(TqvxHighlight::StaticClass(), owner) {}
  TqvxHighlight* Items(int index) const { return vcl::TCollection::Items<TqvxHighlight>(index); }
};

class TqvxFormat : public vcl::TCollectionItem {
  VCL_CLASS(TqvxFormat, vcl::TCollectionItem)
public:
  explicit TqvxFormat(vcl::TCollection* collection) : vcl::TCollectionItem(collection) {}
  void Assign(const rtl::TPersistent* source) override;

  rtl::String DecimalSeparator, ThousandSeparator, FormatStr;
  TqvxFormatKind Kind = fkText;
};

class TqvxFormatCollection : public vcl::TCollection {
  VCL_CLASS(TqvxFormatCollection, vcl::TCollection)
public:
  explicit TqvxFormatCollection(rtl::TPersistent* owner = nullptr)
      : vcl::TCollection(TqvxFormat::StaticClass(), owner) {}
  // Read for every text object at every record: an item of the plain class needs no cast through the hierarchy.
  TqvxFormat* Items(int index) const {
    vcl::TCollectionItem* item = vcl::TCollection::Items(index);
    if (item && &typeid(*item) == &typeid(TqvxFormat)) return static_cast<TqvxFormat*>(item);
    return dynamic_cast<TqvxFormat*>(item);
  }
};
