#pragma once
// The window in which a report shows its prepared pages: a tool bar of commands, a status bar and a preview
// control filling the rest. It maps the report's preview options onto its buttons, keeps the buttons in step with
// the preview (nothing but Close works while pages are being prepared), offers a full-screen mode and mirrors the
// tool bar in a right-click menu.
#include "platform/vcl/buttons.h"
#include "platform/vcl/menus.h"
#include "platform/vcl/statusbar.h"
#include "platform/vcl/stdctrls.h"
#include "platform/vcl/toolbar.h"
#include "report/model/qvxPreviewIntf.h"
#include "report/preview/qvxCtrls.h"
#include "report/preview/qvxPreview.h"

// The tool bar of the preview window: buttons, separators and the panels holding the zoom box and the page edit
// side by side, in the order they were added.
class TqvxPreviewToolBar : public vcl::TToolBar {
  VCL_CLASS(TqvxPreviewToolBar, vcl::TToolBar)
 public:
  explicit TqvxPreviewToolBar(vcl::TComponent* owner) : vcl::TToolBar(owner) {}

 protected:
  void AlignControls(vcl::TControl* control, vcl::TRect& rect) override;
};

class TqvxPreviewForm : public TqvxCustomPreviewForm {
  VCL_CLASS(TqvxPreviewForm, TqvxCustomPreviewForm)
 public:
  explicit TqvxPreviewForm(vcl::TComponent* owner);
  ~TqvxPreviewForm() override;

  TqvxCustomPreview* Preview() const override { return FPreview; }
  TqvxPreview* PreviewControl() const { return FPreview; }
  TqvxReport* Report() const { return FPreview ? FPreview->Report() : nullptr; }
  void Init() override;
  void SetMessageText(const rtl::String& value, bool isHint = false) override;
  void UpdateControls();
  void UpdateZoom();
  void SwitchToFullScreen();
  bool FullScreen() const { return FFullScreen; }
  // What the preview asks of its window.
  void SetSideButtons(bool outlineDown, bool thumbDown);
  void SetCancelCaption(const rtl::String& caption);
  void SetStatusText(int panel, const rtl::String& text);

  // The zoom box was picked from or Enter was pressed in it.
  void ZoomCBClick(rtl::TObject* sender);
  // Enter in the page edit.
  void PageEClick(rtl::TObject* sender);

  TqvxPreviewToolBar* ToolBar = nullptr;
  vcl::TToolButton* PrintB = nullptr;
  vcl::TToolButton* OpenB = nullptr;
  vcl::TToolButton* SaveB = nullptr;
  vcl::TToolButton* PdfB = nullptr;
  vcl::TToolButton* EmailB = nullptr;
  vcl::TToolButton* FindB = nullptr;
  vcl::TToolButton* Sep1 = nullptr;
  vcl::TToolButton* ZoomPlusB = nullptr;
  TqvxTBPanel* Sep3 = nullptr;
  TqvxComboBox* ZoomCB = nullptr;
  vcl::TToolButton* ZoomMinusB = nullptr;
  vcl::TToolButton* FullScreenBtn = nullptr;
  vcl::TToolButton* Sep2 = nullptr;
  vcl::TToolButton* OutlineB = nullptr;
  vcl::TToolButton* ThumbB = nullptr;
  vcl::TToolButton* PageSettingsB = nullptr;
  vcl::TToolButton* DesignerB = nullptr;
  vcl::TToolButton* Sep5 = nullptr;
  vcl::TToolButton* FirstB = nullptr;
  vcl::TToolButton* PriorB = nullptr;
  TqvxTBPanel* Sep4 = nullptr;
  vcl::TEdit* PageE = nullptr;
  vcl::TLabel* OfNL = nullptr;
  vcl::TToolButton* NextB = nullptr;
  vcl::TToolButton* LastB = nullptr;
  TqvxTBPanel* qvTBPanel1 = nullptr;
  vcl::TSpeedButton* CancelB = nullptr;
  vcl::TStatusBar* StatusBar = nullptr;
  vcl::TPopupMenu* ExportPopup = nullptr;
  vcl::TPopupMenu* HiddenMenu = nullptr;
  vcl::TMenuItem* Showtemplate1 = nullptr;
  vcl::TPopupMenu* RightMenu = nullptr;
  vcl::TMenuItem* CollapseMI = nullptr;
  vcl::TMenuItem* ExpandMI = nullptr;
  vcl::TMenuItem* N1 = nullptr;

 protected:
  void KeyDown(rtl::Word& key, vcl::TShiftState shift) override;
  void KeyPress(wchar_t& key) override;
  void Resize() override;
  void Dispatch(vcl::TMessage& m) override;
  void DoClose(vcl::TCloseAction& action) override;
  void DoShow() override;

 private:
  // The status bar's own procedure, behind StatusBarWndProc.
  vcl::TWndMethod FStatusBarOldWindowProc;
  void StatusBarWndProc(vcl::TMessage& m);
  vcl::TToolButton* Button(const wchar_t* name, int image, int caption, int hint, void (TqvxPreviewForm::*click)(rtl::TObject*),
                           vcl::TToolButtonStyle style = vcl::tbsButton);
  vcl::TToolButton* Separator(const wchar_t* name);
  void PrintBClick(rtl::TObject*);
  void OpenBClick(rtl::TObject*);
  void SaveBClick(rtl::TObject*);
  void SaveQP3Click(rtl::TObject*);
  void ExportClick(rtl::TObject*);
  void ExportMenuClick(rtl::TObject* sender);
  void FindBClick(rtl::TObject*);
  void ZoomPlusBClick(rtl::TObject*);
  void ZoomMinusBClick(rtl::TObject*);
  void FullScreenBtnClick(rtl::TObject*);
  void OutlineBClick(rtl::TObject*);
  void ThumbBClick(rtl::TObject*);
  void PageSettingsBClick(rtl::TObject*);
  void DesignerBClick(rtl::TObject*);
  void DesignerBMouseUp(rtl::TObject*, vcl::TMouseButton button, vcl::TShiftState, int, int);
  void ShowTemplateClick(rtl::TObject*);
  void FirstBClick(rtl::TObject*);
  void PriorBClick(rtl::TObject*);
  void NextBClick(rtl::TObject*);
  void LastBClick(rtl::TObject*);
  void CancelBClick(rtl::TObject*);
  void CollapseClick(rtl::TObject*);
  void ExpandClick(rtl::TObject*);
  void ZoomCBSelect(rtl::TObject*);
  void OnPageChanged(rtl::TObject* sender, int pageNo);
  void OnPreviewDblClick(rtl::TObject*);
  void OnCloseQueryHandler(rtl::TObject*, bool& canClose);
  void DrillDown(bool expand);
  bool HasDrillDown() const;
  void EnableButton(vcl::TToolButton* button, bool enabled);

  TqvxPreview* FPreview = nullptr;
  vcl::TFormBorderStyle FOldBS = vcl::bsSizeable;
  vcl::TWindowState FOldState = vcl::wsNormal;
  bool FFullScreen = false;
  TqvxCustomExportFilter* FPDFExport = nullptr;
  TqvxCustomExportFilter* FEmailExport = nullptr;
};
void qvxRegisterPreviewLink();
