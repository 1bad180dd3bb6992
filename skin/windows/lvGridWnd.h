#pragma once
// Grid wrappers: the edit wrapper's frame and skinned bars for grids of the platform's class library and of other
// makers, whose colour properties (found by name through the run-time type information) get the skin's colours;
// the standard values are saved first and put back when the skin goes.
#include "skin/windows/lvEditWnd.h"

class TlvGridWnd : public TlvEditWnd {
 public:
  ~TlvGridWnd() override;
  vcl::TColor IndColor = 0, FixedColor = 0, TitleColor = 0, EvenRowColor = 0, OddRowColor = 0, FooterColor = 0,
              GridLineColor = 0, TitleFontColor = 0, SelectionColor = 0, FooterCellColor = 0, SelectionTextColor = 0,
              GridFixedLineColor = 0, FixedGradientMirrorTo = 0, FixedGradientMirrorFrom = 0;
  vcl::TColor FixedGradientFrom = 0, FixedGradientTo = 0;

  void SaveStdParams() override;
  void RestoreStdParams() override;
  void SetSkinParams() override;
  void lvWndProc(vcl::TMessage& message) override;

 protected:
  void WriteBackGrid();
  bool gridSaved_ = false;
};

class TlvGridEhWnd : public TlvGridWnd {
 public:
  ~TlvGridEhWnd() override;
  bool Fixed3D = false;
  vcl::TColor DarkColor = 0, BrightColor = 0, DataHorzColor = 0, DataVertColor = 0, DataGroupColor = 0,
              CategoriesColor = 0, CategoriesFontColor = 0, RowDetailColor = 0;
  int IndHorzLines = 0, IndVertLines = 0, InfFillStyle = 0, TitleHorzLines = 0, TitleFillStyle = 0;

  void SaveStdParams() override;
  void RestoreStdParams() override;
  void SetSkinParams() override;
  void lvWndProc(vcl::TMessage& message) override;

 protected:
  void WriteBackEh();
  bool ehSaved_ = false;
};
