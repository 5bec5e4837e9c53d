#include "batchstore/users/QVPassword.h"

#include "foundation/util/CDPXMD5Code.h"
#include "platform/core/codepage.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <string>
#include <vector>

namespace {

// OWASP's recommendation for PBKDF2-HMAC-SHA-256 at the time of writing.
constexpr int kIterations = 600000;
// A stored count above this is refused, so that a crafted profile cannot stall a logon.
constexpr long kMaxIterations = 10000000;
constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;
const char kPrefix[] = "$pbkdf2-sha256$";

std::string Hex(const unsigned char* bytes, size_t count) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (size_t i = 0; i < count; ++i) {
    text.push_back(digits[bytes[i] >> 4]);
    text.push_back(digits[bytes[i] & 15]);
  }
  return text;
}

BOOL FromHex(const std::string& text, std::vector<unsigned char>& bytes) {
  auto nibble = [](char c) {
    return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
  };
  if (text.size() % 2) return FALSE;
  bytes.clear();
  for (size_t i = 0; i < text.size(); i += 2) {
    const int high = nibble(text[i]), low = nibble(text[i + 1]);
    if (high < 0 || low < 0) return FALSE;
    bytes.push_back(static_cast<unsigned char>(high << 4 | low));
  }
  return TRUE;
}

BOOL Derive(const std::string& password, const unsigned char* salt, int saltBytes, int iterations,
            unsigned char* hash) {
  return PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), salt, saltBytes, iterations,
                           EVP_sha256(), kHashBytes, hash) == 1;
}

BOOL Same(const void* a, const void* b, size_t count) { return CRYPTO_memcmp(a, b, count) == 0; }

BOOL CheckHash(const std::string& stored, const std::string& password) {
  // "$pbkdf2-sha256$" iterations "$" salt "$" hash
  const size_t countEnd = stored.find('$', sizeof(kPrefix) - 1);
  if (countEnd == std::string::npos) return FALSE;
  const size_t saltEnd = stored.find('$', countEnd + 1);
  if (saltEnd == std::string::npos) return FALSE;
  const std::string count = stored.substr(sizeof(kPrefix) - 1, countEnd - (sizeof(kPrefix) - 1));
  if (count.empty() || count.size() > 8 || count.find_first_not_of("0123456789") != std::string::npos) return FALSE;
  const long iterations = std::stol(count);
  std::vector<unsigned char> salt, expected;
  if (iterations < 1 || iterations > kMaxIterations || !FromHex(stored.substr(countEnd + 1, saltEnd - countEnd - 1), salt) ||
      salt.empty() || !FromHex(stored.substr(saltEnd + 1), expected) || expected.size() != kHashBytes)
    return FALSE;
  unsigned char hash[kHashBytes];
  return Derive(password, salt.data(), static_cast<int>(salt.size()), static_cast<int>(iterations), hash) &&
         Same(hash, expected.data(), kHashBytes);
}

}  // namespace

BOOL QVHashPassword(LPCWSTR password, CString& stored) {
  unsigned char salt[kSaltBytes], hash[kHashBytes];
  if (RAND_bytes(salt, kSaltBytes) != 1) return FALSE;
  if (!Derive(CString(password ? password : u"").ToUtf8(), salt, kSaltBytes, kIterations, hash)) return FALSE;
  stored = CString::FromUtf8(kPrefix + std::to_string(kIterations) + "$" + Hex(salt, kSaltBytes) + "$" +
                             Hex(hash, kHashBytes));
  return TRUE;
}

BOOL QVCheckPassword(LPCWSTR name, LPCWSTR password, const CString& stored) {
  const std::string form = stored.ToUtf8();
  const CString secret(password ? password : u"");
  if (form.rfind(kPrefix, 0) == 0) return CheckHash(form, secret.ToUtf8());
  std::vector<unsigned char> digest;
  if (form.size() != 32 || !FromHex(form, digest)) return FALSE;
  CDPXMD5Code md5;
  if (!md5.ComputeText(CString(name ? name : u"") + secret, CP_UTF8)) return FALSE;
  CString hex;
  md5.GetHexString(hex);
  std::vector<unsigned char> computed;
  // Hexadecimal in either case is the same digest.
  return FromHex(hex.ToUtf8(), computed) && Same(computed.data(), digest.data(), digest.size());
}
