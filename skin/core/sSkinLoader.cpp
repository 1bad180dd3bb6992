#include "skin/core/sSkinLoader.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/graphicfiles.h"
#include "platform/vcl/jpeg.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sSkinRecolor.h"
#include "skin/render/sAlphaGraph.h"
#include "skin/render/sGraphUtils.h"

using rtl::String;

namespace {

const String kGlobal = L"GLOBALINFO";
const String kParent = L"PARENTCLASS";
// Option files are text: a bigger one is not a skin.
constexpr rtl::Int64 kMaxImageFile = 64LL * 1024 * 1024;

String Where(const String& section, const String& key) { return L"[" + section + L"] " + key; }

// Fields of a value split at sep, empty fields kept; a leading separator starts no field.
std::vector<String> SplitFields(const String& value, wchar_t sep) {
  std::vector<String> fields;
  size_t start = (!value.empty() && value[0] == sep) ? 1 : 0;
  while (true) {
    size_t at = value.find(sep, start);
    fields.push_back(value.substr(start, at == String::npos ? String::npos : at - start));
    if (at == String::npos) break;
    start = at + 1;
  }
  return fields;
}

// An integer of the field, 0 when it is missing or not a number.
int FieldInt(const std::vector<String>& fields, size_t n) {
  if (n == 0 || n > fields.size()) return 0;
  return rtl::StrToIntDef(fields[n - 1], 0);
}

// The strict reading of a numeric column (positions count from 1): a non-number stops the load.
class TColumns {
 public:
  TColumns(const String& value, const String& where) : value_(value), where_(where) {}
  int Get(int from, int length) const {
    String text = rtl::Copy(value_, from, length);
    rtl::Integer v = 0;
    if (!rtl::TryStrToInt(text, v))
      throw ESkinError(L"The value of " + where_ + L" has '" + text + L"' at column " + rtl::IntToStr(from) +
                       L" where a number belongs");
    return v;
  }
  vcl::TRect Rect() const { return vcl::TRect(Get(2, 4), Get(7, 4), Get(12, 4), Get(17, 4)); }

 private:
  const String& value_;
  String where_;
};

std::int16_t Short(int v) { return static_cast<std::int16_t>(std::clamp(v, -32768, 32767)); }

bool IsTrueText(const String& s) { return s == L"TRUE" || s == L"1"; }

}  // namespace

void CopyProperties(TsGenState& dst, const TsGenState& src) { dst = src; }

void MakeBitmap32(vcl::TBitmap* bmp) {
  if (bmp->PixelFormat() == vcl::pf32bit) return;
  bmp->SetPixelFormat(vcl::pf32bit);
  std::uint8_t* line0;
  std::ptrdiff_t delta;
  if (!InitLine(bmp, line0, delta)) return;
  for (int y = 0; y < bmp->Height(); ++y) {
    TsColor_* row = PixelAt(line0, delta, 0, y);
    for (int x = 0; x < bmp->Width(); ++x) row[x].A = (row[x].C & 0xFFFFFF) == 0xFF00FF ? 0 : 255;
  }
}

TsSkinLoader::TsSkinLoader(const TlvIniText& skinFile, const TsLoadParams& params, TsSkinTables& tables,
                           TsSkinData& description)
    : SkinFile(skinFile), Params(params), T(tables), D(description) {
  Common.SetLines(params.CommonSections);
}

int TsSkinLoader::GlobalIndex() const {
  const auto& sections = SkinFile.Sections();
  for (size_t i = 0; i < sections.size(); ++i)
    if (sections[i].Name == kGlobal) return static_cast<int>(i);
  return -1;
}

// -------------------------------------------------------------------------------------------------------------
// Inherited reads

void TsSkinLoader::CheckParentChains() const {
  for (const auto& s : SkinFile.Sections()) {
    std::vector<String> chain{s.Name};
    String current = s.Name;
    while (true) {
      String parent = SkinFile.ReadString(current, kParent, L"?");
      if (parent.empty() || parent == L"?" || parent == current || !SkinFile.SectionExists(parent)) break;
      if (std::find(chain.begin(), chain.end(), parent) != chain.end()) {
        String path;
        for (const String& c : chain) path += c + L" > ";
        throw ESkinError(L"The parent classes of section \"" + s.Name + L"\" form a loop (" + path + parent + L")");
      }
      chain.push_back(parent);
      current = parent;
    }
  }
}

std::optional<String> TsSkinLoader::InheritedValue(const String& section, const String& key) const {
  String current = section;
  // Bounded by the number of sections even if a loop slipped past CheckParentChains.
  for (size_t step = 0; step <= SkinFile.Sections().size(); ++step) {
    String value = SkinFile.ReadString(current, key, L"?");
    if (value != L"?") return value;
    String parent = SkinFile.ReadString(current, kParent, L"?");
    if (parent.empty() || parent == L"?" || parent == current) return std::nullopt;
    current = parent;
  }
  return std::nullopt;
}

String TsSkinLoader::FindString(const String& section, const String& key, const String& def) const {
  return InheritedValue(section, key).value_or(def);
}

