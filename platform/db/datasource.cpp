#include "platform/db/datasource.h"

#include <algorithm>

#include "platform/db/dberrors.h"
#include "platform/vcl/controls.h"

namespace db {

// Data source.

TDataSource::~TDataSource() {
  while (!links_.empty()) links_.back()->SetDataSource(nullptr);
  if (dataSet_) dataSet_->RemoveDataSource(this);
}

void TDataSource::BeforeDestruction() {
  while (!links_.empty()) links_.back()->SetDataSource(nullptr);
  SetDataSet(nullptr);
  vcl::TComponent::BeforeDestruction();
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet_) {
    dataSet_->RemoveDataSource(this);
    dataSet_->RemoveFreeNotification(this);
  }
  dataSet_ = dataSet;
  if (dataSet_) {
    dataSet_->AddDataSource(this);
    dataSet_->FreeNotification(this);
  }
  DataEvent(deUpdateState, 0);
  DataEvent(deDataSetChange, 0);
}

void TDataSource::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  DataEvent(deUpdateState, 0);
}

void TDataSource::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  vcl::TComponent::Notification(component, operation);
  if (operation == vcl::opRemove && component == dataSet_) {
    dataSet_->RemoveDataSource(this);
    dataSet_ = nullptr;
    DataEvent(deUpdateState, 0);
  }
}

void TDataSource::Edit() {
  if (autoEdit_ && State() == dsBrowse) dataSet_->Edit();
}

bool TDataSource::IsLinkedTo(TDataSet* dataSet) const { return dataSet && dataSet == dataSet_; }

void TDataSource::AddDataLink(TDataLink* link) {
  if (std::find(links_.begin(), links_.end(), link) == links_.end()) links_.push_back(link);
}

void TDataSource::RemoveDataLink(TDataLink* link) {
  links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
}

void TDataSource::DataEvent(TDataEvent event, std::intptr_t info) {
  if (event == deUpdateState) {
    TDataSetState s = State();
    if (s != lastState_) {
      lastState_ = s;
      if (OnStateChange) OnStateChange(this);
    }
  }
  if (!enabled_ && event != deUpdateState) return;
  std::vector<TDataLink*> links = links_;
  for (TDataLink* l : links)
    if (std::find(links_.begin(), links_.end(), l) != links_.end()) l->DataEvent(event, info);
  if (event == deFieldChange || event == deRecordChange || event == deDataSetChange || event == deDataSetScroll ||
      event == deLayoutChange) {
    if (OnDataChange) OnDataChange(this, event == deFieldChange ? reinterpret_cast<TField*>(info) : nullptr);
  } else if (event == deUpdateRecord) {
    if (OnUpdateData) OnUpdateData(this);
  }
}

// Data link.

TDataLink::~TDataLink() {
  if (dataSource_) dataSource_->RemoveDataLink(this);
}

void TDataLink::SetDataSource(TDataSource* source) {
  if (source == dataSource_) return;
  if (dataSource_) dataSource_->RemoveDataLink(this);
  dataSource_ = source;
  if (dataSource_) dataSource_->AddDataLink(this);
  UpdateState();
}

void TDataLink::SetReadOnly(bool v) {
  if (v == readOnly_) return;
  readOnly_ = v;
  UpdateState();
}

void TDataLink::UpdateState() {
  bool active = dataSource_ && dataSource_->State() != dsInactive;
  if (active != active_) {
    active_ = active;
    first_ = 0;
    if (active_) AdjustWindow();
    ActiveChanged();
  }
  bool editing = active_ && !readOnly_ && (dataSource_->State() == dsEdit || dataSource_->State() == dsInsert);
  if (editing != editing_) {
    editing_ = editing;
    EditingChanged();
  }
}

int TDataLink::AdjustWindow() {
  TDataSet* ds = DataSet();
  if (!ds || !active_) return 0;
  int cur = ds->CurrentIndex(), n = ds->ViewCount(), old = first_;
  if (cur < 0) {
    first_ = 0;
    return old - first_;
  }
  if (cur < first_) first_ = cur;
  if (cur >= first_ + bufferCount_) first_ = cur - bufferCount_ + 1;
  // Fill the window when records were removed at the end.
  if (first_ + bufferCount_ > n) first_ = std::max(0, n - bufferCount_);
  if (cur < first_) first_ = cur;
  return old - first_;
}

