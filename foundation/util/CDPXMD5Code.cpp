#include "foundation/util/CDPXMD5Code.h"

#include "foundation/util/DPXText.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CDPXMD5Code, CObject)

namespace {

// The sine table: the integer part of 2^32 * |sin(i + 1)|.
constexpr DWORD kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

// Left-rotation amounts, four per round.
constexpr int kShift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

DWORD RotateLeft(DWORD x, int n) { return (x << n) | (x >> (32 - n)); }

DWORD LoadLittleEndian(const BYTE* p) {
  return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24);
}

void StoreLittleEndian(DWORD x, BYTE* p) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<BYTE>(x >> (8 * i));
}

// The running state of one computation; wiped when it ends, so no part of the input stays behind.
class Md5State {
public:
  ~Md5State() { explicit_bzero(this, sizeof *this); }

  void Update(const BYTE* data, size_t count) {
    size_t used = static_cast<size_t>(m_bytes % 64);
    m_bytes += count;
    if (used > 0) {
      const size_t take = count < 64 - used ? count : 64 - used;
      std::memcpy(m_buffer + used, data, take);
      data += take;
      count -= take;
      used += take;
      if (used < 64) return;
      Transform(m_buffer);
    }
    for (; count >= 64; data += 64, count -= 64) Transform(data);
    std::memcpy(m_buffer, data, count);
  }

  void Final(BYTE digest[16]) {
    const std::uint64_t bits = m_bytes * 8;
    BYTE tail[72] = {0x80};
    const size_t used = static_cast<size_t>(m_bytes % 64);
    const size_t padding = used < 56 ? 56 - used : 120 - used;
    for (int i = 0; i < 8; ++i) tail[padding + i] = static_cast<BYTE>(bits >> (8 * i));
    Update(tail, padding + 8);
    for (int i = 0; i < 4; ++i) StoreLittleEndian(m_chain[i], digest + 4 * i);
  }

private:
  void Transform(const BYTE* block) {
    DWORD x[16];
    for (int i = 0; i < 16; ++i) x[i] = LoadLittleEndian(block + 4 * i);
    DWORD a = m_chain[0], b = m_chain[1], c = m_chain[2], d = m_chain[3];
    for (int i = 0; i < 64; ++i) {
      const int round = i / 16;
      DWORD f = 0;
      int k = 0;
      switch (round) {
        case 0: f = (b & c) | (~b & d); k = i; break;
        case 1: f = (b & d) | (c & ~d); k = (5 * i + 1) % 16; break;
        case 2: f = b ^ c ^ d; k = (3 * i + 5) % 16; break;
        default: f = c ^ (b | ~d); k = (7 * i) % 16; break;
      }
      const DWORD next = b + RotateLeft(a + f + x[k] + kSine[i], kShift[round][i % 4]);
      a = d;
      d = c;
      c = b;
      b = next;
    }
    m_chain[0] += a;
    m_chain[1] += b;
    m_chain[2] += c;
    m_chain[3] += d;
    explicit_bzero(x, sizeof x);
  }

  DWORD m_chain[4] { 0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476 };
  std::uint64_t m_bytes { 0 };
  BYTE m_buffer[64] {};
};

}  // namespace

BOOL CDPXMD5Code::Compute(const BYTE* data, int count) {
  std::memset(m_digest, 0, sizeof m_digest);
  if (count < 0 || (count > 0 && !data)) return FALSE;
  Md5State state;
  if (count > 0) state.Update(data, static_cast<size_t>(count));
  state.Final(m_digest);
  return TRUE;
}

BOOL CDPXMD5Code::ComputeText(LPCWSTR text, UINT codePage) {
  std::memset(m_digest, 0, sizeof m_digest);
  CStringA bytes;
  if (!DPXWideToMultiByte(text, bytes, codePage)) return FALSE;
  const int count = bytes.GetLength();
  const BOOL result = Compute(reinterpret_cast<const BYTE*>(bytes.GetString()), count);
  // The text is usually a password.
  explicit_bzero(bytes.GetBuffer(count), static_cast<size_t>(count));
  return result;
}

void CDPXMD5Code::GetDigestWords(DWORD& w0, DWORD& w1, DWORD& w2, DWORD& w3) const {
  DWORD* words[4] = {&w0, &w1, &w2, &w3};
  for (int i = 0; i < 4; ++i) {
    const BYTE* p = m_digest + 4 * i;
    *words[i] = (DWORD(p[0]) << 24) | (DWORD(p[1]) << 16) | (DWORD(p[2]) << 8) | DWORD(p[3]);
  }
}

void CDPXMD5Code::GetHexString(CString& text) const {
  DWORD w0 = 0, w1 = 0, w2 = 0, w3 = 0;
  GetDigestWords(w0, w1, w2, w3);
  text.Format(u"%08X%08X%08X%08X", w0, w1, w2, w3);
}