bool TsSkinLoader::FindBoolean(const String& section, const String& key, bool def) const {
  std::optional<String> v = InheritedValue(section, key);
  return v ? IsTrueText(*v) : def;
}

int TsSkinLoader::FindInteger(const String& section, const String& key, int def, int max) const {
  int value = SkinFile.ReadInteger(section, key, -1);
  if (value == -1) {
    String current = section;
    for (size_t step = 0; step <= SkinFile.Sections().size() && value == -1; ++step) {
      String parent = SkinFile.ReadString(current, kParent, L"?");
      if (parent.empty() || parent == L"?" || parent == current) break;
      value = SkinFile.ReadInteger(parent, key, -1);
      if (value != -1) value = vcl::ColorToRGB(value);
      current = parent;
    }
  }
  if (value == -1) value = def;
  return std::min(value, max);
}

int TsSkinLoader::GetPropInteger(const String& section, const String& key, int def) const {
  return Common.ReadInteger(section, key, def);
}

bool TsSkinLoader::GetPropBool(const String& section, const String& key, bool def) const {
  if (!Common.ValueExists(section, key)) return def;
  return IsTrueText(rtl::UpperCase(Common.ReadString(section, key, String())));
}

String TsSkinLoader::GetPropStr(const String& section, const String& key, const String& def) const {
  return Common.ReadString(section, key, def);
}

void TsSkinLoader::FillProps(TsGenState& state, const TsGenState& defaults, int stateIndex, bool fromCommon,
                             const String& section) const {
  const auto& k = lvPropsArray[static_cast<size_t>(stateIndex)];
  auto integer = [&](const wchar_t* key, int def) {
    return fromCommon ? GetPropInteger(section, key, def) : FindInteger(section, key, def);
  };
  state = TsGenState();
  state.Color = integer(k[0], defaults.Color);
  state.FontColor.Color = integer(k[1], defaults.FontColor.Color);
  state.FontColor.Left = integer(k[2], defaults.FontColor.Left);
  state.FontColor.Top = integer(k[3], defaults.FontColor.Top);
  state.FontColor.Right = integer(k[4], defaults.FontColor.Right);
  state.FontColor.Bottom = integer(k[5], defaults.FontColor.Bottom);
  state.GlowColor = integer(k[6], defaults.GlowColor);
  state.GlowSize = integer(k[7], defaults.GlowSize);
  state.GradientPercent = integer(k[8], defaults.GradientPercent);
  String gradient = fromCommon ? GetPropStr(section, k[9], String()) : FindString(section, k[9], String());
  if (gradient.size() < 3) {
    state.GradientPercent = 0;
    state.GradientArray.clear();
  } else {
    try {
      PrepareGradArray(gradient, state.GradientArray);
    } catch (const rtl::EConvertError& e) {
      throw ESkinError(L"The gradient of " + Where(section, k[9]) + L" is not a list of numbers: " + e.Message());
    }
  }
  state.ImagePercent = integer(k[10], defaults.ImagePercent);
  state.Transparency = integer(k[11], defaults.Transparency);
  state.TextureIndex = -1;
}

// -------------------------------------------------------------------------------------------------------------
// Images

int TsSkinLoader::MakeNewItem(int skinIndex, const String& propertyName, const String& className, TlvImgType imgType,
                              const vcl::TRect& r, int imageCount, int drawMode, int maskType) {
  TsMaskData m;
  m.SkinIndex = skinIndex;
  m.PropertyName = propertyName;
  m.ClassName = className;
  m.ImgType = imgType;
  m.R = r;
  m.ImageCount = Short(imageCount);
  m.DrawMode = Short(drawMode);
  m.MaskType = Short(maskType);
  m.Manager = Params.Manager;
  T.ma.push_back(std::move(m));
  return static_cast<int>(T.ma.size()) - 1;
}

vcl::TBitmap* TsSkinLoader::SearchExtFile(const String& fileName) const {
  for (const TlvExtFileData& e : T.ExtArray)
    if (e.FileName == fileName) return e.Bmp.get();
  return nullptr;
}

void TsSkinLoader::CheckRect(const vcl::TRect& r, const vcl::TBitmap* bmp, const String& where) const {
  const int w = bmp ? bmp->Width() : 0, h = bmp ? bmp->Height() : 0;
  if (r.Left < 0 || r.Top < 0 || r.Right < r.Left || r.Bottom < r.Top || r.Right > w || r.Bottom > h)
    throw ESkinError(L"The image of " + where + L" (" + rtl::IntToStr(r.Left) + L", " + rtl::IntToStr(r.Top) + L", " +
                     rtl::IntToStr(r.Right) + L", " + rtl::IntToStr(r.Bottom) + L") lies outside its bitmap of " +
                     rtl::IntToStr(w) + L" x " + rtl::IntToStr(h) + L" pixels");
}

