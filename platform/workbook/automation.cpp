#include "platform/workbook/automation.h"

#include <memory>

#include "platform/ole/autoserver.h"
#include "platform/ole/oleauto.h"
#include "platform/rtl/files.h"
#include "platform/rtl/strings.h"
#include "platform/workbook/workbook.h"

namespace workbook {

namespace {

using ole::TAutoObject;
using Book = std::shared_ptr<const TWorkbook>;

[[noreturn]] void Refuse(const String& what) { throw ole::EOleError(what); }

bool IsPut(unsigned short flags) { return (flags & (ole::dispPropertyPut | ole::dispPropertyPutRef)) != 0; }

int IndexArg(const std::vector<Variant>& args, size_t i) {
  if (i >= args.size()) Refuse(L"Eksik bağımsız değişken");
  return args[i].AsInteger();
}

class TRange : public TAutoObject {
 public:
  enum class View { Cells, Rows, Columns };
  TRange(Book book, const TWorksheet* sheet, TCellRange range, View view = View::Cells)
      : book_(std::move(book)), sheet_(sheet), range_(range), view_(view) {}

 protected:
  const std::vector<String>& Members() const override {
    static const std::vector<String> names = {L"Rows", L"Columns", L"Count", L"Row", L"Column", L"Cells", L"Value"};
    return names;
  }
  Variant Call(int member, unsigned short flags, const std::vector<Variant>& args) override {
    if (IsPut(flags)) Refuse(L"Çalışma kitabı yalnızca okunur");
    switch (member) {
      case 0:
        return ole::AutoObjectVariant(new TRange(book_, sheet_, range_, View::Rows));
      case 1:
        return ole::AutoObjectVariant(new TRange(book_, sheet_, range_, View::Columns));
      case 2:
        if (view_ == View::Rows) return Variant(range_.RowCount());
        if (view_ == View::Columns) return Variant(range_.ColumnCount());
        return Variant(range_.RowCount() * range_.ColumnCount());
      // An empty sheet's used range is its first cell, as the spreadsheet program answers.
      case 3:
        return Variant(range_.IsEmpty() ? 1 : range_.FirstRow);
      case 4:
        return Variant(range_.IsEmpty() ? 1 : range_.FirstColumn);
      case 5: {
        if (args.empty()) return ole::AutoObjectVariant(new TRange(book_, sheet_, range_));
        // Relative to the range's first cell.
        int row = (range_.IsEmpty() ? 1 : range_.FirstRow) + IndexArg(args, 0) - 1;
        int column = (range_.IsEmpty() ? 1 : range_.FirstColumn) + IndexArg(args, 1) - 1;
        return ole::AutoObjectVariant(new TRange(book_, sheet_, Single(row, column)));
      }
      case 6:
        if (range_.RowCount() != 1 || range_.ColumnCount() != 1) Refuse(L"Yalnızca tek hücrenin değeri okunabilir");
        return sheet_->Cell(range_.FirstRow, range_.FirstColumn);
    }
    Refuse(L"Bilinmeyen üye");
  }

 public:
  static TCellRange Single(int row, int column) {
    if (row < 1 || column < 1 || row > kMaxRows || column > kMaxColumns) Refuse(L"Hücre adresi sayfanın dışında");
    return TCellRange{row, column, row, column};
  }

 private:
  Book book_;
  const TWorksheet* sheet_;
  TCellRange range_;
  View view_;
};

class TSheet : public TAutoObject {
 public:
  TSheet(Book book, const TWorksheet* sheet) : book_(std::move(book)), sheet_(sheet) {}

 protected:
  const std::vector<String>& Members() const override {
    static const std::vector<String> names = {L"Name", L"UsedRange", L"Cells"};
    return names;
  }
  Variant Call(int member, unsigned short flags, const std::vector<Variant>& args) override {
    if (IsPut(flags)) Refuse(L"Çalışma kitabı yalnızca okunur");
    switch (member) {
      case 0:
        return Variant(sheet_->Name());
      case 1:
        return ole::AutoObjectVariant(new TRange(book_, sheet_, sheet_->UsedRange()));
      case 2:
        if (args.empty())
          return ole::AutoObjectVariant(new TRange(book_, sheet_, TCellRange{1, 1, kMaxRows, kMaxColumns}));
        return ole::AutoObjectVariant(new TRange(book_, sheet_, TRange::Single(IndexArg(args, 0), IndexArg(args, 1))));
    }
    Refuse(L"Bilinmeyen üye");
  }

 private:
  Book book_;
  const TWorksheet* sheet_;
};

Variant SheetByIndex(const Book& book, const Variant& index) {
  if (index.IsString()) {
    for (int i = 1; i <= book->WorksheetCount(); ++i)
      if (rtl::AnsiSameText(book->Worksheet(i)->Name(), index.AsString()))
        return ole::AutoObjectVariant(new TSheet(book, book->Worksheet(i)));
    Refuse(L"\"" + index.AsString() + L"\" adlı bir sayfa yok");
  }
  const TWorksheet* sheet = book->Worksheet(index.AsInteger());
  if (!sheet) Refuse(L"Çalışma kitabında " + rtl::IntToStr(index.AsInteger()) + L". sayfa yok");
  return ole::AutoObjectVariant(new TSheet(book, sheet));
}

Variant ActiveSheetOf(const Book& book) {
  const TWorksheet& sheet = book->Sheet(book->ActiveSheet());
  // A chart sheet has no cells: its cells are read as empty ones.
  return ole::AutoObjectVariant(new TSheet(book, &sheet));
}

class TSheets : public TAutoObject {
 public:
  explicit TSheets(Book book) : book_(std::move(book)) {}

