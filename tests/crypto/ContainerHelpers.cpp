#include "ContainerHelpers.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <algorithm>
#include <random>

#include "MemoryStreams.h"

namespace {

const std::uint8_t* Bytes(const std::string& s) {
    return reinterpret_cast<const std::uint8_t*>(s.data());
}

}  // namespace

std::string Encrypt(TEncryption& engine, const std::string& plain) {
    MemorySource source(plain);
    StringTarget target;
    if (!engine.EncryptStream(source, target)) throw std::runtime_error("EncryptStream failed");
    return target.Bytes();
}

std::string Encrypt(const std::string& password, const std::string& plain,
                    std::int32_t bufferSize) {
    TEncryption engine(password, bufferSize);
    return Encrypt(engine, plain);
}

std::string Decrypt(TEncryption& engine, const std::string& container, bool& ok) {
    MemorySource source(container);
    StringTarget target;
    ok = engine.DecryptStream(source, &target, source.Size());
    return target.Bytes();
}

std::string Decrypt(const std::string& password, const std::string& container, bool& ok,
                    std::int32_t bufferSize) {
    TEncryption engine(password, bufferSize);
    return Decrypt(engine, container, ok);
}

std::string PatternBytes(std::size_t length, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(length, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

EntropySource FixedEntropy() {
    return [](std::uint8_t* data, std::size_t count) {
        const std::size_t n = std::min<std::size_t>(count, 8);
        std::fill_n(data, n, std::uint8_t{0x5A});
        return n;
    };
}

Derived DeriveKeys(const std::string& password, const std::string& salt, int mode) {
    const int k = 8 * mode + 8;
    std::string out(2 * k + 2, '\0');
    PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), Bytes(salt),
                      static_cast<int>(salt.size()), 1000, EVP_sha1(), static_cast<int>(out.size()),
                      reinterpret_cast<std::uint8_t*>(out.data()));
    return {out.substr(0, k), out.substr(k, k), out.substr(2 * k, 2)};
}

std::string AesEncryptBlock(const std::string& key, const std::string& block) {
    const EVP_CIPHER* cipher = key.size() == 16   ? EVP_aes_128_ecb()
                               : key.size() == 24 ? EVP_aes_192_ecb()
                                                  : EVP_aes_256_ecb();
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    EVP_EncryptInit_ex(ctx, cipher, nullptr, Bytes(key), nullptr);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    std::string out(16, '\0');
    int n = 0;
    EVP_EncryptUpdate(ctx, reinterpret_cast<std::uint8_t*>(out.data()), &n, Bytes(block), 16);
    EVP_CIPHER_CTX_free(ctx);
    return out;
}

std::string HmacSha1(const std::string& key, const std::string& data) {
    std::uint8_t mac[20];
    unsigned int n = 0;
    HMAC(EVP_sha1(), key.data(), static_cast<int>(key.size()), Bytes(data), data.size(), mac, &n);
    return std::string(reinterpret_cast<char*>(mac), n);
}

std::size_t FailingSource::Read(std::uint8_t* data, std::size_t count) {
    const std::size_t n = std::min(count, bytes_.size() - position_);
    if (position_ + n > limit_) throw std::runtime_error("read failed");
    std::copy_n(bytes_.data() + position_, n, data);
    position_ += n;
    return n;
}

void FailingTarget::Write(const std::uint8_t* data, std::size_t count) {
    if (bytes_.size() + count > limit_) throw std::runtime_error("write failed");
    bytes_.append(reinterpret_cast<const char*>(data), count);
}