std::unique_ptr<vcl::TBitmap> TsSkinLoader::ReadImageFile(const String& upperName, const String& where, bool& found) {
  found = false;
  std::vector<rtl::Byte> bytes;
  if (Params.Package) {
    TlvImageItem* item = Params.Package->FindFile(upperName);
    if (!item) return nullptr;
    rtl::TMemoryStream& s = *item->FileStream;
    const auto* p = static_cast<const rtl::Byte*>(s.Memory());
    bytes.assign(p, p + s.Size());
  } else {
    String path = upperName.find(L':') != String::npos ? upperName : D.SkinPath + upperName;
    if (!rtl::FileExists(path)) return nullptr;
    if (rtl::FileSize(path) > kMaxImageFile)
      throw ESkinError(L"The image file \"" + upperName + L"\" of " + where + L" is too large");
    bytes = vcl::ReadWholeFile(path);
  }
  found = true;
  auto bmp = std::make_unique<vcl::TBitmap>();
  try {
    if (upperName.find(L".PNG") != String::npos) {
      rtl::TBytesStream stream(bytes);
      LoadBmpFromPngStream(bmp.get(), stream);
      if (Params.Brightness <= 0 && D.Version > lvTranspVer && bmp->PixelFormat() == vcl::pf32bit)
        UpdateAlpha(bmp.get());
    } else if (upperName.find(L".JPG") != String::npos || upperName.find(L".JPEG") != String::npos) {
      vcl::TJPEGImage jpeg;
      jpeg.LoadFromMemory(bytes.data(), bytes.size());
      bmp->SetPixelFormat(vcl::pf24bit);
      bmp->SetSize(jpeg.Width(), jpeg.Height());
      bmp->Canvas()->Draw(0, 0, &jpeg);
    } else {
      bmp->LoadFromMemory(bytes.data(), bytes.size());
    }
  } catch (const rtl::Exception& e) {
    throw ESkinError(L"The image file \"" + upperName + L"\" of " + where + L" cannot be read: " + e.Message());
  }
  if (bmp->Empty() || bmp->Width() <= 0 || bmp->Height() <= 0)
    throw ESkinError(L"The image file \"" + upperName + L"\" of " + where + L" holds no picture");
  MakeBitmap32(bmp.get());
  return bmp;
}

vcl::TBitmap* TsSkinLoader::ExternalBitmap(const String& fileName, bool required, const String& where) {
  const String name = rtl::UpperCase(fileName);
  if (vcl::TBitmap* known = SearchExtFile(name)) return known;
  bool found = false;
  std::unique_ptr<vcl::TBitmap> bmp = ReadImageFile(name, where, found);
  if (!found) {
    if (required)
      throw ESkinError(L"The image file \"" + fileName + L"\" named by " + where + L" is missing from the skin");
    return nullptr;
  }
  T.ExtArray.push_back(TlvExtFileData{std::move(bmp), name, 0});
  return T.ExtArray.back().Bmp.get();
}

void TsSkinLoader::LoadMasterBitmap() {
  const String masterFile = SkinFile.ReadString(kGlobal, L"MASTERBITMAP", String());
  T.MasterBitmap = std::make_unique<vcl::TBitmap>();
  if (masterFile.empty()) return;
  bool found = false;
  std::unique_ptr<vcl::TBitmap> bmp = ReadImageFile(rtl::UpperCase(masterFile), Where(kGlobal, L"MASTERBITMAP"), found);
  if (!found)
    throw ESkinError(L"The master bitmap \"" + masterFile + L"\" of the skin \"" + Params.SkinName + L"\" is missing");
  bmp->SetTransparentMode(vcl::tmFixed);
  bmp->SetTransparentColor(sFuchsia);
  bmp->SetHandleType(vcl::bmDIB);
  T.MasterBitmap = std::move(bmp);
}

void TsSkinLoader::ComputeCornerType(TsMaskData& m) const {
  if (m.ClassName == L"BUTTON_HUGE" && m.PropertyName == L"BORDERSMASK") {
    m.CornerType = 2;
    return;
  }
  m.CornerType = 0;
  vcl::TBitmap* bmp = m.Bmp ? m.Bmp : T.MasterBitmap.get();
  std::uint8_t* line0;
  std::ptrdiff_t delta;
  if (m.R.Height() <= 0 || !bmp || bmp->PixelFormat() != vcl::pf32bit || !InitLine(bmp, line0, delta)) return;
  const int fw = m.ImageCount > 0 ? m.R.Width() / m.ImageCount : m.R.Width();
  const int fh = m.R.Height() / (m.MaskType + 1 > 0 ? m.MaskType + 1 : 1);
  const int maxX = bmp->Width() - 1, maxY = bmp->Height() - 1;
  auto scan = [&](int x0, int x1, int y0, int y1) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, maxX);
    y1 = std::min(y1, maxY);
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        if ((PixelAt(line0, delta, x, y)->C & 0xFFFFFF) == 0xFF00FF) return true;
    return false;
  };
  const vcl::TRect& r = m.R;
  if (scan(r.Left, r.Left + m.WL, r.Top, r.Top + m.WT) || scan(r.Left + fw - m.WR, r.Left + fw, r.Top, r.Top + m.WT) ||
      scan(r.Left, r.Left + m.WL, r.Top + fh - m.WB, r.Top + fh) ||
      scan(r.Left + fw - m.WR, r.Left + fw, r.Top + fh - m.WB, r.Top + fh))
    m.CornerType = 1;
}

