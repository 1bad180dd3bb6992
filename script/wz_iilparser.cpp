#include "script/wz_iilparser.h"

#include <algorithm>
#include <map>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/textconv.h"
#include "platform/rtl/win.h"
#include "script/wz_iconst.h"

using rtl::String;

enum class TwzILParser::Kind {
  Rule,
  Char,
  Keyword,
  Ident,
  Number,
  String,
  FRString,
  EOL,
  Sequence,
  Switch,
  OptionalSwitch,
  Loop,
  OptionalLoop,
  Optional,
  Reference,
};

// One grammar element with its attributes read once per language selection.
struct TwzILParser::Element {
  Kind kind = Kind::Rule;
  bool isRule = false;
  String text;  // lower-cased; a loop's separator
  String node;  // lower-cased
  String add;
  String addText;
  String errMsg;  // the errors entry named by err; empty when there is none
  bool term = false;
  bool noSkip = false;    // char: no white space before it
  bool skipLoop = false;  // loop: more than one iteration discards the recorded error
  String refName;
  Element* rule = nullptr;  // the referenced rule; null when the grammar does not define it
  std::vector<Element*> children;
};

namespace {

// Nesting is refused beyond this many interpretation frames, or when the stack left would no longer hold the
// reserve: reading, writing and freeing the intermediate code afterwards recurse over its depth.
const int kMaxInterpretDepth = 6000;
const std::size_t kStackReserve = 384 * 1024;

String TextAttribute(const String& line) {
  const size_t at = line.find(L" text=\"");
  if (at == String::npos) return String();
  const size_t start = at + 7;
  const size_t end = line.find(L'"', start);
  return XMLToStr(line.substr(start, end == String::npos ? String::npos : end - start));
}

// The stack the current thread has left below here, when the system can tell.
std::size_t StackAvailable(const char* here) {
  using GetLimits = void(WINAPI*)(PULONG_PTR, PULONG_PTR);
  static const auto getLimits = reinterpret_cast<GetLimits>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetCurrentThreadStackLimits")));
  if (getLimits) {
    ULONG_PTR low = 0, high = 0;
    getLimits(&low, &high);
    const auto address = reinterpret_cast<ULONG_PTR>(here);
    if (low && address > low && address <= high) return static_cast<std::size_t>(address - low);
  }
  return 1024 * 1024;
}

// Unit files: UTF-8 or UTF-16 with a byte-order mark, UTF-8 when valid, else the ANSI code page.
String ReadUnitFile(const String& fileName) {
  rtl::TFileStream stream(fileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
  const std::string bytes = stream.ReadBytes(static_cast<rtl::Integer>(stream.Size()));
  if (rtl::HasUTF8BOM(bytes)) return rtl::UTF8ToString(rtl::StripUTF8BOM(bytes));
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE)
    return String(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
  if (bytes.empty() ||
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0) > 0)
    return rtl::UTF8ToString(bytes);
  return rtl::AnsiToString(bytes);
}

}  // namespace

TwzILParser::TwzILParser(TwzCompilerHost* program)
    : program_(program),
      grammar_(std::make_shared<TwzXMLDocument>()),
      ilScript_(std::make_unique<TwzXMLDocument>()),
      parser_(std::make_unique<TwzParser>()) {}

TwzILParser::~TwzILParser() = default;

// A grammar as the translator walks it: read and compiled once per grammar text, then shared by every translator
// that selects the language (a report compiles many expressions, each with a translator of its own).
struct TwzILParser::Language {
  String text;
  std::shared_ptr<TwzXMLDocument> grammar;
  std::vector<std::unique_ptr<Element>> elements;
  Element* programRule = nullptr;
  // The program is a run of statements that stops, without an error, at the first text that is none: what
  // remains after it must then be checked. A program that ends with its own closing token ends there.
  bool openEnded = false;
  TwzParser scanner;  // the defaults with the grammar's parser settings and keywords
  bool needDeclareVars = true;
};

