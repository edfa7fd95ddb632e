#include <windows.h>
#include <bcrypt.h>

#include <algorithm>
#include <stdexcept>

#include "platform/crypto.h"

namespace ds::platform {
namespace {

// One provider for the process: opening it is the slow part of a hash.
BCRYPT_ALG_HANDLE HmacProvider() {
  static BCRYPT_ALG_HANDLE provider = [] {
    BCRYPT_ALG_HANDLE h = nullptr;
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&h, BCRYPT_SHA256_ALGORITHM, nullptr,
                                                    BCRYPT_ALG_HANDLE_HMAC_FLAG)))
      h = nullptr;
    return h;
  }();
  return provider;
}

}  // namespace

Sha256Digest HmacSha256(std::string_view key, std::string_view message) {
  BCRYPT_ALG_HANDLE provider = HmacProvider();
  if (!provider) throw std::runtime_error("HMAC-SHA-256 is not available from CNG");
  static UCHAR none = 0;
  BCRYPT_HASH_HANDLE hash = nullptr;
  PUCHAR keyBytes = key.empty() ? &none : reinterpret_cast<PUCHAR>(const_cast<char*>(key.data()));
  if (!BCRYPT_SUCCESS(BCryptCreateHash(provider, &hash, nullptr, 0, keyBytes, static_cast<ULONG>(key.size()), 0)))
    throw std::runtime_error("HMAC-SHA-256: BCryptCreateHash failed");
  Sha256Digest digest{};
  bool ok = true;
  // ULONG lengths: feed a long message in pieces.
  for (size_t at = 0; ok && at < message.size();) {
    ULONG piece = static_cast<ULONG>(std::min<size_t>(message.size() - at, 1u << 30));
    ok = BCRYPT_SUCCESS(BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(message.data() + at)),
                                       piece, 0));
    at += piece;
  }
  ok = ok && BCRYPT_SUCCESS(BCryptFinishHash(hash, digest.data(), static_cast<ULONG>(digest.size()), 0));
  BCryptDestroyHash(hash);
  if (!ok) throw std::runtime_error("HMAC-SHA-256 failed in CNG");
  return digest;
}

bool RandomBytes(unsigned char* out, size_t count) {
  return BCRYPT_SUCCESS(
      BCryptGenRandom(nullptr, out, static_cast<ULONG>(count), BCRYPT_USE_SYSTEM_PREFERRED_RNG));
}

}  // namespace ds::platform
