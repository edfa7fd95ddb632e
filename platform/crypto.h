// Keyed hashing and random bytes from each platform's own well-kept
// implementation (OpenSSL's libcrypto natively, CNG on Windows): a hash
// written here would be one more thing to get wrong.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace ds::platform {

using Sha256Digest = std::array<unsigned char, 32>;

// HMAC-SHA-256 (RFC 2104) of `message` under `key`. Throws std::runtime_error
// when the platform's implementation refuses, which it should never do.
Sha256Digest HmacSha256(std::string_view key, std::string_view message);

// `count` bytes from the system's random source; false when it gave none.
bool RandomBytes(unsigned char* out, size_t count);

}  // namespace ds::platform
