// The layer's own reading and patching of image file directories, through CFile: listing entries
// with their raw values, rewriting one value in place, relinking the directory chain and turning
// a JPEG page into an old-style JPEG page. Every count and offset read from the file is checked
// against the file's length; chains are walked with a guard against loops.

#include "foundation/imaging/CQVTiffFile.h"

#include "platform/core/CFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <set>

namespace {

constexpr WORD kTypeShort = 3, kTypeLong = 4, kTypeRational = 5, kTypeSShort = 8, kTypeSLong = 9,
               kTypeSRational = 10, kTypeFloat = 11, kTypeDouble = 12;
// A chain longer than this is taken as damaged.
constexpr size_t kMaxDirectories = 65536;

void SwapBytes(BYTE* p, int width) {
  for (int i = 0; i < width / 2; ++i) std::swap(p[i], p[width - 1 - i]);
}

// Reads exactly `size` bytes at `offset`; FALSE when the file is shorter.
BOOL ReadAt(CFile& file, ULONGLONG offset, void* buffer, UINT size) {
  if (file.Seek(static_cast<LONGLONG>(offset), CFile::begin) != offset) return FALSE;
  return file.Read(buffer, size) == size;
}

// A read-only file is not edited, as it would not be replaced either.
bool IsReadOnly(const CString& path) {
  CFileStatus status;
  return CFile::GetStatus(path.GetString(), status) && (status.m_attribute & CFile::readOnly);
}

}  // namespace

CQVTiffFile::WriteHook CQVTiffFile::s_writeHook = nullptr;

// Every write of the in-place edits comes here; a failed one throws like CFile::Write.
void CQVTiffFile::_WriteAt(CFile& file, ULONGLONG offset, const void* bytes, UINT size) {
  if (s_writeHook && !s_writeHook()) AfxThrowFileException(CFileException::hardIO, EIO, file.GetFilePath());
  file.Seek(static_cast<LONGLONG>(offset), CFile::begin);
  file.Write(bytes, size);
}

// Notes the file's length and the bytes at `places` (offset, size), so that _RestoreFile can put
// the file back as it is now; without a file, _RestoreFile deletes the one the edit makes.
BOOL CQVTiffFile::_KeepForRestore(CFile* file, const std::vector<std::pair<ULONGLONG, UINT>>& places) {
  m_restore = {};
  m_restore.armed = TRUE;
  if (!file) return TRUE;
  m_restore.existed = TRUE;
  m_restore.length = file->GetLength();
  for (const auto& [offset, size] : places) {
    std::vector<BYTE> bytes(size);
    if (!ReadAt(*file, offset, bytes.data(), size)) return FALSE;
    m_restore.bytes.emplace_back(offset, std::move(bytes));
  }
  return TRUE;
}

// Puts the file back as _KeepForRestore found it: the bytes written over and the length (what
// was appended goes).
BOOL CQVTiffFile::_RestoreFile() {
  if (!m_restore.armed) return FALSE;
  m_restore.armed = FALSE;
  EnsureClose();
  try {
    if (!m_restore.existed) {
      CFile::Remove(m_path.GetString());
      return TRUE;
    }
    CFile file;
    if (!file.Open(m_path.GetString(), CFile::modeReadWrite)) return FALSE;
    for (const auto& [offset, bytes] : m_restore.bytes) {
      file.Seek(static_cast<LONGLONG>(offset), CFile::begin);
      file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    }
    file.SetLength(m_restore.length);
    file.Flush();
    file.Close();
    return TRUE;
  } catch (CException* e) {
    e->Delete();
    return FALSE;
  }
}

WORD CQVTiffFile::_Swap16(WORD v) const { return m_byteSwapped ? WORD((v >> 8) | (v << 8)) : v; }

DWORD CQVTiffFile::_Swap32(DWORD v) const {
  return m_byteSwapped ? (v >> 24) | ((v >> 8) & 0xFF00) | ((v << 8) & 0xFF0000) | (v << 24) : v;
}

