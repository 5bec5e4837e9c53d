// Finding a program's window from another process of the same user, for single-instance start.
//
// A process that registers an application window class claims the class name: it holds a lock on
// a file named after the class in the user's runtime folder (the system drops the lock when the
// process ends, however it ends) and listens on a local socket beside it. FindWindowW in another
// process sees the lock, connects, and returns a stand-in window; IsIconic, ShowWindow and
// SetForegroundWindow on the stand-in are carried out by the first process on its top-level
// window of that class, or, while it has none yet, as soon as one is shown.

#include "platform/ui/internal/WindowHost.h"
#include "platform/ui/internal/WindowTable.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <fcntl.h>
#include <unistd.h>

#include <map>

namespace qvui {

namespace {

QString BasePath(const CString& className) {
  QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (dir.isEmpty()) dir = QDir::tempPath();
  QDir().mkpath(dir);
  CString lower = className;
  lower.MakeLower();
  // A digest keeps the socket's path within the length a local socket allows, whatever the name.
  const QByteArray digest = QCryptographicHash::hash(QByteArray::fromStdString(lower.ToUtf8()), QCryptographicHash::Sha1);
  return dir + QStringLiteral("/qv-instance-") + QString::fromLatin1(digest.toHex());
}

struct Claim {
  int lockFd {-1};
  QLocalServer* server {};
  std::vector<QByteArray> pending;  // requests that wait for the window
};

std::map<CString, Claim>& Claims() {
  static std::map<CString, Claim> claims;
  return claims;
}

std::map<HWND, QLocalSocket*>& Remotes() {
  static std::map<HWND, QLocalSocket*> remotes;
  return remotes;
}

CString Key(const CString& className) {
  CString k = className;
  k.MakeLower();
  return k;
}

HWND LocalWindowOf(const CString& className) {
  for (HWND h : TopLevelWindows()) {
    WindowRecord* rec = Find(h);
    if (rec && !rec->remote && !rec->destroying && rec->windowClass->name.CompareNoCase(className) == 0) return h;
  }
  return nullptr;
}

QByteArray Perform(const CString& className, const QByteArray& request, bool* done) {
  HWND hwnd = LocalWindowOf(className);
  *done = hwnd != nullptr && IsWindowVisible(hwnd);
  if (request == "ICONIC") return hwnd && IsIconic(hwnd) ? "1" : "0";
  if (!*done) return "1";
  if (request.startsWith("SHOW ")) return ShowWindow(hwnd, request.mid(5).toInt()) ? "1" : "0";
  if (request == "FOREGROUND") return SetForegroundWindow(hwnd) ? "1" : "0";
  return "0";
}

void Serve(const CString& className, QLocalSocket* socket) {
  while (socket->canReadLine()) {
    QByteArray request = socket->readLine().trimmed();
    bool done = false;
    QByteArray answer = Perform(className, request, &done);
    if (!done && request != "ICONIC") Claims()[Key(className)].pending.push_back(request);
    socket->write(answer + "\n");
    socket->flush();
  }
}

QByteArray Ask(WindowRecord& rec, const QByteArray& request) {
  auto it = Remotes().find(rec.handle);
  if (it == Remotes().end()) return QByteArray();
  QLocalSocket* socket = it->second;
  socket->write(request + "\n");
  if (!socket->waitForBytesWritten(2000)) return QByteArray();
  while (!socket->canReadLine())
    if (!socket->waitForReadyRead(2000)) return QByteArray();
  return socket->readLine().trimmed();
}

bool HeldByOther(const QString& lockPath) {
  int fd = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return false;
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  bool held = ::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
  ::close(fd);
  return held;
}

}  // namespace

void ClaimInstance(const CString& className) {
  if (!qApp || Claims().count(Key(className))) return;
  QString base = BasePath(className);
  int fd = ::open(QFile::encodeName(base + QStringLiteral(".lock")).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  if (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
    ::close(fd);  // another process has it
    return;
  }
  Claim& claim = Claims()[Key(className)];
  claim.lockFd = fd;
  QString socketPath = base + QStringLiteral(".sock");
  QLocalServer::removeServer(socketPath);
  claim.server = new QLocalServer(qApp);
  claim.server->setSocketOptions(QLocalServer::UserAccessOption);
  claim.server->listen(socketPath);
  CString name = className;
  QObject::connect(claim.server, &QLocalServer::newConnection, claim.server, [server = claim.server, name] {
    while (QLocalSocket* socket = server->nextPendingConnection()) {
      QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, name] { Serve(name, socket); });
      QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
  });
}

void OnTopLevelShown(HWND hwnd) {
  WindowRecord* rec = Find(hwnd);
  if (!rec || !rec->windowClass->application) return;
  auto it = Claims().find(Key(rec->windowClass->name));
  if (it == Claims().end() || it->second.pending.empty()) return;
  std::vector<QByteArray> pending;
  pending.swap(it->second.pending);
  for (const QByteArray& request : pending) {
    bool done = false;
    Perform(rec->windowClass->name, request, &done);
  }
}

HWND FindRemoteInstance(LPCWSTR className) {
  if (!qApp || !className || Claims().count(Key(className))) return nullptr;
  QString base = BasePath(className);
  if (!HeldByOther(base + QStringLiteral(".lock"))) return nullptr;
  // The holder takes the lock before it listens, so a start that comes just after it may find
  // the lock but no socket yet: keep trying while the lock is held, for a while.
  auto* socket = new QLocalSocket(qApp);
  QElapsedTimer waited;
  waited.start();
  for (;;) {
    socket->connectToServer(base + QStringLiteral(".sock"));
    if (socket->waitForConnected(200)) break;
    socket->abort();
    if (waited.elapsed() > 2000 || !HeldByOther(base + QStringLiteral(".lock"))) {
      delete socket;
      return nullptr;
    }
    QThread::msleep(10);
  }
  auto record = std::make_unique<WindowRecord>();
  static std::uintptr_t next = 0x7FFF0000;
  record->handle = reinterpret_cast<HWND>(next += 4);
  record->remote = true;
  record->windowClass = std::make_shared<WindowClass>();
  record->windowClass->name = className;
  record->style = WS_OVERLAPPED | WS_VISIBLE;
  HWND hwnd = record->handle;
  Add(std::move(record));
  Remotes()[hwnd] = socket;
  QObject::connect(socket, &QLocalSocket::disconnected, socket, [hwnd, socket] {
    Remotes().erase(hwnd);
    Remove(hwnd);
    socket->deleteLater();
  });
  return hwnd;
}

bool RemoteIsIconic(WindowRecord& rec) { return Ask(rec, "ICONIC") == "1"; }
bool RemoteShow(WindowRecord& rec, int command) { return Ask(rec, "SHOW " + QByteArray::number(command)) == "1"; }
bool RemoteForeground(WindowRecord& rec) { return Ask(rec, "FOREGROUND") == "1"; }

}  // namespace qvui

using namespace qvui;

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
  for (HWND h : TopLevelWindows()) {
    WindowRecord* rec = Find(h);
    if (!rec || rec->remote || rec->destroying) continue;
    if (className && rec->windowClass->name.CompareNoCase(className) != 0) continue;
    if (windowName && rec->text.Compare(windowName) != 0) continue;
    return h;
  }
  return className && !windowName ? FindRemoteInstance(className) : nullptr;
}
