// The EDIT class: a single-line edit (QLineEdit) or, with ES_MULTILINE, a multi-line one
// (QPlainTextEdit). ES_PASSWORD hides the text, ES_NUMBER refuses typed characters other than
// digits, ES_READONLY and EM_SETREADONLY keep the user from changing it, ES_UPPERCASE and
// ES_LOWERCASE convert what is typed. The border is the window's own (WS_BORDER,
// WS_EX_CLIENTEDGE); the widget draws none. Before it paints, an edit asks its parent for its
// colours. The edit field of a combo box is an edit over the combo box's own line edit.

#include "platform/ui/internal/ControlWidget.h"

#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/gdi.h"

#include <QLineEdit>
#include <QPainter>
#include <QPaintEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>

#include <map>
#include <memory>

namespace qvui {

namespace {

struct EditState {
  int limit {0x7FFFFFFE};
  bool modified {};
  bool inCombo {};  // the edit field of a combo box
};

std::map<HWND, EditState>& States() {
  static std::map<HWND, EditState> states;
  return states;
}

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)); }

Qt::Alignment AlignmentOf(DWORD style) {
  if (style & ES_RIGHT) return Qt::AlignRight;
  if (style & ES_CENTER) return Qt::AlignHCenter;
  return Qt::AlignLeft;
}

void Changed(HWND hwnd) {
  if (!IsWindow(hwnd)) return;  // a combo box's line edit outlives its window for a moment
  States()[hwnd].modified = true;
  NotifyParent(hwnd, EN_UPDATE);
  NotifyParent(hwnd, EN_CHANGE);
}

QColor QtColour(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

// What a brush paints, for a widget's palette: its colour, or its pattern as a tile.
QBrush QtBrush(HBRUSH brush) {
  LOGBRUSH kind {};
  if (!GetObjectW(brush, sizeof kind, &kind)) return QBrush();
  if (kind.lbStyle == BS_SOLID) return QtColour(kind.lbColor);
  if (kind.lbStyle == BS_NULL) return QBrush(Qt::NoBrush);
  auto tile = std::make_shared<CImageSurface>(8, 8);
  HDC dc = CreateDCForSurface(tile);
  CRect all(0, 0, 8, 8);
  CDC::FromHandle(dc)->FillRect(&all, CBrush::FromHandle(brush));
  DeleteDC(dc);
  return QBrush(tile->Image());
}

// The parent chooses the colours of the edit (WM_CTLCOLOREDIT, or WM_CTLCOLORSTATIC while it is
// read-only or disabled): the brush it answers fills the background, the text takes the DC's text
// colour, and with a hollow brush the background is the DC's background colour when that mode
// is opaque, else left unpainted. A zero answer keeps the edit's own colours. Answers whether
// the palette changed.
bool AskColours(HWND hwnd, QWidget* edit) {
  WindowRecord* rec = Find(hwnd);
  if (!rec || !rec->parent || rec->destroying) return false;
  HWND parent = rec->parent;
  bool asStatic = (rec->style & ES_READONLY) || !edit->isEnabled();
  HDC hdc = GetDC(hwnd);
  if (!hdc) return false;
  CDC& dc = *CDC::FromHandle(hdc);
  dc.SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
  dc.SetBkColor(GetSysColor(asStatic ? COLOR_BTNFACE : COLOR_WINDOW));
  auto brush = reinterpret_cast<HBRUSH>(SendMessageW(parent, asStatic ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT,
                                                     reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(hwnd)));
  QPalette palette;
  if (brush && IsWindow(hwnd)) {
    QBrush background = QtBrush(brush);
    if (background.style() == Qt::NoBrush && dc.GetBkMode() == OPAQUE) background = QtColour(dc.GetBkColor());
    // A pattern made again is the same pattern (else each paint would change the palette and paint again).
    QBrush current = edit->palette().brush(QPalette::Active, QPalette::Base);
    if (background.style() == Qt::TexturePattern && current.style() == Qt::TexturePattern &&
        background.textureImage() == current.textureImage())
      background = current;
    palette.setBrush(QPalette::Base, background);
    QColor text = QtColour(dc.GetTextColor());
    palette.setColor(QPalette::Active, QPalette::Text, text);
    palette.setColor(QPalette::Inactive, QPalette::Text, text);
  }
  ReleaseDC(hwnd, hdc);
  if ((rec->style & ES_MULTILINE) && !(rec->style & ES_NOHIDESEL)) {
    // Without the focus the selection is drawn in the inactive colours: here those of plain text.
    palette.setBrush(QPalette::Inactive, QPalette::Highlight, palette.brush(QPalette::Inactive, QPalette::Base));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText, palette.color(QPalette::Inactive, QPalette::Text));
  }
  QPalette before = edit->palette();
  edit->setPalette(palette);  // nothing happens when it is the one the edit has
  return edit->palette() != before;
}

