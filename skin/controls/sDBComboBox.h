#pragma once
// The skinned bound combo box: an editable drop-down whose text is its field's; the items are suggestions and any
// text is accepted. Without an active skin it is the platform's bound combo box.
#include <memory>

#include "platform/db/dbctrls.h"
#include "skin/core/sCommonData.h"

class TsDBComboBox : public db::TDBComboBox {
  VCL_CLASS(TsDBComboBox, db::TDBComboBox)
  void WndProc(vcl::TMessage& message) override;
  explicit TsDBComboBox(vcl::TComponent* owner);
  ~TsDBComboBox() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsCommonData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsCommonData* value) { FCommonData->Assign(value); }

 protected:
  std::unique_ptr<TsCommonData> FCommonData;
};