namespace {

template <class Language>
std::map<String, std::shared_ptr<Language>>& LanguageCache() {
  static std::map<String, std::shared_ptr<Language>> cache;  // by upper-cased language name
  return cache;
}

}  // namespace

void TwzILParser::SelectLanguage(const String& name) {
  parser_->Clear();
  NeedDeclareVars = true;
  LangName = name;
  const String text = wzGetLanguage(name);
  language_.reset();
  Root = nullptr;
  auto& cache = LanguageCache<Language>();
  const String key = rtl::UpperCase(name);
  auto it = cache.find(key);
  if (it == cache.end() || it->second->text != text) {
    auto language = BuildLanguage(text);
    it = cache.insert_or_assign(key, std::move(language)).first;
  }
  language_ = it->second;
  grammar_ = language_->grammar;
  Root = grammar_->Root();
  *parser_ = language_->scanner;
  NeedDeclareVars = language_->needDeclareVars;
  if (program_ && program_->ExtendedCharset())
    for (unsigned c = 128; c < 256; ++c) parser_->IdentifierCharset.set(c);
}

std::shared_ptr<TwzILParser::Language> TwzILParser::BuildLanguage(const String& text) {
  auto language = std::make_shared<Language>();
  language->text = text;
  language->grammar = std::make_shared<TwzXMLDocument>();
  language->grammar->LoadFromBytes(rtl::StringToUTF8(text));
  TwzXMLItem* root = language->grammar->Root();
  TwzParser& scanner = language->scanner;
  TwzXMLItem* errors = nullptr;

  const int parserIndex = root->Find(L"parser");
  if (parserIndex >= 0) {
    TwzXMLItem* settings = root->Items(parserIndex);
    const int keywordsIndex = settings->Find(L"keywords");
    if (keywordsIndex >= 0) {
      TwzXMLItem* keywords = settings->Items(keywordsIndex);
      for (int i = 0; i < keywords->Count(); ++i) scanner.AddKeyword(keywords->Items(i)->Name());
    }
    const int errorsIndex = settings->Find(L"errors");
    if (errorsIndex >= 0) errors = settings->Items(errorsIndex);
    for (int i = 0; i < settings->Count(); ++i) {
      TwzXMLItem* setting = settings->Items(i);
      const String key = rtl::LowerCase(setting->Name());
      const String value = setting->Prop(L"text");
      if (key == L"identchars") {
        scanner.ConstructCharset(value);
      } else if (key == L"commentline1") {
        scanner.CommentLine1 = value;
      } else if (key == L"commentline2") {
        scanner.CommentLine2 = value;
      } else if (key == L"commentblock1") {
        scanner.SetCommentBlock1(value);
      } else if (key == L"commentblock2") {
        scanner.SetCommentBlock2(value);
      } else if (key == L"stringquotes") {
        scanner.StringQuotes = value;
      } else if (key == L"hexsequence") {
        scanner.HexSequence = value;
      } else if (key == L"skipchar") {
        scanner.SkipChar = value;
      } else if (key == L"specstrchar") {
        scanner.SpecStrChar = value == L"1";
      } else if (key == L"casesensitive") {
        scanner.CaseSensitive = value == L"1";
      } else if (key == L"skipeol") {
        scanner.SkipEOL = value != L"0";
      } else if (key == L"declarevars") {
        language->needDeclareVars = value != L"0";
      }
    }
  }

  std::map<String, Element*> rules;  // upper-cased name to the first rule of that name
  for (int i = 0; i < root->Count(); ++i) {
    TwzXMLItem* item = root->Items(i);
    if (rtl::SameText(item->Name(), L"parser") || rtl::SameText(item->Name(), L"types")) continue;
    Element* rule = CompileElement(*language, errors, item, true);
    rules.emplace(rtl::UpperCase(item->Name()), rule);
  }
  for (auto& element : language->elements) {
    if (element->kind != Kind::Reference) continue;
    auto found = rules.find(rtl::UpperCase(element->refName));
    if (found != rules.end()) element->rule = found->second;
  }
  auto program = rules.find(L"PROGRAM");
  language->programRule = program == rules.end() ? nullptr : program->second;
  std::vector<const Element*> visiting;
  language->openEnded = language->programRule && EndsOpen(language->programRule, visiting);
  return language;
}

