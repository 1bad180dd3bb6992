#include "skin/controls/sDBGrid.h"

#include <algorithm>
#include <cstdlib>

#include "platform/db/fields.h"
#include "platform/vcl/canvas.h"
#include "skin/controls/sCtrlPaint.h"
#include "skin/controls/sSkinCommands.h"
#include "skin/core/sCommonMessage.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"
#include "skin/render/sTextDraw.h"
#include "skin/windows/lvEditWnd.h"

namespace {

// Captions are compared with the case of a to z ignored only: other letters (Ä/ä, İ/i) stay apart whatever the
// user's locale says.
bool SameAscii(const rtl::String& a, const rtl::String& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    wchar_t x = a[i], y = b[i];
    if (x >= L'a' && x <= L'z') x = static_cast<wchar_t>(x - 32);
    if (y >= L'a' && y <= L'z') y = static_cast<wchar_t>(y - 32);
    if (x != y) return false;
  }
  return true;
}

rtl::String DefaultCaption(const db::TColumn* column) {
  if (db::TField* f = column->Field()) return f->DisplayLabel();
  return column->FieldName();
}

// Text shortened to width with "..." appended (at least one character stays).
rtl::String Shortened(vcl::TCanvas* c, rtl::String text, int width) {
  if (text.empty() || c->TextWidth(text) <= width) return text;
  const int dots = c->TextWidth(L"...");
  while (text.size() > 1 && c->TextWidth(text) + dots > width) text.pop_back();
  return text + L"...";
}

// A section painted alone over r of a device context (through a bitmap, as the skinned controls paint).
void PaintSectionTo(HDC dc, int section, int state, const vcl::TRect& r, vcl::TColor background, TsSkinManager* sm) {
  if (r.Width() <= 0 || r.Height() <= 0) return;
  auto bmp = CreateBmp32(r.Width(), r.Height());
  TCacheInfo ci;
  ci.FillColor = background;
  PaintItem(section, ci, true, state, vcl::TRect(0, 0, r.Width(), r.Height()), vcl::TPoint(0, 0), bmp.get(), sm);
  BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// Text over what is painted already: the canvas's TextRect would fill the rectangle with its brush.
void TransparentText(vcl::TCanvas* c, const vcl::TRect& r, int x, int y, const rtl::String& text) {
  c->Brush()->SetStyle(vcl::bsClear);
  SetBkMode(c->Handle(), TRANSPARENT);
  c->TextRect(r, x, y, text);
  SetBkMode(c->Handle(), OPAQUE);
  c->Brush()->SetStyle(vcl::bsSolid);
}

}  // namespace

int GetCaptionDepth(const rtl::String& caption, wchar_t delimiter) {
  if (caption.empty()) return 0;
  return 1 + static_cast<int>(std::count(caption.begin(), caption.end(), delimiter));
}

rtl::String GetCaptionLevel(const rtl::String& caption, int level, wchar_t delimiter) {
  if (level < 0) return rtl::String();
  size_t start = 0;
  for (int i = 0; i < level; ++i) {
    const size_t p = caption.find(delimiter, start);
    if (p == rtl::String::npos) return rtl::String();
    start = p + 1;
  }
  const size_t end = caption.find(delimiter, start);
  return caption.substr(start, end == rtl::String::npos ? rtl::String::npos : end - start);
}

// Titles and columns.

rtl::String TlvColumnTitle::GetCaption() const {
  if (!Caption().empty() || !FColumn) return Caption();
  return DefaultCaption(FColumn);
}

bool TlvColumnTitle::IsCaptionStored() const {
  return !Caption().empty() && (!FColumn || Caption() != DefaultCaption(FColumn));
}

TlvDBColumn::TlvDBColumn(vcl::TCollection* collection) : db::TColumn(collection) {
  ReplaceTitle(std::make_unique<TlvColumnTitle>(this));
}

void TlvDBColumn::Assign(const rtl::TPersistent* source) {
  db::TColumn::Assign(source);
  if (auto* c = dynamic_cast<const TlvDBColumn*>(source)) {
    FMinWidth = c->FMinWidth;
    FShowMemoBtn = c->FShowMemoBtn;
  }
}

void TlvDBColumn::SetMinWidth(int value) {
  FMinWidth = std::max(0, value);
  if (Width() < FMinWidth) SetWidth(FMinWidth);
}