namespace {

// Margins left at 0 come from the border width, else from the frame size.
void DefaultMargins(TsMaskData& m) {
  if (m.WL + m.WT + m.WR + m.WB != 0) return;
  if (m.BorderWidth != 0) {
    m.WL = m.WT = m.WR = m.WB = m.BorderWidth;
    return;
  }
  const int count = m.ImageCount > 0 ? m.ImageCount : 1;
  const int parts = m.MaskType >= 0 ? m.MaskType * 3 + 3 : 3;
  m.WL = m.WR = Short(m.R.Width() / (count * 3));
  m.WT = m.WB = Short(m.R.Height() / parts);
}

// Margins are lengths inside one frame: kept within it so that no painter reads past the image.
void BoundMargins(TsMaskData& m) {
  const int fw = std::max(0, WidthOfImage(m) > 0 ? WidthOfImage(m) : m.R.Width());
  const int fh = std::max(0, HeightOfImage(m));
  m.WL = Short(std::clamp<int>(m.WL, 0, fw));
  m.WR = Short(std::clamp<int>(m.WR, 0, fw));
  m.WT = Short(std::clamp<int>(m.WT, 0, fh));
  m.WB = Short(std::clamp<int>(m.WB, 0, fh));
}

}  // namespace

void TsSkinLoader::LoadBorderImage(int sectionIndex, const String& section, const String& key, const String& v,
                                   const String& className, bool outerMask) {
  const String where = Where(section, key);
  TColumns c(v, where);
  vcl::TRect r = c.Rect();
  CheckRect(r, T.MasterBitmap.get(), where);
  int index = MakeNewItem(sectionIndex, key, className, itisaBorder, r, c.Get(42, 1), c.Get(46, 1), c.Get(44, 1));
  TsMaskData& m = T.ma[static_cast<size_t>(index)];
  m.WL = Short(c.Get(22, 4));
  m.WT = Short(c.Get(27, 4));
  m.WR = Short(c.Get(32, 4));
  m.WB = Short(c.Get(37, 4));
  m.BorderWidth = Short(c.Get(48, 1));
  if (!outerMask) {
    std::vector<String> fields = SplitFields(v, L'!');
    int type = fields.size() >= 4 ? rtl::StrToIntDef(fields[3], 0) : 0;
    m.ImgType = lvImgTypes[static_cast<size_t>(std::clamp(type, 0, 4))];
  }
  DefaultMargins(m);
  BoundMargins(m);
  if (outerMask)
    m.CornerType = 0;
  else
    ComputeCornerType(m);
}

void TsSkinLoader::LoadImage(int sectionIndex, const String& section, const String& key, const String& value) {
  const String v = rtl::UpperCase(value);
  if (v.empty()) return;
  const String where = Where(section, key);
  switch (v[0]) {
    case CharMask:
      LoadBorderImage(sectionIndex, section, key, v, section, false);
      return;
    case CharGlyph: {
      TColumns c(v, where);
      vcl::TRect r = c.Rect();
      CheckRect(r, T.MasterBitmap.get(), where);
      MakeNewItem(sectionIndex, key, section, itisaGlyph, r, c.Get(22, 1), 0, c.Get(24, 1));
      return;
    }
    case TexChar: {
      TColumns c(v, where);
      vcl::TRect r = c.Rect();
      const int drawMode = c.Get(22, 2);
      const int maskType = v.size() >= 25 ? c.Get(25, 1) : 0;
      vcl::TBitmap* own = nullptr;
      if (v.size() > 26) {
        String file = lvExtractWord(7, v, TSysCharSet{L'~'});
        if (!file.empty()) own = ExternalBitmap(file, true, where);
      }
      CheckRect(r, own ? own : T.MasterBitmap.get(), where);
      int index = MakeNewItem(sectionIndex, key, section, itisaTexture, r, 1, drawMode, maskType);
      T.ma[static_cast<size_t>(index)].Bmp = own;
      return;
    }
    case CharExt: {
      std::vector<String> fields = SplitFields(v, CharExt);
      const String file = fields.empty() ? String() : fields[0];
      vcl::TBitmap* bmp = file.empty() ? nullptr : ExternalBitmap(file, true, where);
      if (!bmp) throw ESkinError(L"The value of " + where + L" names no image file");
      int type = std::clamp(FieldInt(fields, 4), 0, 4);
      int index = MakeNewItem(sectionIndex, key, section, lvImgTypes[static_cast<size_t>(type)],
                              vcl::TRect(0, 0, bmp->Width(), bmp->Height()), std::max(0, FieldInt(fields, 2)),
                              FieldInt(fields, 9), std::max(0, FieldInt(fields, 3)));
      TsMaskData& m = T.ma[static_cast<size_t>(index)];
      m.Bmp = bmp;
      if (fields.size() >= 5) {
        m.WL = Short(FieldInt(fields, 5));
        m.WT = Short(FieldInt(fields, 6));
        m.WR = Short(FieldInt(fields, 7));
        m.WB = Short(FieldInt(fields, 8));
      }
      DefaultMargins(m);
      BoundMargins(m);
      if (m.ImgType == itisaBorder) ComputeCornerType(m);
      return;
    }
    default:
      break;
  }
  if (v.find(L".JPG") != String::npos || v.find(L".BMP") != String::npos) {
    // A plain file name: a texture of its own when the file is there.
    vcl::TBitmap* bmp = ExternalBitmap(v, false, where);
    if (!bmp) return;
    int index =
        MakeNewItem(sectionIndex, key, section, itisaTexture, vcl::TRect(0, 0, bmp->Width(), bmp->Height()), 1, 0, 0);
    T.ma[static_cast<size_t>(index)].Bmp = bmp;
  }
}

