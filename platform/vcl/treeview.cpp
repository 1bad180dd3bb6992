// Each node knows its window item (or none while there is no window); the window's notifications carry the node
// in the item's parameter, so they are mapped back without searching.
#include "platform/vcl/treeview.h"

#include <algorithm>

#include <commctrl.h>

#include "platform/rtl/exceptions.h"
#include "platform/vcl/imagelist.h"

namespace vcl {

// Node.

TTreeNode::TTreeNode(TTreeNodes* owner, TTreeNode* parent, const String& text)
    : owner_(owner), parent_(parent), text_(text) {}

TTreeNode::~TTreeNode() {
  for (TTreeNode* c : children_) delete c;
}

void TTreeNode::SetText(const String& value) {
  text_ = value;
  TCustomTreeView* view = owner_->Owner();
  if (item_ && view->HandleAllocated()) {
    TVITEMW it{};
    it.mask = TVIF_TEXT;
    it.hItem = item_;
    it.pszText = const_cast<wchar_t*>(text_.c_str());
    SendMessageW(view->Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&it));
  }
}

TTreeNode* TTreeNode::Item(int index) const {
  if (index < 0 || index >= Count())
    throw rtl::EListError(L"List index out of bounds (" + std::to_wstring(index) + L")");
  return children_[static_cast<size_t>(index)];
}

int TTreeNode::Index() const {
  const auto& sibs = parent_ ? parent_->children_ : owner_->roots_;
  return static_cast<int>(std::find(sibs.begin(), sibs.end(), this) - sibs.begin());
}

int TTreeNode::Level() const {
  int level = 0;
  for (TTreeNode* p = parent_; p; p = p->parent_) ++level;
  return level;
}

TTreeNode* TTreeNode::GetNextSibling() const {
  const auto& sibs = parent_ ? parent_->children_ : owner_->roots_;
  size_t i = static_cast<size_t>(Index()) + 1;
  return i < sibs.size() ? sibs[i] : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
  int i = Index();
  if (i == 0) return nullptr;
  const auto& sibs = parent_ ? parent_->children_ : owner_->roots_;
  return sibs[static_cast<size_t>(i) - 1];
}

TTreeNode* TTreeNode::GetNext() const {
  if (!children_.empty()) return children_.front();
  for (const TTreeNode* n = this; n; n = n->parent_)
    if (TTreeNode* s = n->GetNextSibling()) return s;
  return nullptr;
}

void TTreeNode::SetExpanded(bool value) {
  // Only a node with children opens, as in the window.
  if (value && children_.empty()) return;
  if (expanded_ == value) return;
  expanded_ = value;
  TCustomTreeView* view = owner_->Owner();
  if (item_ && view->HandleAllocated())
    SendMessageW(view->Handle(), TVM_EXPAND, value ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(item_));
  if (value && view->OnExpanded) view->OnExpanded(view, this);
  if (!value && view->OnCollapsed) view->OnCollapsed(view, this);
}

void TTreeNode::Expand(bool recurse) {
  SetExpanded(true);
  if (recurse)
    for (TTreeNode* c : children_) c->Expand(true);
}

void TTreeNode::Collapse(bool recurse) {
  SetExpanded(false);
  if (recurse)
    for (TTreeNode* c : children_) c->Collapse(true);
}

bool TTreeNode::Selected() const { return owner_->Owner()->Selected() == this; }

void TTreeNode::SetSelected(bool value) {
  TCustomTreeView* view = owner_->Owner();
  if (value)
    view->SetSelected(this);
  else if (Selected())
    view->SetSelected(nullptr);
}

void TTreeNode::SetImageIndex(int value) {
  image_index_ = value;
  TCustomTreeView* view = owner_->Owner();
  if (item_ && view->HandleAllocated()) {
    TVITEMW it{};
    it.mask = TVIF_IMAGE;
    it.hItem = item_;
    it.iImage = value;
    SendMessageW(view->Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&it));
  }
}

