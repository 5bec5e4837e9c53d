// The COMBOBOX class over QComboBox: CBS_DROPDOWNLIST is a plain list to choose from,
// CBS_DROPDOWN and CBS_SIMPLE have an edit field, an EDIT child window (ID 1001) over the box's
// line edit, and a CBS_SIMPLE box shows its list under the field at all times. Selection follows
// Win32: nothing is selected until the program or the user selects, deleting the selected item
// leaves none selected, CB_INSERTSTRING never sorts (CB_ADDSTRING does under CBS_SORT), and only
// the user's choices are reported. A drop-down box's window is as high as the closed box; the
// height it is given is the height of the box with its list dropped. A change of style between
// the kinds changes the box, keeping its items and selection.

#include "platform/ui/internal/ControlWidget.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QStylePainter>

#include <map>
#include <utility>

namespace qvui {

namespace {

struct ComboState {
  bool focused {};  // CBN_SETFOCUS sent and no CBN_KILLFOCUS since
  int height {};    // the height last asked for: a simple box's, or a drop-down box's with its list dropped
};

std::map<HWND, ComboState>& States() {
  static std::map<HWND, ComboState> states;
  return states;
}

class ComboBox : public QComboBox {
public:
  ComboBox(HWND hwnd, QWidget* parent) : QComboBox(parent), m_hwnd(hwnd) {}
  void showPopup() override {
    if (m_list) return;  // a simple box's list is always shown
    NotifyParent(m_hwnd, CBN_DROPDOWN);
    QComboBox::showPopup();
    // The list opens just below the box (above it where the screen has no room below), never
    // over the box and the fields under it as some styles place it.
    QWidget* popup = view() ? view()->window() : nullptr;
    if (!popup || popup == window()) return;
    QRect box(mapToGlobal(QPoint(0, 0)), QSize(width(), BoxHeight()));
    QRect list(QPoint(box.left(), box.bottom() + 1), popup->size());
    if (QScreen* shown = screen(); shown && list.bottom() > shown->availableGeometry().bottom())
      list.moveBottom(box.top() - 1);
    popup->setGeometry(list);
  }
  void hidePopup() override {
    if (m_list) return;
    QComboBox::hidePopup();
    NotifyParent(m_hwnd, CBN_CLOSEUP);
  }
  // The height of the closed box, and of a simple box's edit field.
  int BoxHeight() const {
    QStyleOptionComboBox option;
    QComboBox::initStyleOption(&option);
    QSize content(0, std::max(fontMetrics().height(), iconSize().height()));
    return std::max(style()->sizeFromContents(QStyle::CT_ComboBox, &option, content, this).height(),
                    fontMetrics().height() + 8);
  }
  bool IsSimple() const { return m_list; }
  // A simple box: its list fills the window under the edit field; the user's choice there is
  // the box's.
  void SetSimple(bool simple) {
    if (simple == IsSimple()) return;
    update();
    if (!simple) {
      // The list may be handling the click that led here: it goes when control returns.
      m_list->hide();
      m_list->deleteLater();
      m_list = nullptr;
      return;
    }
    m_list = new QListView(this);
    m_list->setModel(model());
    m_list->setModelColumn(modelColumn());
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setUniformItemSizes(true);
    // A click in the list puts the focus into the box (and from there into its edit field).
    m_list->setFocusPolicy(Qt::ClickFocus);
    m_list->setFocusProxy(this);
    connect(this, &QComboBox::currentIndexChanged, m_list, [this](int index) { ShowCurrent(index); });
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, m_list, [this](const QModelIndex& now) {
      if (m_showing || !now.isValid() || now.row() == currentIndex()) return;
      setCurrentIndex(now.row());
      Q_EMIT activated(now.row());
    });
    ShowCurrent(currentIndex());
    PlaceList();
    m_list->show();
  }

protected:
  void initStyleOption(QStyleOptionComboBox* option) const override {
    QComboBox::initStyleOption(option);
    if (!m_list) return;
    option->rect.setHeight(BoxHeight());
    option->subControls &= ~QStyle::SC_ComboBoxArrow;
  }
  void paintEvent(QPaintEvent* e) override {
    if (!m_list) return QComboBox::paintEvent(e);
    // A simple box shows an edit field without a button.
    QStylePainter painter(this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.rect = QRect(0, 0, width(), BoxHeight());
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, this);
    frame.state |= QStyle::State_Sunken;
    painter.drawPrimitive(QStyle::PE_PanelLineEdit, frame);
  }
  void resizeEvent(QResizeEvent* e) override {
    QComboBox::resizeEvent(e);
    PlaceList();
  }

private:
  void PlaceList() {
    if (m_list) m_list->setGeometry(0, BoxHeight(), width(), std::max(0, height() - BoxHeight()));
  }
  void ShowCurrent(int index) {
    if (!m_list) return;
    m_showing = true;
    if (index < 0) m_list->selectionModel()->clear();
    else m_list->setCurrentIndex(model()->index(index, modelColumn()));
    m_showing = false;
  }

