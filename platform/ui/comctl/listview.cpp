// The list view (SysListView32) in report view: a header control window over a QTreeView of rows.
// Rows keep their texts, an image, a state and the caller's data; a text that is a callback
// (LPSTR_TEXTCALLBACKW), and a sub-item's text that was never set, is asked of the parent with
// LVN_GETDISPINFOW each time it is needed. Owner-drawn lists (LVS_OWNERDRAWFIXED) have their parent draw each row with
// WM_DRAWITEM. State changes are reported with LVN_ITEMCHANGED, header clicks as LVN_COLUMNCLICK; the
// user's clicks and moving keys set the selection mark.

#include "platform/gdi/CDCSurface.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/internal/ControlWidget.h"
#include "platform/ui/internal/ImageListData.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTreeView>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>

namespace qvui {

namespace {

struct Column {
  int fmt {LVCFMT_LEFT};
};

struct Row {
  std::vector<std::optional<QString>> texts;  // none: the parent gives the text
  LPARAM lParam {};
  int image {};
  UINT state {};     // besides selection and focus, which the view keeps
};

struct ListState {
  std::vector<Column> columns;
  std::vector<Row> rows;
  HWND header {};
  HIMAGELIST small {};
  DWORD exStyle {};
  int selectionMark {-1};
  bool reporting {true};
  bool redraw {true};   // WM_SETREDRAW
  size_t pending {};    // rows appended while redrawing is off that the view has not been told of
};

std::map<HWND, ListState>& States() {
  static std::map<HWND, ListState> states;
  return states;
}

LRESULT Notify(HWND hwnd, UINT code, NMHDR* hdr) {
  HWND parent = GetParent(hwnd);
  if (!parent) return 0;
  *hdr = NMHDR {hwnd, static_cast<UINT_PTR>(GetDlgCtrlID(hwnd)), code};
  return SendMessageW(parent, WM_NOTIFY, hdr->idFrom, reinterpret_cast<LPARAM>(hdr));
}

// The text a caller sets: a string, the callback mark, or (null) an empty text.
std::optional<QString> TextSet(LPCWSTR text) {
  if (text == LPSTR_TEXTCALLBACKW) return std::nullopt;
  return text ? ToQt(text) : QString();
}

QString TextOf(HWND hwnd, int row, int column) {
  ListState& s = States()[hwnd];
  const Row& r = s.rows[static_cast<size_t>(row)];
  size_t c = static_cast<size_t>(column);
  if (c < r.texts.size() && r.texts[c]) return *r.texts[c];
  WCHAR buffer[520] {};
  NMLVDISPINFOW info {};
  info.item = LVITEMW {LVIF_TEXT, row, column, 0, 0, buffer, 520, 0, r.lParam};
  Notify(hwnd, LVN_GETDISPINFOW, &info.hdr);
  return info.item.pszText && info.item.pszText != LPSTR_TEXTCALLBACKW ? ToQt(info.item.pszText) : QString();
}

class RowsModel : public QAbstractTableModel {
public:
  explicit RowsModel(HWND hwnd, QObject* parent) : QAbstractTableModel(parent), m_hwnd(hwnd) {}
  int rowCount(const QModelIndex& parent) const override {
    const ListState& s = States()[m_hwnd];
    return parent.isValid() ? 0 : static_cast<int>(s.rows.size() - s.pending);
  }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : std::max(1, static_cast<int>(States()[m_hwnd].columns.size()));
  }
  QVariant data(const QModelIndex& index, int role) const override {
    ListState& s = States()[m_hwnd];
    if (!index.isValid() || index.row() >= static_cast<int>(s.rows.size())) return QVariant();
    const Row& r = s.rows[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
      // Callback texts are asked for each time they are shown, as the original control does.
      return TextOf(m_hwnd, index.row(), index.column());
    case Qt::DecorationRole:
      if (index.column() == 0 && s.small) return ImageListPixmap(s.small, r.image);
      return QVariant();
    case Qt::CheckStateRole:
      if (index.column() == 0 && (s.exStyle & LVS_EX_CHECKBOXES))
        return (r.state & LVIS_STATEIMAGEMASK) == static_cast<UINT>(INDEXTOSTATEIMAGEMASK(2)) ? Qt::Checked : Qt::Unchecked;
      return QVariant();
    case Qt::TextAlignmentRole: {
      size_t c = static_cast<size_t>(index.column());
      int fmt = c < s.columns.size() ? s.columns[c].fmt & LVCFMT_JUSTIFYMASK : LVCFMT_LEFT;
      Qt::Alignment a = fmt == LVCFMT_RIGHT ? Qt::AlignRight : fmt == LVCFMT_CENTER ? Qt::AlignHCenter : Qt::AlignLeft;
      return QVariant::fromValue(a | Qt::AlignVCenter);
    }
    default: return QVariant();
    }
  }
  Qt::ItemFlags flags(const QModelIndex& index) const override {
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == 0 && (States()[m_hwnd].exStyle & LVS_EX_CHECKBOXES)) f |= Qt::ItemIsUserCheckable;
    return f;
  }
  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (role != Qt::CheckStateRole || !index.isValid()) return false;
    Row& r = States()[m_hwnd].rows[static_cast<size_t>(index.row())];
    r.state = (r.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(value.toInt() == Qt::Checked ? 2 : 1);
    emit dataChanged(index, index);
    return true;
  }
  void Reset() {
    beginResetModel();
    endResetModel();
  }
  void InsertRow(int at, Row row) {
    beginInsertRows(QModelIndex(), at, at);
    auto& rows = States()[m_hwnd].rows;
    rows.insert(rows.begin() + at, std::move(row));
    endInsertRows();
  }
  // An appended row the view hears of with the others at the next Announce.
  void AppendQuietly(Row row) {
    ListState& s = States()[m_hwnd];
    s.rows.push_back(std::move(row));
    ++s.pending;
  }
  void Announce() {
    ListState& s = States()[m_hwnd];
    if (!s.pending) return;
    beginInsertRows(QModelIndex(), static_cast<int>(s.rows.size() - s.pending), static_cast<int>(s.rows.size()) - 1);
    s.pending = 0;
    endInsertRows();
  }
  void RemoveRow(int at) {
    beginRemoveRows(QModelIndex(), at, at);
    auto& rows = States()[m_hwnd].rows;
    rows.erase(rows.begin() + at);
    endRemoveRows();
  }
  void ColumnsChanged() {
    beginResetModel();
    endResetModel();
  }
  void Changed(int row) {
    emit dataChanged(index(row, 0), index(row, columnCount(QModelIndex()) - 1));
  }

private:
  HWND m_hwnd {};
};