void TsSkinLoader::LoadCommonBitmaps() {
  const TlvIniText::TSection* global = nullptr;
  for (const auto& s : Common.Sections())
    if (rtl::SameText(s.Name, kGlobal)) {
      global = &s;
      break;
    }
  if (!global) return;
  for (const auto& [key, value] : global->Values) {
    String upper = rtl::UpperCase(value);
    if (upper.find(L".BMP") == String::npos) continue;
    String path = upper.find(L':') != String::npos ? value : D.SkinPath + value;
    if (!rtl::FileExists(path)) continue;
    auto bmp = std::make_unique<vcl::TBitmap>();
    try {
      std::vector<rtl::Byte> bytes = vcl::ReadWholeFile(path);
      bmp->LoadFromMemory(bytes.data(), bytes.size());
    } catch (const rtl::Exception& e) {
      throw ESkinError(L"The common bitmap \"" + value + L"\" cannot be read: " + e.Message());
    }
    if (bmp->Width() <= 0) continue;
    MakeBitmap32(bmp.get());
    int index = MakeNewItem(0, rtl::UpperCase(key), kGlobal, itisaBorder, vcl::TRect(), 0, 0, 0);
    TsMaskData& m = T.ma[static_cast<size_t>(index)];
    m.OwnBmp = std::move(bmp);
    m.Bmp = m.OwnBmp.get();
  }
}

void TsSkinLoader::LoadAllMasks() {
  T.ma.clear();
  T.ExtArray.clear();
  T.MasterBitmap.reset();
  D.Version = rtl::StrToFloatDef(SkinFile.ReadString(kGlobal, L"VERSION", L"0"), 0, rtl::TFormatSettings::Invariant());
  LoadMasterBitmap();
  const auto& sections = SkinFile.Sections();
  for (size_t i = 0; i < sections.size(); ++i) {
    const auto& s = sections[i];
    for (const auto& [key, value] : s.Values) {
      if (s.Name == kGlobal && key == L"MASTERBITMAP") continue;
      LoadImage(static_cast<int>(i), s.Name, key, value);
    }
  }
  if (!Params.CommonSections.empty()) LoadCommonBitmaps();
}

// -------------------------------------------------------------------------------------------------------------
// Sections, effects and the palette

void TsSkinLoader::ReadDescription() {
  auto get = [&](const wchar_t* key, int def) { return SkinFile.ReadInteger(kGlobal, key, def); };
  D.Version = rtl::StrToFloatDef(SkinFile.ReadString(kGlobal, L"VERSION", L"0"), 0, rtl::TFormatSettings::Invariant());
  D.UseAeroBluring = get(L"AEROBLUR", 0) != 0;
  D.Author = SkinFile.ReadString(kGlobal, L"AUTHOR", String());
  D.Description = SkinFile.ReadString(kGlobal, L"DESCRIPTION", String());
  D.Shadow1Offset = get(L"SHADOW1OFFSET", 0);
  D.Shadow1Blur = get(L"SHADOW1BLUR", -1);
  D.Shadow1Transparency = get(L"SHADOW1TRANSPARENCY", 0);
  D.Shadow1Color = get(L"SHADOW1COLOR", 0);
  D.ExBorderWidth = get(L"BORDERWIDTH", 4);
  D.ExTitleHeight = get(L"TITLEHEIGHT", 30);
  if (D.ExTitleHeight == 0) D.ExTitleHeight = 30;
  D.ExMaxHeight = get(L"MAXHEIGHT", 0);
  if (D.ExMaxHeight == 0) D.ExMaxHeight = D.ExTitleHeight;
  D.ExContentOffs = get(L"FORMOFFSET", GetSystemMetrics(SM_CXFRAME));
  D.ExCenterOffs = get(L"CENTEROFFSET", 0);
  D.ExDrawMode = get(L"BORDERMODE", 0);
  D.ExShadowOffs = get(L"ALIGNOFFSET", 0);
  D.ExShadowOffsR = get(L"ALIGNOFFSETR", D.ExShadowOffs);
  D.ExShadowOffsT = get(L"ALIGNOFFSETT", D.ExShadowOffs);
  D.ExShadowOffsB = get(L"ALIGNOFFSETB", D.ExShadowOffs);
  D.BISpacing = get(L"BISPACE", 0);
  D.BIVAlign = get(L"BIVALIGN", 0);
  D.BIRightMargin = get(L"BIRIGHT", 0);
  D.BILeftMargin = get(L"BILEFT", 0);
  D.BITopMargin = get(L"BITOP", 0);
  D.BIKeepHUE = get(L"BIKEEPHUE", 0);
  D.BICloseGlow = get(L"BICONCLOSEGLOW", 0);
  D.BICloseGlowMargin = get(L"BICONCLOSEGLOWMARGIN", 0);
  D.BIMaxGlow = get(L"BICONMAXGLOW", 0);
  D.BIMaxGlowMargin = get(L"BICONMAXGLOWMARGIN", 0);
  D.BIMinGlow = get(L"BICONMINGLOW", 0);
  D.BIMinGlowMargin = get(L"BICONMINGLOWMARGIN", 0);
  D.ComboBoxMargin = get(L"COMBOMARGIN", 2);
  D.BrightMin = get(L"BRIGHTMIN", -50);
  D.BrightMax = get(L"BRIGHTMAX", 50);
  D.TabsCovering = SkinFile.ReadInteger(L"TABTOP", L"TABSCOVERING", 0);
  D.RibbonCovering = SkinFile.ReadInteger(L"RIBBONTAB", L"TABSCOVERING", 0);
}

