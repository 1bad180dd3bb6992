// Panel, image, timer, page control and rich edit over real windows: painted pixels are read from a bitmap the
// control was painted into; the page control comes from form-resource text as the screens' forms do.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/rtl/win.h"
#include <commctrl.h>
#include <richedit.h>

#include "platform/vcl/application.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/comctrls.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/richedit.h"
#include "platform/vcl/stdctrls.h"

using namespace vcl;

namespace vcl {

class TPagesForm : public TForm {
  VCL_CLASS(TPagesForm, TForm)
public:
  explicit TPagesForm(TComponent* owner) : TForm(owner) {}
  TPageControl* sPageControl1 = nullptr;
  int changes = 0;
  bool allow = true;
  void sPageControl1Change(rtl::TObject*) { ++changes; }
  void sPageControl1Changing(rtl::TObject*, bool& allowChange) { allowChange = allow; }
};

VCL_REGISTER(TPagesForm) {
  cls.Field(L"sPageControl1", &TPagesForm::sPageControl1);
  cls.Method(L"sPageControl1Change", &TPagesForm::sPageControl1Change);
  cls.Method(L"sPageControl1Changing", &TPagesForm::sPageControl1Changing);
}

}  // namespace vcl

namespace {

// A 32-bit memory bitmap that a control paints into; pixels read back as colour values.
class Snapshot {
public:
  Snapshot(int w, int h) : w_(w), h_(h) {
    dc_ = CreateCompatibleDC(nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bmp_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bmp_);
  }
  ~Snapshot() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  COLORREF at(int x, int y) const {
    GdiFlush();
    DWORD v = bits_[y * w_ + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }

private:
  int w_, h_;
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
  DWORD* bits_ = nullptr;
};

TEST(Image, DrawsThePictureCentredAndInProportion) {
  Application->Initialize();
  std::unique_ptr<TForm> form(new TForm(nullptr));
  auto* panel = new TPanel(form.get());
  panel->SetParent(form.get());
  panel->SetBevelOuter(bvNone);
  panel->SetBounds(0, 0, 100, 100);
  panel->SetColor(clWhite);
  auto* image = new TImage(form.get());
  image->SetParent(panel);
  image->SetBounds(0, 0, 100, 100);
  image->SetCenter(true);
  image->SetStretch(true);
  image->SetProportional(true);
  TBitmap pic(40, 20, pf32bit);
  pic.Canvas()->Brush()->SetColor(clRed);
  pic.Canvas()->FillRect(Rect(0, 0, 40, 20));
  image->Picture()->SetGraphic(&pic);
  // 40 x 20 into 100 x 100: 100 x 50, from y 25 to 75.
  EXPECT_EQ(image->DestRect(), Rect(0, 25, 100, 75));
  form->Show();
  Snapshot shot(100, 100);
  panel->PaintTo(shot.dc(), 0, 0);
  EXPECT_EQ(shot.at(50, 20), RGB(255, 255, 255));
  EXPECT_EQ(shot.at(50, 27), RGB(255, 0, 0));
  EXPECT_EQ(shot.at(2, 50), RGB(255, 0, 0));
  EXPECT_EQ(shot.at(97, 72), RGB(255, 0, 0));
  EXPECT_EQ(shot.at(50, 80), RGB(255, 255, 255));
}

TEST(Image, PlacementFollowsCenterStretchAndProportional) {
  struct Case {
    bool center, stretch, proportional;
    int pw, ph;
    TRect expected;
  };
  const Case cases[] = {
      {false, false, false, 40, 20, Rect(0, 0, 40, 20)},    // as it is, top left
      {true, false, false, 40, 20, Rect(30, 40, 70, 60)},   // centred at its own size
      {false, true, false, 40, 20, Rect(0, 0, 100, 100)},   // stretched out of proportion
      {true, false, true, 40, 20, Rect(30, 40, 70, 60)},    // small and proportional: not enlarged
      {true, false, true, 400, 100, Rect(0, 37, 100, 62)},  // too big: shrunk in proportion
      {true, true, true, 20, 40, Rect(25, 0, 75, 100)},     // tall picture
  };
  for (const Case& c : cases) {
    TImage image(nullptr);
    image.SetBounds(0, 0, 100, 100);
    image.SetCenter(c.center);
    image.SetStretch(c.stretch);
    image.SetProportional(c.proportional);
    TBitmap pic(c.pw, c.ph);
    image.Picture()->SetGraphic(&pic);
    TRect r = image.DestRect();
    EXPECT_EQ(r, c.expected) << c.center << c.stretch << c.proportional << " " << c.pw << "x" << c.ph << " got "
                             << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom;
  }
}

TEST(Panel, RaisedBevelAndCaptionInTheMiddle) {
  Application->Initialize();
  std::unique_ptr<TForm> form(new TForm(nullptr));
  auto* panel = new TPanel(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(0, 0, 200, 41);
  panel->SetCaption(L"Öğrenci Bilgileri Kayıt Sayfası");
  auto* child = new TPanel(form.get());
  child->SetParent(panel);
  child->SetAlign(alClient);
  child->SetVisible(false);
  form->Show();
  Snapshot shot(200, 41);
  panel->PaintTo(shot.dc(), 0, 0);
  EXPECT_EQ(shot.at(0, 0), ColorToGdi(clBtnHighlight));
  EXPECT_EQ(shot.at(199, 40), ColorToGdi(clBtnShadow));
  // Text pixels near the middle, none near the left and right edges.
  auto inked = [&](int x0, int x1) {
    int n = 0;
    for (int y = 5; y < 36; ++y)
      for (int x = x0; x < x1; ++x)
        if (shot.at(x, y) != ColorToGdi(clBtnFace)) ++n;
    return n;
  };
  EXPECT_GT(inked(60, 140), 10);
  EXPECT_EQ(inked(2, 8), 0);
  EXPECT_EQ(inked(192, 198), 0);
  // Children stay inside the bevel.
  child->SetVisible(true);
  EXPECT_EQ(child->BoundsRect(), Rect(1, 1, 199, 40));
}

TEST(Timer, TicksWhileEnabledOnly) {
  Application->Initialize();
  TTimer timer(nullptr);
  int ticks = 0;
  timer.SetInterval(30);
  timer.OnTimer = [&](rtl::TObject*) {
    if (++ticks == 3) timer.SetEnabled(false);
  };
  auto pump = [](DWORD ms, const std::function<bool()>& done) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms && !done()) {
      Application->ProcessMessages();
      Sleep(5);
    }
  };
  pump(3000, [&] { return ticks >= 3; });
  EXPECT_EQ(ticks, 3);
  // Disabled: no more ticks.
  pump(200, [] { return false; });
  EXPECT_EQ(ticks, 3);
}

const wchar_t* kPagesForm =
    L"object PagesForm: TPagesForm\r\n"
    L"  Width = 500\r\n"
    L"  Height = 320\r\n"
    L"  object sPageControl1: TPageControl\r\n"
    L"    Left = 0\r\n"
    L"    Top = 0\r\n"
    L"    Width = 400\r\n"
    L"    Height = 250\r\n"
    L"    ActivePage = TabSheet2\r\n"
    L"    OnChange = sPageControl1Change\r\n"
    L"    OnChanging = sPageControl1Changing\r\n"
    L"    object TabSheet1: TTabSheet\r\n"
    L"      Caption = 'Okul Bilgiler'\r\n"
    L"      object Edit1: TEdit\r\n"
    L"        Left = 8\r\n"
    L"        Top = 8\r\n"
    L"      end\r\n"
    L"    end\r\n"
    L"    object TabSheet2: TTabSheet\r\n"
    L"      Caption = 'Genel Bilgi'\r\n"
    L"    end\r\n"
    L"    object TabSheet3: TTabSheet\r\n"
    L"      Caption = 'Aile Bilgileri'\r\n"
    L"    end\r\n"
    L"  end\r\n"
    L"end\r\n";

String TabText(HWND tabs, int i) {
  wchar_t buf[64] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = buf;
  item.cchTextMax = 64;
  SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  return buf;
}

void ClickTab(HWND tabs, int i) {
  RECT r;
  SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
  LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(tabs, WM_LBUTTONUP, 0, at);
}

TEST(PageControl, ShowsTheActivePageOfTheResourceAndHidesTheOthersWithTheirControls) {
  Application->Initialize();
  std::unique_ptr<TPagesForm> form(new TPagesForm(nullptr));
  ReadComponentText(kPagesForm, form.get(), L"TPAGESFORM");
  TPageControl* pages = form->sPageControl1;
  ASSERT_NE(pages, nullptr);
  auto* sheet1 = dynamic_cast<TTabSheet*>(form->FindComponent(L"TabSheet1"));
  auto* sheet2 = dynamic_cast<TTabSheet*>(form->FindComponent(L"TabSheet2"));
  auto* sheet3 = dynamic_cast<TTabSheet*>(form->FindComponent(L"TabSheet3"));
  auto* edit = dynamic_cast<TEdit*>(form->FindComponent(L"Edit1"));
  ASSERT_TRUE(sheet1 && sheet2 && sheet3 && edit);
  EXPECT_EQ(pages->PageCount(), 3);
  EXPECT_EQ(pages->ActivePage(), sheet2);
  EXPECT_EQ(sheet3->PageIndex(), 2);
  form->Show();
  Application->ProcessMessages();
  HWND tabs = pages->Handle();
  EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(TabText(tabs, 0), L"Okul Bilgiler");
  EXPECT_EQ(TabText(tabs, 2), L"Aile Bilgileri");
  EXPECT_EQ(pages->TabIndex(), 1);
  EXPECT_TRUE(IsWindowVisible(sheet2->Handle()));
  EXPECT_FALSE(sheet1->Showing());
  EXPECT_FALSE(edit->HandleAllocated() && IsWindowVisible(edit->Handle()));
  // The sheet fills the display area of the tabs.
  RECT display;
  GetClientRect(tabs, &display);
  SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  EXPECT_EQ(sheet2->BoundsRect(), TRect(display));

  // A refused change leaves everything as it was.
  form->allow = false;
  ClickTab(tabs, 0);
  EXPECT_EQ(pages->ActivePage(), sheet2);
  EXPECT_EQ(form->changes, 0);
  form->allow = true;
  ClickTab(tabs, 0);
  EXPECT_EQ(pages->ActivePage(), sheet1);
  EXPECT_EQ(form->changes, 1);
  EXPECT_TRUE(IsWindowVisible(edit->Handle()));
  EXPECT_FALSE(IsWindowVisible(sheet2->Handle()));

  // Set by the program: no OnChange; the focus does not stay on a hidden sheet.
  edit->SetFocus();
  ASSERT_EQ(GetFocus(), edit->Handle());
  pages->SetActivePage(sheet3);
  EXPECT_EQ(form->changes, 1);
  EXPECT_EQ(GetFocus(), pages->Handle());
  // A sheet without its tab keeps its page.
  sheet2->SetTabVisible(false);
  EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(sheet3->TabIndex(), 1);
  EXPECT_EQ(pages->TabIndex(), 1);
  sheet3->SetTabVisible(false);  // the active sheet loses its tab: the next one with a tab is shown
  EXPECT_EQ(pages->ActivePage(), sheet1);
  sheet1->SetCaption(L"Okul");
  EXPECT_EQ(TabText(tabs, 0), L"Okul");
  // A freed sheet leaves the pages.
  delete sheet3;
  EXPECT_EQ(pages->PageCount(), 2);
}

TEST(RichEdit, PlainTextLinesAndZoom) {
  Application->Initialize();
  std::unique_ptr<TForm> form(new TForm(nullptr));
  auto* rich = new TRichEdit(form.get());
  rich->SetParent(form.get());
  rich->Lines()->Add(L"Görüşme içeriği");
  rich->Lines()->Add(L"{\\rtf1 düz metin}");
  rich->SetZoom(150);
  form->Show();
  ASSERT_TRUE(rich->HandleAllocated());
  EXPECT_EQ(rich->Text(), L"Görüşme içeriği\r\n{\\rtf1 düz metin}\r\n");
  ASSERT_EQ(rich->Lines()->Count(), 2);
  EXPECT_EQ(rich->Lines()->Get(1), L"{\\rtf1 düz metin}");
  int num = 0, den = 0;
  SendMessageW(rich->Handle(), EM_GETZOOM, reinterpret_cast<WPARAM>(&num), reinterpret_cast<LPARAM>(&den));
  EXPECT_EQ(num * 100, 150 * den);
  int changes = 0;
  rich->OnChange = [&](rtl::TObject*) { ++changes; };
  rich->Lines()->Put(0, L"Yeni");
  EXPECT_GE(changes, 1);
  EXPECT_EQ(rich->Lines()->Get(0), L"Yeni");
}

}  // namespace