class RowsView : public QTreeView {
public:
  explicit RowsView(HWND hwnd, QWidget* parent) : QTreeView(parent), m_hwnd(hwnd) {}

protected:
  void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    DWORD style = static_cast<DWORD>(GetWindowLongW(m_hwnd, GWL_STYLE));
    if (!(style & LVS_OWNERDRAWFIXED)) return QTreeView::drawRow(painter, option, index);
    // The parent draws the whole row into a DC on a picture of it, in the list's coordinates.
    QRect rect = option.rect;
    QPoint client = viewport()->mapTo(parentWidget(), rect.topLeft());
    auto surface = std::make_shared<CImageSurface>(rect.width(), rect.height());
    QImage blank(rect.size(), QImage::Format_RGB32);
    blank.fill(palette().base().color());
    surface->SetImage(blank);
    HDC dc = CreateDCForSurface(surface, -client);
    UINT state = 0;
    if (selectionModel()->isRowSelected(index.row(), QModelIndex())) state |= ODS_SELECTED;
    if (currentIndex().row() == index.row() && hasFocus()) state |= ODS_FOCUS;
    const Row& r = States()[m_hwnd].rows[static_cast<size_t>(index.row())];
    DRAWITEMSTRUCT dis {ODT_LISTVIEW, static_cast<UINT>(GetDlgCtrlID(m_hwnd)), static_cast<UINT>(index.row()), ODA_DRAWENTIRE,
                        state, m_hwnd, dc,
                        RECT {client.x(), client.y(), client.x() + rect.width(), client.y() + rect.height()},
                        static_cast<ULONG_PTR>(r.lParam)};
    if (HWND parent = GetParent(m_hwnd)) SendMessageW(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    DeleteDC(dc);
    painter->drawImage(rect.topLeft(), surface->Image());
  }
  // The user's click on a row, a moving key (arrows, Home, End, pages) or a key that finds another
  // row makes that row the selection mark, where a range with Shift starts; with Shift held the
  // mark stays.
  void mousePressEvent(QMouseEvent* e) override {
    QTreeView::mousePressEvent(e);
    if (QModelIndex at = indexAt(e->position().toPoint()); at.isValid()) Mark(at, e->modifiers());
  }
  void keyPressEvent(QKeyEvent* e) override {
    QPersistentModelIndex before = currentIndex();
    QTreeView::keyPressEvent(e);
    const QModelIndex current = currentIndex();
    if (!current.isValid()) return;
    const bool moving = e->key() >= Qt::Key_Home && e->key() <= Qt::Key_PageDown;
    // A moving key that stays on the focused row (Home on the first) still selects it.
    if (moving && current == before && !(e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) &&
        !selectionModel()->isRowSelected(current.row(), QModelIndex()))
      selectionModel()->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (moving || current != before) Mark(current, e->modifiers());
  }

private:
  void Mark(const QModelIndex& index, Qt::KeyboardModifiers modifiers) const {
    if (!(modifiers & Qt::ShiftModifier) && States().count(m_hwnd)) States()[m_hwnd].selectionMark = index.row();
  }

