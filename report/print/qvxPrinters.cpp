#include "report/print/qvxPrinters.h"

#include <float.h>
#include <winspool.h>

#include <cmath>

#include "platform/rtl/strings.h"
#include "platform/vcl/forms.h"
#include "report/model/qvxRes.h"
#include "report/model/qvxUtils.h"

using rtl::Integer;
using rtl::String;

namespace {

constexpr Integer kAutoBin = DMBIN_AUTO;  // 7
constexpr int kCodeSlots = 256;

// The printer's reason for a refusal, for the user.
String LastErrorText(const String& what) {
  const DWORD code = GetLastError();
  String text = what;
  if (code != 0) text += L": " + rtl::TrimRight(rtl::SysErrorMessage(code));
  return text;
}

}  // namespace

Extended qvxRoundMM(Extended value) { return std::nearbyint(value); }

// ---------------------------------------------------------------------------------------------------------------
// Canvas

VCL_REGISTER(TqvxPrinterCanvas) {}

void TqvxPrinterCanvas::Changing() {
  vcl::TCanvas::Changing();
  UpdateFont();
}

void TqvxPrinterCanvas::UpdateFont() {
  if (!Printer || Printer->DPI.y <= 0) return;
  vcl::TFont* font = Font();
  if (font->PixelsPerInch() == Printer->DPI.y) return;
  const int size = font->Size();
  font->SetPixelsPerInch(static_cast<int>(Printer->DPI.y));
  font->SetSize(size);
}

// ---------------------------------------------------------------------------------------------------------------
// Common part

TqvxCustomPrinter::TqvxCustomPrinter(const String& name, const String& port)
    : Bins(std::make_unique<rtl::TStringList>()),
      Canvas(std::make_unique<TqvxPrinterCanvas>(this)),
      Name(name),
      Papers(std::make_unique<rtl::TStringList>()),
      Port(port) {
  AddCode(*Bins, qvxResources().Get(L"prDefault"), kAutoBin);
  AddCode(*Papers, qvxResources().Get(L"prCustom"), qvxCustomPaper);
}

TqvxCustomPrinter::~TqvxCustomPrinter() = default;

void TqvxCustomPrinter::AddCode(rtl::TStringList& list, const String& name, Integer code) {
  list.AddObject(name, reinterpret_cast<rtl::TObject*>(static_cast<intptr_t>(code)));
}

Integer TqvxCustomPrinter::BinCode(Integer index) const {
  return static_cast<Integer>(reinterpret_cast<intptr_t>(Bins->Objects(index)));
}

Integer TqvxCustomPrinter::PaperCode(Integer index) const {
  return static_cast<Integer>(reinterpret_cast<intptr_t>(Papers->Objects(index)));
}

Integer TqvxCustomPrinter::BinIndex(Integer bin) const {
  for (Integer i = 0; i < Bins->Count(); ++i)
    if (BinCode(i) == bin) return i;
  return -1;
}

Integer TqvxCustomPrinter::PaperIndex(Integer paper) const {
  for (Integer i = 0; i < Papers->Count(); ++i)
    if (PaperCode(i) == paper) return i;
  return -1;
}

Integer TqvxCustomPrinter::BinNameToNumber(const String& name) const {
  const Integer i = Bins->IndexOf(name);
  return i >= 0 ? BinCode(i) : BinCode(0);
}

Integer TqvxCustomPrinter::PaperNameToNumber(const String& name) const {
  const Integer i = Papers->IndexOf(name);
  return i >= 0 ? PaperCode(i) : PaperCode(0);
}

// ---------------------------------------------------------------------------------------------------------------
// An installed printer

TqvxPrinter::~TqvxPrinter() {
  // A job still open when the program ends is given up rather than left spooling.
  if (Printing && DC) AbortDoc(DC);
  FreeDevMode();
}

bool TqvxPrinter::CreateDevMode() {
  if (!OpenPrinterW(const_cast<wchar_t*>(Name.c_str()), &Handle, nullptr)) {
    Handle = nullptr;
    return false;
  }
  const LONG size = DocumentPropertiesW(nullptr, Handle, const_cast<wchar_t*>(Name.c_str()), nullptr, nullptr, 0);
  // The driver's private part follows the public one: the whole size comes from the driver, never from a fixed
  // structure size.
  if (size <= 0) return false;
  DeviceMode = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(size));
  if (!DeviceMode) return false;
  Mode = static_cast<DEVMODEW*>(GlobalLock(DeviceMode));
  if (DocumentPropertiesW(nullptr, Handle, const_cast<wchar_t*>(Name.c_str()), Mode, Mode, DM_OUT_BUFFER) < 0) {
    GlobalUnlock(DeviceMode);
    GlobalFree(DeviceMode);
    DeviceMode = nullptr;
    Mode = nullptr;
  }
  return Mode != nullptr;
}

