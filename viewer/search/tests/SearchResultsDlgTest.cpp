// The results dialog over the hits of a search: its columns and rows, the widths and the sort it
// takes from the settings and keeps there, which output commands the selection allows, and opening
// a document.

#include "viewer/model/CIBSPlant.h"
#include "viewer/model/CMainSettings.h"
#include "viewer/search/CSearchResultsDlg.h"
#include "viewer/search/tests/SearchTestSupport.h"

#include "framework/dialogs/tests/DialogsTestSupport.h"
#include "platform/ui/afx/CHeaderCtrl.h"
#include "platform/ui/afx/CMenu.h"
#include "platform/ui/tests/DialogTestSupport.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

std::string U8(const CString& text) { return text.ToUtf8(); }

class RecordingHandler : public CSearchResultsHandler {
public:
  void OpenResult(LPCWSTR batchName, LPCWSTR documentNumber) override {
    opened.push_back(U8(batchName) + "/" + U8(documentNumber));
  }
  void RunOutput(int request, CSearchResultsDlg& dialog) override {
    outputs.push_back(std::to_string(request) + ":" + std::to_string(dialog.GetSelectedRows().size()));
  }
  std::vector<std::string> opened;
  std::vector<std::string> outputs;
};

// Once a pop-up menu shows (looking for a second at most), writes down its items and closes it.
void LookAtNextPopup(std::vector<std::string>& offered, int attempts = 50) {
  QTimer::singleShot(20, [&offered, attempts] {
    auto* shown = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!shown) {
      if (attempts > 0) LookAtNextPopup(offered, attempts - 1);
      return;
    }
    for (QAction* action : shown->actions()) {
      if (action->menu()) offered.push_back("pop-up");
      else if (action->data().toUInt()) offered.push_back(std::to_string(action->data().toUInt()) + (action->isEnabled() ? "" : " off"));
    }
    QTest::keyClick(shown, Qt::Key_Escape);
  });
}

class SearchResults : public ::testing::Test {
protected:
  void SetUp() override {
    UseViewerLanguage();
    BatchFiles orders;
    orders.header = Header("Orders", {"Customer", "Amount", "Date"});
    orders.index = "001;1;00000001;B;D;0;0;0;0;0;0;1;0;Zeta;9;05.03.2024\r\n"
                   "001;1;00000002;B;D;0;0;0;0;0;0;1;0;acme;100;17.12.2023\r\n"
                   "001;1;00000003;B;D;0;0;0;0;0;0;1;0;Baker;10;01.01.2025\r\n";
    orders.folders = {"1/00", "2/00", "3/00"};
    orders.Write(m_folder.Path() / "orders");
    WriteTwoBatches(m_folder.Path());
    m_plant.SetOpenMode(CIBSPlant::openFolder, m_folder.Wide());
    ASSERT_TRUE(m_plant.Load());
  }

  void TearDown() override {
    if (m_dialog.GetSafeHwnd()) m_dialog.DestroyWindow();
  }

  // Runs a query over every batch and shows its hits.
  void Show(std::vector<std::pair<LPCWSTR, LPCWSTR>> pairs, LPCWSTR batch = nullptr) {
    m_plant.ClearQuery();
    m_plant.SetDocumentPattern(u"*");
    for (const auto& [name, value] : pairs) m_plant.AddQueryPair(name, value);
    m_plant.SetBatchSelection(batch ? 1 : 0, batch ? batch : u"All");
    int searched = 0, hits = 0;
    m_plant.Search(searched, hits);
    m_dialog.SetPlant(&m_plant);
    m_dialog.SetHandler(&m_handler);
    m_dialog.ApplySettings(m_settings);
    ASSERT_TRUE(m_dialog.ShowResults(nullptr));
  }

  std::vector<std::string> Headers() {
    std::vector<std::string> headers;
    CResultListCtrl& list = m_dialog.GetList();
    for (int column = 0; column < list.GetColumnInfoCount(); ++column) {
      WCHAR text[64] {};
      LVCOLUMNW description {LVCF_TEXT, 0, 0, text, 64, 0};
      list.GetColumn(column, &description);
      headers.push_back(U8(text));
    }
    return headers;
  }

