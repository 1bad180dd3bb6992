#pragma once
// The skinned bound grid: one row per record of its data source. Without an active skin it is the platform's bound
// grid, whose click makes the record current before OnCellClick runs; its data cells and one-line titles look as the
// platform draws them. Title captions may hold several levels split by LevelDelimiterChar ("Parent|Child"):
// adjacent columns whose captions agree at a level share one title cell there, so a group header spans the columns
// it covers, and a caption with fewer levels runs down over the rows below. With an active skin the titles and the
// indicator paint from the column-header section, the cells in the skin's edit colours, the current cell from the
// selection section, and the grid lines in a mix of the edit colours.
// The wheel only moves the current record (one per notch), never edits one.
#include <memory>

#include "platform/db/dbgrids.h"
#include "skin/core/sCommonData.h"

class TsDBGrid;
class TlvScrollWnd;

VCL_ENUM(TGridDrawStateItemEx, geHighlight, geActiveRow, geMultiSelected)
VCL_SET(TGridDrawStateEx, TGridDrawStateItemEx)
using TGetCellTextEvent = vcl::TEvent<void(rtl::TObject* Sender, db::TField* Field, rtl::String& Text)>;
using TGetCellParamsEvent =
    vcl::TEvent<void(rtl::TObject* Sender, db::TField* Field, vcl::TFont* AFont, vcl::TColor& Background,
                     db::TGridDrawState State, TGridDrawStateEx StateEx)>;

// A column title whose caption may hold levels.
class TlvColumnTitle : public db::TColumnTitle {
  VCL_CLASS(TlvColumnTitle, db::TColumnTitle)
  explicit TlvColumnTitle(db::TColumn* column = nullptr) : db::TColumnTitle(column), FColumn(column) {}
  // The caption shown: the one assigned, else the field's label.
  rtl::String GetCaption() const;
  // A caption was assigned and differs from the default one; only such a caption is split into levels.
  bool IsCaptionStored() const;

 private:
  db::TColumn* FColumn;
};

class TlvDBColumn : public db::TColumn {
  VCL_CLASS(TlvDBColumn, db::TColumn)
  explicit TlvDBColumn(vcl::TCollection* collection);
  void Assign(const rtl::TPersistent* source) override;

  // The column's width never goes below it.
  int MinWidth() const { return FMinWidth; }
  void SetMinWidth(int value);
  int Width() const { return db::TColumn::Width(); }
  void SetWidth(int value);
  // The current memo cell of this column shows a small button (pressed by the mouse; a press is only shown).
  bool ShowMemoBtn() const { return FShowMemoBtn; }
  void SetShowMemoBtn(bool value) { FShowMemoBtn = value; }
  // The column's field is a memo (of either width) and ShowMemoBtn is on.
  bool CanShowBtn() const;
  TlvColumnTitle* Title() const { return static_cast<TlvColumnTitle*>(db::TColumn::Title()); }

 private:
  int FMinWidth = 0;
  bool FShowMemoBtn = true;
};

class TlvDBGridColumns : public db::TDBGridColumns {
  VCL_CLASS(TlvDBGridColumns, db::TDBGridColumns)
  explicit TlvDBGridColumns(TsDBGrid* grid);
  TlvDBColumn* Items(int index) const { return static_cast<TlvDBColumn*>((*this)[index]); }

 protected:
  void Update(vcl::TCollectionItem* item) override;
};

// Number of levels of a caption: 0 when empty, else 1 + the delimiters in it.
int GetCaptionDepth(const rtl::String& caption, wchar_t delimiter);
// The text of level (from 0) of a caption; empty when the caption has fewer levels.
rtl::String GetCaptionLevel(const rtl::String& caption, int level, wchar_t delimiter);

using TAfterScrollEvent = vcl::TEvent<void(rtl::TObject* Sender, unsigned ScrollBar)>;