  HWND m_hwnd {};
  QListView* m_list {};
  bool m_showing {};  // the list is being set to the box's selection
};

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)); }
DWORD KindOf(DWORD style) { return style & 3; }
bool IsList(HWND hwnd) { return KindOf(StyleOf(hwnd)) == CBS_DROPDOWNLIST; }

// The window of the edit field, unless it is going.
HWND EditOf(HWND hwnd) {
  WindowRecord* rec = Find(hwnd);
  if (!rec) return nullptr;
  for (HWND child : rec->children)
    if (WindowRecord* c = Find(child); c && c->id == kComboEditId && !c->destroying) return child;
  return nullptr;
}

// The edit field of CBS_DROPDOWN and CBS_SIMPLE boxes.
void MakeEditable(HWND hwnd, QComboBox* combo) {
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setCompleter(nullptr);
  combo->lineEdit()->setFrame(false);
  QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, [hwnd] {
    NotifyParent(hwnd, CBN_EDITUPDATE);
    NotifyParent(hwnd, CBN_EDITCHANGE);
  });
}

QWidget* MakeComboBox(HWND hwnd, QWidget* host) {
  auto* combo = new ComboBox(hwnd, host);
  DWORD kind = KindOf(Find(hwnd)->style);
  if (kind != CBS_DROPDOWNLIST) MakeEditable(hwnd, combo);
  combo->setFocusPolicy(Qt::StrongFocus);
  combo->setCurrentIndex(-1);
  combo->SetSimple(kind == CBS_SIMPLE);
  QObject::connect(combo, QOverload<int>::of(&QComboBox::activated), [hwnd] {
    NotifyParent(hwnd, CBN_SELCHANGE);
    NotifyParent(hwnd, CBN_SELENDOK);
  });
  AdoptControlWidget(hwnd, combo);
  return combo;
}

// The box's focus is its own or its edit field's: the parent hears when it comes and goes.
void FocusIn(HWND hwnd) {
  if (std::exchange(States()[hwnd].focused, true)) return;
  NotifyParent(hwnd, CBN_SETFOCUS);
}

void FocusOut(HWND hwnd) {
  if (!std::exchange(States()[hwnd].focused, false)) return;
  NotifyParent(hwnd, CBN_KILLFOCUS);
}

QString ItemText(QComboBox* combo, int index) { return combo->itemText(index); }

int FindItem(QComboBox* combo, int after, const QString& text, bool exact) {
  return FindItemText(combo->count(), after, text, exact, [combo](int i) { return combo->itemText(i); });
}

// Inserts without letting Qt select the first item of an empty box or touch the edit field.
int Insert(HWND hwnd, QComboBox* combo, int index, const QString& text) {
  QuietChange quiet(hwnd);
  int selected = combo->currentIndex();
  QString edit = combo->isEditable() ? combo->lineEdit()->text() : QString();
  combo->insertItem(index, text);
  int now = selected < 0 ? -1 : (index <= selected ? selected + 1 : selected);
  combo->setCurrentIndex(now);
  if (combo->isEditable()) combo->lineEdit()->setText(edit);
  return index;
}

void SelectQuietly(HWND hwnd, QComboBox* combo, int index) {
  QuietChange quiet(hwnd);
  combo->setCurrentIndex(index);
  if (combo->isEditable()) combo->lineEdit()->setText(index >= 0 ? ItemText(combo, index) : QString());
}