void TTreeNode::SetSelectedIndex(int value) {
  selected_index_ = value;
  TCustomTreeView* view = owner_->Owner();
  if (item_ && view->HandleAllocated()) {
    TVITEMW it{};
    it.mask = TVIF_SELECTEDIMAGE;
    it.hItem = item_;
    it.iSelectedImage = value;
    SendMessageW(view->Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&it));
  }
}

void TTreeNode::Delete() { owner_->Delete(this); }

// Nodes.

TTreeNodes::~TTreeNodes() {
  for (TTreeNode* n : roots_) delete n;
}

int TTreeNodes::Count() const {
  int n = 0;
  for (TTreeNode* node = GetFirstNode(); node; node = node->GetNext()) ++n;
  return n;
}

TTreeNode* TTreeNodes::Item(int index) const {
  int i = 0;
  for (TTreeNode* node = GetFirstNode(); node; node = node->GetNext(), ++i)
    if (i == index) return node;
  throw rtl::EListError(L"List index out of bounds (" + std::to_wstring(index) + L")");
}

TTreeNode* TTreeNodes::Insert(TTreeNode* parent, size_t position, const String& text, void* data) {
  auto& sibs = SiblingsOf(parent);
  auto* node = new TTreeNode(this, parent, text);
  node->data_ = data;
  position = std::min(position, sibs.size());
  sibs.insert(sibs.begin() + static_cast<std::ptrdiff_t>(position), node);
  if (owner_->HandleAllocated() && (!parent || parent->item_)) {
    HTREEITEM after = position == 0 ? TVI_FIRST : sibs[position - 1]->item_;
    owner_->CreateItem(node, after);
  }
  return node;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const String& text) { return AddObject(sibling, text, nullptr); }
TTreeNode* TTreeNodes::AddObject(TTreeNode* sibling, const String& text, void* data) {
  TTreeNode* parent = sibling ? sibling->parent_ : nullptr;
  return Insert(parent, SiblingsOf(parent).size(), text, data);
}
TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, const String& text) {
  return Insert(sibling ? sibling->parent_ : nullptr, 0, text, nullptr);
}
TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const String& text) { return AddChildObject(parent, text, nullptr); }
TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, const String& text, void* data) {
  return Insert(parent, SiblingsOf(parent).size(), text, data);
}
TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const String& text) { return Insert(parent, 0, text, nullptr); }

void TTreeNodes::Delete(TTreeNode* node) {
  if (!node || node->owner_ != this) return;
  owner_->NodeDeleting(node);
  auto& sibs = SiblingsOf(node->parent_);
  sibs.erase(std::remove(sibs.begin(), sibs.end(), node), sibs.end());
  delete node;
}

void TTreeNodes::Clear() {
  while (!roots_.empty()) Delete(roots_.back());
}

void TTreeNodes::BeginUpdate() {
  if (update_count_++ == 0 && owner_->HandleAllocated()) SendMessageW(owner_->Handle(), WM_SETREDRAW, FALSE, 0);
}

