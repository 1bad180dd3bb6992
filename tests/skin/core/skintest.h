#pragma once
// Helpers of the skin core's tests: where the test skins are, skin folders made for one test, the message boxes
// the library shows (answered and recorded instead of shown), and a comparable picture of a loaded skin.
#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/graphicfiles.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/services/sDialogs.h"
#include "skin/render/sGraphUtils.h"
#include "tests/common/paths.h"
#include "tests/common/tempdir.h"

namespace skintest {

// tests/skin/skins as Windows sees it.
inline std::wstring SkinsSource() { return testutil::SourceFile(std::string("tests/skin/skins")); }

// A manager owned by owner, made the default one, with the named test skin active; nullptr without a name.
inline TsSkinManager* ActiveTestSkin(vcl::TComponent* owner, const wchar_t* name) {
  if (!name) return nullptr;
  auto* manager = Create<TsSkinManager>(owner);
  manager->SetIsDefault(true);
  manager->SetSkinDirectory(SkinsSource());
  manager->SetSkinName(name);
  manager->SetActive(true);
  return manager;
}

inline std::vector<rtl::Byte> SourceBytes(const std::wstring& relative) {
  return vcl::ReadWholeFile(SkinsSource() + L"\\" + relative);
}

inline void WriteBytes(const std::wstring& file, const std::vector<rtl::Byte>& bytes) {
  vcl::WriteWholeFile(file, bytes);
}

// A skin directory of its own, removed with the object.
class TempSkinDir {
 public:
  TempSkinDir() : folder_(L"skins") {}
  const std::wstring& Path() const { return folder_.Path(); }
  // Copies the test skin's folder in, under its own or another name.
  void AddFolder(const std::wstring& skin, const std::wstring& as = L"") {
    std::wstring dest = Path() + L"\\" + (as.empty() ? skin : as);
    CreateDirectoryW(dest.c_str(), nullptr);
    for (const rtl::String& name : rtl::ListFiles(SkinsSource() + L"\\" + skin, L"*"))
      if (name != L"." && name != L"..")
        CopyFileW((SkinsSource() + L"\\" + skin + L"\\" + name).c_str(), (dest + L"\\" + name).c_str(), FALSE);
  }
  void AddPacked(const std::wstring& skin, const std::wstring& as = L"") {
    WriteBytes(Path() + L"\\" + (as.empty() ? skin : as) + L".lvx", SourceBytes(skin + L".lvx"));
  }
  void Write(const std::wstring& relative, const std::vector<rtl::Byte>& bytes) {
    WriteBytes(Path() + L"\\" + relative, bytes);
  }
  void Write(const std::wstring& relative, const std::string& text) {
    Write(relative, std::vector<rtl::Byte>(text.begin(), text.end()));
  }

 private:
  testutil::TempFolder folder_;
};

// Records the library's message boxes and answers OK.
class BoxCatcher {
 public:
  struct Box {
    vcl::TMsgDlgType Type;
    std::wstring Text;
  };
  BoxCatcher() {
    sMessageDlgHandler = [this](const rtl::String& text, vcl::TMsgDlgType type, vcl::TMsgDlgButtons) {
      boxes.push_back({type, text});
      return 1;
    };
  }
  ~BoxCatcher() { sMessageDlgHandler = nullptr; }
  BoxCatcher(const BoxCatcher&) = delete;
  BoxCatcher& operator=(const BoxCatcher&) = delete;
  std::vector<Box> boxes;
};

inline std::wstring Hex(std::int64_t v) { return rtl::IntToHex(v, 8); }

inline void AddPixels(std::vector<std::wstring>& out, const std::wstring& what, vcl::TBitmap* bmp) {
  if (!bmp || bmp->Empty()) {
    out.push_back(what + L" none");
    return;
  }
  std::uint8_t* line0;
  std::ptrdiff_t delta;
  std::uint32_t sum = 0;
  if (bmp->PixelFormat() == vcl::pf32bit && InitLine(bmp, line0, delta))
    for (int y = 0; y < bmp->Height(); ++y)
      for (int x = 0; x < bmp->Width(); ++x) sum = sum * 31 + PixelAt(line0, delta, x, y)->C;
  out.push_back(what + L" " + std::to_wstring(bmp->Width()) + L"x" + std::to_wstring(bmp->Height()) + L" bpp" +
                std::to_wstring(vcl::PixelFormatBits(bmp->PixelFormat())) + L" sum " + Hex(sum));
}

// Everything a load puts into a manager except where it came from, one line per fact.
inline std::vector<std::wstring> Describe(TsSkinManager* m) {
  std::vector<std::wstring> out;
  const TsSkinData& d = *m->CommonSkinData;
  out.push_back(L"author " + d.Author + L" description " + d.Description + L" version " +
                rtl::FloatToStr(d.Version, rtl::TFormatSettings::Invariant()) + L" shadow " + Hex(d.Shadow1Color));
  for (size_t i = 0; i < m->gd.size(); ++i) {
    const TsGeneralData& g = m->gd[i];
    std::wstring line = L"section " + std::to_wstring(i) + L" " + g.ClassName + L" parent " + g.ParentClass +
                        L" states " + std::to_wstring(g.States) + L" border " + std::to_wstring(g.BorderIndex);
    for (const TsGenState& s : g.Props) {
      line += L" | " + Hex(s.Color) + L" " + Hex(s.FontColor.Color) + L" " + Hex(s.FontColor.Left) + L" " +
              Hex(s.FontColor.Bottom) + L" t" + std::to_wstring(s.TextureIndex) + L" g" +
              std::to_wstring(s.GradientPercent);
      for (const TsGradPie& p : s.GradientArray) line += L" [" + Hex(p.Color1) + L" " + Hex(p.Color2) + L"]";
    }
    out.push_back(line);
  }
  for (size_t i = 0; i < m->ma.size(); ++i) {
    const TsMaskData& a = m->ma[i];
    out.push_back(L"image " + std::to_wstring(i) + L" " + a.ClassName + L"." + a.PropertyName + L" section " +
                  std::to_wstring(a.SkinIndex) + L" type " + std::to_wstring(a.ImgType) + L" r " +
                  std::to_wstring(a.R.Left) + L"," + std::to_wstring(a.R.Top) + L"," + std::to_wstring(a.R.Right) +
                  L"," + std::to_wstring(a.R.Bottom) + L" count " + std::to_wstring(a.ImageCount) + L" mask " +
                  std::to_wstring(a.MaskType) + L" draw " + std::to_wstring(a.DrawMode) + L" margins " +
                  std::to_wstring(a.WL) + L"," + std::to_wstring(a.WT) + L"," + std::to_wstring(a.WR) + L"," +
                  std::to_wstring(a.WB) + L" corner " + std::to_wstring(a.CornerType));
    AddPixels(out, L"image " + std::to_wstring(i) + L" own", a.Bmp);
  }
  AddPixels(out, L"master", m->MasterBitmap.get());
  for (size_t i = 0; i < m->Palette.size(); ++i)
    out.push_back(L"palette " + std::to_wstring(i) + L" " + Hex(m->Palette[i]));
  return out;
}

// The first line where two descriptions differ, or empty when they are equal.
inline std::wstring FirstDifference(const std::vector<std::wstring>& a, const std::vector<std::wstring>& b) {
  for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
    std::wstring x = i < a.size() ? a[i] : L"(nothing)", y = i < b.size() ? b[i] : L"(nothing)";
    if (x != y) return L"line " + std::to_wstring(i) + L":\n  " + x + L"\n  " + y;
  }
  return std::wstring();
}

}  // namespace skintest
