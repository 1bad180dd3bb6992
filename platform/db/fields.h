#pragma once
// Field objects: the typed view of one column of a dataset's current record.
//
// A field reads and writes the dataset's active record buffer. Fields are either made by the dataset when it opens
// (one per column, in the column order) or declared beforehand, usually in a form resource (persistent fields):
// then the dataset exposes exactly those, in their order. Field names compare without regard to ASCII case.
#include <memory>
#include <vector>

#include "platform/db/dbtypes.h"
#include "platform/rtl/variant.h"
#include "platform/vcl/component.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/events.h"

namespace rtl {
class TStream;
}

namespace db {

class TDataSet;
class TField;

using TFieldNotifyEvent = vcl::TEvent<void(TField* Sender)>;
using TFieldGetTextEvent = vcl::TEvent<void(TField* Sender, String& Text, bool DisplayText)>;
using TFieldSetTextEvent = vcl::TEvent<void(TField* Sender, const String& Text)>;

using vcl::taCenter;
using vcl::taLeftJustify;
using vcl::TAlignment;
using vcl::taRightJustify;

// Ordinal, ASCII-only case folding: the rule for field, table and component names.
bool SameName(const String& a, const String& b);

class TField : public vcl::TComponent {
  VCL_CLASS(TField, vcl::TComponent)
  explicit TField(vcl::TComponent* owner);
  ~TField() override;

  TDataSet* DataSet() const { return dataSet_; }
  // Adds the field to the dataset's Fields (removing it from a previous one); nil detaches it.
  void SetDataSet(TDataSet* dataSet);

  const String& FieldName() const { return fieldName_; }
  void SetFieldName(const String& name);
  TFieldType DataType() const { return dataType_; }
  TFieldKind FieldKind() const { return fieldKind_; }
  void SetFieldKind(TFieldKind kind) { fieldKind_ = kind; }
  // Characters for text fields, the scale for formatted-BCD fields, 0 for others.
  int Size() const { return size_; }
  virtual void SetSize(int size);
  // 1-based column of the dataset's result that the field shows; 0 while the dataset is closed.
  int FieldNo() const { return fieldNo_; }
  // The position in the dataset's Fields.
  int Index() const;
  String DisplayLabel() const { return displayLabel_.empty() ? fieldName_ : displayLabel_; }
  void SetDisplayLabel(const String& s) { displayLabel_ = s; }
  String DisplayName() const { return DisplayLabel(); }
  // In characters; defaults from the type (the size for text).
  int DisplayWidth() const { return displayWidth_ > 0 ? displayWidth_ : DefaultWidth(); }
  void SetDisplayWidth(int w) { displayWidth_ = w; }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { visible_ = v; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v) { readOnly_ = v; }
  bool Required() const { return required_; }
  void SetRequired(bool v) { required_ = v; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a) { alignment_ = a; }
  const String& EditMask() const { return editMask_; }
  void SetEditMask(const String& m) { editMask_ = m; }
  const String& Origin() const { return origin_; }
  void SetOrigin(const String& o) { origin_ = o; }

  bool IsNull() const;
  virtual bool IsBlob() const { return false; }
  // Not read-only, the dataset can be changed, and the field is a data field of an open dataset.
  bool CanModify() const;
  // The characters a bound edit accepts key by key.
  virtual bool IsValidChar(wchar_t ch) const;