void TqvxPrinter::FreeDevMode() {
  Canvas->SetHandle(nullptr);
  if (DC) DeleteDC(DC);
  DC = nullptr;
  if (Handle) ClosePrinter(Handle);
  Handle = nullptr;
  if (DeviceMode) {
    GlobalUnlock(DeviceMode);
    GlobalFree(DeviceMode);
  }
  DeviceMode = nullptr;
  Mode = nullptr;
}

void TqvxPrinter::GetDC() {
  if (!DC) {
    const wchar_t* driver = Driver.empty() ? nullptr : Driver.c_str();
    DC = Printing ? CreateDCW(driver, Name.c_str(), nullptr, Mode) : CreateICW(driver, Name.c_str(), nullptr, Mode);
  }
  Canvas->SetHandle(DC);
  Canvas->Refresh();
  Canvas->UpdateFont();
}

void TqvxPrinter::RecreateDC() {
  Canvas->SetHandle(nullptr);
  if (DC) DeleteDC(DC);
  DC = nullptr;
  GetDC();
}

void TqvxPrinter::ResetContext() {
  if (DC && Mode) {
    Canvas->SetHandle(nullptr);
    ResetDCW(DC, Mode);
    Canvas->SetHandle(DC);
    Canvas->Refresh();
  }
}

bool TqvxPrinter::UpdateDeviceCaps() {
  if (!DC) GetDC();
  if (DC) DPI = POINT{GetDeviceCaps(DC, LOGPIXELSX), GetDeviceCaps(DC, LOGPIXELSY)};
  else DPI = POINT{0, 0};
  if (DPI.x == 0 || DPI.y == 0) {
    qvxErrorMsg(L"Printer selected is not valid");
    return false;
  }
  const Extended dx = DPI.x, dy = DPI.y;
  PaperHeight = qvxRoundMM(GetDeviceCaps(DC, PHYSICALHEIGHT) / dy * 25.4L);
  PaperWidth = qvxRoundMM(GetDeviceCaps(DC, PHYSICALWIDTH) / dx * 25.4L);
  LeftMargin = qvxRoundMM(GetDeviceCaps(DC, PHYSICALOFFSETX) / dx * 25.4L);
  TopMargin = qvxRoundMM(GetDeviceCaps(DC, PHYSICALOFFSETY) / dy * 25.4L);
  RightMargin = PaperWidth - qvxRoundMM(GetDeviceCaps(DC, HORZRES) / dx * 25.4L) - LeftMargin;
  BottomMargin = PaperHeight - qvxRoundMM(GetDeviceCaps(DC, VERTRES) / dy * 25.4L) - TopMargin;
  return true;
}

void TqvxPrinter::FillPapers() {
  std::vector<WORD> codes(kCodeSlots, 0);
  const int n = DeviceCapabilitiesW(Name.c_str(), Port.empty() ? nullptr : Port.c_str(), DC_PAPERS,
                                    reinterpret_cast<wchar_t*>(codes.data()), Mode);
  if (n <= 0) return;
  // The answer without a buffer tells how many there are: a driver with more than the slots gets them all.
  const int count = n;
  if (count > kCodeSlots) {
    codes.assign(static_cast<size_t>(count), 0);
    DeviceCapabilitiesW(Name.c_str(), Port.empty() ? nullptr : Port.c_str(), DC_PAPERS,
                        reinterpret_cast<wchar_t*>(codes.data()), Mode);
  }
  std::vector<wchar_t> names(static_cast<size_t>(count) * 64 + 1, 0);
  if (DeviceCapabilitiesW(Name.c_str(), Port.empty() ? nullptr : Port.c_str(), DC_PAPERNAMES, names.data(), Mode) <= 0)
    return;
  for (int i = 0; i < count; ++i) {
    if (codes[static_cast<size_t>(i)] == qvxCustomPaper) continue;
    const wchar_t* p = names.data() + static_cast<size_t>(i) * 64;
    AddCode(*Papers, String(p, wcsnlen(p, 64)), codes[static_cast<size_t>(i)]);
  }
}

