// The published properties of the data-access classes: what form resources set and scripts see.
#include "platform/db/ado.h"
#include "platform/db/datasource.h"
#include "platform/db/fields.h"

namespace db {

VCL_REGISTER(TField) {
  cls.Prop(L"Alignment", &TField::Alignment, &TField::SetAlignment).Default(taLeftJustify);
  cls.Prop(L"DisplayLabel", &TField::DisplayLabel, &TField::SetDisplayLabel);
  cls.Prop(L"DisplayWidth", &TField::DisplayWidth, &TField::SetDisplayWidth);
  cls.Prop(L"EditMask", &TField::EditMask, &TField::SetEditMask);
  cls.Prop(L"FieldKind", &TField::FieldKind, &TField::SetFieldKind).Default(fkData);
  cls.Prop(L"FieldName", &TField::FieldName, &TField::SetFieldName);
  cls.Prop(L"Origin", &TField::Origin, &TField::SetOrigin);
  cls.Prop(L"ReadOnly", &TField::ReadOnly, &TField::SetReadOnly).Default(false);
  cls.Prop(L"Required", &TField::Required, &TField::SetRequired).Default(false);
  cls.Prop(L"Visible", &TField::Visible, &TField::SetVisible).Default(true);
  cls.Prop(L"OnChange", &TField::OnChange);
  cls.Prop(L"OnGetText", &TField::OnGetText);
  cls.Prop(L"OnSetText", &TField::OnSetText);
  cls.Prop(L"OnValidate", &TField::OnValidate);
}

VCL_REGISTER(TStringField) { cls.Prop(L"Size", &TStringField::Size, &TStringField::SetSize).Default(20); }
VCL_REGISTER(TWideStringField) {}
VCL_REGISTER(TNumericField) {
  cls.Prop(L"Alignment", &TField::Alignment, &TField::SetAlignment).Default(taRightJustify);
  cls.Prop(L"DisplayFormat", &TNumericField::DisplayFormat, &TNumericField::SetDisplayFormat);
  cls.Prop(L"EditFormat", &TNumericField::EditFormat, &TNumericField::SetEditFormat);
}
VCL_REGISTER(TIntegerField) {}
VCL_REGISTER(TSmallintField) {}
VCL_REGISTER(TAutoIncField) { cls.Prop(L"ReadOnly", &TField::ReadOnly, &TField::SetReadOnly).Default(true); }
VCL_REGISTER(TLargeintField) {}
VCL_REGISTER(TFloatField) {}
VCL_REGISTER(TCurrencyField) {}
VCL_REGISTER(TFMTBCDField) { cls.Prop(L"Size", &TField::Size, &TField::SetSize).Default(4); }
VCL_REGISTER(TBooleanField) {
  cls.Prop(L"DisplayValues", &TBooleanField::DisplayValues, &TBooleanField::SetDisplayValues);
}
VCL_REGISTER(TDateTimeField) {
  cls.Prop(L"DisplayFormat", &TDateTimeField::DisplayFormat, &TDateTimeField::SetDisplayFormat);
}
VCL_REGISTER(TDateField) {}
VCL_REGISTER(TTimeField) {}
VCL_REGISTER(TSQLTimeStampField) {}
VCL_REGISTER(TBlobField) {
  cls.Prop(L"BlobType", &TBlobField::BlobType, &TBlobField::SetBlobType);
  cls.Prop(L"Size", &TField::Size, &TField::SetSize).Default(0);
}
VCL_REGISTER(TMemoField) {}
VCL_REGISTER(TWideMemoField) {}

VCL_REGISTER(TDataSet) {
  cls.Prop(L"Active", &TDataSet::Active, &TDataSet::SetActive).Default(false);
  cls.Prop(L"Filter", &TDataSet::Filter, &TDataSet::SetFilter);
  cls.Prop(L"Filtered", &TDataSet::Filtered, &TDataSet::SetFiltered).Default(false);
  cls.Prop(L"AfterCancel", &TDataSet::AfterCancel);
  cls.Prop(L"AfterClose", &TDataSet::AfterClose);
  cls.Prop(L"AfterDelete", &TDataSet::AfterDelete);
  cls.Prop(L"AfterEdit", &TDataSet::AfterEdit);
  cls.Prop(L"AfterInsert", &TDataSet::AfterInsert);
  cls.Prop(L"AfterOpen", &TDataSet::AfterOpen);
  cls.Prop(L"AfterPost", &TDataSet::AfterPost);
  cls.Prop(L"AfterRefresh", &TDataSet::AfterRefresh);
  cls.Prop(L"AfterScroll", &TDataSet::AfterScroll);
  cls.Prop(L"BeforeCancel", &TDataSet::BeforeCancel);
  cls.Prop(L"BeforeClose", &TDataSet::BeforeClose);
  cls.Prop(L"BeforeDelete", &TDataSet::BeforeDelete);
  cls.Prop(L"BeforeEdit", &TDataSet::BeforeEdit);
  cls.Prop(L"BeforeInsert", &TDataSet::BeforeInsert);
  cls.Prop(L"BeforeOpen", &TDataSet::BeforeOpen);
  cls.Prop(L"BeforePost", &TDataSet::BeforePost);
  cls.Prop(L"BeforeRefresh", &TDataSet::BeforeRefresh);
  cls.Prop(L"BeforeScroll", &TDataSet::BeforeScroll);
  cls.Prop(L"OnNewRecord", &TDataSet::OnNewRecord);
}

VCL_REGISTER(TDataSource) {
  cls.Prop(L"AutoEdit", &TDataSource::AutoEdit, &TDataSource::SetAutoEdit).Default(true);
  cls.Prop(L"DataSet", &TDataSource::DataSet, &TDataSource::SetDataSet);
  cls.Prop(L"Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled).Default(true);
  cls.Prop(L"OnStateChange", &TDataSource::OnStateChange);
  cls.Prop(L"OnDataChange", &TDataSource::OnDataChange);
  cls.Prop(L"OnUpdateData", &TDataSource::OnUpdateData);
}

VCL_REGISTER(TADOConnection) {
  cls.Prop(L"Connected", &TADOConnection::Connected, &TADOConnection::SetConnected).Default(false);
  cls.Prop(L"ConnectionString", &TADOConnection::ConnectionString, &TADOConnection::SetConnectionString);
  cls.Prop(L"LoginPrompt", &TADOConnection::LoginPrompt, &TADOConnection::SetLoginPrompt).Default(true);
  cls.Prop(L"AfterConnect", &TADOConnection::AfterConnect);
  cls.Prop(L"AfterDisconnect", &TADOConnection::AfterDisconnect);
  cls.Prop(L"BeforeConnect", &TADOConnection::BeforeConnect);
  cls.Prop(L"BeforeDisconnect", &TADOConnection::BeforeDisconnect);
}

VCL_REGISTER(TCustomADODataSet) {
  cls.Prop(L"Connection", &TCustomADODataSet::Connection, &TCustomADODataSet::SetConnection);
  cls.Prop(L"CursorLocation", &TCustomADODataSet::CursorLocation, &TCustomADODataSet::SetCursorLocation)
      .Default(clUseClient);
  cls.Prop(L"CursorType", &TCustomADODataSet::CursorType, &TCustomADODataSet::SetCursorType).Default(ctKeyset);
  cls.Prop(L"LockType", &TCustomADODataSet::LockType, &TCustomADODataSet::SetLockType).Default(ltOptimistic);
}

VCL_REGISTER(TADOTable) {
  cls.Prop(L"ReadOnly", &TADOTable::ReadOnly, &TADOTable::SetReadOnly).Default(false);
  cls.Prop(L"TableName", &TADOTable::TableName, &TADOTable::SetTableName);
}

VCL_REGISTER(TADOQuery) { cls.Prop(L"SQL", &TADOQuery::SQL, &TADOQuery::SetSQL); }

}  // namespace db
