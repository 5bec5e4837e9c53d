#include "platform/gdi/CDCSurface.h"

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Text.h"

#include <QGuiApplication>
#include <QScreen>

#include <atomic>
#include <map>
#include <mutex>
#include <string>

namespace {

// The screen as a device without pixels: it answers the capabilities (the primary screen's size
// when a QGuiApplication runs), and memory DCs and bitmaps made for it are 32-bit colour.
class DisplaySurface : public CDCSurface {
public:
  QImage* BeginAccess() override { return nullptr; }
  std::optional<QPoint> ScreenPosition() const override { return QPoint(0, 0); }
  QSize GetSize() const override {
    if (!gdi::FontsAvailable()) return QSize(0, 0);
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() * screen->devicePixelRatio() : QSize(0, 0);
  }
};

std::u16string Lower(LPCWSTR text) {
  std::u16string result;
  for (; text && *text; ++text) result.push_back((*text >= u'A' && *text <= u'Z') ? char16_t(*text - u'A' + u'a') : *text);
  return result;
}

struct Drivers {
  std::mutex lock;
  std::map<std::u16string, DCDriverFactory> factories;
};

std::atomic<CDragOutlinePresenter*> g_presenter { nullptr };

Drivers& TheDrivers() {
  static Drivers* drivers = [] {
    auto* d = new Drivers;
    d->factories[u"display"] = [](LPCWSTR, LPCWSTR, const DEVMODEW*) { return std::make_shared<DisplaySurface>(); };
    return d;
  }();
  return *drivers;
}

}  // namespace

int CDCSurface::GetDeviceCaps(int index) const {
  const QSize size = GetSize();
  switch (index) {
    case DRIVERVERSION: return 0x4000;
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZRES: return size.width();
    case VERTRES: return size.height();
    case HORZSIZE: return (size.width() * 254 + 480) / 960;  // millimetres at 96 dpi
    case VERTSIZE: return (size.height() * 254 + 480) / 960;
    case BITSPIXEL: return IsMonochrome() ? 1 : 32;
    case PLANES: return 1;
    case NUMCOLORS: return IsMonochrome() ? 2 : -1;
    case NUMBRUSHES:
    case NUMPENS: return -1;
    case RASTERCAPS: return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    case ASPECTX:
    case ASPECTY: return 36;
    case ASPECTXY: return 51;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case COLORRES: return 24;
    default: return 0;
  }
}

CImageSurface::CImageSurface(int width, int height, bool monochrome) : m_monochrome(monochrome) {
  if (width > 0 && height > 0) {
    m_image = QImage(width, height, QImage::Format_RGB32);
    m_image.fill(0xFF000000u);
  }
}

CImageSurface::CImageSurface(QImage image, bool monochrome) : m_monochrome(monochrome) { SetImage(std::move(image)); }

void CImageSurface::SetImage(QImage image) {
  m_image = image.format() == QImage::Format_RGB32 ? std::move(image) : image.convertToFormat(QImage::Format_RGB32);
  if (!m_monochrome) return;
  for (int y = 0; y < m_image.height(); ++y) {
    auto* line = reinterpret_cast<uint32_t*>(m_image.scanLine(y));
    for (int x = 0; x < m_image.width(); ++x) line[x] = gdi::NearestMono(line[x]);
  }
}

HDC CreateDCForSurface(std::shared_ptr<CDCSurface> surface, QPoint origin, std::optional<QRegion> visible) {
  if (!surface) return nullptr;
  return gdi::HandleTable::Get().AddDC(std::make_shared<gdi::DeviceContext>(std::move(surface), origin, std::move(visible)));
}

void RegisterDCDriver(LPCWSTR driver, DCDriverFactory factory) {
  Drivers& drivers = TheDrivers();
  std::lock_guard guard(drivers.lock);
  if (factory) {
    drivers.factories[Lower(driver)] = std::move(factory);
  } else {
    drivers.factories.erase(Lower(driver));
  }
}

void SetDragOutlinePresenter(CDragOutlinePresenter* presenter) { g_presenter = presenter; }

namespace gdi {

CDragOutlinePresenter* DragOutlinePresenter() { return g_presenter; }

std::shared_ptr<CDCSurface> OpenDevice(LPCWSTR driver, LPCWSTR device, LPCWSTR port, const DEVMODEW* settings) {
  DCDriverFactory factory;
  {
    Drivers& drivers = TheDrivers();
    std::lock_guard guard(drivers.lock);
    auto found = drivers.factories.find(Lower(driver));
    if (found == drivers.factories.end()) return nullptr;
    factory = found->second;
  }
  return factory(device, port, settings);
}

}  // namespace gdi