bool TwzILParser::EndsOpen(const Element* e, std::vector<const Element*>& visiting) {
  switch (e->kind) {
    case Kind::Loop:
    case Kind::OptionalLoop:
    case Kind::Optional:
    case Kind::OptionalSwitch:
      return true;
    case Kind::Switch:
      for (const Element* child : e->children)
        if (EndsOpen(child, visiting)) return true;
      return false;
    case Kind::Rule:
    case Kind::Sequence:
    case Kind::Reference: {
      const Element* last = !e->children.empty() ? e->children.back() : e->kind == Kind::Reference ? e->rule : nullptr;
      if (!last) return e->kind != Kind::Reference;  // an empty rule matches nothing, so whatever follows is left
      if (std::find(visiting.begin(), visiting.end(), last) != visiting.end()) return false;
      visiting.push_back(last);
      const bool open = EndsOpen(last, visiting);
      visiting.pop_back();
      return open;
    }
    default:
      return false;
  }
}

TwzILParser::Element* TwzILParser::CompileElement(Language& language, TwzXMLItem* errors, TwzXMLItem* item,
                                                  bool isRule) {
  language.elements.push_back(std::make_unique<Element>());
  Element* e = language.elements.back().get();
  e->isRule = isRule;
  const String name = rtl::LowerCase(item->Name());
  if (isRule) {
    e->kind = Kind::Rule;
  } else {
    static const std::map<String, Kind> kinds = {
        {L"char", Kind::Char},         {L"keyword", Kind::Keyword},
        {L"ident", Kind::Ident},       {L"number", Kind::Number},
        {L"string", Kind::String},     {L"frstring", Kind::FRString},
        {L"eol", Kind::EOL},           {L"sequence", Kind::Sequence},
        {L"switch", Kind::Switch},     {L"optionalswitch", Kind::OptionalSwitch},
        {L"loop", Kind::Loop},         {L"optionalloop", Kind::OptionalLoop},
        {L"optional", Kind::Optional},
    };
    auto it = kinds.find(name);
    e->kind = it == kinds.end() ? Kind::Reference : it->second;
    if (e->kind == Kind::Reference) e->refName = item->Name();
  }
  e->text = rtl::LowerCase(item->Prop(L"text"));
  e->node = rtl::LowerCase(item->Prop(L"node"));
  e->add = item->Prop(L"add");
  e->addText = item->Prop(L"addtext");
  e->term = item->Prop(L"term") == L"1";
  if (e->kind == Kind::Char) e->noSkip = item->Prop(L"skip") == L"0";
  if (e->kind == Kind::Loop || e->kind == Kind::OptionalLoop) e->skipLoop = item->Prop(L"skip") == L"1";
  const String err = item->Prop(L"err");
  if (!err.empty() && errors) {
    const int entry = errors->Find(err);
    if (entry >= 0) e->errMsg = errors->Items(entry)->Prop(L"text");
  }
  for (int i = 0; i < item->Count(); ++i) e->children.push_back(CompileElement(language, errors, item->Items(i), false));
  return e;
}

