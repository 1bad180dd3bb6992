#pragma once
// Small registered classes that exercise every kind of published property, a collection, a form with fields and
// handlers, and stored properties a class defines itself.
#include <functional>
#include <vector>

#include "platform/vcl/collection.h"
#include "platform/vcl/component.h"
#include "platform/vcl/filer.h"

namespace coretest {

using rtl::String;
using rtl::TObject;
using namespace vcl;

VCL_ENUM(TTestAlign, altNone, altTop, altBottom, altClient)
VCL_ENUM(TTestStyle, tsBold, tsItalic, tsUnderline)
VCL_SET(TTestStyles, TTestStyle)

class TTestComponent : public TComponent {
  VCL_CLASS(TTestComponent, TComponent)
public:
  explicit TTestComponent(TComponent* owner) : TComponent(owner) {}
  ~TTestComponent() override {
    if (onFree) onFree(this);
    if (log) log->push_back(Name());
  }
  TComponent* Ref() const { return ref_; }
  void SetRef(TComponent* c) {
    if (ref_) ref_->RemoveFreeNotification(this);
    ref_ = c;
    if (c) c->FreeNotification(this);
  }
  std::vector<String>* log = nullptr;
  std::function<void(TTestComponent*)> onFree;
  std::vector<String> loadedOrder;

protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove && c == ref_) ref_ = nullptr;
  }

private:
  TComponent* ref_ = nullptr;
};

class TTestFont : public TPersistent {
  VCL_CLASS(TTestFont, rtl::TPersistent)
public:
  String Name() const { return name_; }
  void SetName(const String& v) { name_ = v; }
  int Size() const { return size_; }
  void SetSize(int v) { size_ = v; }
  TTestStyles Styles() const { return styles_; }
  void SetStyles(TTestStyles v) { styles_ = v; }
  void Assign(const TPersistent* source) override {
    if (auto* f = dynamic_cast<const TTestFont*>(source)) {
      name_ = f->name_;
      size_ = f->size_;
      styles_ = f->styles_;
      return;
    }
    TPersistent::Assign(source);
  }

private:
  String name_ = L"MS Sans Serif";
  int size_ = 8;
  TTestStyles styles_;
};

class TTestButton : public TComponent {
  VCL_CLASS(TTestButton, TComponent)
public:
  explicit TTestButton(TComponent* owner) : TComponent(owner), constructed(true) {}
  ~TTestButton() override { delete font_; }
  void AfterConstruction() override { afterConstruction = true; }
  void Loaded() override;

  String Caption() const { return caption_; }
  void SetCaption(const String& v) {
    caption_ = v;
    // A setter with a side effect: it records what Width was when the caption arrived.
    widthWhenCaptionSet = width_;
  }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v) { enabled_ = v; }
  TTestAlign Align() const { return align_; }
  void SetAlign(TTestAlign v) { align_ = v; }
  TTestStyles Style() const { return style_; }
  void SetStyle(TTestStyles v) { style_ = v; }
  int Width() const { return width_; }
  void SetWidth(int v) { width_ = v; }
  TTestFont* Font() const { return font_; }
  void SetFont(TTestFont* f) { font_->Assign(f); }
  TComponent* Link() const { return link_; }
  void SetLink(TComponent* c) { link_ = c; }
  bool IsRatioStored() const { return ratio != 0.25; }

  double ratio = 0;
  rtl::Int64 big = 0;
  rtl::Variant value;
  wchar_t letter = L'A';
  TNotifyEvent OnClick;
  bool constructed = false;
  bool afterConstruction = false;
  int widthWhenCaptionSet = -1;

private:
  String caption_;
  bool enabled_ = true;
  TTestAlign align_ = altNone;
  TTestStyles style_;
  int width_ = 75;
  TTestFont* font_ = new TTestFont();
  TComponent* link_ = nullptr;
};

class TTestForm : public TTestComponent {
  VCL_CLASS(TTestForm, TTestComponent)
public:
  explicit TTestForm(TComponent* owner) : TTestComponent(owner) {}
  // Visual children the writer should write under this form.
  void GetChildren(const TGetChildProc& proc, TComponent* root) override {
    for (int i = 0; i < ComponentCount(); ++i) proc(Components(i));
  }
  void Button1Click(TObject*) { ++clicks; }
  void OtherClick(TObject*) { clicks += 10; }
  void KeyHandler(TObject*, int&) {}
  TTestButton* Button1 = nullptr;
  TTestButton* Button2 = nullptr;
  int clicks = 0;
};

class TTestColumn : public TCollectionItem {
  VCL_CLASS(TTestColumn, TCollectionItem)
public:
  explicit TTestColumn(TCollection* c) : TCollectionItem(c) {}
  String FieldName() const { return field_; }
  void SetFieldName(const String& v) {
    field_ = v;
    Changed(false);
  }
  int Width() const { return width_; }
  void SetWidth(int v) { width_ = v; }
  TTestFont* Title() const { return title_.get(); }
  String DisplayName() const override { return field_.empty() ? TCollectionItem::DisplayName() : field_; }

private:
  String field_;
  int width_ = 64;
  std::unique_ptr<TTestFont> title_ = std::make_unique<TTestFont>();
};

class TTestGrid;

class TTestColumns : public TCollection {
public:
  TTestColumns(TTestGrid* grid);
  void Added(TCollectionItem* item) override;
  void Update(TCollectionItem* item) override;
  TTestGrid* grid;
};

// A grid with a collection, a string list of its own stored property ("Lines"), binary data ("Data") and a custom
// stored property with its own value form ("Variables": a list of name/value pairs).
class TTestGrid : public TComponent {
  VCL_CLASS(TTestGrid, TComponent)
public:
  explicit TTestGrid(TComponent* owner) : TComponent(owner), columns_(new TTestColumns(this)) {}
  ~TTestGrid() override { delete columns_; }
  TCollection* Columns() const { return columns_; }
  void SetColumns(TCollection* c) { columns_->Assign(c); }
  void DefineProperties(TFiler* filer) override;

  std::vector<String> addedSeen;
  int updates = 0;
  std::vector<unsigned char> data;
  std::vector<std::pair<String, String>> variables;
  double pLeft = 0;

private:
  TTestColumns* columns_;
};

}  // namespace coretest
