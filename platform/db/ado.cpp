#include "platform/db/ado.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

#include "platform/db/dberrors.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/win.h"

namespace db {

namespace {

const wchar_t kRowIdColumn[] = L"$rowid";

bool IsLoading(const vcl::TComponent* c) { return c->ComponentState().Contains(vcl::csLoading); }

bool FileExistsW(const String& path) {
  DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// Reads "yyyy-mm-dd[ hh:nn[:ss[.zzz]]]" (a date written into the file by another tool) as a day count.
bool ParseIsoDateTime(const String& s, double& out) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0, ms = 0;
  int n = swscanf(s.c_str(), L"%4d-%2d-%2d%*[ T]%2d:%2d:%2d.%3d", &y, &mo, &d, &h, &mi, &sec, &ms);
  if (n < 3) return false;
  TDateTime date, time = 0;
  if (!rtl::TryEncodeDate(static_cast<rtl::Word>(y), static_cast<rtl::Word>(mo), static_cast<rtl::Word>(d), date))
    return false;
  if (n >= 5 && !rtl::TryEncodeTime(static_cast<rtl::Word>(h), static_cast<rtl::Word>(mi), static_cast<rtl::Word>(sec),
                                    static_cast<rtl::Word>(ms), time))
    return false;
  out = date >= 0 ? date + time : date - time;
  return true;
}

FieldValue ReadCell(SqliteStatement& st, int col, TFieldType type) {
  switch (st.ColumnKind(col)) {
    case SqliteStatement::Kind::Null: return FieldValue();
    case SqliteStatement::Kind::Integer: {
      Int64 v = st.ColumnInt64(col);
      if (type == ftDateTime || type == ftDate || type == ftTime || type == ftFloat || type == ftCurrency ||
          type == ftFMTBcd || type == ftBCD || type == ftTimeStamp)
        return FieldValue::Real(static_cast<double>(v));
      if (type == ftWideString || type == ftString || type == ftWideMemo || type == ftMemo)
        return FieldValue::Text(std::to_wstring(v));
      return FieldValue::Integer(v);
    }
    case SqliteStatement::Kind::Real: {
      double v = st.ColumnDouble(col);
      if ((type == ftInteger || type == ftSmallint || type == ftAutoInc || type == ftLargeint || type == ftBoolean) &&
          v == std::floor(v) && std::fabs(v) < 9e18)
        return FieldValue::Integer(static_cast<Int64>(v));
      if (type == ftWideString || type == ftString || type == ftWideMemo || type == ftMemo)
        return FieldValue::Text(st.ColumnText(col));
      return FieldValue::Real(v);
    }
    case SqliteStatement::Kind::Text: {
      String t;
      st.ColumnText(col, t);
      double d = 0;
      if ((type == ftDateTime || type == ftDate || type == ftTime) && ParseIsoDateTime(t, d))
        return FieldValue::Real(d);
      return FieldValue::Text(std::move(t));
    }
    case SqliteStatement::Kind::Blob: return FieldValue::Bytes(st.ColumnBlob(col));
  }
  return FieldValue();
}

bool IsTextType(TFieldType type) {
  return type == ftWideString || type == ftString || type == ftWideMemo || type == ftMemo;
}

// ReadCell's reading, into a packed row: the same cell the same value once unpacked. Answers the text's length in
// UTF-16 units when the cell is text and may be longer than sizeLimit, else at most sizeLimit.
long long PackCell(SqliteStatement& st, int col, TFieldType type, size_t sizeLimit, TRecord::Packer& row, bool& large) {
  switch (st.ColumnKind(col)) {
    case SqliteStatement::Kind::Null: row.Null(); return -1;
    case SqliteStatement::Kind::Integer: {
      Int64 v = st.ColumnInt64(col);
      if (type == ftDateTime || type == ftDate || type == ftTime || type == ftFloat || type == ftCurrency ||
          type == ftFMTBcd || type == ftBCD || type == ftTimeStamp) {
        row.Real(static_cast<double>(v));
        return -1;
      }
      if (IsTextType(type)) {
        std::string digits = std::to_string(v);
        row.Text(digits.data(), digits.size());
        return static_cast<long long>(digits.size());
      }
      row.Integer(v);
      large = large || v > 2147483647LL || v < -2147483648LL;
      return -1;
    }
    case SqliteStatement::Kind::Real: {
      double v = st.ColumnDouble(col);
      if ((type == ftInteger || type == ftSmallint || type == ftAutoInc || type == ftLargeint || type == ftBoolean) &&
          v == std::floor(v) && std::fabs(v) < 9e18) {
        auto i = static_cast<Int64>(v);
        row.Integer(i);
        large = large || i > 2147483647LL || i < -2147483648LL;
        return -1;
      }
      if (IsTextType(type)) {
        std::string_view t = st.ColumnUtf8(col);
        row.Text(t.data(), t.size());
        return static_cast<long long>(Utf8ToStringLength(t.data(), t.size()));
      }
      row.Real(v);
      return -1;
    }
    case SqliteStatement::Kind::Text: {
      std::string_view t = st.ColumnUtf8(col);
      if (type == ftDateTime || type == ftDate || type == ftTime) {
        String text;
        Utf8ToString(t.data(), t.size(), text);
        double d = 0;
        if (ParseIsoDateTime(text, d)) {
          row.Real(d);
          return -1;
        }
      }
      row.Text(t.data(), t.size());
      // Never more UTF-16 units than UTF-8 bytes: only a text of more bytes than the size yet known is counted.
      return type == ftWideString && t.size() > sizeLimit ? static_cast<long long>(Utf8ToStringLength(t.data(), t.size()))
                                                           : 0;
    }
    case SqliteStatement::Kind::Blob: {
      std::string_view b = st.ColumnBlobBytes(col);
      row.Bytes(b.data(), b.size());
      return -1;
    }
  }
  row.Null();
  return -1;
}

void BindCell(SqliteStatement& st, int index, const FieldValue& v) {
  if (v.IsNull())
    st.BindNull(index);
  else if (v.IsInteger())
    st.BindInt64(index, v.AsInt());
  else if (v.IsReal())
    st.BindDouble(index, v.AsReal());
  else if (v.IsText())
    st.BindText(index, v.AsText());
  else
    st.BindBlob(index, v.AsBytes());
}

bool IsIdentChar(wchar_t c) { return std::iswalnum(c) || c == L'_' || c == L'$'; }

// A column default that is the same on every insert: a number, a quoted text, a blob, NULL, TRUE or FALSE.
// Anything else (CURRENT_TIMESTAMP, an expression in parentheses) is the store's to evaluate each time.
bool IsConstantDefault(const String& text) {
  String t = rtl::Trim(text);
  if (t.empty()) return false;
  String upper = rtl::UpperCase(t);
  if (upper == L"NULL" || upper == L"TRUE" || upper == L"FALSE") return true;
  auto quoted = [](const String& s, size_t from) {
    if (s.size() < from + 2 || s[from] != L'\'' || s.back() != L'\'') return false;
    for (size_t i = from + 1; i + 1 < s.size(); ++i)
      if (s[i] == L'\'' && (i + 2 >= s.size() || s[++i] != L'\'')) return false;
    return true;
  };
  if (quoted(t, 0)) return true;
  if ((t[0] == L'x' || t[0] == L'X') && quoted(t, 1)) return true;
  size_t i = (t[0] == L'-' || t[0] == L'+') ? 1 : 0;
  bool digits = false;
  for (; i < t.size(); ++i) {
    wchar_t c = t[i];
    if (c >= L'0' && c <= L'9')
      digits = true;
    else if (c != L'.' && c != L'e' && c != L'E' && c != L'-' && c != L'+')
      return false;
  }
  return digits;
}

}  // namespace

// Statement helpers.

String SqlQuoted(const String& text) { return QuoteText(text); }

String SqlNumber(const String& text, const String& what) {
  String t = rtl::Trim(text);
  bool ok = !t.empty();
  size_t i = (ok && (t[0] == L'-' || t[0] == L'+')) ? 1 : 0;
  if (i == t.size()) ok = false;
  for (; ok && i < t.size(); ++i)
    if (t[i] < L'0' || t[i] > L'9') ok = false;
  if (!ok) {
    if (t.empty()) throw EDatabaseError(L"No " + what + L" was given");
    throw EDatabaseError(L"'" + text + L"' is not a valid " + what + L": only digits are allowed");
  }
  return t;
}

String SimpleSelectTable(const String& sql) {
  // select * from <name> [where ...]; anything else (joins, lists of tables, grouping, distinct) is read-only.
  String s = rtl::Trim(sql);
  auto word = [&](size_t& p, const wchar_t* w) {
    while (p < s.size() && s[p] <= L' ') ++p;
    size_t n = wcslen(w);
    if (p + n > s.size()) return false;
    for (size_t i = 0; i < n; ++i)
      if (rtl::UpCase(s[p + i]) != w[i]) return false;
    if (p + n < s.size() && IsIdentChar(s[p + n])) return false;
    p += n;
    return true;
  };
  size_t p = 0;
  if (!word(p, L"SELECT")) return String();
  while (p < s.size() && s[p] <= L' ') ++p;
  if (p >= s.size() || s[p] != L'*') return String();
  ++p;
  if (!word(p, L"FROM")) return String();
  while (p < s.size() && s[p] <= L' ') ++p;
  String table;
  if (p < s.size() && (s[p] == L'"' || s[p] == L'[')) {
    wchar_t close = s[p] == L'"' ? L'"' : L']';
    size_t e = s.find(close, p + 1);
    if (e == String::npos) return String();
    table = s.substr(p + 1, e - p - 1);
    p = e + 1;
  } else {
    size_t start = p;
    while (p < s.size() && IsIdentChar(s[p])) ++p;
    table = s.substr(start, p - start);
  }
  if (table.empty()) return String();
  while (p < s.size() && s[p] <= L' ') ++p;
  if (p == s.size()) return table;
  size_t q = p;
  if (!word(q, L"WHERE")) return String();
  String rest = rtl::UpperCase(s.substr(q));
  for (const wchar_t* bad : {L" GROUP ", L" UNION", L" JOIN ", L" HAVING "})
    if (rest.find(bad) != String::npos) return String();
  return table;
}

// Connection.

TADOConnection::~TADOConnection() {
  for (auto* ds : dataSets_) ds->SetConnection(nullptr);
}

void TADOConnection::BeforeDestruction() {
  try {
    Close();
  } catch (...) {
  }
  while (!dataSets_.empty()) dataSets_.back()->SetConnection(nullptr);
  vcl::TComponent::BeforeDestruction();
}

void TADOConnection::Loaded() {
  vcl::TComponent::Loaded();
  if (streamedConnected_) {
    streamedConnected_ = false;
    Open();
  }
}

void TADOConnection::SetConnectionString(const String& s) {
  if (Connected()) Close();
  connectionString_ = s;
}

void TADOConnection::SetConnected(bool v) {
  if (IsLoading(this)) {
    streamedConnected_ = v;
    return;
  }
  if (v)
    Open();
  else
    Close();
}

String TADOConnection::ConnectionStringValue(const String& cs, const String& key) {
  for (const String& part : rtl::SplitString(cs, L";")) {
    auto eq = part.find(L'=');
    if (eq == String::npos) continue;
    if (!rtl::SameText(rtl::Trim(part.substr(0, eq)), key)) continue;
    String v = rtl::Trim(part.substr(eq + 1));
    if (v.size() >= 2 && (v.front() == L'"' || v.front() == L'\'') && v.back() == v.front())
      v = v.substr(1, v.size() - 2);
    return v;
  }
  return String();
}

String TADOConnection::ResolveDataSourceFile(const String& dataSource) {
  if (rtl::EndsText(L".mdb", dataSource)) {
    String db = dataSource.substr(0, dataSource.size() - 4) + L".db";
    if (FileExistsW(db) || !FileExistsW(dataSource)) return db;
  }
  return dataSource;
}

String TADOConnection::FileName() const {
  String ds = ConnectionStringValue(connectionString_, L"Data Source");
  return ds.empty() ? String() : ResolveDataSourceFile(ds);
}

void TADOConnection::Open() {
  if (Connected()) return;
  String file = FileName();
  if (file.empty()) DatabaseError(L"Missing Connection or ConnectionString", Name());
  if (BeforeConnect) BeforeConnect(this);
  if (!FileExistsW(file)) throw EADOError(L"Could not find file '" + file + L"'.");
  db_.Open(file);
  if (AfterConnect) AfterConnect(this);
}

void TADOConnection::Close() {
  if (!Connected()) return;
  if (BeforeDisconnect) BeforeDisconnect(this);
  std::vector<TCustomADODataSet*> sets = dataSets_;
  for (auto* ds : sets) ds->Close();
  if (inTransaction_) {
    try {
      db_.Execute(L"ROLLBACK");
    } catch (...) {
    }
    inTransaction_ = false;
  }
  db_.Close();
  if (AfterDisconnect) AfterDisconnect(this);
}

SqliteDatabase& TADOConnection::Database() {
  Open();
  return db_;
}

int TADOConnection::Execute(const String& commandText) {
  SqliteDatabase& db = Database();
  db.Execute(commandText);
  return db.Changes();
}

void TADOConnection::BeginTrans() {
  Database().Execute(L"BEGIN");
  inTransaction_ = true;
}

void TADOConnection::CommitTrans() {
  Database().Execute(L"COMMIT");
  inTransaction_ = false;
}

void TADOConnection::RollbackTrans() {
  Database().Execute(L"ROLLBACK");
  inTransaction_ = false;
}

void TADOConnection::RegisterDataSet(TCustomADODataSet* ds) {
  if (std::find(dataSets_.begin(), dataSets_.end(), ds) == dataSets_.end()) dataSets_.push_back(ds);
}

void TADOConnection::UnregisterDataSet(TCustomADODataSet* ds) {
  dataSets_.erase(std::remove(dataSets_.begin(), dataSets_.end(), ds), dataSets_.end());
}

// Datasets.

TCustomADODataSet::~TCustomADODataSet() {
  if (connection_) connection_->UnregisterDataSet(this);
}

void TCustomADODataSet::BeforeDestruction() {
  TDataSet::BeforeDestruction();
  SetConnection(nullptr);
}

void TCustomADODataSet::SetConnection(TADOConnection* c) {
  if (c == connection_) return;
  if (Active()) Close();
  if (connection_) {
    connection_->UnregisterDataSet(this);
    connection_->RemoveFreeNotification(this);
  }
  connection_ = c;
  if (connection_) {
    connection_->RegisterDataSet(this);
    connection_->FreeNotification(this);
  }
}

void TCustomADODataSet::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  TDataSet::Notification(component, operation);
  if (operation == vcl::opRemove && component == connection_) {
    try {
      Close();
    } catch (...) {
    }
    connection_ = nullptr;
  }
}

