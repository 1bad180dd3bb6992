// The graphics bindings as scripts use them: fonts with style sets built from the enumeration, drawing on a bitmap's
// canvas (pixels read back), pictures loaded and saved, bitmaps drawn onto bitmaps, metafiles drawn through their
// canvas; drawing where there is no device context and saving an empty picture end in the platform's errors.
#include "fixture.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/picture.h"

using rtl::String;

namespace {

class GraphicsBindings : public BindingsFixture {};

TEST_F(GraphicsBindings, ScriptsDrawOnBitmapsAndKeepPictures) {
  const ScriptCase cases[] = {
      {L"font style set",
       L"var f: TFont; begin f := TFont.Create; f.Style := fsBold + fsItalic; Print(f.Style); f.Name := 'Tahoma';\r\n"
       L"  f.Size := 12; Print(f.Size); f.Color := clBtnFace; Print(f.Color); Print(f.Pitch = fpDefault); f.Free "
       L"end.",
       L"3;12;-16777201;True;"},
      {L"drawing on a bitmap",
       L"var b: TBitmap; c: TCanvas;\r\n"
       L"begin b := TBitmap.Create; b.Width := 40; b.Height := 30; Print(b.Width); Print(b.Height); c := b.Canvas;\r\n"
       L"  c.Brush.Color := clRed; c.Pen.Color := clRed; c.Rectangle(0, 0, 10, 10); Print(c.Pixels[5, 5] = clRed);\r\n"
       L"  c.Pixels[20, 20] := clBlue; Print(c.Pixels[20, 20] = clBlue); c.Pen.Color := clLime; c.MoveTo(0, 29);\r\n"
       L"  c.LineTo(39, 29); Print(c.Pixels[20, 29] = clLime); Print(c.TextWidth('Ağaç') > 0);\r\n"
       L"  Print(c.TextHeight('A') > 0); c.Brush.Color := clYellow; c.Ellipse(12, 12, 22, 22);\r\n"
       L"  Print(c.Pixels[17, 17] = clYellow); c.RoundRect(24, 2, 38, 16, 4, 4); Print(c.Pixels[31, 9] = clYellow);\r\n"
       L"  c.Font.Color := clBlack; c.TextOut(2, 12, 'x'); b.SaveToFile(Folder + 'drawn.bmp'); b.Free end.",
       L"40;30;True;True;True;True;True;True;True;"},
      {L"pictures and drawing one bitmap onto another",
       L"var p: TPicture; a, b: TBitmap;\r\n"
       L"begin p := TPicture.Create; Print(p.Width); Print(p.Height); p.LoadFromFile(Folder + 'drawn.bmp');\r\n"
       L"  Print(p.Width); Print(p.Height); p.SaveToFile(Folder + 'copy.bmp'); p.Free;\r\n"
       L"  a := TBitmap.Create; a.LoadFromFile(Folder + 'copy.bmp'); b := TBitmap.Create; b.Width := 80;\r\n"
       L"  b.Height := 60; b.Canvas.Draw(40, 30, a); Print(b.Canvas.Pixels[45, 35] = clRed);\r\n"
       L"  b.Canvas.StretchDraw(0, 0, 20, 20, a); Print(b.Canvas.Pixels[1, 1] = clRed); a.Free; b.Free end.",
       L"0;0;40;30;True;True;"},
      {L"metafile drawn through its canvas",
       L"var m: TMetafile; c: TMetafileCanvas; b: TBitmap;\r\n"
       L"begin m := TMetafile.Create; c := TMetafileCanvas.Create(m, 0); c.Brush.Color := clGreen;\r\n"
       L"  c.Rectangle(0, 0, 50, 50); c.Free; Print(m.Width > 0); b := TBitmap.Create; b.Width := 60;\r\n"
       L"  b.Height := 60; b.Canvas.StretchDraw(0, 0, 60, 60, m); Print(b.Canvas.Pixels[30, 30] = clGreen);\r\n"
       L"  b.Free; m.Free end.",
       L"True;True;"},
      {L"graphic classes through the graphic constructor",
       L"var g: TGraphic; begin g := TBitmap.Create; Print(g.ClassName); g.Width := 3; Print(g.Width); g.Free end.",
       L"TBitmap;3;"},
      {L"no device context",
       L"var c: TCanvas; begin c := TCanvas.Create; try c.Rectangle(0, 0, 1, 1) except Print(ExceptionClassName) "
       L"end; c.Free end.",
       L"EInvalidOperation;"},
      {L"empty picture",
       L"var p: TPicture; s: TStringList; begin p := TPicture.Create; try p.SaveToFile(Folder + 'none.bmp') except "
       L"Print(ExceptionClassName) end; s := TStringList.Create; s.Add('not a picture'); s.SaveToFile(Folder + "
       L"'bad.xyz'); s.Free; try p.LoadFromFile(Folder + 'bad.xyz') except Print(ExceptionClassName) end; p.Free "
       L"end.",
       L"EInvalidGraphic;EInvalidGraphic;"},
  };
  for (const ScriptCase& c : cases) EXPECT_EQ(RunCatching(c.source), c.printed) << c.name;

  // What the script saved is the picture it drew.
  vcl::TPicture saved;
  saved.LoadFromFile(folder + L"drawn.bmp");
  vcl::TBitmap* bmp = saved.Bitmap();
  ASSERT_NE(bmp, nullptr);
  EXPECT_EQ(bmp->Width(), 40);
  EXPECT_EQ(bmp->Canvas()->Pixels(5, 5), vcl::clRed);
  EXPECT_EQ(bmp->Canvas()->Pixels(20, 29), vcl::clLime);
}

}  // namespace