bool TwzILParser::MakeILScript(const String& text) {
  lines_.clear();
  errorMsg_.clear();
  errorPos_.clear();
  errorTerm_ = false;
  fatal_ = false;
  depth_ = 0;
  char here = 0;
  stackBase_ = &here;
  const std::size_t available = StackAvailable(&here);
  // Units translate in nested translators; each takes what its includer left.
  stackBudget_ = available > kStackReserve ? available - kStackReserve : 0;

  int start = 1;
  if (!text.empty() && text[0] == L'#') {
    size_t i = 1;
    while (i < text.size() && ((text[i] >= L'A' && text[i] <= L'Z') || (text[i] >= L'a' && text[i] <= L'z'))) ++i;
    if (rtl::SameText(text.substr(1, i - 1), L"language")) {
      const size_t eol = text.find_first_of(L"\r\n", i);
      SelectLanguage(rtl::Trim(text.substr(i, eol == String::npos ? String::npos : eol - i)));
      if (eol == String::npos) {
        start = static_cast<int>(text.size()) + 1;
      } else {
        size_t next = eol + 1;
        if (text[eol] == L'\r' && next < text.size() && text[next] == L'\n') ++next;
        start = static_cast<int>(next) + 1;
      }
    }
  }
  parser_->SetText(text);
  parser_->SetPosition(start);

  Element* programRule = language_ ? language_->programRule : nullptr;
  const bool matched = programRule ? Interpret(programRule) : true;
  bool ok = matched && errorMsg_.empty() && !fatal_;
  if (ok && language_ && language_->openEnded && !AtEndOfText()) {
    // Otherwise everything from the first line that is no statement on would be dropped without a word.
    ok = false;
    errorMsg_ = SStatementExpected;
    errorPos_ = parser_->GetXYPosition();
  }
  if (ok) {
    String doc = L"<?xml version=\"1.0\"?>\r\n<program>\r\n";
    for (const String& line : lines_) doc += line + L"\r\n";
    doc += L"</program>\r\n";
    try {
      ilScript_->LoadFromBytes(rtl::StringToUTF8(doc));
    } catch (const rtl::Exception&) {
      // Only code nested beyond what the reader takes (long chains of units) gets here.
      ok = false;
      Abort(SNestingTooDeep);
    }
  }
  if (ok) {
    const int typesIndex = Root ? Root->Find(L"types") : -1;
    TwzXMLItem* types = ilScript_->Root()->Add();
    if (typesIndex >= 0) {
      types->Assign(Root->Items(typesIndex));
    } else {
      types->SetName(L"types");
    }
  } else {
    ilScript_->Clear();
  }
  lines_.clear();
  if (program_) {
    program_->SetErrorMsg(ok ? String() : errorMsg_);
    program_->SetErrorPos(ok ? String() : errorPos_);
  }
  return ok;
}

void TwzILParser::Abort(const String& message) {
  if (fatal_) return;
  fatal_ = true;
  errorMsg_ = message;
  errorPos_ = parser_->GetXYPosition();
}

bool TwzILParser::Interpret(Element* e) {
  if (fatal_) return false;
  struct DepthGuard {
    int& depth;
    explicit DepthGuard(int& d) : depth(d) { ++depth; }
    ~DepthGuard() { --depth; }
  } guard(depth_);
  const char probe = 0;
  if (depth_ > kMaxInterpretDepth || static_cast<std::size_t>(stackBase_ - &probe) > stackBudget_) {
    Abort(SNestingTooDeep);
    return false;
  }

  const int start = parser_->Position();
  const size_t mark = lines_.size();
  bool result = true;
  String token;
  switch (e->kind) {
    case Kind::Rule:
    case Kind::Sequence:
      break;
    case Kind::Char:
    case Kind::Keyword:
    case Kind::Ident:
    case Kind::Number:
    case Kind::String:
    case Kind::FRString:
      result = InterpretToken(e, token);
      break;
    case Kind::EOL:
      result = parser_->GetEOL();
      break;
    case Kind::Switch:
    case Kind::OptionalSwitch:
      for (Element* child : e->children)
        if (Interpret(child)) return true;
      if (fatal_) return false;
      if (e->kind == Kind::OptionalSwitch) return true;
      RecordError(e, start);
      return false;
    case Kind::Loop:
    case Kind::OptionalLoop:
      return InterpretLoop(e);
    case Kind::Optional:
      for (Element* child : e->children) {
        if (!Interpret(child)) {
          if (fatal_) return false;
          parser_->SetPosition(start);
          lines_.resize(mark);
          break;
        }
      }
      return true;
    case Kind::Reference:
      if (!e->rule) throw rtl::Exception(SInvalidLanguage);
      result = Interpret(e->rule);
      break;
  }

  if (result) {
    if (!e->add.empty()) {
      const String& value = e->addText.empty() ? token : e->addText;
      lines_.push_back(L"<" + e->add + L" text=\"" + StrToXML(value) + L"\" pos=\"" + parser_->GetXYPosition() +
                       L"\"/>");
    }
    for (Element* child : e->children) {
      if (!Interpret(child)) {
        result = false;
        break;
      }
    }
  }
  if (fatal_) return false;
  if (!result) {
    if (!e->isRule) RecordError(e, start);
    parser_->SetPosition(start);
    // What a failed element wrote goes with it, so that an alternative tried next does not find the output of
    // the one before (a single array bound must not leave the expression of the failed range form behind). A
    // rule's node decides for itself below.
    if (!e->isRule || e->node.empty()) lines_.resize(mark);
  }
  // An item's node encloses what it and its children wrote; a failed item wrote nothing that needs removing.
  if (!e->node.empty() && (e->isRule || result)) ApplyNode(e, result, start, mark);
  return result;
}