int TDataLink::ActiveRecord() const {
  TDataSet* ds = DataSet();
  if (!ds || !active_ || ds->CurrentIndex() < 0) return 0;
  return ds->CurrentIndex() - first_;
}

void TDataLink::SetActiveRecord(int index) {
  TDataSet* ds = DataSet();
  if (!ds || !active_) return;
  int target = first_ + index;
  ds->SetDisplayRecord(target == ds->CurrentIndex() ? -1 : target);
}

int TDataLink::RecordCount() const {
  TDataSet* ds = DataSet();
  if (!ds || !active_) return 0;
  return std::max(0, std::min(bufferCount_, ds->ViewCount() - first_));
}

void TDataLink::SetBufferCount(int count) {
  bufferCount_ = std::max(1, count);
  AdjustWindow();
}

bool TDataLink::Edit() {
  if (!readOnly_ && dataSource_) dataSource_->Edit();
  return editing_;
}

void TDataLink::UpdateRecord() {
  updating_ = true;
  try {
    UpdateData();
  } catch (...) {
    updating_ = false;
    throw;
  }
  updating_ = false;
}

void TDataLink::DataEvent(TDataEvent event, std::intptr_t info) {
  if (event == deUpdateState) {
    UpdateState();
    return;
  }
  if (!active_) return;
  switch (event) {
    case deFieldChange:
    case deRecordChange:
      if (!updating_) RecordChanged(reinterpret_cast<TField*>(info));
      break;
    case deDataSetChange:
      AdjustWindow();
      DataSetChanged();
      break;
    case deDataSetScroll: DataSetScrolled(AdjustWindow()); break;
    case deLayoutChange:
      AdjustWindow();
      LayoutChanged();
      break;
    case deUpdateRecord: UpdateRecord(); break;
    case deCheckBrowseMode: CheckBrowseMode(); break;
    case deFocusControl:
      // info points at one field variable shared by every link: the first link that serves it clears it.
      FocusControl(reinterpret_cast<TField**>(info));
      break;
    default: break;
  }
}

// Field data link.

void TFieldDataLink::SetFieldName(const String& name) {
  if (name == fieldName_) return;
  fieldName_ = name;
  UpdateField();
}

bool TFieldDataLink::CanModify() const { return !ReadOnly() && field_ && field_->CanModify(); }

bool TFieldDataLink::Edit() {
  if (CanModify()) TDataLink::Edit();
  return fieldEditing_;
}

void TFieldDataLink::SetField(TField* field) {
  if (field == field_) return;
  field_ = field;
  EditingChanged();
  RecordChanged(nullptr);
}

void TFieldDataLink::UpdateField() {
  if (Active() && !fieldName_.empty()) {
    field_ = nullptr;
    SetField(DataSet()->FieldByName(fieldName_));
  } else {
    SetField(nullptr);
  }
}

void TFieldDataLink::SetEditing(bool v) {
  if (v == fieldEditing_) return;
  fieldEditing_ = v;
  modified_ = false;
  if (OnEditingChange) OnEditingChange(this);
}

void TFieldDataLink::ActiveChanged() {
  UpdateField();
  if (OnActiveChange) OnActiveChange(this);
}

void TFieldDataLink::EditingChanged() { SetEditing(TDataLink::Editing() && CanModify()); }

void TFieldDataLink::FocusControl(TField** field) {
  if (!*field || *field != field_ || !control_) return;
  // The first control that shows the field takes the focus; the request is then served.
  if (auto* wc = dynamic_cast<vcl::TWinControl*>(control_)) {
    if (wc->CanFocus()) {
      wc->SetFocus();
      *field = nullptr;
    }
  }
}

void TFieldDataLink::LayoutChanged() { UpdateField(); }

void TFieldDataLink::RecordChanged(TField* field) {
  if (field == nullptr || field == field_) {
    if (OnDataChange) OnDataChange(this);
    modified_ = false;
  }
}

void TFieldDataLink::UpdateData() {
  if (modified_) {
    if (field_ && OnUpdateData) OnUpdateData(this);
    modified_ = false;
  }
}

}  // namespace db