  // The rows as the list shows them: the texts of its columns joined by "|".
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    CResultListCtrl& list = m_dialog.GetList();
    for (int item = 0; item < list.GetItemCount(); ++item) {
      std::string row;
      for (int column = 0; column < list.GetColumnInfoCount(); ++column) row += (column ? "|" : "") + U8(list.GetItemText(item, column));
      rows.push_back(row);
    }
    return rows;
  }

  // A click on a column header, as the header reports it.
  void ClickHeader(int column) {
    CResultListCtrl& list = m_dialog.GetList();
    NMHEADERW click {};
    click.hdr = NMHDR {list.GetHeaderCtrl()->GetSafeHwnd(), 0, HDN_ITEMCLICKW};
    click.iItem = column;
    list.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
  }

  void Select(std::vector<int> items) {
    CResultListCtrl& list = m_dialog.GetList();
    list.SetItemState(-1, 0, LVIS_SELECTED);
    for (int item : items) list.SetItemState(item, LVIS_SELECTED, LVIS_SELECTED);
    list.SetSelectionMark(items.empty() ? -1 : items.front());
  }

  TempFolder m_folder;
  CIBSPlant m_plant;
  CMainSettings m_settings;
  CSearchResultsDlg m_dialog;
  RecordingHandler m_handler;
};

}  // namespace

TEST_F(SearchResults, ListsOneRowPerHitWithTheValuesOfTheQueryFields) {
  // "Customer" with "*" keeps Contracts in the search, which lacks the field: its rows show none.
  Show({{u"Customer", u"*"}, {u"Amount", u"*"}});
  EXPECT_EQ(Headers(), (std::vector<std::string> {"Batch", "Document number", "Customer", "Amount"}));
  EXPECT_EQ(Rows(), (std::vector<std::string> {"Contracts|00020001||", "Contracts|00020002||", "Invoices|00012345|ACME Corp|",
                                               "Invoices|00012346|Baker|", "Invoices|00012347|acme gmbh|",
                                               "Invoices|00012348|Zeta|", "Orders|00000001|Zeta|9",
                                               "Orders|00000002|acme|100", "Orders|00000003|Baker|10"}));
  EXPECT_TRUE(m_dialog.IsShown());

  // The next search replaces columns and rows.
  Show({{u"Customer", u"a*"}}, u"Orders");
  EXPECT_EQ(Headers(), (std::vector<std::string> {"Batch", "Document number", "Customer"}));
  EXPECT_EQ(Rows(), std::vector<std::string> {"Orders|00000002|acme"});
}

TEST_F(SearchResults, WidthsComeFromTheSettingsOnlyWhenEveryColumnHasOne) {
  const struct {
    const char* widthList;
    int save;
    bool withField;
    std::vector<int> widths;
  } cases[] = {
      {"150;60;", 1, true, {100, 100, 100}},
      {"150;60;", 1, false, {150, 60}},
      {"150;60;70", 1, true, {150, 60, 70}},
      {"150;60;70;;;", 1, true, {150, 60, 70}},
      {"150;60;70;", 0, true, {100, 100, 100}},
      {"", 1, false, {100, 100}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.widthList) + (c.withField ? " over three columns" : " over two"));
    m_settings.m_strWidthList = CString::FromUtf8(c.widthList);
    m_settings.m_general.nSaveResults = c.save;
    if (c.withField) Show({{u"Customer", u"*"}});
    else Show({});
    std::vector<int> widths;
    for (int column = 0; column < m_dialog.GetList().GetColumnInfoCount(); ++column) widths.push_back(m_dialog.GetList().GetColumnWidth(column));
    EXPECT_EQ(widths, c.widths);
  }
  // A resized column is written back as "%d;" per column once the header says the resize is over.
  m_settings.m_general.nSaveResults = 1;
  Show({{u"Customer", u"*"}});
  m_dialog.GetList().SetColumnWidth(2, 123);
  NMHEADERW end {};
  end.hdr = NMHDR {m_dialog.GetList().GetHeaderCtrl()->GetSafeHwnd(), 0, HDN_ENDTRACKW};
  m_dialog.GetList().SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&end));
  Pump(20);
  EXPECT_EQ(U8(m_settings.m_strWidthList), "100;100;123;");
}

