#include "platform/ui/tests/DemoSupport.h"

#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"
#include "platform/ui/internal/WindowHost.h"
#include "platform/ui/internal/WindowTable.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <utility>

namespace {

QString g_screenshot;
QString g_drive;
QString g_show;

}  // namespace

int DemoMain(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i)
    if (QByteArray(argv[i]) == "--screenshot") g_screenshot = QString::fromLocal8Bit(argv[i + 1]);
    else if (QByteArray(argv[i]) == "--drive") g_drive = QString::fromLocal8Bit(argv[i + 1]);
    else if (QByteArray(argv[i]) == "--show") g_show = QString::fromLocal8Bit(argv[i + 1]);
  return AfxWinMain(argc, argv);
}

const QString& ScreenshotPath() { return g_screenshot; }

const QString& DrivePath() { return g_drive; }

const QString& ShowWhat() { return g_show; }

void ServeDriver(std::function<QByteArray()> state) {
  auto* timer = new QTimer(qApp);
  QObject::connect(timer, &QTimer::timeout, [state = std::move(state)] {
    QFile request(g_drive + QStringLiteral("/request"));
    if (!request.open(QIODevice::ReadOnly)) return;
    QByteArray seq = request.readAll().trimmed();
    request.close();
    request.remove();
    QFile answer(g_drive + QStringLiteral("/state.part"));
    if (!answer.open(QIODevice::WriteOnly)) return;
    answer.write("seq=" + seq + '\n' + state());
    answer.close();
    QFile::remove(g_drive + QStringLiteral("/state"));
    answer.rename(g_drive + QStringLiteral("/state"));
  });
  timer->start(50);
}

void StateLine(QByteArray& out, const QByteArray& key, const QByteArray& value) { out += key + '=' + value + '\n'; }

void ScreenLines(QByteArray& out, HWND hwnd, const QByteArray& key) {
  RECT r {};
  ::GetWindowRect(hwnd, &r);
  StateLine(out, key + ".rect", QByteArray::number(r.left) + ',' + QByteArray::number(r.top) + ',' +
                                    QByteArray::number(r.right) + ',' + QByteArray::number(r.bottom));
  QImage pixels = QGuiApplication::primaryScreen()->grabWindow(0, r.left, r.top, r.right - r.left, r.bottom - r.top).toImage();
  QByteArrayView bytes(pixels.constBits(), pixels.sizeInBytes());
  StateLine(out, key + ".pixels", QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex().left(12));
}

QImage ShootWindow(HWND hwnd, const QString& path) {
  RECT r {};
  ::GetWindowRect(hwnd, &r);
  QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, r.left, r.top, r.right - r.left, r.bottom - r.top);
  if (shot.isNull()) {
    if (qvui::WindowRecord* rec = qvui::Find(hwnd); rec && rec->host) shot = rec->host->grab();
  }
  if (shot.isNull() || !shot.save(path)) {
    std::fprintf(stderr, "cannot take or write %s\n", qPrintable(path));
    return QImage();
  }
  return shot.toImage();
}

HIMAGELIST ColourSquares(std::initializer_list<COLORREF> colours) {
  const int count = static_cast<int>(colours.size());
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, count, 0);
  CDC memory;
  memory.CreateCompatibleDC(nullptr);
  CBitmap strip;
  strip.CreateBitmap(16 * count, 16, 1, 32, nullptr);
  CBitmap* old = memory.SelectObject(&strip);
  constexpr COLORREF kGround = RGB(255, 0, 255);
  memory.FillSolidRect(0, 0, 16 * count, 16, kGround);
  int x = 2;
  for (COLORREF colour : colours) {
    memory.FillSolidRect(x, 2, 12, 12, colour);
    x += 16;
  }
  memory.SelectObject(old);
  ImageList_AddMasked(list, static_cast<HBITMAP>(strip.GetSafeHandle()), kGround);
  return list;
}

void DemoProgram::CheckLater(int delayMs, std::function<int()> check, std::function<void()> close) {
  if (g_screenshot.isEmpty()) return;
  // A loaded machine may not have shown or painted the window yet: a failing check is tried again
  // every quarter of a second until it passes or ten seconds have gone by.
  auto* retry = new QTimer(qApp);
  QObject::connect(retry, &QTimer::timeout, [this, retry, left = 40, check = std::move(check), close = std::move(close)]() mutable {
    retry->setInterval(250);
    m_result = check();
    if (m_result != 0 && left-- > 0) return;
    retry->stop();
    retry->deleteLater();
    close();
  });
  retry->start(delayMs);
}
