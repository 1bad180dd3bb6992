// Turkish and English number settings shared by the formatting tests.
#pragma once

#include "platform/rtl/format.h"

namespace rtltest {

inline rtl::TFormatSettings Turkish() {
  rtl::TFormatSettings fs = rtl::TFormatSettings::Invariant();
  fs.DecimalSeparator = L',';
  fs.ThousandSeparator = L'.';
  fs.CurrencyString = L"TL";
  fs.CurrencyFormat = 3;
  fs.NegCurrFormat = 8;
  fs.CurrencyDecimals = 2;
  return fs;
}

inline rtl::TFormatSettings English() {
  rtl::TFormatSettings fs = rtl::TFormatSettings::Invariant();
  fs.DecimalSeparator = L'.';
  fs.ThousandSeparator = L',';
  fs.CurrencyString = L"$";
  fs.CurrencyFormat = 0;
  fs.NegCurrFormat = 1;
  fs.CurrencyDecimals = 2;
  return fs;
}

}  // namespace rtltest