  String AsString() const { return GetAsString(); }
  void SetAsString(const String& v) { SetAsStringImpl(v); }
  String AsWideString() const { return GetAsString(); }
  void SetAsWideString(const String& v) { SetAsStringImpl(v); }
  Integer AsInteger() const { return GetAsInteger(); }
  void SetAsInteger(Integer v) { SetAsIntegerImpl(v); }
  Int64 AsLargeInt() const { return GetAsLargeInt(); }
  void SetAsLargeInt(Int64 v) { SetAsLargeIntImpl(v); }
  double AsFloat() const { return GetAsFloat(); }
  void SetAsFloat(double v) { SetAsFloatImpl(v); }
  double AsCurrency() const { return GetAsFloat(); }
  void SetAsCurrency(double v) { SetAsFloatImpl(v); }
  TDateTime AsDateTime() const { return GetAsDateTime(); }
  void SetAsDateTime(TDateTime v) { SetAsDateTimeImpl(v); }
  bool AsBoolean() const { return GetAsBoolean(); }
  void SetAsBoolean(bool v) { SetAsBooleanImpl(v); }
  rtl::Variant AsVariant() const { return GetAsVariant(); }
  void SetAsVariant(const rtl::Variant& v) { SetAsVariantImpl(v); }
  rtl::Variant Value() const { return GetAsVariant(); }
  void SetValue(const rtl::Variant& v) { SetAsVariantImpl(v); }
  // The text for editing, and the text for showing (which may carry a display format).
  String Text() const { return GetText(false); }
  void SetText(const String& text);
  String DisplayText() const { return GetText(true); }
  void Clear();
  // Writes the value's bytes (blobs) or its text.
  virtual void SaveToStream(rtl::TStream* stream) const;

  // Asks the data links to put the focus on the control that shows this field.
  void FocusControl();

  TFieldNotifyEvent OnChange;
  TFieldNotifyEvent OnValidate;
  TFieldGetTextEvent OnGetText;
  TFieldSetTextEvent OnSetText;

  // In a form resource a persistent field is written as a child of its dataset.
  bool HasParent() const override { return true; }
  vcl::TComponent* GetParentComponent() const override;
  void SetParentComponent(vcl::TComponent* parent) override;

  // Used by the dataset.
  void Bind(int fieldNo) { fieldNo_ = fieldNo; }
  void SetDataTypeInternal(TFieldType t) { dataType_ = t; }
  // The cell of the active record, as the store holds it.
  const FieldValue& Data() const;
  // Writes a cell into the record being edited (raises unless the dataset is in edit or insert).
  void SetData(FieldValue v);

protected:
  TField(vcl::TComponent* owner, TFieldType type, int size = 0);

  virtual int DefaultWidth() const { return 10; }
  virtual String GetAsString() const;
  virtual void SetAsStringImpl(const String& v);
  virtual Integer GetAsInteger() const;
  virtual void SetAsIntegerImpl(Integer v) { SetAsLargeIntImpl(v); }
  virtual Int64 GetAsLargeInt() const;
  virtual void SetAsLargeIntImpl(Int64 v);
  virtual double GetAsFloat() const;
  virtual void SetAsFloatImpl(double v);
  virtual TDateTime GetAsDateTime() const;
  virtual void SetAsDateTimeImpl(TDateTime v);
  virtual bool GetAsBoolean() const;
  virtual void SetAsBooleanImpl(bool v);
  virtual rtl::Variant GetAsVariant() const;
  virtual void SetAsVariantImpl(const rtl::Variant& v);
  virtual String GetText(bool displayText) const { return GetAsString(); }
  [[noreturn]] void ConversionError(const String& typeName) const;
  [[noreturn]] void InvalidValue(const String& text, const String& what) const;

private:
  TDataSet* dataSet_ = nullptr;
  String fieldName_;
  TFieldType dataType_ = ftUnknown;
  TFieldKind fieldKind_ = fkData;
  int size_ = 0;
  int fieldNo_ = 0;
  String displayLabel_;
  int displayWidth_ = 0;
  bool visible_ = true;
  bool readOnly_ = false;
  bool required_ = false;
  TAlignment alignment_ = taLeftJustify;
  String editMask_;
  String origin_;
};

// Text of at most Size characters. Declared single-byte by the screens, but it reads and writes the same Unicode
// column, so no letter is lost through it.
class TStringField : public TField {
  VCL_CLASS(TStringField, TField)
  explicit TStringField(vcl::TComponent* owner) : TStringField(owner, ftString, 20) {}

protected:
  TStringField(vcl::TComponent* owner, TFieldType type, int size) : TField(owner, type, size) {}
  int DefaultWidth() const override { return Size(); }
  String GetAsString() const override;
  void SetAsStringImpl(const String& v) override;
  void SetAsLargeIntImpl(Int64 v) override;
  void SetAsFloatImpl(double v) override;
  void SetAsDateTimeImpl(TDateTime v) override;
  void SetAsBooleanImpl(bool v) override;
};

class TWideStringField : public TStringField {
  VCL_CLASS(TWideStringField, TStringField)
  explicit TWideStringField(vcl::TComponent* owner) : TStringField(owner, ftWideString, 20) {}
};

// Numbers: right-aligned, optional DisplayFormat and EditFormat (FormatFloat patterns).
class TNumericField : public TField {
  VCL_CLASS(TNumericField, TField)
  const String& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const String& f) { displayFormat_ = f; }
  const String& EditFormat() const { return editFormat_; }
  void SetEditFormat(const String& f) { editFormat_ = f; }

protected:
  TNumericField(vcl::TComponent* owner, TFieldType type, int size = 0);
  String GetText(bool displayText) const override;
  // The whole-number kinds (integer, large integer) share these: digits and a sign key by key, blank text clears,
  // and text or a float that is not a whole number is refused.
  static bool IsWholeNumberChar(wchar_t ch) { return (ch >= L'0' && ch <= L'9') || ch == L'+' || ch == L'-'; }
  void SetWholeNumberText(const String& v);
  void SetWholeNumberFloat(double v);

private:
  String displayFormat_, editFormat_;
};

