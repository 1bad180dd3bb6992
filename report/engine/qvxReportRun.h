#pragma once
// The main road of a report: from a screen's ShowReport to a preview full of prepared pages. The report model
// reaches these through its engine link (qvxEngineLink.cpp); the report's own methods of the same names call them.
//
//   report->ShowReport();          // the preview opens, a 50 ms timer then prepares the pages inside its loop
//   report->PrepareReport();       // prepares without showing; False (and the errors shown or raised by the
//                                  // report's EngineOptions.SilentMode) when the run failed or was cancelled
#include "platform/rtl/types.h"

class TqvxReport;

bool qvxPrepareReport(TqvxReport* report, bool clearLastReport);
void qvxShowReport(TqvxReport* report, bool clearLastReport);
void qvxShowPreparedReport(TqvxReport* report);
void qvxReportTimer(TqvxReport* report);
// Registers the report's objects, the names "Report", "Engine", "Outline", "Value" and "Self" and the expression
// functions on its script program (activeReport nullptr: the report itself).
bool qvxPrepareScript(TqvxReport* report, TqvxReport* activeReport);
void qvxAddFunction(TqvxReport* report, const rtl::String& funcName, const rtl::String& category,
                    const rtl::String& description);