void TsSkinLoader::MakeMask(TlvOutEffData& effect, const String& key) {
  if (effect.Source == 0) {
    effect.Mask = -1;
    return;
  }
  if (effect.Source == 1) {
    String value = rtl::UpperCase(SkinFile.ReadString(kGlobal, key, String()));
    if (value.empty()) {
      effect.Mask = -1;
      return;
    }
    LoadBorderImage(GlobalIndex(), kGlobal, key, value, kGlobal, true);
    effect.Mask = static_cast<int>(T.ma.size()) - 1;
    return;
  }
  vcl::TBitmap blur;
  try {
    blur.LoadFromResourceName(GetModuleHandleW(nullptr), L"BLUR5");
  } catch (const rtl::Exception&) {
    effect.Mask = -1;
    return;
  }
  const int w = blur.Width(), h = w / 2;
  if (w <= 0 || blur.Height() < w) {
    effect.Mask = -1;
    return;
  }
  if (effect.WidthL == -1) effect.WidthL = h;
  if (effect.WidthT == -1) effect.WidthT = h;
  if (effect.WidthR == -1) effect.WidthR = h;
  if (effect.WidthB == -1) effect.WidthB = h;
  auto bmp = CreateBmp32(w, 2 * w);
  vcl::TCanvas* c = bmp->Canvas();
  auto fill = [&](const vcl::TRect& r, vcl::TColor color) {
    c->Brush()->SetColor(color);
    c->FillRect(r);
  };
  fill(vcl::TRect(0, 0, w, h), effect.ColorT);
  fill(vcl::TRect(0, h, w, w), effect.ColorB);
  auto triangle = [&](std::initializer_list<POINT> points, vcl::TColor color) {
    c->Brush()->SetColor(color);
    c->Pen()->SetColor(color);
    std::vector<POINT> p(points);
    Polygon(c->Handle(), p.data(), static_cast<int>(p.size()));
  };
  triangle({{0, 1}, {h - 1, h}, {0, w - 2}}, effect.ColorL);
  triangle({{w - 1, 1}, {h + 1, h}, {w - 1, w - 2}}, effect.ColorR);
  c->Draw(0, w, &blur);
  int index = MakeNewItem(GlobalIndex(), key, kGlobal, itisaBorder, vcl::TRect(0, 0, w, 2 * w), 1, 1, 1);
  TsMaskData& m = T.ma[static_cast<size_t>(index)];
  m.OwnBmp = std::move(bmp);
  m.Bmp = m.OwnBmp.get();
  m.BorderWidth = m.WL = m.WT = m.WR = m.WB = Short(h);
  effect.Mask = index;
}

void TsSkinLoader::ReadOuterEffects() {
  auto get = [&](const wchar_t* key, int def) { return SkinFile.ReadInteger(kGlobal, key, def); };
  TlvOutEffData& sh = T.oe[1];
  sh = TlvOutEffData();
  sh.ColorL = get(L"SH_COLORL", 0);
  sh.ColorR = get(L"SH_COLORR", 0);
  sh.ColorT = get(L"SH_COLORT", 0);
  sh.ColorB = get(L"SH_COLORB", 0);
  sh.WidthL = get(L"SH_WIDTHL", -1);
  sh.WidthR = get(L"SH_WIDTHR", -1);
  sh.WidthT = get(L"SH_WIDTHT", -1);
  sh.WidthB = get(L"SH_WIDTHB", -1);
  sh.OffsetL = get(L"SH_OFFSETL", 3);
  sh.OffsetR = get(L"SH_OFFSETR", 3);
  sh.OffsetT = get(L"SH_OFFSETT", 2);
  sh.OffsetB = get(L"SH_OFFSETB", 5);
  sh.Source = get(L"SH_SOURCE", 2);
  sh.Opacity = get(L"SH_OPACITY", 60);
  MakeMask(sh, L"SH_MASK");
  TlvOutEffData& lo = T.oe[0];
  lo = TlvOutEffData();
  lo.ColorL = get(L"LO_COLORL", 0xFFFFFF);
  lo.ColorR = get(L"LO_COLORR", 0xFFFFFF);
  lo.ColorT = get(L"LO_COLORT", 0);
  lo.ColorB = get(L"LO_COLORB", 0xFFFFFF);
  lo.WidthL = get(L"LO_WIDTHL", -1);
  lo.WidthR = get(L"LO_WIDTHR", -1);
  lo.WidthT = get(L"LO_WIDTHT", -1);
  lo.WidthB = get(L"LO_WIDTHB", -1);
  lo.OffsetL = get(L"LO_OFFSETL", 2);
  lo.OffsetR = get(L"LO_OFFSETR", 2);
  lo.OffsetT = get(L"LO_OFFSETT", 2);
  lo.OffsetB = get(L"LO_OFFSETB", 4);
  lo.Source = get(L"LO_SOURCE", 2);
  lo.Opacity = get(L"LO_OPACITY", 200);
  MakeMask(lo, L"LO_MASK");
}