class TIntegerField : public TNumericField {
  VCL_CLASS(TIntegerField, TNumericField)
  explicit TIntegerField(vcl::TComponent* owner) : TIntegerField(owner, ftInteger) {}
  // Digits and a sign only.
  bool IsValidChar(wchar_t ch) const override;

protected:
  TIntegerField(vcl::TComponent* owner, TFieldType type) : TNumericField(owner, type) {}
  int DefaultWidth() const override { return 11; }
  String GetAsString() const override;
  void SetAsStringImpl(const String& v) override;
  void SetAsLargeIntImpl(Int64 v) override;
  void SetAsFloatImpl(double v) override;
  rtl::Variant GetAsVariant() const override;
};

class TSmallintField : public TIntegerField {
  VCL_CLASS(TSmallintField, TIntegerField)
  explicit TSmallintField(vcl::TComponent* owner) : TIntegerField(owner, ftSmallint) {}
};

// The number the database assigns; read-only for the program.
class TAutoIncField : public TIntegerField {
  VCL_CLASS(TAutoIncField, TIntegerField)
  explicit TAutoIncField(vcl::TComponent* owner);
};

class TLargeintField : public TNumericField {
  VCL_CLASS(TLargeintField, TNumericField)
  explicit TLargeintField(vcl::TComponent* owner) : TNumericField(owner, ftLargeint) {}
  bool IsValidChar(wchar_t ch) const override;

protected:
  int DefaultWidth() const override { return 15; }
  String GetAsString() const override;
  void SetAsStringImpl(const String& v) override;
  void SetAsFloatImpl(double v) override;
  rtl::Variant GetAsVariant() const override;
};

class TFloatField : public TNumericField {
  VCL_CLASS(TFloatField, TNumericField)
  explicit TFloatField(vcl::TComponent* owner) : TFloatField(owner, ftFloat) {}
  bool IsValidChar(wchar_t ch) const override;

protected:
  TFloatField(vcl::TComponent* owner, TFieldType type, int size = 0) : TNumericField(owner, type, size) {}
  String GetAsString() const override;
  void SetAsStringImpl(const String& v) override;
  rtl::Variant GetAsVariant() const override;
};

class TCurrencyField : public TFloatField {
  VCL_CLASS(TCurrencyField, TFloatField)
  explicit TCurrencyField(vcl::TComponent* owner) : TFloatField(owner, ftCurrency) {}

protected:
  rtl::Variant GetAsVariant() const override;
};

// Decimal numbers with Size digits after the point, held as floating values.
class TFMTBCDField : public TFloatField {
  VCL_CLASS(TFMTBCDField, TFloatField)
  explicit TFMTBCDField(vcl::TComponent* owner) : TFloatField(owner, ftFMTBcd, 4) {}
};

