#include "script/wz_hostclasses_syntax.h"

#include <memory>
#include <vector>

#include "platform/rtl/strings.h"
#include "script/wz_iparser.h"
#include "script/wz_script.h"

using rtl::String;
using rtl::Variant;

namespace {

bool IsIdentChar(wchar_t c) {
  return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_' || c >= 128;
}

String ResultTypeName(const String& syntax) {
  const size_t colon = syntax.rfind(L':');
  if (colon == String::npos) return String();
  size_t p = colon + 1;
  while (p < syntax.size() && syntax[p] <= L' ') ++p;
  size_t e = p;
  while (e < syntax.size() && IsIdentChar(syntax[e])) ++e;
  return syntax.substr(p, e - p);
}

}  // namespace

TwzCustomVariable* ParseMethodSyntax(const String& syntax, TwzScript* script) {
  TwzParser parser;
  if (script && script->ExtendedCharset())
    for (int c = 128; c < 256; ++c) parser.IdentifierCharset.set(static_cast<size_t>(c));
  parser.SetText(syntax);

  String kind = parser.GetIdent();
  bool isMacro = false;
  if (rtl::StartsText(L"macro", kind)) {
    isMacro = true;
    kind = kind.substr(5);
  }
  const bool isFunc = rtl::SameText(kind, L"function");
  const String name = parser.GetIdent();
  const String typeName = isFunc ? ResultTypeName(syntax) : String();
  const TwzVarType typ = isFunc ? StrToVarType(typeName, script) : fvtVariant;
  auto result = std::make_unique<TwzCustomVariable>(name, typ, typeName);
  result->SetIsMacro(isMacro);

  parser.SkipSpaces();
  if (parser.GetChar() != L"(") return result.release();
  // Each round consumes at least one character, so a malformed list ends at the end of the text.
  while (parser.Position() <= parser.Size()) {
    std::vector<String> names;
    bool byRef = false;
    bool groupDone = false;
    while (!groupDone && parser.Position() <= parser.Size()) {
      const String word = parser.GetIdent();
      if (rtl::SameText(word, L"var"))
        byRef = true;
      else if (!rtl::SameText(word, L"const") && !word.empty())
        names.push_back(word);
      parser.SkipSpaces();
      const String c = parser.GetChar();
      if (c == L")") {
        parser.SetPosition(parser.Position() - 1);
        names.clear();
        groupDone = true;
      } else if (c == L":") {
        const String paramType = parser.GetIdent();
        Variant def = Variant::Null();
        parser.SkipSpaces();
        const int beforeDefault = parser.Position();
        if (parser.GetChar() == L"=") {
          String literal = parser.GetNumber();
          if (literal.empty()) literal = parser.GetString();
          if (literal.empty()) {
            parser.SkipSpaces();
            const int save = parser.Position();
            if (parser.GetChar() == L"-") {
              const String n = parser.GetNumber();
              if (!n.empty())
                literal = L"-" + n;
              else
                parser.SetPosition(save);
            } else {
              parser.SetPosition(save);
            }
          }
          if (!literal.empty()) {
            def = ParserStringToVariant(literal);
          } else {
            const String ident = parser.GetIdent();
            TwzCustomVariable* item = script && !ident.empty() ? script->Find(ident) : nullptr;
            if (item) def = item->GetValue();
          }
        } else {
          parser.SetPosition(beforeDefault);
        }
        const TwzVarType paramTyp = StrToVarType(paramType, script);
        for (size_t i = 0; i < names.size(); ++i) {
          const bool last = i + 1 == names.size();
          auto* p = new TwzParamItem(names[i], paramTyp, paramType, last && !def.IsNull(), byRef);
          if (last) p->SetDefValue(def);
          result->Add(p);
        }
        groupDone = true;
      } else if (c.empty() && word.empty()) {
        // Neither a name nor a separator: skip the stray character.
        parser.SetPosition(parser.Position() + 1);
      }
    }
    parser.SkipSpaces();
    const String c = parser.GetChar();
    if (c == L")") break;
    if (c.empty()) parser.SetPosition(parser.Position() + 1);
  }
  return result.release();
}