bool TCustomADODataSet::CanModify() const {
  if (lockType_ == ltReadOnly || ReadOnlyDataSet()) return false;
  if (Active()) return !openedTable_.empty();
  return !BaseTable().empty();
}

SqliteDatabase& TCustomADODataSet::OpenDatabase() {
  if (!connection_) DatabaseError(L"Missing Connection or ConnectionString", Name());
  return connection_->Database();
}

void TCustomADODataSet::InternalOpen(std::vector<TResultColumn>& columns, std::vector<std::unique_ptr<TRecord>>& rows) {
  SqliteDatabase& db = OpenDatabase();
  String table = BaseTable();
  std::vector<SqliteDatabase::ColumnInfo> tableCols;
  if (!table.empty()) tableCols = db.TableColumns(table);
  String sql = SelectStatement();
  if (sql.empty()) DatabaseError(L"CommandText does not return a result set", Name());
  SqliteStatement st(db, sql);
  int n = st.ColumnCount();
  if (n == 0) DatabaseError(L"CommandText does not return a result set", Name());

  columns.clear();
  writeColumns_.clear();
  autoIncrement_.clear();
  tableColumns_.clear();
  rowIdAlias_.clear();
  defaultKinds_.clear();
  defaults_.clear();
  statements_.clear();
  hasRowIdColumn_ = false;
  std::vector<int> sourceCol;
  for (int i = 0; i < n; ++i) {
    String name = st.ColumnName(i);
    if (i == 0 && name == kRowIdColumn) {
      hasRowIdColumn_ = true;
      continue;
    }
    const SqliteDatabase::ColumnInfo* info = nullptr;
    for (auto& c : tableCols)
      if (SameName(c.name, name)) info = &c;
    String decl = st.ColumnDeclaredType(i);
    if (decl.empty() && info) decl = info->declaredType;
    StoreColumnType t = MapDeclaredType(decl, info && info->autoIncrement);
    // An INTEGER PRIMARY KEY is the row id itself: the store assigns it, so it behaves as an auto-number.
    if (info && info->primaryKey && t.type == ftInteger && rtl::SameText(rtl::Trim(decl), L"INTEGER") &&
        std::count_if(tableCols.begin(), tableCols.end(), [](auto& c) { return c.primaryKey; }) == 1)
      t.type = ftAutoInc;
    TResultColumn col;
    col.name = name;
    col.type = t.type;
    col.size = t.size;
    col.required = info && info->notNull && t.type != ftAutoInc;
    col.readOnly = !info || t.type == ftAutoInc;
    columns.push_back(col);
    writeColumns_.push_back(info && t.type != ftAutoInc ? info->name : String());
    autoIncrement_.push_back(t.type == ftAutoInc);
    tableColumns_.push_back(info ? info->name : String());
    rowIdAlias_.push_back(t.type == ftAutoInc && info && info->primaryKey);
    defaultKinds_.push_back(!info || !info->hasDefault || t.type == ftAutoInc ? kNoDefault
                            : IsConstantDefault(info->defaultValue)           ? kConstantDefault
                                                                              : kComputedDefault);
    sourceCol.push_back(i);
  }

  // Each row is packed into one block; its cells become values only when read.
  TRecord::Packer packer;
  std::vector<char> large(columns.size(), 0);
  while (st.Step()) {
    packer.Start(columns.size());
    for (size_t c = 0; c < columns.size(); ++c) {
      // Expressions have no declared type: the first value decides.
      if (columns[c].type == ftUnknown) {
        switch (st.ColumnKind(sourceCol[c])) {
          case SqliteStatement::Kind::Integer: columns[c].type = ftInteger; break;
          case SqliteStatement::Kind::Real: columns[c].type = ftFloat; break;
          case SqliteStatement::Kind::Text:
            columns[c].type = ftWideString;
            columns[c].size = 255;
            break;
          case SqliteStatement::Kind::Blob: columns[c].type = ftBlob; break;
          default: break;
        }
      }
      bool big = false;
      long long length =
          PackCell(st, sourceCol[c], columns[c].type, static_cast<size_t>(std::max(columns[c].size, 0)), packer, big);
      if (big) large[c] = 1;
      if (columns[c].type == ftWideString && length > columns[c].size)
        columns[c].size = static_cast<int>(std::min<long long>(length, 2147483647LL));
    }
    auto r = packer.Make();
    if (hasRowIdColumn_) {
      r->rowId = st.ColumnInt64(0);
      r->hasRowId = true;
    }
    rows.push_back(std::move(r));
  }
  for (auto& c : columns)
    if (c.type == ftUnknown) c.type = ftWideString, c.size = 255;
  // The constant defaults, worked out by the store once, so that an insert needs no second look at its row.
  defaults_.assign(columns.size(), FieldValue());
  String select;
  std::vector<size_t> withDefault;
  for (size_t c = 0; c < columns.size(); ++c) {
    if (defaultKinds_[c] != kConstantDefault) continue;
    const SqliteDatabase::ColumnInfo* info = nullptr;
    for (auto& tc : tableCols)
      if (SameName(tc.name, tableColumns_[c])) info = &tc;
    select += (withDefault.empty() ? L"SELECT " : L", ") + info->defaultValue;
    withDefault.push_back(c);
  }
  if (!withDefault.empty()) {
    SqliteStatement values(db, select);
    if (values.Step())
      for (size_t i = 0; i < withDefault.size(); ++i)
        defaults_[withDefault[i]] = ReadCell(values, static_cast<int>(i), columns[withDefault[i]].type);
  }
  // Integer results that do not fit 32 bits are large integers.
  for (size_t c = 0; c < columns.size(); ++c)
    if (columns[c].type == ftInteger && large[c]) columns[c].type = ftLargeint;
  openedTable_ = (!table.empty() && hasRowIdColumn_) ? table : String();
}

