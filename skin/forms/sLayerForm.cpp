// The cover over a disabled skinned form: a black, borderless, never-active window laid over the form at the
// provider's DisabledBlendValue (255, the default, leaves it fully clear).
#include "platform/vcl/forms.h"
#include "skin/core/services/sSkinProvider.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/render/sPixels.h"

void TsSkinProvider::SetDisabledBlendValue(std::uint8_t v) {
  if (FDisabledBlendValue == v) return;
  FDisabledBlendValue = v;
  if (!ComponentState().Contains(vcl::csDesigning)) UpdateLayerForm();
}

void TsSkinProvider::UpdateLayerForm() {
  if (!Form || !Form->HandleAllocated() || IsWindowEnabled(Form->Handle())) {
    LayerForm.reset();
    FormState &= ~FS_DISABLED;
    return;
  }
  FormState |= FS_DISABLED;
  const HWND fw = Form->Handle();
  if (!LayerForm) {
    LayerForm = std::make_unique<vcl::TForm>(nullptr);
    LayerForm->SetBorderStyle(vcl::bsNone);
    LayerForm->SetColor(vcl::clBlack);
    LayerForm->SetTag(256);
    LayerForm->SetPosition(vcl::poDesigned);
    LayerForm->HandleNeeded();
    // Owned by the form's window: it stays above the form and goes with it.
    SetWindowLongPtrW(LayerForm->Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(fw));
    EnableWindow(LayerForm->Handle(), FALSE);
  }
  const HWND lw = LayerForm->Handle();
  RECT r;
  GetWindowRect(fw, &r);
  int x = r.left, y = r.top, w = r.right - r.left, h = r.bottom - r.top;
  if (BorderForm) {
    const int db = DiffBorder(BorderForm), dt = DiffTitle(BorderForm);
    x -= db + 1;
    y -= dt + 1;
    w += 2 * db + 2;
    h += dt + db + 2;
  }
  SetWindowLongPtrW(lw, GWL_EXSTYLE,
                    GetWindowLongPtrW(lw, GWL_EXSTYLE) | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_LAYERED);
  if (SetLayeredWindowAttributesProc)
    SetLayeredWindowAttributesProc(lw, 0, static_cast<BYTE>(255 - FDisabledBlendValue), LWA_ALPHA);
  SetWindowPos(lw, HWND_TOP, x, y, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}
