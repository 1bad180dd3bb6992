#pragma once
// The enumerations of the data-access layer and the value a client row holds for one column.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "platform/rtl/types.h"
#include "platform/vcl/typinfo.h"

namespace db {

using rtl::Int64;
using rtl::Integer;
using rtl::String;
using rtl::TDateTime;

// Numbered as the platform numbers them: report datasets and stored layouts use the numbers.
VCL_ENUM(TFieldType, ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD, ftDate,
         ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic, ftFmtMemo, ftParadoxOle,
         ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar, ftWideString, ftLargeint, ftADT, ftArray, ftReference,
         ftDataSet, ftOraBlob, ftOraClob, ftVariant, ftInterface, ftIDispatch, ftGuid, ftTimeStamp, ftFMTBcd,
         ftFixedWideChar, ftWideMemo)
using TBlobType = TFieldType;

VCL_ENUM(TFieldKind, fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate)

VCL_ENUM(TDataSetState, dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter, dsNewValue,
         dsOldValue, dsCurValue, dsBlockRead, dsInternalCalc, dsOpening)

enum TDataEvent {
  deFieldChange,
  deRecordChange,
  deDataSetChange,
  deDataSetScroll,
  deLayoutChange,
  deUpdateRecord,
  deUpdateState,
  deCheckBrowseMode,
  dePropertyChange,
  deFieldListChange,
  deFocusControl,
  deParentScroll,
  deConnectChange,
  deReconcileError,
  deDisabledStateChange
};

enum TGetMode { gmCurrent, gmNext, gmPrior };

// A bookmark: an opaque byte array naming one record of one open dataset.
using TBookmark = std::vector<std::uint8_t>;

// One cell of a client row: nothing (null), a whole number (also yes/no as 0/1), a floating value (also date-times
// as days since 30 December 1899), Unicode text, or bytes.
class FieldValue {
public:
  FieldValue() = default;
  static FieldValue Integer(Int64 v) {
    FieldValue f;
    f.v_ = v;
    return f;
  }
  static FieldValue Real(double v) {
    FieldValue f;
    f.v_ = v;
    return f;
  }
  static FieldValue Text(String v) {
    FieldValue f;
    f.v_ = std::move(v);
    return f;
  }
  static FieldValue Bytes(std::string v) {
    FieldValue f;
    f.v_ = Blob{std::move(v)};
    return f;
  }

  bool IsNull() const { return v_.index() == 0; }
  bool IsInteger() const { return v_.index() == 1; }
  bool IsReal() const { return v_.index() == 2; }
  bool IsText() const { return v_.index() == 3; }
  bool IsBytes() const { return v_.index() == 4; }
  Int64 AsInt() const { return std::get<1>(v_); }
  double AsReal() const { return std::get<2>(v_); }
  const String& AsText() const { return std::get<3>(v_); }
  const std::string& AsBytes() const { return std::get<4>(v_).bytes; }

  bool operator==(const FieldValue& o) const { return v_ == o.v_; }

private:
  struct Blob {
    std::string bytes;
    bool operator==(const Blob& o) const { return bytes == o.bytes; }
  };
  std::variant<std::monostate, Int64, double, String, Blob> v_;
};

// The field type a column declared in the store maps to, and its size (characters for text).
struct StoreColumnType {
  TFieldType type = ftUnknown;
  int size = 0;
};
StoreColumnType MapDeclaredType(const String& declaredType, bool autoIncrement);

// UTF-8 (as SQLite keeps text) into UTF-16; a malformed sequence becomes U+FFFD.
void Utf8ToString(const char* text, size_t bytes, String& out);
// The number of UTF-16 units Utf8ToString makes of the same bytes.
size_t Utf8ToStringLength(const char* text, size_t bytes);

}  // namespace db