// Asks for the colours whenever the edit paints.
class ColourRequest : public QObject {
public:
  ColourRequest(HWND hwnd, QWidget* edit, QWidget* painted) : QObject(edit), m_hwnd(hwnd), m_edit(edit) {
    painted->installEventFilter(this);
  }

protected:
  bool eventFilter(QObject* object, QEvent* e) override {
    if (e->type() != QEvent::Paint || !m_edit || !AskColours(m_hwnd, m_edit)) return false;
    // A widget that fills its own background has done so with the old colours.
    auto* painted = static_cast<QWidget*>(object);
    if (painted->autoFillBackground()) {
      QPainter p(painted);
      p.fillRect(static_cast<QPaintEvent*>(e)->rect(), painted->palette().brush(painted->backgroundRole()));
    }
    return false;
  }

private:
  HWND m_hwnd {};
  QPointer<QWidget> m_edit;
};

// What every edit has, whoever made its widget.
void Equip(HWND hwnd, QWidget* widget, bool inCombo) {
  States()[hwnd] = EditState {0x7FFFFFFE, false, inCombo};
  auto* multi = qobject_cast<QPlainTextEdit*>(widget);
  new ColourRequest(hwnd, widget, multi ? multi->viewport() : widget);
  AdoptControlWidget(hwnd, widget);
}

