#include "framework/dialogs/tests/DialogsTestSupport.h"

#include "foundation/language/CQVRCM.h"
#include "platform/ui/tests/UiTestSupport.h"
#include "platform/ui/win/winctrl.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

void UseLanguage(LPCWSTR language) {
  CQVRCM::RegisterRCM(nullptr, u"FrameworkDialogsTest.drs", TRUE);
  ASSERT_TRUE(CQVRCM::SetCurrentLanguage(language, nullptr, FALSE)) << CString(language).ToUtf8();
}

namespace {
BoxRecorder* g_recorder = nullptr;

int Record(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  BoxRecorder& r = *g_recorder;
  r.asked.push_back({owner, CString(text ? text : u""), CString(caption ? caption : u""), caption != nullptr, type});
  if (r.during) r.during(owner);
  if (r.answers.empty()) return IDOK;
  const int answer = r.answers.front();
  r.answers.erase(r.answers.begin());
  return answer;
}
}  // namespace

BoxRecorder::BoxRecorder(std::vector<int> answers) : answers(std::move(answers)) {
  g_recorder = this;
  SetMessageBoxHandler(&Record);
}

BoxRecorder::~BoxRecorder() {
  SetMessageBoxHandler(nullptr);
  g_recorder = nullptr;
}

bool SaveScreenshot(HWND hwnd, const std::string& name) {
  QWidget* host = HostOf(hwnd);
  if (!host) return false;
  Pump(50);
  // Under a window manager the frame belongs to the screen, not to the widget: take the screen's
  // pixels where the frame is, and the widget's own where there is none (offscreen runs).
  QPixmap shot;
  QScreen* screen = host->screen();
  const QRect frame = host->frameGeometry();
  if (screen && QGuiApplication::platformName() == QStringLiteral("xcb"))
    shot = screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
  if (shot.isNull()) shot = host->grab();
  const QString folder = QStringLiteral(QV_TEST_ARTIFACT_DIR);
  QDir().mkpath(folder);
  return shot.save(folder + QStringLiteral("/") + QString::fromStdString(name) + QStringLiteral(".png"));
}

void MapTestItems(CQVDialogHelper& helper, LPCWSTR mapName) {
  helper.BeginIDMap(mapName);
  const CString map(mapName);
  helper.DlgItem(IDC_TEST_LABEL, map + u"_LABEL", TRUE);
  helper.DlgItem(IDC_TEST_NAME, map + u"_NAME", FALSE);
  helper.DlgItem(IDC_TEST_NOTE, map + u"_NOTE", FALSE);
  helper.DlgItem(IDOK, map + u"_OK", TRUE);
  helper.DlgItem(IDCANCEL, map + u"_CANCEL", TRUE);
  helper.EndIDMap();
}

CString ItemText(CWnd& owner, int id) {
  CString text;
  owner.GetDlgItemText(id, text);
  return text;
}

CRect ItemRect(CWnd& owner, int id) {
  CRect rect;
  CWnd* item = owner.GetDlgItem(id);
  if (!item) return rect;
  item->GetWindowRect(&rect);
  owner.ScreenToClient(&rect);
  return rect;
}

void WriteTextFile(const QString& path, const char* text) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text);
}
