#pragma once
// The store of published batches: the batches opened at one location, the query of a search, its
// results and the document the browser shows. It is a member of the main document; the search
// dialogs fill its query, the results dialog and the browser read it.

#include "foundation/util/CDPXObList.h"
#include "foundation/util/CDPXStringList.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "viewer/model/CIBSDocument.h"
#include "viewer/model/CIBSWindowLink.h"

class CIBSBatch;
class CIBSBrowserLink;

class CIBSPlant : public CObject {
  DECLARE_DYNCREATE(CIBSPlant)
public:
  // Where the batches are: a profile naming one batch's root and index files, one root, a folder
  // whose sub-folders are roots, or a list of roots separated by ";".
  enum { openProfile = 0, openRoot = 1, openFolder = 2, openRootList = 3 };
  enum { stateClosed = -1, stateOpened = 0, stateSearched = 2, stateShown = 3 };

  ~CIBSPlant() override;

  BOOL SetOpenMode(int mode, LPCWSTR location);
  // Opens the batches at the location by the open mode and reads their headers; FALSE when there
  // is none. Query and results start empty.
  BOOL Load();
  // Shows no document any more and forgets batches, query and results.
  void Close();
  // A batch at `root`; the index files default to their places under the root.
  CIBSBatch* AddBatch(LPCWSTR root, LPCWSTR indexPath = nullptr, LPCWSTR headerPath = nullptr);
  // TRUE when the root holds the whole layout of a published batch.
  static BOOL IsValidRoot(LPCWSTR root);

  // Display names identify batches in the dialogs, the results and the title. Among batches whose
  // header was read they are unique: a name that repeats gets " (2)", " (3)" ... appended.
  int GetBatchDisplayNames(CDPXStringList& names) const;
  BOOL GetBatchDisplayName(const CIBSBatch* batch, CString& name) const;
  CIBSBatch* FindBatch(LPCWSTR displayName) const;
  // Field names of no batch (selection below 0), of all batches, each once (0), or of the batch
  // of that display name (above 0); answers their count.
  int GetFieldNames(int selection, LPCWSTR displayName, CDPXStringList& names) const;
  int GetBatchCount() const { return m_batches.GetCount(); }
  CIBSBatch* GetBatch(int index) const;

  // The query.
  void SetDocumentPattern(LPCWSTR pattern) { m_strDocumentPattern = pattern; }
  CString GetDocumentPattern() const { return m_strDocumentPattern; }
  BOOL AddQueryPair(LPCWSTR name, LPCWSTR value);
  void ClearQuery();
  POSITION GetFirstQueryNamePosition() const { return m_queryNames.GetHeadPosition(); }
  BOOL GetNextQueryName(POSITION& pos, CString& name) const { return m_queryNames.GetNext(pos, name); }
  // Below 0 no batch, 0 all batches, above 0 the batch of that display name.
  void SetBatchSelection(int mode, LPCWSTR displayName);

  // Runs the query over the selected batches, reading each qualifying index afresh.
  void Search(int& batchesSearched, int& hits);
  // Adds the hits of the batch (null: of every batch) to the results; a batch read again first
  // loses the results of its last read.
  void SearchBatches(int& batchesSearched, int& hits, CIBSBatch* batch);
  // TRUE when the batch has every field the query names, but for those asked with "*" only.
  BOOL BatchHasQueryFields(const CIBSBatch* batch) const;

  // The results, batch by batch in store order and within a batch in line order.
  int GetResultCount() const { return static_cast<int>(m_results.size()); }
  CIBSDocument* GetResult(int index) const;
  int GetResultBatchDisplayNames(CDPXStringList& names) const;
  // The result document of that batch and number. Its image folder must exist, else the error
  // box says so and the answer is none.
  CIBSDocument* CheckDocumentFolder(LPCWSTR displayName, LPCWSTR documentNumber);
  BOOL IsResultDocument(LPCWSTR displayName, LPCWSTR documentNumber);
  BOOL GetDocumentFieldValues(const CIBSDocument* document, CDPXStringList& names, CDPXStringList& values) const;

  // The current document: the result the browser shows.
  BOOL OpenDocument(LPCWSTR displayName, LPCWSTR documentNumber);
  BOOL NextDocument();
  BOOL PreviousDocument();
  void SetCurrentDocument(CIBSDocument* document);
  CIBSDocument* GetCurrentDocument() const;
  CIBSBatch* GetCurrentBatch() const;
  BOOL GetCurrentDocumentNumber(CString& number) const;
  BOOL GetCurrentBatchDisplayName(CString& name) const;

  // The windows the store talks to; neither is owned. Without them nothing is shown.
  void SetBrowser(CIBSBrowserLink* browser) { m_pBrowser = browser; }
  CIBSBrowserLink* GetBrowser() const { return m_pBrowser; }
  void SetWindowLink(CIBSWindowLink* windows) { m_pWindows = windows; }
  CIBSWindowLink* GetWindowLink() const { return m_pWindows; }

  int GetState() const { return m_nState; }
  int GetOpenMode() const { return m_nOpenMode; }
  CString GetLocation() const { return m_strLocation; }

private:
  // Forgets batches, query, results and the current position.
  void Empty();
  // Takes the documents of the batch out of the results before its index is read again.
  void DropResultsOf(const CIBSBatch* batch);
  BOOL OpenProfile();
  BOOL OpenFolderOfRoots();
  BOOL OpenRootList();
  BOOL MoveTo(int index);
  int IndexOfResult(const CIBSDocument* document) const;
  // The index among the results of the document numbered so in the batch of that display name
  // (-1 when there is none); the result at an index when its image folder exists, else null after
  // saying so; the result at its known index shown in the browser.
  int FindResult(LPCWSTR displayName, LPCWSTR documentNumber) const;
  CIBSDocument* CheckFolderOf(int index);
  void ShowResult(CIBSDocument* document, int index);
  CString BaseDisplayName(const CIBSBatch* batch) const;
  void InfoNoImageFiles(const CIBSDocument* document);

  CDPXObList m_batches;
  CString m_strDocumentPattern;
  CDPXStringList m_queryNames;
  CDPXStringList m_queryValues;
  int m_nOpenMode { openProfile };
  CString m_strLocation;
  CString m_strBatchSelection;
  int m_nBatchSelection { 0 };
  int m_nState { stateClosed };
  CIBSBrowserLink* m_pBrowser { nullptr };
  CIBSWindowLink* m_pWindows { nullptr };
  CIBSDocumentList m_results;
  // Where each searched batch's results lie among them: together, in the order of its index.
  struct ResultRun {
    const CIBSBatch* batch;
    size_t begin;
    size_t end;
  };
  std::vector<ResultRun> m_resultRuns;
  int m_nCurrent { -1 };
};