QWidget* MakeEdit(HWND hwnd, QWidget* host) {
  WindowRecord* rec = Find(hwnd);
  DWORD style = rec->style;
  QString text = ToQt(rec->text);
  QWidget* widget;
  if (style & ES_MULTILINE) {
    auto* edit = new QPlainTextEdit(host);
    edit->setFrameShape(QFrame::NoFrame);
    edit->setPlainText(text);
    edit->setReadOnly(style & ES_READONLY);
    edit->setLineWrapMode((style & (ES_AUTOHSCROLL | WS_HSCROLL)) ? QPlainTextEdit::NoWrap
                                                                   : QPlainTextEdit::WidgetWidth);
    edit->setHorizontalScrollBarPolicy((style & WS_HSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    edit->setVerticalScrollBarPolicy((style & WS_VSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    edit->setTabChangesFocus(true);
    QObject::connect(edit, &QPlainTextEdit::textChanged, [hwnd] { Changed(hwnd); });
    widget = edit;
  } else {
    auto* edit = new QLineEdit(host);
    edit->setFrame(false);
    edit->setText(text);
    edit->setReadOnly(style & ES_READONLY);
    edit->setAlignment(AlignmentOf(style) | Qt::AlignVCenter);
    if (style & ES_PASSWORD) edit->setEchoMode(QLineEdit::Password);
    QObject::connect(edit, &QLineEdit::textChanged, [hwnd] { Changed(hwnd); });
    widget = edit;
  }
  widget->setFocusPolicy(Qt::StrongFocus);
  Equip(hwnd, widget, false);
  return widget;
}

QString TextOf(HWND hwnd) {
  if (auto* line = ControlOf<QLineEdit>(hwnd)) return line->text();
  if (auto* multi = ControlOf<QPlainTextEdit>(hwnd)) {
    QString text = multi->toPlainText();
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));  // lines end as the platform's do
    return text;
  }
  return QString();
}

void SetText(HWND hwnd, const QString& text) {
  if (auto* line = ControlOf<QLineEdit>(hwnd)) {
    line->setText(text.left(States()[hwnd].limit));
  } else if (auto* multi = ControlOf<QPlainTextEdit>(hwnd)) {
    QuietChange quiet(hwnd);  // a multi-line edit does not report text set by the program
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    multi->setPlainText(plain);
  }
  States()[hwnd].modified = false;
}

// Selection in UTF-16 units of the text as WM_GETTEXT gives it.
std::pair<int, int> Selection(HWND hwnd) {
  if (auto* line = ControlOf<QLineEdit>(hwnd)) {
    if (!line->hasSelectedText()) return {line->cursorPosition(), line->cursorPosition()};
    return {line->selectionStart(), line->selectionEnd()};
  }
  if (auto* multi = ControlOf<QPlainTextEdit>(hwnd)) {
    QTextCursor c = multi->textCursor();
    auto units = [multi](int pos) { return pos + multi->document()->findBlock(pos).blockNumber(); };
    return {units(c.selectionStart()), units(c.selectionEnd())};
  }
  return {0, 0};
}

void Select(HWND hwnd, int start, int end) {
  int length = static_cast<int>(TextOf(hwnd).size());
  if (start < 0) {  // -1 removes the selection
    start = end = Selection(hwnd).first;
  }
  if (end < 0 || end > length) end = length;
  start = std::min(start, length);
  if (auto* line = ControlOf<QLineEdit>(hwnd)) {
    line->setSelection(start, end - start);
  } else if (auto* multi = ControlOf<QPlainTextEdit>(hwnd)) {
    QString text = TextOf(hwnd);
    auto position = [&text](int units) { return units - static_cast<int>(text.left(units).count(QLatin1String("\r\n"))); };
    QTextCursor c = multi->textCursor();
    c.setPosition(position(start));
    c.setPosition(position(end), QTextCursor::KeepAnchor);
    multi->setTextCursor(c);
  }
}

// What a typed character becomes, or a null character when the edit refuses it.
QChar Filter(HWND hwnd, QChar ch) {
  DWORD style = StyleOf(hwnd);
  if ((style & ES_NUMBER) && ch.isPrint() && !ch.isDigit()) return QChar();
  if (style & ES_UPPERCASE) return ch.toUpper();
  if (style & ES_LOWERCASE) return ch.toLower();
  return ch;
}

LRESULT EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* line = ControlOf<QLineEdit>(hwnd);
  auto* multi = ControlOf<QPlainTextEdit>(hwnd);
  switch (message) {
  case WM_SETTEXT:
    DefWindowProcW(hwnd, message, wParam, lParam);
    SetText(hwnd, ToQt(reinterpret_cast<LPCWSTR>(lParam)));
    return TRUE;
  case WM_GETTEXT: return CopyOut(TextOf(hwnd), reinterpret_cast<LPWSTR>(lParam), static_cast<int>(wParam));
  case WM_GETTEXTLENGTH: return TextOf(hwnd).size();
  case WM_CHAR: {
    QChar ch = Filter(hwnd, QChar(static_cast<char16_t>(wParam)));
    if (ch.isNull()) {
      MessageBeep(0);
      return 0;
    }
    if (ch.isPrint() && static_cast<int>(TextOf(hwnd).size()) - (Selection(hwnd).second - Selection(hwnd).first) >=
                            States()[hwnd].limit) {
      NotifyParent(hwnd, EN_MAXTEXT);
      return 0;
    }
    return DefControlProc(hwnd, message, ch.unicode(), lParam);
  }
  case WM_GETDLGCODE: {
    UINT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (multi && msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && (StyleOf(hwnd) & ES_WANTRETURN))
      code |= DLGC_WANTALLKEYS;
    // The edit field of a combo box wants the keys its box wants (Enter and Esc close a dropped list).
    if (States()[hwnd].inCombo)
      code |= static_cast<UINT>(SendMessageW(GetParent(hwnd), WM_GETDLGCODE, wParam, lParam)) & DLGC_WANTALLKEYS;
    return code;
  }
  case WM_KEYDOWN:
    // A password is neither copied nor cut: Ctrl+X and Shift+Delete leave it as it is.
    if (line && line->echoMode() != QLineEdit::Normal &&
        ((wParam == 'X' && GetKeyState(VK_CONTROL) < 0) || (wParam == VK_DELETE && GetKeyState(VK_SHIFT) < 0)))
      return 0;
    return DefControlProc(hwnd, message, wParam, lParam);
  case WM_SETFOCUS: NotifyParent(hwnd, EN_SETFOCUS); return 0;
  case WM_KILLFOCUS: NotifyParent(hwnd, EN_KILLFOCUS); return 0;
  case EM_GETSEL: {
    auto [start, end] = Selection(hwnd);
    if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(start);
    if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(end);
    return MAKELRESULT(std::min(start, 0xFFFF), std::min(end, 0xFFFF));
  }
  case EM_SETSEL: Select(hwnd, static_cast<int>(wParam), static_cast<int>(lParam)); return 0;
  case EM_REPLACESEL: {
    QString text = ToQt(reinterpret_cast<LPCWSTR>(lParam));
    if (line) line->insert(text);
    else if (multi) multi->insertPlainText(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    return 0;
  }
  case EM_GETMODIFY: return States()[hwnd].modified;
  case EM_SETMODIFY: States()[hwnd].modified = wParam != 0; return 0;
  case EM_LIMITTEXT: {
    int limit = wParam ? static_cast<int>(std::min<WPARAM>(wParam, 0x7FFFFFFE)) : 0x7FFFFFFE;
    States()[hwnd].limit = limit;
    if (line) line->setMaxLength(std::min(limit, 32767 * 1024));
    return 0;
  }
  case EM_GETLIMITTEXT: return States()[hwnd].limit;
  case EM_SETREADONLY:
    if (line) line->setReadOnly(wParam != 0);
    if (multi) multi->setReadOnly(wParam != 0);
    if (WindowRecord* rec = Find(hwnd)) rec->style = wParam ? rec->style | ES_READONLY : rec->style & ~ES_READONLY;
    return TRUE;
  case EM_SETPASSWORDCHAR:
    if (line) line->setEchoMode(wParam ? QLineEdit::Password : QLineEdit::Normal);
    return 0;
  case EM_GETPASSWORDCHAR: return line && line->echoMode() == QLineEdit::Password ? u'*' : 0;
  case EM_CANUNDO: return line ? line->isUndoAvailable() : multi && multi->document()->isUndoAvailable();
  case EM_UNDO:
    if (line) line->undo();
    if (multi) multi->undo();
    return TRUE;
  case EM_EMPTYUNDOBUFFER:
    if (multi) multi->document()->clearUndoRedoStacks();
    return 0;
  case EM_SCROLLCARET:
    if (multi) multi->ensureCursorVisible();
    return TRUE;
  case EM_GETLINECOUNT: return multi ? multi->document()->blockCount() : 1;
  case EM_LINEINDEX: {
    if (!multi) return 0;
    int lineNo = static_cast<int>(wParam);
    if (lineNo < 0) lineNo = multi->textCursor().blockNumber();
    QTextBlock block = multi->document()->findBlockByNumber(lineNo);
    return block.isValid() ? block.position() + lineNo : -1;
  }
  case EM_LINEFROMCHAR: {
    if (!multi) return 0;
    QString text = TextOf(hwnd);
    int units = static_cast<int>(wParam) < 0 ? Selection(hwnd).first : static_cast<int>(wParam);
    return text.left(units).count(QLatin1String("\r\n"));
  }
  case EM_LINELENGTH: {
    if (line) return line->text().size();
    if (!multi) return 0;
    int units = static_cast<int>(wParam);
    int lineNo = static_cast<int>(TextOf(hwnd).left(std::max(units, 0)).count(QLatin1String("\r\n")));
    return multi->document()->findBlockByNumber(lineNo).text().size();
  }
  case EM_GETLINE: {
    auto* out = reinterpret_cast<LPWSTR>(lParam);
    if (!out) return 0;
    int room = *reinterpret_cast<WORD*>(out);
    QString text = line ? line->text() : multi ? multi->document()->findBlockByNumber(static_cast<int>(wParam)).text() : QString();
    int n = std::min(room, static_cast<int>(text.size()));
    std::copy_n(reinterpret_cast<const char16_t*>(text.utf16()), n, out);  // no terminating null, as documented
    return n;
  }
  case WM_NCDESTROY:
    States().erase(hwnd);
    return DefWindowProcW(hwnd, message, wParam, lParam);
  default: return DefControlProc(hwnd, message, wParam, lParam);
  }
}

}  // namespace

HWND CreateComboEdit(HWND combo, QLineEdit* line) {
  HWND hwnd = CreateWindowOverWidget(WC_EDITW, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, combo, kComboEditId, line);
  if (!hwnd) return nullptr;
  QObject::connect(line, &QLineEdit::textChanged, [hwnd] { Changed(hwnd); });
  Equip(hwnd, line, true);
  return hwnd;
}

void RegisterEditClass() {
  RegisterControl({WC_EDITW, EditProc, MakeEdit, COLOR_WINDOW, IDC_IBEAM});
}

}  // namespace qvui
