#include "RequestSignature.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "OwnerKey.h"

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return c - 'A' + 10;
}

// The key is keyed by its bytes, not by its hex text.
std::vector<unsigned char> KeyBytes(const std::string& hex) {
    std::vector<unsigned char> bytes(hex.size() / 2);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(HexDigit(hex[2 * i]) << 4 | HexDigit(hex[2 * i + 1]));
    return bytes;
}

std::string Signature(const std::string& ownerKey, std::int64_t unixSeconds,
                      const std::string& nonce, const std::string& body) {
    const std::string message =
        "qlsp-v1\n" + std::to_string(unixSeconds) + "\n" + nonce + "\n" + body;
    const std::vector<unsigned char> key = KeyBytes(ownerKey);
    unsigned char mac[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()),
              reinterpret_cast<const unsigned char*>(message.data()), message.size(), mac, &length))
        throw std::runtime_error("The request could not be signed");
    return LowerHex(mac, length);
}

}  // namespace

std::string SignatureHeader(const std::string& ownerKey, std::int64_t unixSeconds,
                            const std::string& nonce, const std::string& body) {
    return "X-Quillspot-Signature: t=" + std::to_string(unixSeconds) + ",n=" + nonce +
           ",v1=" + Signature(ownerKey, unixSeconds, nonce, body);
}
