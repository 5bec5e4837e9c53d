#include "platform/ui/internal/OutlineOverlay.h"

#include "platform/ui/internal/WindowTable.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>

#include <map>

namespace qvui {

namespace {

// One outline window per DC, made on the first outline and deleted with the DC.
class OutlinePresenter : public CDragOutlinePresenter {
public:
  void Show(HDC dc, const QRect& screenRect, const QRegion& shape, const QImage& picture) override {
    if (!IsUiThread()) return;
    QPointer<OutlineOverlay>& overlay = m_overlays[dc];
    if (!overlay) overlay = new OutlineOverlay;
    overlay->Present(screenRect, shape, picture);
  }

  void Hide(HDC dc) override {
    if (!IsUiThread()) return;
    if (auto found = m_overlays.find(dc); found != m_overlays.end() && found->second) found->second->hide();
  }

  void Forget(HDC dc) override {
    if (!qApp) return;
    if (!IsUiThread()) {
      // A DC deleted on another thread: its window goes on the UI thread.
      QMetaObject::invokeMethod(qApp, [this, dc] { Forget(dc); }, Qt::QueuedConnection);
      return;
    }
    auto found = m_overlays.find(dc);
    if (found == m_overlays.end()) return;
    delete found->second.data();
    m_overlays.erase(found);
  }

private:
  std::map<HDC, QPointer<OutlineOverlay>> m_overlays;
};

// Installed when the window layer is loaded; it lives as long as the process, as DCs may.
const bool g_installed = [] {
  SetDragOutlinePresenter(new OutlinePresenter);
  return true;
}();

}  // namespace

OutlineOverlay::OutlineOverlay()
    : QWidget(nullptr, Qt::ToolTip | Qt::WindowTransparentForInput | Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("qv-drag-outline"));
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
}

void OutlineOverlay::Present(const QRect& screenRect, const QRegion& shape, const QImage& picture) {
  m_picture = picture;
  setGeometry(screenRect);
  setMask(shape);
  if (isHidden()) show();
  update();
}

void OutlineOverlay::paintEvent(QPaintEvent* e) {
  QPainter p(this);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(e->rect(), m_picture, e->rect());
}

}  // namespace qvui
