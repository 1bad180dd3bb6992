#pragma once
// The report object tree: the base of every object of a report (pages, bands, views, datasets, the report root)
// and the base of everything that prints. Positions and sizes are pixels at 96 per inch.
//
// Each object knows its parent; the nearest report root and page are found by walking parents and looking at a
// pointer each node keeps to itself as a root or page (no class names on these paths, which the engine walks for
// every object of every record).
#include <cstdint>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/variant.h"
#include "platform/vcl/colors.h"
#include "platform/vcl/component.h"
#include "platform/vcl/graphicsobjects.h"
#include "report/model/qvxXMLSerializer.h"

namespace vcl {
class TCanvas;
}

using Extended = long double;

inline constexpr Extended qv01cm = 3.77953L;
inline constexpr Extended qv1cm = 37.7953L;
inline constexpr Extended qv01in = 9.6L;
inline constexpr int qv1in = 96;
inline constexpr Extended qv1CharX = 9.6L;
inline constexpr int qv1CharY = 17;
inline constexpr vcl::TColor clTransparent = 0x1FFFFFFF;

struct TqvxRect {
  Extended Left = 0, Top = 0, Right = 0, Bottom = 0;
};
struct TqvxPoint {
  Extended X = 0, Y = 0;
};
inline TqvxRect qvxRect(Extended left, Extended top, Extended right, Extended bottom) {
  return TqvxRect{left, top, right, bottom};
}

VCL_ENUM(TqvxRestriction, rfDontModify, rfDontSize, rfDontMove, rfDontDelete, rfDontEdit)
VCL_SET(TqvxRestrictions, TqvxRestriction)
VCL_ENUM(TqvxComponentStyleItem, csContainer, csPreviewVisible, csDefaultDiff, csHandlesNestedProperties)
VCL_SET(TqvxComponentStyle, TqvxComponentStyleItem)
VCL_ENUM(TqvxPrintOnType, ptFirstPage, ptLastPage, ptOddPages, ptEvenPages, ptRepeatedBand)
VCL_SET(TqvxPrintOn, TqvxPrintOnType)
VCL_ENUM(TqvxAlign, baNone, baLeft, baRight, baCenter, baWidth, baBottom, baClient)

// True when obj's class, or one of its ancestors, has that name (classes that are not linked in simply answer
// false). For the few places that must not depend on a class's unit; hot paths use pointers.
bool qvxIsKindOf(const rtl::TObject* obj, const wchar_t* className);

class EDuplicateName : public rtl::Exception {
public:
  using rtl::Exception::Exception;
  rtl::String ClassName() const override { return L"EDuplicateName"; }
};

class TqvxDataSet;
class TqvxComponent;
class TqvxReport;
class TqvxPage;

class TqvxComponent : public vcl::TComponent {
  VCL_CLASS(TqvxComponent, vcl::TComponent)
public:
  explicit TqvxComponent(vcl::TComponent* owner);
  // The designer's constructor: descendants read flags (shape kind, line kind).
  TqvxComponent(vcl::TComponent* owner, rtl::Word flags);
  ~TqvxComponent() override;

  void Assign(const rtl::TPersistent* source) override;
  // Copies the whole sub-tree of source.
  void AssignAll(TqvxComponent* source, bool streaming = false);
  void SetName(const rtl::String& value) override;