void TqvxPrinter::FillBins() {
  std::vector<WORD> codes(kCodeSlots, 0);
  const wchar_t* port = Port.empty() ? nullptr : Port.c_str();
  int n = DeviceCapabilitiesW(Name.c_str(), port, DC_BINS, reinterpret_cast<wchar_t*>(codes.data()), Mode);
  if (n <= 0) return;
  if (n > kCodeSlots) {
    codes.assign(static_cast<size_t>(n), 0);
    DeviceCapabilitiesW(Name.c_str(), port, DC_BINS, reinterpret_cast<wchar_t*>(codes.data()), Mode);
  }
  std::vector<wchar_t> names(static_cast<size_t>(n) * 24 + 1, 0);
  DeviceCapabilitiesW(Name.c_str(), port, DC_BINNAMES, names.data(), Mode);  // names are optional
  for (int i = 0; i < n; ++i) {
    if (codes[static_cast<size_t>(i)] == kAutoBin) continue;
    const wchar_t* p = names.data() + static_cast<size_t>(i) * 24;
    AddCode(*Bins, String(p, wcsnlen(p, 24)), codes[static_cast<size_t>(i)]);
  }
}

void TqvxPrinter::Init() {
  if (Initialized) return;
  if (!CreateDevMode()) {
    FreeDevMode();
    return;
  }
  RecreateDC();
  if (!UpdateDeviceCaps()) {
    FreeDevMode();
    return;
  }
  DefPaper = Mode->dmPaperSize;
  DefBin = Mode->dmDefaultSource;
  DefDuplex = Mode->dmDuplex;
  Paper = DefPaper;
  DefPaperWidth = PaperWidth;
  DefPaperHeight = PaperHeight;
  DefOrientation = Mode->dmOrientation != DMORIENT_PORTRAIT ? poLandscape : poPortrait;
  Orientation = DefOrientation;
  FillPapers();
  FillBins();
  Bin = -1;
  Duplex = -1;
  Initialized = true;
}

void TqvxPrinter::SetViewParams(Integer paperSize, Extended paperWidth, Extended paperHeight,
                                TPrinterOrientation orientation) {
  if (!Mode) return;
  if (paperSize != qvxCustomPaper) {
    Mode->dmFields = DM_ORIENTATION | DM_PAPERSIZE;
    Mode->dmPaperSize = static_cast<short>(paperSize);
    Mode->dmOrientation = orientation == poLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    RecreateDC();
    if (!UpdateDeviceCaps()) return;
  } else {
    SetViewParams(DMPAPER_A4, 0, 0, orientation);
    PaperHeight = paperHeight;
    PaperWidth = paperWidth;
  }
  Paper = paperSize;
  Orientation = orientation;
}

void TqvxPrinter::SetPrintParams(Integer paperSize, Extended paperWidth, Extended paperHeight,
                                 TPrinterOrientation orientation, Integer bin, Integer duplex, Integer copies) {
  if (!Mode) return;
  Mode->dmFields |= DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_DEFAULTSOURCE;
  if (paperSize == qvxCustomPaper) {
    Mode->dmFields |= DM_PAPERLENGTH | DM_PAPERWIDTH;
    const bool landscape = orientation == poLandscape;
    Mode->dmPaperLength = static_cast<short>(std::lround(static_cast<double>((landscape ? paperWidth : paperHeight) * 10)));
    Mode->dmPaperWidth = static_cast<short>(std::lround(static_cast<double>((landscape ? paperHeight : paperWidth) * 10)));
  } else {
    Mode->dmPaperLength = 0;
    Mode->dmPaperWidth = 0;
  }
  Mode->dmPaperSize = static_cast<short>(paperSize);
  Mode->dmOrientation = orientation == poLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  Mode->dmCopies = static_cast<short>(copies);

  Integer b = bin;
  if (b == kAutoBin) b = Bin != -1 ? Bin : DefBin;
  Mode->dmDefaultSource = static_cast<short>(b);

  Integer d = duplex != 0 ? duplex + 1 : DefDuplex;
  if (d == 4) d = DMDUP_SIMPLEX;
  if (Duplex != -1) d = Duplex;
  if (d != DMDUP_SIMPLEX) Mode->dmFields |= DM_DUPLEX;
  Mode->dmDuplex = static_cast<short>(d);

  ResetContext();
  if (UpdateDeviceCaps()) {
    Paper = paperSize;
    Orientation = orientation;
  }
}

