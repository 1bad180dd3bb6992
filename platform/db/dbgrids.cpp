#include "platform/db/dbgrids.h"

#include <algorithm>
#include <vector>

#include "platform/vcl/canvas.h"
#include "platform/vcl/messages.h"

namespace db {

namespace {
// Narrowest a column can be dragged to: a border that can still be grabbed again.
constexpr int kMinColumnWidth = 8;
// How far from a title's right border the mouse may be to grab it.
constexpr int kBorderGrip = 3;
// The tilt wheel's message, which older headers lack.
constexpr UINT kMouseHWheel = 0x020E;
}  // namespace

// The grid's link: a window of records as tall as the grid.
class TDBGrid::TGridDataLink : public TDataLink {
public:
  explicit TGridDataLink(TDBGrid* grid) : grid_(grid) {}

protected:
  void ActiveChanged() override { grid_->LinkChanged(); }
  void DataSetChanged() override {
    grid_->HideEditor();
    grid_->LinkChanged();
  }
  void DataSetScrolled(int distance) override {
    grid_->HideEditor();
    grid_->LinkChanged();
    grid_->Scroll(distance);
  }
  void UpdateData() override { grid_->UpdateEditorData(); }
  void LayoutChanged() override { grid_->LinkChanged(); }
  void RecordChanged(TField*) override { grid_->Invalidate(); }
  void EditingChanged() override { grid_->Invalidate(); }

private:
  TDBGrid* grid_;
};

// In-place editor.

TInplaceEdit::TInplaceEdit(vcl::TComponent* owner) : vcl::TCustomEdit(owner) {
  SetVisible(false);
  tab_stop_ = false;
}

TDBGrid* TInplaceEdit::Grid() const { return dynamic_cast<TDBGrid*>(Owner()); }

void TInplaceEdit::CreateParams(vcl::TCreateParams& p) {
  vcl::TCustomEdit::CreateParams(p);
  p.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
}

void TInplaceEdit::KeyDown(rtl::Word& key, vcl::TShiftState shift) {
  vcl::TCustomEdit::KeyDown(key, shift);
  if (key && Grid()) Grid()->EditorKey(key, shift);
}

void TInplaceEdit::KeyPress(wchar_t& key) {
  vcl::TCustomEdit::KeyPress(key);
  TDBGrid* g = Grid();
  TField* f = g ? g->SelectedField() : nullptr;
  if (key >= 32 && f && !f->IsValidChar(key)) {
    MessageBeep(0);
    key = 0;
  }
  // Enter and Escape were handled as keys; their characters would only beep.
  if (key == 13 || key == 27) key = 0;
}

void TInplaceEdit::Change() {
  if (TDBGrid* g = Grid()) g->EditorChanged();
  vcl::TCustomEdit::Change();
}

void TInplaceEdit::Dispatch(vcl::TMessage& m) {
  if (m.Msg == WM_GETDLGCODE) {
    m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTALLKEYS;
    return;
  }
  vcl::TCustomEdit::Dispatch(m);
}

// Titles and columns.

void TColumnTitle::SetCaption(const String& v) {
  caption_ = v;
  if (column_) column_->TitleChanged();
}

void TColumnTitle::Assign(const rtl::TPersistent* source) {
  if (auto* t = dynamic_cast<const TColumnTitle*>(source)) {
    caption_ = t->caption_;
    alignment_ = t->alignment_;
    if (column_) column_->TitleChanged();
    return;
  }
  rtl::TPersistent::Assign(source);
}

TColumn::TColumn(vcl::TCollection* collection)
    : vcl::TCollectionItem(collection), title_(std::make_unique<TColumnTitle>(this)) {}

TColumn::~TColumn() = default;

TDBGrid* TColumn::Grid() const {
  auto* c = dynamic_cast<TDBGridColumns*>(Collection());
  return c ? c->Grid() : nullptr;
}

void TColumn::SetFieldName(const String& v) {
  fieldName_ = v;
  Changed(false);
}

TField* TColumn::Field() const {
  TDBGrid* g = Grid();
  TDataSet* ds = g && g->DataSource() ? g->DataSource()->DataSet() : nullptr;
  if (!ds || !ds->Active() || fieldName_.empty()) return nullptr;
  return ds->FindField(fieldName_);
}

void TColumn::SetWidth(int w) {
  width_ = w;
  Changed(false);
}

void TColumn::SetVisible(bool v) {
  visible_ = v;
  Changed(false);
}

int TColumn::DefaultWidth() const {
  TField* f = Field();
  int chars = f ? std::min(f->DisplayWidth(), 40) : 10;
  chars = std::max<int>(chars, static_cast<int>(TitleText().size()));
  return chars * 7 + 4;
}

String TColumn::TitleText() const {
  if (!title_->Caption().empty()) return title_->Caption();
  if (TField* f = Field()) return f->DisplayLabel();
  return fieldName_;
}

void TColumn::Assign(const rtl::TPersistent* source) {
  if (auto* c = dynamic_cast<const TColumn*>(source)) {
    fieldName_ = c->fieldName_;
    title_->Assign(c->title_.get());
    width_ = c->width_;
    visible_ = c->visible_;
    dropDownRows_ = c->dropDownRows_;
    Changed(false);
    return;
  }
  vcl::TCollectionItem::Assign(source);
}

TDBGridColumns::TDBGridColumns(TDBGrid* grid) : vcl::TCollection(TColumn::StaticClass(), grid), grid_(grid) {}

TDBGridColumns::TDBGridColumns(TDBGrid* grid, const vcl::TClassInfo* columnClass)
    : vcl::TCollection(columnClass, grid), grid_(grid) {}

void TDBGridColumns::Update(vcl::TCollectionItem*) {
  if (grid_) grid_->ColumnsChanged();
}

// Grid.

TDBGrid::TDBGrid(vcl::TComponent* owner)
    : vcl::TCustomControl(owner),
      link_(std::make_unique<TGridDataLink>(this)),
      columns_(std::make_unique<TDBGridColumns>(this)),
      defaultColumns_(std::make_unique<TDBGridColumns>(this)),
      titleFont_(std::make_unique<vcl::TFont>()) {
  SetBounds(0, 0, 320, 120);
  tab_stop_ = true;
  parent_color_ = false;
  color_ = vcl::clWindow;
  brush_->SetColor(color_);
  titleFont_->OnChange = [this](rtl::TObject*) { Invalidate(); };
}

TDBGrid::~TDBGrid() {
  titleFont_->OnChange = nullptr;
  link_->SetDataSource(nullptr);
}

TDataSource* TDBGrid::DataSource() const { return link_->DataSource(); }

void TDBGrid::SetDataSource(TDataSource* source) {
  link_->SetDataSource(source);
  LinkChanged();
}

void TDBGrid::SetOptions(TDBGridOptions o) {
  options_ = o;
  LinkChanged();
}

void TDBGrid::SetDrawingStyle(TGridDrawingStyle s) {
  drawingStyle_ = s;
  Invalidate();
}

void TDBGrid::SetGradientStartColor(vcl::TColor c) {
  gradientStart_ = c;
  Invalidate();
}

void TDBGrid::SetGradientEndColor(vcl::TColor c) {
  gradientEnd_ = c;
  Invalidate();
}

void TDBGrid::SetDefaultRowHeight(int h) {
  rowHeight_ = std::max(8, h);
  LinkChanged();
}

void TDBGrid::CreateParams(vcl::TCreateParams& p) {
  vcl::TCustomControl::CreateParams(p);
  p.ExStyle |= WS_EX_CLIENTEDGE;
  p.Style |= WS_VSCROLL;
}

void TDBGrid::CreateWnd() {
  vcl::TCustomControl::CreateWnd();
  UpdateScrollBar();
}

int TDBGrid::DataAreaWidth() { return std::max(0, ClientWidth() - IndicatorWidth()); }

int TDBGrid::MaxLeftCol() {
  int n = VisibleColumnCount();
  int area = DataAreaWidth(), used = 0;
  for (int i = n - 1; i >= 0; --i) {
    used += VisibleColumn(i)->Width();
    if (used > area) return std::min(i + 1, n - 1);
  }
  return 0;
}

void TDBGrid::UpdateHorzScrollBar() {
  int maxLeft = MaxLeftCol();
  leftCol_ = std::clamp(leftCol_, 0, maxLeft);
  if (!HandleAllocated()) return;
  // A page is the columns beyond the last left position, so the thumb's far end is that position; with every
  // column in view the page covers the whole range and the bar goes away.
  int n = VisibleColumnCount();
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = std::max(0, n - 1);
  si.nPage = static_cast<UINT>(std::max(1, n - maxLeft));
  si.nPos = leftCol_;
  SetScrollInfo(Handle(), SB_HORZ, &si, TRUE);
}

void TDBGrid::ColumnsChanged() {
  UpdateHorzScrollBar();
  Invalidate();
}

void TDBGrid::SetLeftCol(int column) {
  column = std::clamp(column, 0, MaxLeftCol());
  if (column == leftCol_) return;
  leftCol_ = column;
  if (editorShown_) {
    // The editor goes along with its cell, and is closed (keeping what was typed) when the cell leaves the view.
    if (selectedIndex_ >= leftCol_ && CellRect(selectedIndex_, 0).Left < ClientWidth()) {
      vcl::TRect r = CellRect(selectedIndex_, link_->ActiveRecord());
      editor_->SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
    } else {
      UpdateEditorData();
      HideEditor();
    }
  }
  UpdateHorzScrollBar();
  Invalidate();
}

void TDBGrid::MakeColumnVisible(int column) {
  if (column < 0 || column >= VisibleColumnCount()) return;
  if (column < leftCol_) {
    SetLeftCol(column);
    return;
  }
  int area = DataAreaWidth();
  auto span = [&](int from) {
    int w = 0;
    for (int i = from; i <= column; ++i) w += VisibleColumn(i)->Width();
    return w;
  };
  int left = leftCol_;
  while (left < column && span(left) > area) ++left;
  SetLeftCol(left);
}

void TDBGrid::HorzScrolled(int code, int thumb) {
  int n = VisibleColumnCount();
  if (n == 0) return;
  int area = DataAreaWidth();
  switch (code) {
    case SB_LINELEFT: SetLeftCol(leftCol_ - 1); break;
    case SB_LINERIGHT: SetLeftCol(leftCol_ + 1); break;
    case SB_PAGELEFT: {
      // The columns just left of the view, as many as fit, come into view.
      int left = leftCol_, used = 0;
      while (left > 0 && used + VisibleColumn(left - 1)->Width() <= area) used += VisibleColumn(--left)->Width();
      SetLeftCol(std::min(left, leftCol_ - 1));
      break;
    }
    case SB_PAGERIGHT: {
      // The first column not wholly in view comes to the left edge.
      int next = leftCol_, used = 0;
      while (next < n && used + VisibleColumn(next)->Width() <= area) used += VisibleColumn(next++)->Width();
      SetLeftCol(std::max(next, leftCol_ + 1));
      break;
    }
    case SB_LEFT: SetLeftCol(0); break;
    case SB_RIGHT: SetLeftCol(MaxLeftCol()); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: SetLeftCol(thumb); break;
    default: break;
  }
}

void TDBGrid::UpdateScrollBar() {
  UpdateHorzScrollBar();
  if (!HandleAllocated()) return;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
  TDataSet* ds = link_->Active() ? link_->DataSet() : nullptr;
  int count = ds ? ds->RecordCount() : 0;
  si.nMin = 0;
  si.nMax = count > 0 ? count - 1 : 0;
  si.nPage = 1;
  si.nPos = ds && ds->RecNo() > 0 ? ds->RecNo() - 1 : 0;
  SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
}

void TDBGrid::Scrolled(int code, int thumb) {
  if (!link_->Active()) return;
  TDataSet* ds = link_->DataSet();
  switch (code) {
    case SB_LINEUP: ds->Prior(); break;
    case SB_LINEDOWN: ds->Next(); break;
    case SB_PAGEUP: ds->MoveBy(-VisibleRowCount()); break;
    case SB_PAGEDOWN: ds->MoveBy(VisibleRowCount()); break;
    case SB_TOP: ds->First(); break;
    case SB_BOTTOM: ds->Last(); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      // The thumb at position n shows record n + 1 (at most the last one).
      int target = std::min(thumb + 1, ds->RecordCount());
      if (target >= 1) ds->SetRecNo(target);
      break;
    }
    default: break;
  }
}

