#pragma once
// How buttons of every kind draw their picture: from an image list (plain or alpha), or from a glyph bitmap of
// several frames side by side, for the button's state, blended, greyed or mirrored as asked, into the button's
// cache bitmap or straight onto a canvas. Also the built-in glyph list of combo edits. (The popup classes that are
// never skinned, ThirdPartySkipForms, are with the dialog hook.)
#include "platform/rtl/stringlist.h"
#include "platform/vcl/bitmap.h"
#include "platform/vcl/imagelist.h"
#include "skin/core/sConst.h"

class TsSkinManager;
class TsAlphaImageList;

struct TlvDrawGlyphData {
  int Blend = 0;
  int SkinIndex = -1;
  int NumGlyphs = 1;
  int ImageIndex = -1;
  int CurrentState = 0;
  bool Down = false;
  bool Grayed = false;
  bool Enabled = true;
  bool Reflected = false;
  vcl::TBitmap* Glyph = nullptr;
  vcl::TBitmap* DstBmp = nullptr;
  vcl::TRect ImgRect;
  vcl::TCanvas* Canvas = nullptr;
  vcl::TColor BGColor = 0xFFFFFF;
  vcl::TCustomImageList* Images = nullptr;
  TsSkinManager* SkinManager = nullptr;
  TsDisabledGlyphKind DisabledGlyphKind;
};

void lvDrawGlyphEx(const TlvDrawGlyphData& data);
inline int GetImageCount(vcl::TCustomImageList* list) { return list ? list->Count() : 0; }
// The built-in glyph list: 48 x 16, the five strips "SF", "SR", "SD", "SE", "SC" (made on first use).
TsAlphaImageList* lvResImgList();
