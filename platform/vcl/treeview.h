#pragma once
// The tree view over the system's tree window. The nodes live here (text, children, expanded state, data) and are
// repeated in the window, so the tree is the same with or without a window and survives the window being made
// again. Nodes are owned by their tree; deleting a node deletes its children.
#include <memory>
#include <vector>

#include "platform/vcl/controls.h"

#include <commctrl.h>  // after win.h, which sets up the Win32 headers

namespace vcl {

class TCustomImageList;
class TTreeNodes;
class TCustomTreeView;

class TTreeNode : public rtl::TObject {
 public:
  TTreeNode(TTreeNodes* owner, TTreeNode* parent, const String& text);
  ~TTreeNode() override;
  const String& Text() const { return text_; }
  void SetText(const String& value);
  void* Data() const { return data_; }
  void SetData(void* value) { data_ = value; }
  TTreeNode* Parent() const { return parent_; }
  int Count() const { return static_cast<int>(children_.size()); }
  TTreeNode* Item(int index) const;
  bool HasChildren() const { return !children_.empty(); }
  // The position among its siblings, and the depth (0 for a top node).
  int Index() const;
  int Level() const;
  TTreeNode* GetFirstChild() const { return children_.empty() ? nullptr : children_.front(); }
  TTreeNode* GetNextSibling() const;
  TTreeNode* GetPrevSibling() const;
  // The next node in the order the tree lists its nodes (children before the next sibling).
  TTreeNode* GetNext() const;
  bool Expanded() const { return expanded_; }
  void SetExpanded(bool value);
  void Expand(bool recurse);
  void Collapse(bool recurse);
  bool Selected() const;
  void SetSelected(bool value);
  int ImageIndex() const { return image_index_; }
  void SetImageIndex(int value);
  int SelectedIndex() const { return selected_index_; }
  void SetSelectedIndex(int value);
  // Removes the node (and its children) from the tree and frees it.
  void Delete();
  TTreeNodes* Owner() const { return owner_; }
  HTREEITEM ItemId() const { return item_; }

 private:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  TTreeNodes* owner_;
  TTreeNode* parent_;
  String text_;
  void* data_ = nullptr;
  std::vector<TTreeNode*> children_;
  bool expanded_ = false;
  int image_index_ = -1;
  int selected_index_ = -1;
  HTREEITEM item_ = nullptr;
};

class TTreeNodes : public rtl::TObject {
 public:
  explicit TTreeNodes(TCustomTreeView* owner) : owner_(owner) {}
  ~TTreeNodes() override;
  TCustomTreeView* Owner() const { return owner_; }
  // Every node, in the order the tree lists them.
  int Count() const;
  TTreeNode* Item(int index) const;
  TTreeNode* GetFirstNode() const { return roots_.empty() ? nullptr : roots_.front(); }
  int RootCount() const { return static_cast<int>(roots_.size()); }
  // A new last sibling of sibling (a new top node when sibling is null).
  TTreeNode* Add(TTreeNode* sibling, const String& text);
  TTreeNode* AddObject(TTreeNode* sibling, const String& text, void* data);
  TTreeNode* AddFirst(TTreeNode* sibling, const String& text);
  // A new last (first) child of parent (a new top node when parent is null).
  TTreeNode* AddChild(TTreeNode* parent, const String& text);
  TTreeNode* AddChildObject(TTreeNode* parent, const String& text, void* data);
  TTreeNode* AddChildFirst(TTreeNode* parent, const String& text);
  void Delete(TTreeNode* node);
  void Clear();
  void BeginUpdate();
  void EndUpdate();

 private:
  friend class TTreeNode;
  friend class TCustomTreeView;
  TTreeNode* Insert(TTreeNode* parent, size_t position, const String& text, void* data);
  std::vector<TTreeNode*>& SiblingsOf(TTreeNode* parent) { return parent ? parent->children_ : roots_; }
  TCustomTreeView* owner_;
  std::vector<TTreeNode*> roots_;
  int update_count_ = 0;
};

using TTVChangedEvent = TEvent<void(rtl::TObject* Sender, TTreeNode* Node)>;
using TTVChangingEvent = TEvent<void(rtl::TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVExpandedEvent = TEvent<void(rtl::TObject* Sender, TTreeNode* Node)>;

class TCustomTreeView : public TWinControl {
  VCL_CLASS(TCustomTreeView, TWinControl)
 public:
  explicit TCustomTreeView(TComponent* owner);
  ~TCustomTreeView() override;
  TTreeNodes* Items() const { return items_; }
  TTreeNode* Selected() const { return selected_; }
  void SetSelected(TTreeNode* node);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  bool ShowLines() const { return show_lines_; }
  void SetShowLines(bool v);
  bool ShowRoot() const { return show_root_; }
  void SetShowRoot(bool v);
  bool ShowButtons() const { return show_buttons_; }
  void SetShowButtons(bool v);
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool v);
  bool HideSelection() const { return hide_selection_; }
  void SetHideSelection(bool v);
  void FullExpand();
  void FullCollapse();
  TTreeNode* GetNodeAt(int x, int y);

  TTVChangedEvent OnChange;
  TTVChangingEvent OnChanging;
  TTVExpandedEvent OnExpanded;
  TTVExpandedEvent OnCollapsed;

 protected:
  void CreateParams(TCreateParams& p) override;
  void InitializeWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& m) override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual void Change(TTreeNode* node);
  virtual bool CanChange(TTreeNode* node);

 private:
  friend class TTreeNode;
  friend class TTreeNodes;
  void CreateItem(TTreeNode* node, HTREEITEM after);
  void CreateItems(TTreeNode* node);
  void ForgetItems(TTreeNode* node);
  void NodeDeleting(TTreeNode* node);
  void UpdateImages();

  TTreeNodes* items_ = nullptr;
  TTreeNode* selected_ = nullptr;
  TCustomImageList* images_ = nullptr;
  bool show_lines_ = true;
  bool show_root_ = true;
  bool show_buttons_ = true;
  bool read_only_ = false;
  bool hide_selection_ = true;
  bool filling_ = false;
};

class TTreeView : public TCustomTreeView {
  VCL_CLASS(TTreeView, TCustomTreeView)
 public:
  explicit TTreeView(TComponent* owner) : TCustomTreeView(owner) {}
};

}  // namespace vcl
