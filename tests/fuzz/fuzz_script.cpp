// The script engine's readers: the compiler (translator and builder) over program texts in the four languages,
// the XML reader over intermediate code and grammars, and building a program from intermediate code handed back.
#include <stdexcept>

#include "mutate.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/textconv.h"
#include "script/wz_script.h"
#include "script/wz_xml.h"

namespace {

const char* const kPrograms[] = {"fuzz/data/program_pascal.txt", "fuzz/data/program_cpp.txt",
                                 "fuzz/data/program_basic.txt", "fuzz/data/program_js.txt"};

// One program for every input, with the run-time library registered once (as a report's program keeps it).
TwzScript& Program() {
  static TwzScript* script = [] {
    auto* s = new TwzScript();
    s->AddRTTI();
    return s;
  }();
  return *script;
}

// What the compiler may raise besides answering false: a #language naming no language, a unit that cannot be read.
bool CompilerRefuses(const std::exception& e) {
  if (fuzz::ErrorOf<rtl::EStreamError, rtl::EInOutError>(e)) return true;
  auto* x = dynamic_cast<const rtl::Exception*>(&e);
  return x && x->ClassName() == L"Exception" && x->Message().rfind(L"Language '", 0) == 0;
}

void Compile(const fuzz::Bytes& input) {
  TwzScript& s = Program();
  s.Clear();
  s.SetSyntaxType(L"ZuvizaVuruze");
  s.SetText(fuzz::FromUtf8(input));
  if (!s.Compile()) throw fuzz::Refusal(rtl::StringToUTF8(s.ErrorMsg() + L" at " + s.ErrorPos()));
}

// Nesting of each shape the translator recurses on, at a size it takes and far past it.
std::vector<fuzz::Input> DeepPrograms() {
  std::vector<fuzz::Input> made;
  for (int depth : {100, 70000}) {
    const std::string n = std::to_string(depth);
    made.push_back({"parentheses " + n, fuzz::Nest("begin a := ", "(", depth, "1", ")", " end.")});
    made.push_back({"blocks " + n, fuzz::Nest("begin ", "begin ", depth, "", "end; ", "end.")});
    made.push_back({"ifs " + n, fuzz::Nest("begin ", "if a then ", depth, "b := 1", "", " end.")});
    made.push_back({"calls " + n, fuzz::Nest("begin a := ", "f(", depth, "1", ")", " end.")});
    made.push_back({"braces " + n, fuzz::Nest("#language R++Aradod\r\n", "{ ", depth, "", "} ", "")});
    made.push_back({"unclosed " + n, fuzz::Nest("begin a := ", "(", depth, "1", "", " end.")});
  }
  // Long but flat: operators chained, and a long literal.
  made.push_back({"long expression", fuzz::Nest("var a: Integer; begin a := 1", " + a * 2", 20000, "", "", " end.")});
  made.push_back({"long string", fuzz::Nest("var s: String; begin s := '", "ab", 200000, "", "", "' end.")});
  made.push_back({"huge numbers", fuzz::Utf8(L"begin a := 99999999999999999999999999; b := $FFFFFFFFFFFFFFFFFFFF; c := "
                                             L"1e99999; d := #99999999; e := 'x'#$FFFFFFFF end.")});
  return made;
}

const bool compiler = fuzz::Join({
    .name = "script compiler",
    .fixtures =
        [] {
          return fuzz::DataFiles({std::begin(kPrograms), std::end(kPrograms)});
        },
    .read = Compile,
    .refuses = CompilerRefuses,
    .generated = DeepPrograms,
    .text = true,
    .rounds = 100,
});

// Intermediate code as the engine writes it, for the XML reader and the builder.
std::vector<fuzz::Input> IntermediateCode() {
  std::vector<fuzz::Input> out;
  // The builder takes the language of the program it builds for; the other three declare their variables as
  // ZuvizaVuruze does.
  for (const fuzz::Input& program : fuzz::DataFiles({kPrograms[0], kPrograms[1], kPrograms[3]})) {
    TwzScript& s = Program();
    s.Clear();
    s.SetSyntaxType(L"ZuvizaVuruze");
    s.SetText(fuzz::FromUtf8(program.data));
    rtl::TBytesStream stream;
    if (!s.GetILCode(stream)) throw std::runtime_error("fixture does not translate: " + program.name);
    fuzz::Bytes code = stream.Bytes();
    code.resize(static_cast<std::size_t>(stream.Size()));
    out.push_back({program.name + ".xml", code});
  }
  return out;
}

// The XML reader's own answer is "Invalid file format"; a numeric escape that is no number raises EConvertError.
bool XmlRefuses(const std::exception& e) {
  if (fuzz::ErrorOf<rtl::EConvertError>(e)) return true;
  auto* x = dynamic_cast<const rtl::Exception*>(&e);
  return x && x->Message() == L"Invalid file format";
}

std::vector<fuzz::Input> DeepXml() {
  std::vector<fuzz::Input> made;
  for (int depth : {1000, 100000}) {
    const std::string n = std::to_string(depth);
    made.push_back({"elements " + n, fuzz::Nest("<?xml version=\"1.0\"?>", "<a x=\"1\">", depth, "", "</a>", "")});
    made.push_back({"unclosed " + n, fuzz::Nest("<?xml version=\"1.0\"?>", "<a>", depth, "", "", "")});
  }
  made.push_back({"long tag", fuzz::Nest("<?xml version=\"1.0\"?><a ", "x", 1000000, "", "", "/>")});
  return made;
}

const bool scriptXml = fuzz::Join({
    .name = "script XML",
    .fixtures =
        [] {
          std::vector<fuzz::Input> fixtures = IntermediateCode();
          for (fuzz::Input& grammar : fuzz::DataFiles({"../script/grammars/jscript.xml"})) fixtures.push_back(grammar);
          return fixtures;
        },
    .read =
        [](const fuzz::Bytes& input) {
          rtl::TBytesStream in(input);
          TwzXMLDocument doc;
          doc.LoadFromStream(in);
          rtl::TMemoryStream out;
          doc.SaveToStream(out);
        },
    .refuses = XmlRefuses,
    .generated = DeepXml,
    .text = true,
    .rounds = 150,
});

// A program built from intermediate code handed back: the builder meets whatever the XML holds.
const bool intermediate = fuzz::Join({
    .name = "script intermediate code",
    .fixtures = IntermediateCode,
    .read =
        [](const fuzz::Bytes& input) {
          rtl::TBytesStream in(input);
          TwzScript& s = Program();
          s.Clear();
          s.SetSyntaxType(L"ZuvizaVuruze");
          if (!s.SetILCode(in)) throw fuzz::Refusal(rtl::StringToUTF8(s.ErrorMsg()));
        },
    .refuses = fuzz::ErrorOf<>,
    .generated = DeepXml,
    .text = true,
    .rounds = 200,
});

}  // namespace
