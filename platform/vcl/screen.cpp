// The screen: the list of forms, the active form, cursors, fonts and the work area.
#include <algorithm>

#include "platform/vcl/forms.h"

namespace vcl {

TScreen* Screen = nullptr;

TScreen::TScreen(TComponent* owner) : TComponent(owner) {
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  hint_font_ = new TFont();
  menu_font_ = new TFont();
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) {
    hint_font_->SetHandle(CreateFontIndirectW(&ncm.lfStatusFont));
    menu_font_->SetHandle(CreateFontIndirectW(&ncm.lfMenuFont));
  }
}

TScreen::~TScreen() {
  delete hint_font_;
  delete menu_font_;
  if (Screen == this) Screen = nullptr;
}

void TScreen::AddForm(TCustomForm* form) {
  if (std::find(forms_.begin(), forms_.end(), form) == forms_.end()) forms_.push_back(form);
}

void TScreen::RemoveForm(TCustomForm* form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
  if (active_form_ == form) active_form_ = nullptr;
}

void TScreen::SetActiveForm(TCustomForm* form) { active_form_ = form; }

void TScreen::SetCursor(TCursor value) {
  if (cursor_ == value) return;
  cursor_ = value;
  POINT p;
  GetCursorPos(&p);
  ::SetCursor(Cursors(value == crDefault ? crArrow : value));
  SetCursorPos(p.x, p.y);  // makes the window under the mouse set its own cursor again
}

HCURSOR TScreen::Cursors(TCursor index) {
  for (auto& c : cursors_)
    if (c.first == index) return c.second;
  const wchar_t* id = IDC_ARROW;
  switch (index) {
    case crNone: return nullptr;
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE: id = IDC_SIZEWE; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass: id = IDC_WAIT; break;
    case crNo: id = IDC_NO; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crHelp: id = IDC_HELP; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    case crHSplit: id = IDC_SIZEWE; break;
    case crVSplit: id = IDC_SIZENS; break;
    case crSQLWait: id = IDC_WAIT; break;
    default: break;
  }
  return LoadCursorW(nullptr, id);
}

void TScreen::SetCursors(TCursor index, HCURSOR cursor) {
  for (auto& c : cursors_)
    if (c.first == index) {
      c.second = cursor;
      return;
    }
  cursors_.emplace_back(index, cursor);
}

namespace {
int CALLBACK EnumFamily(const LOGFONTW* lf, const TEXTMETRICW*, DWORD, LPARAM data) {
  auto* list = reinterpret_cast<std::vector<String>*>(data);
  String name = lf->lfFaceName;
  if (!name.empty() && name[0] != L'@' && std::find(list->begin(), list->end(), name) == list->end())
    list->push_back(name);
  return 1;
}
}  // namespace

const std::vector<String>& TScreen::Fonts() {
  if (fonts_.empty()) {
    HDC dc = GetDC(nullptr);
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExW(dc, &lf, &EnumFamily, reinterpret_cast<LPARAM>(&fonts_), 0);
    ReleaseDC(nullptr, dc);
    std::sort(fonts_.begin(), fonts_.end());
  }
  return fonts_;
}

TRect TScreen::WorkAreaRect() const {
  RECT r;
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0)) r = RECT{0, 0, Width(), Height()};
  return TRect(r);
}

int TScreen::PixelsPerInch() const { return TFont::ScreenPixelsPerInch(); }

VCL_REGISTER(TScreen) {}

}  // namespace vcl