void TlvDBColumn::SetWidth(int value) { db::TColumn::SetWidth(std::max(value, FMinWidth)); }

bool TlvDBColumn::CanShowBtn() const {
  db::TField* f = Field();
  // Every text memo of the stores is read as a wide memo: both widths count as memos.
  return FShowMemoBtn && f && (dynamic_cast<db::TMemoField*>(f) || dynamic_cast<db::TWideMemoField*>(f));
}

TlvDBGridColumns::TlvDBGridColumns(TsDBGrid* grid) : db::TDBGridColumns(grid, TlvDBColumn::StaticClass()) {}

void TlvDBGridColumns::Update(vcl::TCollectionItem* item) {
  // A caption change may change the number of title rows.
  if (auto* g = static_cast<TsDBGrid*>(Grid())) g->UpdateHeaderHeight();
  db::TDBGridColumns::Update(item);
}

// Grid.

TsDBGrid::TsDBGrid(vcl::TComponent* owner)
    : db::TDBGrid(owner), FCommonData(std::make_unique<TsScrollWndData>(this, true)) {
  FCommonData->COC = COC_TsDBGrid;
  ReplaceColumns(std::make_unique<TlvDBGridColumns>(this));
}

TsDBGrid::~TsDBGrid() { FreeGridScrolls(); }

void TsDBGrid::RefreshGridScrolls() {
  TsScrollWndData* sd = FCommonData.get();
  if (!sd->Skinned()) {
    FreeGridScrolls();
    return;
  }
  if (ListSW && ListSW->Destroyed) {
    FreeLvWrapper(ListSW);
  }
  // A window is not made just for the wrapper: a grid without one gets its wrapper when it is shown.
  if (ListSW || !HandleAllocated() || IsDestroying()) return;
  TlvSkinParams params;
  params.SkinSection = L"EDIT";
  ListSW = NewWrapper<TlvEditWnd>(handle_, sd, sd->SkinManager(), params, true);
}

void TsDBGrid::FreeGridScrolls() {
  UninitializeLVScroll(HandleAllocated() ? handle_ : nullptr, true, false, ListSW);
  ListSW = nullptr;
}

void TsDBGrid::AfterConstruction() {
  inherited::AfterConstruction();
  FCommonData->Loaded();
  ApplySkinColors();
}

void TsDBGrid::Loaded() {
  inherited::Loaded();
  FCommonData->Loaded();
  ApplySkinColors();
  UpdateHeaderHeight();
}

void TsDBGrid::ApplySkinColors() {
  TsSkinManager* sm = FCommonData->SkinManager();
  if (!FCommonData->Skinned() || !sm->IsValidSkinIndex(FCommonData->SkinIndex)) return;
  const TsGenState& s = sm->gd[static_cast<size_t>(FCommonData->SkinIndex)].Props[0];
  if (!FCommonData->CustomColor()) SetColor(static_cast<vcl::TColor>(s.Color));
  if (!FCommonData->CustomFont()) Font()->SetColor(static_cast<vcl::TColor>(s.FontColor.Color));
}

rtl::String TsDBGrid::CaptionOf(int col) const {
  db::TColumn* c = VisibleColumn(col);
  return c ? c->TitleText() : rtl::String();
}

bool TsDBGrid::CaptionStored(int col) const {
  db::TColumn* c = VisibleColumn(col);
  if (!c) return false;
  if (auto* t = dynamic_cast<TlvColumnTitle*>(c->Title())) return t->IsCaptionStored();
  return !c->Title()->Caption().empty() && c->Title()->Caption() != DefaultCaption(c);
}

void TsDBGrid::UpdateHeaderHeight() {
  int h = 1;
  if (Options().Contains(db::dgTitles))
    for (int i = 0; i < VisibleColumnCount(); ++i)
      if (CaptionStored(i)) h = std::max(h, GetCaptionDepth(CaptionOf(i), FLevelDelimiterChar));
  if (h == FHeaderHeight) return;
  FHeaderHeight = h;
  // The rows below the titles move.
  LinkChanged();
}

int TsDBGrid::TitleHeight() const {
  if (!Options().Contains(db::dgTitles)) return 0;
  return (DefaultRowHeight() + 1) * FHeaderHeight - 1;
}