  HWND m_hwnd {};
};

class ListPane : public QWidget {
public:
  ListPane(HWND hwnd, QWidget* parent) : QWidget(parent), m_hwnd(hwnd), m_view(new RowsView(hwnd, this)),
                                         m_model(new RowsModel(hwnd, this)) {
    m_view->setModel(m_model);
    m_view->setHeaderHidden(true);
    m_view->setRootIsDecorated(false);
    m_view->setItemsExpandable(false);
    m_view->setUniformRowHeights(true);
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->setAllColumnsShowFocus(true);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setFocusPolicy(Qt::StrongFocus);
    // The control's focus is the view's: it shows the focused row and takes the arrow keys.
    setFocusProxy(m_view);
    m_view->header()->setStretchLastSection(false);
    QObject::connect(m_view->horizontalScrollBar(), &QScrollBar::valueChanged, [this](int value) {
      SetHeaderOffset(States()[m_hwnd].header, value);
    });
  }
  RowsView* View() const { return m_view; }
  RowsModel* Model() const { return m_model; }
  int HeaderSpace() const {
    HWND header = States()[m_hwnd].header;
    DWORD style = static_cast<DWORD>(GetWindowLongW(m_hwnd, GWL_STYLE));
    if (!header || (style & LVS_NOCOLUMNHEADER) || (style & LVS_TYPEMASK) != LVS_REPORT) return 0;
    return HeaderHeight(header);
  }
  void Layout() {
    int top = HeaderSpace();
    if (HWND header = States()[m_hwnd].header) {
      ShowWindow(header, top ? SW_SHOWNA : SW_HIDE);
      MoveWindow(header, 0, 0, width(), top, TRUE);
    }
    m_view->setGeometry(0, top, width(), height() - top);
  }

protected:
  void resizeEvent(QResizeEvent*) override { Layout(); }

private:
  HWND m_hwnd {};
  RowsView* m_view {};
  RowsModel* m_model {};
};

QWidget* MakeListView(HWND hwnd, QWidget* host) {
  States()[hwnd] = ListState {};
  auto* pane = new ListPane(hwnd, host);
  RowsView* view = pane->View();
  DWORD style = Find(hwnd)->style;
  view->setSelectionMode((style & LVS_SINGLESEL) ? QAbstractItemView::SingleSelection : QAbstractItemView::ExtendedSelection);
  QObject::connect(view->selectionModel(), &QItemSelectionModel::selectionChanged,
                   [hwnd](const QItemSelection& on, const QItemSelection& off) {
                     auto report = [hwnd](const QItemSelection& range, bool selected) {
                       for (const QModelIndex& i : range.indexes()) {
                         if (i.column() != 0 || !States().count(hwnd)) continue;
                         const Row& r = States()[hwnd].rows[static_cast<size_t>(i.row())];
                         NMLISTVIEW nm {};
                         nm.iItem = i.row();
                         nm.uChanged = LVIF_STATE;
                         nm.uNewState = selected ? LVIS_SELECTED : 0;
                         nm.uOldState = selected ? 0 : LVIS_SELECTED;
                         nm.lParam = r.lParam;
                         Notify(hwnd, LVN_ITEMCHANGED, &nm.hdr);
                       }
                     };
                     report(off, false);
                     report(on, true);
                   });
  QObject::connect(view, &QTreeView::doubleClicked, [hwnd](const QModelIndex& index) {
    NMITEMACTIVATE nm {};
    nm.iItem = index.row();
    nm.iSubItem = index.column();
    Notify(hwnd, NM_DBLCLK, &nm.hdr);
  });
  AdoptControlWidget(hwnd, pane);
  return pane;
}