void TqvxPrinter::BeginDoc() {
  Printing = true;
  DOCINFOW info{};
  info.cbSize = sizeof(DOCINFOW);
  const String title = Title.empty() ? String(L"Quorvia Document") : Title;
  info.lpszDocName = title.c_str();
  if (!FileName.empty()) info.lpszOutput = FileName.c_str();
  RecreateDC();
  SetLastError(0);
  if (!DC || StartDocW(DC, &info) <= 0) {
    const String reason = LastErrorText(L"The printer \"" + Name + L"\" refused the print job");
    Printing = false;
    RecreateDC();
    throw EqvxPrinterError(reason);
  }
}

void TqvxPrinter::BeginPage() {
  SetLastError(0);
  if (!DC || ::StartPage(DC) <= 0) throw EqvxPrinterError(LastErrorText(L"The printer could not start a page"));
  // A new page starts with the context's defaults: the canvas selects its objects again.
  Canvas->Refresh();
}

void TqvxPrinter::EndPage() {
  SetLastError(0);
  if (!DC || ::EndPage(DC) <= 0) throw EqvxPrinterError(LastErrorText(L"The printer could not finish a page"));
}

void TqvxPrinter::EndDoc() {
  if (DC) {
    // Some drivers raise floating-point faults while they finish a job; they are of no concern here.
    const unsigned saved = _controlfp(0, 0);
    _controlfp(_MCW_EM, _MCW_EM);
    ::EndDoc(DC);
    _clearfp();
    _controlfp(saved, _MCW_EM);
  }
  Printing = false;
  RecreateDC();
  Bin = -1;
  Duplex = -1;
  if (Mode) {
    Mode->dmFields |= DM_DEFAULTSOURCE | DM_DUPLEX;
    Mode->dmDefaultSource = static_cast<short>(DefBin);
    Mode->dmDuplex = static_cast<short>(DefDuplex);
    ResetContext();
  }
}

void TqvxPrinter::Abort() {
  if (DC) AbortDoc(DC);
  EndDoc();
}

void TqvxPrinter::BeginRAWDoc() {
  RecreateDC();
  DOC_INFO_1W info{};
  const String title = Title;
  info.pDocName = const_cast<wchar_t*>(title.c_str());
  info.pDatatype = const_cast<wchar_t*>(L"RAW");
  if (StartDocPrinterW(Handle, 1, reinterpret_cast<BYTE*>(&info)) == 0)
    throw EqvxPrinterError(LastErrorText(L"The printer \"" + Name + L"\" refused the print job"));
  StartPagePrinter(Handle);
}

void TqvxPrinter::WriteRAWDoc(const std::string& buf) {
  DWORD written = 0;
  WritePrinter(Handle, const_cast<char*>(buf.data()), static_cast<DWORD>(buf.size()), &written);
}

void TqvxPrinter::EndRAWDoc() {
  EndPagePrinter(Handle);
  EndDocPrinter(Handle);
}

void TqvxPrinter::PropertiesDlg() {
  if (!Mode) return;
  const short duplex = Mode->dmDuplex;
  HWND owner = nullptr;
  if (vcl::Screen && vcl::Screen->ActiveForm()) owner = vcl::Screen->ActiveForm()->Handle();
  if (DocumentPropertiesW(owner, Handle, const_cast<wchar_t*>(Name.c_str()), Mode, Mode,
                          DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER) <= 0)
    return;
  Bin = Mode->dmDefaultSource;
  if (Mode->dmDuplex != duplex) Duplex = Mode->dmDuplex;
  RecreateDC();
}

// ---------------------------------------------------------------------------------------------------------------
// The stand-in

void TqvxVirtualPrinter::Init() {
  if (Initialized) return;
  DPI = POINT{600, 600};
  DefPaper = DMPAPER_A4;
  DefOrientation = poPortrait;
  DefPaperWidth = 210;
  DefPaperHeight = 297;
  for (const TPaperInfo& info : PaperInfo) AddCode(*Papers, info.Name ? String(info.Name) : String(), info.Typ);
  Bin = -1;
  Duplex = -1;
  Initialized = true;
}