// Makes the box the kind its style names, keeping its items and selection; the edit field's
// window comes and goes with the field.
void ApplyKind(HWND hwnd, ComboBox* combo, DWORD style) {
  bool editable = KindOf(style) != CBS_DROPDOWNLIST;
  if (editable != combo->isEditable()) {
    int selected = combo->currentIndex();
    if (editable) {
      MakeEditable(hwnd, combo);
    } else {
      if (HWND edit = EditOf(hwnd)) DestroyWindow(edit);
      combo->setEditable(false);
    }
    SelectQuietly(hwnd, combo, selected);
  }
  if (editable && !EditOf(hwnd)) CreateComboEdit(hwnd, combo->lineEdit());
  combo->SetSimple(KindOf(style) == CBS_SIMPLE);
  AdoptControlWidget(hwnd, combo);
  // A simple box is as high as it was asked to be, a drop-down box as high as the closed box.
  if (WindowRecord* rec = Find(hwnd))
    SetWindowPos(hwnd, nullptr, 0, 0, rec->window.width(), States()[hwnd].height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT ComboProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* combo = ControlOf<ComboBox>(hwnd);
  if (!combo) return DefControlProc(hwnd, message, wParam, lParam);
  int count = combo->count();
  auto index = static_cast<int>(wParam);
  auto text = [lParam] { return ToQt(reinterpret_cast<LPCWSTR>(lParam)); };
  switch (message) {
  case CB_ADDSTRING:
    return Insert(hwnd, combo, (StyleOf(hwnd) & CBS_SORT) ? SortedPosition(count, text(), [combo](int i) { return combo->itemText(i); }) : count, text());
  case CB_INSERTSTRING:
    if (index > count) return CB_ERR;
    return Insert(hwnd, combo, index < 0 ? count : index, text());
  case CB_DELETESTRING: {
    if (index < 0 || index >= count) return CB_ERR;
    QuietChange quiet(hwnd);
    int selected = combo->currentIndex();
    QString edit = combo->isEditable() ? combo->lineEdit()->text() : QString();
    combo->removeItem(index);
    combo->setCurrentIndex(selected == index ? -1 : selected > index ? selected - 1 : selected);
    if (combo->isEditable()) combo->lineEdit()->setText(edit);
    return combo->count();
  }
  case CB_RESETCONTENT: {
    QuietChange quiet(hwnd);
    combo->clear();
    if (combo->isEditable()) combo->lineEdit()->clear();
    return CB_OKAY;
  }
  case CB_GETCOUNT: return count;
  case CB_GETCURSEL: return combo->currentIndex() < 0 ? CB_ERR : combo->currentIndex();
  case CB_SETCURSEL:
    if (index < 0 || index >= count) {
      SelectQuietly(hwnd, combo, -1);
      return CB_ERR;
    }
    SelectQuietly(hwnd, combo, index);
    return index;
  case CB_GETLBTEXT:
    if (index < 0 || index >= count || !lParam) return CB_ERR;
    return CopyOut(ItemText(combo, index), reinterpret_cast<LPWSTR>(lParam), 0x7FFFFFFF);
  case CB_GETLBTEXTLEN: return index < 0 || index >= count ? CB_ERR : ItemText(combo, index).size();
  case CB_FINDSTRING: return FindItem(combo, index, text(), false);
  case CB_FINDSTRINGEXACT: return FindItem(combo, index, text(), true);
  case CB_SELECTSTRING: {
    int found = FindItem(combo, index, text(), false);
    if (found != CB_ERR) SelectQuietly(hwnd, combo, found);
    return found;
  }
  case CB_SETITEMDATA:
    if (index < 0 || index >= count) return CB_ERR;
    combo->setItemData(index, QVariant::fromValue<qlonglong>(static_cast<qlonglong>(lParam)));
    return CB_OKAY;
  case CB_GETITEMDATA:
    if (index < 0 || index >= count) return CB_ERR;
    return static_cast<LRESULT>(combo->itemData(index).toLongLong());
  case CB_LIMITTEXT:
    if (HWND edit = EditOf(hwnd)) SendMessageW(edit, EM_LIMITTEXT, wParam, 0);
    return TRUE;
  case CB_GETEDITSEL: {
    QLineEdit* edit = combo->lineEdit();
    int start = edit && edit->hasSelectedText() ? edit->selectionStart() : edit ? edit->cursorPosition() : 0;
    int end = edit && edit->hasSelectedText() ? edit->selectionEnd() : start;
    if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(start);
    if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(end);
    return MAKELRESULT(start, end);
  }
  case CB_SETEDITSEL: {
    QLineEdit* edit = combo->lineEdit();
    if (!edit) return CB_ERR;
    int start = static_cast<short>(LOWORD(lParam)), end = static_cast<short>(HIWORD(lParam));
    int length = static_cast<int>(edit->text().size());
    if (start < 0) edit->deselect();
    else edit->setSelection(start, (end < 0 || end > length ? length : end) - start);
    return TRUE;
  }
  case CB_SHOWDROPDOWN:
    if (wParam) combo->showPopup();
    else combo->hidePopup();
    return TRUE;
  case CB_GETDROPPEDSTATE: return combo->IsSimple() || (combo->view() && combo->view()->isVisible());
  case CB_GETDROPPEDCONTROLRECT: {
    auto* r = reinterpret_cast<RECT*>(lParam);
    if (!r) return CB_ERR;
    GetWindowRect(hwnd, r);
    return TRUE;
  }
  case WM_SETTEXT:
    DefWindowProcW(hwnd, message, wParam, lParam);
    if (combo->isEditable()) {
      QuietChange quiet(hwnd);
      combo->lineEdit()->setText(text());
      return TRUE;
    }
    // A drop-down list shows only its items: the text selects the item it names.
    if (int found = FindItem(combo, -1, text(), true); found != CB_ERR) {
      SelectQuietly(hwnd, combo, found);
      return TRUE;
    }
    return CB_ERR;
  case WM_GETTEXT:
    return CopyOut(combo->isEditable() ? combo->lineEdit()->text()
                   : combo->currentIndex() >= 0 ? ItemText(combo, combo->currentIndex()) : QString(),
                   reinterpret_cast<LPWSTR>(lParam), static_cast<int>(wParam));
  case WM_GETTEXTLENGTH:
    return combo->isEditable() ? combo->lineEdit()->text().size()
           : combo->currentIndex() >= 0 ? ItemText(combo, combo->currentIndex()).size() : 0;
  case WM_WINDOWPOSCHANGING: {
    // The height asked of a drop-down box is its dropped height; the box itself keeps the height
    // of one line. A simple box takes the height.
    auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
    if (pos && !(pos->flags & SWP_NOSIZE)) {
      States()[hwnd].height = pos->cy;
      if (!combo->IsSimple()) {
        combo->setMaxVisibleItems(std::max(1, pos->cy / std::max(1, combo->fontMetrics().height() + 2)));
        pos->cy = combo->BoxHeight();
      }
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  case WM_STYLECHANGED: {
    auto* change = reinterpret_cast<const STYLESTRUCT*>(lParam);
    if (wParam == static_cast<WPARAM>(GWL_STYLE) && change && KindOf(change->styleOld) != KindOf(change->styleNew))
      ApplyKind(hwnd, combo, change->styleNew);
    return DefControlProc(hwnd, message, wParam, lParam);
  }
  case WM_CREATE: {
    auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowPos(hwnd, nullptr, 0, 0, cs->cx, cs->cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (IsWindow(hwnd) && combo->isEditable()) CreateComboEdit(hwnd, combo->lineEdit());
    return 0;
  }
  // The edit field takes the box's font and is enabled with it.
  case WM_SETFONT:
    DefControlProc(hwnd, message, wParam, lParam);
    if (HWND edit = EditOf(hwnd)) SendMessageW(edit, WM_SETFONT, wParam, lParam);
    return 0;
  case WM_ENABLE:
    if (HWND edit = EditOf(hwnd)) EnableWindow(edit, static_cast<BOOL>(wParam));
    return DefControlProc(hwnd, message, wParam, lParam);
  // The edit field has the focus while the box has it; what it says of its focus is the box's.
  case WM_SETFOCUS:
    if (HWND edit = EditOf(hwnd)) SetFocus(edit);
    else FocusIn(hwnd);
    return 0;
  case WM_KILLFOCUS:
    if (!wParam || reinterpret_cast<HWND>(wParam) != EditOf(hwnd)) FocusOut(hwnd);
    return 0;
  case WM_COMMAND:
    if (lParam && reinterpret_cast<HWND>(lParam) == EditOf(hwnd)) {
      if (HIWORD(wParam) == EN_SETFOCUS) FocusIn(hwnd);
      if (HIWORD(wParam) == EN_KILLFOCUS) FocusOut(hwnd);
    }
    return 0;
  // The colours of the box's parts are its parent's choice.
  case WM_CTLCOLOREDIT:
  case WM_CTLCOLORLISTBOX:
  case WM_CTLCOLORSTATIC: {
    HWND parent = GetParent(hwnd);
    return parent ? SendMessageW(parent, message, wParam, lParam) : 0;
  }
  case WM_NCDESTROY:
    States().erase(hwnd);
    return DefControlProc(hwnd, message, wParam, lParam);
  case WM_GETDLGCODE: {
    UINT code = DLGC_WANTARROWS | DLGC_WANTCHARS | (IsList(hwnd) ? 0 : DLGC_HASSETSEL);
    // While the list is dropped, Enter and Escape close it rather than the dialog.
    if (combo->view() && combo->view()->isVisible()) code |= DLGC_WANTALLKEYS;
    return code;
  }
  default: return DefControlProc(hwnd, message, wParam, lParam);
  }
}

}  // namespace

void RegisterComboBoxClass() {
  RegisterControl({WC_COMBOBOXW, ComboProc, MakeComboBox, COLOR_WINDOW});
}

}  // namespace qvui
