#pragma once
// The data-aware grid: one row per record of its data source around the current one, one column per field.
//
// Clicking a row makes its record current before OnCellClick runs. Arrow keys and the wheel move the current
// record; neither ever appends or edits a record. Columns wider together than the grid scroll sideways (by the
// horizontal bar, shift with the wheel, or the selection moving out of view) while the indicator stays in place;
// dragging a title's right border sets that column's Width. Cells are not edited in place: the screens edit through
// their bound controls.
#include <memory>

#include "platform/db/datasource.h"
#include "platform/vcl/collection.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/stdctrls.h"

namespace db {

class TDBGrid;
class TColumn;

class TColumnTitle : public rtl::TPersistent {
  VCL_CLASS(TColumnTitle, rtl::TPersistent)
  explicit TColumnTitle(TColumn* column = nullptr) : column_(column) {}
  // Empty: the column is titled with its field's display label, which is the field name unless set.
  const String& Caption() const { return caption_; }
  void SetCaption(const String& v);
  vcl::TAlignment Alignment() const { return alignment_; }
  void SetAlignment(vcl::TAlignment a) { alignment_ = a; }
  void Assign(const rtl::TPersistent* source) override;

private:
  TColumn* column_;
  String caption_;
  vcl::TAlignment alignment_ = vcl::taLeftJustify;
};

class TColumn : public vcl::TCollectionItem {
  VCL_CLASS(TColumn, vcl::TCollectionItem)
  explicit TColumn(vcl::TCollection* collection);
  ~TColumn() override;

  const String& FieldName() const { return fieldName_; }
  void SetFieldName(const String& v);
  TField* Field() const;
  TColumnTitle* Title() const { return title_.get(); }
  void SetTitle(TColumnTitle* t) { title_->Assign(t); }
  int Width() const { return width_ > 0 ? width_ : DefaultWidth(); }
  void SetWidth(int w);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  int DropDownRows() const { return dropDownRows_; }
  void SetDropDownRows(int n) { dropDownRows_ = n; }
  // The text of the title: the caption, else the field's display label, else the field name.
  String TitleText() const;
  TDBGrid* Grid() const;
  String DisplayName() const override { return fieldName_.empty() ? vcl::TCollectionItem::DisplayName() : fieldName_; }
  void Assign(const rtl::TPersistent* source) override;
  void TitleChanged() { Changed(false); }

protected:
  // A column class with a title class of its own puts it in place from its constructor.
  void ReplaceTitle(std::unique_ptr<TColumnTitle> title) { title_ = std::move(title); }

private:
  int DefaultWidth() const;