  virtual void SetParent(TqvxComponent* value);
  virtual void SetLeft(Extended value);
  virtual void SetTop(Extended value);
  virtual void SetWidth(Extended value);
  virtual void SetHeight(Extended value);
  virtual void SetFont(vcl::TFont* value);
  virtual void SetParentFont(bool value);
  virtual void SetVisible(bool value);
  virtual void FontChanged();
  virtual std::vector<TqvxComponent*>& GetContainerObjects();
  virtual rtl::String GetDescription() const;
  virtual void AlignChildren();
  virtual void AddSourceObjects() {}
  virtual void BeforeStartReport() {}
  // Frees the children; those that come from an ancestor (the platform's csAncestor) are cleared instead.
  virtual void Clear();
  // Frees every child, inherited ones too.
  void FreeChildren();
  virtual void LoadFromStream(rtl::TStream& stream);
  virtual void SaveToStream(rtl::TStream& stream, bool saveChildren = true, bool saveDefaultValues = false,
                            bool streaming = false);
  virtual void OnNotify(rtl::TObject* sender) {}
  virtual void OnPaste() {}
  virtual rtl::String Diff(TqvxComponent* component);
  virtual void WriteNestedProperties(TqvxXMLItem* item) {}
  virtual bool ReadNestedProperty(TqvxXMLItem* item) { return false; }
  virtual bool ContainerAdd(TqvxComponent* obj) { return false; }
  virtual bool ContainerMouseDown(rtl::TObject* sender, int x, int y) { return false; }
  virtual void ContainerMouseMove(rtl::TObject* sender, int x, int y) {}
  virtual void ContainerMouseUp(rtl::TObject* sender, int x, int y) {}

  void GetChildren(const vcl::TGetChildProc& proc, vcl::TComponent* root) override;
  vcl::TComponent* GetChildOwner() override { return this; }

  void SetBounds(Extended left, Extended top, Extended width, Extended height);
  // The first object of GetAllObjects with that name (ignoring case).
  TqvxComponent* FindObject(const rtl::String& name);
  TqvxDataSet* FindDataSet(TqvxDataSet* dataSet, const rtl::String& dsName);
  void CreateUniqueName();
  // Every descendant, depth first; rebuilt on every call.
  const std::vector<TqvxComponent*>& GetAllObjects();

  rtl::String InternalDiff(TqvxComponent* component);
  // Room the next difference text is written into (InternalDiff starts every one): the prepared pages hand over
  // the room of texts they no longer need, so that an object of every record does not ask the heap for a new one.
  void GiveDiffRoom(rtl::String&& room) { FDiffRoom = std::move(room); }
  rtl::String AllDiff(TqvxComponent* component);
  static rtl::String DiffFont(vcl::TFont* f1, vcl::TFont* f2, const rtl::String& add);

  // The nearest page or report root among this object and its parents.
  TqvxPage* Page() const;
  TqvxReport* Report() const;
  Extended AbsLeft() const;
  Extended AbsTop() const;
  bool IsAncestor() const;
  bool IsLoading() const;

  const std::vector<TqvxComponent*>& Objects() const { return FObjects; }
  // Changes whenever the list of children may have changed. A value is never given twice, not even to another
  // object made later at the same address, so (object, stamp) safely keys what is found by walking the list.
  std::uint64_t ObjectsStamp() const { return FObjectsStamp; }
  TqvxComponent* Parent() const { return FParent; }
  vcl::TFont* Font() const { return FFont; }
  Extended Left() const { return FLeft; }
  Extended Top() const { return FTop; }
  Extended Width() const { return FWidth; }
  Extended Height() const { return FHeight; }
  bool ParentFont() const { return FParentFont; }
  bool Visible() const { return FVisible; }
  rtl::Integer GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(rtl::Integer value) { FGroupIndex = value; }
  TqvxRestrictions Restrictions() const { return FRestrictions; }
  void SetRestrictions(TqvxRestrictions value) { FRestrictions = value; }
  const rtl::String& Description() const { return FDescription; }
  void SetDescription(const rtl::String& value) { FDescription = value; }
  TqvxComponentStyle qvComponentStyle() const { return FqvComponentStyle; }
  void SetqvComponentStyle(TqvxComponentStyle value) { FqvComponentStyle = value; }
  bool AncestorOnlyStream() const { return FAncestorOnlyStream; }
  void SetAncestorOnlyStream(bool value) { FAncestorOnlyStream = value; }
  const rtl::String& AliasName() const { return FAliasName; }
  void SetAliasName(const rtl::String& value) { FAliasName = value; }
  // The class name without "Tqvx" and "View" unless a descendant set another stem.
  const rtl::String& BaseName() const;
  void SetBaseName(const rtl::String& value) { FBaseName = value; }
  bool Ancestor() const { return FAncestor; }
  // Not SetAncestor: that is the platform's, which sets the component state's ancestor flag.
  void SetAncestorFlag(bool value) { FAncestor = value; }
  TqvxComponent* OriginalComponent() const { return FOriginalComponent; }
  void SetOriginalComponent(TqvxComponent* value) { FOriginalComponent = value; }
  const TqvxRect& OriginalRect() const { return FOriginalRect; }
  void SetOriginalRect(const TqvxRect& value) { FOriginalRect = value; }
  TqvxComponent* OriginalBand() const { return FOriginalBand; }
  void SetOriginalBand(TqvxComponent* value) { FOriginalBand = value; }
  bool IsDesigning() const { return FIsDesigning; }
  void SetIsDesigning(bool value) { FIsDesigning = value; }
  void SetIsLoading(bool value) { FIsLoading = value; }
  bool IsPrinting() const { return FIsPrinting; }
  void SetIsPrinting(bool value) { FIsPrinting = value; }
  bool IsWriting() const { return FIsWriting; }
  void SetIsWriting(bool value) { FIsWriting = value; }

protected:
  // Names are unique within a report. Outside one (the prepared pages' source copies and rebuilt pages, where a
  // band printed many times repeats its name) they need not be.
  void ValidateRename(vcl::TComponent* component, const rtl::String& curName, const rtl::String& newName) override;

