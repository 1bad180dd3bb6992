#include "platform/db/fields.h"

#include <cmath>
#include <limits>

#include "platform/db/dataset.h"
#include "platform/db/dberrors.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"

namespace db {

namespace {

const FieldValue& NullValue() {
  static const FieldValue null;
  return null;
}

String Quoted(const String& s) { return L"'" + s + L"'"; }

}  // namespace

bool SameName(const String& a, const String& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    wchar_t x = a[i], y = b[i];
    if (x >= L'a' && x <= L'z') x = static_cast<wchar_t>(x - 32);
    if (y >= L'a' && y <= L'z') y = static_cast<wchar_t>(y - 32);
    if (x != y) return false;
  }
  return true;
}

TField::TField(vcl::TComponent* owner) : TField(owner, ftUnknown) {}

TField::TField(vcl::TComponent* owner, TFieldType type, int size)
    : vcl::TComponent(owner), dataType_(type), size_(size) {}

TField::~TField() {
  if (dataSet_) dataSet_->RemoveField(this);
}

void TField::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet && dataSet->Active()) DatabaseError(L"Cannot perform this operation on an open dataset", dataSet->Name());
  if (dataSet_) dataSet_->RemoveField(this);
  dataSet_ = nullptr;
  if (dataSet) {
    dataSet->AddField(this);
    dataSet_ = dataSet;
  }
}

vcl::TComponent* TField::GetParentComponent() const { return dataSet_; }

void TField::SetParentComponent(vcl::TComponent* parent) {
  if (auto* ds = dynamic_cast<TDataSet*>(parent)) SetDataSet(ds);
}

void TField::SetFieldName(const String& name) {
  if (dataSet_ && dataSet_->Active()) DatabaseError(L"Cannot perform this operation on an open dataset", Name());
  fieldName_ = name;
}

void TField::SetSize(int size) {
  if (dataSet_ && dataSet_->Active()) DatabaseError(L"Cannot perform this operation on an open dataset", Name());
  size_ = size;
}

int TField::Index() const { return dataSet_ ? dataSet_->Fields()->IndexOf(this) : -1; }

const FieldValue& TField::Data() const {
  if (!dataSet_ || fieldNo_ <= 0) return NullValue();
  return dataSet_->ActiveValue(fieldNo_ - 1);
}

void TField::SetData(FieldValue v) {
  if (!dataSet_) DatabaseError(L"Field '" + DisplayName() + L"' has no dataset");
  dataSet_->SetFieldValue(this, std::move(v));
}

bool TField::IsNull() const { return Data().IsNull(); }

bool TField::CanModify() const {
  return !readOnly_ && fieldKind_ == fkData && dataSet_ && dataSet_->Active() && dataSet_->CanModify();
}

bool TField::IsValidChar(wchar_t ch) const { return ch != 0; }

void TField::SetText(const String& text) {
  if (OnSetText)
    OnSetText(this, text);
  else
    SetAsStringImpl(text);
}

void TField::Clear() { SetData(FieldValue()); }

void TField::FocusControl() {
  TField* field = this;
  if (dataSet_) dataSet_->DataEvent(deFocusControl, reinterpret_cast<std::intptr_t>(&field));
}

void TField::ConversionError(const String& typeName) const {
  throw rtl::EConvertError(L"Field '" + DisplayName() + L"' cannot be accessed as type " + typeName);
}

void TField::InvalidValue(const String& text, const String& what) const {
  throw rtl::EConvertError(Quoted(text) + L" is not a valid " + what + L" value for field '" + DisplayName() + L"'");
}

String TField::GetAsString() const {
  const FieldValue& v = Data();
  if (v.IsNull()) return String();
  if (v.IsText()) return v.AsText();
  if (v.IsInteger()) return rtl::IntToStr(v.AsInt());
  if (v.IsReal()) return rtl::FloatToStr(v.AsReal());
  const std::string& b = v.AsBytes();
  return String(b.begin(), b.end());
}

void TField::SetAsStringImpl(const String& v) { SetData(FieldValue::Text(v)); }

Integer TField::GetAsInteger() const {
  Int64 v = GetAsLargeInt();
  if (v < std::numeric_limits<Integer>::min() || v > std::numeric_limits<Integer>::max())
    InvalidValue(GetAsString(), L"integer");
  return static_cast<Integer>(v);
}

Int64 TField::GetAsLargeInt() const {
  const FieldValue& v = Data();
  if (v.IsNull()) return 0;
  if (v.IsInteger()) return v.AsInt();
  if (v.IsReal()) return static_cast<Int64>(std::llround(v.AsReal()));
  if (v.IsText()) {
    Int64 n = 0;
    if (!rtl::TryStrToInt64(rtl::Trim(v.AsText()), n)) InvalidValue(v.AsText(), L"integer");
    return n;
  }
  ConversionError(L"Integer");
}

