#pragma once
// The list the field-text tests print: one page with one master data band over a query's dataset.
#include <optional>

#include "platform/db/ado.h"
#include "platform/rtl/strings.h"
#include "report/model/qvxClassBands.h"
#include "report/model/qvxDBSet.h"
#include "report/model/qvxReport.h"

struct TListBand {
  TqvxDBDataset* Dataset;
  TqvxMasterData* Band;
};

// `report` runs silently, into `pages` where one is given. The dataset `dsName`, known to expressions as "D",
// reads `query` and belongs to `owner` (a report does not free its datasets); page "Page1" holds the band
// "MasterData1" over it, at `top` where one is given.
inline TListBand AddListBand(TqvxReport* report, TqvxCustomPreviewPages* pages, vcl::TComponent* owner,
                             const rtl::String& dsName, db::TADOQuery* query, Extended height,
                             std::optional<Extended> top = std::nullopt) {
  report->EngineOptions()->NewSilentMode = simSilent;
  if (pages) report->SetPreviewPages(pages);
  auto* ds = new TqvxDBDataset(owner);
  ds->SetName(dsName);
  ds->SetUserName(L"D");
  ds->SetDataSet(query);
  report->DataSets()->Add(ds);
  auto* page = new TqvxReportPage(report);
  page->SetName(L"Page1");
  auto* band = new TqvxMasterData(page);
  band->SetName(L"MasterData1");
  if (top) band->SetTop(*top);
  band->SetHeight(height);
  band->SetDataSet(ds);
  return {ds, band};
}
