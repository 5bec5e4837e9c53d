// The LISTBOX class over QListWidget. The selection is what LB_GETCURSEL answers and is only
// changed by the program or the user (never by Qt's current row when the box gets the focus);
// LBS_NOTIFY reports the user's changes (LBN_SELCHANGE) and double clicks (LBN_DBLCLK).
// LBS_MULTIPLESEL and LBS_EXTENDEDSEL allow several selected items.

#include "platform/ui/internal/ControlWidget.h"

#include <QListWidget>

#include <vector>

namespace qvui {

namespace {

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)); }
bool IsMulti(HWND hwnd) { return StyleOf(hwnd) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL); }

void Notify(HWND hwnd, int code) {
  if (StyleOf(hwnd) & LBS_NOTIFY) NotifyParent(hwnd, code);
}

QWidget* MakeListBox(HWND hwnd, QWidget* host) {
  auto* list = new QListWidget(host);
  DWORD style = Find(hwnd)->style;
  list->setFrameShape(QFrame::NoFrame);
  list->setSelectionMode(style & LBS_EXTENDEDSEL   ? QAbstractItemView::ExtendedSelection
                         : style & LBS_MULTIPLESEL ? QAbstractItemView::MultiSelection
                         : style & LBS_NOSEL       ? QAbstractItemView::NoSelection
                                                   : QAbstractItemView::SingleSelection);
  list->setVerticalScrollBarPolicy((style & WS_VSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  list->setHorizontalScrollBarPolicy((style & WS_HSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  list->setUniformItemSizes(true);
  list->setFocusPolicy(Qt::StrongFocus);
  QObject::connect(list, &QListWidget::itemSelectionChanged, [hwnd] { Notify(hwnd, LBN_SELCHANGE); });
  QObject::connect(list, &QListWidget::itemDoubleClicked, [hwnd] { Notify(hwnd, LBN_DBLCLK); });
  AdoptControlWidget(hwnd, list);
  return list;
}

int Selected(QListWidget* list) {
  QList<QListWidgetItem*> items = list->selectedItems();
  return items.isEmpty() ? LB_ERR : list->row(items.front());
}

int FindItem(QListWidget* list, int after, const QString& text, bool exact) {
  return FindItemText(list->count(), after, text, exact, [list](int i) { return list->item(i)->text(); });
}

void SelectOnly(HWND hwnd, QListWidget* list, int index) {
  QuietChange quiet(hwnd);
  list->clearSelection();
  if (index >= 0) {
    list->setCurrentRow(index, QItemSelectionModel::NoUpdate);
    list->item(index)->setSelected(true);
    list->scrollToItem(list->item(index));
  }
}

int Insert(HWND hwnd, QListWidget* list, int index, const QString& text) {
  QuietChange quiet(hwnd);
  list->insertItem(index, text);
  return index;
}

LRESULT ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* list = ControlOf<QListWidget>(hwnd);
  if (!list) return DefControlProc(hwnd, message, wParam, lParam);
  int count = list->count();
  auto index = static_cast<int>(wParam);
  auto text = [lParam] { return ToQt(reinterpret_cast<LPCWSTR>(lParam)); };
  switch (message) {
  case LB_ADDSTRING: {
    int at = (StyleOf(hwnd) & LBS_SORT) ? SortedPosition(count, text(), [list](int i) { return list->item(i)->text(); })
                                         : count;
    return Insert(hwnd, list, at, text());
  }
  case LB_INSERTSTRING:
    if (index > count) return LB_ERR;
    return Insert(hwnd, list, index < 0 ? count : index, text());
  case LB_DELETESTRING: {
    if (index < 0 || index >= count) return LB_ERR;
    // Qt would select a neighbour of a deleted selected item; here the others keep theirs.
    QuietChange quiet(hwnd);
    std::vector<int> keep;
    for (int i = 0; i < count; ++i)
      if (i != index && list->item(i)->isSelected()) keep.push_back(i < index ? i : i - 1);
    delete list->takeItem(index);
    list->clearSelection();
    for (int i : keep) list->item(i)->setSelected(true);
    return list->count();
  }
  case LB_RESETCONTENT: {
    QuietChange quiet(hwnd);
    list->clear();
    return 0;
  }
  case LB_GETCOUNT: return count;
  case LB_GETCURSEL:
    if (IsMulti(hwnd)) return list->currentRow() < 0 ? LB_ERR : list->currentRow();
    return Selected(list);
  case LB_SETCURSEL:
    if (IsMulti(hwnd)) return LB_ERR;
    if (index < 0 || index >= count) {
      SelectOnly(hwnd, list, -1);
      return index == -1 ? 0 : LB_ERR;
    }
    SelectOnly(hwnd, list, index);
    return index;
  case LB_SETSEL: {
    if (!IsMulti(hwnd)) return LB_ERR;
    int at = static_cast<int>(static_cast<LONG>(lParam));
    QuietChange quiet(hwnd);
    if (at == -1) {
      for (int i = 0; i < count; ++i) list->item(i)->setSelected(wParam != 0);
      return 0;
    }
    if (at < 0 || at >= count) return LB_ERR;
    list->item(at)->setSelected(wParam != 0);
    return 0;
  }
  case LB_GETSEL: return index < 0 || index >= count ? LB_ERR : list->item(index)->isSelected() ? 1 : 0;
  case LB_GETSELCOUNT: return IsMulti(hwnd) ? list->selectedItems().size() : LB_ERR;
  case LB_GETSELITEMS: {
    if (!IsMulti(hwnd) || !lParam) return LB_ERR;
    auto* out = reinterpret_cast<int*>(lParam);
    int n = 0;
    for (int i = 0; i < count && n < index; ++i)
      if (list->item(i)->isSelected()) out[n++] = i;
    return n;
  }
  case LB_GETTEXT:
    if (index < 0 || index >= count || !lParam) return LB_ERR;
    return CopyOut(list->item(index)->text(), reinterpret_cast<LPWSTR>(lParam), 0x7FFFFFFF);
  case LB_GETTEXTLEN: return index < 0 || index >= count ? LB_ERR : list->item(index)->text().size();
  case LB_FINDSTRING: return FindItem(list, index, text(), false);
  case LB_FINDSTRINGEXACT: return FindItem(list, index, text(), true);
  case LB_SELECTSTRING: {
    if (IsMulti(hwnd)) return LB_ERR;
    int found = FindItem(list, index, text(), false);
    if (found != LB_ERR) SelectOnly(hwnd, list, found);
    return found;
  }
  case LB_SETITEMDATA:
    if (index < 0 || index >= count) return LB_ERR;
    list->item(index)->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(static_cast<qlonglong>(lParam)));
    return LB_OKAY;
  case LB_GETITEMDATA:
    if (index < 0 || index >= count) return LB_ERR;
    return static_cast<LRESULT>(list->item(index)->data(Qt::UserRole).toLongLong());
  case LB_GETTOPINDEX: {
    QListWidgetItem* top = list->itemAt(0, 0);
    return top ? list->row(top) : 0;
  }
  case LB_SETTOPINDEX:
    if (index < 0 || index >= count) return LB_ERR;
    list->scrollToItem(list->item(index), QAbstractItemView::PositionAtTop);
    return 0;
  case LB_GETITEMRECT: {
    auto* r = reinterpret_cast<RECT*>(lParam);
    if (index < 0 || index >= count || !r) return LB_ERR;
    QRect item = list->visualItemRect(list->item(index)).translated(list->viewport()->pos());
    *r = RECT {item.left(), item.top(), item.left() + item.width(), item.top() + item.height()};
    return 0;
  }
  case WM_SETFOCUS: Notify(hwnd, LBN_SETFOCUS); return 0;
  case WM_KILLFOCUS: Notify(hwnd, LBN_KILLFOCUS); return 0;
  case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
  default: return DefControlProc(hwnd, message, wParam, lParam);
  }
}

}  // namespace

void RegisterListBoxClass() {
  RegisterControl({WC_LISTBOXW, ListProc, MakeListBox, COLOR_WINDOW});
}

}  // namespace qvui
