// A panel's caption is painted in the panel's own font: a bold font read from a form resource shows bold, at the
// small sizes a face has bitmaps for and at the larger sizes drawn from its outlines alike.
#include <gtest/gtest.h>

#include <memory>

#include "platform/rtl/win.h"
#include "platform/vcl/application.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/filer.h"
#include "platform/vcl/forms.h"

using namespace vcl;

namespace {

// The title panel of the student screen, on a form whose own font is regular.
const wchar_t* kPanelForm =
    L"object Form1: TForm\r\n"
    L"  Width = 820\r\n"
    L"  Height = 300\r\n"
    L"  Font.Charset = DEFAULT_CHARSET\r\n"
    L"  Font.Color = clWindowText\r\n"
    L"  Font.Height = -11\r\n"
    L"  Font.Name = 'Tahoma'\r\n"
    L"  Font.Style = []\r\n"
    L"  object Title: TPanel\r\n"
    L"    Left = 0\r\n"
    L"    Top = 0\r\n"
    L"    Width = 798\r\n"
    L"    Height = 41\r\n"
    L"    Align = alTop\r\n"
    L"    Caption = '\x00D6\x011Frenci Bilgileri Kay\x0131t Sayfas\x0131'\r\n"
    L"    Font.Charset = 162\r\n"
    L"    Font.Color = clWindowText\r\n"
    L"    Font.Height = -16\r\n"
    L"    Font.Name = 'Tahoma'\r\n"
    L"    Font.Style = [fsBold]\r\n"
    L"    ParentFont = False\r\n"
    L"    TabOrder = 0\r\n"
    L"  end\r\n"
    L"end\r\n";

// Pixels of the painted control darker than mid-grey: the caption's strokes (bevels and face are lighter).
int DarkPixels(TWinControl* c) {
  int w = c->Width(), h = c->Height();
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  DWORD* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bmp);
  c->PaintTo(dc, 0, 0);
  GdiFlush();
  int n = 0;
  for (int i = 0; i < w * h; ++i) {
    DWORD v = bits[i];
    if (((v >> 16) & 0xFF) + ((v >> 8) & 0xFF) + (v & 0xFF) < 3 * 96) ++n;
  }
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  return n;
}

TEST(PanelFont, BoldCaptionFromTheResourceShowsBold) {
  Application->Initialize();
  std::unique_ptr<TForm> form(new TForm(nullptr));
  ReadComponentText(kPanelForm, form.get(), L"TFORM1");
  auto* panel = dynamic_cast<TPanel*>(form->FindComponent(L"Title"));
  ASSERT_NE(panel, nullptr);
  form->Show();
  Application->ProcessMessages();
  EXPECT_FALSE(panel->ParentFont());
  EXPECT_TRUE(panel->Font()->Style().Contains(fsBold));
  EXPECT_EQ(panel->Font()->Height(), -16);
  int bold = DarkPixels(panel);
  panel->Font()->SetStyle(TFontStyles{});
  int regular = DarkPixels(panel);
  EXPECT_GT(regular, 100);
  EXPECT_GT(bold * 10, regular * 12) << "bold " << bold << ", regular " << regular;
}

TEST(PanelFont, BoldIsHeavierThanRegularAtEverySize) {
  Application->Initialize();
  std::unique_ptr<TForm> form(new TForm(nullptr));
  form->SetBounds(0, 0, 600, 200);
  auto* panel = new TPanel(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(0, 0, 560, 60);
  panel->SetCaption(L"Kay\x0131t Sayfas\x0131 HIL");
  form->Show();
  for (const wchar_t* face : {L"Tahoma", L"MS Sans Serif"})
    for (int height : {-11, -13, -16, -24}) {
      panel->Font()->SetName(face);
      panel->Font()->SetHeight(height);
      panel->Font()->SetStyle(TFontStyles{});
      int regular = DarkPixels(panel);
      panel->Font()->SetStyle(TFontStyles{fsBold});
      int bold = DarkPixels(panel);
      EXPECT_GT(bold * 10, regular * 12) << face << " " << height << ": bold " << bold << ", regular " << regular;
    }
}

}  // namespace