class TBooleanField : public TField {
  VCL_CLASS(TBooleanField, TField)
  explicit TBooleanField(vcl::TComponent* owner) : TField(owner, ftBoolean) {}
  // "True;False" by default: the texts for true and false, separated by ';'.
  const String& DisplayValues() const { return displayValues_; }
  void SetDisplayValues(const String& v) { displayValues_ = v; }

protected:
  int DefaultWidth() const override { return 5; }
  String GetAsString() const override;
  void SetAsStringImpl(const String& v) override;
  bool GetAsBoolean() const override;
  void SetAsBooleanImpl(bool v) override;
  void SetAsLargeIntImpl(Int64 v) override { SetAsBooleanImpl(v != 0); }
  rtl::Variant GetAsVariant() const override;

private:
  String displayValues_ = L"True;False";
};

// Days since 30 December 1899 with the time of day as the fraction, kept exactly as given.
class TDateTimeField : public TField {
  VCL_CLASS(TDateTimeField, TField)
  explicit TDateTimeField(vcl::TComponent* owner) : TDateTimeField(owner, ftDateTime) {}
  // FormatDateTime pattern for the display text; empty shows the date, and the time when it is not midnight.
  const String& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const String& f) { displayFormat_ = f; }

protected:
  TDateTimeField(vcl::TComponent* owner, TFieldType type) : TField(owner, type) {}
  int DefaultWidth() const override { return 18; }
  String GetAsString() const override;
  void SetAsStringImpl(const String& v) override;
  String GetText(bool displayText) const override;
  TDateTime GetAsDateTime() const override;
  void SetAsDateTimeImpl(TDateTime v) override;
  void SetAsFloatImpl(double v) override { SetAsDateTimeImpl(v); }
  rtl::Variant GetAsVariant() const override;

private:
  String displayFormat_;
};

class TDateField : public TDateTimeField {
  VCL_CLASS(TDateField, TDateTimeField)
  explicit TDateField(vcl::TComponent* owner) : TDateTimeField(owner, ftDate) {}
};

class TTimeField : public TDateTimeField {
  VCL_CLASS(TTimeField, TDateTimeField)
  explicit TTimeField(vcl::TComponent* owner) : TDateTimeField(owner, ftTime) {}
};

class TSQLTimeStampField : public TDateTimeField {
  VCL_CLASS(TSQLTimeStampField, TDateTimeField)
  explicit TSQLTimeStampField(vcl::TComponent* owner) : TDateTimeField(owner, ftTimeStamp) {}
};

// Bytes, or long text for the memo kinds.
class TBlobField : public TField {
  VCL_CLASS(TBlobField, TField)
  explicit TBlobField(vcl::TComponent* owner) : TBlobField(owner, ftBlob) {}
  bool IsBlob() const override { return true; }
  TBlobType BlobType() const { return blobType_; }
  void SetBlobType(TBlobType t) { blobType_ = t; }
  void SaveToStream(rtl::TStream* stream) const override;
  void LoadFromStream(rtl::TStream* stream);

protected:
  TBlobField(vcl::TComponent* owner, TFieldType type) : TField(owner, type), blobType_(type) {}
  String GetAsString() const override;
  void SetAsStringImpl(const String& v) override;
  rtl::Variant GetAsVariant() const override;
  // Memo fields show "(MEMO)" in grids unless asked for their text; our controls ask for the text.
  String GetText(bool displayText) const override { return GetAsString(); }

private:
  TBlobType blobType_;
};

class TMemoField : public TBlobField {
  VCL_CLASS(TMemoField, TBlobField)
  explicit TMemoField(vcl::TComponent* owner) : TBlobField(owner, ftMemo) {}
};

class TWideMemoField : public TBlobField {
  VCL_CLASS(TWideMemoField, TBlobField)
  explicit TWideMemoField(vcl::TComponent* owner) : TBlobField(owner, ftWideMemo) {}
  void SaveToStream(rtl::TStream* stream) const override;
};

// The field class for a column type; used when a dataset makes its own fields.
std::unique_ptr<TField> CreateFieldForType(TFieldType type, vcl::TComponent* owner);

}  // namespace db