bool TwzILParser::InterpretToken(Element* e, String& token) {
  switch (e->kind) {
    case Kind::Char:
      if (!e->noSkip) parser_->SkipSpaces();
      token = parser_->GetChar();
      break;
    case Kind::Keyword:
      token = parser_->GetWord();
      break;
    case Kind::Ident:
      token = parser_->GetIdent();
      break;
    case Kind::Number:
      token = parser_->GetNumber();
      break;
    case Kind::String:
      token = parser_->GetString();
      break;
    case Kind::FRString: {
      token = parser_->GetFRString();
      // An empty reference ("<>") is Get(''); only running out of text without the closing bracket fails.
      const int at = parser_->Position();
      if (token.empty() && (at > parser_->Size() || parser_->Text()[static_cast<size_t>(at - 1)] != L'>')) return false;
      // A field reference is a call of Get with the reference's text.
      const String pos = L"\"" + parser_->GetXYPosition() + L"\"";
      lines_.push_back(L"<dsgn pos=" + pos + L">");
      lines_.push_back(L"<node text=\"Get\" pos=" + pos + L"/>");
      lines_.push_back(L"<expr pos=" + pos + L" pos1=" + pos + L">");
      lines_.push_back(L"<string text=\"" + StrToXML(L"'" + token + L"'") + L"\" pos=" + pos + L"/>");
      lines_.push_back(L"</expr>");
      lines_.push_back(L"</dsgn>");
      return true;
    }
    default:
      return false;
  }
  if (token.empty()) return false;
  if (e->text.empty()) return true;
  return parser_->CaseSensitive ? token == e->text : rtl::SameText(token, e->text);
}

bool TwzILParser::InterpretLoop(Element* e) {
  const int start = parser_->Position();
  const size_t mark = lines_.size();
  int iterations = 0;
  bool result = false;
  int after = start;
  for (;;) {
    const int iterationStart = parser_->Position();
    ++iterations;
    result = true;
    for (Element* child : e->children) {
      if (!Interpret(child)) {
        result = false;
        break;
      }
    }
    if (fatal_) return false;
    after = parser_->Position();
    if (!result) break;
    if (!e->text.empty()) {
      parser_->SkipSpaces();
      if (parser_->GetChar() != e->text) {
        parser_->SetPosition(after);
        break;
      }
    }
    if (parser_->Position() == iterationStart) break;
  }
  if (iterations > 1) {
    if (e->skipLoop || errorTerm_) {
      errorMsg_.clear();
      errorPos_.clear();
      errorTerm_ = false;
    }
    parser_->SetPosition(after);
    result = true;
  }
  if (e->kind == Kind::Loop) return result;
  if (!result) {
    parser_->SetPosition(start);
    lines_.resize(mark);
  }
  return true;
}

