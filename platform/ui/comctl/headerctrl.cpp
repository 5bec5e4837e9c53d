// The header control (SysHeader32) over QHeaderView: titles, widths and formats per item, a bitmap
// beside the title (HDF_BITMAP), owner-drawn items (HDF_OWNERDRAW: WM_DRAWITEM to the parent),
// clicks (HDN_ITEMCLICKW) and the end of a resize by the user (HDN_ENDTRACKW).

#include "platform/gdi/CDCSurface.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/comctl/commctrl.h"
#include "platform/ui/internal/ControlWidget.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyle>

#include <memory>
#include <vector>

namespace qvui {

namespace {

struct HeaderItem {
  QString text;
  int fmt {HDF_LEFT | HDF_STRING};
  LPARAM lParam {};
  HBITMAP bitmap {};
};

class HeaderView : public QHeaderView {
public:
  HeaderView(HWND hwnd, QWidget* parent) : QHeaderView(Qt::Horizontal, parent), m_hwnd(hwnd), m_model(new QStandardItemModel(0, 0, this)) {
    setModel(m_model);
    setSectionsClickable(true);
    setHighlightSections(false);
    setStretchLastSection(false);
    setSectionResizeMode(QHeaderView::Interactive);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(this, &QHeaderView::sectionClicked, [this](int section) { Notify(HDN_ITEMCLICKW, section); });
    connect(this, &QHeaderView::sectionResized, [this](int section, int, int) {
      m_resized = section;
      if (!QuietChange::IsQuiet(m_hwnd)) Notify(HDN_ITEMCHANGEDW, section);
    });
  }

  std::vector<HeaderItem> items;

  void Insert(int at, const HeaderItem& item, int width) {
    items.insert(items.begin() + at, item);
    m_model->insertColumn(at);
    m_model->setHeaderData(at, Qt::Horizontal, item.text);
    resizeSection(at, width);
    Align(at);
  }
  void Remove(int at) {
    items.erase(items.begin() + at);
    m_model->removeColumn(at);
  }
  void Align(int at) {
    int fmt = items[static_cast<size_t>(at)].fmt & HDF_JUSTIFYMASK;
    Qt::Alignment a = fmt == HDF_RIGHT ? Qt::AlignRight : fmt == HDF_CENTER ? Qt::AlignHCenter : Qt::AlignLeft;
    m_model->setHeaderData(at, Qt::Horizontal, QVariant::fromValue(a | Qt::AlignVCenter), Qt::TextAlignmentRole);
    m_model->setHeaderData(at, Qt::Horizontal, items[static_cast<size_t>(at)].text);
    viewport()->update();
  }

