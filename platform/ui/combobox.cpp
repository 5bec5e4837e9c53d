// The COMBOBOX class over QComboBox: CBS_DROPDOWNLIST is a plain list to choose from,
// CBS_DROPDOWN and CBS_SIMPLE have an edit field. Selection follows Win32: nothing is selected
// until the program or the user selects, deleting the selected item leaves none selected,
// CB_INSERTSTRING never sorts (CB_ADDSTRING does under CBS_SORT), and only the user's choices
// are reported. The window is as high as the closed box; the height it is given is the height of
// the box with its list dropped. A change of style between a list and a box with an edit field
// changes the box, keeping its items and selection.

#include "platform/ui/ControlWidget.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>

namespace qvui {

namespace {

class ComboBox : public QComboBox {
public:
  ComboBox(HWND hwnd, QWidget* parent) : QComboBox(parent), m_hwnd(hwnd) {}
  void showPopup() override {
    NotifyParent(m_hwnd, CBN_DROPDOWN);
    QComboBox::showPopup();
  }
  void hidePopup() override {
    QComboBox::hidePopup();
    NotifyParent(m_hwnd, CBN_CLOSEUP);
  }

private:
  HWND m_hwnd {};
};

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)); }
bool IsList(HWND hwnd) { return (StyleOf(hwnd) & 3) == CBS_DROPDOWNLIST; }

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
  DWORD style = Find(hwnd)->style;
  if ((style & 3) != CBS_DROPDOWNLIST) MakeEditable(hwnd, combo);
  combo->setFocusPolicy(Qt::StrongFocus);
  combo->setCurrentIndex(-1);
  QObject::connect(combo, QOverload<int>::of(&QComboBox::activated), [hwnd] {
    NotifyParent(hwnd, CBN_SELCHANGE);
    NotifyParent(hwnd, CBN_SELENDOK);
  });
  AdoptControlWidget(hwnd, combo);
  return combo;
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

LRESULT ComboProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* combo = ControlOf<QComboBox>(hwnd);
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
    if (combo->isEditable()) combo->lineEdit()->setMaxLength(wParam ? static_cast<int>(std::min<WPARAM>(wParam, 32767)) : 32767);
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
  case CB_GETDROPPEDSTATE: return combo->view() && combo->view()->isVisible();
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
    // The height asked for is the dropped height; the box itself keeps the height of one line.
    auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
    if (pos && !(pos->flags & SWP_NOSIZE)) {
      combo->setMaxVisibleItems(std::max(1, pos->cy / std::max(1, combo->fontMetrics().height() + 2)));
      pos->cy = std::max(combo->sizeHint().height(), combo->fontMetrics().height() + 8);
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  case WM_STYLECHANGED: {
    auto* change = reinterpret_cast<const STYLESTRUCT*>(lParam);
    bool wasList = change && (change->styleOld & 3) == CBS_DROPDOWNLIST;
    bool isList = change && (change->styleNew & 3) == CBS_DROPDOWNLIST;
    if (wParam == static_cast<WPARAM>(GWL_STYLE) && wasList != isList) {
      int selected = combo->currentIndex();
      if (isList) combo->setEditable(false);
      else MakeEditable(hwnd, combo);
      SelectQuietly(hwnd, combo, selected);
      AdoptControlWidget(hwnd, combo);
    }
    return DefControlProc(hwnd, message, wParam, lParam);
  }
  case WM_CREATE: {
    auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowPos(hwnd, nullptr, 0, 0, cs->cx, cs->cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
  }
  case WM_SETFOCUS: NotifyParent(hwnd, CBN_SETFOCUS); return 0;
  case WM_KILLFOCUS: NotifyParent(hwnd, CBN_KILLFOCUS); return 0;
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
