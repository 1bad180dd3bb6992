// A hint whose OnShowHint handler supplies a frame: the balloon takes the frame's size (plus the template's client
// margins) and shows the frame's controls, windowed and graphic, opaque inside the text area; the frame stays the
// handler's and is left without a window afterwards. Screenshot: $TAVREL_SHOTS/hintframe.png (over white).
#include <gtest/gtest.h>

#include "platform/rtl/win.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/vcl/application.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/png.h"
#include "skin/controls/lvAlphaHints.h"
#include "tests/common/paths.h"

namespace {

// An opaque graphic control of one colour.
class Block : public vcl::TGraphicControl {
 public:
  explicit Block(vcl::TComponent* owner) : vcl::TGraphicControl(owner) { control_style_ += vcl::csOpaque; }
  vcl::TColor Colour = vcl::clRed;

 protected:
  void Paint() override {
    Canvas()->Brush()->SetStyle(vcl::bsSolid);
    Canvas()->Brush()->SetColor(Colour);
    Canvas()->FillRect(vcl::Rect(0, 0, Width(), Height()));
  }
};

std::uint32_t Pixel(vcl::TBitmap* b, int x, int y) { return static_cast<std::uint32_t*>(b->ScanLine(y))[x]; }
// Opaque and within the rounding of the premultiplication.
bool OpaqueNear(std::uint32_t p, std::uint32_t rgb) {
  if ((p >> 24) != 255) return false;
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((rgb >> shift) & 0xFF)) > 2) return false;
  return true;
}

}  // namespace

TEST(HintFrame, TheHandlersFrameIsTheBalloonsContent) {
  vcl::Application->Initialize();
  auto owner = std::make_unique<vcl::TForm>(nullptr);
  auto* frame = new vcl::TPanel(owner.get());
  frame->SetBounds(0, 0, 90, 40);
  auto* inner = new vcl::TPanel(owner.get());
  inner->SetParent(frame);
  inner->SetBounds(4, 4, 30, 24);
  inner->SetBevelOuter(vcl::bvNone);
  inner->SetColor(static_cast<vcl::TColor>(0x00A000));
  auto* block = new Block(owner.get());
  block->SetParent(frame);
  block->SetBounds(50, 6, 20, 20);
  block->Colour = static_cast<vcl::TColor>(0xC80000);

  TsAlphaHints hints(nullptr);
  hints.SetAnimated(false);
  int asked = 0;
  hints.OnShowHint = [&](rtl::String&, bool& canShow, TlvHintInfo&, vcl::TWinControl*& f) {
    ++asked;
    canShow = true;
    f = frame;
  };
  hints.ShowHint(vcl::TPoint(300, 300), L"Öğrenci", 0);
  ASSERT_TRUE(hints.HintVisible());
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(hints.HintFrame(), frame);
  vcl::TBitmap* b = hints.HintWindow()->AlphaBmp();
  ASSERT_NE(b, nullptr);
  const TlvBordersSizes* m = DefaultTemplate()->ImageDefault()->ClientMargins();
  EXPECT_EQ(b->Width(), 90 + m->Left() + m->Right());
  EXPECT_EQ(b->Height(), 40 + m->Top() + m->Bottom());
  // The windowed control and the graphic one, each opaque in its own colour at its place in the text area.
  const int ox = m->Left(), oy = m->Top();
  EXPECT_TRUE(OpaqueNear(Pixel(b, ox + 4 + 10, oy + 4 + 10), 0x00A000u));
  EXPECT_TRUE(OpaqueNear(Pixel(b, ox + 50 + 10, oy + 6 + 10), 0x0000C8u));
  // The frame has no window left on the balloon's.
  EXPECT_FALSE(frame->HandleAllocated());
  EXPECT_EQ(frame->ParentWindow(), nullptr);
  if (const char* shots = std::getenv("TAVREL_SHOTS")) {
    CreateDirectoryW(testutil::WindowsPath(shots).c_str(), nullptr);
    vcl::TPngPixels out;
    out.Width = b->Width();
    out.Height = b->Height();
    for (int y = 0; y < b->Height(); ++y)
      for (int x = 0; x < b->Width(); ++x) {
        const std::uint32_t p = Pixel(b, x, y), a = p >> 24;
        std::uint32_t c = 0xFF000000u;
        for (int shift : {0, 8, 16}) c |= std::min<std::uint32_t>(255, ((p >> shift) & 0xFF) + (255 - a)) << shift;
        out.Pixels.push_back(c);
      }
    vcl::WriteWholeFile(testutil::WindowsPath(std::string(shots) + "/hintframe.png"), vcl::EncodePng(out));
  }
  hints.HideAll();
  EXPECT_EQ(hints.HintFrame(), nullptr);
}
