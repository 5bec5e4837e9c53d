#pragma once
// CQVTreeCtrl: the framework's tree control. Items carry a text, an image pair and a data word.
// Items are inserted before or after siblings, moved with their whole subtree, merged and split;
// an item can be dragged onto another item of the same tree, with auto-scroll near the edges and
// expand (Shift) or collapse (Ctrl) of the item under the cursor; a right click shows the pop-up
// menu a derived tree chooses. Selecting an item in code does not raise OnSelectChanged.
//
// Moving an item rebuilds it in its new place: the handles of the moved items change, and
// OnMoveItem tells the derived tree each new handle before the old item goes.

#include "platform/core/sync.h"
#include "platform/ui/afx/CTreeCtrl.h"
#include "platform/ui/ole/DragDrop.h"

class CQVTreeCtrl;

// The tree's drop target: it answers only drags the tree started itself, dragging the tree's
// selected item onto its drop-highlight item.
class __CQVTreeDropTarget : public COleDropTarget {
  DECLARE_DYNAMIC(__CQVTreeDropTarget)
public:
  DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) override;
  DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) override;
  void OnDragLeave(CWnd* wnd) override;
  BOOL OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point) override;

private:
  // The tree the window is, while it runs a drag of its own; null otherwise.
  static CQVTreeCtrl* OwnDragOf(CWnd* wnd);
  static DROPEFFECT Answer(CQVTreeCtrl* tree);
};

class CQVTreeCtrl : public CTreeCtrl {
  DECLARE_DYNAMIC(CQVTreeCtrl)
public:
  CQVTreeCtrl();
  ~CQVTreeCtrl() override;
  CQVTreeCtrl(const CQVTreeCtrl&) = delete;
  CQVTreeCtrl& operator=(const CQVTreeCtrl&) = delete;

  // Creates the tree and registers its drop target; FALSE when either fails.
  virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
  // Called when an item has been rebuilt in a new place, before the old item is deleted.
  virtual void OnMoveItem(HTREEITEM newItem, HTREEITEM oldItem);
  virtual BOOL CanDrag(HTREEITEM item);
  // By default any two different items, unless the target lies inside the dragged item's subtree.
  virtual BOOL CanDrop(HTREEITEM dragged, HTREEITEM target);
  // By default moves the dragged item with its subtree to the end of the target's children;
  // FALSE when nothing moved.
  virtual BOOL Drop(HTREEITEM dragged, HTREEITEM target);
  // Called when the user changes the selection.
  virtual BOOL OnSelectChanged(HTREEITEM item);
  // Expands the item while Shift is held, collapses it while Ctrl is held.
  virtual void ExpandItem(HTREEITEM item);
  // The next sibling, else the previous sibling, else the parent.
  virtual HTREEITEM GetNearNode(HTREEITEM item) const;
  virtual BOOL CompareData(HTREEITEM a, HTREEITEM b);
  virtual HMENU CreatePopupMenu(UINT menuId);
  virtual void GetPopupMenuID(HTREEITEM item, UINT& menuId);

  // Creates the tree with buttons, lines and the selection always shown.
  BOOL Create(const RECT& rect, CWnd* parent, UINT id);
  // Mode 1 places the item before the sibling (first when there is none); any other mode after it
  // (last when there is none). A null parent is the top level.
  HTREEITEM Insert(LPCWSTR text, void* data, HTREEITEM parent, int mode, HTREEITEM sibling);
  BOOL Update(LPCWSTR text, HTREEITEM item);
  BOOL SetData(HTREEITEM item, void* data);
  BOOL GetData(HTREEITEM item, void*& data);
  // Selects the item without OnSelectChanged.
  BOOL SelectItem(HTREEITEM item);
  // Selects the item's near node, then deletes the item with its subtree. The first argument is
  // not used.
  BOOL Remove(HTREEITEM, HTREEITEM item);
  // Rebuilds the item with its subtree at the place given as for Insert; the new item, or null.
  // An item cannot move into its own subtree.
  HTREEITEM Move(HTREEITEM item, HTREEITEM parent, int mode, HTREEITEM sibling);
  // Pre-order search of the subtree at start for the item with the data word.
  HTREEITEM FindNode(HTREEITEM start, void* data) const;
  BOOL AtSameLevel(HTREEITEM a, HTREEITEM b);
  // An image of -1 leaves the item without images.
  HTREEITEM AddItem(LPCWSTR text, int image, int selectedImage, void* data, HTREEITEM parent, HTREEITEM after);
  // A new item with the item's text, images and data, without its children.
  HTREEITEM CopyItem(HTREEITEM item, HTREEITEM parent, HTREEITEM after);
  // Rebuilds every child subtree of `from` at the end of `to`'s children, then deletes `from`.
  BOOL MoveWithChild(HTREEITEM from, HTREEITEM to);
  // Copies the children of `source` with their subtrees to the end of `target`'s children, selects
  // `target` and deletes `source`.
  BOOL MergeItems(HTREEITEM source, HTREEITEM target);
  // Moves `first` and its following siblings under a new item placed right after their parent.
  BOOL SplitItems(HTREEITEM first, LPCWSTR text, void* data);
  // Shows the first sub-menu of CreatePopupMenu's menu at the cursor; the tree gets the command.
  void LoadPopupMenu(UINT menuId);

protected:
  void OnSelChanged(NMHDR* header, LRESULT* result);
  void OnRClick(NMHDR* header, LRESULT* result);
  void OnBeginDrag(NMHDR* header, LRESULT* result);
  DECLARE_MESSAGE_MAP()

private:
  friend class __CQVTreeDropTarget;

  // The handle to insert after for Insert's modes.
  HTREEITEM PlaceAfter(int mode, HTREEITEM sibling) const;
  // TRUE when `item` is `root` or lies below it.
  BOOL IsInSubtree(HTREEITEM item, HTREEITEM root) const;
  // Copies the item with all its descendants; deletes what it made and answers null on failure.
  HTREEITEM CopySubtree(HTREEITEM item, HTREEITEM parent, HTREEITEM after);
  // Copies `first` and its following siblings with their subtrees to the end of `parent`'s
  // children; on failure deletes the copies made and answers FALSE.
  BOOL CopySiblings(HTREEITEM first, HTREEITEM parent);
  void SelectQuietly(HTREEITEM item);

  HTREEITEM m_hLastSelected {};
  __CQVTreeDropTarget* m_pDropTarget {};
  CCriticalSection m_cs;
  BOOL m_bProgrammatic {FALSE};
  // Set while the tree runs a drag of its own, so that its drop target ignores other drags.
  BOOL m_bOwnDrag {FALSE};
};