// Values as they lie in the file become values in host order (the step is its own inverse, so
// it also brings host values into the file's order). Hosts are little-endian.
void CQVTiffFile::_ToHostOrder(BYTE* bytes, WORD type, DWORD count) const {
  if (!m_byteSwapped) return;
  int width = 0;
  DWORD items = count;
  switch (type) {
    case kTypeShort:
    case kTypeSShort: width = 2; break;
    case kTypeLong:
    case kTypeSLong:
    case kTypeFloat: width = 4; break;
    case kTypeRational:
    case kTypeSRational: width = 4, items = count * 2; break;
    case kTypeDouble: width = 8; break;
    default: return;
  }
  for (DWORD i = 0; i < items; ++i) SwapBytes(bytes + static_cast<size_t>(i) * width, width);
}

DWORD CQVTiffFile::_EntryLong(const IfdEntry& entry) const {
  DWORD v = 0;
  std::memcpy(&v, entry.value, 4);
  return _Swap32(v);
}

BOOL CQVTiffFile::_ReadHeader(CFile& file, DWORD& firstIfd) {
  BYTE header[8];
  if (!ReadAt(file, 0, header, 8)) return FALSE;
  if (header[0] == 'I' && header[1] == 'I') {
    m_byteSwapped = FALSE;
  } else if (header[0] == 'M' && header[1] == 'M') {
    m_byteSwapped = TRUE;
  } else {
    return FALSE;
  }
  WORD version = 0;
  DWORD first = 0;
  std::memcpy(&version, header + 2, 2);
  std::memcpy(&first, header + 4, 4);
  firstIfd = _Swap32(first);
  return _Swap16(version) == 42;
}

BOOL CQVTiffFile::_ReadIfd(CFile& file, DWORD offset, std::vector<IfdEntry>& entries, DWORD* nextIfd,
                           ULONGLONG* linkPosition) {
  entries.clear();
  if (offset == 0) return FALSE;
  WORD count = 0;
  if (!ReadAt(file, offset, &count, 2)) return FALSE;
  count = _Swap16(count);
  const ULONGLONG first = ULONGLONG(offset) + 2;
  const ULONGLONG link = first + 12ull * count;
  if (link + 4 > file.GetLength()) return FALSE;
  std::vector<BYTE> raw(12u * count);
  if (count && file.Read(raw.data(), static_cast<UINT>(raw.size())) != raw.size()) return FALSE;
  entries.resize(count);
  for (WORD i = 0; i < count; ++i) {
    const BYTE* p = raw.data() + 12u * i;
    IfdEntry& e = entries[i];
    std::memcpy(&e.tag, p, 2);
    std::memcpy(&e.type, p + 2, 2);
    std::memcpy(&e.count, p + 4, 4);
    e.tag = _Swap16(e.tag);
    e.type = _Swap16(e.type);
    e.count = _Swap32(e.count);
    std::memcpy(e.value, p + 8, 4);
    e.position = first + 12ull * i;
  }
  if (linkPosition) *linkPosition = link;
  if (nextIfd) {
    DWORD next = 0;
    *nextIfd = file.Read(&next, 4) == 4 ? _Swap32(next) : 0;
  }
  return TRUE;
}