  LRESULT Notify(UINT code, int item, HDITEMW* data = nullptr) {
    HWND parent = GetParent(m_hwnd);
    if (!parent) return 0;
    NMHEADERW nm {NMHDR {m_hwnd, static_cast<UINT_PTR>(GetDlgCtrlID(m_hwnd)), code}, item, 0, data};
    return SendMessageW(parent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
  }

protected:
  void paintSection(QPainter* painter, const QRect& rect, int section) const override {
    if (section < 0 || section >= static_cast<int>(items.size())) return QHeaderView::paintSection(painter, rect, section);
    const HeaderItem& item = items[static_cast<size_t>(section)];
    if (item.fmt & HDF_OWNERDRAW) {
      PaintOwnerDrawn(painter, rect, section);
      return;
    }
    // The style leaves the painter clipped to nothing; the bitmap needs the section.
    painter->save();
    QHeaderView::paintSection(painter, rect, section);
    painter->restore();
    if ((item.fmt & HDF_BITMAP) && item.bitmap) {
      QImage image = ImageOfBitmap(item.bitmap);
      if (image.isNull()) return;
      int y = rect.top() + (rect.height() - image.height()) / 2;
      int x = (item.fmt & HDF_BITMAP_ON_RIGHT) ? rect.right() - image.width() - 6 : rect.left() + 4;
      painter->drawImage(x, y, image);
    }
  }

  void mouseReleaseEvent(QMouseEvent* e) override {
    int resized = m_resized;
    m_resized = -1;
    Press(-1);
    QHeaderView::mouseReleaseEvent(e);
    if (resized >= 0) Notify(HDN_ENDTRACKW, resized);
  }
  void mousePressEvent(QMouseEvent* e) override {
    m_resized = -1;
    // An item is pressed by the left button on it; near its right edge the button sizes it.
    int x = e->position().toPoint().x();
    int section = logicalIndexAt(x);
    int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
    bool sizing = section >= 0 && x >= sectionViewportPosition(section) + sectionSize(section) - grip;
    Press(e->button() == Qt::LeftButton && !sizing ? section : -1);
    QHeaderView::mousePressEvent(e);
  }

private:
  void Press(int section) {
    if (m_pressed == section) return;
    m_pressed = section;
    viewport()->update();
  }

  // The parent draws the item into a DC on a picture of it.
  void PaintOwnerDrawn(QPainter* painter, const QRect& rect, int section) const {
    HWND parent = GetParent(m_hwnd);
    auto surface = std::make_shared<CImageSurface>(rect.width(), rect.height());
    surface->SetImage([&] {
      QImage blank(rect.size(), QImage::Format_RGB32);
      blank.fill(palette().button().color());
      return blank;
    }());
    HDC dc = CreateDCForSurface(surface, QPoint(-rect.left(), -rect.top()));
    DRAWITEMSTRUCT dis {ODT_HEADER, static_cast<UINT>(GetDlgCtrlID(m_hwnd)), static_cast<UINT>(section), ODA_DRAWENTIRE,
                        section == m_pressed ? static_cast<UINT>(ODS_SELECTED) : 0u, m_hwnd, dc, RECT {rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1},
                        static_cast<ULONG_PTR>(items[static_cast<size_t>(section)].lParam)};
    if (parent) SendMessageW(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    DeleteDC(dc);
    painter->drawImage(rect.topLeft(), surface->Image());
  }

  HWND m_hwnd {};
  QStandardItemModel* m_model {};
  int m_resized {-1};
  int m_pressed {-1};  // the item the left button holds down
};

QWidget* MakeHeader(HWND hwnd, QWidget* host) {
  auto* header = new HeaderView(hwnd, host);
  AdoptControlWidget(hwnd, header);
  return header;
}

void Read(HeaderView* header, int at, HDITEMW& item) {
  const HeaderItem& h = header->items[static_cast<size_t>(at)];
  if (item.mask & HDI_WIDTH) item.cxy = header->sectionSize(at);
  if ((item.mask & HDI_TEXT) && item.pszText) CopyOut(h.text, item.pszText, item.cchTextMax);
  if (item.mask & HDI_FORMAT) item.fmt = h.fmt;
  if (item.mask & HDI_LPARAM) item.lParam = h.lParam;
  if (item.mask & HDI_BITMAP) item.hbm = h.bitmap;
  if (item.mask & HDI_ORDER) item.iOrder = header->visualIndex(at);
}

void Write(HeaderView* header, int at, const HDITEMW& item) {
  HeaderItem& h = header->items[static_cast<size_t>(at)];
  if (item.mask & HDI_TEXT) h.text = ToQt(item.pszText);
  if (item.mask & HDI_FORMAT) h.fmt = item.fmt;
  if (item.mask & HDI_LPARAM) h.lParam = item.lParam;
  if (item.mask & HDI_BITMAP) h.bitmap = item.hbm;
  if (item.mask & HDI_WIDTH) header->resizeSection(at, std::max(item.cxy, 0));
  header->Align(at);
}

LRESULT HeaderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* header = ControlOf<HeaderView>(hwnd);
  if (!header) return DefControlProc(hwnd, message, wParam, lParam);
  int count = static_cast<int>(header->items.size());
  auto index = static_cast<int>(wParam);
  switch (message) {
  case HDM_GETITEMCOUNT: return count;
  case HDM_INSERTITEMW: {
    auto* item = reinterpret_cast<const HDITEMW*>(lParam);
    if (!item || index < 0) return -1;
    int at = std::min(index, count);
    QuietChange quiet(hwnd);
    header->Insert(at, HeaderItem {}, (item->mask & HDI_WIDTH) ? item->cxy : 100);
    Write(header, at, *item);
    return at;
  }
  case HDM_DELETEITEM:
    if (index < 0 || index >= count) return FALSE;
    header->Remove(index);
    return TRUE;
  case HDM_GETITEMW:
  case HDM_SETITEMW: {
    auto* item = reinterpret_cast<HDITEMW*>(lParam);
    if (!item || index < 0 || index >= count) return FALSE;
    if (message == HDM_GETITEMW) {
      Read(header, index, *item);
    } else {
      QuietChange quiet(hwnd);
      Write(header, index, *item);
    }
    return TRUE;
  }
  case HDM_GETITEMRECT: {
    auto* r = reinterpret_cast<RECT*>(lParam);
    if (!r || index < 0 || index >= count) return FALSE;
    int left = header->sectionViewportPosition(index);
    *r = RECT {left, 0, left + header->sectionSize(index), header->height()};
    return TRUE;
  }
  case WM_SIZE: header->setFixedHeight(HIWORD(lParam)); return DefControlProc(hwnd, message, wParam, lParam);
  default: return DefControlProc(hwnd, message, wParam, lParam);
  }
}

}  // namespace

int HeaderHeight(HWND header) {
  auto* view = ControlOf<HeaderView>(header);
  return view ? std::max(view->sizeHint().height(), view->fontMetrics().height() + 8) : 0;
}

void SetHeaderOffset(HWND header, int offset) {
  if (auto* view = ControlOf<HeaderView>(header)) view->setOffset(offset);
}

void RegisterHeaderClass() {
  RegisterControl({WC_HEADERW, HeaderProc, MakeHeader, COLOR_BTNFACE});
}

}  // namespace qvui