  String fieldName_;
  std::unique_ptr<TColumnTitle> title_;
  int width_ = 0;
  bool visible_ = true;
  int dropDownRows_ = 7;
};

class TDBGridColumns : public vcl::TCollection {
  VCL_CLASS(TDBGridColumns, vcl::TCollection)
  explicit TDBGridColumns(TDBGrid* grid);
  // A collection of a column class of one's own (derived from TColumn).
  TDBGridColumns(TDBGrid* grid, const vcl::TClassInfo* columnClass);
  TDBGrid* Grid() const { return grid_; }
  TColumn* operator[](int i) const { return Items<TColumn>(i); }
  TColumn* AddColumn() { return Add<TColumn>(); }

protected:
  void Update(vcl::TCollectionItem* item) override;

private:
  TDBGrid* grid_;
};

VCL_ENUM(TDBGridOption, dgEditing, dgAlwaysShowEditor, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines,
         dgTabs, dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit, dgMultiSelect, dgTitleClick,
         dgTitleHotTrack)
VCL_SET(TDBGridOptions, TDBGridOption)
VCL_ENUM(TGridDrawingStyle, gdsClassic, gdsThemed, gdsGradient)

VCL_ENUM(TGridDrawStateItem, gdSelected, gdFocused, gdFixed, gdRowSelected, gdHotTrack, gdPressed)
VCL_SET(TGridDrawState, TGridDrawStateItem)

using TDBGridClickEvent = vcl::TEvent<void(TColumn* Column)>;

// The box a grid shows over its selected cell while the user edits that cell.
class TInplaceEdit : public vcl::TCustomEdit {
  VCL_CLASS(TInplaceEdit, vcl::TCustomEdit)
  explicit TInplaceEdit(vcl::TComponent* owner);
  TDBGrid* Grid() const;

protected:
  void CreateParams(vcl::TCreateParams& p) override;
  void KeyDown(rtl::Word& key, vcl::TShiftState shift) override;
  void KeyPress(wchar_t& key) override;
  void Change() override;
  void Dispatch(vcl::TMessage& m) override;
};
using TDrawColumnCellEvent =
    vcl::TEvent<void(rtl::TObject* Sender, const vcl::TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State)>;

class TDBGrid : public vcl::TCustomControl {
  VCL_CLASS(TDBGrid, vcl::TCustomControl)
  explicit TDBGrid(vcl::TComponent* owner);
  ~TDBGrid() override;

  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* source);
  TDBGridColumns* Columns() const { return columns_.get(); }
  void SetColumns(TDBGridColumns* c) { columns_->Assign(c); }
  TDBGridOptions Options() const { return options_; }
  void SetOptions(TDBGridOptions o);
  TGridDrawingStyle DrawingStyle() const { return drawingStyle_; }
  void SetDrawingStyle(TGridDrawingStyle s);
  vcl::TColor GradientStartColor() const { return gradientStart_; }
  void SetGradientStartColor(vcl::TColor c);
  vcl::TColor GradientEndColor() const { return gradientEnd_; }
  void SetGradientEndColor(vcl::TColor c);
  vcl::TFont* TitleFont() const { return titleFont_.get(); }
  void SetTitleFont(vcl::TFont* f) { titleFont_->Assign(f); }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v) { readOnly_ = v; }
  int DefaultRowHeight() const { return rowHeight_; }
  void SetDefaultRowHeight(int h);

  // The columns shown: the declared ones that are visible, or one per visible field when none are declared.
  int VisibleColumnCount() const;
  TColumn* VisibleColumn(int index) const;
  // Rows of records that fit below the title.
  int VisibleRowCount();
  // The data column and record row (0-based, -1 for the title) at a client point; false outside any cell.
  bool CellAt(int x, int y, int& column, int& row);
  // The first data column shown beside the indicator; the others scroll out of view to the left.
  int LeftCol() const { return leftCol_; }
  void SetLeftCol(int column);
  // Scrolls sideways as little as needed to show the whole data column (its left edge when it is wider than the
  // grid).
  void MakeColumnVisible(int column);
  // Index of the current record among the shown rows.
  int SelectedRow() const;

  // The grid draws its data cells itself unless this is off (then OnDrawColumnCell alone draws them).
  bool DefaultDrawing() const { return defaultDrawing_; }
  void SetDefaultDrawing(bool v) { defaultDrawing_ = v; }
  // The data link that holds the window of records the rows show.
  TDataLink* DataLink() const;
  // The selected column among the visible ones, and its field.
  int SelectedIndex() const { return selectedIndex_; }
  void SetSelectedIndex(int index);
  TField* SelectedField() const;
  // The in-place editor over the selected cell (dgEditing, a field that can be modified).
  void ShowEditor();
  void HideEditor();
  bool EditorMode() const { return editorShown_; }
  TInplaceEdit* InplaceEditor() const { return editor_; }
  // The text and look of one data cell the way the grid draws it by default.
  void DefaultDrawColumnCell(const vcl::TRect& rect, int dataCol, TColumn* column, TGridDrawState state);
  // The text a cell shows: one line, each line break (CR LF, CR or LF) and control character a blank.
  static String OneLine(const String& text);

  TDBGridClickEvent OnCellClick;
  TDBGridClickEvent OnTitleClick;
  TDrawColumnCellEvent OnDrawColumnCell;

  // From the data link, the columns and the editor.
  void LinkChanged();
  // The dataset moved its current record by distance (the rows may have scrolled); a descendant may follow.
  virtual void Scroll(int distance) {}
  void ColumnsChanged();
  void EditorChanged();
  void EditorKey(rtl::Word& key, vcl::TShiftState shift);
  // Hands the editor's text to the field (when it was changed).
  void UpdateEditorData();