void TqvxVirtualPrinter::SetViewParams(Integer paperSize, Extended paperWidth, Extended paperHeight,
                                       TPrinterOrientation orientation) {
  Extended w = 0, h = 0;
  if (paperSize != qvxCustomPaper && qvxGetPaperDimensions(paperSize, w, h)) {
    PaperWidth = orientation == poPortrait ? w : h;
    PaperHeight = orientation == poPortrait ? h : w;
    Paper = paperSize;
  } else {
    Paper = qvxCustomPaper;
    PaperWidth = paperWidth;
    PaperHeight = paperHeight;
  }
  Orientation = orientation;
  LeftMargin = TopMargin = RightMargin = BottomMargin = 5;
}

void TqvxVirtualPrinter::SetPrintParams(Integer paperSize, Extended paperWidth, Extended paperHeight,
                                        TPrinterOrientation orientation, Integer bin, Integer, Integer) {
  SetViewParams(paperSize, paperWidth, paperHeight, orientation);
  Bin = bin;
}

// ---------------------------------------------------------------------------------------------------------------
// The list

TqvxPrinters::TqvxPrinters() : FPrinters(std::make_unique<rtl::TStringList>()) {
  FillPrinters();
  if (!FPrinterList.empty()) {
    FHasPhysicalPrinters = true;
    SetPrinterIndex(IndexOf(GetDefaultPrinter()));
    if (FPrinterIndex == -1) SetPrinterIndex(0);
  } else {
    FPrinterList.push_back(std::make_unique<TqvxVirtualPrinter>(qvxResources().Get(L"prVirtual"), String()));
    FHasPhysicalPrinters = false;
    SetPrinterIndex(0);
  }
}

TqvxPrinters::~TqvxPrinters() { Clear(); }

void TqvxPrinters::Clear() {
  FPrinterList.clear();
  FPrinters->Clear();
  FPrinterIndex = -1;
}

void TqvxPrinters::FillPrinters() {
  Clear();
  // A 64-bit program runs on the NT line only: level 4 (names) of the local and connected printers.
  const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
  DWORD needed = 0, returned = 0;
  EnumPrintersW(flags, nullptr, 4, nullptr, 0, &needed, &returned);
  if (needed == 0) return;
  std::vector<BYTE> buffer(needed);
  if (!EnumPrintersW(flags, nullptr, 4, buffer.data(), needed, &needed, &returned)) return;
  // The system answers with as many records as fit into what it asked for; never read past the buffer.
  returned = std::min<DWORD>(returned, static_cast<DWORD>(buffer.size() / sizeof(PRINTER_INFO_4W)));
  const auto* info = reinterpret_cast<const PRINTER_INFO_4W*>(buffer.data());
  for (DWORD i = 0; i < returned; ++i) {
    if (!info[i].pPrinterName) continue;
    const String name = info[i].pPrinterName;
    FPrinterList.push_back(std::make_unique<TqvxPrinter>(name, String()));
    FPrinters->Add(name);
  }
}

TqvxCustomPrinter* TqvxPrinters::GetItem(Integer index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return FPrinterList[static_cast<size_t>(index)].get();
}

Integer TqvxPrinters::IndexOf(const String& name) const {
  for (Integer i = 0; i < Count(); ++i)
    if (rtl::AnsiSameText(FPrinterList[static_cast<size_t>(i)]->Name, name)) return i;
  return -1;
}

void TqvxPrinters::SetPrinterIndex(Integer value) {
  FPrinterIndex = value == -1 ? IndexOf(GetDefaultPrinter()) : value;
  if (FPrinterIndex < -1 || FPrinterIndex >= Count()) FPrinterIndex = -1;
  if (TqvxCustomPrinter* p = GetItem(FPrinterIndex)) p->Init();
}

String TqvxPrinters::GetDefaultPrinter() const {
  wchar_t buffer[256] = {};
  GetProfileStringW(L"windows", L"device", L"", buffer, 255);
  const String device = buffer;
  const auto comma = device.find(L',');
  return comma == String::npos ? String() : device.substr(0, comma);
}

namespace {
std::unique_ptr<TqvxPrinters>& GlobalPrinters() {
  static std::unique_ptr<TqvxPrinters> printers;
  return printers;
}
}  // namespace

TqvxPrinters& qvxPrinters() {
  if (!GlobalPrinters()) GlobalPrinters() = std::make_unique<TqvxPrinters>();
  return *GlobalPrinters();
}

void qvxFreePrinters() { GlobalPrinters().reset(); }
