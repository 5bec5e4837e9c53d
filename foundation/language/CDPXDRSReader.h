#pragma once
// CDPXDRSReader: reads a module's language file. The file holds languages, each with texts,
// bitmaps, six-image button sets and data blocks found by a key that ignores case.
//
// Body layout (data offsets, little-endian DWORDs; a counted string is a byte count and UTF-16LE):
//   0:        offset of the first language record (0 makes the file invalid)
//   language: next | name | description | fallback flag | offset of the first item (0: none)
//   item:     next | key (not empty) | type (1 bitmap, 2 text, 3 button, 4 data; others skipped) | payload
//
// Opening reads the chain of languages; the items of a language are read when it is switched to
// (or is a fallback language). A lookup searches the current language, then every fallback
// language in file order. Payloads other than texts are read from the open file at each lookup.
// A damaged file fails where the damage is met and never loops: a chain that comes back to an
// offset it has passed is refused.

#include "foundation/language/CDPXTypedFile.h"
#include "foundation/util/CDPXObList.h"

class CBitmap;
class CDPXDIBHandle;
class CDPXBitmapButton;

// One item of a language: its key and where its payload starts.
class __CDPXDRSItem : public CObject {
  DECLARE_DYNCREATE(__CDPXDRSItem)
public:
  CString m_strKey;
  DWORD m_dwDataOffset { 0 };
};

class __CDPXDRSBitmapItem : public __CDPXDRSItem {
  DECLARE_DYNCREATE(__CDPXDRSBitmapItem)
};

class __CDPXDRSTextItem : public __CDPXDRSItem {
  DECLARE_DYNCREATE(__CDPXDRSTextItem)
public:
  CString m_strText;
};

class __CDPXDRSButtonItem : public __CDPXDRSItem {
  DECLARE_DYNCREATE(__CDPXDRSButtonItem)
};

class __CDPXDRSDataItem : public __CDPXDRSItem {
  DECLARE_DYNCREATE(__CDPXDRSDataItem)
};

// One language of the file. Its four item lists are empty while it is not loaded.
class __CDPXDRSLanguageItem : public CObject {
  DECLARE_DYNCREATE(__CDPXDRSLanguageItem)
public:
  // The list of one item kind (CDPXDRSReader::itemBitmap...), null for another number.
  CDPXObList* GetItemList(int kind);
  BOOL IsLoaded() const;
  void Unload();

  CString m_strName;
  CString m_strDescription;
  int m_nFallback { 0 };
  DWORD m_dwItemsOffset { 0 };
  CDPXObList m_BitmapItems;
  CDPXObList m_TextItems;
  CDPXObList m_ButtonItems;
  CDPXObList m_DataItems;
};

class CDPXDRSReader : public CDPXDRSFile {
  DECLARE_DYNCREATE(CDPXDRSReader)
public:
  enum ItemKind { itemBitmap = 1, itemText = 2, itemButton = 3, itemData = 4 };

  CDPXDRSReader() = default;
  ~CDPXDRSReader() override;

  // Opens and checks the file and reads its languages (read access; others may read and write).
  BOOL Open(LPCWSTR path);
  // Closes the file and forgets its languages.
  void Close() override;

  // Makes `name` (trimmed, ignoring case) the current language, loads it and every fallback language and
  // unloads the others. A name the file lacks is accepted: the reader then has no current
  // language and answers from its fallback languages. FALSE when a language to load is damaged.
  BOOL SetCurrentLanguage(LPCWSTR name);
  // The current language as the file spells it; FALSE with an empty name when there is none.
  BOOL GetCurrentLanguage(CString& name);
  // The index of the current language.
  BOOL FindLanguage(int& index);
  // Reads the items of one language; a damaged chain leaves its lists empty and answers FALSE.
  BOOL LoadLanguage(int index);
  int GetLanguageCount() const { return m_Languages.GetCount(); }
  BOOL GetLanguage(int index, CString& name, CString& description, int& fallback) const;

  // The first item whose key equals `key`, trimmed, ignoring case.
  __CDPXDRSItem* FindItemInList(LPCWSTR key, CDPXObList& list);
  // The item of a kind: current language first, then the fallback languages in file order.
  __CDPXDRSItem* FindItem(LPCWSTR key, int kind);

  // A missing key gives FALSE and an empty text, or with `keyFallback` the key itself, trimmed,
  // and TRUE.
  BOOL LoadText(LPCWSTR key, CString& text, BOOL keyFallback);
  // The image of a bitmap item; on failure the image is empty.
  BOOL LoadDIB(LPCWSTR key, CDPXDIBHandle& image);
  // The image of a bitmap item as a device-dependent bitmap for the display.
  BOOL LoadBitmap(LPCWSTR key, CBitmap& bitmap);
  // The six images and four numbers of a button item. A button stored without its first image
  // has a blank 24-bit first image of numbers 3 x 4 (each 1 to kMaxBlankSize) and no others.
  // On failure all six images are empty and the numbers untouched.
  BOOL LoadButtonImages(LPCWSTR key, CDPXDIBHandle& image1, CDPXDIBHandle& image2, CDPXDIBHandle& image3,
                        CDPXDIBHandle& image4, CDPXDIBHandle& image5, CDPXDIBHandle& image6, int& number1,
                        int& number2, int& number3, int& number4);
  // The six images and four numbers of a button item, handed to the button (SetImages).
  BOOL LoadButton(LPCWSTR key, CDPXBitmapButton& button);
  // The data block of a key in a new movable global block (the caller frees it).
  BOOL ReadData(LPCWSTR key, HGLOBAL& block);
  // Writes the data block of a key to a file. An empty or missing block deletes the target.
  BOOL LoadData(LPCWSTR key, LPCWSTR target);

  // The locale tag of the user's locale ("en-us"); FALSE with an empty name when it has none.
  static BOOL GetUserDefaultLanguage(CString& name);

  // A blank button image wider or higher than this is taken for damage, not allocated: button
  // faces are small, and the numbers come straight from the file.
  static constexpr int kMaxBlankSize = 4096;

private:
  __CDPXDRSLanguageItem* GetLanguageAt(int index) const;
  // Reads the image at a data offset: an unused DWORD, then the image. Raises on failure.
  void ReadImageAt(DWORD offset, CDPXDIBHandle& image);

  CDPXObList m_Languages;
  CString m_strCurrentLanguage;
};