void TTreeNodes::EndUpdate() {
  if (update_count_ == 0 || --update_count_ > 0) return;
  if (owner_->HandleAllocated()) {
    SendMessageW(owner_->Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(owner_->Handle(), nullptr, TRUE);
  }
}

// View.

TCustomTreeView::TCustomTreeView(TComponent* owner) : TWinControl(owner) {
  items_ = new TTreeNodes(this);
  SetBounds(0, 0, 121, 97);
  tab_stop_ = true;
  parent_color_ = false;
  color_ = clWindow;
  brush_->SetColor(color_);
}

TCustomTreeView::~TCustomTreeView() {
  filling_ = true;
  if (HandleAllocated()) DestroyHandle();
  delete items_;
  items_ = nullptr;
}

void TCustomTreeView::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, WC_TREEVIEWW);
  if (show_lines_) p.Style |= TVS_HASLINES;
  if (show_root_) p.Style |= TVS_LINESATROOT;
  if (show_buttons_) p.Style |= TVS_HASBUTTONS;
  if (!read_only_) p.Style |= TVS_EDITLABELS;
  if (!hide_selection_) p.Style |= TVS_SHOWSELALWAYS;
  p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomTreeView::CreateItem(TTreeNode* node, HTREEITEM after) {
  TVINSERTSTRUCTW ins{};
  ins.hParent = node->parent_ ? node->parent_->item_ : TVI_ROOT;
  ins.hInsertAfter = after;
  ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  ins.item.pszText = const_cast<wchar_t*>(node->text_.c_str());
  ins.item.lParam = reinterpret_cast<LPARAM>(node);
  ins.item.iImage = node->image_index_;
  ins.item.iSelectedImage = node->selected_index_;
  node->item_ = reinterpret_cast<HTREEITEM>(SendMessageW(handle_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
}

void TCustomTreeView::CreateItems(TTreeNode* node) {
  CreateItem(node, TVI_LAST);
  for (TTreeNode* c : node->children_) CreateItems(c);
  if (node->expanded_ && !node->children_.empty())
    SendMessageW(handle_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node->item_));
}

void TCustomTreeView::ForgetItems(TTreeNode* node) {
  node->item_ = nullptr;
  for (TTreeNode* c : node->children_) ForgetItems(c);
}

void TCustomTreeView::InitializeWnd() {
  TWinControl::InitializeWnd();
  filling_ = true;
  UpdateImages();
  for (TTreeNode* n : items_->roots_) CreateItems(n);
  if (selected_ && selected_->item_)
    SendMessageW(handle_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(selected_->item_));
  filling_ = false;
}

void TCustomTreeView::DestroyWnd() {
  bool was = filling_;
  filling_ = true;
  TWinControl::DestroyWnd();
  if (items_)
    for (TTreeNode* n : items_->roots_) ForgetItems(n);
  filling_ = was;
}

void TCustomTreeView::NodeDeleting(TTreeNode* node) {
  bool selection_inside = false;
  for (TTreeNode* s = selected_; s; s = s->parent_)
    if (s == node) selection_inside = true;
  if (selection_inside) {
    selected_ = nullptr;
    if (!filling_ && !handle_) Change(nullptr);
  }
  if (handle_ && node->item_) SendMessageW(handle_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node->item_));
  ForgetItems(node);
}

void TCustomTreeView::SetSelected(TTreeNode* node) {
  if (node == selected_) return;
  if (node && node->owner_ != items_) return;
  if (!CanChange(node)) return;
  selected_ = node;
  // The window opens the parents of the node it selects; the nodes say so too.
  if (node)
    for (TTreeNode* p = node->parent_; p; p = p->parent_) p->expanded_ = true;
  if (handle_) {
    bool was = filling_;
    filling_ = true;
    SendMessageW(handle_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node ? node->item_ : nullptr));
    filling_ = was;
  }
  Change(node);
}

bool TCustomTreeView::CanChange(TTreeNode* node) {
  bool allow = true;
  if (OnChanging) OnChanging(this, node, allow);
  return allow;
}

void TCustomTreeView::Change(TTreeNode* node) {
  if (OnChange) OnChange(this, node);
}

void TCustomTreeView::FullExpand() {
  for (TTreeNode* n : items_->roots_) n->Expand(true);
}
void TCustomTreeView::FullCollapse() {
  for (TTreeNode* n : items_->roots_) n->Collapse(true);
}

