// The tree view (SysTreeView32) over QTreeWidget. Item handles are the layer's own numbers, so a
// deleted item's handle is dead for good. Selection changes are reported with what caused them
// (TVC_BYMOUSE, TVC_BYKEYBOARD, TVC_UNKNOWN for the program); expanding reports before and after.

#include "platform/ui/internal/ControlWidget.h"
#include "platform/ui/internal/ImageListData.h"
#include "platform/ui/shell/shlobj.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTreeWidget>

#include <map>

namespace qvui {

namespace {

constexpr int kHandleRole = Qt::UserRole;
constexpr int kParamRole = Qt::UserRole + 1;
constexpr int kImageRole = Qt::UserRole + 2;
constexpr int kSelectedImageRole = Qt::UserRole + 3;

struct TreeState {
  std::map<HTREEITEM, QTreeWidgetItem*> items;
  std::uintptr_t next {0x100};
  HIMAGELIST images {};
  HTREEITEM dropHilite {};
  UINT cause {TVC_UNKNOWN};  // what changes the selection now
  QPoint pressAt {-1, -1};
  bool dragSent {};
  bool pressHeld {};  // a press on an item waits: it selects on release unless it becomes a drag
};

std::map<HWND, TreeState>& States() {
  static std::map<HWND, TreeState> states;
  return states;
}

HTREEITEM HandleOf(QTreeWidgetItem* item) {
  return item ? reinterpret_cast<HTREEITEM>(item->data(0, kHandleRole).value<qulonglong>()) : nullptr;
}

QTreeWidgetItem* ItemOf(HWND hwnd, HTREEITEM handle) {
  auto& items = States()[hwnd].items;
  auto it = items.find(handle);
  return it == items.end() ? nullptr : it->second;
}

// Changes the program makes are not reported, except deletions, which the owner must hear of to
// free what the items hold.
LRESULT Notify(HWND hwnd, UINT code, NMTREEVIEWW& nm) {
  HWND parent = GetParent(hwnd);
  if (!parent || (QuietChange::IsQuiet(hwnd) && code != TVN_DELETEITEMW)) return 0;
  nm.hdr = NMHDR {hwnd, static_cast<UINT_PTR>(GetDlgCtrlID(hwnd)), code};
  return SendMessageW(parent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

TVITEMW Describe(QTreeWidgetItem* item) {
  TVITEMW tv {};
  tv.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_STATE;
  tv.hItem = HandleOf(item);
  if (item) {
    tv.lParam = static_cast<LPARAM>(item->data(0, kParamRole).toLongLong());
    tv.state = (item->isSelected() ? TVIS_SELECTED : 0) | (item->isExpanded() ? TVIS_EXPANDED : 0);
  }
  return tv;
}

void UpdateIcon(HWND hwnd, QTreeWidgetItem* item) {
  HIMAGELIST images = States()[hwnd].images;
  int index = item->data(0, item->isSelected() ? kSelectedImageRole : kImageRole).toInt();
  item->setIcon(0, images ? QIcon(ImageListPixmap(images, index)) : QIcon());
}

QWidget* MakeTree(HWND hwnd, QWidget* host) {
  auto* tree = new QTreeWidget(host);
  DWORD style = Find(hwnd)->style;
  tree->setHeaderHidden(true);
  tree->setColumnCount(1);
  tree->setFrameShape(QFrame::NoFrame);
  tree->setRootIsDecorated(style & TVS_LINESATROOT);
  tree->setItemsExpandable(true);
  tree->setExpandsOnDoubleClick(true);
  tree->setAutoScroll(false);
  tree->setAutoExpandDelay(-1);
  tree->setDragEnabled(false);
  tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tree->setSelectionMode(QAbstractItemView::SingleSelection);
  tree->setUniformRowHeights(true);
  tree->setFocusPolicy(Qt::StrongFocus);
  tree->header()->setStretchLastSection(false);
  tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  States()[hwnd] = TreeState {};
  QObject::connect(tree, &QTreeWidget::currentItemChanged, [hwnd](QTreeWidgetItem* now, QTreeWidgetItem* before) {
    if (!States().count(hwnd)) return;
    TreeState& s = States()[hwnd];
    if (before && ItemOf(hwnd, HandleOf(before))) UpdateIcon(hwnd, before);
    if (now) UpdateIcon(hwnd, now);
    NMTREEVIEWW nm {};
    nm.action = s.cause;
    nm.itemOld = Describe(before && ItemOf(hwnd, HandleOf(before)) ? before : nullptr);
    nm.itemNew = Describe(now);
    Notify(hwnd, TVN_SELCHANGEDW, nm);
  });
  auto expansion = [hwnd](QTreeWidgetItem* item, bool expanded) {
    NMTREEVIEWW nm {};
    nm.action = expanded ? TVE_EXPAND : TVE_COLLAPSE;
    nm.itemNew = Describe(item);
    Notify(hwnd, TVN_ITEMEXPANDINGW, nm);
    Notify(hwnd, TVN_ITEMEXPANDEDW, nm);
  };
  QObject::connect(tree, &QTreeWidget::itemExpanded, [expansion](QTreeWidgetItem* item) { expansion(item, true); });
  QObject::connect(tree, &QTreeWidget::itemCollapsed, [expansion](QTreeWidgetItem* item) { expansion(item, false); });
  AdoptControlWidget(hwnd, tree);
  return tree;
}

void Forget(HWND hwnd, QTreeWidgetItem* item) {
  for (int i = 0; i < item->childCount(); ++i) Forget(hwnd, item->child(i));
  NMTREEVIEWW nm {};
  nm.itemOld = Describe(item);
  Notify(hwnd, TVN_DELETEITEMW, nm);
  TreeState& s = States()[hwnd];
  if (s.dropHilite == HandleOf(item)) s.dropHilite = nullptr;
  s.items.erase(HandleOf(item));
}

HTREEITEM Insert(HWND hwnd, QTreeWidget* tree, const TVINSERTSTRUCTW& is) {
  TreeState& s = States()[hwnd];
  QTreeWidgetItem* parent = nullptr;
  if (is.hParent && is.hParent != TVI_ROOT) {
    parent = ItemOf(hwnd, is.hParent);
    if (!parent) return nullptr;
  }
  auto count = [&] { return parent ? parent->childCount() : tree->topLevelItemCount(); };
  auto child = [&](int i) { return parent ? parent->child(i) : tree->topLevelItem(i); };
  const TVITEMW& tv = is.item;
  QString text = (tv.mask & TVIF_TEXT) && tv.pszText != LPSTR_TEXTCALLBACKW ? ToQt(tv.pszText) : QString();
  int at = count();
  if (is.hInsertAfter == TVI_FIRST) {
    at = 0;
  } else if (is.hInsertAfter == TVI_SORT) {
    at = 0;
    while (at < count() && child(at)->text(0).compare(text, Qt::CaseInsensitive) <= 0) ++at;
  } else if (is.hInsertAfter && is.hInsertAfter != TVI_LAST) {
    QTreeWidgetItem* after = ItemOf(hwnd, is.hInsertAfter);
    if (!after || after->parent() != parent) return nullptr;
    at = (parent ? parent->indexOfChild(after) : tree->indexOfTopLevelItem(after)) + 1;
  }
  auto* item = new QTreeWidgetItem;
  auto handle = reinterpret_cast<HTREEITEM>(s.next += 4);
  item->setData(0, kHandleRole, QVariant::fromValue<qulonglong>(reinterpret_cast<qulonglong>(handle)));
  item->setText(0, text);
  item->setData(0, kParamRole, QVariant::fromValue<qlonglong>((tv.mask & TVIF_PARAM) ? tv.lParam : 0));
  item->setData(0, kImageRole, (tv.mask & TVIF_IMAGE) ? tv.iImage : 0);
  item->setData(0, kSelectedImageRole, (tv.mask & TVIF_SELECTEDIMAGE) ? tv.iSelectedImage : 0);
  if ((tv.mask & TVIF_CHILDREN) && tv.cChildren) item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
  QuietChange quiet(hwnd);
  if (parent) parent->insertChild(at, item);
  else tree->insertTopLevelItem(at, item);
  s.items[handle] = item;
  UpdateIcon(hwnd, item);
  return handle;
}

HTREEITEM Next(HWND hwnd, QTreeWidget* tree, UINT code, HTREEITEM from) {
  QTreeWidgetItem* item = ItemOf(hwnd, from);
  auto siblingOf = [tree](QTreeWidgetItem* i, int step) -> QTreeWidgetItem* {
    QTreeWidgetItem* p = i->parent();
    int index = (p ? p->indexOfChild(i) : tree->indexOfTopLevelItem(i)) + step;
    int count = p ? p->childCount() : tree->topLevelItemCount();
    if (index < 0 || index >= count) return nullptr;
    return p ? p->child(index) : tree->topLevelItem(index);
  };
  switch (code) {
  case TVGN_ROOT: return HandleOf(tree->topLevelItem(0));
  case TVGN_CARET: return HandleOf(tree->currentItem());
  case TVGN_DROPHILITE: return States()[hwnd].dropHilite;
  case TVGN_FIRSTVISIBLE: return HandleOf(tree->itemAt(0, 0));
  case TVGN_NEXT: return item ? HandleOf(siblingOf(item, 1)) : nullptr;
  case TVGN_PREVIOUS: return item ? HandleOf(siblingOf(item, -1)) : nullptr;
  case TVGN_PARENT: return item ? HandleOf(item->parent()) : nullptr;
  case TVGN_CHILD:
    if (!from || from == TVI_ROOT) return HandleOf(tree->topLevelItem(0));
    return item ? HandleOf(item->child(0)) : nullptr;
  case TVGN_NEXTVISIBLE: return item ? HandleOf(tree->itemBelow(item)) : nullptr;
  case TVGN_PREVIOUSVISIBLE: return item ? HandleOf(tree->itemAbove(item)) : nullptr;
  default: return nullptr;
  }
}

void SetDropHilite(HWND hwnd, QTreeWidget* tree, HTREEITEM handle) {
  TreeState& s = States()[hwnd];
  if (QTreeWidgetItem* old = ItemOf(hwnd, s.dropHilite)) old->setBackground(0, QBrush());
  s.dropHilite = ItemOf(hwnd, handle) ? handle : nullptr;
  if (QTreeWidgetItem* item = ItemOf(hwnd, s.dropHilite)) {
    item->setBackground(0, tree->palette().highlight());
    item->setForeground(0, tree->palette().highlightedText());
  }
}

UINT HitFlags(QTreeWidget* tree, QTreeWidgetItem* item, QPoint at) {
  QRect row = tree->visualItemRect(item);
  int iconWidth = item->icon(0).isNull() ? 0 : tree->iconSize().width() + 4;
  if (at.x() < row.left()) return TVHT_ONITEMINDENT;
  if (at.x() < row.left() + iconWidth) return TVHT_ONITEMICON;
  int textRight = row.left() + iconWidth + tree->fontMetrics().horizontalAdvance(item->text(0)) + 6;
  return at.x() < textRight ? TVHT_ONITEMLABEL : TVHT_ONITEMRIGHT;
}

// Whether a point (client coordinates) lies on an item's icon or label.
bool OnItem(HWND hwnd, QPoint at) {
  TVHITTESTINFO hit {};
  hit.pt = POINT {at.x(), at.y()};
  SendMessageW(hwnd, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  return hit.hItem && (hit.flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON));
}

// Hands input to the list, reporting a selection it makes as caused by the mouse or the keyboard.
void ForwardWithCause(HWND hwnd, UINT cause, UINT message, WPARAM wParam, LPARAM lParam) {
  States()[hwnd].cause = cause;
  DefControlProc(hwnd, message, wParam, lParam);
  if (States().count(hwnd)) States()[hwnd].cause = TVC_UNKNOWN;
}

LRESULT TreeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* tree = ControlOf<QTreeWidget>(hwnd);
  if (!tree) return DefControlProc(hwnd, message, wParam, lParam);
  TreeState& s = States()[hwnd];
  switch (message) {
  case TVM_INSERTITEMW: {
    auto* is = reinterpret_cast<const TVINSERTSTRUCTW*>(lParam);
    return is ? reinterpret_cast<LRESULT>(Insert(hwnd, tree, *is)) : 0;
  }
  case TVM_DELETEITEM: {
    auto handle = reinterpret_cast<HTREEITEM>(lParam);
    QuietChange quiet(hwnd);
    if (!handle || handle == TVI_ROOT) {
      while (tree->topLevelItemCount()) {
        QTreeWidgetItem* top = tree->topLevelItem(0);
        Forget(hwnd, top);
        delete top;
      }
      return TRUE;
    }
    QTreeWidgetItem* item = ItemOf(hwnd, handle);
    if (!item) return FALSE;
    Forget(hwnd, item);
    delete item;
    return TRUE;
  }
  case TVM_EXPAND: {
    QTreeWidgetItem* item = ItemOf(hwnd, reinterpret_cast<HTREEITEM>(lParam));
    if (!item) return FALSE;
    QuietChange quiet(hwnd);
    UINT action = static_cast<UINT>(wParam) & 3;
    item->setExpanded(action == TVE_EXPAND || (action == TVE_TOGGLE && !item->isExpanded()));
    return TRUE;
  }
  case TVM_GETNEXTITEM: return reinterpret_cast<LRESULT>(Next(hwnd, tree, static_cast<UINT>(wParam), reinterpret_cast<HTREEITEM>(lParam)));
  case TVM_SELECTITEM: {
    auto handle = reinterpret_cast<HTREEITEM>(lParam);
    QTreeWidgetItem* item = ItemOf(hwnd, handle);
    if (handle && !item) return FALSE;
    if (wParam == TVGN_DROPHILITE) {
      SetDropHilite(hwnd, tree, handle);
      return TRUE;
    }
    if (wParam == TVGN_FIRSTVISIBLE) {
      if (item) tree->scrollToItem(item, QAbstractItemView::PositionAtTop);
      return TRUE;
    }
    s.cause = TVC_UNKNOWN;
    if (item) {
      for (QTreeWidgetItem* p = item->parent(); p; p = p->parent()) p->setExpanded(true);
      tree->setCurrentItem(item);
      tree->scrollToItem(item);
    } else {
      tree->setCurrentItem(nullptr);
    }
    return TRUE;
  }
  case TVM_GETITEMW:
  case TVM_SETITEMW: {
    auto* tv = reinterpret_cast<TVITEMW*>(lParam);
    QTreeWidgetItem* item = tv ? ItemOf(hwnd, tv->hItem) : nullptr;
    if (!item) return FALSE;
    if (message == TVM_GETITEMW) {
      if ((tv->mask & TVIF_TEXT) && tv->pszText) CopyOut(item->text(0), tv->pszText, tv->cchTextMax);
      if (tv->mask & TVIF_PARAM) tv->lParam = static_cast<LPARAM>(item->data(0, kParamRole).toLongLong());
      if (tv->mask & TVIF_IMAGE) tv->iImage = item->data(0, kImageRole).toInt();
      if (tv->mask & TVIF_SELECTEDIMAGE) tv->iSelectedImage = item->data(0, kSelectedImageRole).toInt();
      if (tv->mask & TVIF_CHILDREN) tv->cChildren = item->childCount() > 0 || item->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator;
      if (tv->mask & TVIF_STATE) {
        tv->state = ((item->isSelected() ? TVIS_SELECTED : 0) | (item->isExpanded() ? TVIS_EXPANDED : 0) |
                     (s.dropHilite == tv->hItem ? TVIS_DROPHILITED : 0) | (item->font(0).bold() ? TVIS_BOLD : 0)) &
                    (tv->stateMask ? tv->stateMask : 0xFFFFFFFF);
      }
      return TRUE;
    }
    if (tv->mask & TVIF_TEXT) item->setText(0, ToQt(tv->pszText));
    if (tv->mask & TVIF_PARAM) item->setData(0, kParamRole, QVariant::fromValue<qlonglong>(tv->lParam));
    if (tv->mask & TVIF_IMAGE) item->setData(0, kImageRole, tv->iImage);
    if (tv->mask & TVIF_SELECTEDIMAGE) item->setData(0, kSelectedImageRole, tv->iSelectedImage);
    if (tv->mask & TVIF_CHILDREN)
      item->setChildIndicatorPolicy(tv->cChildren ? QTreeWidgetItem::ShowIndicator : QTreeWidgetItem::DontShowIndicatorWhenChildless);
    if ((tv->mask & TVIF_STATE) && (tv->stateMask & TVIS_BOLD)) {
      QFont font = item->font(0);
      font.setBold(tv->state & TVIS_BOLD);
      item->setFont(0, font);
    }
    if ((tv->mask & TVIF_STATE) && (tv->stateMask & TVIS_EXPANDED)) item->setExpanded(tv->state & TVIS_EXPANDED);
    UpdateIcon(hwnd, item);
    return TRUE;
  }
  case TVM_GETCOUNT: return static_cast<LRESULT>(s.items.size());
  case TVM_GETVISIBLECOUNT: {
    int row = tree->fontMetrics().height() + 4;
    if (QTreeWidgetItem* top = tree->topLevelItem(0)) row = std::max(1, tree->visualItemRect(top).height());
    return tree->viewport()->height() / row;
  }
  case TVM_SETIMAGELIST: {
    HIMAGELIST old = s.images;
    if (wParam == TVSIL_NORMAL) {
      s.images = reinterpret_cast<HIMAGELIST>(lParam);
      QSize size = ImageListSize(s.images);
      if (!size.isEmpty()) tree->setIconSize(size);
      for (auto& [handle, item] : s.items) UpdateIcon(hwnd, item);
    }
    return reinterpret_cast<LRESULT>(old);
  }
  case TVM_GETIMAGELIST: return wParam == TVSIL_NORMAL ? reinterpret_cast<LRESULT>(s.images) : 0;
  case TVM_GETINDENT: return tree->indentation();
  case TVM_SETINDENT: tree->setIndentation(static_cast<int>(wParam)); return 0;
  case TVM_ENSUREVISIBLE: {
    QTreeWidgetItem* item = ItemOf(hwnd, reinterpret_cast<HTREEITEM>(lParam));
    if (!item) return FALSE;
    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent()) p->setExpanded(true);
    tree->scrollToItem(item);
    return TRUE;
  }
  case TVM_SORTCHILDREN: {
    auto handle = reinterpret_cast<HTREEITEM>(lParam);
    if (!handle || handle == TVI_ROOT) tree->sortItems(0, Qt::AscendingOrder);
    else if (QTreeWidgetItem* item = ItemOf(hwnd, handle)) item->sortChildren(0, Qt::AscendingOrder);
    else return FALSE;
    return TRUE;
  }
  case TVM_GETITEMRECT: {
    auto* r = reinterpret_cast<RECT*>(lParam);
    QTreeWidgetItem* item = r ? ItemOf(hwnd, *reinterpret_cast<HTREEITEM*>(r)) : nullptr;
    if (!item) return FALSE;
    QRect row = tree->visualItemRect(item);
    if (row.isEmpty()) return FALSE;
    if (wParam) {  // the text only
      int icon = item->icon(0).isNull() ? 0 : tree->iconSize().width() + 4;
      row = QRect(row.left() + icon, row.top(), tree->fontMetrics().horizontalAdvance(item->text(0)) + 6, row.height());
    } else {
      row.setLeft(0);
      row.setWidth(tree->viewport()->width());
    }
    row.translate(tree->viewport()->pos());
    *r = RECT {row.left(), row.top(), row.left() + row.width(), row.top() + row.height()};
    return TRUE;
  }
  case TVM_HITTEST: {
    auto* hit = reinterpret_cast<TVHITTESTINFO*>(lParam);
    if (!hit) return 0;
    QPoint at = QPoint(hit->pt.x, hit->pt.y) - tree->viewport()->pos();
    hit->hItem = nullptr;
    QRect area = tree->viewport()->rect();
    if (at.y() < 0) hit->flags = TVHT_ABOVE;
    else if (at.y() >= area.height()) hit->flags = TVHT_BELOW;
    else if (at.x() < 0) hit->flags = TVHT_TOLEFT;
    else if (at.x() >= area.width()) hit->flags = TVHT_TORIGHT;
    else if (QTreeWidgetItem* item = tree->itemAt(QPoint(0, at.y()))) {  // anywhere on the item's row
      hit->hItem = HandleOf(item);
      hit->flags = HitFlags(tree, item, at);
    } else {
      hit->flags = TVHT_NOWHERE;
    }
    return reinterpret_cast<LRESULT>(hit->hItem);
  }
  case WM_VSCROLL:
  case WM_HSCROLL: {
    QScrollBar* bar = message == WM_VSCROLL ? tree->verticalScrollBar() : tree->horizontalScrollBar();
    switch (LOWORD(wParam)) {
    case SB_LINEUP: bar->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
    case SB_LINEDOWN: bar->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
    case SB_PAGEUP: bar->triggerAction(QAbstractSlider::SliderPageStepSub); break;
    case SB_PAGEDOWN: bar->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
    case SB_TOP: bar->triggerAction(QAbstractSlider::SliderToMinimum); break;
    case SB_BOTTOM: bar->triggerAction(QAbstractSlider::SliderToMaximum); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: bar->setValue(static_cast<short>(HIWORD(wParam))); break;
    default: break;
    }
    return 0;
  }
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK:
    s.pressAt = QPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    s.dragSent = false;
    s.pressHeld = message == WM_LBUTTONDOWN && OnItem(hwnd, s.pressAt) && !(GetWindowLongW(hwnd, GWL_STYLE) & TVS_DISABLEDRAGDROP);
    if (s.pressHeld) {
      // As on the desktop: the item is selected when the button comes up without a drag, and a
      // drag leaves the selection alone. (The click has already given the tree the focus.)
      return 0;
    }
    ForwardWithCause(hwnd, TVC_BYMOUSE, message, wParam, lParam);
    if (IsWindow(hwnd) && message == WM_LBUTTONDBLCLK) {
      NMTREEVIEWW nm {};
      Notify(hwnd, NM_DBLCLK, nm);
    }
    return 0;
  case WM_MOUSEMOVE:
    if ((wParam & MK_LBUTTON) && s.pressAt.x() >= 0 && !s.dragSent &&
        !(GetWindowLongW(hwnd, GWL_STYLE) & TVS_DISABLEDRAGDROP)) {
      QPoint now(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      if (std::abs(now.x() - s.pressAt.x()) > GetSystemMetrics(SM_CXDRAG) ||
          std::abs(now.y() - s.pressAt.y()) > GetSystemMetrics(SM_CYDRAG)) {
        s.dragSent = true;
        s.pressHeld = false;
        if (QTreeWidgetItem* item = tree->itemAt(s.pressAt - tree->viewport()->pos())) {
          NMTREEVIEWW nm {};
          nm.action = 0;
          nm.itemNew = Describe(item);
          nm.ptDrag = POINT {s.pressAt.x(), s.pressAt.y()};
          Notify(hwnd, TVN_BEGINDRAGW, nm);
          return 0;
        }
      }
    }
    if (s.pressHeld) return 0;  // the list must not select by dragging over rows
    return DefControlProc(hwnd, message, wParam, lParam);
  case WM_LBUTTONUP: {
    QPoint pressAt = s.pressAt;
    bool held = s.pressHeld;
    s.pressAt = QPoint(-1, -1);
    s.pressHeld = false;
    if (held) ForwardWithCause(hwnd, TVC_BYMOUSE, WM_LBUTTONDOWN, wParam | MK_LBUTTON, MAKELPARAM(pressAt.x(), pressAt.y()));
    if (IsWindow(hwnd)) DefControlProc(hwnd, message, wParam, lParam);
    NMTREEVIEWW nm {};
    if (IsWindow(hwnd)) Notify(hwnd, NM_CLICK, nm);
    return 0;
  }
  case WM_RBUTTONDOWN:
  case WM_RBUTTONDBLCLK:
    // As on the desktop: a right press leaves the selection alone; the release is told as NM_RCLICK.
    SetFocus(hwnd);
    return 0;
  case WM_RBUTTONUP: {
    NMTREEVIEWW nm {};
    if (Notify(hwnd, NM_RCLICK, nm)) return 0;
    return DefControlProc(hwnd, message, wParam, lParam);
  }
  case WM_KEYDOWN: ForwardWithCause(hwnd, TVC_BYKEYBOARD, message, wParam, lParam); return 0;
  case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
  case WM_NCDESTROY:
    States().erase(hwnd);
    return DefControlProc(hwnd, message, wParam, lParam);
  default: return DefControlProc(hwnd, message, wParam, lParam);
  }
}

}  // namespace

void RegisterTreeViewClass() {
  RegisterControl({WC_TREEVIEWW, TreeProc, MakeTree, COLOR_WINDOW});
  // The folder browser's tree goes by the class name its callbacks look for.
  RegisterControl({WC_BROWSEFOLDERTREEW, TreeProc, MakeTree, COLOR_WINDOW});
}

}  // namespace qvui
