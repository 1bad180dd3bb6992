#pragma once
// The window of a report dialog page. It has no platform owner (the page frees it), tells the page when the user
// has finished moving or sizing it, and takes arrow keys and characters itself rather than leaving them to
// dialog navigation.
#include "platform/vcl/forms.h"

class TqvxDialogForm : public vcl::TForm {
  VCL_CLASS(TqvxDialogForm, vcl::TForm)
 public:
  // The value of an owner's Tag by which it asks for a window that runs outside the user-interface thread.
  static constexpr rtl::Integer ThreadSafeTag = 318;

  // owner is the dialog page; its Tag says whether the window is thread-safe. The window itself has no owner.
  explicit TqvxDialogForm(vcl::TComponent* owner);

  void WndProc(vcl::TMessage& m) override;

  bool ThreadSafe = false;
  vcl::TNotifyEvent OnModify;
};
