#pragma once
// One published batch: a root folder with "DOC_CD/Database/indexhdr.dat" (the batch name and the
// names of its index fields), "DOC_CD/Database/index.dat" (one line per document) and the image
// folders under "DOC_CD/DATA". The index is read afresh for every search.
//
// Reading the index only finds where its lines start; a line becomes a document when it is asked
// for, or when a search cannot tell from the line's text alone that it does not match. A search
// over a million lines thus builds the documents of its hits and few more.

#include "foundation/util/CDPXStringList.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "viewer/model/CIBSDocument.h"
#include "viewer/model/CIBSIndexLine.h"
#include "viewer/model/CIBSIndexText.h"

#include <memory>
#include <unordered_map>
#include <vector>

class CIBSBatch : public CObject {
  DECLARE_DYNCREATE(CIBSBatch)
public:
  enum { kHeaderLines = 5 };

  CIBSBatch();
  ~CIBSBatch() override;

  // The root with its trailing separator, and the paths of the two index files.
  void SetPaths(LPCWSTR root, LPCWSTR indexPath, LPCWSTR headerPath);
  CString GetRoot() const { return m_strRoot; }
  CString GetIndexPath() const { return m_strIndexPath; }
  CString GetHeaderPath() const { return m_strHeaderPath; }

  // Empties documents and field names, then reads the header. FALSE when a line is missing, the
  // field count is not a number of 0 or more, or the names that follow are not that many.
  BOOL ReadIndexHeader();
  // Empties the documents, then reads the index: every line is a document, valid or not.
  // FALSE when the file cannot be read.
  BOOL ReadIndex();
  // Appends the valid documents that match the query to `results` and marks them as hits;
  // answers how many. Nothing unless both the header and the index have been read.
  int Search(LPCWSTR numberPattern, const CDPXStringList& names, const CDPXStringList& values,
             CIBSDocumentList& results);

  // Header line 1 to 5; the batch name is line 2. Both answer the header-read flag.
  BOOL GetHeaderLine(int line, CString& text) const;
  BOOL GetBatchName(CString& name) const { return GetHeaderLine(2, name); }
  BOOL IsHeaderRead() const { return m_bHeaderRead; }
  BOOL IsIndexRead() const { return m_bIndexRead; }
  void SetIndexRead(BOOL read) { m_bIndexRead = read; }

  int GetFieldCount() const { return m_fieldNames.GetCount(); }
  BOOL GetFieldName(int index, CString& name) const { return m_fieldNames.GetAtIndex(index, name); }
  POSITION GetFirstFieldNamePosition() const { return m_fieldNames.GetHeadPosition(); }
  BOOL GetNextFieldName(POSITION& pos, CString& name) const { return m_fieldNames.GetNext(pos, name); }
  // Empties the list and fills it with the field names in field order; answers their count.
  int GetFieldNames(CDPXStringList& names) const;
  // The index of the field of exactly that name, -1 when there is none.
  int FindField(LPCWSTR name) const;

  int GetDocumentCount() const { return static_cast<int>(m_text.GetLineCount()); }
  CIBSDocument* GetDocument(int index);

  // The image folder of a document number: "DOC_CD/DATA/" + its last character + "/" + its two
  // characters at offset 5. Empty when the number cannot name a folder inside the batch.
  CString GetImageFolder(std::u16string_view number) const;
  // Whether that folder exists (names found without regard to case; wildcards are plain characters).
  BOOL ImageFolderExists(std::u16string_view number) const;

private:
  friend class CIBSDocument;
  class FolderCache;

  void EmptyDocuments();
  // The document of line `index` as read last, built when it was not.
  CIBSDocument& DocumentOfLine(size_t index);

  CString m_strRoot;
  CString m_strIndexPath;
  CString m_strHeaderPath;
  CString m_strHeader[kHeaderLines];
  CDPXStringList m_fieldNames;
  // The index as read.
  CIBSIndexText m_text;
  // The documents built from the lines, by line. A document stays from one read to the next (for
  // whoever still holds it) and is built again when its line is asked for after a new read.
  std::unordered_map<size_t, std::unique_ptr<CIBSDocument>> m_documents;
  uint32_t m_nRead { 0 };
  // The places of the built documents' values in the text, and the image folders looked at
  // during the last read.
  std::vector<CIBSIndexLine::Span> m_values;
  std::unique_ptr<FolderCache> m_pFolders;
  CIBSIndexLine m_parser;
  BOOL m_bHeaderRead { FALSE };
  BOOL m_bIndexRead { FALSE };
};
