#pragma once
// The status bar: a row of panels at the bottom of a form over the system's status window, or one simple panel.
// The panels live in a collection so they exist (and stream) without the window and survive it being made again.
#include "platform/vcl/collection.h"
#include "platform/vcl/controls.h"

namespace vcl {

class TStatusBar;
class TStatusPanels;

VCL_ENUM(TStatusPanelStyle, psText, psOwnerDraw)
VCL_ENUM(TStatusPanelBevel, pbNone, pbLowered, pbRaised)

class TStatusPanel : public TCollectionItem {
  VCL_CLASS(TStatusPanel, TCollectionItem)
 public:
  explicit TStatusPanel(TCollection* collection) : TCollectionItem(collection) { Changed(true); }
  const String& Text() const { return text_; }
  void SetText(const String& value);
  int Width() const { return width_; }
  void SetWidth(int value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TStatusPanelStyle Style() const { return style_; }
  void SetStyle(TStatusPanelStyle value);
  TStatusPanelBevel Bevel() const { return bevel_; }
  void SetBevel(TStatusPanelBevel value);
  void Assign(const TPersistent* source) override;
  String DisplayName() const override { return text_.empty() ? TCollectionItem::DisplayName() : text_; }

 private:
  String text_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
  TStatusPanelStyle style_ = psText;
  TStatusPanelBevel bevel_ = pbLowered;
};

class TStatusPanels : public TCollection {
  VCL_CLASS(TStatusPanels, TCollection)
 public:
  explicit TStatusPanels(TStatusBar* owner);
  TStatusPanel* Items(int index) const { return TCollection::Items<TStatusPanel>(index); }
  TStatusPanel* Add() { return TCollection::Add<TStatusPanel>(); }

 protected:
  void Update(TCollectionItem* item) override;

 private:
  TStatusBar* bar_;
};

using TDrawPanelEvent = TEvent<void(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;

class TStatusBar : public TWinControl {
  VCL_CLASS(TStatusBar, TWinControl)
 public:
  explicit TStatusBar(TComponent* owner);
  ~TStatusBar() override;
  TStatusPanels* Panels() const { return panels_; }
  void SetPanels(TStatusPanels* value) { panels_->Assign(value); }
  bool SimplePanel() const { return simple_panel_; }
  void SetSimplePanel(bool value);
  const String& SimpleText() const { return simple_text_; }
  void SetSimpleText(const String& value);
  bool SizeGrip() const { return size_grip_; }
  void SetSizeGrip(bool value);
  // What the window shows in a panel (SB_GETTEXT), for checking that the window follows the panels.
  String PanelTextShown(int index);
  // Where a panel is, in client coordinates.
  TRect PanelRect(int index);
  TCanvas* Canvas() const { return canvas_; }
  TDrawPanelEvent OnDrawPanel;
  // Updates the window from the panels.
  void UpdatePanels();

 protected:
  void CreateParams(TCreateParams& p) override;
  void InitializeWnd() override;
  void Dispatch(TMessage& m) override;
  virtual void DrawPanel(TStatusPanel* panel, const TRect& rect);
  // Under a style the bar paints itself in the style's colours; the window keeps the parts and texts.
  void PaintStyled(HDC dc);
  void CallDrawPanel(HDC dc, int index, const TRect& rect);

 private:
  TStatusPanels* panels_ = nullptr;
  TCanvas* canvas_ = nullptr;
  bool simple_panel_ = false;
  String simple_text_;
  bool size_grip_ = true;
};

}  // namespace vcl
