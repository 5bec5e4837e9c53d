// The new-search dialog over two batches: which batch it offers and chooses, the rows of the index
// fields, the values kept while the choice changes, and the query that OK puts into the store.

#include "viewer/model/CIBSPlant.h"
#include "viewer/model/CMainSettings.h"
#include "viewer/search/CNewSearchDialog.h"
#include "viewer/search/tests/SearchTestSupport.h"

#include "framework/dialogs/tests/DialogsTestSupport.h"
#include "platform/ui/afx/CComboBox.h"
#include "platform/ui/tests/DialogTestSupport.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <gtest/gtest.h>

namespace {

std::string U8(const CString& text) { return text.ToUtf8(); }

std::vector<std::string> ComboItems(CDialog& dialog) {
  auto* combo = static_cast<CComboBox*>(dialog.GetDlgItem(CNewSearchDialog::IDC_BATCHNAME));
  std::vector<std::string> items;
  CString text;
  for (int i = 0; i < combo->GetCount(); ++i) {
    combo->GetLBText(i, text);
    items.push_back(U8(text));
  }
  return items;
}

std::string Chosen(CDialog& dialog) {
  auto* combo = static_cast<CComboBox*>(dialog.GetDlgItem(CNewSearchDialog::IDC_BATCHNAME));
  CString text;
  if (combo->GetCurSel() >= 0) combo->GetLBText(combo->GetCurSel(), text);
  return U8(text);
}

// Chooses the batch as the user does: the selection changes and the dialog hears of it.
void Choose(CDialog& dialog, const char* batch) {
  auto* combo = static_cast<CComboBox*>(dialog.GetDlgItem(CNewSearchDialog::IDC_BATCHNAME));
  const auto items = ComboItems(dialog);
  const auto found = std::find(items.begin(), items.end(), batch);
  ASSERT_NE(found, items.end()) << batch;
  combo->SetCurSel(static_cast<int>(found - items.begin()));
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(CNewSearchDialog::IDC_BATCHNAME, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo->GetSafeHwnd()));
}

// The labels of the rows, in order.
std::vector<std::string> RowLabels(CNewSearchDialog& dialog) {
  std::vector<std::string> labels;
  CIndexDlg& rows = dialog.GetIndexDlg();
  for (int i = 0; i < rows.GetRowCount(); ++i) labels.push_back(U8(ItemText(rows, CIndexDlg::kFirstRowId + 2 * i)));
  return labels;
}

class NewSearchDialog : public ::testing::Test {
protected:
  void SetUp() override {
    UseViewerLanguage();
    WriteTwoBatches(m_folder.Path());
    m_plant.SetOpenMode(CIBSPlant::openFolder, m_folder.Wide());
  }

  // Hits of the store's query as "number" in result order.
  std::vector<std::string> Hits() {
    int searched = 0, hits = 0;
    m_plant.Search(searched, hits);
    std::vector<std::string> numbers;
    CString number;
    for (int i = 0; i < m_plant.GetResultCount(); ++i) {
      m_plant.GetResult(i)->GetDocumentNumber(number);
      numbers.push_back(U8(number));
    }
    return numbers;
  }

  TempFolder m_folder;
  CIBSPlant m_plant;
};

}  // namespace

TEST_F(NewSearchDialog, OffersEveryBatchAndChoosesTheRememberedOne) {
  const struct {
    const char* what;
    const char* batchName;
    BOOL allBatches;
    BOOL switchMode;
    bool onlyInvoices;
    const char* chosen;
  } cases[] = {
      {"all batches remembered", "Contracts", TRUE, FALSE, false, "All batches"},
      {"a batch remembered", "Contracts", FALSE, FALSE, false, "Contracts"},
      {"a batch that is gone", "Receipts", FALSE, FALSE, false, "All batches"},
      {"a name differing in case", "contracts", FALSE, FALSE, false, "All batches"},
      {"the switch with one batch", "", TRUE, TRUE, true, "Invoices"},
      {"the switch with two batches", "", TRUE, TRUE, false, "All batches"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.onlyInvoices) m_plant.SetOpenMode(CIBSPlant::openRoot, m_folder.Wide("invoices"));
    CNewSearchDialog dialog(&m_plant);
    dialog.SetLastValues({}, CString::FromUtf8(c.batchName), c.allBatches);
    dialog.SetSwitchMode(c.switchMode);
    std::vector<std::string> items;
    std::string chosen;
    RunModal(dialog, [&](CDialog& d) {
      items = ComboItems(d);
      chosen = Chosen(d);
      d.EndDialog(IDCANCEL);
    });
    std::sort(items.begin() + 1, items.end());
    const std::vector<std::string> offered = c.onlyInvoices ? std::vector<std::string> {"All batches", "invoices [Invoices]"}
                                                            : std::vector<std::string> {"All batches", "Contracts", "Invoices"};
    EXPECT_EQ(items, offered);
    EXPECT_EQ(chosen, c.onlyInvoices ? "invoices [Invoices]" : c.chosen);
    m_plant.SetOpenMode(CIBSPlant::openFolder, m_folder.Wide());
  }
}