void TsSkinLoader::AddCommonSections() {
  TsGeneralData defaults;
  for (auto& p : defaults.Props) p = lvDefProp;
  for (const auto& s : Common.Sections()) {
    if (T.GetSkinIndex(s.Name) >= 0) continue;
    TsGeneralData g;
    g.ClassName = s.Name;
    g.ParentClass = rtl::UpperCase(Common.ReadString(s.Name, kParent, L"-1"));
    const TsGeneralData* src = &defaults;
    for (const TsGeneralData& loaded : T.gd)
      if (rtl::UpperCase(loaded.ClassName) == g.ParentClass) {
        src = &loaded;
        break;
      }
    const TsGeneralData source = *src;  // gd grows below
    g.States = std::max(1, GetPropInteger(s.Name, L"STATES", source.States));
    FillProps(g.Props[0], source.Props[0], 0, true, s.Name);
    if (g.States > 1)
      FillProps(g.Props[1], source.Props[1], 1, true, s.Name);
    else
      CopyProperties(g.Props[1], g.Props[0]);
    // The third state is not read from this text: it repeats the hot state.
    CopyProperties(g.Props[2], g.Props[1]);
    g.UseState2 = false;
    g.ReservedBoolean = GetPropBool(s.Name, L"RESERVEDBOOLEAN", source.ReservedBoolean);
    g.GiveOwnFont = GetPropBool(s.Name, L"GIVEOWNFONT", source.GiveOwnFont);
    g.GlowCount = GetPropInteger(s.Name, L"GLOW", source.GlowCount);
    g.GlowMargin = GetPropInteger(s.Name, L"GLOWMARGIN", source.GlowMargin);
    g.OuterMode = source.OuterMode;
    g.OuterOpacity = source.OuterOpacity;
    g.OuterOffset = source.OuterOffset;
    T.gd.push_back(std::move(g));
  }
}

void TsSkinLoader::FillPalette() {
  TlvPalette& p = T.Palette;
  auto global = [&](const wchar_t* key, int def) { return SkinFile.ReadInteger(kGlobal, key, def); };
  p[pcMainColor] = global(L"COLOR", vcl::ColorToRGB(vcl::clBtnFace));
  p[pcLabelText] = global(L"FONTCOLOR", 0);
  p[pcWebText] = global(L"TCBOTTOM", 0xFF0000);
  p[pcWebTextHot] = global(L"TCTOP", 0x0000FF);
  p[pcBorder] = global(L"BORDERCOLOR", 0);
  int edit = T.GetSkinIndex(L"EDIT");
  if (edit >= 0) {
    p[pcEditText] = vcl::ColorToRGB(T.gd[static_cast<size_t>(edit)].Props[0].FontColor.Color);
    p[pcEditBG] = vcl::ColorToRGB(T.gd[static_cast<size_t>(edit)].Props[0].Color);
  } else {
    p[pcEditText] = vcl::ColorToRGB(vcl::clWindowText);
    p[pcEditBG] = vcl::ColorToRGB(vcl::clWindow);
  }
  int sel = T.GetSkinIndex(L"SELECTION");
  if (sel >= 0) {
    const TsGeneralData& g = T.gd[static_cast<size_t>(sel)];
    p[pcSelectionText] = g.Props[0].FontColor.Color;
    p[pcSelectionBG] = g.Props[0].Color;
    const TsGenState& focused = g.States > 1 ? g.Props[1] : g.Props[0];
    p[pcSelectionText_Focused] = focused.FontColor.Color;
    p[pcSelectionBG_Focused] = focused.Color;
  } else {
    p[pcSelectionText] = p[pcSelectionBG] = p[pcSelectionText_Focused] = p[pcSelectionBG_Focused] = -1;
  }
  if (p[pcSelectionText] == -1 || p[pcSelectionText] == 0xFF00FF) {
    int menu = T.GetSkinIndex(L"MENUITEM");
    if (menu >= 0) {
      const TsGenState& hot = T.gd[static_cast<size_t>(menu)].Props[1];
      int text = hot.FontColor.Color;
      p[pcSelectionBG] = p[pcSelectionBG_Focused] = hot.Color;
      p[pcSelectionText] = (text == -1 || text == 0xFF00FF) ? vcl::clHighlightText : vcl::ColorToRGB(text);
      p[pcSelectionText_Focused] = p[pcSelectionText];
    } else {
      p[pcSelectionText] = p[pcSelectionText_Focused] = vcl::ColorToRGB(vcl::clHighlightText);
      p[pcSelectionBG] = p[pcSelectionBG_Focused] = vcl::ColorToRGB(vcl::clHighlight);
    }
  }
  p[pcEditText_Ok] = global(L"EDITTEXT_OK", 0x008000);
  p[pcEditText_Warning] = global(L"EDITTEXT_WARN", 0x008484);
  p[pcEditText_Alert] = global(L"EDITTEXT_ALERT", 0x0000FF);
  p[pcEditText_Caution] = global(L"EDITTEXT_ALERT", 0x8597D9);
  p[pcEditText_Bypassed] = global(L"EDITTEXT_ALERT", 0x4AB28F);
  p[pcEditBG_Ok] = global(L"EDITBG_OK", 0x6CC2A5);
  p[pcEditBG_Warning] = global(L"EDITBG_WARN", 0x40FFFF);
  p[pcEditBG_Alert] = global(L"EDITBG_ALERT", 0x95A7E9);
  p[pcEditBG_Caution] = global(L"EDITBG_ALERT", 0x8597D9);
  p[pcEditBG_Bypassed] = global(L"EDITBG_ALERT", 0x4AB28F);
  p[pcEditText_Highlight1] = global(L"EDITTEXT_H1", 0);
  p[pcEditText_Highlight2] = global(L"EDITTEXT_H2", 0);
  p[pcEditText_Highlight3] = global(L"EDITTEXT_H3", 0);
  p[pcEditText_Inverted] = global(L"EDITTEXT_INV", p[pcEditBG]);
  p[pcEditBG_Inverted] = global(L"EDITBG_INV", p[pcEditText]);
  p[pcEditBG_OddRow] = global(L"EDITBG_ODD", p[pcEditBG]);
  p[pcEditBG_EvenRow] = global(L"EDITBG_EVEN", MixColors(p[pcEditText], p[pcEditBG], 0.05));
}

