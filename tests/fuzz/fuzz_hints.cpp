// Hint templates ("LShh" files): a template read the way the hint component reads a file, then its balloon built
// at a size of its own and at one smaller than its borders.
#include <memory>

#include "mutate.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "skin/controls/lvAlphaHints.h"

namespace {

fuzz::Bytes Saved(const std::function<void(TlvHintTemplate*)>& change) {
  TsAlphaHints hints(nullptr);
  auto* t = hints.Templates()->Add<TlvHintTemplate>();
  t->Assign(DefaultTemplate());
  t->Font()->SetName(L"Tahoma");
  if (change) change(t);
  hints.SetTemplateName(t->Name());
  hints.SetTemplateName(L"");
  rtl::TBytesStream out;
  lvhint::WriteTemplate(out, t);
  return fuzz::Bytes(out.Bytes().begin(), out.Bytes().end());
}

const bool hintTemplates = fuzz::Join({
    .name = "hint template",
    .fixtures =
        [] {
          return std::vector<fuzz::Input>{
              {"default.lshh", Saved(nullptr)},
              // Four images: the three corner images as copies of the default one, with widths of their own.
              {"corners.lshh", Saved([](TlvHintTemplate* t) {
                 t->Img_LeftBottom()->Assign(t->ImageDefault());
                 t->Img_RightTop()->Assign(t->ImageDefault());
                 t->Img_RightBottom()->Assign(t->ImageDefault());
                 t->Img_RightBottom()->BordersWidths()->SetValues(3, 4, 5, 6);
                 t->Font()->SetSize(11);
               })},
          };
        },
    .read =
        [](const fuzz::Bytes& input) {
          rtl::TBytesStream in(std::vector<rtl::Byte>(input.begin(), input.end()));
          TsAlphaHints hints(nullptr);
          hints.SetActive(false);
          auto* t = hints.Templates()->Add<TlvHintTemplate>();
          if (!lvhint::ReadTemplate(in, t)) throw fuzz::Refusal("not a hint template");
          t->SetName(L"read");
          hints.SetTemplateName(L"read");
          TlvPngHintWindow window(&hints);
          const vcl::TRect r = window.CalcHintRect(0, L"A hint over two words");
          window.CreateAlphaBmp(r.Width(), r.Height());
          window.CreateAlphaBmp(3, 2);
        },
    .refuses = fuzz::ErrorOf<rtl::EReadError, rtl::EInvalidGraphic>,
    .rounds = 300,
});

}  // namespace