void TDBGrid::RebuildDefaultColumns() {
  std::vector<String> names;
  TDataSet* ds = DataSource() ? DataSource()->DataSet() : nullptr;
  if (columns_->Count() == 0 && ds && ds->Active())
    for (TField* f : ds->Fields()->Items())
      if (f->Visible()) names.push_back(f->FieldName());
  // The same fields keep their columns, and with them the widths the user dragged them to.
  bool same = static_cast<int>(names.size()) == defaultColumns_->Count();
  for (int i = 0; same && i < defaultColumns_->Count(); ++i) same = (*defaultColumns_)[i]->FieldName() == names[i];
  if (same) return;
  defaultColumns_->BeginUpdate();
  defaultColumns_->Clear();
  for (const String& name : names) defaultColumns_->AddColumn()->SetFieldName(name);
  defaultColumns_->EndUpdate();
}

int TDBGrid::VisibleColumnCount() const {
  const TDBGridColumns* cols = columns_->Count() > 0 ? columns_.get() : defaultColumns_.get();
  int n = 0;
  for (int i = 0; i < cols->Count(); ++i)
    if ((*cols)[i]->Visible()) ++n;
  return n;
}

TColumn* TDBGrid::VisibleColumn(int index) const {
  const TDBGridColumns* cols = columns_->Count() > 0 ? columns_.get() : defaultColumns_.get();
  for (int i = 0; i < cols->Count(); ++i)
    if ((*cols)[i]->Visible() && index-- == 0) return (*cols)[i];
  return nullptr;
}

