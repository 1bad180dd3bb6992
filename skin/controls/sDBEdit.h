#pragma once
// The skinned bound edit. Without an active skin it is the platform's bound edit: it shows and edits its field,
// typing starts an edit of the record, and text the program sets while the record is edited reaches the field.
#include <memory>

#include "platform/db/dbctrls.h"
#include "skin/core/sCommonData.h"

class TsDBEdit : public db::TDBEdit {
  VCL_CLASS(TsDBEdit, db::TDBEdit)
  void WndProc(vcl::TMessage& message) override;
  explicit TsDBEdit(vcl::TComponent* owner);
  ~TsDBEdit() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsScrollWndData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsScrollWndData* value) { FCommonData->Assign(value); }

 protected:
  std::unique_ptr<TsScrollWndData> FCommonData;
};