TEST_F(NewSearchDialog, TwelveFieldsShowTenRowsThatScrollAndLongNamesAreCut) {
  CNewSearchDialog dialog(&m_plant);
  dialog.SetLastValues({}, u"Contracts", FALSE);
  std::vector<std::string> labels;
  CRect place, documentLabel, documentEdit, firstEdit, cancel, client;
  int rangeMax = -1, page = -1, before = 0, after = 0, afterKey = 0, afterWheel = 0;
  RunModal(dialog, [&](CDialog& d) {
    labels = RowLabels(dialog);
    dialog.GetIndexDlg().SetDlgItemText(CIndexDlg::kFirstRowId + 1, u"a*");
    Pump(300);
    EXPECT_TRUE(SaveScreenshot(d.GetSafeHwnd(), "new-search-dialog"));
    place = ItemRect(d, CNewSearchDialog::IDC_SPACEHOLDER);
    documentLabel = ItemRect(d, CNewSearchDialog::IDC_INFO_DOCNUMBER);
    documentEdit = ItemRect(d, CNewSearchDialog::IDC_DOCNUMBER);
    cancel = ItemRect(d, IDCANCEL);
    d.GetClientRect(&client);
    CIndexDlg& rows = dialog.GetIndexDlg();
    firstEdit = ItemRect(rows, CIndexDlg::kFirstRowId + 1);
    SCROLLINFO info {sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    rows.GetScrollInfo(SB_VERT, &info);
    rangeMax = info.nMax;
    page = static_cast<int>(info.nPage);
    before = ItemRect(rows, CIndexDlg::kFirstRowId + 23).top;
    rows.SendMessage(WM_VSCROLL, SB_LINEDOWN);
    after = ItemRect(rows, CIndexDlg::kFirstRowId + 23).top;
    // Down in a row's edit scrolls another line.
    {
      PreTranslatingLoop loop;
      rows.GetDlgItem(CIndexDlg::kFirstRowId + 1)->SetFocus();
      PressKey(Qt::Key_Down);
      Pump(20);
    }
    afterKey = ItemRect(rows, CIndexDlg::kFirstRowId + 23).top;
    // The wheel turned towards the user scrolls back up, here all the way to the first row.
    for (int notch = 0; notch < 4; ++notch) rows.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    afterWheel = ItemRect(rows, CIndexDlg::kFirstRowId + 23).top;
    d.EndDialog(IDCANCEL);
  });
  std::vector<std::string> expected;
  for (const std::string& field : ContractFields()) expected.push_back((field + ":").substr(0, 20));
  EXPECT_EQ(labels, expected);
  EXPECT_EQ(labels[3], "Name of the contract") << "25 and more characters are cut without the colon";
  EXPECT_EQ(labels[0], "Field 01:");
  // Ten rows high, the rows themselves twelve high: the rest scrolls.
  const int rowPitch = (place.Height()) / 10;
  EXPECT_GT(rowPitch, documentLabel.Height() - 1);
  EXPECT_EQ(place.Height() % 10, 0);
  EXPECT_EQ(rangeMax, rowPitch * 12 - 1);
  EXPECT_EQ(page, place.Height());
  EXPECT_EQ(firstEdit.Width(), documentEdit.Width());
  EXPECT_EQ(firstEdit.left, documentEdit.left - documentLabel.left) << "the rows line up with the document number";
  const int most = rowPitch * 12 - page;
  EXPECT_EQ(before - after, std::min<int>(CIndexDlg::kLineStep, most));
  EXPECT_EQ(after - afterKey, std::min<int>(CIndexDlg::kLineStep, most - (before - after)));
  EXPECT_GT(after - afterKey + before - after, 0);
  EXPECT_EQ(afterWheel, before);
  EXPECT_GT(cancel.top, place.bottom) << "the buttons stand below the rows";
  EXPECT_GE(client.bottom, cancel.bottom);
}

TEST_F(NewSearchDialog, TypedValuesComeBackWhenTheBatchIsChosenAgain) {
  CNewSearchDialog dialog(&m_plant);
  dialog.SetLastValues({{u"City", u"Oslo"}}, u"Invoices", FALSE);
  std::string customerBack, cityBack, documentBack;
  std::vector<std::string> contractLabels;
  RunModal(dialog, [&](CDialog& d) {
    CIndexDlg& rows = dialog.GetIndexDlg();
    ASSERT_EQ(RowLabels(dialog), (std::vector<std::string> {"Customer:", "City:"}));
    EXPECT_EQ(U8(ItemText(rows, CIndexDlg::kFirstRowId + 3)), "Oslo") << "the last values fill the rows";
    rows.SetDlgItemText(CIndexDlg::kFirstRowId + 1, u"acme*");
    d.SetDlgItemText(CNewSearchDialog::IDC_DOCNUMBER, u"0001234?");
    Choose(d, "Contracts");
    contractLabels = RowLabels(dialog);
    Choose(d, "Invoices");
    customerBack = U8(ItemText(rows, CIndexDlg::kFirstRowId + 1));
    cityBack = U8(ItemText(rows, CIndexDlg::kFirstRowId + 3));
    documentBack = U8(ItemText(d, CNewSearchDialog::IDC_DOCNUMBER));
    d.EndDialog(IDCANCEL);
  });
  EXPECT_EQ(contractLabels.size(), 12u);
  EXPECT_EQ(customerBack, "acme*");
  EXPECT_EQ(cityBack, "Oslo");
  EXPECT_EQ(documentBack, "0001234?");
}

TEST_F(NewSearchDialog, OKPutsTheQueryIntoTheStoreWithEmptyEntriesAsStars) {
  const struct {
    const char* what;
    const char* batch;
    const char* document;
    const char* customer;
    std::vector<std::string> hits;
    bool allBatches;
  } cases[] = {
      {"nothing typed, all batches", "All batches", "", "", {"00012345", "00012346", "00012347", "00012348", "00020001", "00020002"}, true},
      {"a customer pattern over all batches", "All batches", "", "acme*", {"00012345", "00012347"}, true},
      {"a document pattern in one batch", "Invoices", "0001234?", "", {"00012345", "00012346", "00012347", "00012348"}, false},
      {"both", "Invoices", "*7", "a?me*", {"00012347"}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CNewSearchDialog dialog(&m_plant);
    const INT_PTR result = RunModal(dialog, [&](CDialog& d) {
      Choose(d, c.batch);
      // The first row is the customer (in all batches the union keeps the first batch's order).
      CIndexDlg& rows = dialog.GetIndexDlg();
      for (int i = 0; i < rows.GetRowCount(); ++i)
        if (U8(ItemText(rows, CIndexDlg::kFirstRowId + 2 * i)) == "Customer:")
          rows.SetDlgItemText(CIndexDlg::kFirstRowId + 2 * i + 1, CString::FromUtf8(c.customer));
      d.SetDlgItemText(CNewSearchDialog::IDC_DOCNUMBER, CString::FromUtf8(c.document));
      d.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    EXPECT_EQ(result, IDOK);
    std::vector<std::string> hits = Hits();
    std::sort(hits.begin(), hits.end());
    EXPECT_EQ(hits, c.hits);
    EXPECT_EQ(U8(m_plant.GetDocumentPattern()), *c.document ? c.document : "*");
    CSearchPairs last;
    CString batchName;
    BOOL allBatches = -1;
    dialog.GetLastValues(last, batchName, allBatches);
    EXPECT_EQ(allBatches != FALSE, c.allBatches);
    EXPECT_EQ(U8(batchName), c.allBatches ? "" : c.batch);
    const auto document = std::find_if(last.begin(), last.end(), [](const auto& p) { return p.first == CMainSettings::kDocumentKey; });
    ASSERT_NE(document, last.end());
    EXPECT_EQ(U8(document->second), c.document) << "the last values keep what was typed, not the star";
  }
}

TEST_F(NewSearchDialog, WithoutBatchesOKSearchesNothing) {
  m_plant.SetOpenMode(CIBSPlant::openFolder, m_folder.Wide("nothing here"));
  CNewSearchDialog dialog(&m_plant);
  std::vector<std::string> items;
  bool rowsShown = true;
  const INT_PTR result = RunModal(dialog, [&](CDialog& d) {
    items = ComboItems(d);
    rowsShown = dialog.GetIndexDlg().IsWindowVisible();
    d.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(items, std::vector<std::string> {"No batches found"});
  EXPECT_FALSE(rowsShown);
  EXPECT_TRUE(Hits().empty());
}