int TDBGrid::VisibleRowCount() {
  int h = ClientHeight() - TitleHeight();
  return std::max(1, h / rowHeight_);
}

void TDBGrid::LinkChanged() {
  link_->SetBufferCount(VisibleRowCount());
  RebuildDefaultColumns();
  UpdateScrollBar();
  Invalidate();
}

void TDBGrid::Resize() {
  vcl::TCustomControl::Resize();
  link_->SetBufferCount(VisibleRowCount());
  UpdateHorzScrollBar();
  Invalidate();
}

int TDBGrid::SelectedRow() const { return link_->Active() ? link_->ActiveRecord() : -1; }

bool TDBGrid::CellAt(int x, int y, int& column, int& row) {
  column = -1;
  row = y < TitleHeight() ? -1 : (y - TitleHeight()) / rowHeight_;
  int left = IndicatorWidth();
  if (x < left) return false;
  for (int i = leftCol_; i < VisibleColumnCount(); ++i) {
    int w = VisibleColumn(i)->Width();
    if (x >= left && x < left + w) {
      column = i;
      break;
    }
    left += w;
  }
  return column >= 0;
}

void TDBGrid::PaintTitle(vcl::TCanvas* c, const vcl::TRect& r, TColumn* col) {
  if (drawingStyle_ == gdsGradient) {
    // A vertical gradient from the start colour at the top to the end colour at the bottom.
    COLORREF a = vcl::ColorToGdi(gradientStart_), b = vcl::ColorToGdi(gradientEnd_);
    int h = std::max(1, r.Bottom - r.Top);
    for (int y = 0; y < h; ++y) {
      auto mix = [&](int ca, int cb) { return ca + (cb - ca) * y / std::max(1, h - 1); };
      COLORREF rgb =
          RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
      c->Brush()->SetColor(static_cast<vcl::TColor>(rgb));
      c->FillRect(vcl::Rect(r.Left, r.Top + y, r.Right, r.Top + y + 1));
    }
  } else {
    c->Brush()->SetColor(vcl::clBtnFace);
    c->FillRect(r);
  }
  if (col) {
    c->SetFont(titleFont_.get());
    SetBkMode(c->Handle(), TRANSPARENT);
    c->TextRect(r, r.Left + 2, r.Top + 2, col->TitleText());
    SetBkMode(c->Handle(), OPAQUE);
  }
}