void TField::SetAsLargeIntImpl(Int64 v) { SetData(FieldValue::Integer(v)); }

double TField::GetAsFloat() const {
  const FieldValue& v = Data();
  if (v.IsNull()) return 0;
  if (v.IsInteger()) return static_cast<double>(v.AsInt());
  if (v.IsReal()) return v.AsReal();
  if (v.IsText()) {
    double d = 0;
    if (!rtl::TryStrToFloat(v.AsText(), d)) InvalidValue(v.AsText(), L"floating point");
    return d;
  }
  ConversionError(L"Float");
}

void TField::SetAsFloatImpl(double v) { SetData(FieldValue::Real(v)); }

TDateTime TField::GetAsDateTime() const {
  const FieldValue& v = Data();
  if (v.IsNull()) return 0;
  if (v.IsReal()) return v.AsReal();
  if (v.IsInteger()) return static_cast<double>(v.AsInt());
  if (v.IsText()) {
    TDateTime d = 0;
    if (!rtl::TryStrToDateTime(v.AsText(), d)) InvalidValue(v.AsText(), L"date and time");
    return d;
  }
  ConversionError(L"DateTime");
}

void TField::SetAsDateTimeImpl(TDateTime v) { SetData(FieldValue::Real(v)); }

bool TField::GetAsBoolean() const {
  const FieldValue& v = Data();
  if (v.IsNull()) return false;
  if (v.IsInteger()) return v.AsInt() != 0;
  if (v.IsReal()) return v.AsReal() != 0;
  if (v.IsText()) {
    bool b = false;
    if (!rtl::TryStrToBool(v.AsText(), b)) InvalidValue(v.AsText(), L"Boolean");
    return b;
  }
  ConversionError(L"Boolean");
}

void TField::SetAsBooleanImpl(bool v) { SetData(FieldValue::Integer(v ? 1 : 0)); }

rtl::Variant TField::GetAsVariant() const {
  const FieldValue& v = Data();
  if (v.IsNull()) return rtl::Variant::Null();
  if (v.IsText()) return rtl::Variant(v.AsText());
  if (v.IsInteger()) return rtl::Variant(static_cast<long long>(v.AsInt()));
  if (v.IsReal()) return rtl::Variant(v.AsReal());
  return rtl::Variant(GetAsString());
}

void TField::SetAsVariantImpl(const rtl::Variant& v) {
  const rtl::Variant& d = v.Deref();
  switch (d.VarType() & rtl::varTypeMask) {
    case rtl::varEmpty:
    case rtl::varNull: Clear(); return;
    case rtl::varBoolean: SetAsBooleanImpl(d.AsBoolean()); return;
    case rtl::varSmallint:
    case rtl::varInteger:
    case rtl::varShortInt:
    case rtl::varByte:
    case rtl::varWord:
    case rtl::varLongWord:
    case rtl::varInt64:
    case rtl::varUInt64: SetAsLargeIntImpl(d.AsInt64()); return;
    case rtl::varSingle:
    case rtl::varDouble:
    case rtl::varCurrency: SetAsFloatImpl(d.AsDouble()); return;
    case rtl::varDate: SetAsDateTimeImpl(d.AsDateTime()); return;
    default: SetAsStringImpl(rtl::VarToStr(d));
  }
}

// Text fields.

String TStringField::GetAsString() const {
  const FieldValue& v = Data();
  if (v.IsText()) return v.AsText();
  return TField::GetAsString();
}

void TStringField::SetAsStringImpl(const String& v) {
  // A text longer than the declared size is refused rather than cut: cutting would lose what the user wrote.
  if (Size() > 0 && static_cast<int>(v.size()) > Size())
    DatabaseError(L"Value too long for field '" + DisplayName() + L"': at most " + rtl::IntToStr(Size()) +
                  L" characters are allowed");
  SetData(FieldValue::Text(v));
}

void TStringField::SetAsLargeIntImpl(Int64 v) { SetAsStringImpl(rtl::IntToStr(v)); }
void TStringField::SetAsFloatImpl(double v) { SetAsStringImpl(rtl::FloatToStr(v)); }
void TStringField::SetAsDateTimeImpl(TDateTime v) { SetAsStringImpl(rtl::DateTimeToStr(v)); }
void TStringField::SetAsBooleanImpl(bool v) { SetAsStringImpl(v ? L"True" : L"False"); }

// Numbers.

TNumericField::TNumericField(vcl::TComponent* owner, TFieldType type, int size) : TField(owner, type, size) {
  SetAlignment(taRightJustify);
}