String TCustomADODataSet::WritableName(size_t column) const {
  return column < writeColumns_.size() ? writeColumns_[column] : String();
}

void TCustomADODataSet::InternalClose() { statements_.clear(); }

SqliteStatement& TCustomADODataSet::Statement(SqliteDatabase& db, const std::string& key,
                                              const std::function<String()>& build) {
  auto it = statements_.find(key);
  if (it == statements_.end()) it = statements_.emplace(key, std::make_unique<SqliteStatement>(db, build())).first;
  return *it->second;
}

namespace {
// Leaves a cached statement ready for its next use (and holding no lock) however its run ends.
struct ResetAfter {
  SqliteStatement& st;
  ~ResetAfter() { st.Reset(); }
};
}  // namespace

void TCustomADODataSet::InternalPost(TRecord& record, const TRecord* stored) {
  if (openedTable_.empty()) DatabaseError(L"Cannot modify a read-only dataset", Name());
  SqliteDatabase& db = OpenDatabase();
  if (stored)
    UpdateRow(db, record, *stored);
  else
    InsertRow(db, record);
}

void TCustomADODataSet::InsertRow(SqliteDatabase& db, TRecord& record) {
  // Columns left empty take the table's defaults, which the statement hands back with the auto-number: one
  // statement, prepared once for each set of columns given.
  const size_t n = record.values.size();
  std::string& key = key_;
  std::vector<size_t>&cols = given_, &back = readBack_, &constant = constant_;
  key.assign(1, 'I');
  cols.clear();
  back.clear();
  constant.clear();
  size_t rowIdColumn = n;
  for (size_t c = 0; c < n; ++c) {
    bool given = !WritableName(c).empty() && !record.values[c].IsNull();
    key += given ? '1' : '0';
    if (given)
      cols.push_back(c);
    else if (c < rowIdAlias_.size() && rowIdAlias_[c])
      rowIdColumn = c;
    else if (c < defaultKinds_.size() && defaultKinds_[c] == kConstantDefault)
      constant.push_back(c);
    else if (c < defaultKinds_.size() && defaultKinds_[c] == kComputedDefault)
      back.push_back(c);
  }
  SqliteStatement& st = Statement(db, key, [&] {
    String sql = L"INSERT INTO " + QuoteIdentifier(openedTable_);
    if (cols.empty()) {
      sql += L" DEFAULT VALUES";
    } else {
      String names, marks;
      for (size_t i = 0; i < cols.size(); ++i) {
        if (i) names += L", ", marks += L", ";
        names += QuoteIdentifier(WritableName(cols[i]));
        marks += L"?" + std::to_wstring(i + 1);
      }
      sql += L" (" + names + L") VALUES (" + marks + L")";
    }
    if (!back.empty()) {
      sql += L" RETURNING ";
      for (size_t i = 0; i < back.size(); ++i) sql += (i ? L", " : L"") + QuoteIdentifier(tableColumns_[back[i]]);
    }
    return sql;
  });
  ResetAfter reset{st};
  for (size_t i = 0; i < cols.size(); ++i) BindCell(st, static_cast<int>(i + 1), record.values[cols[i]]);
  bool row = st.Step();
  // The record takes what the store filled in only once the row is written.
  if (row)
    for (size_t i = 0; i < back.size(); ++i)
      record.values[back[i]] =
          ReadCell(st, static_cast<int>(i), FieldDefs()->Items(static_cast<int>(back[i]))->DataType);
  record.rowId = db.LastInsertRowId();
  record.hasRowId = true;
  if (rowIdColumn < n) record.values[rowIdColumn] = FieldValue::Integer(record.rowId);
  for (size_t c : constant) record.values[c] = defaults_[c];
}