TDataLink* TDBGrid::DataLink() const { return link_.get(); }

void TDBGrid::ReplaceColumns(std::unique_ptr<TDBGridColumns> columns) {
  columns_ = std::move(columns);
  LinkChanged();
}

bool TDBGrid::HighlightCell(int dataCol, int dataRow, const String&, TGridDrawState state) {
  if (!state.Contains(gdSelected)) return false;
  return options_.Contains(dgRowSelect) || dataCol == selectedIndex_;
}

String TDBGrid::OneLine(const String& text) {
  // A cell is one line: a memo's line breaks and tabs show as blanks, not as the font's boxes for control characters.
  String out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    wchar_t ch = text[i];
    if (ch == L'\n' && i > 0 && text[i - 1] == L'\r') continue;
    out += ch < L' ' ? L' ' : ch;
  }
  return out;
}

void TDBGrid::DefaultDrawColumnCell(const vcl::TRect& rect, int dataCol, TColumn* column, TGridDrawState state) {
  vcl::TCanvas* c = Canvas();
  TField* f = column ? column->Field() : nullptr;
  String text = f ? OneLine(f->DisplayText()) : String();
  bool highlight = HighlightCell(dataCol, paintedDataRow_, text, state);
  c->Brush()->SetColor(highlight ? vcl::clHighlight : color_);
  c->SetFont(font_);
  c->Font()->SetColor(highlight ? vcl::clHighlightText : font_->Color());
  int x = rect.Left + 2;
  if (f && f->Alignment() == vcl::taRightJustify) x = std::max(rect.Left + 2, rect.Right - 3 - c->TextWidth(text));
  c->TextRect(rect, x, rect.Top + 2, text);
}