BOOL CQVTiffFile::_ReadTagsInDir(DWORD offset, DWORD& nextIfd, CArray<tagTiffTagInfo>& tags) {
  FreeTagInfoArray(tags);
  nextIfd = 0;
  if (offset == 0) return FALSE;
  try {
    CFile file;
    if (!file.Open(m_path.GetString(), CFile::modeRead | CFile::shareDenyWrite)) return FALSE;
    DWORD first = 0;
    std::vector<IfdEntry> entries;
    if (!_ReadHeader(file, first) || !_ReadIfd(file, offset, entries, &nextIfd, nullptr)) return FALSE;
    const ULONGLONG length = file.GetLength();
    for (const IfdEntry& e : entries) {
      tagTiffTagInfo info;
      info.tag = e.tag;
      info.type = e.type <= 13 ? e.type : 0;
      info.count = e.count;
      const ULONGLONG size = ULONGLONG(GetDataWidth(info.type)) * e.count;
      if (size == 0) {
        info.size = 0;
      } else if (size <= 4) {
        info.size = static_cast<int>(size);
        std::memcpy(info.value, e.value, 4);
        _ToHostOrder(info.value, info.type, e.count);
      } else {
        // A value that cannot lie inside the file is reported as unreadable, never allocated.
        const DWORD at = _EntryLong(e);
        info.size = -1;
        if (at + size <= length && size <= 0x7FFFFFFF) {
          info.data = static_cast<BYTE*>(std::malloc(static_cast<size_t>(size)));
          if (info.data && ReadAt(file, at, info.data, static_cast<UINT>(size))) {
            info.size = static_cast<int>(size);
            _ToHostOrder(info.data, info.type, e.count);
          } else {
            std::free(info.data);
            info.data = nullptr;
          }
        }
      }
      tags.Add(info);
    }
    return TRUE;
  } catch (CException* e) {
    e->Delete();
    return FALSE;
  }
}

BOOL CQVTiffFile::_UpdateTagValue(DWORD offset, DWORD tag, WORD type, DWORD count, const void* value) {
  if (offset == 0 || !value || IsReadOnly(m_path)) return FALSE;
  try {
    CFile file;
    if (!file.Open(m_path.GetString(), CFile::modeReadWrite)) return FALSE;
    DWORD first = 0;
    std::vector<IfdEntry> entries;
    if (!_ReadHeader(file, first) || !_ReadIfd(file, offset, entries, nullptr, nullptr)) return FALSE;
    for (const IfdEntry& e : entries) {
      if (e.tag != tag || e.type != type) continue;
      // Everything is checked before the first write; a write that fails puts back what was there.
      const ULONGLONG width = GetDataWidth(type);
      const ULONGLONG newSize = width * count, oldSize = width * e.count;
      if (newSize > 4 && newSize > oldSize) return FALSE;
      if (newSize > 0x7FFFFFFF) return FALSE;
      const ULONGLONG at = newSize > 4 ? _EntryLong(e) : e.position + 8;
      if (newSize > 4 && at + newSize > file.GetLength()) return FALSE;
      std::vector<BYTE> bytes(static_cast<size_t>(newSize < 4 ? 4 : newSize), 0);
      std::memcpy(bytes.data(), value, static_cast<size_t>(newSize));
      _ToHostOrder(bytes.data(), type, count);
      const DWORD fileCount = _Swap32(count);
      if (!_KeepForRestore(&file, { { e.position + 4, 8 }, { at, static_cast<UINT>(bytes.size()) } })) return FALSE;
      try {
        _WriteAt(file, at, bytes.data(), static_cast<UINT>(bytes.size()));
        _WriteAt(file, e.position + 4, &fileCount, 4);
        file.Close();
      } catch (CException* failure) {
        failure->Delete();
        file.Abort();
        _RestoreFile();
        return FALSE;
      }
      m_restore = {};
      return TRUE;
    }
    return TRUE;
  } catch (CException* e) {
    e->Delete();
    return FALSE;
  }
}

BOOL CQVTiffFile::_LinkIFDB2A(CFile& file, DWORD a, DWORD b) {
  WORD count = 0;
  if (!ReadAt(file, b, &count, 2)) return FALSE;
  const DWORD link = _Swap32(a);
  _WriteAt(file, ULONGLONG(b) + 2 + 12ull * _Swap16(count), &link, 4);
  return TRUE;
}

