#pragma once
// The script compiler's character-level scanner. It hands out one token of the kind the grammar asks for at the
// current position; the grammar interpreter backtracks by setting Position back. Its lexical conventions are set
// from the "parser" section of the selected grammar.
#include <bitset>
#include <vector>

#include "platform/rtl/types.h"

struct TwzPoint {
  int X = 0;
  int Y = 0;
};

class TwzParser {
public:
  TwzParser();

  // Restores every lexical setting to its default and empties the keyword list.
  void Clear();

  // The source text; positions are 1-based indexes of UTF-16 code units.
  const rtl::String& Text() const { return source_; }
  void SetText(const rtl::String& text);
  int Size() const { return static_cast<int>(source_.size()); }

  int Position() const { return position_; }
  void SetPosition(int value);
  // Where the current token starts (after white space).
  int LastPosition() const { return lastPosition_; }

  // Settings (see Clear for the defaults).
  bool CaseSensitive = false;
  rtl::String CommentLine1;
  rtl::String CommentLine2;
  rtl::String StringQuotes;
  rtl::String HexSequence;
  rtl::String SkipChar;  // line continuation; empty for none
  bool SkipEOL = true;   // false: line ends are significant
  bool SkipSpace = true;
  bool SpecStrChar = false;  // backslash escapes instead of doubled quotes
  bool UseY = true;          // keep the line table for positions
  std::bitset<256> IdentifierCharset;

  const rtl::String& CommentBlock1() const { return commentBlock1_; }
  const rtl::String& CommentBlock2() const { return commentBlock2_; }
  // "opener,closer" with the comma-text rules of the platform.
  void SetCommentBlock1(const rtl::String& value);
  void SetCommentBlock2(const rtl::String& value);

  // Identifier characters become exactly the low bytes of chars.
  void ConstructCharset(const rtl::String& chars);

  void AddKeyword(const rtl::String& word);
  const std::vector<rtl::String>& Keywords() const { return keywords_; }
  bool IsKeyWord(const rtl::String& s) const;

  // Token readers: empty text when no token of the kind stands at the position.
  void SkipSpaces();
  bool GetEOL();
  rtl::String GetIdent();
  rtl::String GetWord();
  rtl::String GetChar();
  rtl::String GetString();
  rtl::String GetNumber();
  rtl::String GetFRString();

  // "line:column" of Position, both 1-based.
  rtl::String GetXYPosition() const;
  // Position of column X on line Y, or -1 when the line does not exist.
  int GetPlainPosition(const TwzPoint& point) const;

private:
  wchar_t At(int position) const;
  bool TextAt(int position, const rtl::String& s) const;
  // Whether a comment opener stands at position; one made of identifier characters only as a whole word.
  bool CommentOpensAt(int position, const rtl::String& opener) const;
  bool IsWhite(wchar_t c) const;
  bool IsIdentChar(wchar_t c) const;
  bool ReadUnsignedInteger(int& position) const;
  bool ReadQuotedPiece(rtl::String& value);
  bool ReadCharCodePiece(rtl::String& value);
  rtl::String ReadIdentifier();

  rtl::String source_;
  int position_ = 1;
  int lastPosition_ = 1;
  std::vector<int> yList_;
  std::vector<rtl::String> keywords_;  // sorted with the ordinal case-insensitive order
  rtl::String commentBlock1_, commentOpen1_, commentClose1_;
  rtl::String commentBlock2_, commentOpen2_, commentClose2_;
};
