#include "app/Unit1.h"

#include <algorithm>

#include "app/About.h"
#include "app/Database.h"
#include "app/PendingEdits.h"
#include "app/Unit12.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/application.h"
#include "platform/vcl/canvas.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/picture.h"

// A screen's real class is opened as soon as its unit is part of the program (screens.h).
#if __has_include("app/Unit2.h")
#include "app/Unit2.h"
#define TAVREL_HAS_FORM2 1
#endif
#if __has_include("app/Unit3.h")
#include "app/Unit3.h"
#define TAVREL_HAS_FORM3 1
#endif
#if __has_include("app/Unit4.h")
#include "app/Unit4.h"
#define TAVREL_HAS_FORM4 1
#endif
#if __has_include("app/Unit6.h")
#include "app/Unit6.h"
#define TAVREL_HAS_FORM6 1
#endif
#if __has_include("app/Unit7.h")
#include "app/Unit7.h"
#define TAVREL_HAS_FORM7 1
#endif
#if __has_include("app/Unit8.h")
#include "app/Unit8.h"
#define TAVREL_HAS_FORM8 1
#endif
#if __has_include("app/Unit9.h")
#include "app/Unit9.h"
#define TAVREL_HAS_FORM9 1
#endif
#if __has_include("app/Unit11.h")
#include "app/Unit11.h"
#define TAVREL_HAS_FORM11 1
#endif

using rtl::TObject;

TForm1* Form1 = nullptr;

// An empty child standing in for a screen that is not written yet; it follows the screens' rules: one instance,
// freed on close, its slot cleared.
class TScreenStandIn : public vcl::TForm {
  VCL_CLASS(TScreenStandIn, vcl::TForm)
  explicit TScreenStandIn(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetFormStyle(vcl::fsMDIChild);
    OnClose.Bind(this, &TScreenStandIn::FormClose);
    OnCloseQuery.Bind(this, &TScreenStandIn::FormCloseQuery);
  }
  TScreenStandIn** slot = nullptr;
  void FormClose(TObject*, vcl::TCloseAction& Action) {
    Action = vcl::caFree;
    if (slot) *slot = nullptr;
  }
  void FormCloseQuery(TObject*, bool& CanClose) { CanClose = ConfirmPendingEdits(this); }
};

VCL_REGISTER(TScreenStandIn) {}

VCL_REGISTER(TForm1) {
  cls.Field(L"sImage1", &TForm1::sImage1);
  cls.Field(L"sSkinManager1", &TForm1::sSkinManager1);
  cls.Field(L"ADOBaglan", &TForm1::ADOBaglan);
  cls.Field(L"MainMenu1", &TForm1::MainMenu1);
  cls.Field(L"N1", &TForm1::N1);
  cls.Field(L"D1", &TForm1::D1);
  cls.Field(L"N2", &TForm1::N2);
  cls.Field(L"N3", &TForm1::N3);
  cls.Field(L"V1", &TForm1::V1);
  cls.Field(L"S1", &TForm1::S1);
  cls.Field(L"S2", &TForm1::S2);
  cls.Field(L"E1", &TForm1::E1);
  cls.Field(L"N4", &TForm1::N4);
  cls.Field(L"H1", &TForm1::H1);
  cls.Method(L"FormCreate", &TForm1::FormCreate);
  cls.Method(L"FormShow", &TForm1::FormShow);
  cls.Method(L"FormCloseQuery", &TForm1::FormCloseQuery);
  cls.Method(L"N1Click", &TForm1::N1Click);
  cls.Method(L"D1Click", &TForm1::D1Click);
  cls.Method(L"N2Click", &TForm1::N2Click);
  cls.Method(L"N3Click", &TForm1::N3Click);
  cls.Method(L"V1Click", &TForm1::V1Click);
  cls.Method(L"S2Click", &TForm1::S2Click);
  cls.Method(L"E1Click", &TForm1::E1Click);
  cls.Method(L"N4Click", &TForm1::N4Click);
  cls.Method(L"H1Click", &TForm1::H1Click);
}

namespace {

// The screens' form texts name the main window's connection as "Form1.ADOBaglan": such names are found among the
// forms that exist at the time.
vcl::TComponent* FindOpenForm(const rtl::String& name) {
  if (!vcl::Screen) return nullptr;
  for (int i = 0; i < vcl::Screen->FormCount(); ++i)
    if (rtl::SameText(vcl::Screen->Forms(i)->Name(), name)) return vcl::Screen->Forms(i);
  return nullptr;
}

const bool kOpenFormsFindable = [] {
  vcl::SetFindGlobalComponent(FindOpenForm);
  return true;
}();

// One instance per screen: the open one comes to the front, otherwise a new one is made (its stored state shows it).
template <class T>
void OpenScreen(T*& ref) {
  if (ref) {
    ref->BringToFront();
    return;
  }
  vcl::Application->CreateForm(ref);
}

}  // namespace

TForm1::TForm1(vcl::TComponent* owner) : vcl::TForm(owner) {}

void TForm1::InitializeWnd() {
  vcl::TForm::InitializeWnd();
  if (HWND client = ClientHandle(); client && !workspaceProc_) {
    SetPropW(client, L"TavrelMainWindow", this);
    workspaceProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(client, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TForm1::WorkspaceProc)));
  }
}