TEST_F(SearchResults, SortsByTheRememberedColumnAndNumbersByValue) {
  const struct {
    const char* sortItem;
    BOOL ascending;
    std::vector<std::string> numbers;
  } cases[] = {
      {"", FALSE, {"00000001", "00000002", "00000003"}},
      {"__DOCUMENT_HEADER__", FALSE, {"00000003", "00000002", "00000001"}},
      {"Customer", TRUE, {"00000002", "00000003", "00000001"}},
      {"Amount", TRUE, {"00000001", "00000003", "00000002"}},
      {"Date", FALSE, {"00000003", "00000001", "00000002"}},
      {"Not a field of this search", FALSE, {"00000001", "00000002", "00000003"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sortItem);
    m_settings.m_strSortItem = CString::FromUtf8(c.sortItem);
    m_settings.m_bSortAsc = c.ascending;
    Show({{u"Customer", u"*"}, {u"Amount", u"*"}, {u"Date", u"*"}}, u"Orders");
    std::vector<std::string> numbers;
    for (int item = 0; item < m_dialog.GetList().GetItemCount(); ++item) numbers.push_back(U8(m_dialog.GetList().GetItemText(item, 1)));
    EXPECT_EQ(numbers, c.numbers);
  }
}

TEST_F(SearchResults, HeaderClicksSortAscendingThenDescendingAndAreRemembered) {
  Show({{u"Customer", u"*"}}, u"Orders");
  const auto numbers = [this] {
    std::vector<std::string> out;
    for (int item = 0; item < m_dialog.GetList().GetItemCount(); ++item) out.push_back(U8(m_dialog.GetList().GetItemText(item, 1)));
    return out;
  };
  ClickHeader(1);
  EXPECT_EQ(numbers(), (std::vector<std::string> {"00000001", "00000002", "00000003"}));
  EXPECT_EQ(U8(m_settings.m_strSortItem), "__DOCUMENT_HEADER__");
  EXPECT_TRUE(m_settings.m_bSortAsc);
  ClickHeader(1);
  EXPECT_EQ(numbers(), (std::vector<std::string> {"00000003", "00000002", "00000001"}));
  EXPECT_FALSE(m_settings.m_bSortAsc);
  ClickHeader(1);
  EXPECT_TRUE(m_settings.m_bSortAsc) << "a third click sorts ascending again";
  ClickHeader(2);
  EXPECT_EQ(U8(m_settings.m_strSortItem), "Customer");
  EXPECT_EQ(numbers(), (std::vector<std::string> {"00000002", "00000003", "00000001"}));
  ClickHeader(0);
  EXPECT_EQ(U8(m_settings.m_strSortItem), "__BATCHNAME_HEADER__");
}

TEST_F(SearchResults, TheSelectionDecidesWhichOutputsRunAndTheViewOpensTheRow) {
  m_settings.m_general.nAllowMultiSelect = 1;
  Show({{u"Customer", u"*"}}, u"Orders");
  const struct {
    std::vector<int> selected;
    std::vector<bool> enabled;  // 6001 .. 6005
  } cases[] = {
      {{}, {false, false, false, false, false}},
      {{1}, {true, true, true, true, true}},
      {{0, 2}, {false, false, false, true, true}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.selected.size()) + " selected");
    Select(c.selected);
    std::vector<bool> enabled;
    for (UINT id = 6001; id <= 6005; ++id) enabled.push_back(m_dialog.IsOutputEnabled(id));
    EXPECT_EQ(enabled, c.enabled);
    for (int request = 1; request <= 4; ++request) m_dialog.SendMessage(CSearchResultsDlg::WM_OUTPUT_REQUEST, 0, request);
  }
  EXPECT_EQ(m_handler.outputs, (std::vector<std::string> {"1:1", "2:1", "3:1", "4:1", "3:2", "4:2"}));

  Select({2});
  m_dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_EQ(m_handler.opened, std::vector<std::string> {"Orders/00000003"});
  EXPECT_TRUE(m_dialog.IsIconic()) << "the dialog makes way for the document";
}

TEST_F(SearchResults, OneResultOpensAtOnceWhenAskedTo) {
  for (int launch : {0, 1}) {
    SCOPED_TRACE(launch ? "open a single result" : "just list it");
    m_handler.opened.clear();
    m_settings.m_general.nLanchView = launch;
    Show({{u"Customer", u"Baker"}}, u"Orders");
    Pump(30);
    EXPECT_EQ(m_handler.opened, launch ? std::vector<std::string> {"Orders/00000003"} : std::vector<std::string> {});
  }
}

