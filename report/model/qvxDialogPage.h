#pragma once
// A dialog page: a window a report script can show before the report is built, holding dialog controls. The page
// keeps the window's settings and applies them when the window is shown; the window's events go to the report's
// script dispatchers under the page's event names.
#include "platform/rtl/variant.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/forms.h"
#include "report/model/qvxClassPages.h"
#include "report/model/qvxDialogForm.h"

class TqvxDialogPage : public TqvxPage {
  VCL_CLASS(TqvxDialogPage, TqvxPage)
 public:
  explicit TqvxDialogPage(vcl::TComponent* owner);
  ~TqvxDialogPage() override;

  rtl::String GetDescription() const override;
  void SetLeft(Extended value) override;
  void SetTop(Extended value) override;
  void SetWidth(Extended value) override;
  void SetHeight(Extended value) override;
  void FontChanged() override;

  void Initialize();
  vcl::TModalResult ShowModal();

  TqvxDialogForm* DialogForm() const { return FForm; }
  vcl::TModalResult ModalResult() const;
  void SetModalResult(vcl::TModalResult value);
  vcl::TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(vcl::TFormBorderStyle value) { FBorderStyle = value; }
  const rtl::String& Caption() const { return FCaption; }
  void SetCaption(const rtl::String& value);
  vcl::TColor Color() const { return FColor; }
  void SetColor(vcl::TColor value);
  vcl::TPosition Position() const { return FPosition; }
  void SetPosition(vcl::TPosition value) { FPosition = value; }
  vcl::TWindowState WindowState() const { return FWindowState; }
  void SetWindowState(vcl::TWindowState value) { FWindowState = value; }
  // Reading answers the window's current client size.
  Extended ClientWidth() const;
  void SetClientWidth(Extended value);
  Extended ClientHeight() const;
  void SetClientHeight(Extended value);

  rtl::String OnActivate, OnClick, OnDeactivate, OnHide, OnKeyDown, OnKeyPress, OnKeyUp, OnResize, OnShow, OnCloseQuery;

  // The window's handlers, public so that a test or a host can drive them as the window would.
  void DoModify(rtl::TObject* sender);
  void DoOnActivate(rtl::TObject* sender);
  void DoOnClick(rtl::TObject* sender);
  void DoOnDeactivate(rtl::TObject* sender);
  void DoOnHide(rtl::TObject* sender);
  void DoOnResize(rtl::TObject* sender);
  void DoOnShow(rtl::TObject* sender);
  void DoOnMouseMove(rtl::TObject* sender, vcl::TShiftState shift, int x, int y);
  void DoOnCloseQuery(rtl::TObject* sender, bool& canClose);
  void DoOnKeyDown(rtl::TObject* sender, rtl::Word& key, vcl::TShiftState shift);
  void DoOnKeyUp(rtl::TObject* sender, rtl::Word& key, vcl::TShiftState shift);
  void DoOnKeyPress(rtl::TObject* sender, wchar_t& key);

 private:
  void DoInitialize();
  void Notify(const rtl::String& eventName);
  void KeyEvent(rtl::TObject* sender, rtl::Word& key, vcl::TShiftState shift, const rtl::String& eventName);

  vcl::TFormBorderStyle FBorderStyle = vcl::bsSizeable;
  rtl::String FCaption;
  vcl::TColor FColor = 0;
  TqvxDialogForm* FForm = nullptr;
  vcl::TPosition FPosition = vcl::poScreenCenter;
  vcl::TWindowState FWindowState = vcl::wsNormal;
  Extended FClientWidth = 0, FClientHeight = 0;
};