void TDBGrid::DrawColumnCell(const vcl::TRect& rect, int dataCol, TColumn* column, TGridDrawState state) {
  if (defaultDrawing_) DefaultDrawColumnCell(rect, dataCol, column, state);
  if (OnDrawColumnCell) OnDrawColumnCell(this, rect, dataCol, column, state);
}

void TDBGrid::DrawCell(int col, int row, const vcl::TRect& rect, TGridDrawState state) {
  vcl::TCanvas* c = Canvas();
  int dataCol = col - (options_.Contains(dgIndicator) ? 1 : 0);
  bool title = options_.Contains(dgTitles) && row == 0;
  if (title) {
    PaintTitle(c, rect, dataCol >= 0 ? VisibleColumn(dataCol) : nullptr);
    return;
  }
  if (dataCol < 0) {
    c->Brush()->SetColor(vcl::clBtnFace);
    c->FillRect(rect);
    if (state.Contains(gdSelected) && link_->Active()) {
      TDataSet* ds = link_->DataSet();
      c->Brush()->SetColor(vcl::clWindowText);
      int top = rect.Top, h = rect.Bottom - rect.Top;
      if (ds->State() == dsEdit || ds->State() == dsInsert) {
        c->FillRect(vcl::Rect(rect.Left + 4, top + 4, rect.Left + 6, top + h - 4));
      } else {
        int mid = top + h / 2;
        for (int k = 0; k < 4; ++k)
          c->FillRect(vcl::Rect(rect.Left + 3 + k, mid - 3 + k, rect.Left + 4 + k, mid + 4 - k));
      }
    }
    return;
  }
  DrawColumnCell(rect, dataCol, VisibleColumn(dataCol), state);
}

void TDBGrid::Paint() {
  vcl::TCanvas* c = Canvas();
  c->Brush()->SetColor(color_);
  c->FillRect(ClientRect());
  int th = TitleHeight(), iw = IndicatorWidth();
  int ncols = VisibleColumnCount();
  int firstCol = iw > 0 ? 1 : 0, firstRow = th > 0 ? 1 : 0;
  // The data columns in view: from LeftCol to the first that starts past the right edge; the indicator and the
  // titles are drawn at the same offsets, so they stay in step with the cells.
  struct Shown {
    int col, left, width;
  };
  std::vector<Shown> shown;
  int clientWidth = ClientWidth();
  for (int i = leftCol_, left = iw; i < ncols && left < clientWidth; ++i) {
    int w = VisibleColumn(i)->Width();
    shown.push_back({i, left, w});
    left += w;
  }
  int right = shown.empty() ? iw : shown.back().left + shown.back().width;
  if (th > 0) {
    if (iw > 0) DrawCell(0, 0, vcl::Rect(0, 0, iw, th), TGridDrawState{gdFixed});
    for (const Shown& s : shown)
      DrawCell(s.col + firstCol, 0, vcl::Rect(s.left, 0, s.left + s.width, th), TGridDrawState{gdFixed});
  }
  int rows = 0;
  if (link_->Active()) {
    int active = link_->ActiveRecord();
    rows = link_->RecordCount();
    for (int r = 0; r < rows; ++r) {
      int top = th + r * rowHeight_;
      link_->SetActiveRecord(r);
      paintedDataRow_ = r;
      TGridDrawState rowState;
      if (r == active) {
        rowState += gdRowSelected;
        rowState += gdSelected;
        if (Focused()) rowState += gdFocused;
      }
      if (iw > 0) DrawCell(0, r + firstRow, vcl::Rect(0, top, iw, top + rowHeight_), rowState + gdFixed);
      for (const Shown& s : shown)
        DrawCell(s.col + firstCol, r + firstRow, vcl::Rect(s.left, top, s.left + s.width, top + rowHeight_), rowState);
      if (options_.Contains(dgRowLines)) {
        c->Pen()->SetColor(vcl::clBtnFace);
        c->MoveTo(0, top + rowHeight_ - 1);
        c->LineTo(right, top + rowHeight_ - 1);
      }
    }
    paintedDataRow_ = -1;
    link_->SetActiveRecord(active);
  }
  if (options_.Contains(dgColLines)) {
    c->Pen()->SetColor(vcl::clBtnFace);
    for (const Shown& s : shown) {
      c->MoveTo(s.left + s.width - 1, 0);
      c->LineTo(s.left + s.width - 1, th + rows * rowHeight_);
    }
  }
}

void TDBGrid::TitleClick(TColumn* column) {
  if (OnTitleClick) OnTitleClick(column);
}