BOOL CQVTiffFile::_WalkChain(CFile& file, DWORD first, std::vector<DWORD>& chain, std::vector<ULONGLONG>* links) {
  chain.clear();
  std::set<DWORD> seen;
  std::vector<IfdEntry> entries;
  for (DWORD at = first; at != 0;) {
    if (!seen.insert(at).second || chain.size() >= kMaxDirectories) return FALSE;
    DWORD next = 0;
    ULONGLONG link = 0;
    if (!_ReadIfd(file, at, entries, &next, &link)) return FALSE;
    chain.push_back(at);
    if (links) links->push_back(link);
    at = next;
  }
  return TRUE;
}

// Follows the chain's links without parsing the directories on the way.
BOOL CQVTiffFile::_FindIfdOffset(WORD page, DWORD& offset) {
  offset = 0;
  try {
    CFile file;
    if (!file.Open(m_path.GetString(), CFile::modeRead | CFile::shareDenyWrite)) return FALSE;
    DWORD at = 0;
    if (!_ReadHeader(file, at)) return FALSE;
    std::set<DWORD> seen;
    for (WORD i = 0; i < page && at != 0; ++i) {
      WORD count = 0;
      if (!seen.insert(at).second || !ReadAt(file, at, &count, 2)) return FALSE;
      DWORD next = 0;
      if (!ReadAt(file, ULONGLONG(at) + 2 + 12ull * _Swap16(count), &next, 4)) return FALSE;
      at = _Swap32(next);
    }
    offset = at;
    return offset != 0;
  } catch (CException* e) {
    e->Delete();
    return FALSE;
  }
}

// libtiff walks the whole chain to append a page and would never stop on a chain that loops, so
// an existing file is checked first. Adding a page appends to the file and changes only the
// header and the links of the chain, which are kept so that a failed page can be taken back.
// A missing or empty file gets its first page.
BOOL CQVTiffFile::_PrepareToAddPage() {
  if (IsReadOnly(m_path)) return FALSE;
  try {
    CFile file;
    CFileException error;
    if (!file.Open(m_path.GetString(), CFile::modeRead | CFile::shareDenyWrite, &error)) {
      return error.m_lOsError == ENOENT && _KeepForRestore(nullptr, {});
    }
    if (file.GetLength() == 0) return _KeepForRestore(&file, {});
    DWORD first = 0;
    std::vector<DWORD> chain;
    std::vector<ULONGLONG> links;
    if (!_ReadHeader(file, first) || !_WalkChain(file, first, chain, &links)) return FALSE;
    std::vector<std::pair<ULONGLONG, UINT>> places { { 0, 8 } };
    for (ULONGLONG link : links) places.emplace_back(link, 4);
    return _KeepForRestore(&file, places);
  } catch (CException* e) {
    e->Delete();
    return FALSE;
  }
}

// Runs after libtiff has closed the file: libtiff keeps the offsets of the directories it has
// seen per handle, so the chain is edited only when no handle is open.
BOOL CQVTiffFile::_ChangeDirectoryLink(WORD position) {
  try {
    CFile file;
    if (!file.Open(m_path.GetString(), CFile::modeReadWrite)) return FALSE;
    DWORD first = 0;
    if (!_ReadHeader(file, first)) return FALSE;
    std::vector<DWORD> chain;
    if (!_WalkChain(file, first, chain, nullptr)) return FALSE;
    const size_t count = chain.size();
    if (count == 0) return FALSE;
    if (position >= count - 1) return TRUE;
    // The new page is first cut off the end, then linked to its successor, and only the last
    // write makes it part of the chain: a file left at any step between holds a sound chain.
    const DWORD last = chain[count - 1], beforeLast = chain[count - 2];
    if (!_LinkIFDB2A(file, 0, beforeLast) || !_LinkIFDB2A(file, chain[position], last)) return FALSE;
    if (position == 0) {
      const DWORD header = _Swap32(last);
      _WriteAt(file, 4, &header, 4);
    } else if (!_LinkIFDB2A(file, last, chain[position - 1])) {
      return FALSE;
    }
    file.Close();
    return TRUE;
  } catch (CException* e) {
    e->Delete();
    return FALSE;
  }
}

