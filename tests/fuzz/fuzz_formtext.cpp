// Form texts: the text form of form resources, read into a form of the class library's own controls, and the
// parser alone over the program's real form texts.
#include <memory>

#include "mutate.h"
#include "platform/rtl/exceptions.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/comctrls.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/formvalue.h"
#include "platform/vcl/menus.h"
#include "platform/vcl/statusbar.h"
#include "platform/vcl/stdctrls.h"

using namespace vcl;

namespace {

template <class T>
T* Make(TForm* form, TWinControl* parent, const wchar_t* name) {
  auto* c = new T(form);
  c->SetName(name);
  if constexpr (std::is_base_of_v<TControl, T>) c->SetParent(parent);
  return c;
}

// A form as the writer writes it: nested controls, string lists, a collection, a picture, a menu, references.
fuzz::Input WrittenForm() {
  std::unique_ptr<TForm> form(new TForm(nullptr));
  form->SetName(L"Form9");
  form->SetCaption(L"Öğrenci Görüşme");
  auto* panel = Make<TPanel>(form.get(), form.get(), L"Panel1");
  panel->SetAlign(alTop);
  panel->SetCaption(L"Başlık");
  panel->Font()->SetStyle({fsBold});
  auto* pages = Make<TPageControl>(form.get(), form.get(), L"PageControl1");
  auto* sheet = Make<TTabSheet>(form.get(), pages, L"TabSheet1");
  sheet->SetCaption(L"Genel");
  auto* image = Make<TImage>(form.get(), sheet, L"Image1");
  TBitmap pic(6, 4);
  pic.Canvas()->SetPixels(1, 1, clRed);
  image->Picture()->SetGraphic(&pic);
  auto* combo = Make<TComboBox>(form.get(), sheet, L"ComboBox1");
  combo->Items()->Add(L"Bireysel");
  combo->Items()->Add(L"Grup 'A'");
  auto* memo = Make<TMemo>(form.get(), sheet, L"Memo1");
  memo->Lines()->Add(L"satır");
  memo->Lines()->Add(L"");
  auto* status = Make<TStatusBar>(form.get(), form.get(), L"StatusBar1");
  status->Panels()->Add()->SetText(L"Hazır");
  status->Panels()->Add()->SetWidth(120);
  auto* menu = new TPopupMenu(form.get());
  menu->SetName(L"PopupMenu1");
  auto* item = new TMenuItem(menu);
  item->SetName(L"N1");
  item->SetCaption(L"&Kaydet");
  menu->Items()->Add(item);
  panel->SetPopupMenu(menu);
  auto* check = Make<TCheckBox>(form.get(), form.get(), L"CheckBox1");
  check->SetChecked(true);
  return {"written.vfm", fuzz::Utf8(WriteComponentText(form.get()))};
}

// Deep nesting of each kind the parser recurses on, just inside and far past what it takes.
std::vector<fuzz::Input> DeepForms() {
  const std::string head = "object Form9: TForm\n";
  std::vector<fuzz::Input> made;
  for (int depth : {250, 5000}) {
    const std::string n = std::to_string(depth);
    made.push_back({"objects " + n, fuzz::Nest(head, "object TPanel\n", depth, "", "end\n", "end\n")});
    made.push_back({"lists " + n, fuzz::Nest(head + "  Caption = ", "(", depth, "'x'", ")", "\nend\n")});
    made.push_back({"collections " + n, fuzz::Nest(head + "  object StatusBar1: TStatusBar\n    Panels = ",
                                                   "<item Panels = ", depth, "<>", " end>", "\n  end\nend\n")});
  }
  // A large wrong value: the error quotes an excerpt of it.
  made.push_back({"wide wrong value",
                  fuzz::Nest(head + "  Width = ", "(", 200, "'" + std::string(100000, 'x') + "'", ")", "\nend\n")});
  made.push_back({"huge numbers", fuzz::Utf8(L"object Form9: TForm\n  Width = 99999999999999999999\n  Tag = "
                                             L"-9223372036854775809\n  Height = $FFFFFFFFFFFFFFFFF\nend\n")});
  return made;
}

const bool formText = fuzz::Join({
    .name = "form text",
    .fixtures =
        [] {
          std::vector<fuzz::Input> fixtures = fuzz::DataFiles({"fuzz/data/handmade.vfm"});
          fixtures.push_back(WrittenForm());
          return fixtures;
        },
    .read =
        [](const fuzz::Bytes& input) {
          std::unique_ptr<TForm> form(new TForm(nullptr));
          ReadComponentText(fuzz::FromUtf8(input), form.get(), L"FUZZ");
          // What was read writes out again.
          WriteComponentText(form.get());
        },
    .refuses = fuzz::ErrorOf<EFormError>,
    .generated = DeepForms,
    .text = true,
    .rounds = 400,
});

// The program's own form texts are large (pictures inside): the parser alone reads them.
const bool formSyntax = fuzz::Join({
    .name = "form text syntax",
    .fixtures =
        [] {
          return fuzz::DataFiles({"../app/forms/Unit12.vfm", "../app/forms/Unit2.vfm"});
        },
    .read =
        [](const fuzz::Bytes& input) {
          const TFormObject tree = ParseFormText(fuzz::FromUtf8(input), L"FUZZ");
          FormatFormText(tree);
        },
    .refuses = fuzz::ErrorOf<EFormError>,
    .generated = DeepForms,
    .text = true,
    .rounds = 100,
    .truncateAll = 0,
});

}  // namespace