  // Every change to FObjects goes with a call: what was found in the list is then looked up again.
  void ObjectsChanged() { FObjectsStamp = NextObjectsStamp(); }

  vcl::TFont* FFont = nullptr;
  std::vector<TqvxComponent*> FObjects;
  std::vector<TqvxComponent*> FAllObjects;
  TqvxComponent* FParent = nullptr;
  Extended FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  bool FParentFont = false;
  rtl::Integer FGroupIndex = 0;
  bool FIsDesigning = false, FIsLoading = false, FIsPrinting = false, FIsWriting = false;
  TqvxRestrictions FRestrictions;
  bool FVisible = true;
  rtl::String FDescription;
  TqvxComponentStyle FqvComponentStyle;
  bool FAncestorOnlyStream = false;
  rtl::String FAliasName;
  mutable rtl::String FBaseName;
  bool FAncestor = false;
  TqvxComponent* FOriginalComponent = nullptr;
  TqvxRect FOriginalRect;
  TqvxComponent* FOriginalBand = nullptr;
  rtl::String FDiffRoom;
  static std::uint64_t NextObjectsStamp();
  std::uint64_t FObjectsStamp = NextObjectsStamp();
  // Set by the report root and the page classes on themselves: what Report(), Page() and AbsLeft look for.
  TqvxReport* FAsReport = nullptr;
  TqvxPage* FAsPage = nullptr;
  // Set by the bands and the text objects on themselves: what the difference texts ask at every record.
  bool FIsBand = false;
  bool* FAutoWidth = nullptr;
  bool FIsDialogPage = false;

 private:
  void Init(vcl::TComponent* owner);
  void CollectAll(std::vector<TqvxComponent*>& list);
  static vcl::TComponent* OwnerFor(vcl::TComponent* owner);
};

class TqvxReportComponent : public TqvxComponent {
  VCL_CLASS(TqvxReportComponent, TqvxComponent)
public:
  explicit TqvxReportComponent(vcl::TComponent* owner);
  TqvxReportComponent(vcl::TComponent* owner, rtl::Word flags);
  ~TqvxReportComponent() override;

  // Screen position of a point: offsetX + scaleX * x (likewise for y).
  virtual void Draw(vcl::TCanvas* canvas, Extended scaleX, Extended scaleY, Extended offsetX, Extended offsetY) = 0;
  virtual void BeforePrint();
  virtual void GetData() {}
  virtual void AfterPrint();
  virtual rtl::String GetComponentText() { return rtl::String(); }
  virtual TqvxRect GetRealBounds();

  rtl::String OnAfterData, OnAfterPrint, OnBeforePrint, OnPreviewClick, OnPreviewDblClick;
  TqvxPrintOn PrintOn;
  Extended ShiftAmount = 0;
  std::vector<TqvxComponent*>& ShiftChildren() { return *FShiftChildren; }

private:
  std::vector<TqvxComponent*>* FShiftChildren = nullptr;
};