String TNumericField::GetText(bool displayText) const {
  if (IsNull()) return String();
  const String& fmt = displayText || editFormat_.empty() ? displayFormat_ : editFormat_;
  if (fmt.empty()) return GetAsString();
  return rtl::FormatFloat(fmt, GetAsFloat());
}

void TNumericField::SetWholeNumberText(const String& v) {
  String t = rtl::Trim(v);
  if (t.empty()) {
    Clear();
    return;
  }
  Int64 n = 0;
  if (!rtl::TryStrToInt64(t, n)) InvalidValue(v, L"integer");
  SetAsLargeIntImpl(n);
}

void TNumericField::SetWholeNumberFloat(double v) {
  if (!std::isfinite(v) || v != std::floor(v)) InvalidValue(rtl::FloatToStr(v), L"integer");
  SetAsLargeIntImpl(static_cast<Int64>(v));
}

bool TIntegerField::IsValidChar(wchar_t ch) const { return IsWholeNumberChar(ch); }

String TIntegerField::GetAsString() const {
  const FieldValue& v = Data();
  if (v.IsNull()) return String();
  if (v.IsText()) return v.AsText();
  return rtl::IntToStr(GetAsLargeInt());
}

void TIntegerField::SetAsStringImpl(const String& v) { SetWholeNumberText(v); }

void TIntegerField::SetAsLargeIntImpl(Int64 v) {
  Int64 lo = std::numeric_limits<Integer>::min(), hi = std::numeric_limits<Integer>::max();
  if (DataType() == ftSmallint) lo = -32768, hi = 32767;
  if (v < lo || v > hi)
    throw rtl::ERangeError(rtl::IntToStr(v) + L" is not a valid value for field '" + DisplayName() +
                           L"'. The allowed range is " + rtl::IntToStr(lo) + L" to " + rtl::IntToStr(hi));
  SetData(FieldValue::Integer(v));
}

void TIntegerField::SetAsFloatImpl(double v) { SetWholeNumberFloat(v); }

rtl::Variant TIntegerField::GetAsVariant() const {
  if (IsNull()) return rtl::Variant::Null();
  return rtl::Variant(GetAsInteger());
}

TAutoIncField::TAutoIncField(vcl::TComponent* owner) : TIntegerField(owner, ftAutoInc) { SetReadOnly(true); }

bool TLargeintField::IsValidChar(wchar_t ch) const { return IsWholeNumberChar(ch); }

String TLargeintField::GetAsString() const {
  const FieldValue& v = Data();
  if (v.IsNull()) return String();
  return rtl::IntToStr(GetAsLargeInt());
}

void TLargeintField::SetAsStringImpl(const String& v) { SetWholeNumberText(v); }

void TLargeintField::SetAsFloatImpl(double v) { SetWholeNumberFloat(v); }

rtl::Variant TLargeintField::GetAsVariant() const {
  if (IsNull()) return rtl::Variant::Null();
  return rtl::Variant(static_cast<long long>(GetAsLargeInt()));
}

bool TFloatField::IsValidChar(wchar_t ch) const {
  return (ch >= L'0' && ch <= L'9') || ch == L'+' || ch == L'-' || ch == L'E' || ch == L'e' ||
         ch == rtl::FormatSettings.DecimalSeparator;
}

String TFloatField::GetAsString() const {
  if (IsNull()) return String();
  return rtl::FloatToStr(GetAsFloat());
}

void TFloatField::SetAsStringImpl(const String& v) {
  String t = rtl::Trim(v);
  if (t.empty()) {
    Clear();
    return;
  }
  double d = 0;
  if (!rtl::TryStrToFloat(t, d)) InvalidValue(v, L"floating point");
  SetAsFloatImpl(d);
}

rtl::Variant TFloatField::GetAsVariant() const {
  if (IsNull()) return rtl::Variant::Null();
  return rtl::Variant(GetAsFloat());
}

rtl::Variant TCurrencyField::GetAsVariant() const {
  if (IsNull()) return rtl::Variant::Null();
  return rtl::Variant::FromCurrency(GetAsFloat());
}

// Yes/no.

String TBooleanField::GetAsString() const {
  if (IsNull()) return String();
  auto parts = rtl::SplitString(displayValues_, L";");
  String t = parts.size() > 0 ? parts[0] : L"True";
  String f = parts.size() > 1 ? parts[1] : String();
  return GetAsBoolean() ? t : f;
}

void TBooleanField::SetAsStringImpl(const String& v) {
  String t = rtl::Trim(v);
  if (t.empty()) {
    Clear();
    return;
  }
  auto parts = rtl::SplitString(displayValues_, L";");
  String yes = parts.size() > 0 ? parts[0] : L"True";
  String no = parts.size() > 1 ? parts[1] : L"False";
  if (rtl::AnsiSameText(t, yes) || (yes.size() > t.size() && rtl::AnsiStartsText(t, yes))) {
    SetAsBooleanImpl(true);
  } else if (rtl::AnsiSameText(t, no) || (no.size() > t.size() && rtl::AnsiStartsText(t, no))) {
    SetAsBooleanImpl(false);
  } else {
    bool b = false;
    if (!rtl::TryStrToBool(t, b)) InvalidValue(v, L"Boolean");
    SetAsBooleanImpl(b);
  }
}

