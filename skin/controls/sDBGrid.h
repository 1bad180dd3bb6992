#pragma once
// The skinned bound grid: one row per record of its data source. Without an active skin it is the platform's bound
// grid, whose click makes the record current before OnCellClick runs.
#include <memory>

#include "platform/db/dbgrids.h"
#include "skin/core/sCommonData.h"

class TsDBGrid : public db::TDBGrid {
  VCL_CLASS(TsDBGrid, db::TDBGrid)
  void WndProc(vcl::TMessage& message) override;
  explicit TsDBGrid(vcl::TComponent* owner);
  ~TsDBGrid() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsScrollWndData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsScrollWndData* value) { FCommonData->Assign(value); }

 protected:
  std::unique_ptr<TsScrollWndData> FCommonData;
};
