#include "platform/vcl/metafilecheck.h"

#include <cstdint>

#include "platform/rtl/win.h"

namespace vcl {

namespace {

using rtl::Byte;

// Record types and text options of the format that the system headers here do not name.
constexpr std::uint32_t kEmrDrawEscape = 105, kEmrExtEscape = 106, kEmrSmallTextOut = 108, kEmrForceUfiMapping = 109,
                        kEmrNamedEscape = 110, kEmrSetTextJustification = 120;
constexpr std::uint32_t kEtoNoRect = 0x100, kEtoSmallChars = 0x200;
constexpr std::uint16_t kMetaEof = 0x0000;

std::uint32_t U32(const Byte* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t U16(const Byte* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::int32_t I32(const Byte* p) { return static_cast<std::int32_t>(U32(p)); }

// One record: offsets are from its start, and nothing is read outside it.
struct Span {
  const Byte* p;
  std::uint64_t size;

  bool Fits(std::uint64_t offset, std::uint64_t length) const { return offset <= size && length <= size - offset; }
  std::uint32_t Dword(std::uint64_t offset) const { return Fits(offset, 4) ? U32(p + offset) : 0; }
  std::uint16_t Word(std::uint64_t offset) const { return Fits(offset, 2) ? U16(p + offset) : 0; }
};

// A device-independent bitmap: its header, colour table and bits, all inside the record. usage is
// DIB_PAL_COLORS (2-byte colour entries) or any other value (4-byte entries; 3-byte with a core header).
// lines: how many scan lines the bits must hold, or -1 for the bitmap's whole height.
const char* DibFault(const Span& bmi, const Span& bits, std::uint32_t usage, std::int64_t lines) {
  if (bmi.size < 12) return "bitmap header cut";
  const std::uint32_t headerSize = bmi.Dword(0);
  std::int64_t width, height;
  std::uint32_t planes, bpp, compression = 0, sizeImage = 0, used = 0, masks = 0;
  std::uint64_t entry = usage == DIB_PAL_COLORS ? 2 : 4;
  if (headerSize == 12) {
    width = U16(bmi.p + 4);
    height = U16(bmi.p + 6);
    planes = U16(bmi.p + 8);
    bpp = U16(bmi.p + 10);
    if (usage != DIB_PAL_COLORS) entry = 3;
  } else {
    if (headerSize < 40 || headerSize > bmi.size) return "bitmap header cut";
    width = I32(bmi.p + 4);
    height = I32(bmi.p + 8);
    planes = U16(bmi.p + 12);
    bpp = U16(bmi.p + 14);
    compression = U32(bmi.p + 16);
    sizeImage = U32(bmi.p + 20);
    used = U32(bmi.p + 32);
    if (compression == BI_BITFIELDS && headerSize == 40) masks = 12;
  }
  if (planes != 1) return "bitmap planes";
  if (width <= 0 || height == 0 || height == INT32_MIN) return "bitmap size";
  if (height < 0) height = -height;
  std::uint64_t colours = used;
  if (!colours && bpp <= 8) colours = std::uint64_t{1} << bpp;
  if (!bmi.Fits(headerSize, masks + colours * entry)) return "bitmap colour table cut";
  switch (compression) {
    case BI_RGB:
    case BI_BITFIELDS: {
      if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return "bitmap depth";
      if (compression == BI_BITFIELDS && bpp != 16 && bpp != 32) return "bitmap depth";
      const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bpp + 31) / 32 * 4;
      const std::uint64_t rows = lines < 0 || lines > height ? static_cast<std::uint64_t>(height) : lines;
      if (rows && stride > bits.size / rows) return "bitmap bits cut";
      return nullptr;
    }
    case BI_RLE8:
    case BI_RLE4:
      if (bpp != (compression == BI_RLE8 ? 8u : 4u)) return "bitmap depth";
      [[fallthrough]];
    case BI_JPEG:
    case BI_PNG:
      if (sizeImage == 0 || sizeImage > bits.size) return "bitmap bits cut";
      return nullptr;
    default:
      return "bitmap compression";
  }
}

// ---------------------------------------------------------------------------------------------------------------
// Enhanced metafiles

// The fixed part of each record type that the system reads (0: only the record header).
std::uint32_t EmfMinimum(std::uint32_t type) {
  switch (type) {
    case EMR_HEADER:
      return 88;
    case EMR_POLYBEZIER:
    case EMR_POLYGON:
    case EMR_POLYLINE:
    case EMR_POLYBEZIERTO:
    case EMR_POLYLINETO:
    case EMR_POLYBEZIER16:
    case EMR_POLYGON16:
    case EMR_POLYLINE16:
    case EMR_POLYBEZIERTO16:
    case EMR_POLYLINETO16:
    case EMR_POLYDRAW:
    case EMR_POLYDRAW16:
      return 28;
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYGON:
    case EMR_POLYPOLYLINE16:
    case EMR_POLYPOLYGON16:
      return 32;
    case EMR_SETWINDOWEXTEX:
    case EMR_SETWINDOWORGEX:
    case EMR_SETVIEWPORTEXTEX:
    case EMR_SETVIEWPORTORGEX:
    case EMR_SETBRUSHORGEX:
    case EMR_OFFSETCLIPRGN:
    case EMR_MOVETOEX:
    case EMR_LINETO:
    case EMR_RESIZEPALETTE:
    case kEmrSetTextJustification:
    case kEmrForceUfiMapping:
      return 16;
    case EMR_EOF:
      return 20;
    case EMR_SETPIXELV:
      return 20;
    case EMR_SETMAPPERFLAGS:
    case EMR_SETMAPMODE:
    case EMR_SETBKMODE:
    case EMR_SETPOLYFILLMODE:
    case EMR_SETROP2:
    case EMR_SETSTRETCHBLTMODE:
    case EMR_SETTEXTALIGN:
    case EMR_SETTEXTCOLOR:
    case EMR_SETBKCOLOR:
    case EMR_RESTOREDC:
    case EMR_SELECTOBJECT:
    case EMR_DELETEOBJECT:
    case EMR_SELECTPALETTE:
    case EMR_SETARCDIRECTION:
    case EMR_SETMITERLIMIT:
    case EMR_SELECTCLIPPATH:
    case EMR_GDICOMMENT:
    case EMR_SETICMMODE:
    case EMR_SETCOLORSPACE:
    case EMR_DELETECOLORSPACE:
    case EMR_GLSRECORD:
    case EMR_SETLAYOUT:
      return 12;
    case EMR_SETCOLORADJUSTMENT:
      return 32;
    case EMR_EXCLUDECLIPRECT:
    case EMR_INTERSECTCLIPRECT:
    case EMR_SCALEVIEWPORTEXTEX:
    case EMR_SCALEWINDOWEXTEX:
    case EMR_ELLIPSE:
    case EMR_RECTANGLE:
    case EMR_EXTFLOODFILL:
    case EMR_FILLPATH:
    case EMR_STROKEANDFILLPATH:
    case EMR_STROKEPATH:
    case EMR_COLORCORRECTPALETTE:
      return 24;
    case EMR_SETWORLDTRANSFORM:
      return 32;
    case EMR_MODIFYWORLDTRANSFORM:
      return 36;
    case EMR_CREATEPEN:
      return 28;
    case EMR_CREATEBRUSHINDIRECT:
      return 24;
    case EMR_ANGLEARC:
      return 28;
    case EMR_ROUNDRECT:
      return 32;
    case EMR_ARC:
    case EMR_CHORD:
    case EMR_PIE:
    case EMR_ARCTO:
      return 40;
    case EMR_CREATEPALETTE:
      return 16;
    case EMR_SETPALETTEENTRIES:
      return 20;
    case EMR_FILLRGN:
      return 32;
    case EMR_FRAMERGN:
      return 40;
    case EMR_INVERTRGN:
    case EMR_PAINTRGN:
    case EMR_GLSBOUNDEDRECORD:
      return 28;
    case EMR_EXTSELECTCLIPRGN:
    case kEmrDrawEscape:
    case kEmrExtEscape:
      return 16;
    case kEmrNamedEscape:
    case EMR_SETICMPROFILEA:
    case EMR_SETICMPROFILEW:
      return 20;
    case EMR_BITBLT:
      return 100;
    case EMR_STRETCHBLT:
    case EMR_ALPHABLEND:
    case EMR_TRANSPARENTBLT:
      return 108;
    case EMR_MASKBLT:
      return 128;
    case EMR_PLGBLT:
      return 140;
    case EMR_SETDIBITSTODEVICE:
      return 76;
    case EMR_STRETCHDIBITS:
      return 80;
    case EMR_EXTCREATEFONTINDIRECTW:
      return 104;  // at least the LOGFONTW
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW:
      return 76;
    case EMR_CREATEMONOBRUSH:
    case EMR_CREATEDIBPATTERNBRUSHPT:
      return 32;
    case EMR_EXTCREATEPEN:
      return 52;
    case EMR_POLYTEXTOUTA:
    case EMR_POLYTEXTOUTW:
      return 40;
    case EMR_CREATECOLORSPACE:
      return 340;
    case EMR_PIXELFORMAT:
      return 48;
    case kEmrSmallTextOut:
      return 36;
    case EMR_GRADIENTFILL:
      return 36;
    case EMR_COLORMATCHTOTARGETW:
      return 24;
    case EMR_CREATECOLORSPACEW:
      return 608;
    default:
      return 8;
  }
}

class EmfWalker {
 public:
  explicit EmfWalker(std::uint32_t handles) : handles_(handles) {}

  const char* Check(const Span& r, std::uint32_t type) const {
    if (r.size < EmfMinimum(type)) return "record shorter than its structure";
    switch (type) {
      case EMR_POLYBEZIER:
      case EMR_POLYGON:
      case EMR_POLYLINE:
      case EMR_POLYBEZIERTO:
      case EMR_POLYLINETO:
        return r.Fits(28, std::uint64_t{r.Dword(24)} * 8) ? nullptr : "points past the record";
      case EMR_POLYBEZIER16:
      case EMR_POLYGON16:
      case EMR_POLYLINE16:
      case EMR_POLYBEZIERTO16:
      case EMR_POLYLINETO16:
        return r.Fits(28, std::uint64_t{r.Dword(24)} * 4) ? nullptr : "points past the record";
      case EMR_POLYDRAW:
        return r.Fits(28, std::uint64_t{r.Dword(24)} * 9) ? nullptr : "points past the record";
      case EMR_POLYDRAW16:
        return r.Fits(28, std::uint64_t{r.Dword(24)} * 5) ? nullptr : "points past the record";
      case EMR_POLYPOLYLINE:
      case EMR_POLYPOLYGON:
        return PolyPolyFault(r, 8);
      case EMR_POLYPOLYLINE16:
      case EMR_POLYPOLYGON16:
        return PolyPolyFault(r, 4);
      case EMR_EOF: {
        const std::uint32_t entries = r.Dword(8);
        return !entries || r.Fits(r.Dword(12), std::uint64_t{entries} * 4) ? nullptr : "palette past the record";
      }
      case EMR_CREATEPEN:
        // A pen millions of units wide made drawing hang like a figure that large.
        if (!InDrawingRange(I32(r.p + 16))) return "pen too wide to draw";
        return NewHandle(r.Dword(8));
      case EMR_CREATEBRUSHINDIRECT:
      case EMR_EXTCREATEFONTINDIRECTW:
      case EMR_CREATECOLORSPACE:
      case EMR_CREATECOLORSPACEW:
        return NewHandle(r.Dword(8));
      case EMR_CREATEPALETTE:
        if (const char* f = NewHandle(r.Dword(8))) return f;
        return r.Fits(16, std::uint64_t{r.Word(14)} * 4) ? nullptr : "palette past the record";
      case EMR_SETPALETTEENTRIES:
        if (const char* f = Handle(r.Dword(8), false)) return f;
        return r.Fits(20, std::uint64_t{r.Dword(16)} * 4) ? nullptr : "palette past the record";
      // Only selecting looks a stock object up; the other records index the handle table with whatever they carry
      // (deleting "stock object 0xFFFF0001" made drawing crash).
      case EMR_SELECTOBJECT:
      case EMR_SELECTPALETTE:
        return Handle(r.Dword(8), true);
      case EMR_DELETEOBJECT:
      case EMR_SETCOLORSPACE:
      case EMR_DELETECOLORSPACE:
        return Handle(r.Dword(8), false);
      case EMR_RESIZEPALETTE:
      case EMR_COLORCORRECTPALETTE:
        return Handle(r.Dword(8), false);
      case EMR_GDICOMMENT:
      case EMR_GLSRECORD:
        return r.Fits(12, r.Dword(8)) ? nullptr : "data past the record";
      case EMR_GLSBOUNDEDRECORD:
        return r.Fits(28, r.Dword(24)) ? nullptr : "data past the record";
      case kEmrDrawEscape:
      case kEmrExtEscape:
        return r.Fits(16, r.Dword(12)) ? nullptr : "data past the record";
      case kEmrNamedEscape:
        return r.Fits(20, std::uint64_t{r.Dword(12)} + r.Dword(16)) ? nullptr : "data past the record";
      case EMR_SETICMPROFILEA:
      case EMR_SETICMPROFILEW:
        return r.Fits(20, std::uint64_t{r.Dword(12)} + r.Dword(16)) ? nullptr : "data past the record";
      case EMR_COLORMATCHTOTARGETW:
        return r.Fits(24, std::uint64_t{r.Dword(16)} + r.Dword(20)) ? nullptr : "data past the record";
      case EMR_FILLRGN:
      case EMR_FRAMERGN:
        if (const char* f = Handle(r.Dword(28), false)) return f;
        return RegionFault(r, r.Dword(24), type == EMR_FILLRGN ? 32 : 40, false);
      case EMR_INVERTRGN:
      case EMR_PAINTRGN:
        return RegionFault(r, r.Dword(24), 28, false);
      case EMR_EXTSELECTCLIPRGN:
        return RegionFault(r, r.Dword(8), 16, true);
      case EMR_BITBLT:
      case EMR_STRETCHBLT:
      case EMR_ALPHABLEND:
      case EMR_TRANSPARENTBLT:
      case EMR_MASKBLT:
        if (const char* f = OptionalDib(r, 84, r.Dword(80))) return f;
        return type == EMR_MASKBLT ? OptionalDib(r, 112, r.Dword(108)) : nullptr;
      case EMR_PLGBLT:
        if (const char* f = OptionalDib(r, 96, r.Dword(92))) return f;
        return OptionalDib(r, 124, r.Dword(120));
      case EMR_SETDIBITSTODEVICE:
        return Dib(r, 48, r.Dword(64), r.Dword(72));
      case EMR_STRETCHDIBITS:
        return Dib(r, 48, r.Dword(64), -1);
      case EMR_CREATEMONOBRUSH:
      case EMR_CREATEDIBPATTERNBRUSHPT:
        if (const char* f = NewHandle(r.Dword(8))) return f;
        return Dib(r, 16, r.Dword(12), -1);
      case EMR_EXTCREATEPEN:
        if (const char* f = NewHandle(r.Dword(8))) return f;
        if (r.Dword(32) > kDrawingRange) return "pen too wide to draw";
        if (!r.Fits(52, std::uint64_t{r.Dword(48)} * 4)) return "pen style past the record";
        return r.Dword(12) || r.Dword(16) ? Dib(r, 12, DIB_RGB_COLORS, -1) : nullptr;
      case EMR_EXTTEXTOUTA:
      case EMR_EXTTEXTOUTW:
        return TextFault(r, 36, type == EMR_EXTTEXTOUTW ? 2 : 1);
      case EMR_POLYTEXTOUTA:
      case EMR_POLYTEXTOUTW: {
        const std::uint64_t strings = r.Dword(36);
        if (!r.Fits(40, strings * 40)) return "texts past the record";
        for (std::uint64_t i = 0; i < strings; ++i)
          if (const char* f = TextFault(r, 40 + i * 40, type == EMR_POLYTEXTOUTW ? 2 : 1)) return f;
        return nullptr;
      }
      case kEmrSmallTextOut: {
        const std::uint32_t options = r.Dword(20);
        const std::uint64_t at = (options & kEtoNoRect) ? 36 : 52;
        return r.Fits(at, std::uint64_t{r.Dword(16)} * ((options & kEtoSmallChars) ? 1 : 2)) ? nullptr
                                                                                             : "text past the record";
      }
      case EMR_GRADIENTFILL:
        return GradientFault(r);
      case EMR_ELLIPSE:
      case EMR_ROUNDRECT:
      case EMR_ARC:
      case EMR_CHORD:
      case EMR_PIE:
      case EMR_ARCTO:
        return BoxFault(r, 8, type == EMR_ROUNDRECT);
      case EMR_ANGLEARC:
        if (!InDrawingRange(I32(r.p + 8)) || !InDrawingRange(I32(r.p + 12)) || r.Dword(16) > kDrawingRange)
          return "figure too large to draw";
        return nullptr;
      default:
        return nullptr;
    }
  }

 private:
  // An object a record creates goes into a slot of the handle table (slot 0 is the metafile's own).
  const char* NewHandle(std::uint32_t index) const {
    return index >= 1 && index < handles_ ? nullptr : "object index outside the handle table";
  }
  // A record that uses an object names a slot, or (where stock objects may stand) a stock object.
  const char* Handle(std::uint32_t index, bool stock) const {
    if (stock && (index & 0x80000000u)) return nullptr;
    return index < handles_ ? nullptr : "object index outside the handle table";
  }

  // The system draws a curved figure point by point along its whole outline, however little of it shows: a box
  // 2^27 units wide took seconds to draw and one at the edge of the 32-bit range made drawing hang or crash. No
  // picture that shows needs figures larger than 2^20 units (over ten metres in hundredths of a millimetre).
  static constexpr std::int64_t kDrawingRange = 1 << 20;
  static bool InDrawingRange(std::int64_t v) { return v >= -kDrawingRange && v <= kDrawingRange; }
  static const char* BoxFault(const Span& r, std::uint64_t at, bool withCorner) {
    for (std::uint64_t k = 0; k < (withCorner ? 6u : 4u); ++k)
      if (!InDrawingRange(I32(r.p + at + 4 * k))) return "figure too large to draw";
    return nullptr;
  }

  static const char* PolyPolyFault(const Span& r, std::uint64_t pointSize) {
    const std::uint64_t polys = r.Dword(24), points = r.Dword(28);
    if (!r.Fits(32, polys * 4 + points * pointSize)) return "points past the record";
    std::uint64_t sum = 0;
    for (std::uint64_t i = 0; i < polys; ++i) sum += r.Dword(32 + i * 4);
    return sum <= points ? nullptr : "polygon counts exceed the points";
  }

  // An EMRTEXT at offset at: the string and the optional spacing array lie inside the record.
  static const char* TextFault(const Span& r, std::uint64_t at, std::uint64_t charSize) {
    const std::uint64_t chars = r.Dword(at + 8), offString = r.Dword(at + 12), options = r.Dword(at + 16),
                        offDx = r.Dword(at + 36);
    if (chars && !r.Fits(offString, chars * charSize)) return "text past the record";
    if (offDx && chars && !r.Fits(offDx, chars * 4 * ((options & ETO_PDY) ? 2 : 1))) return "spacing past the record";
    return nullptr;
  }

  // Region data: a 32-byte header and nCount rectangles, inside the record; an empty one only where allowed.
  static const char* RegionFault(const Span& r, std::uint32_t bytes, std::uint64_t at, bool mayBeEmpty) {
    if (bytes == 0 && mayBeEmpty) return nullptr;
    if (bytes < 32 || !r.Fits(at, bytes)) return "region past the record";
    const Span region{r.p + at, bytes};
    const std::uint32_t headerSize = region.Dword(0);
    if (headerSize < 32 || !region.Fits(headerSize, std::uint64_t{region.Dword(8)} * 16))
      return "region rectangles cut";
    // A region reaching millions of units out took the system seconds to fill, like a figure that large.
    for (std::uint64_t k = 0; k < 4; ++k)
      if (!InDrawingRange(I32(region.p + 16 + 4 * k))) return "region too large to draw";
    for (std::uint64_t i = 0; i < std::uint64_t{region.Dword(8)} * 4; ++i)
      if (!InDrawingRange(I32(region.p + headerSize + 4 * i))) return "region too large to draw";
    return nullptr;
  }

  // A bitmap named by (offBmi, cbBmi, offBits, cbBits) at offset at; the system reads it whenever offBmi is set.
  static const char* Dib(const Span& r, std::uint64_t at, std::uint32_t usage, std::int64_t lines) {
    const std::uint32_t offBmi = r.Dword(at), cbBmi = r.Dword(at + 4), offBits = r.Dword(at + 8),
                        cbBits = r.Dword(at + 12);
    if (offBmi < 8 || !r.Fits(offBmi, cbBmi) || !r.Fits(offBits, cbBits)) return "bitmap past the record";
    return DibFault(Span{r.p + offBmi, cbBmi}, Span{r.p + offBits, cbBits}, usage, lines);
  }
  static const char* OptionalDib(const Span& r, std::uint64_t at, std::uint32_t usage) {
    return r.Dword(at) || r.Dword(at + 4) ? Dib(r, at, usage, -1) : nullptr;
  }

  static const char* GradientFault(const Span& r) {
    const std::uint64_t vertices = r.Dword(24), shapes = r.Dword(28);
    const std::uint32_t mode = r.Dword(32);
    if (mode > GRADIENT_FILL_TRIANGLE) return "gradient mode";
    const std::uint64_t corners = mode == GRADIENT_FILL_TRIANGLE ? 3 : 2;
    const std::uint64_t at = 36 + vertices * 16;
    if (!r.Fits(36, vertices * 16 + shapes * corners * 4)) return "gradient past the record";
    for (std::uint64_t i = 0; i < shapes * corners; ++i)
      if (r.Dword(at + i * 4) >= vertices) return "gradient vertex index";
    return nullptr;
  }

  std::uint32_t handles_;
};

// ---------------------------------------------------------------------------------------------------------------
// Windows metafiles. Parameters are 16-bit words after the 6-byte record header.

class WmfWalker {
 public:
  explicit WmfWalker(std::uint32_t objects) : objects_(objects) {}

  const char* Check(const Span& r, std::uint16_t function) const {
    const std::uint64_t params = (r.size - 6) / 2;
    auto param = [&](std::uint64_t i) -> std::uint64_t { return r.Word(6 + i * 2); };
    auto need = [&](std::uint64_t words) { return params >= words; };
    auto object = [&](std::uint64_t index) { return index < objects_ ? nullptr : "object index outside the table"; };
    switch (function) {
      case kMetaEof:
      case META_SAVEDC:
      case META_REALIZEPALETTE:
        return nullptr;
      case META_SETBKMODE:
      case META_SETMAPMODE:
      case META_SETROP2:
      case META_SETRELABS:
      case META_SETPOLYFILLMODE:
      case META_SETSTRETCHBLTMODE:
      case META_SETTEXTCHAREXTRA:
      case META_RESTOREDC:
      case META_SETTEXTALIGN:
      case META_RESIZEPALETTE:
        return need(1) ? nullptr : "record shorter than its parameters";
      case META_SELECTOBJECT:
      case META_DELETEOBJECT:
      case META_SELECTPALETTE:
      case META_INVERTREGION:
      case META_PAINTREGION:
        if (!need(1)) return "record shorter than its parameters";
        return object(param(0));
      case META_SELECTCLIPREGION:
        if (!need(1)) return "record shorter than its parameters";
        return param(0) ? object(param(0)) : nullptr;
      case META_FILLREGION:
        if (!need(2)) return "record shorter than its parameters";
        if (const char* f = object(param(0))) return f;
        return object(param(1));
      case META_FRAMEREGION:
        if (!need(4)) return "record shorter than its parameters";
        if (const char* f = object(param(0))) return f;
        return object(param(1));
      case META_SETBKCOLOR:
      case META_SETTEXTCOLOR:
      case META_SETTEXTJUSTIFICATION:
      case META_SETWINDOWORG:
      case META_SETWINDOWEXT:
      case META_SETVIEWPORTORG:
      case META_SETVIEWPORTEXT:
      case META_OFFSETWINDOWORG:
      case META_OFFSETVIEWPORTORG:
      case META_LINETO:
      case META_MOVETO:
      case META_OFFSETCLIPRGN:
      case META_SETMAPPERFLAGS:
      case META_SETLAYOUT:
        return need(2) ? nullptr : "record shorter than its parameters";
      case META_SCALEWINDOWEXT:
      case META_SCALEVIEWPORTEXT:
      case META_EXCLUDECLIPRECT:
      case META_INTERSECTCLIPRECT:
      case META_ELLIPSE:
      case META_FLOODFILL:
      case META_RECTANGLE:
      case META_SETPIXEL:
      case META_CREATEBRUSHINDIRECT:
        return need(4) ? nullptr : "record shorter than its parameters";
      case META_CREATEPENINDIRECT:
      case META_EXTFLOODFILL:
        return need(5) ? nullptr : "record shorter than its parameters";
      case META_ROUNDRECT:
      case META_PATBLT:
        return need(6) ? nullptr : "record shorter than its parameters";
      case META_ARC:
      case META_PIE:
      case META_CHORD:
        return need(8) ? nullptr : "record shorter than its parameters";
      case META_CREATEFONTINDIRECT: {
        // The face name is read up to its terminating zero, which must be inside the record.
        if (!need(9)) return "record shorter than its parameters";
        for (std::uint64_t at = 6 + 18; at < r.size; ++at)
          if (r.p[at] == 0) return nullptr;
        return "font name not terminated";
      }
      case META_POLYGON:
      case META_POLYLINE:
        return need(1) && need(1 + 2 * param(0)) ? nullptr : "points past the record";
      case META_POLYPOLYGON: {
        if (!need(1) || !need(1 + param(0))) return "points past the record";
        std::uint64_t points = 0;
        for (std::uint64_t i = 0; i < param(0); ++i) points += param(1 + i);
        return need(1 + param(0) + 2 * points) ? nullptr : "points past the record";
      }
      case META_TEXTOUT:
        return need(1) && need(1 + (param(0) + 1) / 2 + 2) ? nullptr : "text past the record";
      case META_EXTTEXTOUT: {
        if (!need(4)) return "record shorter than its parameters";
        const std::uint64_t rect = (param(3) & (ETO_OPAQUE | ETO_CLIPPED)) ? 4 : 0;
        return need(4 + rect + (param(2) + 1) / 2) ? nullptr : "text past the record";
      }
      case META_ESCAPE:
        return need(2) && need(2 + (param(1) + 1) / 2) ? nullptr : "data past the record";
      case META_CREATEPALETTE:
        return need(2) && need(2 + 2 * param(1)) ? nullptr : "palette past the record";
      case META_SETPALENTRIES:
      case META_ANIMATEPALETTE:
        return need(2) && need(2 + 2 * param(1)) ? nullptr : "palette past the record";
      case META_CREATEREGION:
        return RegionFault(r, params);
      case META_DIBBITBLT:
        // Without a source the record is a pattern fill of 9 parameters; with one, the bitmap follows 8.
        if (params <= 9) return need(9) ? nullptr : "record shorter than its parameters";
        return PackedDib(r, 8, DIB_RGB_COLORS, -1);
      case META_DIBSTRETCHBLT:
        return PackedDib(r, 10, DIB_RGB_COLORS, -1);
      case META_STRETCHDIB:
        if (!need(11)) return "record shorter than its parameters";
        return PackedDib(r, 11, static_cast<std::uint32_t>(param(2)), -1);
      case META_SETDIBTODEV:
        if (!need(9)) return "record shorter than its parameters";
        return PackedDib(r, 9, static_cast<std::uint32_t>(param(0)), static_cast<std::int64_t>(param(1)));
      case META_DIBCREATEPATTERNBRUSH:
        if (!need(2)) return "record shorter than its parameters";
        return PackedDib(r, 2, static_cast<std::uint32_t>(param(1)), -1);
      // Device-dependent bitmaps of the first Windows versions: nothing written since uses them, and their bits
      // carry no size the system checks.
      case META_BITBLT:
      case META_STRETCHBLT:
      case META_CREATEPATTERNBRUSH:
        return "device-dependent bitmap record";
      default:
        return nullptr;
    }
  }

 private:
  // A bitmap info block and its bits, packed after parameter first.
  static const char* PackedDib(const Span& r, std::uint64_t first, std::uint32_t usage, std::int64_t lines) {
    const std::uint64_t at = 6 + first * 2;
    if (!r.Fits(at, 12)) return "bitmap past the record";
    const Span rest{r.p + at, r.size - at};
    const std::uint32_t headerSize = rest.Dword(0);
    // Where the bits start: after the header, the masks and the colour table (DibFault checks the table fits).
    std::uint64_t table = 0;
    if (headerSize == 12) {
      const std::uint32_t bpp = rest.Word(10);
      table = bpp <= 8 ? (std::uint64_t{1} << bpp) * (usage == DIB_PAL_COLORS ? 2 : 3) : 0;
    } else if (headerSize >= 40 && rest.Fits(0, 40)) {
      const std::uint32_t bpp = rest.Word(14);
      std::uint64_t colours = rest.Dword(32);
      if (!colours && bpp <= 8) colours = std::uint64_t{1} << bpp;
      table =
          colours * (usage == DIB_PAL_COLORS ? 2 : 4) + (rest.Dword(16) == BI_BITFIELDS && headerSize == 40 ? 12 : 0);
    } else {
      return "bitmap header cut";
    }
    const std::uint64_t bitsAt = headerSize + table;
    if (bitsAt > rest.size) return "bitmap colour table cut";
    return DibFault(rest, Span{rest.p + bitsAt, rest.size - bitsAt}, usage, lines);
  }

  // A region: 10 words of header (parameter 5 the scan count), then scans of count, top, bottom, count
  // coordinates and the count again.
  static const char* RegionFault(const Span& r, std::uint64_t params) {
    if (params < 11) return "record shorter than its parameters";
    const std::uint64_t scans = r.Word(6 + 5 * 2);
    std::uint64_t at = 11;
    for (std::uint64_t i = 0; i < scans; ++i) {
      if (at >= params) return "region scans past the record";
      const std::uint64_t count = r.Word(6 + at * 2);
      if (count % 2) return "region scan count";
      at += count + 4;
      if (at > params) return "region scans past the record";
    }
    return nullptr;
  }

  std::uint32_t objects_;
};

}  // namespace

const char* EnhMetafileFault(const Byte* data, size_t size) {
  if (size < 88) return "header cut";
  if (U32(data) != EMR_HEADER) return "no header record";
  const std::uint32_t headerSize = U32(data + 4);
  if (headerSize < 88 || headerSize % 4 || headerSize > size) return "header record size";
  const Span header{data, headerSize};
  const std::uint32_t description = header.Dword(60);
  if (description && !header.Fits(header.Dword(64), std::uint64_t{description} * 2))
    return "description past the header";
  if (headerSize >= 100 && header.Dword(88) && !header.Fits(header.Dword(92), header.Dword(88)))
    return "pixel format past the header";
  const std::uint32_t handles = header.Word(56);
  if (handles == 0) return "no handle table";
  const EmfWalker walker(handles);
  size_t at = 0;
  for (;;) {
    if (size - at < 8) return "record header cut";
    const std::uint32_t type = U32(data + at), recordSize = U32(data + at + 4);
    if (recordSize < 8 || recordSize % 4 || recordSize > size - at) return "record size";
    if (at > 0 && type == EMR_HEADER) return "second header record";
    if (const char* fault = walker.Check(Span{data + at, recordSize}, type)) return fault;
    at += recordSize;
    if (type == EMR_EOF) return at == size ? nullptr : "records after the end-of-file record";
    if (at == size) return "no end-of-file record";
  }
}

const char* WinMetafileFault(const Byte* data, size_t size) {
  if (size < 18) return "header cut";
  const std::uint16_t type = U16(data), headerWords = U16(data + 2);
  if ((type != 1 && type != 2) || headerWords != 9) return "header";
  const std::uint32_t objects = U16(data + 10);
  const WmfWalker walker(objects);
  size_t at = 18;
  for (;;) {
    if (size - at < 6) return "record header cut";
    const std::uint64_t recordSize = std::uint64_t{U32(data + at)} * 2;
    const std::uint16_t function = U16(data + at + 4);
    if (recordSize < 6 || recordSize > size - at) return "record size";
    if (const char* fault = walker.Check(Span{data + at, recordSize}, function)) return fault;
    at += recordSize;
    if (function == kMetaEof) return at == size ? nullptr : "records after the end-of-file record";
    if (at == size) return "no end-of-file record";
  }
}

}  // namespace vcl