vcl::TRect TsDBGrid::GetTitleLevel(int level) {
  if (VisibleColumnCount() == 0) return vcl::TRect();
  vcl::TRect r;
  r.Top = level * (DefaultRowHeight() + 1);
  r.Bottom = r.Top + DefaultRowHeight() + 1;
  if (Options().Contains(db::dgRowLines)) --r.Bottom;
  return r;
}

int TsDBGrid::ColumnLeft(int col) const {
  int left = Options().Contains(db::dgIndicator) ? 11 : 0;
  for (int i = LeftCol(); i < col; ++i) left += VisibleColumn(i)->Width();
  return left;
}

namespace {

// The text a visible column shows at a title level.
rtl::String LevelText(const TsDBGrid* g, int col, int level) {
  const rtl::String caption = g->CaptionOf(col);
  if (g->CaptionStored(col)) return GetCaptionLevel(caption, level, g->LevelDelimiterChar());
  return level == 0 ? caption : rtl::String();
}

int Depth(const TsDBGrid* g, int col) {
  return g->CaptionStored(col) ? std::max(1, GetCaptionDepth(g->CaptionOf(col), g->LevelDelimiterChar())) : 1;
}

// Visible columns col and col + 1 share one title cell at level: their texts agree there and at every level above,
// and the level is above the last one of both captions (a caption's own last level is always a cell of its own).
bool Merges(const TsDBGrid* g, int col, int level) {
  if (col < 0 || col + 1 >= g->VisibleColumnCount()) return false;
  for (int l = 0; l <= level; ++l) {
    if (l >= Depth(g, col) - 1 || l >= Depth(g, col + 1) - 1) return false;
    const rtl::String a = LevelText(g, col, l);
    if (a.empty() || !SameAscii(a, LevelText(g, col + 1, l))) return false;
  }
  return true;
}

}  // namespace

int TsDBGrid::GetRightColIndex(int col, int level) {
  while (Merges(this, col, level)) ++col;
  return col;
}

int TsDBGrid::HeaderSection() {
  TsSkinManager* sm = FCommonData->SkinManager();
  if (!sm || !(Options().Contains(db::dgRowLines) || Options().Contains(db::dgColLines))) return -1;
  int s = sm->ConstData.Sections[ssColHeader];
  if (!sm->IsValidSkinIndex(s)) s = sm->ConstData.Sections[ssButton];
  return sm->IsValidSkinIndex(s) ? s : -1;
}

void TsDBGrid::DrawTitleCell(int dataCol, const vcl::TRect& rect) {
  TsCommonData* sd = FCommonData.get();
  const bool skinned = sd->Skinned();
  TsSkinManager* sm = sd->SkinManager();
  vcl::TCanvas* c = Canvas();
  db::TColumn* column = VisibleColumn(dataCol);
  if (!column) return;
  const int section = skinned ? HeaderSection() : -1;
  const int depth = Depth(this, dataCol);
  const int rh = DefaultRowHeight();
  for (int level = 0; level < FHeaderHeight; ++level) {
    const rtl::String text = LevelText(this, dataCol, level);
    // Below a caption's last level the cell above runs on down.
    if (level >= depth) break;
    // The first visible cell of a group draws the whole group.
    if (dataCol > LeftCol() && Merges(this, dataCol - 1, level)) continue;
    const int last = GetRightColIndex(dataCol, level);
    vcl::TRect g = rect;
    if (last != dataCol) g.Right = ColumnLeft(last) + VisibleColumn(last)->Width();
    g.Top = level * (rh + 1);
    g.Bottom = level == depth - 1 ? TitleHeight() : g.Top + rh;
    vcl::TColor fontColour = TitleFont()->Color();
    if (skinned) {
      if (section >= 0) {
        vcl::TRect pr = g;
        ++pr.Right;
        ++pr.Bottom;
        PaintSectionTo(c->Handle(), section, 0, pr, vcl::ColorToRGB(Color()), sm);
        if (fontColour == vcl::clWindowText) fontColour = sctrl::SectionFontColor(sm, section, 0, fontColour);
      } else {
        FillDC(c->Handle(), g, sm->GetGlobalColor());
        if (fontColour == vcl::clWindowText) fontColour = sm->GetGlobalFontColor();
      }
    } else {
      c->Brush()->SetColor(vcl::clBtnFace);
      c->FillRect(g);
      // Several title rows: the cells are framed so that the groups read apart.
      c->Pen()->SetColor(vcl::clBtnShadow);
      c->MoveTo(g.Left, g.Bottom - 1);
      c->LineTo(g.Right, g.Bottom - 1);
      c->MoveTo(g.Right - 1, g.Top);
      c->LineTo(g.Right - 1, g.Bottom);
    }
    if (text.empty()) continue;
    c->SetFont(TitleFont());
    c->Font()->SetColor(fontColour);
    const vcl::TAlignment align = level == depth - 1 ? column->Title()->Alignment() : vcl::taLeftJustify;
    const vcl::TRect tr(g.Left + 1, g.Top + 1, g.Right - 1, g.Bottom - 1);
    // Only the end of a group is shortened; inside a group the text runs on.
    const rtl::String shown = Shortened(c, text, tr.Width() - 3);
    const int w = c->TextWidth(shown);
    int x = g.Left + 2;
    if (align == vcl::taRightJustify) x = std::max(g.Left + 2, g.Right - 3 - w);
    if (align == vcl::taCenter) x = std::max(g.Left + 2, g.Left + (g.Width() - w) / 2);
    TransparentText(c, tr, x, g.Top + 2, shown);
  }
}