void TDBGrid::CellClick(TColumn* column) {
  if (OnCellClick) OnCellClick(column);
}

int TDBGrid::SizingBorderAt(int x, int y) {
  if (!options_.Contains(dgColumnResize) || y < 0 || y >= TitleHeight()) return -1;
  int left = IndicatorWidth(), clientWidth = ClientWidth();
  for (int i = leftCol_; i < VisibleColumnCount() && left < clientWidth; ++i) {
    int right = left + VisibleColumn(i)->Width();
    if (x >= right - kBorderGrip && x < right + kBorderGrip) return i;
    left = right;
  }
  return -1;
}

void TDBGrid::EndColumnSizing() {
  if (sizingCol_ < 0) return;
  sizingCol_ = -1;
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
}

void TDBGrid::DoMouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) {
  if (CanFocus() && !Focused()) SetFocus();
  if (button == vcl::mbLeft) {
    int border = SizingBorderAt(x, y);
    if (border >= 0) {
      // A drag of the title's right border sizes the column; it is no click on the title.
      if (editorShown_) {
        UpdateEditorData();
        HideEditor();
      }
      sizingCol_ = border;
      sizingStartX_ = x;
      sizingStartWidth_ = VisibleColumn(border)->Width();
      SetCapture(Handle());
      vcl::TCustomControl::DoMouseDown(button, shift, x, y);
      return;
    }
  }
  int col = -1, row = -1;
  bool inCell = CellAt(x, y, col, row);
  if (button == vcl::mbLeft && inCell) {
    if (row < 0) {
      if (options_.Contains(dgTitleClick)) TitleClick(VisibleColumn(col));
    } else if (link_->Active() && row < link_->RecordCount()) {
      bool sameCell = row == link_->ActiveRecord() && col == selectedIndex_;
      // The clicked record becomes current first, so the handler sees it.
      link_->DataSet()->MoveBy(row - link_->ActiveRecord());
      SetSelectedIndex(col);
      CellClick(VisibleColumn(col));
      // A second click on the selected cell opens it for editing.
      if (sameCell && options_.Contains(dgEditing)) ShowEditor();
    }
  }
  vcl::TCustomControl::DoMouseDown(button, shift, x, y);
}

void TDBGrid::DoMouseMove(vcl::TShiftState shift, int x, int y) {
  if (sizingCol_ >= 0) {
    if (TColumn* c = VisibleColumn(sizingCol_))
      c->SetWidth(std::max(kMinColumnWidth, sizingStartWidth_ + x - sizingStartX_));
  }
  vcl::TCustomControl::DoMouseMove(shift, x, y);
}

void TDBGrid::DoMouseUp(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) {
  if (button == vcl::mbLeft && sizingCol_ >= 0) {
    DoMouseMove(shift, x, y);
    EndColumnSizing();
  }
  vcl::TCustomControl::DoMouseUp(button, shift, x, y);
}

void TDBGrid::KeyDown(rtl::Word& key, vcl::TShiftState shift) {
  vcl::TCustomControl::KeyDown(key, shift);
  if (!link_->Active() || key == 0) return;
  TDataSet* ds = link_->DataSet();
  switch (key) {
    case VK_UP: ds->Prior(); break;
    case VK_DOWN: ds->Next(); break;
    case VK_PRIOR: ds->MoveBy(-VisibleRowCount()); break;
    case VK_NEXT: ds->MoveBy(VisibleRowCount()); break;
    case VK_HOME:
      if (shift.Contains(vcl::ssCtrl))
        ds->First();
      else
        SetSelectedIndex(0);
      break;
    case VK_END:
      if (shift.Contains(vcl::ssCtrl))
        ds->Last();
      else
        SetSelectedIndex(VisibleColumnCount() - 1);
      break;
    case VK_ESCAPE: ds->Cancel(); break;
    case VK_LEFT: SetSelectedIndex(selectedIndex_ - 1); break;
    case VK_RIGHT: SetSelectedIndex(selectedIndex_ + 1); break;
    case VK_F2: ShowEditor(); break;
    default: return;
  }
  key = 0;
}

void TDBGrid::KeyPress(wchar_t& key) {
  vcl::TCustomControl::KeyPress(key);
  // Typing over the selected cell opens the editor with what was typed.
  if (key >= 32 && options_.Contains(dgEditing) && CanEditCell()) {
    TField* f = SelectedField();
    if (!f->IsValidChar(key)) {
      MessageBeep(0);
      key = 0;
      return;
    }
    ShowEditor();
    if (editorShown_) {
      SendMessageW(editor_->Handle(), EM_SETSEL, 0, -1);
      SendMessageW(editor_->Handle(), WM_CHAR, key, 1);
    }
    key = 0;
  }
}

