#pragma once
// Per-character formatting of wrapped text lines: the tag scanner of the text layout turns the small set of
// HTML-like tags in a text object's line into one record per visible character, and keeps one list of records per
// wrapped line so that measuring and drawing can change fonts exactly where the formatting changes.
#include <memory>
#include <vector>

#include "platform/rtl/object.h"
#include "platform/rtl/types.h"
#include "platform/vcl/colors.h"
#include "platform/vcl/graphicsobjects.h"

enum TSubStyle { ssNormal, ssSubscript, ssSuperscript };

// Size of the work blocks of character extents: lines longer than this are not laid out.
inline constexpr int qvxMaxLineChars = 32768;

class TqvxHTMLTag : public rtl::TObject {
public:
  rtl::String ClassName() const override { return L"TqvxHTMLTag"; }
  // Copies everything but DontWRAP: a copied record stands for a character outside the no-wrap span.
  void Assign(const TqvxHTMLTag& source);

  int Position = 0;  // 1-based position of the character in the layout's plain text
  int Size = 0;      // points
  int AddY = 0;      // 1 for subscript
  vcl::TFontStyles Style;
  vcl::TColor Color = 0;
  bool Default = false;  // same formatting as the character before, or already applied
  bool Small = false;    // Size differs from the default size
  bool DontWRAP = false;
  TSubStyle SubType = ssNormal;
};

class TqvxHTMLTags : public rtl::TObject {
public:
  rtl::String ClassName() const override { return L"TqvxHTMLTags"; }
  TqvxHTMLTag* Items(int index) const { return FItems[index].get(); }
  int Count() const { return static_cast<int>(FItems.size()); }
  // Takes ownership.
  void Add(TqvxHTMLTag* tag) { FItems.emplace_back(tag); }
  void Clear() { FItems.clear(); }

private:
  friend class TqvxHTMLTagsList;
  std::vector<std::unique_ptr<TqvxHTMLTag>> FItems;
};

class TqvxHTMLTagsList : public rtl::TObject {
public:
  TqvxHTMLTagsList();
  rtl::String ClassName() const override { return L"TqvxHTMLTagsList"; }

  bool AllowTags() const { return FAllowTags; }
  void SetAllowTags(bool value) { FAllowTags = value; }
  int Position() const { return FPosition; }
  void SetPosition(int value) { FPosition = value; }
  int Count() const { return static_cast<int>(FItems.size()); }
  TqvxHTMLTags* Items(int index) const { return FItems[index].get(); }
  int* TempArray() { return FTempArray.data(); }

  // Resets the formatting in force to the defaults and leaves one empty tag line.
  void SetDefaults(vcl::TColor defColor, int defSize, vcl::TFontStyles defStyle);
  // Starts the tag line of the next source line.
  void NewLine();
  // Removes the recognised tags from s, adding a record for every remaining character to the last tag line. A
  // line left empty becomes one blank with a record for the formatting in force.
  void ExpandHTMLTags(rtl::String& s);
  // Splits the last tag line after count records. addBreak: a hyphen was added to the line, it gets a record of
  // its own. keepPosition: the new line's first character is not the follower of a dropped blank, so its own
  // position must survive (the leftover text of a split starts there).
  void Wrap(int count, bool addBreak, bool keepPosition = false);

private:
  void AddTag();
  // Length of the tag at s[i] (0-based, s[i] == '<') when recognised, applying its effect; 0 otherwise.
  int TagAt(const rtl::String& s, size_t i);
  bool ColorTagAt(const rtl::String& s, size_t i, size_t& length);

  bool FAllowTags = true;
  int FAddY = 0;
  vcl::TColor FColor = 0;
  vcl::TColor FDefColor = 0;
  int FDefSize = 0;
  vcl::TFontStyles FDefStyle;
  std::vector<std::unique_ptr<TqvxHTMLTags>> FItems;
  int FPosition = 1;
  int FSize = 0;
  vcl::TFontStyles FStyle;
  bool FDontWRAP = false;
  std::vector<int> FTempArray;
  TSubStyle FSubStyle = ssNormal;
  // The record before the next one, across wrapped lines: what Default compares with.
  const TqvxHTMLTag* FLastTag = nullptr;
};