LRESULT CALLBACK TForm1::WorkspaceProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* form = static_cast<TForm1*>(GetPropW(wnd, L"TavrelMainWindow"));
  if (!form) return DefWindowProcW(wnd, msg, wParam, lParam);
  WNDPROC previous = form->workspaceProc_;
  if (msg == WM_NCDESTROY) {
    RemovePropW(wnd, L"TavrelMainWindow");
    SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    form->workspaceProc_ = nullptr;
    return CallWindowProcW(previous, wnd, msg, wParam, lParam);
  }
  LRESULT result = CallWindowProcW(previous, wnd, msg, wParam, lParam);
  if (msg == WM_ERASEBKGND && wParam) {
    // Only the free workspace: the erase may come with a context that still covers the screens.
    HDC dc = reinterpret_cast<HDC>(wParam);
    int saved = SaveDC(dc);
    for (HWND child = GetWindow(wnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      if (!IsWindowVisible(child)) continue;
      RECT r;
      GetWindowRect(child, &r);
      MapWindowPoints(nullptr, wnd, reinterpret_cast<POINT*>(&r), 2);
      ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
    }
    form->PaintLogo(dc);
    RestoreDC(dc, saved);
  }
  return result;
}

void TForm1::PaintLogo(HDC dc) {
  if (!sImage1 || !sImage1->Visible()) return;
  vcl::TPicture* picture = sImage1->Picture();
  int pw = picture->Width(), ph = picture->Height();
  int bw = sImage1->Width(), bh = sImage1->Height();
  if (pw <= 0 || ph <= 0 || bw <= 0 || bh <= 0) return;
  // Stretched into the image's box keeping the proportions, centred in it.
  double scale = std::min(static_cast<double>(bw) / pw, static_cast<double>(bh) / ph);
  int w = static_cast<int>(pw * scale), h = static_cast<int>(ph * scale);
  int x = sImage1->Left() + (bw - w) / 2, y = sImage1->Top() + (bh - h) / 2;
  vcl::TCanvas canvas;
  canvas.SetHandle(dc);
  canvas.StretchDraw(vcl::Rect(x, y, x + w, y + h), picture->Graphic());
  canvas.SetHandle(nullptr);
}

void TForm1::FormCreate(TObject*) {
  ADOBaglan->SetLoginPrompt(false);
  ADOBaglan->SetConnectionString(DatabaseConnectionString());
  ADOBaglan->SetConnected(true);
}

void TForm1::FormShow(TObject*) {
  // The show handler runs before the window appears; asking once the messages now waiting are handled puts the
  // login over the main window, centred on it, instead of over an empty screen.
  vcl::Application->Post([] {
    if (Form12 && !vcl::Application->Terminated()) Form12->ShowModal();
  });
}

void TForm1::FormCloseQuery(TObject*, bool& CanClose) {
  // The platform has asked every screen already; this catches a screen that does not ask for itself.
  for (int i = MDIChildCount() - 1; i >= 0 && CanClose; --i) CanClose = ConfirmPendingEdits(MDIChildren(i));
}

void TForm1::OpenStandIn(StandInSlot slot, const wchar_t* caption) {
  TScreenStandIn*& ref = standIns_[slot];
  if (ref) {
    ref->BringToFront();
    return;
  }
  vcl::Application->CreateForm(ref);
  ref->slot = &ref;
  ref->SetText(caption);
  ref->Show();
}

void TForm1::N1Click(TObject*) {
#ifdef TAVREL_HAS_FORM2
  OpenScreen(Form2);
#else
  OpenStandIn(kStudents, L"Öğrenci Kayıt");
#endif
}

void TForm1::D1Click(TObject*) {
#ifdef TAVREL_HAS_FORM3
  OpenScreen(Form3);
#else
  OpenStandIn(kClients, L"Danışan Kayıt");
#endif
}

void TForm1::N2Click(TObject*) {
#ifdef TAVREL_HAS_FORM4
  OpenScreen(Form4);
#else
  OpenStandIn(kStudentTalks, L"Öğrenci Görüşme formu");
#endif
}

void TForm1::N3Click(TObject*) {
#ifdef TAVREL_HAS_FORM8
  OpenScreen(Form8);
#else
  OpenStandIn(kTeacherTalks, L"Öğretmen Görüşme Formu");
#endif
}

void TForm1::V1Click(TObject*) {
#ifdef TAVREL_HAS_FORM11
  OpenScreen(Form11);
#else
  OpenStandIn(kParentTalks, L"Veli Görüşme");
#endif
}

void TForm1::S2Click(TObject*) {
#ifdef TAVREL_HAS_FORM9
  OpenScreen(Form9);
#else
  OpenStandIn(kSettings, L"Sabit Bilgiler");
#endif
}

void TForm1::E1Click(TObject*) {
#ifdef TAVREL_HAS_FORM6
  OpenScreen(Form6);
#else
  OpenStandIn(kImport, L"Excelden Bilgi Aktar");
#endif
}

void TForm1::N4Click(TObject*) {
#ifdef TAVREL_HAS_FORM7
  OpenScreen(Form7);
#else
  OpenStandIn(kStats, L"İstatistikler");
#endif
}

void TForm1::H1Click(TObject*) { OpenScreen(AboutBox); }