TField* TDBGrid::SelectedField() const {
  TColumn* c = VisibleColumn(selectedIndex_);
  return c ? c->Field() : nullptr;
}

void TDBGrid::SetSelectedIndex(int index) {
  int n = VisibleColumnCount();
  if (n == 0) return;
  index = std::clamp(index, 0, n - 1);
  MakeColumnVisible(index);
  if (index == selectedIndex_) return;
  if (editorShown_) {
    UpdateEditorData();
    HideEditor();
  }
  selectedIndex_ = index;
  Invalidate();
}

vcl::TRect TDBGrid::CellRect(int dataCol, int dataRow) {
  int left = IndicatorWidth();
  for (int i = leftCol_; i < dataCol; ++i) left += VisibleColumn(i)->Width();
  int top = TitleHeight() + dataRow * rowHeight_;
  return vcl::Rect(left, top, left + VisibleColumn(dataCol)->Width(), top + rowHeight_);
}

bool TDBGrid::CanEditCell() {
  if (readOnly_ || !link_->Active() || !options_.Contains(dgEditing)) return false;
  TField* f = SelectedField();
  return f && f->CanModify() && !f->IsBlob();
}

void TDBGrid::ShowEditor() {
  if (!CanEditCell() || link_->RecordCount() == 0) return;
  if (!editor_) {
    editor_ = new TInplaceEdit(this);
    editor_->SetParent(this);
  }
  MakeColumnVisible(selectedIndex_);
  TField* f = SelectedField();
  vcl::TRect r = CellRect(selectedIndex_, link_->ActiveRecord());
  settingEditor_ = true;
  editor_->SetMaxLength(f->DataType() == ftString || f->DataType() == ftWideString ? f->Size() : 0);
  editor_->SetText(f->Text());
  settingEditor_ = false;
  editor_->SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
  editor_->Show();
  editorShown_ = true;
  editorModified_ = false;
  if (Focused() || GetFocus() == nullptr || IsChild(Handle(), GetFocus()) || GetFocus() == Handle())
    editor_->SetFocus();
}

void TDBGrid::HideEditor() {
  if (!editorShown_) return;
  editorShown_ = false;
  editorModified_ = false;
  bool hadFocus = editor_->HandleAllocated() && GetFocus() == editor_->Handle();
  editor_->Hide();
  if (hadFocus && CanFocus()) SetFocus();
}

void TDBGrid::EditorChanged() {
  if (settingEditor_ || !editorShown_) return;
  // The first change of the text starts the edit of the record.
  if (!editorModified_) {
    if (!link_->Edit()) {
      settingEditor_ = true;
      if (TField* f = SelectedField()) editor_->SetText(f->Text());
      settingEditor_ = false;
      return;
    }
  }
  editorModified_ = true;
}

void TDBGrid::UpdateEditorData() {
  if (!editorShown_ || !editorModified_) return;
  if (TField* f = SelectedField()) f->SetText(editor_->Text());
  editorModified_ = false;
}

void TDBGrid::EditorKey(rtl::Word& key, vcl::TShiftState shift) {
  if (!link_->Active()) return;
  TDataSet* ds = link_->DataSet();
  switch (key) {
    case VK_RETURN:
      UpdateEditorData();
      HideEditor();
      key = 0;
      break;
    case VK_ESCAPE:
      HideEditor();
      ds->Cancel();
      key = 0;
      break;
    case VK_UP:
    case VK_DOWN:
      UpdateEditorData();
      HideEditor();
      if (key == VK_UP)
        ds->Prior();
      else
        ds->Next();
      key = 0;
      break;
    default: break;
  }
}

