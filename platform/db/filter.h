#pragma once
// The client-side filter: the provider's filter syntax over the rows a dataset holds.
//
//   okulno='123'        okulno like '12*'      okulno like '%3%'     sinif<>'9' and sube='A'     tarih >= #1.2.2020#
//
// Text compares without regard to case (the same for every user locale); "like" takes '*' or '%' for any run of
// characters and compares literally otherwise. A quoted value compared with a number column is read as a number; a
// value that is no number matches no row. "like" on a number column matches the number's decimal text.
#include <functional>
#include <memory>
#include <vector>

#include "platform/db/dbtypes.h"

namespace db {

class FilterExpression {
public:
  // Raises EDatabaseError for a text that is not a filter.
  explicit FilterExpression(const String& text);
  ~FilterExpression();

  // resolve answers the value and type of a named column of the row being tested; false when there is no such
  // column (which raises EDatabaseError naming it).
  using Resolver = std::function<bool(const String& column, FieldValue& value, TFieldType& type)>;
  bool Matches(const Resolver& resolve) const;

  // The fast way for many rows: every column name is looked up once (find answers its position in a row and its
  // type; false raises EDatabaseError naming it), then rows are tested by position.
  using ColumnFinder = std::function<bool(const String& column, int& index, TFieldType& type)>;
  void Bind(const ColumnFinder& find);
  // A row of count cells: cell answers the one at a position, valid until its next call.
  using CellAt = std::function<const FieldValue&(int index)>;
  bool Matches(const CellAt& cell, size_t count) const;
  bool Matches(const std::vector<FieldValue>& row) const;

  struct Node;

private:
  std::unique_ptr<Node> root_;
};

// Case-insensitive match of text against a pattern whose '*' and '%' stand for any run of characters.
bool FilterLikeMatch(const String& text, const String& pattern);

}  // namespace db