void TsDBGrid::DrawIndicator(const vcl::TRect& rect, bool marker) {
  TsSkinManager* sm = FCommonData->SkinManager();
  vcl::TCanvas* c = Canvas();
  const int section = HeaderSection();
  vcl::TColor colour;
  if (section >= 0) {
    vcl::TRect pr = rect;
    ++pr.Right;
    ++pr.Bottom;
    PaintSectionTo(c->Handle(), section, 0, pr, vcl::ColorToRGB(Color()), sm);
    colour = sctrl::SectionFontColor(sm, section, 0, sm->GetGlobalFontColor());
  } else {
    FillDC(c->Handle(), rect, sm->GetGlobalColor());
    colour = sm->GetGlobalFontColor();
  }
  if (!marker || !DataLink()->Active()) return;
  const db::TDataSetState st = DataLink()->DataSet()->State();
  if (st == db::dsEdit || st == db::dsInsert) {
    c->Font()->SetName(L"Courier");
    c->Font()->SetColor(colour);
    vcl::TRect r = rect;
    SetBkMode(c->Handle(), TRANSPARENT);
    lvDrawText(c->Handle(), L"I", r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SetBkMode(c->Handle(), OPAQUE);
  } else {
    DrawColorArrow(c, colour, rect, asRight);
  }
}

void TsDBGrid::DrawCell(int col, int row, const vcl::TRect& rect, db::TGridDrawState state) {
  const bool skinned = FCommonData->Skinned();
  const int dataCol = col - (Options().Contains(db::dgIndicator) ? 1 : 0);
  if (Options().Contains(db::dgTitles) && row == 0) {
    if (dataCol >= 0) {
      // One title row without a skin: the platform's own title.
      if (!skinned && FHeaderHeight == 1)
        inherited::DrawCell(col, row, rect, state);
      else
        DrawTitleCell(dataCol, rect);
    } else if (skinned) {
      DrawIndicator(rect, false);
    } else {
      inherited::DrawCell(col, row, rect, state);
    }
    return;
  }
  if (!skinned) {
    inherited::DrawCell(col, row, rect, state);
    return;
  }
  if (dataCol < 0) {
    DrawIndicator(rect, state.Contains(db::gdSelected));
    return;
  }
  inherited::DrawCell(col, row, rect, state);
}

void TsDBGrid::DrawColumnCell(const vcl::TRect& rect, int dataCol, db::TColumn* column, db::TGridDrawState state) {
  TsCommonData* sd = FCommonData.get();
  const bool skinned = sd->Skinned();
  // Without a skin and without the cell events the platform draws the cell as it always has.
  if (!DefaultDrawing() || (!skinned && !OnGetCellText && !OnGetCellParams)) {
    inherited::DrawColumnCell(rect, dataCol, column, state);
    if (ShowsButton(rect, dataCol, column, state)) DrawButton(Canvas(), GetButtonRect(rect), CellButtonPressed());
    return;
  }
  TsSkinManager* sm = sd->SkinManager();
  vcl::TCanvas* c = Canvas();
  c->SetFont(Font());
  const bool button = ShowsButton(rect, dataCol, column, state);
  db::TField* f = column ? column->Field() : nullptr;
  rtl::String text = f ? OneLine(f->DisplayText()) : rtl::String();
  if (f && OnGetCellText) OnGetCellText(this, f, text);
  const bool right = f && f->Alignment() == vcl::taRightJustify;
  const int margin = right ? 4 : 2;
  // The text keeps out of the button.
  const int avail = rect.Width() - (button ? rect.Height() : 0);
  bool fitted = false;
  if (c->TextWidth(text) + margin > avail) {
    fitted = true;
    if (dynamic_cast<db::TNumericField*>(f)) {
      // A number too wide for its column is not cut: it shows as '#' characters.
      for (wchar_t& ch : text)
        if (ch >= L'0' && ch <= L'9') ch = L'#';
    } else {
      text = Shortened(c, text, avail - margin);
    }
  }
  const bool highlight = HighlightCell(dataCol, -1, text, state);
  TGridDrawStateEx stateEx;
  if (highlight) stateEx += geHighlight;
  if (state.Contains(db::gdSelected)) stateEx += geActiveRow;
  if (highlight && !state.Contains(db::gdSelected)) stateEx += geMultiSelected;
  vcl::TColor background;
  vcl::TColor fontColour = Font()->Color();
  bool painted = false;  // a skin section is under the text already
  if (!skinned) {
    background = highlight ? vcl::clHighlight : Color();
    if (highlight) fontColour = vcl::clHighlightText;
  } else {
    const int selection = sm->ConstData.Sections[ssSelection];
    if (highlight && sm->IsValidSkinIndex(selection)) {
      background = static_cast<vcl::TColor>(sm->gd[static_cast<size_t>(selection)].Props[0].Color);
      if (Focused()) {
        PaintSectionTo(c->Handle(), selection, 1, rect, vcl::ColorToRGB(Color()), sm);
        painted = true;
      }
      fontColour = sctrl::SectionFontColor(sm, selection, Focused() ? 1 : 0, sm->GetHighLightFontColor(true));
    } else if (highlight) {
      background = sm->GetHighLightColor(true);
      fontColour = sm->GetHighLightFontColor(true);
    } else {
      background = Color();
      if (!sd->CustomFont()) fontColour = sctrl::SectionFontColor(sm, sd->SkinIndex, 0, fontColour);
    }
  }
  c->Font()->SetColor(fontColour);
  if (Enabled()) {
    const vcl::TColor before = background;
    if (f && OnGetCellParams) OnGetCellParams(this, f, c->Font(), background, state, stateEx);
    if (background != before) painted = false;
  } else {
    c->Font()->SetColor(vcl::clGrayText);
  }
  if (!painted) FillDC(c->Handle(), rect, vcl::ColorToRGB(background));
  int x = rect.Left + 2;
  if (right && !fitted) x = std::max(rect.Left + 2, rect.Right - 3 - c->TextWidth(text));
  TransparentText(c, rect, x, rect.Top + 2, text);
  if (skinned) {
    // Grid lines in a light mix of the edit colours.
    const vcl::TColor line = MixColors(sm->GetActiveEditFontColor(), sm->GetActiveEditColor(), 0.15);
    c->Pen()->SetColor(line);
    if (Options().Contains(db::dgColLines)) {
      c->MoveTo(rect.Right - 1, rect.Top);
      c->LineTo(rect.Right - 1, rect.Bottom);
    }
    if (Options().Contains(db::dgRowLines)) {
      c->MoveTo(rect.Left, rect.Bottom - 1);
      c->LineTo(rect.Right, rect.Bottom - 1);
    }
  }
  if (OnDrawColumnCell) OnDrawColumnCell(this, rect, dataCol, column, state);
  if (button) DrawButton(c, GetButtonRect(rect), CellButtonPressed());
}

bool TsDBGrid::ShowsButton(const vcl::TRect& rect, int dataCol, db::TColumn* column, db::TGridDrawState state) {
  auto* col = dynamic_cast<TlvDBColumn*>(column);
  return col && col->CanShowBtn() && state.Contains(db::gdSelected) && dataCol == SelectedIndex() &&
         !Options().Contains(db::dgRowSelect) && !GetButtonRect(rect).IsEmpty();
}

vcl::TRect TsDBGrid::GetButtonRect(const vcl::TRect& cell) {
  const int h = cell.Bottom - cell.Top;
  if (cell.Right - cell.Left < h + 5) return vcl::TRect();
  return vcl::TRect(cell.Right - h + 1, cell.Top + 1, cell.Right - 1, cell.Bottom - 1);
}

vcl::TRect TsDBGrid::CurrentCellRect(int col) {
  db::TColumn* column = VisibleColumn(col);
  if (!column || !DataLink()->Active()) return vcl::TRect();
  const int top = TitleHeight() + DataLink()->ActiveRecord() * DefaultRowHeight();
  const int left = ColumnLeft(col);
  return vcl::TRect(left, top, left + column->Width(), top + DefaultRowHeight());
}

bool TsDBGrid::IsOnButton(int x, int y) {
  int col = -1, row = -1;
  if (!DataLink()->Active() || !CellAt(x, y, col, row)) return false;
  // Only the current cell shows its button.
  if (row != DataLink()->ActiveRecord() || col != SelectedIndex()) return false;
  auto* column = dynamic_cast<TlvDBColumn*>(VisibleColumn(col));
  if (!column || !column->CanShowBtn()) return false;
  return GetButtonRect(CurrentCellRect(col)).Contains(vcl::TPoint(x, y));
}

void TsDBGrid::DrawButton(vcl::TCanvas* c, const vcl::TRect& r, bool pressed) {
  if (r.IsEmpty()) return;
  HDC dc = c->Handle();
  FillDC(dc, r, vcl::ColorToRGB(vcl::clBtnFace));
  const UINT edge = pressed ? BDR_SUNKENINNER : BDR_RAISEDINNER;
  RECT e{r.Left, r.Top, r.Right, r.Bottom};
  DrawEdge(dc, &e, edge, BF_TOPLEFT);
  RECT inner{r.Left, r.Top, r.Right - 1, r.Bottom - 1};
  DrawEdge(dc, &inner, edge, BF_BOTTOMRIGHT);
  c->Pen()->SetColor(vcl::clBlack);
  c->Pen()->SetStyle(vcl::psSolid);
  c->MoveTo(r.Left, r.Bottom - 1);
  c->LineTo(r.Right - 1, r.Bottom - 1);
  c->LineTo(r.Right - 1, r.Top - 1);
  // Three dots, one pixel down and right while pressed.
  const int height = r.Bottom - r.Top;
  const int d = height / 7;
  if (d <= 0) return;
  const int y0 = r.Top + (height - d) / 2 + (pressed ? 1 : 0);
  const int x = r.Left + 2 * d - (pressed ? 0 : 1);
  c->Brush()->SetColor(vcl::clBlack);
  c->Brush()->SetStyle(vcl::bsSolid);
  for (int i = 0; i < 3; ++i) c->Ellipse(x + 2 * i * d, y0, x + 2 * i * d + d, y0 + d);
}

void TsDBGrid::Paint() {
  inherited::Paint();
  TsCommonData* sd = FCommonData.get();
  if (!sd->Skinned()) {
    // The platform's column lines run across the title rows: titles of several rows go over them again.
    if (FHeaderHeight > 1) RepaintTitles();
    return;
  }
  // The platform's grid lines run across the titles in the window colour: the skinned titles and lines go over.
  TsSkinManager* sm = sd->SkinManager();
  vcl::TCanvas* c = Canvas();
  const int th = TitleHeight();
  const int iw = Options().Contains(db::dgIndicator) ? 11 : 0;
  const int rows = DataLink()->Active() ? DataLink()->RecordCount() : 0;
  const int rh = DefaultRowHeight();
  const vcl::TColor line = MixColors(sm->GetActiveEditFontColor(), sm->GetActiveEditColor(), 0.15);
  const int clientWidth = ClientWidth();
  int right = iw;
  for (int i = LeftCol(); i < VisibleColumnCount() && right < clientWidth; ++i) right += VisibleColumn(i)->Width();
  c->Pen()->SetColor(line);
  if (Options().Contains(db::dgColLines))
    for (int i = LeftCol(), x = iw; i < VisibleColumnCount() && x < clientWidth; ++i) {
      x += VisibleColumn(i)->Width();
      c->MoveTo(x - 1, th);
      c->LineTo(x - 1, th + rows * rh);
    }
  if (Options().Contains(db::dgRowLines))
    for (int r = 0; r < rows; ++r) {
      c->MoveTo(iw, th + r * rh + rh - 1);
      c->LineTo(right, th + r * rh + rh - 1);
    }
  RepaintTitles();
}

void TsDBGrid::RepaintTitles() {
  const int th = TitleHeight();
  const int iw = Options().Contains(db::dgIndicator) ? 11 : 0;
  if (th <= 0) return;
  if (iw > 0 && FCommonData->Skinned()) DrawIndicator(vcl::Rect(0, 0, iw, th), false);
  for (int i = LeftCol(), x = iw; i < VisibleColumnCount() && x < ClientWidth(); ++i) {
    const int w = VisibleColumn(i)->Width();
    DrawTitleCell(i, vcl::Rect(x, 0, x + w, th));
    x += w;
  }
}

int TsDBGrid::BorderColumnAt(int x) const {
  int right = Options().Contains(db::dgIndicator) ? 11 : 0;
  for (int i = LeftCol(); i < VisibleColumnCount(); ++i) {
    right += VisibleColumn(i)->Width();
    if (std::abs(x - right) <= 3) return i;
    if (right > x + 3) break;
  }
  return -1;
}

void TsDBGrid::FitColumn(int col, bool withTitle) {
  db::TColumn* column = VisibleColumn(col);
  db::TDataLink* link = DataLink();
  if (!column || !link->Active()) return;
  HDC dc = GetDC(nullptr);
  auto width = [&](HFONT font, const rtl::String& text) {
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    return static_cast<int>(size.cx);
  };
  int widest = withTitle ? width(TitleFont()->Handle(), column->TitleText()) : 0;
  const int active = link->ActiveRecord();
  // The active record is put back whatever happens while the rows are measured.
  struct Restore {
    db::TDataLink* link;
    int active;
    ~Restore() { link->SetActiveRecord(active); }
  } restore{link, active};
  for (int r = 0; r < link->RecordCount(); ++r) {
    link->SetActiveRecord(r);
    if (db::TField* f = column->Field()) widest = std::max(widest, width(Font()->Handle(), OneLine(f->DisplayText())));
  }
  ReleaseDC(nullptr, dc);
  column->SetWidth(widest + 4);
}

void TsDBGrid::AdjustColumns() {
  for (int i = 0; i < VisibleColumnCount(); ++i) FitColumn(i, true);
}

void TsDBGrid::DoMouseDown(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) {
  FExecColAjust = false;
  if (button == vcl::mbLeft && !Options().Contains(db::dgRowSelect) && IsOnButton(x, y)) {
    // A press on the memo button: shown pressed while the mouse stays over it; the cell is not edited.
    FCellButtonDown = SelectedIndex();
    FCellButtonRect = CurrentCellRect(FCellButtonDown);
    FCellButtonBRect = GetButtonRect(FCellButtonRect);
    HideEditor();
    FCellButtonPressed = true;
    if (HandleAllocated()) {
      SetCapture(handle_);
      RECT r{FCellButtonBRect.Left, FCellButtonBRect.Top, FCellButtonBRect.Right, FCellButtonBRect.Bottom};
      InvalidateRect(handle_, &r, FALSE);
    }
    return;
  }
  if (button == vcl::mbLeft && shift.Contains(vcl::ssDouble) && Options().Contains(db::dgColumnResize) &&
      DataLink()->Active() && y >= 0 && y < TitleHeight()) {
    const int col = BorderColumnAt(x);
    if (col >= 0) {
      FitColumn(col, false);
      FExecColAjust = true;
    }
  }
  inherited::DoMouseDown(button, shift, x, y);
}

void TsDBGrid::DoMouseMove(vcl::TShiftState shift, int x, int y) {
  inherited::DoMouseMove(shift, x, y);
  if (FCellButtonDown < 0) return;
  const bool over = FCellButtonBRect.Contains(vcl::TPoint(x, y));
  if (over == FCellButtonPressed) return;
  FCellButtonPressed = over;
  if (HandleAllocated()) {
    RECT r{FCellButtonBRect.Left, FCellButtonBRect.Top, FCellButtonBRect.Right, FCellButtonBRect.Bottom};
    InvalidateRect(handle_, &r, FALSE);
  }
}

void TsDBGrid::DoMouseUp(vcl::TMouseButton button, vcl::TShiftState shift, int x, int y) {
  if (FCellButtonDown >= 0) {
    int col = -1, row = -1;
    const bool sameColumn = CellAt(x, y, col, row) && col == FCellButtonDown;
    const bool released = sameColumn && FCellButtonPressed;
    FCellButtonDown = -1;
    FCellButtonPressed = false;
    if (HandleAllocated()) {
      if (GetCapture() == handle_) ReleaseCapture();
      if (released) {
        InvalidateRect(handle_, nullptr, FALSE);
      } else {
        RECT r{FCellButtonBRect.Left, FCellButtonBRect.Top, FCellButtonBRect.Right, FCellButtonBRect.Bottom};
        InvalidateRect(handle_, &r, FALSE);
      }
    }
  }
  inherited::DoMouseUp(button, shift, x, y);
}

void TsDBGrid::WndProc(vcl::TMessage& message) {
  TsScrollWndData* sd = FCommonData.get();
  if (message.Msg == SM_LUMICMD) {
    auto* sm = reinterpret_cast<TsSkinManager*>(message.LParam);
    const WORD command = message.WParamHi();
    const bool own = sm == sd->SkinManager();
    // The wrapper goes first: freeing it gives back the colours it found, and the grid's own follow.
    if (own && command == LVC_REMOVESKIN) FreeGridScrolls();
    HandleSkinCommand(this, sd, message, L"EDIT");
    if (own && (command == LVC_SETNEWSKIN || command == LVC_REFRESH)) {
      ApplySkinColors();
      if (!IsLoading()) RefreshGridScrolls();
      if (HandleAllocated()) RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    } else if (own && command == LVC_REMOVESKIN) {
      if (!sd->CustomColor()) SetColor(vcl::clWindow);
      if (!sd->CustomFont()) Font()->SetColor(vcl::clWindowText);
      sd->SkinIndex = -1;
      if (HandleAllocated()) {
        RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
        SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOCOPYBITS | SWP_NOOWNERZORDER |
                         SWP_NOSENDCHANGING);
      }
    }
    return;
  }
  if (message.Msg == WM_ERASEBKGND && sd->Skinned()) {
    message.Result = 1;
    return;
  }
  if (message.Msg == WM_PRINT && PrintThroughWrapper(message)) return;
  inherited::WndProc(message);
  if (message.Msg == vcl::CM_SHOWINGCHANGED && ControlIsReady(this) && sd->Skinned()) RefreshGridScrolls();
  if (message.Msg == WM_VSCROLL) OnAfterScroll(this, 1);
  if (message.Msg == WM_HSCROLL) OnAfterScroll(this, 0);
}

