#pragma once
// Totals (SUM, AVG, MIN, MAX, COUNT) written in text objects. A footer prints after the records it sums, and a page
// footer may print before them, so the calls are found before the run: each becomes an item that knows the data
// band feeding it and the band showing it. The item accumulates while its data band prints; the text's call only
// looks the running value up; the item restarts after its showing band has printed.
#include <memory>
#include <vector>

#include "platform/rtl/variant.h"
#include "report/model/qvxClassBands.h"

class TqvxReport;
class TqvxReportPage;
class TqvxCustomMemoView;
class TqvxDataBand;

enum TqvxAggregateFunction { agSum, agAvg, agMin, agMax, agCount };

class TqvxAggregateItem {
 public:
  explicit TqvxAggregateItem(TqvxReport* report) : FReport(report) {}

  // One step of the data band: evaluates the expression (COUNT: none) and accumulates it.
  void Calc();
  // The running result; an empty total is 0.
  rtl::Variant Value() const;
  void Reset();
  // Back to the state before the last step.
  void DeleteValue();
  void StartKeep();
  void EndKeep();

  TqvxAggregateFunction FAggregateFunction = agCount;
  TqvxDataBand* FBand = nullptr;
  bool FCountInvisibleBands = false;
  bool FDontReset = false;
  rtl::String FExpression;
  bool FIsPageFooter = false;
  // One value and one count per vertical column, made on first use of a column.
  std::vector<rtl::Variant> FItemsArray;
  std::vector<rtl::Integer> FItemsCountArray;
  rtl::Integer FItemsCount = 0;
  rtl::Variant FItemsValue = rtl::Variant::Null();
  bool FKeeping = false;
  rtl::Integer FLastCount = 0;
  rtl::Variant FLastValue = rtl::Variant::Null();
  rtl::String FMemoName;
  rtl::String FOriginalName;
  TqvxBand* FParentBand = nullptr;
  TqvxReport* FReport;
  rtl::Integer FTempItemsCount = 0;
  rtl::Variant FTempItemsValue = rtl::Variant::Null();
  rtl::Integer FVColumn = 0;

 private:
  // value and count take v by the function's rule.
  void Accumulate(rtl::Variant& value, rtl::Integer& count, const rtl::Variant& v) const;
};

class TqvxAggregateList {
 public:
  explicit TqvxAggregateList(TqvxReport* report) : FReport(report) {}

  void Clear() { FList.clear(); }
  rtl::Integer Count() const { return static_cast<rtl::Integer>(FList.size()); }
  TqvxAggregateItem* Items(rtl::Integer index) const { return FList[static_cast<size_t>(index)].get(); }
  // Finds every aggregate call in the text objects of the page's footers, summaries and vertical bands.
  void AddItems(TqvxReportPage* page);
  // The calls in one text object; a call naming no band is fed by dataBand.
  void FindAggregates(TqvxCustomMemoView* memo, TqvxDataBand* dataBand);
  // Splits "SUM(expr, band, flags)"; the flags argument must be a decimal number (EConvertError otherwise).
  void ParseName(const rtl::String& complexName, TqvxAggregateFunction& func, rtl::String& expr, TqvxDataBand*& band,
                 bool& countInvisible, bool& dontReset);
  void AddValue(TqvxBand* band, rtl::Integer vColumn);
  void DeleteValue(TqvxBand* band);
  void Reset(TqvxBand* parentBand);
  void StartKeep();
  void EndKeep();
  // Every item restarts, running totals too (between the passes of a two-pass run).
  void ClearValues();
  rtl::Variant GetValue(TqvxBand* parentBand, rtl::Integer vColumn, const rtl::String& name,
                        const rtl::String& expression, TqvxBand* band, rtl::Integer flags);
  rtl::Variant GetValue(TqvxBand* parentBand, const rtl::String& complexName, rtl::Integer vColumn);

 private:
  void AddAggregate(TqvxCustomMemoView* memo, TqvxDataBand* dataBand, const rtl::String& call);
  // Searches text for calls; depth bounds the variables that refer to one another.
  void SearchText(TqvxCustomMemoView* memo, TqvxDataBand* dataBand, const rtl::String& text, int depth);
  void SearchVariable(TqvxCustomMemoView* memo, TqvxDataBand* dataBand, const rtl::String& name, int depth);
  void SearchBand(TqvxBand* band, TqvxDataBand* dataBand);
  void SearchBandChain(TqvxBand* band, TqvxDataBand* dataBand);
  void AddDataBand(TqvxBand* band);

  std::vector<std::unique_ptr<TqvxAggregateItem>> FList;
  TqvxReport* FReport;
  // The variables being searched now, outermost first (names upper-cased).
  std::vector<rtl::String> FSearchPath;
};