 protected:
  const std::vector<String>& Members() const override {
    static const std::vector<String> names = {L"Count", L"Item"};
    return names;
  }
  Variant Call(int member, unsigned short flags, const std::vector<Variant>& args) override {
    if (IsPut(flags)) Refuse(L"Çalışma kitabı yalnızca okunur");
    if (member == 0) return Variant(book_->WorksheetCount());
    if (args.empty()) Refuse(L"Eksik bağımsız değişken");
    return SheetByIndex(book_, args[0]);
  }

 private:
  Book book_;
};

class TBook : public TAutoObject {
 public:
  explicit TBook(Book book) : book_(std::move(book)) {}

 protected:
  const std::vector<String>& Members() const override {
    static const std::vector<String> names = {L"Worksheets", L"Sheets", L"ActiveSheet", L"Name", L"Close"};
    return names;
  }
  Variant Call(int member, unsigned short flags, const std::vector<Variant>& args) override {
    if (IsPut(flags)) Refuse(L"Çalışma kitabı yalnızca okunur");
    switch (member) {
      case 0:
      case 1:
        if (args.empty()) return ole::AutoObjectVariant(new TSheets(book_));
        return SheetByIndex(book_, args[0]);
      case 2:
        return ActiveSheetOf(book_);
      case 3:
        return Variant(rtl::ExtractFileName(book_->FileName()));
      case 4:
        return Variant();
    }
    Refuse(L"Bilinmeyen üye");
  }

 private:
  Book book_;
};

// What one running instance has open, shared by the application and its workbook list.
struct TInstance {
  std::vector<Book> books;
  bool visible = false, displayAlerts = true;
};

class TBooks : public TAutoObject {
 public:
  explicit TBooks(std::shared_ptr<TInstance> app) : app_(std::move(app)) {}

 protected:
  const std::vector<String>& Members() const override {
    static const std::vector<String> names = {L"Open", L"Count", L"Item"};
    return names;
  }
  Variant Call(int member, unsigned short flags, const std::vector<Variant>& args) override {
    if (IsPut(flags)) Refuse(L"Çalışma kitabı yalnızca okunur");
    switch (member) {
      case 0: {
        if (args.empty()) Refuse(L"Dosya adı verilmedi");
        Book book = TWorkbook::Open(args[0].AsString());
        app_->books.push_back(book);
        return ole::AutoObjectVariant(new TBook(book));
      }
      case 1:
        return Variant(static_cast<int>(app_->books.size()));
      case 2: {
        int i = IndexArg(args, 0);
        if (i < 1 || i > static_cast<int>(app_->books.size())) Refuse(L"Böyle bir çalışma kitabı açık değil");
        return ole::AutoObjectVariant(new TBook(app_->books[static_cast<size_t>(i - 1)]));
      }
    }
    Refuse(L"Bilinmeyen üye");
  }

 private:
  std::shared_ptr<TInstance> app_;
};

class TApplication : public TAutoObject {
 public:
  TApplication() : app_(std::make_shared<TInstance>()) {}

 protected:
  const std::vector<String>& Members() const override {
    static const std::vector<String> names = {L"Visible",     L"DisplayAlerts", L"Workbooks", L"ActiveWorkbook",
                                              L"ActiveSheet", L"Worksheets",    L"Cells",     L"Quit"};
    return names;
  }
  Variant Call(int member, unsigned short flags, const std::vector<Variant>& args) override {
    bool put = IsPut(flags);
    switch (member) {
      case 0:
        if (put) app_->visible = !args.empty() && args.back().AsBoolean();
        return put ? Variant() : Variant(app_->visible);
      case 1:
        if (put) app_->displayAlerts = !args.empty() && args.back().AsBoolean();
        return put ? Variant() : Variant(app_->displayAlerts);
      case 7:
        app_->books.clear();
        return Variant();
    }
    if (put) Refuse(L"Çalışma kitabı yalnızca okunur");
    switch (member) {
      case 2:
        return ole::AutoObjectVariant(new TBooks(app_));
      case 3:
        return ole::AutoObjectVariant(new TBook(Active()));
      case 4:
        return ActiveSheetOf(Active());
      case 5:
        if (args.empty()) return ole::AutoObjectVariant(new TSheets(Active()));
        return SheetByIndex(Active(), args[0]);
      case 6: {
        Variant sheet = ActiveSheetOf(Active());
        return ole::DispatchInvoke(sheet, L"Cells", ole::dispMethod | ole::dispPropertyGet, args);
      }
    }
    Refuse(L"Bilinmeyen üye");
  }

 private:
  // The workbook opened last is the one shown.
  Book Active() const {
    if (app_->books.empty()) Refuse(L"Açık bir çalışma kitabı yok");
    return app_->books.back();
  }
  std::shared_ptr<TInstance> app_;
};

}  // namespace

bool RegisterExcelAutomation() {
  static const bool done = [] {
    ole::RegisterAutoClass(L"excel.application", [] { return ole::AutoObjectVariant(new TApplication()); });
    return true;
  }();
  return done;
}

}  // namespace workbook
