// Text readers of the runtime: settings files (every value read in every type) and string lists (encodings,
// names and values, comma and delimited text).
#include "mutate.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/win.h"

namespace {

rtl::String TempPath(const wchar_t* name) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  return rtl::String(dir) + name;
}

void WriteFile(const rtl::String& path, const fuzz::Bytes& data) {
  rtl::TFileStream file(path, rtl::fmCreate);
  if (!data.empty()) file.WriteBuffer(data.data(), static_cast<rtl::Integer>(data.size()));
}

const bool ini = fuzz::Join({
    .name = "settings file",
    .fixtures = [] { return fuzz::DataFiles({"fuzz/data/settings.ini"}); },
    .read =
        [](const fuzz::Bytes& input) {
          const rtl::String path = TempPath(L"tavrel_fuzz.ini");
          WriteFile(path, input);
          rtl::TMemIniFile file(path);
          for (const rtl::String& section : file.SectionNames()) {
            for (const rtl::String& key : file.SectionKeys(section)) {
              file.ReadString(section, key, L"");
              file.ReadInteger(section, key, 0);
              file.ReadFloat(section, key, 0);
              file.ReadBool(section, key, false);
              file.ReadDate(section, key, 0);
              file.ReadTime(section, key, 0);
              file.ReadDateTime(section, key, 0);
              file.ReadBinary(section, key);
            }
            file.SectionValues(section);
          }
          file.GetLines();
        },
    .refuses = fuzz::ErrorOf<rtl::EIniFileException>,
    .text = true,
    .lenient = true,
    .rounds = 200,
});

const bool stringList = fuzz::Join({
    .name = "string list",
    .fixtures =
        [] {
          return fuzz::DataFiles({"fuzz/data/lines_utf8.txt", "fuzz/data/lines_utf16.txt", "fuzz/data/lines_ansi.txt"});
        },
    .read =
        [](const fuzz::Bytes& input) {
          rtl::TBytesStream stream(input);
          rtl::TStringList lines;
          lines.LoadFromStream(stream);
          for (rtl::Integer i = 0; i < lines.Count(); ++i) {
            lines.Names(i);
            lines.ValueFromIndex(i);
          }
          // Each line again as comma text and as delimited text, as settings and lists store them.
          rtl::TStringList parts;
          for (rtl::Integer i = 0; i < lines.Count(); ++i) {
            parts.SetCommaText(lines.Get(i));
            parts.SetDelimiter(L';');
            parts.SetQuoteChar(L'\'');
            parts.SetDelimitedText(lines.Get(i));
            parts.CommaText();
          }
          rtl::TBytesStream out;
          lines.SaveToStream(out);
        },
    .refuses = fuzz::ErrorOf<>,
    .text = true,
    .lenient = true,
    .rounds = 300,
});

}  // namespace
