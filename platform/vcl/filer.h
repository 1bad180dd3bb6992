#pragma once
// Reading and writing component trees: form resources in the text form (formvalue.h), and stored properties that
// a class defines itself.
//
// A class stores more than its published properties by overriding DefineProperties:
//
//   void TqvxReport::DefineProperties(TFiler* filer) {
//     TComponent::DefineProperties(filer);
//     filer->DefineProperty(L"Variables",
//         [this](TReader& r) { r.ReadListBegin(); while (!r.EndOfList()) AddVariable(r.ReadString()); r.ReadListEnd(); },
//         [this](TWriter& w) { w.WriteListBegin(); for (...) w.WriteString(...); w.WriteListEnd(); },
//         VariableCount() > 0);
//     filer->DefineBinaryProperty(L"Data", [this](rtl::TStream& s) { LoadData(s); },
//                                 [this](rtl::TStream& s) { SaveData(s); }, HasData());
//   }
//
// Reading: properties apply through their setters in stream order; sub-objects are walked by dotted names;
// component references and the components named by a form's fields are resolved after the whole tree is read;
// then Loaded runs on every component read, in creation order. Children are created owned by their parent's
// GetChildOwner (the root when it answers nullptr) and placed under its GetChildParent.
#include <functional>
#include <vector>

#include "platform/rtl/streams.h"
#include "platform/vcl/collection.h"
#include "platform/vcl/component.h"
#include "platform/vcl/formvalue.h"

namespace vcl {

class TReader;
class TWriter;
class TFormLoader;
class TFormSaver;

using TReaderProc = std::function<void(TReader&)>;
using TWriterProc = std::function<void(TWriter&)>;
using TStreamProc = std::function<void(rtl::TStream&)>;

class TFiler {
public:
  virtual ~TFiler() = default;
  // read runs when the stream holds the property; write runs when hasData is true.
  virtual void DefineProperty(const String& name, TReaderProc read, TWriterProc write, bool hasData) = 0;
  virtual void DefineBinaryProperty(const String& name, TStreamProc read, TStreamProc write, bool hasData) = 0;
  // The component being read or written as a whole (the form), and the one names are looked up in.
  TComponent* Root() const { return root_; }
  TComponent* LookupRoot() const { return root_; }
  // With a writer working against an ancestor: the ancestor's object for the one being written (nullptr here).
  TPersistent* Ancestor() const { return ancestor_; }
  bool IsReader() const;
  bool IsWriter() const;

protected:
  TComponent* root_ = nullptr;
  TPersistent* ancestor_ = nullptr;
};

// Reads the value of one stored property.
class TReader : public TFiler {
public:
  TReader(TFormLoader& loader, const TFormValue& value, const String& propName);
  void DefineProperty(const String& name, TReaderProc read, TWriterProc write, bool hasData) override;
  void DefineBinaryProperty(const String& name, TStreamProc read, TStreamProc write, bool hasData) override;

  // Each raises EFormError naming the line when the next value has another form.
  Int64 ReadInteger();
  Int64 ReadInt64() { return ReadInteger(); }
  double ReadFloat();  // accepts integers too
  String ReadString();
  String ReadWideString() { return ReadString(); }
  bool ReadBoolean();
  String ReadIdent();
  wchar_t ReadChar();
  std::vector<Byte> ReadBinary();
  void ReadListBegin();
  bool EndOfList() const;
  void ReadListEnd();
  // A collection value: the collection is cleared and filled with its items.
  void ReadCollection(TCollection* collection);
  // The next value as parsed, whatever its form.
  TFormValue ReadValue();
  // The line of the value read next (for messages).
  int Line() const;

  // Used by the loader: which defined property is wanted, and whether it was found.
  bool handled = false;

private:
  const TFormValue& Current() const;
  [[noreturn]] void Fail(const String& what) const;

  TFormLoader& loader_;
  String prop_name_;
  TFormValue top_;
  struct Level {
    const std::vector<TFormValue>* values;
    size_t index;
    int line;
  };
  std::vector<Level> stack_;
  std::vector<TFormValue> single_;
};

// Writes the value of one stored property.
class TWriter : public TFiler {
public:
  explicit TWriter(TFormSaver& saver);
  void DefineProperty(const String& name, TReaderProc read, TWriterProc write, bool hasData) override;
  void DefineBinaryProperty(const String& name, TStreamProc read, TStreamProc write, bool hasData) override;

  void WriteInteger(Int64 value);
  void WriteFloat(double value);
  void WriteString(const String& value);
  void WriteWideString(const String& value) { WriteString(value); }
  void WriteBoolean(bool value);
  void WriteIdent(const String& ident);
  void WriteChar(wchar_t c) { WriteString(String(1, c)); }
  void WriteBinary(const std::vector<Byte>& bytes);
  void WriteListBegin();
  void WriteListEnd();
  void WriteCollection(TCollection* collection);
  void WriteValue(const TFormValue& value);

  // The properties defined so far (after DefineProperties ran on this writer).
  std::vector<TFormProp>& Props() { return props_; }
  // Put in front of every name defined (a sub-object's stored properties: "Glyph.Data").
  void SetPrefix(const String& prefix) { prefix_ = prefix; }

private:
  void Put(TFormValue v);
  TFormSaver& saver_;
  std::vector<TFormProp> props_;
  String prefix_;
  std::vector<TFormValue> lists_;  // open lists
  std::vector<TFormValue> written_;
};

// ---------------------------------------------------------------------------------------------------------------
// Whole trees.

// Reads text into root: root's own properties and its children, then references, then Loaded. source names the
// text in errors ("TFORM1"). The root object's class must be root's class or one of its ancestors.
void ReadComponentText(const String& text, TComponent* root, const String& source);
// Creates the root from the text's class (owned by owner) and reads it.
TComponent* CreateComponentFromText(const String& text, TComponent* owner, const String& source);
// Reads a parsed tree.
void ReadComponentObject(const TFormObject& obj, TComponent* root, const String& source);

// The text form of root and everything GetChildren gives for it. Properties equal to their defaults are left out.
String WriteComponentText(TComponent* root);
TFormObject WriteComponentObject(TComponent* root);

// Only the stored properties obj defines itself, in our binary encoding (empty when it defines none with data);
// and back. root is the component names are looked up in.
std::vector<Byte> WriteDefinedProperties(TPersistent* obj, TComponent* root);
void ReadDefinedProperties(TPersistent* obj, const std::vector<Byte>& data, TComponent* root);

// Applies one property list to an object outside any tree (a collection item, a single object); references are
// resolved against root at the end.
void ReadProperties(TPersistent* obj, const std::vector<TFormProp>& props, TComponent* root, const String& source);
std::vector<TFormProp> WriteProperties(TPersistent* obj, TComponent* root);

// Stored properties of classes that cannot override DefineProperties themselves (the runtime's string lists):
// the hook runs after obj->DefineProperties for every object.
using TDefinePropertiesHook = std::function<void(TPersistent* obj, TFiler* filer)>;
void AddDefinePropertiesHook(TDefinePropertiesHook hook);

// How "Form2.DataSource1" finds Form2: the forms layer installs a lookup over the application's forms and data
// modules. Without one, only the root being read and components registered with AddGlobalComponent are found.
using TFindGlobalComponent = std::function<TComponent*(const String& name)>;
void SetFindGlobalComponent(TFindGlobalComponent find);
TComponent* FindGlobalComponent(const String& name);
void AddGlobalComponent(TComponent* component);
void RemoveGlobalComponent(TComponent* component);

}  // namespace vcl