bool TBooleanField::GetAsBoolean() const { return TField::GetAsBoolean(); }

void TBooleanField::SetAsBooleanImpl(bool v) { SetData(FieldValue::Integer(v ? 1 : 0)); }

rtl::Variant TBooleanField::GetAsVariant() const {
  if (IsNull()) return rtl::Variant::Null();
  return rtl::Variant(GetAsBoolean());
}

// Dates.

String TDateTimeField::GetAsString() const {
  if (IsNull()) return String();
  TDateTime d = GetAsDateTime();
  if (DataType() == ftDate) return rtl::DateToStr(d);
  if (DataType() == ftTime) return rtl::TimeToStr(d);
  return rtl::DateTimeToStr(d);
}

String TDateTimeField::GetText(bool displayText) const {
  if (IsNull()) return String();
  if (displayText && !displayFormat_.empty()) return rtl::FormatDateTime(displayFormat_, GetAsDateTime());
  return GetAsString();
}

void TDateTimeField::SetAsStringImpl(const String& v) {
  String t = rtl::Trim(v);
  if (t.empty()) {
    Clear();
    return;
  }
  TDateTime d = 0;
  bool ok = DataType() == ftDate   ? rtl::TryStrToDate(t, d)
            : DataType() == ftTime ? rtl::TryStrToTime(t, d)
                                   : rtl::TryStrToDateTime(t, d);
  if (!ok) InvalidValue(v, L"date and time");
  SetAsDateTimeImpl(d);
}

TDateTime TDateTimeField::GetAsDateTime() const { return TField::GetAsDateTime(); }

void TDateTimeField::SetAsDateTimeImpl(TDateTime v) {
  if (!std::isfinite(v)) InvalidValue(L"?", L"date and time");
  SetData(FieldValue::Real(v));
}

rtl::Variant TDateTimeField::GetAsVariant() const {
  if (IsNull()) return rtl::Variant::Null();
  return rtl::Variant::FromDate(GetAsDateTime());
}

// Blobs and memos.

String TBlobField::GetAsString() const {
  const FieldValue& v = Data();
  if (v.IsBytes()) {
    const std::string& b = v.AsBytes();
    if (blobType_ == ftWideMemo || blobType_ == ftMemo)
      return String(reinterpret_cast<const wchar_t*>(b.data()), b.size() / sizeof(wchar_t));
    return String(b.begin(), b.end());
  }
  return TField::GetAsString();
}

void TBlobField::SetAsStringImpl(const String& v) {
  if (blobType_ == ftBlob || blobType_ == ftGraphic)
    SetData(FieldValue::Bytes(std::string(v.begin(), v.end())));
  else
    SetData(FieldValue::Text(v));
}

rtl::Variant TBlobField::GetAsVariant() const {
  if (IsNull()) return rtl::Variant::Null();
  return rtl::Variant(GetAsString());
}

std::unique_ptr<TField> CreateFieldForType(TFieldType type, vcl::TComponent* owner) {
  switch (type) {
    case ftString:
    case ftFixedChar: return std::make_unique<TStringField>(owner);
    case ftWideString:
    case ftFixedWideChar:
    case ftGuid: return std::make_unique<TWideStringField>(owner);
    case ftSmallint:
    case ftWord: return std::make_unique<TSmallintField>(owner);
    case ftInteger: return std::make_unique<TIntegerField>(owner);
    case ftAutoInc: return std::make_unique<TAutoIncField>(owner);
    case ftLargeint: return std::make_unique<TLargeintField>(owner);
    case ftFloat: return std::make_unique<TFloatField>(owner);
    case ftCurrency: return std::make_unique<TCurrencyField>(owner);
    case ftBCD:
    case ftFMTBcd: return std::make_unique<TFMTBCDField>(owner);
    case ftBoolean: return std::make_unique<TBooleanField>(owner);
    case ftDate: return std::make_unique<TDateField>(owner);
    case ftTime: return std::make_unique<TTimeField>(owner);
    case ftDateTime: return std::make_unique<TDateTimeField>(owner);
    case ftTimeStamp: return std::make_unique<TSQLTimeStampField>(owner);
    case ftMemo:
    case ftFmtMemo: return std::make_unique<TMemoField>(owner);
    case ftWideMemo: return std::make_unique<TWideMemoField>(owner);
    default: return std::make_unique<TBlobField>(owner);
  }
}

}  // namespace db