void TCustomADODataSet::UpdateRow(SqliteDatabase& db, TRecord& record, const TRecord& stored) {
  const size_t n = record.values.size();
  std::string& key = key_;
  std::vector<size_t>& cols = given_;
  key.assign(1, 'U');
  cols.clear();
  FieldValue storedCell;
  for (size_t c = 0; c < n; ++c) {
    bool changed = !WritableName(c).empty() &&
                   (c >= stored.CellCount() || !(record.values[c] == stored.Cell(c, storedCell)));
    key += changed ? '1' : '0';
    if (changed) cols.push_back(c);
  }
  if (cols.empty()) return;
  SqliteStatement& st = Statement(db, key, [&] {
    String sql = L"UPDATE " + QuoteIdentifier(openedTable_) + L" SET ";
    for (size_t i = 0; i < cols.size(); ++i) {
      if (i) sql += L", ";
      sql += QuoteIdentifier(WritableName(cols[i])) + L" = ?" + std::to_wstring(i + 1);
    }
    return sql + L" WHERE rowid = ?" + std::to_wstring(cols.size() + 1);
  });
  ResetAfter reset{st};
  for (size_t i = 0; i < cols.size(); ++i) BindCell(st, static_cast<int>(i + 1), record.values[cols[i]]);
  st.BindInt64(static_cast<int>(cols.size() + 1), stored.rowId);
  st.Step();
  if (db.Changes() == 0)
    throw EADOError(L"Row cannot be located for updating. Some values may have been changed since it was last read.");
}