UINT StateOf(ListPane* pane, ListState& s, int row, UINT mask) {
  UINT state = s.rows[static_cast<size_t>(row)].state & ~(LVIS_SELECTED | LVIS_FOCUSED);
  if (pane->View()->selectionModel()->isRowSelected(row, QModelIndex())) state |= LVIS_SELECTED;
  if (pane->View()->currentIndex().row() == row) state |= LVIS_FOCUSED;
  return state & mask;
}

void SetState(HWND hwnd, ListPane* pane, ListState& s, int row, UINT state, UINT mask) {
  QItemSelectionModel* selection = pane->View()->selectionModel();
  QModelIndex index = pane->Model()->index(row, 0);
  if (mask & LVIS_SELECTED)
    selection->select(index, ((state & LVIS_SELECTED) ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                 QItemSelectionModel::Rows);
  if ((mask & LVIS_FOCUSED) && (state & LVIS_FOCUSED)) selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
  UINT other = mask & ~(LVIS_SELECTED | LVIS_FOCUSED);
  if (other) {
    Row& r = s.rows[static_cast<size_t>(row)];
    UINT old = r.state;
    r.state = (r.state & ~other) | (state & other);
    if (old != r.state) {
      pane->Model()->Changed(row);
      NMLISTVIEW nm {};
      nm.iItem = row;
      nm.uChanged = LVIF_STATE;
      nm.uOldState = old;
      nm.uNewState = r.state;
      nm.lParam = r.lParam;
      Notify(hwnd, LVN_ITEMCHANGED, &nm.hdr);
    }
  }
}

QRect RowRect(ListPane* pane, int row, int part) {
  QModelIndex first = pane->Model()->index(row, 0);
  QRect r = pane->View()->visualRect(first);
  if (part == LVIR_BOUNDS || part == LVIR_SELECTBOUNDS) {
    int columns = pane->Model()->columnCount(QModelIndex());
    r = r.united(pane->View()->visualRect(pane->Model()->index(row, columns - 1)));
  } else if (part == LVIR_ICON || part == LVIR_LABEL) {
    int iconWidth = pane->View()->model()->data(first, Qt::DecorationRole).isValid() ? pane->View()->iconSize().width() + 4 : 0;
    r = part == LVIR_ICON ? QRect(r.left(), r.top(), iconWidth, r.height()) : r.adjusted(iconWidth, 0, 0, 0);
  }
  return r.translated(pane->View()->viewport()->mapTo(pane, QPoint(0, 0)));
}

// Ascending stable order by the caller's comparison of the rows' data, or with byIndex of their
// places before the sort.
void SortRows(HWND hwnd, ListPane* pane, ListState& s, PFNLVCOMPARE compare, LPARAM data, bool byIndex) {
  std::vector<bool> selected(s.rows.size());
  for (size_t i = 0; i < s.rows.size(); ++i) selected[i] = StateOf(pane, s, static_cast<int>(i), LVIS_SELECTED);
  std::vector<size_t> order(s.rows.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return byIndex ? compare(static_cast<LPARAM>(a), static_cast<LPARAM>(b), data) < 0
                   : compare(s.rows[a].lParam, s.rows[b].lParam, data) < 0;
  });
  std::vector<Row> rows;
  rows.reserve(order.size());
  for (size_t i : order) rows.push_back(std::move(s.rows[i]));
  s.rows = std::move(rows);
  QuietChange quiet(hwnd);
  pane->Model()->Reset();
  for (size_t i = 0; i < order.size(); ++i)
    if (selected[order[i]])
      pane->View()->selectionModel()->select(pane->Model()->index(static_cast<int>(i), 0),
                                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

int FindRow(ListState& s, HWND hwnd, int after, const LVFINDINFOW& find) {
  int count = static_cast<int>(s.rows.size());
  QString wanted = (find.flags & (LVFI_STRING | LVFI_PARTIAL)) ? ToQt(find.psz) : QString();
  for (int step = 0; step < count; ++step) {
    int i = after + 1 + step;
    if (i >= count) {
      if (!(find.flags & LVFI_WRAP)) break;
      i -= count;
    }
    const Row& r = s.rows[static_cast<size_t>(i)];
    if ((find.flags & LVFI_PARAM) && r.lParam == find.lParam) return i;
    if (find.flags & (LVFI_STRING | LVFI_PARTIAL)) {
      QString text = TextOf(hwnd, i, 0);
      bool hit = (find.flags & LVFI_PARTIAL) ? text.startsWith(wanted, Qt::CaseInsensitive)
                                              : text.compare(wanted, Qt::CaseInsensitive) == 0;
      if (hit) return i;
    }
  }
  return -1;
}

LRESULT ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* pane = ControlOf<ListPane>(hwnd);
  if (!pane) return DefControlProc(hwnd, message, wParam, lParam);
  ListState& s = States()[hwnd];
  int count = static_cast<int>(s.rows.size());
  auto index = static_cast<int>(wParam);
  // Rows appended while redrawing is off reach the view in one piece, before anything else can
  // look at them.
  const auto* inserted = message == LVM_INSERTITEMW ? reinterpret_cast<const LVITEMW*>(lParam) : nullptr;
  const bool appending = inserted && !s.redraw && inserted->iSubItem == 0 && inserted->iItem >= count &&
                         !((inserted->mask & LVIF_STATE) && (inserted->stateMask & (LVIS_SELECTED | LVIS_FOCUSED)));
  if (s.pending && !appending && message != LVM_GETITEMCOUNT) pane->Model()->Announce();
  switch (message) {
  case WM_CREATE:
    s.header = CreateWindowExW(0, WC_HEADERW, u"", WS_CHILD | WS_VISIBLE | HDS_BUTTONS, 0, 0, 0, 0, hwnd, nullptr, nullptr, nullptr);
    pane->Layout();
    return 0;
  case WM_STYLECHANGED:
    if (wParam == static_cast<WPARAM>(GWL_STYLE))
      pane->View()->setSelectionMode((Find(hwnd)->style & LVS_SINGLESEL) ? QAbstractItemView::SingleSelection
                                                                          : QAbstractItemView::ExtendedSelection);
    pane->Layout();
    return 0;
  case WM_NOTIFY: {
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (!hdr || hdr->hwndFrom != s.header) return 0;
    auto* nm = reinterpret_cast<NMHEADERW*>(lParam);
    if (hdr->code == HDN_ITEMCLICKW) {
      NMLISTVIEW click {};
      click.iItem = -1;
      click.iSubItem = nm->iItem;
      Notify(hwnd, LVN_COLUMNCLICK, &click.hdr);
    } else if (hdr->code == HDN_ITEMCHANGEDW) {
      HDITEMW item {HDI_WIDTH, 0, nullptr, nullptr, 0, 0, 0, 0, 0};
      SendMessageW(s.header, HDM_GETITEMW, static_cast<WPARAM>(nm->iItem), reinterpret_cast<LPARAM>(&item));
      pane->View()->setColumnWidth(nm->iItem, item.cxy);
    }
    // What the header tells the list goes on to the list's parent as well.
    if (HWND parent = GetParent(hwnd)) return SendMessageW(parent, WM_NOTIFY, wParam, lParam);
    return 0;
  }
  case WM_DRAWITEM:
    // The header's owner-drawn items are drawn by the list's parent.
    if (HWND parent = GetParent(hwnd)) return SendMessageW(parent, message, wParam, lParam);
    return 0;
  case LVM_GETHEADER: return reinterpret_cast<LRESULT>(s.header);
  case LVM_INSERTCOLUMNW: {
    auto* col = reinterpret_cast<const LVCOLUMNW*>(lParam);
    if (!col || index < 0) return -1;
    int at = std::min(index, static_cast<int>(s.columns.size()));
    int fmt = (col->mask & LVCF_FMT) ? col->fmt : LVCFMT_LEFT;
    int width = (col->mask & LVCF_WIDTH) ? col->cx : 100;
    HDITEMW item {HDI_TEXT | HDI_FORMAT | HDI_WIDTH, width, (col->mask & LVCF_TEXT) ? col->pszText : const_cast<LPWSTR>(u""),
                  nullptr, 0, HDF_STRING | (fmt & LVCFMT_JUSTIFYMASK), 0, 0, 0};
    SendMessageW(s.header, HDM_INSERTITEMW, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&item));
    s.columns.insert(s.columns.begin() + at, Column {fmt});
    for (Row& r : s.rows)
      if (static_cast<size_t>(at) <= r.texts.size()) r.texts.insert(r.texts.begin() + at, std::nullopt);
    pane->Model()->ColumnsChanged();
    for (size_t c = 0; c < s.columns.size(); ++c) {
      HDITEMW w {HDI_WIDTH, 0, nullptr, nullptr, 0, 0, 0, 0, 0};
      SendMessageW(s.header, HDM_GETITEMW, c, reinterpret_cast<LPARAM>(&w));
      pane->View()->setColumnWidth(static_cast<int>(c), w.cxy);
    }
    pane->Layout();
    return at;
  }
  case LVM_DELETECOLUMN: {
    if (index < 0 || index >= static_cast<int>(s.columns.size())) return FALSE;
    SendMessageW(s.header, HDM_DELETEITEM, wParam, 0);
    s.columns.erase(s.columns.begin() + index);
    for (Row& r : s.rows)
      if (static_cast<size_t>(index) < r.texts.size()) r.texts.erase(r.texts.begin() + index);
    pane->Model()->ColumnsChanged();
    return TRUE;
  }
  case LVM_GETCOLUMNW:
  case LVM_SETCOLUMNW: {
    auto* col = reinterpret_cast<LVCOLUMNW*>(lParam);
    if (!col || index < 0 || index >= static_cast<int>(s.columns.size())) return FALSE;
    HDITEMW item {HDI_TEXT | HDI_FORMAT | HDI_WIDTH, col->cx, col->pszText, nullptr, col->cchTextMax, col->fmt, 0, 0, 0};
    if (message == LVM_GETCOLUMNW) {
      SendMessageW(s.header, HDM_GETITEMW, wParam, reinterpret_cast<LPARAM>(&item));
      if (col->mask & LVCF_FMT) col->fmt = s.columns[static_cast<size_t>(index)].fmt;
      if (col->mask & LVCF_WIDTH) col->cx = item.cxy;
      if (col->mask & LVCF_SUBITEM) col->iSubItem = index;
      return TRUE;
    }
    item.mask = ((col->mask & LVCF_TEXT) ? HDI_TEXT : 0) | ((col->mask & LVCF_WIDTH) ? HDI_WIDTH : 0);
    if (col->mask & LVCF_FMT) {
      s.columns[static_cast<size_t>(index)].fmt = col->fmt;
      item.mask |= HDI_FORMAT;
      item.fmt = HDF_STRING | (col->fmt & LVCFMT_JUSTIFYMASK);
    }
    SendMessageW(s.header, HDM_SETITEMW, wParam, reinterpret_cast<LPARAM>(&item));
    if (col->mask & LVCF_WIDTH) pane->View()->setColumnWidth(index, col->cx);
    pane->View()->viewport()->update();
    return TRUE;
  }
  case LVM_GETCOLUMNWIDTH: return index >= 0 && index < static_cast<int>(s.columns.size()) ? pane->View()->columnWidth(index) : 0;
  case LVM_SETCOLUMNWIDTH: {
    if (index < 0 || index >= static_cast<int>(s.columns.size())) return FALSE;
    HDITEMW item {HDI_WIDTH, static_cast<int>(static_cast<short>(LOWORD(lParam))), nullptr, nullptr, 0, 0, 0, 0, 0};
    SendMessageW(s.header, HDM_SETITEMW, wParam, reinterpret_cast<LPARAM>(&item));
    pane->View()->setColumnWidth(index, item.cxy);
    return TRUE;
  }
  case LVM_INSERTITEMW: {
    auto* item = reinterpret_cast<const LVITEMW*>(lParam);
    if (!item || item->iSubItem != 0) return -1;
    int at = std::clamp(item->iItem, 0, count);
    Row row;
    // Sub-items' texts take room once they are set.
    row.texts.resize(1);
    row.texts[0] = (item->mask & LVIF_TEXT) ? TextSet(item->pszText) : QString();
    if (item->mask & LVIF_PARAM) row.lParam = item->lParam;
    if (item->mask & LVIF_IMAGE) row.image = item->iImage;
    if (item->mask & LVIF_STATE) row.state = item->state & item->stateMask & ~(LVIS_SELECTED | LVIS_FOCUSED);
    if (s.exStyle & LVS_EX_CHECKBOXES && !(row.state & LVIS_STATEIMAGEMASK)) row.state |= INDEXTOSTATEIMAGEMASK(1);
    if (appending) {
      pane->Model()->AppendQuietly(std::move(row));
      return at;
    }
    pane->Model()->InsertRow(at, std::move(row));
    if ((item->mask & LVIF_STATE) && (item->stateMask & (LVIS_SELECTED | LVIS_FOCUSED)))
      SetState(hwnd, pane, s, at, item->state, item->stateMask & (LVIS_SELECTED | LVIS_FOCUSED));
    return at;
  }
  case LVM_DELETEITEM: {
    if (index < 0 || index >= count) return FALSE;
    NMLISTVIEW nm {};
    nm.iItem = index;
    nm.lParam = s.rows[static_cast<size_t>(index)].lParam;
    Notify(hwnd, LVN_DELETEITEM, &nm.hdr);
    QuietChange quiet(hwnd);
    pane->Model()->RemoveRow(index);
    return TRUE;
  }
  case LVM_DELETEALLITEMS: {
    NMLISTVIEW all {};
    all.iItem = -1;
    // A non-zero answer spares the per-item notifications.
    bool each = !Notify(hwnd, LVN_DELETEALLITEMS, &all.hdr);
    for (int i = 0; each && i < count; ++i) {
      NMLISTVIEW nm {};
      nm.iItem = i;
      nm.lParam = s.rows[static_cast<size_t>(i)].lParam;
      Notify(hwnd, LVN_DELETEITEM, &nm.hdr);
    }
    QuietChange quiet(hwnd);
    s.rows.clear();
    pane->Model()->Reset();
    s.selectionMark = -1;
    return TRUE;
  }
  case LVM_GETITEMCOUNT: return count;
  case LVM_GETITEMW:
  case LVM_SETITEMW: {
    auto* item = reinterpret_cast<LVITEMW*>(lParam);
    if (!item || item->iItem < 0 || item->iItem >= count) return FALSE;
    Row& r = s.rows[static_cast<size_t>(item->iItem)];
    size_t sub = static_cast<size_t>(std::max(item->iSubItem, 0));
    if (message == LVM_GETITEMW) {
      if ((item->mask & LVIF_TEXT) && item->pszText) CopyOut(TextOf(hwnd, item->iItem, static_cast<int>(sub)), item->pszText, item->cchTextMax);
      if (item->mask & LVIF_PARAM) item->lParam = r.lParam;
      if (item->mask & LVIF_IMAGE) item->iImage = r.image;
      if (item->mask & LVIF_STATE) item->state = StateOf(pane, s, item->iItem, item->stateMask);
      return TRUE;
    }
    if (item->mask & LVIF_TEXT) {
      if (sub >= r.texts.size()) r.texts.resize(sub + 1);
      r.texts[sub] = TextSet(item->pszText);
    }
    if (item->mask & LVIF_PARAM) r.lParam = item->lParam;
    if (item->mask & LVIF_IMAGE) r.image = item->iImage;
    if (item->mask & LVIF_STATE) SetState(hwnd, pane, s, item->iItem, item->state, item->stateMask);
    pane->Model()->Changed(item->iItem);
    return TRUE;
  }
  case LVM_SETITEMTEXTW:
  case LVM_GETITEMTEXTW: {
    auto* item = reinterpret_cast<LVITEMW*>(lParam);
    if (!item || index < 0 || index >= count) return message == LVM_SETITEMTEXTW ? FALSE : 0;
    size_t sub = static_cast<size_t>(std::max(item->iSubItem, 0));
    if (message == LVM_GETITEMTEXTW) return CopyOut(TextOf(hwnd, index, static_cast<int>(sub)), item->pszText, item->cchTextMax);
    Row& r = s.rows[static_cast<size_t>(index)];
    if (sub >= r.texts.size()) r.texts.resize(sub + 1);
    r.texts[sub] = TextSet(item->pszText);
    pane->Model()->Changed(index);
    return TRUE;
  }
  case LVM_SETITEMSTATE: {
    auto* item = reinterpret_cast<const LVITEMW*>(lParam);
    if (!item) return FALSE;
    if (index == -1) {
      for (int i = 0; i < count; ++i) SetState(hwnd, pane, s, i, item->state, item->stateMask);
      return TRUE;
    }
    if (index < 0 || index >= count) return FALSE;
    SetState(hwnd, pane, s, index, item->state, item->stateMask);
    return TRUE;
  }
  case LVM_GETITEMSTATE: return index >= 0 && index < count ? StateOf(pane, s, index, static_cast<UINT>(lParam)) : 0;
  case LVM_GETSELECTEDCOUNT: return pane->View()->selectionModel()->selectedRows().size();
  case LVM_GETNEXTITEM: {
    UINT flags = static_cast<UINT>(lParam) & 0xFF;
    for (int i = std::max(index + 1, 0); i < count; ++i) {
      if ((flags & LVNI_SELECTED) && !StateOf(pane, s, i, LVIS_SELECTED)) continue;
      if ((flags & LVNI_FOCUSED) && !StateOf(pane, s, i, LVIS_FOCUSED)) continue;
      return i;
    }
    return -1;
  }
  case LVM_SETSELECTIONMARK: {
    int old = s.selectionMark;
    s.selectionMark = static_cast<int>(lParam);
    return old;
  }
  case LVM_GETSELECTIONMARK: return s.selectionMark;
  case LVM_SORTITEMS:
  case LVM_SORTITEMSEX: {
    auto compare = reinterpret_cast<PFNLVCOMPARE>(lParam);
    if (!compare) return FALSE;
    SortRows(hwnd, pane, s, compare, static_cast<LPARAM>(wParam), message == LVM_SORTITEMSEX);
    return TRUE;
  }
  case WM_SETREDRAW:
    s.redraw = wParam != 0;
    return DefControlProc(hwnd, message, wParam, lParam);
  case LVM_FINDITEMW: {
    auto* find = reinterpret_cast<const LVFINDINFOW*>(lParam);
    return find ? FindRow(s, hwnd, index, *find) : -1;
  }
  case LVM_ENSUREVISIBLE:
    if (index < 0 || index >= count) return FALSE;
    pane->View()->scrollTo(pane->Model()->index(index, 0));
    return TRUE;
  case LVM_GETTOPINDEX: {
    QModelIndex top = pane->View()->indexAt(QPoint(1, 1));
    return top.isValid() ? top.row() : 0;
  }
  case LVM_GETCOUNTPERPAGE: {
    int row = count ? std::max(1, pane->View()->visualRect(pane->Model()->index(0, 0)).height()) : pane->fontMetrics().height() + 4;
    return pane->View()->viewport()->height() / row;
  }
  case LVM_GETITEMRECT: {
    auto* r = reinterpret_cast<RECT*>(lParam);
    if (!r || index < 0 || index >= count) return FALSE;
    QRect rect = RowRect(pane, index, r->left);
    *r = RECT {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
    return TRUE;
  }
  case LVM_HITTEST: {
    auto* hit = reinterpret_cast<LVHITTESTINFO*>(lParam);
    if (!hit) return -1;
    QPoint at = pane->View()->viewport()->mapFrom(pane, QPoint(hit->pt.x, hit->pt.y));
    QModelIndex i = pane->View()->indexAt(at);
    hit->iItem = i.isValid() ? i.row() : -1;
    hit->iSubItem = i.isValid() ? i.column() : 0;
    hit->flags = i.isValid() ? LVHT_ONITEMLABEL : at.y() < 0 ? LVHT_ABOVE : LVHT_NOWHERE;
    return hit->iItem;
  }
  case LVM_SETIMAGELIST: {
    HIMAGELIST old = s.small;
    if (wParam == LVSIL_SMALL || wParam == LVSIL_NORMAL) {
      s.small = reinterpret_cast<HIMAGELIST>(lParam);
      QSize size = ImageListSize(s.small);
      if (!size.isEmpty()) pane->View()->setIconSize(size);
      pane->View()->viewport()->update();
    }
    return reinterpret_cast<LRESULT>(old);
  }
  case LVM_SETEXTENDEDLISTVIEWSTYLE: {
    DWORD old = s.exStyle;
    DWORD mask = wParam ? static_cast<DWORD>(wParam) : 0xFFFFFFFF;
    s.exStyle = (s.exStyle & ~mask) | (static_cast<DWORD>(lParam) & mask);
    if ((s.exStyle & LVS_EX_CHECKBOXES) && !(old & LVS_EX_CHECKBOXES))
      for (Row& r : s.rows)
        if (!(r.state & LVIS_STATEIMAGEMASK)) r.state |= INDEXTOSTATEIMAGEMASK(1);
    pane->View()->viewport()->update();
    return old;
  }
  case LVM_GETEXTENDEDLISTVIEWSTYLE: return s.exStyle;
  case LVM_REDRAWITEMS: pane->View()->viewport()->update(); return TRUE;
  case WM_LBUTTONUP:
  case WM_RBUTTONUP: {
    DefControlProc(hwnd, message, wParam, lParam);
    if (!IsWindow(hwnd)) return 0;
    NMITEMACTIVATE nm {};
    QPoint at = pane->View()->viewport()->mapFrom(pane, QPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
    QModelIndex i = pane->View()->indexAt(at);
    nm.iItem = i.isValid() ? i.row() : -1;
    nm.iSubItem = i.isValid() ? i.column() : 0;
    nm.ptAction = POINT {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    Notify(hwnd, message == WM_LBUTTONUP ? NM_CLICK : NM_RCLICK, &nm.hdr);
    return 0;
  }
  case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
  case WM_NCDESTROY:
    States().erase(hwnd);
    return DefControlProc(hwnd, message, wParam, lParam);
  default: return DefControlProc(hwnd, message, wParam, lParam);
  }
}

}  // namespace

void RegisterListViewClass() {
  RegisterControl({WC_LISTVIEWW, ListProc, MakeListView, COLOR_WINDOW});
}

}  // namespace qvui
