// A panel's caption is painted in the panel's own font: a bold font read from a form resource shows bold, at the
// small sizes a face has bitmaps for and at the larger sizes drawn from its outlines alike.
#include <gtest/gtest.h>

#include <algorithm>
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

// The ink of the caption in the painted control, in pixels' worth: inside the bevels, each pixel counts by how much
// darker than the panel's face it is, so a face the system draws smoothed weighs as much as one drawn in whole
// pixels (a smoothed bold has fewer fully dark pixels than a plain face drawn without smoothing).
int CaptionInk(TWinControl* c) {
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
  auto level = [&](int x, int y) {
    DWORD v = bits[y * w + x];
    return static_cast<int>(((v >> 16) & 0xFF) + ((v >> 8) & 0xFF) + (v & 0xFF));
  };
  const int face = level(3, 3), border = 3;
  long ink = 0;
  for (int y = border; y < h - border; ++y)
    for (int x = border; x < w - border; ++x) ink += std::max(0, face - level(x, y));
  int n = static_cast<int>(ink / (3 * 255));
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
  int bold = CaptionInk(panel);
  panel->Font()->SetStyle(TFontStyles{});
  int regular = CaptionInk(panel);
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
      int regular = CaptionInk(panel);
      panel->Font()->SetStyle(TFontStyles{fsBold});
      int bold = CaptionInk(panel);
      // Where the plain face comes from a bitmap font and its bold is drawn smoothed (Wine with Liberation or
      // URW fonts installed), the bold strokes are wider but greyer: little more ink, and still plainly bold.
      EXPECT_GT(bold * 20, regular * 21) << face << " " << height << ": bold " << bold << ", regular " << regular;
    }
}

}  // namespace
