#pragma once
// The parsed form of a form resource: objects with their properties in stream order and their children. The text
// form (formtext.cpp) and our binary encoding of stored properties (formbinary.cpp) both go through it, and the
// reader and writer (filer.h) work on it alone.
//
// The text form, meant to be read and edited by people:
//
//   object Form1: TForm1
//     Caption = 'Öğrenci kaydı'                 strings in single quotes, '' for a quote, #13#10 for control chars,
//     Font.Name = 'Tahoma'                      parts joined with +; the file is UTF-8
//     Font.Style = [fsBold]                     sets
//     Align = alTop                             identifiers: enumeration values, True/False, nil
//     Ratio = 1.5                               floats always with '.'
//     DataSource = DataSource1                  component references: Name or Form.Name
//     OnClick = Button1Click                    event handlers: a method of the form
//     Items.Strings = (                         lists (string lists, custom stored properties)
//       'Erkek'
//       'Kız')
//     Columns = <                               collections
//       item
//         FieldName = 'AD'
//       end>
//     Glyph.Data = {                            binary data in hexadecimal
//       0A0B0C...}
//     object Button1: TButton                   children
//     end
//   end
//
// Comments run from // to the end of the line (braces hold binary data, so they are no comments here).
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/types.h"

namespace vcl {

using rtl::Byte;
using rtl::Int64;
using rtl::String;

// A form resource that cannot be read: names the resource and the line, and says what is wrong with which name.
class EFormError : public rtl::EReadError {
public:
  EFormError(const String& source, int line, const String& message);
  String ClassName() const override { return L"EFormError"; }
  const String& Source() const { return source_; }
  int Line() const { return line_; }
  // The message without the "source(line): " prefix.
  const String& Detail() const { return detail_; }

private:
  String source_;
  int line_;
  String detail_;
};

enum class TFormValueKind { Integer, Float, String, Ident, Set, List, Collection, Binary };

struct TFormProp;

struct TFormValue {
  TFormValueKind Kind = TFormValueKind::Ident;
  Int64 Int = 0;
  double Float = 0;
  String Str;                                // strings and identifiers
  std::vector<String> Elements;              // sets
  std::vector<TFormValue> List;              // lists
  std::vector<std::vector<TFormProp>> Items; // collections: each item's properties
  std::vector<Byte> Bytes;                   // binary data
  int Line = 0;

  static TFormValue FromInt(Int64 v);
  static TFormValue FromFloat(double v);
  static TFormValue FromString(const String& v);
  static TFormValue FromIdent(const String& v);
  bool operator==(const TFormValue& other) const;
};

struct TFormProp {
  String Name;  // may be dotted: "Font.Name"
  TFormValue Value;
  int Line = 0;
  bool operator==(const TFormProp& other) const = default;
};

struct TFormObject {
  String Keyword = L"object";  // "object", "inherited" or "inline"
  String Name;
  String ClassName;
  std::vector<TFormProp> Props;
  std::vector<TFormObject> Children;
  int Line = 0;
  int EndLine = 0;
};

// Parses the text form. Raises EFormError naming source and the line for anything malformed, including objects,
// lists and collections nested more than 256 levels deep.
TFormObject ParseFormText(const String& text, const String& source);
// The text form of obj, lines ending in CR LF.
String FormatFormText(const TFormObject& obj);
// One value on one line, as messages quote it: a value longer than about 80 characters is cut and ends in "...".
String FormatFormValue(const TFormValue& value);

// Floats as the text form spells them: shortest text that reads back to the same value, '.' as separator.
String FloatToFormText(double value);
bool FormTextToFloat(const String& text, double& value);

// Our binary encoding of a property list (stored properties carried as a report object's PropData).
std::vector<Byte> EncodeFormProps(const std::vector<TFormProp>& props);
// Raises EFormError (source "PropData", line 0) for data that is not in the encoding.
std::vector<TFormProp> DecodeFormProps(const std::vector<Byte>& data);

}  // namespace vcl
