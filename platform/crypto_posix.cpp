#include <openssl/hmac.h>
#include <sys/random.h>

#include <cerrno>
#include <stdexcept>

#include "platform/crypto.h"

namespace ds::platform {

Sha256Digest HmacSha256(std::string_view key, std::string_view message) {
  Sha256Digest digest{};
  unsigned length = 0;
  // An empty key still needs a pointer that is not null.
  static const unsigned char kNone = 0;
  const void* keyBytes = key.empty() ? &kNone : static_cast<const void*>(key.data());
  const auto* data = reinterpret_cast<const unsigned char*>(message.empty() ? "" : message.data());
  if (!HMAC(EVP_sha256(), keyBytes, static_cast<int>(key.size()), data, message.size(), digest.data(), &length) ||
      length != digest.size())
    throw std::runtime_error("HMAC-SHA-256 failed in libcrypto");
  return digest;
}

bool RandomBytes(unsigned char* out, size_t count) {
  while (count > 0) {
    ssize_t got = getrandom(out, count, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    out += got;
    count -= static_cast<size_t>(got);
  }
  return true;
}

}  // namespace ds::platform