TEST_F(SearchResults, ALongTextIsCutToTheListsBuffer) {
  Show({{u"Name of the contract partner", u"*"}}, u"Contracts");
  // The list asks with a buffer of 5 characters; the text behind it stays untouched.
  WCHAR buffer[8];
  std::fill(std::begin(buffer), std::end(buffer), u'#');
  NMLVDISPINFOW info {};
  info.hdr = NMHDR {m_dialog.GetList().GetSafeHwnd(), CSearchResultsDlg::IDC_LIST, LVN_GETDISPINFOW};
  info.item.mask = LVIF_TEXT;
  info.item.iItem = 0;
  info.item.iSubItem = 0;
  info.item.pszText = buffer;
  info.item.cchTextMax = 5;
  info.item.lParam = reinterpret_cast<LPARAM>(m_dialog.GetList().GetRow(0));
  m_dialog.SendMessage(WM_NOTIFY, CSearchResultsDlg::IDC_LIST, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(std::u16string(buffer, 8), std::u16string(u"Cont\0###", 8));
}

TEST_F(SearchResults, F5HidesTheDialogAndEscapeLeavesItOpen) {
  Show({{u"Customer", u"*"}}, u"Orders");
  m_dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_TRUE(m_dialog.IsShown());
  MSG key {m_dialog.GetList().GetSafeHwnd(), WM_KEYDOWN, VK_F5, 0, 0, {}};
  EXPECT_TRUE(CWnd::WalkPreTranslateTree(nullptr, &key));
  EXPECT_FALSE(m_dialog.IsShown());
  // The next search shows it again.
  Show({{u"Customer", u"*"}}, u"Orders");
  EXPECT_TRUE(m_dialog.IsShown());
}

TEST_F(SearchResults, KeepsItsPlaceInTheSettings) {
  m_settings.m_screenLayout.rcResultsDialog = RECT {40, 50, 640, 450};
  Show({{u"Customer", u"*"}, {u"Amount", u"*"}, {u"Date", u"*"}});
  CRect window;
  m_dialog.GetWindowRect(&window);
  EXPECT_EQ(window.left, 40);
  EXPECT_EQ(window.Width(), 600);
  Select({4});
  Pump(50);
  EXPECT_TRUE(SaveScreenshot(m_dialog.GetSafeHwnd(), "search-results-dialog"));
  m_dialog.MoveWindow(100, 120, 500, 300);
  const CRect stored = m_settings.m_screenLayout.rcResultsDialog;
  m_dialog.GetWindowRect(&window);
  EXPECT_EQ(stored, window);
  EXPECT_EQ(stored.left, 100);
  CRect list, client;
  m_dialog.GetList().GetWindowRect(&list);
  m_dialog.GetClientRect(&client);
  EXPECT_EQ(list.Width(), client.Width());
  EXPECT_EQ(list.Height(), client.Height() - GetSystemMetrics(SM_CYVSCROLL)) << "a strip for the size grip";
}

TEST_F(SearchResults, TheOutputMenuFollowsTheSelectionAndStaysTheOwners) {
  CMenu bar, output, print;
  ASSERT_TRUE(bar.CreateMenu() && output.CreatePopupMenu() && print.CreatePopupMenu());
  for (UINT id : {6001u, 6002u, 6003u}) output.AppendMenu(MF_STRING, id, u"command");
  for (UINT id : {6004u, 6005u}) print.AppendMenu(MF_STRING, id, u"print");
  output.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(print.Detach()), u"Print");
  bar.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(output.Detach()), u"Output");
  m_settings.m_general.nAllowMultiSelect = 1;
  m_dialog.SetOutputMenu(&bar);
  Show({{u"Customer", u"*"}}, u"Orders");
  EXPECT_EQ(m_dialog.GetMenu() ? m_dialog.GetMenu()->GetSafeHmenu() : nullptr, bar.GetSafeHmenu());

  CMenu* popup = bar.GetSubMenu(0);
  ASSERT_NE(popup, nullptr);
  const auto grayed = [&] {
    m_dialog.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup->GetSafeHmenu()), 0);
    std::vector<bool> out;
    for (UINT id = 6001; id <= 6005; ++id) out.push_back((bar.GetMenuState(id, MF_BYCOMMAND) & MF_GRAYED) != 0);
    return out;
  };
  Select({0, 1});
  EXPECT_EQ(grayed(), (std::vector<bool> {true, true, true, false, false}));
  Select({1});
  EXPECT_EQ(grayed(), (std::vector<bool> {false, false, false, false, false}));
  // A command of the menu runs its request.
  m_dialog.SendMessage(WM_COMMAND, MAKEWPARAM(6005, 0), 0);
  EXPECT_EQ(m_handler.outputs, std::vector<std::string> {"4:1"});

  // Shift+F10 in the list shows the pop-up without the mouse, brought up to date for the selection.
  Select({0, 2});
  m_dialog.GetList().SetFocus();
  std::vector<std::string> offered;
  LookAtNextPopup(offered);
  {
    PreTranslatingLoop loop;
    PressKey(Qt::Key_F10, Qt::ShiftModifier);
    Pump(50);
  }
  EXPECT_EQ(offered, (std::vector<std::string> {"6001 off", "6002 off", "6003 off", "pop-up"}));

  m_dialog.DestroyWindow();
  EXPECT_EQ(bar.GetMenuItemCount(), 1u) << "the menu outlives the dialog's window";
}