void TDBGrid::Dispatch(vcl::TMessage& m) {
  switch (m.Msg) {
    case WM_GETDLGCODE: m.Result = DLGC_WANTARROWS; return;
    case WM_VSCROLL: {
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_TRACKPOS;
      GetScrollInfo(Handle(), SB_VERT, &si);
      Scrolled(LOWORD(m.WParam), si.nTrackPos);
      m.Result = 0;
      return;
    }
    case WM_HSCROLL: {
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_TRACKPOS;
      GetScrollInfo(Handle(), SB_HORZ, &si);
      HorzScrolled(LOWORD(m.WParam), si.nTrackPos);
      m.Result = 0;
      return;
    }
    case kMouseHWheel: {
      short delta = static_cast<short>(HIWORD(m.WParam));
      if (delta != 0) HorzScrolled(delta > 0 ? SB_LINERIGHT : SB_LINELEFT, 0);
      m.Result = 0;
      return;
    }
    case WM_SIZE:
      // The horizontal bar coming or going changes the height that rows have.
      vcl::TCustomControl::Dispatch(m);
      link_->SetBufferCount(VisibleRowCount());
      Invalidate();
      return;
    case WM_SETCURSOR:
      if (LOWORD(m.LParam) == HTCLIENT && reinterpret_cast<HWND>(m.WParam) == Handle()) {
        POINT p;
        GetCursorPos(&p);
        ::ScreenToClient(Handle(), &p);
        if (sizingCol_ >= 0 || SizingBorderAt(p.x, p.y) >= 0) {
          ::SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
          m.Result = 1;
          return;
        }
      }
      vcl::TCustomControl::Dispatch(m);
      return;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(m.LParam) != Handle()) sizingCol_ = -1;
      vcl::TCustomControl::Dispatch(m);
      return;
    case WM_MOUSEWHEEL:
    case vcl::CM_MOUSEWHEEL: {
      // With shift held the wheel scrolls the columns.
      if (LOWORD(m.WParam) & MK_SHIFT) {
        short delta = static_cast<short>(HIWORD(m.WParam));
        if (delta != 0) HorzScrolled(delta > 0 ? SB_LINELEFT : SB_LINERIGHT, 0);
        m.Result = 1;
        return;
      }
      // One record per notch; the wheel only moves, it never appends or edits.
      if (link_->Active()) {
        short delta = static_cast<short>(HIWORD(m.WParam));
        if (delta > 0)
          link_->DataSet()->Prior();
        else if (delta < 0)
          link_->DataSet()->Next();
      }
      m.Result = 1;
      return;
    }
    case vcl::CM_GETDATALINK: m.Result = reinterpret_cast<LRESULT>(link_.get()); return;
    default: vcl::TCustomControl::Dispatch(m);
  }
}

VCL_REGISTER(TColumnTitle) {
  cls.Prop(L"Caption", &TColumnTitle::Caption, &TColumnTitle::SetCaption);
  cls.Prop(L"Alignment", &TColumnTitle::Alignment, &TColumnTitle::SetAlignment).Default(vcl::taLeftJustify);
}

VCL_REGISTER(TColumn) {
  cls.Prop(L"DropDownRows", &TColumn::DropDownRows, &TColumn::SetDropDownRows).Default(7);
  cls.Prop(L"FieldName", &TColumn::FieldName, &TColumn::SetFieldName);
  cls.Prop(L"Title", &TColumn::Title, &TColumn::SetTitle);
  cls.Prop(L"Width", &TColumn::Width, &TColumn::SetWidth);
  cls.Prop(L"Visible", &TColumn::Visible, &TColumn::SetVisible).Default(true);
}

VCL_REGISTER(TDBGridColumns) {}
VCL_REGISTER(TInplaceEdit) {}

VCL_REGISTER(TDBGrid) {
  cls.Prop(L"Columns", &TDBGrid::Columns, &TDBGrid::SetColumns);
  cls.Prop(L"DataSource", &TDBGrid::DataSource, &TDBGrid::SetDataSource);
  cls.Prop(L"DefaultDrawing", &TDBGrid::DefaultDrawing, &TDBGrid::SetDefaultDrawing).Default(true);
  cls.Prop(L"DefaultRowHeight", &TDBGrid::DefaultRowHeight, &TDBGrid::SetDefaultRowHeight).Default(18);
  cls.Prop(L"DrawingStyle", &TDBGrid::DrawingStyle, &TDBGrid::SetDrawingStyle).Default(gdsThemed);
  cls.Prop(L"GradientEndColor", &TDBGrid::GradientEndColor, &TDBGrid::SetGradientEndColor);
  cls.Prop(L"GradientStartColor", &TDBGrid::GradientStartColor, &TDBGrid::SetGradientStartColor);
  cls.Prop(L"Options", &TDBGrid::Options, &TDBGrid::SetOptions);
  cls.Prop(L"ReadOnly", &TDBGrid::ReadOnly, &TDBGrid::SetReadOnly).Default(false);
  cls.Prop(L"TitleFont", &TDBGrid::TitleFont, &TDBGrid::SetTitleFont);
  cls.Prop(L"OnCellClick", &TDBGrid::OnCellClick);
  cls.Prop(L"OnTitleClick", &TDBGrid::OnTitleClick);
  cls.Prop(L"OnDrawColumnCell", &TDBGrid::OnDrawColumnCell);
}

}  // namespace db
