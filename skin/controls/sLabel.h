#pragma once
// The skinned labels: a line of text painted by the parent. Without an active skin they draw like the platform's
// label, sized to the caption; a label whose ParentColor is off shows its Color behind the text even though the
// skinned label is transparent by default (so that it can take the skin's background when a skin is active).
// With an active skin the caption takes the skin's label colour (or the colour of the section under the label),
// and a label naming a section of its own is painted over that section's background.
//
// TsHTMLLabel shows its caption as markup (sHtmlParse.h), skinned or not, with links that turn hot under the mouse
// and open through the shell when clicked.
#include <functional>

#include "platform/vcl/stdctrls.h"
#include "skin/controls/sHtmlParse.h"
#include "skin/core/sConst.h"

class TsSkinManager;

// Where a caption that does not fit is shortened with "..." (labels that are not auto-sized).
VCL_ENUM(TEllipsisPosition, epNone, epPathEllipsis, epEndEllipsis, epWordEllipsis)

class TsCustomLabel : public vcl::TCustomLabel {
  VCL_CLASS(TsCustomLabel, vcl::TCustomLabel)
  explicit TsCustomLabel(vcl::TComponent* owner);
  ~TsCustomLabel() override;

  // The own manager, else DefaultManager.
  TsSkinManager* SkinManager() const;
  void SetSkinManager(TsSkinManager* value);
  bool IsSkinManagerStored() const { return FSkinManager != nullptr; }
  const rtl::String& SkinSection() const { return FSkinSection; }
  void SetSkinSection(const rtl::String& value);
  // True while the label's manager has an active skin.
  bool SkinActive() const;
  TEllipsisPosition EllipsisPosition() const { return FEllipsisPosition; }
  void SetEllipsisPosition(TEllipsisPosition value);

  vcl::TNotifyEvent OnMouseEnter;
  vcl::TNotifyEvent OnMouseLeave;

  // The colour the caption is drawn in.
  virtual vcl::TColor TextColor();
  // A label without a section of its own asks its parent which section's font applies where it stands.
  void WndProc(vcl::TMessage& message) override;

 protected:
  void Paint() override;
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;
  void CMMouseEnter(vcl::TMessage& m) override;
  void CMMouseLeave(vcl::TMessage& m) override;
  void CMFontChanged(vcl::TMessage& m) override;
  // The caption into r of the canvas with the platform label's flags (measuring into r with DT_CALCRECT).
  virtual void DoDrawText(vcl::TRect& r, unsigned flags);
  // Disabled captions are 40 % text colour over the parent's colour.
  vcl::TColor DisabledColor(vcl::TColor color);
  // The ellipsis flag for EllipsisPosition added to flags (DT_EXPANDTABS taken out) and, for wrapped text ending
  // in an ellipsis, the text shortened word by word until it fits the label's height; nothing for epNone or an
  // auto-sized label. Measures with the font selected into dc.
  void ApplyEllipsis(HDC dc, rtl::String& text, const RECT& r, unsigned& flags) const;

  rtl::String FSkinSection;
  TEllipsisPosition FEllipsisPosition = epNone;
  TsSkinManager* FSkinManager = nullptr;
  int FSkinIndex = -1;
};

class TsLabel : public TsCustomLabel {
  VCL_CLASS(TsLabel, TsCustomLabel)
  explicit TsLabel(vcl::TComponent* owner) : TsCustomLabel(owner) {}
  bool UseSkinColor() const { return FUseSkinColor; }
  void SetUseSkinColor(bool value);
  vcl::TColor TextColor() override;

 protected:
  bool FUseSkinColor = true;
};

class TsHTMLLabel : public TsLabel {
  VCL_CLASS(TsHTMLLabel, TsLabel)
  explicit TsHTMLLabel(vcl::TComponent* owner);
  bool UseHTML() const { return FUseHTML; }
  void SetUseHTML(bool value);
  TsWindowShowMode ShowMode() const { return FShowMode; }
  void SetShowMode(TsWindowShowMode value) { FShowMode = value; }
  // The caption with every tag removed.
  rtl::String PlainCaption() const;
  void WndProc(vcl::TMessage& message) override;
  // Opens the link's address through the shell.
  void DoClick(int linkIndex);

  int HotLink = -1;
  int PressedLink = -1;
  // The links of the last paint.
  TlvLinks Links;

 protected:
  void DoDrawText(vcl::TRect& r, unsigned flags) override;
  void CMTextChanged(vcl::TMessage& m) override;
  void CMFontChanged(vcl::TMessage& m) override;
  void FitToMarkup();
  int LinkAt(vcl::TPoint p) const;

  bool FUseHTML = true;
  TsWindowShowMode FShowMode = soDefault;
};

// How a link's address is opened (ShellExecuteW with the verb "open"); replaceable, so that a program or a test
// can take the request instead.
extern std::function<void(const rtl::String& url, int showCommand)> lvShellOpen;
