// Damaged skins: each answers one clear error and the previous skin stays in force, with its name and tables. (The
// mutation harness in tests/fuzz drives the packed-skin and option-file readers with many more damaged inputs.)
#include <gtest/gtest.h>

#include <cstring>

#include "platform/vcl/application.h"
#include "skintest.h"

using namespace skintest;

namespace {

std::vector<rtl::Byte> Packed(const std::wstring& skin) { return SourceBytes(skin + L".lvx"); }

void PutInt32(std::vector<rtl::Byte>& b, size_t at, std::int32_t v) { std::memcpy(b.data() + at, &v, 4); }

std::string OptionsText() {
  std::vector<rtl::Byte> bytes = SourceBytes(L"Lale\\Options.dat");
  return std::string(bytes.begin(), bytes.end());
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// The offsets of the first entry's fields in a package.
constexpr size_t kCount = 8, kSize = 12, kFirstNameLength = 16;

struct Damage {
  const wchar_t* what;
  // Writes the damaged skin named "Bozuk" into the directory.
  std::function<void(TempSkinDir&)> make;
  // A piece of the error's text.
  const wchar_t* says;
};

std::vector<Damage> Damages() {
  auto packedWith = [](std::function<void(std::vector<rtl::Byte>&)> change) {
    return [change](TempSkinDir& dir) {
      std::vector<rtl::Byte> b = Packed(L"Lale");
      change(b);
      dir.Write(L"Bozuk.lvx", b);
    };
  };
  auto folderWith = [](std::function<void(TempSkinDir&)> change) {
    return [change](TempSkinDir& dir) {
      dir.AddFolder(L"Lale", L"Bozuk");
      change(dir);
    };
  };
  auto optionsWith = [folderWith](const std::string& from, const std::string& to) {
    return folderWith(
        [from, to](TempSkinDir& dir) { dir.Write(L"Bozuk\\Options.dat", Replaced(OptionsText(), from, to)); });
  };
  std::vector<Damage> d = {
      {L"an empty file", packedWith([](auto& b) { b.clear(); }), L"not a packed Lumiskin file"},
      {L"cut inside the header", packedWith([](auto& b) { b.resize(10); }), L"not a packed Lumiskin file"},
      {L"another signature", packedWith([](auto& b) { b[0] = 'X'; }), L"not a packed Lumiskin file"},
      {L"cut after the header", packedWith([](auto& b) { b.resize(16); }), L"header gives"},
      {L"cut in the middle", packedWith([](auto& b) { b.resize(b.size() / 2); }), L"header gives"},
      {L"cut by one byte", packedWith([](auto& b) { b.pop_back(); }), L"header gives"},
      {L"cut with its size field made to fit", packedWith([](auto& b) {
         b.resize(b.size() - 40);
         PutInt32(b, kSize, static_cast<std::int32_t>(b.size()));
       }),
       L"entry"},
      {L"a zero entry count", packedWith([](auto& b) { PutInt32(b, kCount, 0); }), L"entry count 0"},
      {L"a negative entry count", packedWith([](auto& b) { PutInt32(b, kCount, -3); }), L"entry count -3"},
      {L"a huge entry count", packedWith([](auto& b) { PutInt32(b, kCount, 0x7FFFFFFF); }), L"entry count"},
      {L"one entry more than there is", packedWith([](auto& b) { PutInt32(b, kCount, 6); }), L"entry 6 of 6"},
      {L"a zero name length", packedWith([](auto& b) { PutInt32(b, kFirstNameLength, 0); }), L"name length 0"},
      {L"a huge name length", packedWith([](auto& b) { PutInt32(b, kFirstNameLength, 0x40000000); }), L"name length"},
      {L"a data length past the end", packedWith([](auto& b) { PutInt32(b, kFirstNameLength + 4 + 11, 0x7FFFFFF0); }),
       L"data length"},
      {L"a negative data length", packedWith([](auto& b) { PutInt32(b, kFirstNameLength + 4 + 11, -1); }),
       L"data length -1"},
      {L"a damaged zlib stream", packedWith([](auto& b) {
         for (size_t i = 0; i < 12; ++i) b[kFirstNameLength + 4 + 11 + 4 + 6 + i] ^= 0x5A;
       }),
       L"Options.dat"},
      {L"bytes after the last entry", packedWith([](auto& b) {
         b.push_back(0);
         PutInt32(b, kSize, static_cast<std::int32_t>(b.size()));
       }),
       L"follow the last entry"},
      {L"no option file in the package",
       packedWith([](auto& b) { std::memcpy(b.data() + kFirstNameLength + 4, "Optiona.dat", 11); }),
       L"Internal format error in the \"Bozuk\" skin"},
      {L"sections whose parents loop",
       optionsWith("[SPEEDBUTTON]\r\nPARENTCLASS=BUTTON", "[SPEEDBUTTON]\r\nPARENTCLASS=BUTTON_SMALL"),
       L"\"SPEEDBUTTON\" form a loop"},
      {L"a master bitmap that is missing",
       folderWith([](TempSkinDir& dir) { DeleteFileW((dir.Path() + L"\\Bozuk\\MASTER.BMP").c_str()); }), L"MASTER.BMP"},
      {L"an external image that is missing",
       folderWith([](TempSkinDir& dir) { DeleteFileW((dir.Path() + L"\\Bozuk\\TITLEBTN.PNG").c_str()); }),
       L"TITLEBTN.PNG"},
      {L"a texture's file that is missing",
       folderWith([](TempSkinDir& dir) { DeleteFileW((dir.Path() + L"\\Bozuk\\FORMTILE.BMP").c_str()); }),
       L"FORMTILE.BMP"},
      {L"a master bitmap that is no picture",
       folderWith([](TempSkinDir& dir) { dir.Write(L"Bozuk\\MASTER.BMP", std::string("BM not really")); }),
       L"MASTER.BMP"},
      {L"a PNG that is cut", folderWith([](TempSkinDir& dir) {
         std::vector<rtl::Byte> png = SourceBytes(L"Lale\\TITLEBTN.PNG");
         png.resize(png.size() / 2);
         dir.Write(L"Bozuk\\TITLEBTN.PNG", png);
       }),
       L"TITLEBTN.PNG"},
      {L"an image rectangle outside the master bitmap",
       optionsWith("BORDERSMASK=^0000,0000,0060,0020", "BORDERSMASK=^0000,0000,0060,9020"), L"[BUTTON] BORDERSMASK"},
      {L"a letter in a numeric column", optionsWith("BOXCHECKED=@0096,", "BOXCHECKED=@00X6,"),
       L"[GLOBALINFO] BOXCHECKED"},
      {L"a value cut short",
       optionsWith("BORDERSMASK=^0000,0000,0060,0020,0005,0005,0005,0005,3,0,0,0",
                   "BORDERSMASK=^0000,0000,0060,0020,0005"),
       L"[BUTTON] BORDERSMASK"},
      {L"a gradient that is not numbers", optionsWith("GRADIENTDATA=", "GRADIENTDATA=kirmizi;"),
       L"[BUTTON] GRADIENTDATA"},
  };
  return d;
}

}  // namespace

TEST(DamagedSkins, AnswerOneClearErrorAndKeepThePreviousSkin) {
  vcl::Application->Initialize();
  for (const Damage& damage : Damages()) {
    SCOPED_TRACE(damage.what);
    TempSkinDir dir;
    dir.AddFolder(L"Lale");
    damage.make(dir);
    vcl::TComponent owner(nullptr);
    auto* m = vcl::Create<TsSkinManager>(&owner);
    m->SetSkinDirectory(dir.Path());
    BoxCatcher boxes;
    m->SetSkinName(L"Lale");
    ASSERT_TRUE(boxes.boxes.empty());
    const std::vector<std::wstring> before = Describe(m);
    int changes = 0;
    m->OnAfterChange = [&](rtl::TObject*) { ++changes; };
    m->SetSkinName(L"Bozuk");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].Type, vcl::mtError);
    EXPECT_NE(boxes.boxes[0].Text.find(damage.says), std::wstring::npos) << boxes.boxes[0].Text;
    EXPECT_EQ(m->SkinName(), L"Lale");
    EXPECT_TRUE(m->Active());
    EXPECT_TRUE(m->CommonSkinData->Active);
    EXPECT_EQ(FirstDifference(before, Describe(m)), L"");
    EXPECT_EQ(changes, 1);
  }
}

TEST(DamagedSkins, AFirstSkinThatFailsLeavesNoSkin) {
  TempSkinDir dir;
  dir.Write(L"Bozuk.lvx", std::string("TSKP"));
  vcl::TComponent owner(nullptr);
  auto* m = vcl::Create<TsSkinManager>(&owner);
  m->SetSkinDirectory(dir.Path());
  BoxCatcher boxes;
  m->SetSkinName(L"Bozuk");
  EXPECT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(m->SkinName(), L"");
  EXPECT_FALSE(m->CommonSkinData->Active);
  EXPECT_TRUE(m->gd.empty());
  EXPECT_EQ(m->SkinInfo(), L"N/A");
}