void TCustomADODataSet::InternalDelete(TRecord& record) {
  if (openedTable_.empty()) DatabaseError(L"Cannot modify a read-only dataset", Name());
  SqliteDatabase& db = OpenDatabase();
  SqliteStatement& st =
      Statement(db, "D", [&] { return L"DELETE FROM " + QuoteIdentifier(openedTable_) + L" WHERE rowid = ?1"; });
  ResetAfter reset{st};
  st.BindInt64(1, record.rowId);
  st.Step();
  if (db.Changes() == 0)
    throw EADOError(L"Row cannot be located for deleting. Some values may have been changed since it was last read.");
}

// Table.

void TADOTable::SetTableName(const String& name) {
  if (name == tableName_) return;
  if (Active()) Close();
  tableName_ = name;
}

String TADOTable::SelectStatement() const {
  if (tableName_.empty()) return String();
  return String(L"SELECT rowid AS \"") + kRowIdColumn + L"\", * FROM " + QuoteIdentifier(tableName_);
}

// Query.

TADOQuery::TADOQuery(vcl::TComponent* owner) : TCustomADODataSet(owner), sql_(std::make_unique<rtl::TStringList>()) {
  sql_->OnChange = [this](rtl::TObject*) {
    if (Active()) Close();
  };
}

TADOQuery::~TADOQuery() { sql_->OnChange = nullptr; }

rtl::TStrings* TADOQuery::SQL() const { return sql_.get(); }

void TADOQuery::SetSQL(rtl::TStrings* lines) { sql_->Assign(lines); }

String TADOQuery::SQLText() const {
  String s;
  for (int i = 0; i < sql_->Count(); ++i) {
    if (i) s += L"\r\n";
    s += sql_->Get(i);
  }
  return s;
}

void TADOQuery::SetSQLText(const String& text) {
  if (text == SQLText()) return;
  sql_->SetText(text);
}

String TADOQuery::BaseTable() const { return SimpleSelectTable(SQLText()); }

String TADOQuery::SelectStatement() const {
  String table = BaseTable();
  if (table.empty()) return SQLText();
  // The simple form gains the row id so its rows can be written back: "select *" becomes
  // "select rowid, *"; the rest of the text stays as written.
  String s = SQLText();
  size_t star = s.find(L'*');
  return s.substr(0, star) + L"rowid AS \"" + kRowIdColumn + L"\", " + s.substr(star);
}

int TADOQuery::ExecSQL() {
  if (!Connection()) DatabaseError(L"Missing Connection or ConnectionString", Name());
  rowsAffected_ = Connection()->Execute(SQLText());
  return rowsAffected_;
}

}  // namespace db