void TsSkinLoader::AddTransparentSection() {
  if (T.GetSkinIndex(L"TRANSPARENT") >= 0) return;
  TsGeneralData g;
  g.ClassName = L"TRANSPARENT";
  g.States = 1;
  for (TsGenState& s : g.Props) {
    s = TsGenState();
    s.Transparency = 100;
    s.Color = 0xFFFFFF;
    s.FontColor.Color = T.Palette[pcLabelText];
    s.GlowColor = 0;
  }
  g.OuterMode = 0;
  g.OuterOpacity = 0;
  T.gd.push_back(std::move(g));
}

void TsSkinLoader::LoadAllGeneralData() {
  ReadDescription();
  ReadOuterEffects();
  T.gd.clear();
  for (const auto& s : SkinFile.Sections()) {
    const String& n = s.Name;
    TsGeneralData g;
    g.ClassName = n;
    g.ParentClass = SkinFile.ReadString(n, kParent, String());
    g.ReservedBoolean = FindBoolean(n, L"RESERVEDBOOLEAN", false);
    g.GiveOwnFont = FindBoolean(n, L"GIVEOWNFONT", false);
    g.GlowCount = std::max(0, FindInteger(n, L"GLOW", 0, 255));
    g.GlowMargin = std::max(0, FindInteger(n, L"GLOWMARGIN", 0, 255));
    // The state count picks the state a painter reads: at least one.
    g.States = std::max(1, FindInteger(n, L"STATES", 3, 255));
    g.OuterOffset = vcl::TRect(FindInteger(n, L"OUTOFFSL", 0, 255), FindInteger(n, L"OUTOFFST", 0, 255),
                               FindInteger(n, L"OUTOFFSR", 0, 255), FindInteger(n, L"OUTOFFSB", 0, 255));
    g.OuterOpacity = FindInteger(n, L"OUTOPACITY", 200, 255);
    g.OuterMode = FindInteger(n, L"OUTERMODE", 2);
    FillProps(g.Props[0], lvDefProp, 0, false, n);
    if (g.States < 2)
      CopyProperties(g.Props[1], g.Props[0]);
    else
      FillProps(g.Props[1], lvDefProp, 1, false, n);
    g.UseState2 = FindInteger(n, L"USESTATE2", 0) == 1;
    if (g.UseState2)
      FillProps(g.Props[2], lvDefProp, 2, false, n);
    else
      CopyProperties(g.Props[2], g.Props[1]);
    T.gd.push_back(std::move(g));
  }
  if (!Params.CommonSections.empty()) AddCommonSections();
  T.ConstData.IndexGLobalInfo = T.GetSkinIndex(kGlobal);
  T.InitMaskIndexes();
  FillPalette();
  AddTransparentSection();
  ChangeSkinHue(T, D, Params.HueOffset);
  ChangeSkinSaturation(T, D, Params.Saturation);
  ChangeSkinBrightness(T, D, Params.Brightness);
}