bool TwzILParser::AtEndOfText() {
  // Line ends are blanks here even where the language makes them significant.
  while (parser_->GetEOL()) {
  }
  return parser_->Position() > parser_->Size();
}

String TwzILParser::PositionAfterSpaces(int position) {
  const int saved = parser_->Position();
  parser_->SetPosition(position);
  parser_->SkipSpaces();
  const String result = parser_->GetXYPosition();
  parser_->SetPosition(saved);
  return result;
}

void TwzILParser::ApplyNode(Element* e, bool success, int start, size_t mark) {
  if (e->node == L"uses") {
    IncludeUnits(mark);
    return;
  }
  if (success) {
    String tag = L"<" + e->node;
    const String end = parser_->GetXYPosition();
    tag += L" pos=\"" + PositionAfterSpaces(start) + L"\"";
    if (e->node == L"expr") tag += L" pos1=\"" + end + L"\"";
    tag += L">";
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(mark), tag);
    lines_.push_back(L"</" + e->node + L">");
  } else if (e->isRule) {
    lines_.resize(mark);
  }
}

void TwzILParser::RecordError(Element* e, int start) {
  if (e->errMsg.empty() || !errorMsg_.empty()) return;
  parser_->SetPosition(start);
  parser_->SkipSpaces();
  errorMsg_ = e->errMsg;
  errorPos_ = parser_->GetXYPosition();
  errorTerm_ = e->term;
}

void TwzILParser::IncludeUnits(size_t mark) {
  const std::vector<String> references(lines_.begin() + static_cast<std::ptrdiff_t>(mark), lines_.end());
  lines_.resize(mark);
  // Units of one clause therefore appear in reverse order of listing.
  for (auto it = references.rbegin(); it != references.rend(); ++it) {
    const String quoted = TextAttribute(*it);
    if (quoted.size() < 2) continue;
    const String unitName = quoted.substr(1, quoted.size() - 2);
    String code;
    if (!IncludeUnit(unitName, code)) continue;
    const std::vector<String> unitLines = {L"<uses unit=\"" + StrToXML(unitName) + L"\">", code, L"</uses>"};
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(mark), unitLines.begin(), unitLines.end());
    mark += unitLines.size();
  }
}

String TwzILParser::LoadUnitSource(const String& unitName) {
  String text;
  if (program_ && program_->GetUnitText(unitName, text)) return text;
  String last = unitName;
  if (program_) {
    for (const String& folder : program_->IncludePath()) {
      // An empty entry is the current folder, not the root of the drive.
      last = folder.empty() ? unitName : rtl::IncludeTrailingPathDelimiter(folder) + unitName;
      if (rtl::FileExists(last)) break;
    }
  }
  return ReadUnitFile(last);
}

bool TwzILParser::IncludeUnit(const String& unitName, String& code) {
  for (const String& used : UsesList)
    if (rtl::SameText(used, unitName)) return false;
  UsesList.push_back(unitName);
  code.clear();
  const String source = LoadUnitSource(unitName);
  if (source.empty()) return true;
  TwzILParser unit(program_);
  unit.UnitName = unitName;
  unit.SelectLanguage(LangName);
  unit.UsesList = UsesList;
  if (unit.MakeILScript(source)) {
    UsesList = unit.UsesList;
    const std::string bytes = unit.ILScript()->SaveToBytes();
    const size_t declarationEnd = bytes.find("?>");
    code = rtl::UTF8ToString(declarationEnd == std::string::npos ? bytes : bytes.substr(declarationEnd + 2));
  } else {
    // A unit that does not translate fails the program, whatever loops around the clause would discard.
    errorMsg_ = unit.errorMsg_;
    errorPos_ = unit.errorPos_;
    fatal_ = true;
    if (program_ && program_->ErrorUnit().empty()) program_->SetErrorUnit(unitName);
  }
  return true;
}
