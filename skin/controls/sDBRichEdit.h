#pragma once
// The skinned bound rich edit: several lines of a text field, kept as plain text. Without an active skin it is the
// platform's bound rich edit.
#include <memory>

#include "platform/db/dbctrls.h"
#include "skin/core/sCommonData.h"

class TsDBRichEdit : public db::TDBRichEdit {
  VCL_CLASS(TsDBRichEdit, db::TDBRichEdit)
  void WndProc(vcl::TMessage& message) override;
  explicit TsDBRichEdit(vcl::TComponent* owner);
  ~TsDBRichEdit() override;
  void AfterConstruction() override;
  void Loaded() override;

  TsScrollWndData* SkinData() const { return FCommonData.get(); }
  void SetSkinData(TsScrollWndData* value) { FCommonData->Assign(value); }
  // Percent of the normal size the text is shown at.
  int Zoom() const { return FZoom; }
  void SetZoom(int value);

 protected:
  void InitializeWnd() override;

  std::unique_ptr<TsScrollWndData> FCommonData;
  int FZoom = 100;
};
