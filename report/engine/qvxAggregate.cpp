#include "report/engine/qvxAggregate.h"

#include <algorithm>

#include "platform/rtl/strings.h"
#include "report/model/qvxClassMemo.h"
#include "report/model/qvxClassPages.h"
#include "report/model/qvxReport.h"
#include "report/model/qvxUtils.h"

using rtl::String;
using rtl::Variant;

namespace {

// A report variable may hold a text that names another variable; cycles stop here.
constexpr int kMaxVariableDepth = 32;

bool IsSkipped(wchar_t c) {
  if (c >= 1 && c <= 32) return true;
  if (c >= L'0' && c <= L'9') return true;
  switch (c) {
    case L'!':
    case L'#':
    case L'$':
    case L'%':
    case L'&':
    case L'*':
    case L'+':
    case L',':
    case L'-':
    case L'.':
    case L'/':
    case L'=':
    case L'[':
    case L']':
    case L'^':
    case L'|':
      return true;
    default:
      return false;
  }
}

bool EndsWord(wchar_t c) {
  if (c >= 1 && c <= 32) return true;
  switch (c) {
    case L'!':
    case L'#':
    case L'$':
    case L'%':
    case L'&':
    case L'(':
    case L'*':
    case L'+':
    case L',':
    case L'-':
    case L'.':
    case L'/':
    case L'=':
    case L'[':
    case L']':
    case L'^':
    case L'|':
      return true;
    default:
      return false;
  }
}

bool IsAggregateName(const String& upper) {
  return upper == L"SUM" || upper == L"MIN" || upper == L"MAX" || upper == L"AVG" || upper == L"COUNT";
}

TqvxAggregateFunction FunctionOf(const String& name) {
  const String upper = rtl::UpperCase(rtl::Trim(name));
  if (upper == L"SUM") return agSum;
  if (upper == L"AVG") return agAvg;
  if (upper == L"MIN") return agMin;
  if (upper == L"MAX") return agMax;
  return agCount;
}

// The arguments of a call from pos (0-based, just after its "("); pos ends after the closing parenthesis.
void Get3Params(const String& s, size_t& pos, String& s1, String& s2, String& s3) {
  s1.clear();
  s2.clear();
  s3.clear();
  int found = 0;
  int depth = 1;
  bool inSingle = false, inDouble = false;
  size_t start = pos;
  for (; pos < s.size(); ++pos) {
    const wchar_t c = s[pos];
    if (c == L'\'' && !inDouble) {
      inSingle = !inSingle;
    } else if (c == L'"' && !inSingle) {
      inDouble = !inDouble;
    } else if (!inSingle && !inDouble) {
      if (c == L'(') {
        ++depth;
      } else if (c == L')') {
        if (--depth == 0) break;
      } else if (c == L',' && depth == 1) {
        (found == 0 ? s1 : s2) = s.substr(start, pos - start);
        ++found;
        start = pos + 1;
      }
    }
  }
  const String rest = s.substr(start, (pos < s.size() ? pos : s.size()) - start);
  if (found == 0)
    s1 = rest;
  else if (found == 1)
    s2 = rest;
  else
    s3 = rest;
  if (pos < s.size()) ++pos;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------------
// Items

void TqvxAggregateItem::Accumulate(Variant& value, rtl::Integer& count, const Variant& v) const {
  if (!(FAggregateFunction == agAvg && v.IsNull())) ++count;
  if (value.IsNull()) {
    value = v;
  } else if (!v.IsNull()) {
    switch (FAggregateFunction) {
      case agSum:
      case agAvg:
        value = value + v;
        break;
      case agMin:
        if (v < value) value = v;
        break;
      case agMax:
        if (v > value) value = v;
        break;
      case agCount:
        break;
    }
  }
}

void TqvxAggregateItem::Calc() {
  if (!FBand || (!FBand->Visible() && !FCountInvisibleBands)) return;
  Variant v = Variant::Null();
  if (FAggregateFunction != agCount) {
    FReport->CurObject = FMemoName;
    v = FReport->Calc(FExpression);
  }
  if (v.VarType() == rtl::varBoolean && v == Variant(true)) v = Variant(1);
  if (FVColumn >= 1) {
    const size_t column = static_cast<size_t>(FVColumn);
    if (FItemsArray.size() <= column) {
      FItemsArray.resize(std::max<size_t>(column + 1, 1001), Variant::Null());
      FItemsCountArray.resize(FItemsArray.size(), 0);
    }
    Accumulate(FItemsArray[column], FItemsCountArray[column], v);
  } else if (FKeeping) {
    Accumulate(FTempItemsValue, FTempItemsCount, v);
  } else {
    FLastCount = FItemsCount;
    FLastValue = FItemsValue;
    Accumulate(FItemsValue, FItemsCount, v);
  }
}

Variant TqvxAggregateItem::Value() const {
  Variant value = FItemsValue;
  rtl::Integer count = FItemsCount;
  if (!FItemsArray.empty()) {
    const size_t column = FVColumn > 0 ? static_cast<size_t>(FVColumn) : 0;
    value = column < FItemsArray.size() ? FItemsArray[column] : Variant::Null();
    count = column < FItemsCountArray.size() ? FItemsCountArray[column] : 0;
  }
  Variant result;
  switch (FAggregateFunction) {
    case agAvg:
      result = value.IsNull() || count == 0 ? Variant::Null() : value / Variant(static_cast<double>(count));
      break;
    case agCount:
      result = Variant(count);
      break;
    default:
      result = value;
  }
  if (result.IsNull() || result.IsEmpty()) result = Variant(0);
  return result;
}

void TqvxAggregateItem::Reset() {
  if (FDontReset && FItemsCount != 0) return;
  FItemsCount = 0;
  FItemsValue = Variant::Null();
  FItemsArray.clear();
  FItemsCountArray.clear();
}

void TqvxAggregateItem::DeleteValue() {
  FItemsCount = FLastCount;
  FItemsValue = FLastValue;
}

void TqvxAggregateItem::StartKeep() {
  if (!FIsPageFooter || FKeeping) return;
  FKeeping = true;
  FTempItemsCount = 0;
  FTempItemsValue = Variant::Null();
}

void TqvxAggregateItem::EndKeep() {
  if (!FIsPageFooter || !FKeeping) return;
  FKeeping = false;
  FItemsCount += FTempItemsCount;
  if (FItemsValue.IsNull()) {
    FItemsValue = FTempItemsValue;
  } else if (!FTempItemsValue.IsNull()) {
    switch (FAggregateFunction) {
      case agSum:
      case agAvg:
      case agCount:
        FItemsValue = FItemsValue + FTempItemsValue;
        break;
      case agMin:
        if (FTempItemsValue < FItemsValue) FItemsValue = FTempItemsValue;
        break;
      case agMax:
        if (FTempItemsValue > FItemsValue) FItemsValue = FTempItemsValue;
        break;
    }
  }
}

// ---------------------------------------------------------------------------------------------------------------
// Collecting

void TqvxAggregateList::SearchBand(TqvxBand* band, TqvxDataBand* dataBand) {
  if (!band) return;
  for (TqvxComponent* obj : band->Objects())
    if (auto* memo = dynamic_cast<TqvxCustomMemoView*>(obj)) FindAggregates(memo, dataBand);
}

void TqvxAggregateList::SearchBandChain(TqvxBand* band, TqvxDataBand* dataBand) {
  // A child chain cannot be circular (SetChild refuses it); the bound guards against a hand-made one.
  for (int n = 0; band && n < 1000; ++n, band = band->Child()) SearchBand(band, dataBand);
}

void TqvxAggregateList::AddDataBand(TqvxBand* band) {
  auto* data = dynamic_cast<TqvxDataBand*>(band);
  if (!data) return;
  SearchBandChain(data->Footer, data);
  if (data->Group)
    for (TqvxBand* group : data->Group->SubBands) SearchBandChain(group->Footer, data);
  for (TqvxBand* detail : data->SubBands) AddDataBand(detail);
  if (data->Vertical()) SearchBand(data, data);
}

void TqvxAggregateList::AddItems(TqvxReportPage* page) {
  for (TqvxBand* band : page->SubBands) AddDataBand(band);
  for (TqvxBand* band : page->VSubBands) AddDataBand(band);
  TqvxBand* first = !page->SubBands.empty()    ? page->SubBands.front()
                    : !page->VSubBands.empty() ? page->VSubBands.front()
                                               : nullptr;
  auto* master = dynamic_cast<TqvxDataBand*>(first);
  if (!master) return;
  SearchBandChain(page->FindBand(TqvxPageFooter::StaticClass()), master);
  SearchBandChain(page->FindBand(TqvxColumnFooter::StaticClass()), master);
  SearchBandChain(page->FindBand(TqvxReportSummary::StaticClass()), master);
}

void TqvxAggregateList::FindAggregates(TqvxCustomMemoView* memo, TqvxDataBand* dataBand) {
  if (!memo->AllowExpressions) return;
  const String& delimiters = memo->ExpressionDelimiters;
  const size_t comma = delimiters.find(L',');
  const String open = comma == String::npos ? delimiters : delimiters.substr(0, comma);
  const String close = comma == String::npos ? String() : delimiters.substr(comma + 1, 255);
  if (open.empty() || close.empty()) return;
  const String text = memo->Text();
  size_t from = 0;
  for (;;) {
    const size_t at = text.find(open, from);
    if (at == String::npos) return;
    int i = static_cast<int>(at) + 1;
    int j = 0;
    const String expr = qvxGetBrackedVariableW(text, open, close, i, j);
    if (i == j) return;
    SearchText(memo, dataBand, expr, 0);
    from = static_cast<size_t>(j);
  }
}

void TqvxAggregateList::SearchText(TqvxCustomMemoView* memo, TqvxDataBand* dataBand, const String& text, int depth) {
  if (depth > kMaxVariableDepth) return;
  TqvxVariables* variables = FReport->Variables();
  if (variables->IndexOf(text) >= 0) {
    SearchVariable(memo, dataBand, text, depth);
    return;
  }
  TqvxDataSet* ds = nullptr;
  String field;
  if (text.find(L".\"") != String::npos) {
    FReport->GetDatasetAndField(text, ds, field);
    if (ds && !field.empty()) return;
  }
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    const wchar_t c = text[i];
    if (IsSkipped(c)) {
      ++i;
    } else if (c == L'"' || c == L'\'') {
      const size_t end = text.find(c, i + 1);
      i = end == String::npos ? n : end + 1;
    } else if (c == L'(' || c == L'<') {
      int a = static_cast<int>(i) + 1;
      int b = 0;
      const String inner = qvxGetBrackedVariableW(text, String(1, c), String(1, c == L'(' ? L')' : L'>'), a, b);
      if (a != b) {
        SearchText(memo, dataBand, inner, depth);
        i = static_cast<size_t>(b);
      } else {
        ++i;
      }
    } else {
      size_t end = i;
      while (end < n && !EndsWord(text[end])) ++end;
      const String word = text.substr(i, end - i);
      if (end < n && text[end] == L'(' && IsAggregateName(rtl::UpperCase(word))) {
        size_t pos = end + 1;
        String s1, s2, s3;
        Get3Params(text, pos, s1, s2, s3);
        AddAggregate(memo, dataBand, text.substr(i, pos - i));
        i = pos;
      } else {
        if (variables->IndexOf(word) >= 0) SearchVariable(memo, dataBand, word, depth);
        i = end;
      }
    }
  }
}

void TqvxAggregateList::SearchVariable(TqvxCustomMemoView* memo, TqvxDataBand* dataBand, const String& name,
                                       int depth) {
  // A variable whose text leads back to itself is searched once on the way: texts such as X = "Y + Y",
  // Y = "X + X" would otherwise double the work at every level.
  const String key = rtl::UpperCase(name);
  if (std::find(FSearchPath.begin(), FSearchPath.end(), key) != FSearchPath.end()) return;
  const Variant value = FReport->Variables()->GetVariable(name);
  FSearchPath.push_back(key);
  try {
    SearchText(memo, dataBand, value.IsNull() ? String() : rtl::VarToStr(value), depth + 1);
  } catch (...) {
    FSearchPath.pop_back();
    throw;
  }
  FSearchPath.pop_back();
}

void TqvxAggregateList::ParseName(const String& complexName, TqvxAggregateFunction& func, String& expr,
                                  TqvxDataBand*& band, bool& countInvisible, bool& dontReset) {
  const size_t paren = complexName.find(L'(');
  func = FunctionOf(complexName.substr(0, paren));
  String s1, s2, s3;
  if (paren != String::npos) {
    size_t pos = paren + 1;
    Get3Params(complexName, pos, s1, s2, s3);
  }
  s1 = rtl::Trim(s1);
  s2 = rtl::Trim(s2);
  s3 = rtl::Trim(s3);
  String bandName, flags;
  if (func == agCount) {
    expr.clear();
    bandName = s1;
    flags = s2;
  } else {
    expr = s1;
    bandName = s2;
    flags = s3;
  }
  band = bandName.empty() ? nullptr : dynamic_cast<TqvxDataBand*>(FReport->FindObject(bandName));
  const rtl::Integer f = flags.empty() ? 0 : rtl::StrToInt(flags);
  countInvisible = (f & 1) != 0;
  dontReset = (f & 2) != 0;
}

void TqvxAggregateList::AddAggregate(TqvxCustomMemoView* memo, TqvxDataBand* dataBand, const String& call) {
  auto item = std::make_unique<TqvxAggregateItem>(FReport);
  ParseName(call, item->FAggregateFunction, item->FExpression, item->FBand, item->FCountInvisibleBands,
            item->FDontReset);
  if (!item->FBand) item->FBand = dataBand;
  TqvxBand* parent = dynamic_cast<TqvxBand*>(memo->Parent());
  if (parent && parent->Vertical()) {
    auto* original = dynamic_cast<TqvxBand*>(memo->OriginalBand());
    if (original) {
      const rtl::Integer number = original->BandNumber();
      if (number == 1 || number == 3 || number == 5 || number == 13) parent = original;
    }
  }
  item->FParentBand = parent;
  item->FIsPageFooter = dynamic_cast<TqvxPageFooter*>(parent) != nullptr;
  item->FOriginalName = rtl::Trim(call);
  item->FMemoName = memo->Name();
  item->Reset();
  FList.push_back(std::move(item));
}

// ---------------------------------------------------------------------------------------------------------------
// Running

void TqvxAggregateList::AddValue(TqvxBand* band, rtl::Integer vColumn) {
  for (auto& item : FList)
    if (item->FBand == band) {
      item->FVColumn = vColumn;
      item->Calc();
    }
}

void TqvxAggregateList::DeleteValue(TqvxBand* band) {
  for (auto& item : FList)
    if (item->FBand == band) item->DeleteValue();
}

void TqvxAggregateList::Reset(TqvxBand* parentBand) {
  for (auto& item : FList)
    if (item->FParentBand == parentBand) item->Reset();
}

void TqvxAggregateList::StartKeep() {
  for (auto& item : FList) item->StartKeep();
}

void TqvxAggregateList::EndKeep() {
  for (auto& item : FList) item->EndKeep();
}

void TqvxAggregateList::ClearValues() {
  for (auto& item : FList) {
    const bool dontReset = item->FDontReset;
    item->FDontReset = false;
    item->Reset();
    item->FDontReset = dontReset;
  }
}

Variant TqvxAggregateList::GetValue(TqvxBand* parentBand, rtl::Integer vColumn, const String& name,
                                    const String& expression, TqvxBand* band, rtl::Integer flags) {
  const TqvxAggregateFunction func = FunctionOf(name);
  const String expr = rtl::Trim(expression);
  const bool countInvisible = (flags & 1) != 0;
  const bool dontReset = (flags & 2) != 0;
  for (auto& item : FList) {
    if (item->FParentBand != parentBand || item->FAggregateFunction != func) continue;
    if (!rtl::SameText(rtl::Trim(item->FExpression), expr)) continue;
    if (band && item->FBand != band) continue;
    if (item->FCountInvisibleBands != countInvisible || item->FDontReset != dontReset) continue;
    item->FVColumn = vColumn;
    return item->Value();
  }
  return Variant::Null();
}

Variant TqvxAggregateList::GetValue(TqvxBand* parentBand, const String& complexName, rtl::Integer vColumn) {
  const String name = rtl::Trim(complexName);
  for (auto& item : FList)
    if (item->FParentBand == parentBand && rtl::SameText(item->FOriginalName, name)) {
      item->FVColumn = vColumn;
      return item->Value();
    }
  return Variant::Null();
}