BOOL CQVTiffFile::PostProcess4OJPEG(WORD page) {
  DWORD offset = 0;
  return _FindIfdOffset(page, offset) && UpdateOJPEGinTIFF(offset);
}

// The JPEGTables entry that the page writer left as a 4-byte placeholder becomes
// JPEGInterchangeFormat, pointing at the first strip, which holds a complete JPEG stream; the
// compression becomes 6. The entries keep their places, so the directory stays sorted.
BOOL CQVTiffFile::UpdateOJPEGinTIFF(DWORD ifdOffset) {
  try {
    CFile file;
    if (!file.Open(m_path.GetString(), CFile::modeReadWrite)) return FALSE;
    DWORD first = 0;
    std::vector<IfdEntry> entries;
    if (!_ReadHeader(file, first) || !_ReadIfd(file, ifdOffset, entries, nullptr, nullptr)) return FALSE;
    const IfdEntry* tables = nullptr;
    const IfdEntry* compression = nullptr;
    DWORD stripOffset = 0;
    for (const IfdEntry& e : entries) {
      if (e.tag == 347) tables = &e;
      if (e.tag == 259) compression = &e;
      if (e.tag == 273 && e.count >= 1) {
        if (e.count == 1 && e.type == kTypeShort) {
          WORD v = 0;
          std::memcpy(&v, e.value, 2);
          stripOffset = _Swap16(v);
        } else if (e.count == 1) {
          stripOffset = _EntryLong(e);
        } else if (e.type == kTypeLong && ReadAt(file, _EntryLong(e), &stripOffset, 4)) {
          stripOffset = _Swap32(stripOffset);
        }
      }
    }
    if (!tables || !compression || stripOffset == 0) return FALSE;
    BYTE entry[12];
    const WORD tag = _Swap16(513), type = _Swap16(kTypeLong);
    const DWORD one = _Swap32(1), value = _Swap32(stripOffset);
    std::memcpy(entry, &tag, 2);
    std::memcpy(entry + 2, &type, 2);
    std::memcpy(entry + 4, &one, 4);
    std::memcpy(entry + 8, &value, 4);
    _WriteAt(file, tables->position, entry, 12);
    const WORD oldStyle = _Swap16(6);
    _WriteAt(file, compression->position + 8, &oldStyle, 2);
    file.Close();
    return TRUE;
  } catch (CException* e) {
    e->Delete();
    return FALSE;
  }
}

// The interchange stream either ends where the strip begins (tables and headers before it) or
// holds the strip itself; any other layout is refused rather than guessed at.
BOOL CQVTiffFile::_InterchangeClump(DWORD ifdOffset, ULONGLONG stripOffset, std::vector<BYTE>& clump) {
  try {
    CFile file;
    if (!file.Open(m_path.GetString(), CFile::modeRead | CFile::shareDenyWrite)) return FALSE;
    DWORD first = 0;
    std::vector<IfdEntry> entries;
    if (!_ReadHeader(file, first) || !_ReadIfd(file, ifdOffset, entries, nullptr, nullptr)) return FALSE;
    ULONGLONG start = 0, length = 0;
    for (const IfdEntry& e : entries) {
      if ((e.tag == 513 || e.tag == 514) && e.count == 1 && e.type == kTypeLong) {
        (e.tag == 513 ? start : length) = _EntryLong(e);
      }
    }
    const ULONGLONG stripEnd = stripOffset + clump.size();
    if (start == 0 || length == 0 || start + length > file.GetLength()) return FALSE;
    std::vector<BYTE> head(static_cast<size_t>(length));
    if (!ReadAt(file, start, head.data(), static_cast<UINT>(length))) return FALSE;
    if (start + length == stripOffset) {
      clump.insert(clump.begin(), head.begin(), head.end());
    } else if (start <= stripOffset && stripEnd <= start + length) {
      clump.swap(head);
    } else {
      return FALSE;
    }
    return TRUE;
  } catch (CException* e) {
    e->Delete();
    return FALSE;
  }
}