TTreeNode* TCustomTreeView::GetNodeAt(int x, int y) {
  if (!handle_) return nullptr;
  TVHITTESTINFO hit{};
  hit.pt = POINT{x, y};
  auto item = reinterpret_cast<HTREEITEM>(SendMessageW(handle_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (!item || !(hit.flags & (TVHT_ONITEM | TVHT_ONITEMINDENT | TVHT_ONITEMBUTTON))) return nullptr;
  TVITEMW it{};
  it.mask = TVIF_PARAM;
  it.hItem = item;
  SendMessageW(handle_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
  return reinterpret_cast<TTreeNode*>(it.lParam);
}

void TCustomTreeView::SetImages(TCustomImageList* value) {
  if (images_) images_->RemoveFreeNotification(this);
  images_ = value;
  if (images_) images_->FreeNotification(this);
  UpdateImages();
}

void TCustomTreeView::UpdateImages() {
  if (handle_)
    SendMessageW(handle_, TVM_SETIMAGELIST, TVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
}

void TCustomTreeView::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == images_) {
    images_ = nullptr;
    UpdateImages();
  }
}

void TCustomTreeView::SetShowLines(bool v) {
  show_lines_ = v;
  if (handle_) RecreateWnd();
}
void TCustomTreeView::SetShowRoot(bool v) {
  show_root_ = v;
  if (handle_) RecreateWnd();
}
void TCustomTreeView::SetShowButtons(bool v) {
  show_buttons_ = v;
  if (handle_) RecreateWnd();
}
void TCustomTreeView::SetReadOnly(bool v) {
  read_only_ = v;
  if (handle_) RecreateWnd();
}
void TCustomTreeView::SetHideSelection(bool v) {
  hide_selection_ = v;
  if (handle_) RecreateWnd();
}

void TCustomTreeView::Dispatch(TMessage& m) {
  if (m.Msg != CN_NOTIFY) {
    TWinControl::Dispatch(m);
    return;
  }
  auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
  auto* tv = reinterpret_cast<NMTREEVIEWW*>(m.LParam);
  switch (hdr->code) {
    case TVN_SELCHANGINGW:
    case TVN_SELCHANGINGA: {
      auto* node = reinterpret_cast<TTreeNode*>(tv->itemNew.lParam);
      m.Result = (!filling_ && node != selected_ && !CanChange(node)) ? TRUE : FALSE;
      return;
    }
    case TVN_SELCHANGEDW:
    case TVN_SELCHANGEDA: {
      auto* node = reinterpret_cast<TTreeNode*>(tv->itemNew.lParam);
      if (!filling_ && node != selected_) {
        selected_ = node;
        Change(node);
      }
      return;
    }
    case TVN_ITEMEXPANDEDW:
    case TVN_ITEMEXPANDEDA: {
      auto* node = reinterpret_cast<TTreeNode*>(tv->itemNew.lParam);
      bool open = (tv->action & TVE_EXPAND) != 0;
      if (!filling_ && node && node->expanded_ != open) {
        node->expanded_ = open;
        if (open && OnExpanded) OnExpanded(this, node);
        if (!open && OnCollapsed) OnCollapsed(this, node);
      }
      return;
    }
    case TVN_ENDLABELEDITW: {
      auto* info = reinterpret_cast<NMTVDISPINFOW*>(m.LParam);
      auto* node = reinterpret_cast<TTreeNode*>(info->item.lParam);
      if (node && info->item.pszText && !read_only_) {
        node->text_ = info->item.pszText;
        m.Result = TRUE;
      }
      return;
    }
    default: TWinControl::Dispatch(m);
  }
}

VCL_REGISTER(TCustomTreeView) {
  cls.Prop(L"Images", &TCustomTreeView::Images, &TCustomTreeView::SetImages);
  cls.Prop(L"ShowLines", &TCustomTreeView::ShowLines, &TCustomTreeView::SetShowLines).Default(true);
  cls.Prop(L"ShowRoot", &TCustomTreeView::ShowRoot, &TCustomTreeView::SetShowRoot).Default(true);
  cls.Prop(L"ShowButtons", &TCustomTreeView::ShowButtons, &TCustomTreeView::SetShowButtons).Default(true);
  cls.Prop(L"ReadOnly", &TCustomTreeView::ReadOnly, &TCustomTreeView::SetReadOnly).Default(false);
  cls.Prop(L"HideSelection", &TCustomTreeView::HideSelection, &TCustomTreeView::SetHideSelection).Default(true);
  cls.Prop(L"OnChange", &TCustomTreeView::OnChange);
  cls.Prop(L"OnChanging", &TCustomTreeView::OnChanging);
  cls.Prop(L"OnExpanded", &TCustomTreeView::OnExpanded);
  cls.Prop(L"OnCollapsed", &TCustomTreeView::OnCollapsed);
}
VCL_REGISTER(TTreeView) {}

}  // namespace vcl
