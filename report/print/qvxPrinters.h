#pragma once
// The printers as the report library drives them: the installed printers through their device modes and a device
// (or information) context, and a stand-in with fixed properties when none is installed, so that page settings and
// previews still work. One global list, qvxPrinters(), holds them with the current one.
//
// Papers and bins are string lists whose objects carry the platform's paper and bin codes (PaperCode, BinCode read
// them back). Sizes are millimetres; the device mode's paper sizes are tenths of a millimetre.
//
// A job that the system refuses raises EqvxPrinterError from BeginDoc, BeginPage or EndPage with the system's
// reason, so printing can end the job and tell the user instead of carrying on over a dead device.
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/object.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/win.h"

#include <winspool.h>
// The list's own GetDefaultPrinter answers the name the profile gives; winspool's macro would rename it.
#undef GetDefaultPrinter

#include "platform/vcl/canvas.h"
#include "report/model/qvxClassPages.h"

class TqvxCustomPrinter;

class EqvxPrinterError : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
  rtl::String ClassName() const override { return L"EqvxPrinterError"; }
};

// The canvas printing draws on. Memo objects recognise it by its class name and lay their text out for the device.
class TqvxPrinterCanvas : public vcl::TCanvas {
  VCL_CLASS(TqvxPrinterCanvas, vcl::TCanvas)
 public:
  explicit TqvxPrinterCanvas(TqvxCustomPrinter* printer = nullptr) : Printer(printer) {}
  // Fonts keep their point size on the device: a font made for another resolution is re-sized for the printer's.
  void UpdateFont();

  TqvxCustomPrinter* Printer;

 protected:
  void Changing() override;
};

class TqvxCustomPrinter : public rtl::TObject {
 public:
  TqvxCustomPrinter(const rtl::String& name, const rtl::String& port);
  ~TqvxCustomPrinter() override;
  TqvxCustomPrinter(const TqvxCustomPrinter&) = delete;
  TqvxCustomPrinter& operator=(const TqvxCustomPrinter&) = delete;
  rtl::String ClassName() const override { return L"TqvxCustomPrinter"; }

  virtual void Init() = 0;
  virtual void Abort() = 0;
  virtual void BeginDoc() = 0;
  virtual void BeginPage() = 0;
  virtual void BeginRAWDoc() = 0;
  virtual void EndDoc() = 0;
  virtual void EndPage() = 0;
  virtual void EndRAWDoc() = 0;
  virtual void WriteRAWDoc(const std::string& buf) = 0;
  // The paper and orientation for page settings and previews, outside jobs.
  virtual void SetViewParams(rtl::Integer paperSize, Extended paperWidth, Extended paperHeight,
                             TPrinterOrientation orientation) = 0;
  // The paper, orientation, bin, duplex and copies of the next page of a job. duplex is the report's duplex mode
  // (0 none: the printer's default, 1 vertical, 2 horizontal, 3 simplex).
  virtual void SetPrintParams(rtl::Integer paperSize, Extended paperWidth, Extended paperHeight,
                              TPrinterOrientation orientation, rtl::Integer bin, rtl::Integer duplex,
                              rtl::Integer copies) = 0;
  // The driver's own properties dialog; the bin and duplex chosen there are used by the next job.
  virtual void PropertiesDlg() = 0;

  // Position of the first bin (paper) with that code, -1 when none.
  rtl::Integer BinIndex(rtl::Integer bin) const;
  rtl::Integer PaperIndex(rtl::Integer paper) const;
  // Code of the bin (paper) listed under that name; the first entry's (7, 256) when the name is not listed.
  rtl::Integer BinNameToNumber(const rtl::String& name) const;
  rtl::Integer PaperNameToNumber(const rtl::String& name) const;
  rtl::Integer BinCode(rtl::Integer index) const;
  rtl::Integer PaperCode(rtl::Integer index) const;

  // Bin and duplex chosen in the properties dialog, -1 when none.
  rtl::Integer Bin = -1;
  rtl::Integer Duplex = -1;
  std::unique_ptr<rtl::TStringList> Bins;
  std::unique_ptr<TqvxPrinterCanvas> Canvas;
  TPrinterOrientation DefOrientation = poPortrait;
  rtl::Integer DefPaper = 0;
  Extended DefPaperHeight = 0, DefPaperWidth = 0;
  rtl::Integer DefDuplex = 0, DefBin = 0;
  POINT DPI{0, 0};
  // Print-to-file target; empty: the printer.
  rtl::String FileName;
  HANDLE Handle = nullptr;
  bool Initialized = false;
  rtl::String Name;
  rtl::Integer Paper = 0;
  std::unique_ptr<rtl::TStringList> Papers;
  Extended PaperHeight = 0, PaperWidth = 0;
  // Unprintable margins.
  Extended LeftMargin = 0, TopMargin = 0, RightMargin = 0, BottomMargin = 0;
  TPrinterOrientation Orientation = poPortrait;
  rtl::String Port;
  bool Printing = false;
  rtl::String Title;

