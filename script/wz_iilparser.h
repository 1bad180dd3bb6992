#pragma once
// The script compiler's translator: selects a language and translates source text into the XML intermediate code
// by walking the language's grammar over the scanner, with backtracking. Building program objects from the
// intermediate code is the second step of the same class.
#include <memory>
#include <vector>

#include "platform/rtl/types.h"
#include "script/wz_iparser.h"
#include "script/wz_itools.h"
#include "script/wz_xml.h"

class TwzILParser {
public:
  explicit TwzILParser(TwzCompilerHost* program);
  ~TwzILParser();
  TwzILParser(const TwzILParser&) = delete;
  TwzILParser& operator=(const TwzILParser&) = delete;

  // Loads the language's grammar and configures the scanner from its "parser" section. Raises
  // "Language '%s' not found" for an unregistered name.
  void SelectLanguage(const rtl::String& name);
  // Translates text into ILScript. Syntax errors answer false; the program receives the message and the
  // "line:column" position either way (both empty on success). A grammar naming an undefined rule raises
  // "Invalid language definition"; unit files that cannot be read and the unit handler's exceptions pass through.
  bool MakeILScript(const rtl::String& text);

  // The selected grammar. Translators that select the same grammar share one document: read it, never change it.
  TwzXMLDocument* Grammar() const { return grammar_.get(); }
  TwzXMLDocument* ILScript() const { return ilScript_.get(); }
  TwzParser* Parser() const { return parser_.get(); }
  TwzCompilerHost* Program() const { return program_; }

  rtl::String ErrorPos;  // position of the element being built
  rtl::String LangName;
  bool NeedDeclareVars = true;
  TwzXMLItem* ProgRoot = nullptr;  // the intermediate-code element being built
  TwzXMLItem* Root = nullptr;      // the grammar's root element
  rtl::String UnitName;            // empty for the program's own text
  std::vector<rtl::String> UsesList;

private:
  struct Element;
  struct Language;
  enum class Kind;

  static std::shared_ptr<Language> BuildLanguage(const rtl::String& text);
  // Whether a match of e may stop short of text that it leaves unexamined (it ends in a loop or something optional).
  static bool EndsOpen(const Element* e, std::vector<const Element*>& visiting);
  static Element* CompileElement(Language& language, TwzXMLItem* errors, TwzXMLItem* item, bool isRule);
  bool Interpret(Element* e);
  bool InterpretToken(Element* e, rtl::String& token);
  bool InterpretLoop(Element* e);
  void ApplyNode(Element* e, bool success, int start, size_t mark);
  void RecordError(Element* e, int start);
  void Abort(const rtl::String& message);
  rtl::String PositionAfterSpaces(int position);
  // Skips blanks, comments and line ends; true when nothing else is left.
  bool AtEndOfText();
  void IncludeUnits(size_t mark);
  // False when the unit was included before; otherwise code is the unit's "program" element as text, empty for
  // an empty unit or one that failed to translate.
  bool IncludeUnit(const rtl::String& unitName, rtl::String& code);
  rtl::String LoadUnitSource(const rtl::String& unitName);

  TwzCompilerHost* program_;
  std::shared_ptr<TwzXMLDocument> grammar_;
  std::unique_ptr<TwzXMLDocument> ilScript_;
  std::unique_ptr<TwzParser> parser_;

  std::shared_ptr<Language> language_;

  // One translation.
  std::vector<rtl::String> lines_;
  rtl::String errorMsg_;
  rtl::String errorPos_;
  bool errorTerm_ = false;
  bool fatal_ = false;  // an error that no loop may discard
  int depth_ = 0;
  const char* stackBase_ = nullptr;
  std::size_t stackBudget_ = 0;
};