protected:
  // Cells in grid coordinates: column 0 is the indicator (with dgIndicator), row 0 the titles (with dgTitles).
  virtual void DrawCell(int col, int row, const vcl::TRect& rect, TGridDrawState state);
  // A data cell: DefaultDrawColumnCell when DefaultDrawing, then OnDrawColumnCell.
  virtual void DrawColumnCell(const vcl::TRect& rect, int dataCol, TColumn* column, TGridDrawState state);
  virtual bool HighlightCell(int dataCol, int dataRow, const String& value, TGridDrawState state);
  virtual void TitleClick(TColumn* column);
  virtual void CellClick(TColumn* column);
  // A grid with a column collection of its own puts it in place from its constructor.
  void ReplaceColumns(std::unique_ptr<TDBGridColumns> columns);
  // Height of the title row; a grid whose titles take several lines makes it taller.
  virtual int TitleHeight() const { return options_.Contains(dgTitles) ? rowHeight_ : 0; }
  void Paint() override;
  void Resize() override;
  void DoMouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
  void DoMouseMove(vcl::TShiftState shift, int x, int y) override;
  void DoMouseUp(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
  void KeyDown(rtl::Word& key, vcl::TShiftState shift) override;
  void KeyPress(wchar_t& key) override;
  void Dispatch(vcl::TMessage& m) override;
  void CreateParams(vcl::TCreateParams& p) override;
  void CreateWnd() override;

private:
  class TGridDataLink;
  void RebuildDefaultColumns();
  int IndicatorWidth() const { return options_.Contains(dgIndicator) ? 11 : 0; }
  void PaintTitle(vcl::TCanvas* c, const vcl::TRect& r, TColumn* col);
  void UpdateScrollBar();
  void UpdateHorzScrollBar();
  void Scrolled(int code, int thumb);
  void HorzScrolled(int code, int thumb);
  // Width beside the indicator that the data columns share.
  int DataAreaWidth();
  // The largest LeftCol: the first of the last columns that fit together.
  int MaxLeftCol();
  // The data column whose title's right border is at x (within a few pixels), or -1.
  int SizingBorderAt(int x, int y);
  void EndColumnSizing();

  std::unique_ptr<TGridDataLink> link_;
  std::unique_ptr<TDBGridColumns> columns_;
  std::unique_ptr<TDBGridColumns> defaultColumns_;
  std::unique_ptr<vcl::TFont> titleFont_;
  TDBGridOptions options_{dgEditing, dgTitles,        dgIndicator,    dgColumnResize, dgColLines,     dgRowLines,
                          dgTabs,    dgConfirmDelete, dgCancelOnExit, dgTitleClick,   dgTitleHotTrack};
  TGridDrawingStyle drawingStyle_ = gdsThemed;
  vcl::TColor gradientStart_ = vcl::clWindow;
  vcl::TColor gradientEnd_ = vcl::clBtnFace;
  bool readOnly_ = false;
  bool defaultDrawing_ = true;
  int rowHeight_ = 18;
  int paintedDataRow_ = -1;
  int selectedIndex_ = 0;
  int leftCol_ = 0;
  int sizingCol_ = -1;
  int sizingStartX_ = 0;
  int sizingStartWidth_ = 0;
  TInplaceEdit* editor_ = nullptr;
  bool editorShown_ = false;
  bool editorModified_ = false;
  bool settingEditor_ = false;
  vcl::TRect CellRect(int dataCol, int dataRow);
  bool CanEditCell();
};

}  // namespace db