void TsDBGrid::Scroll(int distance) {
  inherited::Scroll(distance);
  OnScrollData(this);
}

bool TsDBGrid::PrintThroughWrapper(vcl::TMessage& message) {
  // A WM_PRINT that reaches the grid itself found no wrapper in front of it.
  if (!FCommonData->Skinned() || !HandleAllocated() || IsDestroying()) return false;
  if (!ListSW || ListSW->Destroyed) RefreshGridScrolls();
  if (!ListSW || ListSW->Destroyed || ListSW->ProcDepth > 0) return false;
  ListSW->ProcessMessage(WM_PRINT, message.WParam, message.LParam);
  message.Result = 2;
  return true;
}

VCL_REGISTER(TlvColumnTitle) {}

VCL_REGISTER(TlvDBColumn) {
  cls.Prop(L"MinWidth", &TlvDBColumn::MinWidth, &TlvDBColumn::SetMinWidth).Default(0);
  cls.Prop(L"ShowMemoBtn", &TlvDBColumn::ShowMemoBtn, &TlvDBColumn::SetShowMemoBtn).Default(true);
  cls.Prop(L"Width", &TlvDBColumn::Width, &TlvDBColumn::SetWidth);
}

VCL_REGISTER(TlvDBGridColumns) {}

VCL_REGISTER(TsDBGrid) {
  cls.Prop(L"SkinData", &TsDBGrid::SkinData, &TsDBGrid::SetSkinData);
  cls.Prop(L"OnGetCellText", &TsDBGrid::OnGetCellText);
  cls.Prop(L"OnGetCellParams", &TsDBGrid::OnGetCellParams);
  cls.Prop(L"OnScrollData", &TsDBGrid::OnScrollData);
  cls.Prop(L"OnAfterScroll", &TsDBGrid::OnAfterScroll);
  cls.Prop(L"LevelDelimiterChar", &TsDBGrid::LevelDelimiterChar, &TsDBGrid::SetLevelDelimiterChar).Default(L'|');
}
