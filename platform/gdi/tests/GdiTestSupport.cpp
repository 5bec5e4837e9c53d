#include "GdiTestSupport.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdlib>
#include <vector>

TestCanvas::TestCanvas(int width, int height, COLORREF background, bool monochrome) : m_width(width), m_height(height) {
  m_dc.CreateCompatibleDC(nullptr);
  if (monochrome) {
    m_bitmap.CreateBitmap(width, height, 1, 1, nullptr);
  } else {
    m_bitmap.CreateBitmap(width, height, 1, 32, nullptr);
  }
  m_previous = m_dc.SelectObject(&m_bitmap);
  m_dc.FillSolidRect(0, 0, width, height, background);
  m_dc.SetBkColor(RGB(255, 255, 255));
}

TestCanvas::~TestCanvas() {
  if (m_previous) m_dc.SelectObject(m_previous);
}

QImage TestCanvas::Image() {
  QImage image(m_width, m_height, QImage::Format_RGB32);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = m_width;
  info.bmiHeader.biHeight = -m_height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<BYTE> bits(size_t(m_width) * m_height * 4);
  // GetDIBits here also reads a bitmap that is selected into a DC.
  GetDIBits(m_dc, m_bitmap, 0, UINT(m_height), bits.data(), &info, DIB_RGB_COLORS);
  for (int y = 0; y < m_height; ++y)
    for (int x = 0; x < m_width; ++x) {
      const BYTE* p = &bits[(size_t(y) * m_width + x) * 4];
      image.setPixel(x, y, qRgb(p[2], p[1], p[0]));
    }
  return image;
}

std::string PictureOf(const QImage& image, const std::map<COLORREF, char>& legend, const QRect& area) {
  std::string text;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb c = image.pixel(x, y);
      auto found = legend.find(RGB(qRed(c), qGreen(c), qBlue(c)));
      text.push_back(found == legend.end() ? '?' : found->second);
    }
    text.push_back('\n');
  }
  return text;
}

std::string TestCanvas::Picture(const std::map<COLORREF, char>& legend, const CRect& area) {
  return PictureOf(Image(), legend, QRect(area.left, area.top, area.Width(), area.Height()));
}

std::string TestCanvas::Picture(const std::map<COLORREF, char>& legend) {
  return Picture(legend, CRect(0, 0, m_width, m_height));
}

bool HasGuiApplication() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

void EnsureGuiApplication() {
  if (QCoreApplication::instance()) return;
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "platform_gdi_tests";
  static char* argv[] = {name, nullptr};
  new QGuiApplication(argc, argv);  // lives until the process ends
}

void SaveArtifact(const QImage& image, const std::string& name) {
  const QString folder = QString::fromUtf8(QV_TEST_ARTIFACT_DIR) + QStringLiteral("/gdi");
  QDir().mkpath(folder);
  image.save(folder + QLatin1Char('/') + QString::fromStdString(name));
}
