#pragma once
// Date routines of the date edits: the order of day, month and year in the user's short date format, the display
// format and edit mask that follow from it, and a tolerant reader for dates typed through that mask. None raises.
#include "platform/rtl/datetime.h"
#include "platform/rtl/types.h"

enum TDateOrder { doMDY, doDMY, doYMD };

// The empty date.
constexpr rtl::TDateTime NullDate = 0.0;

// By the first of D, M or Y in the format (any case); doDMY when there is none.
TDateOrder GetDateOrder(const rtl::String& dateFormat);
// True when the user's short date format shows four-digit years.
bool NormalYears();
// "DD/MM/YYYY" and the like; '/' stands for the locale's date separator.
rtl::String DefDateFormat(bool fourDigitYear);
// "!99/99/9999;1;" and the like, followed by blanksChar.
rtl::String DefDateMask(wchar_t blanksChar, bool fourDigitYear);
int DaysPerMonth(int year, int month);
int CurrentYear();
// A year below 100 into the window [current year - 60, current year + 39].
int ExpandYear(int year);
bool IsValidDate(int y, int m, int d);
bool ValidDate(rtl::TDateTime date);
// Reads S as typed through a mask of the shape of dateFormat, else freely with the locale's separator. An empty
// text reads as NullDate.
bool InternalStrToDate(const rtl::String& dateFormat, const rtl::String& s, rtl::TDateTime& date);
// The first letter of every date part's positions in the format decides where that part is read from.
bool ScanDateStr(const rtl::String& format, const rtl::String& s, int& d, int& m, int& y);
bool ScanDate(const rtl::String& s, const rtl::String& dateFormat, size_t& pos, int& y, int& m, int& d);
