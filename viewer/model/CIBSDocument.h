#pragma once
// One document of a published batch: one line of its "index.dat". A line that breaks the rules of
// the index stays in its batch as an invalid document, so that nothing of the file is lost from
// view; only valid documents take part in searches.
//
// The document keeps no text of its own: its values are places in the batch's copy of the index
// text, so that a batch of a million lines costs little more memory than its file.

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CDPXStringList;
class CIBSBatch;
class CIBSIndexLine;

class CIBSDocument : public CObject {
  DECLARE_DYNCREATE(CIBSDocument)
public:
  enum { kNumberLength = 8 };

  // Reads one line of the batch's index for `fieldCount` index fields; TRUE when the line stands
  // for a document. Without a batch no line is valid (its image folder cannot exist).
  BOOL FromLine(LPCWSTR line, int fieldCount, CIBSBatch* batch);

  CIBSBatch* GetBatch() const { return m_pBatch; }
  BOOL IsValid() const { return m_bValid; }
  // The eight characters of the document number; answers the valid flag.
  BOOL GetDocumentNumber(CString& number) const;
  int GetPageCount() const { return m_nPageCount; }
  // Where the document's line starts in its batch's index file.
  uint64_t GetLineOffset() const { return m_nLineOffset; }
  // The folder that holds the document's image files, without a trailing separator.
  BOOL GetImageFolder(CString& folder) const;
  BOOL IsHit() const { return m_bHit; }
  void SetHit(BOOL hit) { m_bHit = hit ? true : false; }

  // The number of index fields the document was read for.
  int GetValueCount() const { return static_cast<int>(m_nFieldCount); }
  // The value of index field `field` (empty when the line lacks it); FALSE outside the fields.
  BOOL GetValue(int field, CString& value) const;
  // For each name the value of the batch's field of exactly that name, else an empty text.
  BOOL GetValues(const CDPXStringList& names, CDPXStringList& values) const;
  // The full paths of the document's image files in page order: the document number's first five
  // characters followed by "001", "002" ... and ".TIF" (any letter case), up to the first number
  // that has no file.
  BOOL CollectImageFiles(CDPXStringList& paths) const;

  // The search reads values as UTF-8 without making strings of them. HasValue is false when the
  // line does not reach the field at all. ValueText is the field as it stands in the line;
  // ValueAsRead is the value GetValue gives, built in `scratch` when it differs from the text.
  bool HasValue(int field) const;
  std::string_view ValueText(int field) const;
  std::string_view ValueAsRead(int field, std::string& scratch) const;
  std::u16string_view NumberText() const { return {m_number, m_nNumberLength}; }

private:
  friend class CIBSBatch;
  // Takes what the parser found in the line that starts at `lineOffset` of the batch's text.
  void Assign(CIBSBatch* batch, const CIBSIndexLine& line, uint64_t lineOffset, int fieldCount);
  // The read of its batch the document was built from.
  uint32_t m_nRead { 0 };

  CIBSBatch* m_pBatch { nullptr };
  uint64_t m_nLineOffset { 0 };
  uint32_t m_nFirstValue { 0 };
  uint32_t m_nValueCount { 0 };  // the values the line has: the first fields of the header
  uint32_t m_nFieldCount { 0 };
  int m_nPageCount { 0 };
  char16_t m_number[kNumberLength] {};
  uint8_t m_nNumberLength { 0 };
  bool m_bValid { false };
  bool m_bHit { false };
};

// Documents of the batches in the order of a search's results; the list does not own them.
using CIBSDocumentList = std::vector<CIBSDocument*>;
