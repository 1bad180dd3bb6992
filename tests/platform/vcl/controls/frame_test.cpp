// The frame: a container on a form that owns what is put on it, paints its parent's colour behind its controls
// and takes them with it when it goes.
#include <gtest/gtest.h>

#include <memory>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/frames.h"
#include "platform/vcl/stdctrls.h"

using namespace vcl;

namespace {

// A 32-bit memory bitmap a control is painted into.
struct FrameShot {
  FrameShot(int w, int h) : w(w) {
    dc = CreateCompatibleDC(nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    old = SelectObject(dc, bmp);
  }
  ~FrameShot() {
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
  }
  COLORREF at(int x, int y) const {
    GdiFlush();
    const DWORD v = bits[y * w + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
  int w;
  HDC dc;
  HBITMAP bmp;
  HGDIOBJ old;
  DWORD* bits = nullptr;
};

TEST(Frame, OwnsItsControlsPaintsItsParentsColourAndTakesThemAlongWhenFreed) {
  Application->Initialize();
  std::unique_ptr<TForm> form(new TForm(nullptr));
  form->SetBounds(100, 100, 300, 200);
  form->SetColor(RGB(10, 120, 200));
  auto* frame = new TFrame(form.get());
  frame->SetParent(form.get());
  frame->SetBounds(10, 10, 200, 120);
  auto* button = new TButton(frame);
  button->SetParent(frame);
  button->SetBounds(10, 10, 80, 25);
  auto* edit = new TEdit(frame);
  edit->SetParent(frame);
  edit->SetBounds(10, 50, 120, 21);

  const TClassInfo* info = FindClass(L"TFrame");
  ASSERT_NE(info, nullptr);
  EXPECT_TRUE(info->InheritsFrom(TScrollingWinControl::StaticClass()));
  EXPECT_EQ(frame->ComponentCount(), 2);
  EXPECT_EQ(button->Owner(), frame);
  EXPECT_EQ(frame->ControlCount(), 2);
  form->Show();
  ASSERT_TRUE(frame->HandleAllocated());
  EXPECT_EQ(GetParent(button->Handle()), frame->Handle());
  EXPECT_NE(GetWindowLongW(frame->Handle(), GWL_STYLE) & WS_CLIPCHILDREN, 0);

  FrameShot shot(200, 120);
  frame->PaintTo(shot.dc, 0, 0);
  EXPECT_EQ(shot.at(150, 100), RGB(10, 120, 200));

  // Freeing the frame frees its controls with it; the form keeps nothing of them.
  frame->Free();
  EXPECT_EQ(form->ControlCount(), 0);
  EXPECT_EQ(form->ComponentCount(), 0);
}

}  // namespace