class TsDBGrid : public db::TDBGrid {
  VCL_CLASS(TsDBGrid, db::TDBGrid)
  void WndProc(vcl::TMessage& message) override;
  explicit TsDBGrid(vcl::TComponent* owner);
  ~TsDBGrid() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsScrollWndData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsScrollWndData* value) { FCommonData->Assign(value); }
  TlvDBGridColumns* Columns() const { return static_cast<TlvDBGridColumns*>(db::TDBGrid::Columns()); }
  wchar_t LevelDelimiterChar() const { return FLevelDelimiterChar; }
  // Takes effect at the next layout change (a caption or column change).
  void SetLevelDelimiterChar(wchar_t value) { FLevelDelimiterChar = value; }
  // Number of title rows.
  int HeaderHeight() const { return FHeaderHeight; }
  // Height of the title row: (DefaultRowHeight + 1) per title row, less 1.
  int TitleHeight() const override;
  // Recounts the title rows from the captions.
  void UpdateHeaderHeight();
  // The vertical band of a title level (Left = Right = 0); all zero without columns.
  vcl::TRect GetTitleLevel(int level);
  // The last visible column of the run from visible column col whose captions agree at level.
  int GetRightColIndex(int col, int level);
  // Every visible column as wide as the widest display text of its field over the records in view, or its title,
  // + 4.
  void AdjustColumns();
  // One visible column fitted to the display texts over the records in view (and its title when asked) + 4.
  void FitColumn(int col, bool withTitle);
  // A double-click on a title's right border fitted that column (until the next press).
  bool ColumnFitted() const { return FExecColAjust; }
  // The text a data cell shows, and its font and background, may be changed here (the grid then draws the cell
  // itself also without a skin).
  TGetCellTextEvent OnGetCellText;
  TGetCellParamsEvent OnGetCellParams;
  // The rows moved with the dataset (after the platform's scrolling).
  vcl::TNotifyEvent OnScrollData;
  // A scroll bar was used: 1 the vertical one, 0 the horizontal one.
  TAfterScrollEvent OnAfterScroll;
  void Scroll(int distance) override;
  // The window wrapper that paints the frame and scroll bars while a skin is active; nullptr without one.
  TlvScrollWnd* ListSW = nullptr;
  // The caption of a visible column and whether it splits into levels.
  rtl::String CaptionOf(int col) const;
  bool CaptionStored(int col) const;
  // The memo button of a cell rectangle: empty when the cell is narrower than its height + 5.
  static vcl::TRect GetButtonRect(const vcl::TRect& cell);
  // The point lies on the memo button of the current cell.
  bool IsOnButton(int x, int y);
  // A memo button is held down and shown pressed (the mouse is over it).
  bool CellButtonPressed() const { return FCellButtonDown >= 0 && FCellButtonPressed; }

 protected:
  void Paint() override;
  void DrawCell(int col, int row, const vcl::TRect& rect, db::TGridDrawState state) override;
  void DrawColumnCell(const vcl::TRect& rect, int dataCol, db::TColumn* column, db::TGridDrawState state) override;
  void DrawTitleCell(int dataCol, const vcl::TRect& rect);
  void DrawIndicator(const vcl::TRect& rect, bool marker);
  void RepaintTitles();
  void DoMouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
  void DoMouseMove(vcl::TShiftState shift, int x, int y) override;
  void DoMouseUp(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) override;
  // The memo button shows in this cell: a memo column's current cell, wide enough, rows not selected whole.
  bool ShowsButton(const vcl::TRect& rect, int dataCol, db::TColumn* column, db::TGridDrawState state);
  // The cell's memo button in the given look.
  void DrawButton(vcl::TCanvas* c, const vcl::TRect& button, bool pressed);
  // The cell rectangle of data column col in the row of the current record.
  vcl::TRect CurrentCellRect(int col);
  // The visible column whose title's right border is at x (within 3 pixels), or -1.
  int BorderColumnAt(int x) const;
  // The section of titles and indicator: COLHEADER, else BUTTON; -1 without grid lines.
  int HeaderSection();
  // Left edge of a visible column as the platform lays the titles out.
  int ColumnLeft(int col) const;
  // Keeps ListSW in step with the skin: a live wrapper while skinned, none otherwise.
  void RefreshGridScrolls();
  void FreeGridScrolls();
  void ApplySkinColors();
  // WM_PRINT while skinned: through the wrapper (made first when there is none), frame and bars included.
  bool PrintThroughWrapper(vcl::TMessage& message);

  std::unique_ptr<TsScrollWndData> FCommonData;
  wchar_t FLevelDelimiterChar = L'|';
  int FHeaderHeight = 1;
  bool FExecColAjust = false;
  // The memo button being held: its data column (-1 none), its cell and button rectangles, and whether the mouse
  // is over it (shown pressed).
  int FCellButtonDown = -1;
  vcl::TRect FCellButtonRect, FCellButtonBRect;
  bool FCellButtonPressed = false;
};
