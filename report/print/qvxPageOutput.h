#pragma once
// The prepared-pages store's drawing, mouse handling, printing and export (the store hands them over through its
// output link, qvxPagesOutput.h). Scales turn report units (pixels at 96 per inch) into canvas pixels; offsets
// are the canvas position of the paper's corner.
#include "platform/vcl/canvas.h"
#include "platform/vcl/controls.h"
#include "report/pages/qvxPreviewPages.h"

class TqvxView;

// Paints page index (nothing outside the pages). On a printer canvas the objects meant for printing are drawn,
// elsewhere those meant for the preview, clipped to the page's paper; objects outside the canvas's visible part are
// skipped.
void qvxDrawPage(TqvxPreviewPages& pages, rtl::Integer index, vcl::TCanvas* canvas, Extended scaleX, Extended scaleY,
                 Extended offsetX, Extended offsetY);

// The preview's mouse over page index at canvas point (x, y): the object under it gets the mouse events, its
// cursor, hint and hyperlink; drill-down headers open and close. Answers the view handled, nullptr when none.
rtl::TObject* qvxObjectOver(TqvxPreviewPages& pages, rtl::Integer index, rtl::Integer x, rtl::Integer y,
                            vcl::TMouseButton button, vcl::TShiftState shift, Extended scale, Extended offsetX,
                            Extended offsetY, vcl::TCursor& cursor, TqvxMouseIntEvents mouseEvent);

// Hands the pages object by object to filter. False when the export failed (the report's errors tell why).
bool qvxExportPages(TqvxPreviewPages& pages, TqvxCustomExportFilter* filter);

// Prints the prepared pages on the current printer by the report's print options (qvxPrint.cpp). False when
// nothing was printed for a reason the user is told (no printer, a refused or failed job, a cancelled dialog or
// job).
bool qvxPrintPages(TqvxPreviewPages& pages);

// The view's rectangle on the canvas, as the hit test sees it.
bool qvxMouseInView(TqvxView* view, int x, int y, Extended scale, Extended offsetX, Extended offsetY);