 protected:
  static void AddCode(rtl::TStringList& list, const rtl::String& name, rtl::Integer code);
};

// An installed printer.
class TqvxPrinter : public TqvxCustomPrinter {
 public:
  TqvxPrinter(const rtl::String& name, const rtl::String& port) : TqvxCustomPrinter(name, port) {}
  ~TqvxPrinter() override;
  rtl::String ClassName() const override { return L"TqvxPrinter"; }

  void Init() override;
  void Abort() override;
  void BeginDoc() override;
  void BeginPage() override;
  void BeginRAWDoc() override;
  void EndDoc() override;
  void EndPage() override;
  void EndRAWDoc() override;
  void WriteRAWDoc(const std::string& buf) override;
  void SetViewParams(rtl::Integer paperSize, Extended paperWidth, Extended paperHeight,
                     TPrinterOrientation orientation) override;
  void SetPrintParams(rtl::Integer paperSize, Extended paperWidth, Extended paperHeight,
                      TPrinterOrientation orientation, rtl::Integer bin, rtl::Integer duplex,
                      rtl::Integer copies) override;
  void PropertiesDlg() override;

  // Global memory of the device mode, its locked contents, the context (information context outside jobs).
  HGLOBAL DeviceMode = nullptr;
  DEVMODEW* Mode = nullptr;
  HDC DC = nullptr;
  // Never set: the context is made from the printer's name alone.
  rtl::String Driver;

 private:
  bool CreateDevMode();
  void FreeDevMode();
  void GetDC();
  void RecreateDC();
  bool UpdateDeviceCaps();
  void FillPapers();
  void FillBins();
  // The context after a change of the device mode.
  void ResetContext();
};

// The stand-in when no printer is installed: A4 portrait at 600 dots per inch, margins of 5 mm; jobs do nothing.
class TqvxVirtualPrinter : public TqvxCustomPrinter {
 public:
  using TqvxCustomPrinter::TqvxCustomPrinter;
  rtl::String ClassName() const override { return L"TqvxVirtualPrinter"; }

  void Init() override;
  void Abort() override {}
  void BeginDoc() override {}
  void BeginPage() override {}
  void BeginRAWDoc() override {}
  void EndDoc() override {}
  void EndPage() override {}
  void EndRAWDoc() override {}
  void WriteRAWDoc(const std::string&) override {}
  void SetViewParams(rtl::Integer paperSize, Extended paperWidth, Extended paperHeight,
                     TPrinterOrientation orientation) override;
  void SetPrintParams(rtl::Integer paperSize, Extended paperWidth, Extended paperHeight,
                      TPrinterOrientation orientation, rtl::Integer bin, rtl::Integer duplex,
                      rtl::Integer copies) override;
  void PropertiesDlg() override {}
};

class TqvxPrinters : public rtl::TObject {
 public:
  // Lists the installed printers and makes the system's default one current (else the first); with none, the
  // virtual printer stands in.
  TqvxPrinters();
  ~TqvxPrinters() override;
  TqvxPrinters(const TqvxPrinters&) = delete;
  TqvxPrinters& operator=(const TqvxPrinters&) = delete;
  rtl::String ClassName() const override { return L"TqvxPrinters"; }

  void Clear();
  void FillPrinters();
  // nullptr outside the list.
  TqvxCustomPrinter* GetItem(rtl::Integer index) const;
  // Position of the printer of that name (the user's locale, case ignored), -1 when none.
  rtl::Integer IndexOf(const rtl::String& name) const;
  // -1: the system's default printer. The printer made current is initialised.
  void SetPrinterIndex(rtl::Integer value);
  TqvxCustomPrinter* GetCurrentPrinter() const { return GetItem(FPrinterIndex); }
  // Name of the system's default printer, empty when none.
  rtl::String GetDefaultPrinter() const;

  TqvxCustomPrinter* Items(rtl::Integer index) const { return GetItem(index); }
  TqvxCustomPrinter* Printer() const { return GetCurrentPrinter(); }
  rtl::Integer Count() const { return static_cast<rtl::Integer>(FPrinterList.size()); }
  bool HasPhysicalPrinters() const { return FHasPhysicalPrinters; }
  // Names of the installed printers; empty when only the virtual printer exists.
  rtl::TStringList* Printers() const { return FPrinters.get(); }
  rtl::Integer PrinterIndex() const { return FPrinterIndex; }

 private:
  bool FHasPhysicalPrinters = false;
  std::unique_ptr<rtl::TStringList> FPrinters;
  rtl::Integer FPrinterIndex = -1;
  std::vector<std::unique_ptr<TqvxCustomPrinter>> FPrinterList;
};

// The global printer list, made on first use and freed at program end.
TqvxPrinters& qvxPrinters();
// Frees the global list; the next qvxPrinters() lists the installed printers afresh.
void qvxFreePrinters();

// Whole millimetres of a device measure, halves to the even neighbour.
Extended qvxRoundMM(Extended value);
