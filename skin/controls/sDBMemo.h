#pragma once
// The skinned bound memo. Without an active skin it is the platform's bound memo; hidden, it still hands text the
// program sets to its field when the record is posted.
#include <memory>

#include "platform/db/dbctrls.h"
#include "skin/core/sCommonData.h"

class TsDBMemo : public db::TDBMemo {
  VCL_CLASS(TsDBMemo, db::TDBMemo)
  void WndProc(vcl::TMessage& message) override;
  explicit TsDBMemo(vcl::TComponent* owner);
  ~TsDBMemo() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsScrollWndData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsScrollWndData* value) { FCommonData->Assign(value); }

 protected:
  std::unique_ptr<TsScrollWndData> FCommonData;
};
