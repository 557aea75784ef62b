#include "FileCrypt.h"

#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>

namespace {

constexpr int kIterations = 1000;
constexpr int kBlock = 16;
constexpr int kMaxDerived = 2 * KeyLength(3) + kVerifierLength;

void Require(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(what);
}

const EVP_CIPHER* EcbCipher(int mode) {
    switch (mode) {
        case 1:
            return EVP_aes_128_ecb();
        case 2:
            return EVP_aes_192_ecb();
        default:
            return EVP_aes_256_ecb();
    }
}

void StoreLittle64(std::uint64_t v, std::uint8_t* p) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(p, &v, 8);
    } else {
        for (int i = 0; i < 8; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

// A fixed inner count over non-overlapping buffers lets the compiler use vector registers.
void XorBytes(std::uint8_t* __restrict data, const std::uint8_t* __restrict key,
              std::size_t count) {
    constexpr std::size_t kStep = 64;
    std::size_t i = 0;
    for (; i + kStep <= count; i += kStep) {
        for (std::size_t j = 0; j < kStep; ++j) data[i + j] ^= key[i + j];
    }
    for (; i < count; ++i) data[i] ^= key[i];
}

}  // namespace

void FileCryptContext::CipherFree::operator()(evp_cipher_ctx_st* ctx) const {
    EVP_CIPHER_CTX_free(ctx);
}

void FileCryptContext::MacFree::operator()(evp_mac_ctx_st* ctx) const { EVP_MAC_CTX_free(ctx); }

FileCryptContext::FileCryptContext() = default;

FileCryptContext::~FileCryptContext() { OPENSSL_cleanse(keystream_.data(), keystream_.size()); }

int FileCryptContext::KeySetup(int mode, const std::uint8_t* passPhrase, std::size_t length,
                               const std::uint8_t* salt, std::uint8_t verifier[kVerifierLength]) {
    if (length > kMaxPassPhraseLength) return kPassPhraseTooLong;
    if (mode < 1 || mode > 3) return kBadMode;

    const int keyLength = KeyLength(mode);
    std::uint8_t derived[kMaxDerived];
    Require(PKCS5_PBKDF2_HMAC_SHA1(reinterpret_cast<const char*>(passPhrase),
                                   static_cast<int>(length), salt, SaltLength(mode), kIterations,
                                   2 * keyLength + kVerifierLength, derived) == 1,
            "key derivation failed");

    counter_ = 0;
    keystreamLength_ = 0;
    position_ = 0;

    if (!aes_) aes_.reset(EVP_CIPHER_CTX_new());
    Require(aes_ != nullptr, "cipher context allocation failed");
    Require(EVP_EncryptInit_ex(aes_.get(), EcbCipher(mode), nullptr, derived, nullptr) == 1,
            "cipher set-up failed");
    EVP_CIPHER_CTX_set_padding(aes_.get(), 0);

    if (!hmac_) {
        EVP_MAC* hmac = EVP_MAC_fetch(nullptr, OSSL_MAC_NAME_HMAC, nullptr);
        Require(hmac != nullptr, "HMAC unavailable");
        hmac_.reset(EVP_MAC_CTX_new(hmac));
        EVP_MAC_free(hmac);
        Require(hmac_ != nullptr, "HMAC context allocation failed");
    }
    char digest[] = "SHA1";
    const OSSL_PARAM params[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
        OSSL_PARAM_construct_end(),
    };
    Require(EVP_MAC_init(hmac_.get(), derived + keyLength, keyLength, params) == 1,
            "HMAC set-up failed");

    std::memcpy(verifier, derived + 2 * keyLength, kVerifierLength);
    OPENSSL_cleanse(derived, sizeof derived);
    return kKeySetupOk;
}

// Both passes run over one batch-sized piece at a time, while it is still in the
// first-level cache.
void FileCryptContext::EncryptData(std::uint8_t* data, std::size_t count) {
    for (std::size_t done = 0; done < count; done += kBatchBytes) {
        const std::size_t n = std::min(kBatchBytes, count - done);
        XorKeystream(data + done, n);
        Authenticate(data + done, n);
    }
}

void FileCryptContext::DecryptData(std::uint8_t* data, std::size_t count) {
    for (std::size_t done = 0; done < count; done += kBatchBytes) {
        const std::size_t n = std::min(kBatchBytes, count - done);
        Authenticate(data + done, n);
        XorKeystream(data + done, n);
    }
}

void FileCryptContext::FinishMac(std::uint8_t mac[kMacLength]) {
    std::uint8_t full[EVP_MAX_MD_SIZE];
    std::size_t length = 0;
    Require(EVP_MAC_final(hmac_.get(), full, &length, sizeof full) == 1 && length >= kMacLength,
            "HMAC failed");
    std::memcpy(mac, full, kMacLength);
}

void FileCryptContext::XorKeystream(std::uint8_t* data, std::size_t count) {
    while (count > 0) {
        if (position_ == keystreamLength_) MakeKeystream(count);
        const std::size_t n = std::min(count, keystreamLength_ - position_);
        XorBytes(data, keystream_.data() + position_, n);
        position_ += n;
        data += n;
        count -= n;
    }
}

// Makes the keystream blocks for the next `wanted` bytes, as many as one batch holds.
void FileCryptContext::MakeKeystream(std::size_t wanted) {
    const std::size_t length = std::min(kBatchBytes, (wanted + kBlock - 1) / kBlock * kBlock);
    for (std::size_t offset = 0; offset < length; offset += kBlock) {
        StoreLittle64(++counter_, keystream_.data() + offset);
        StoreLittle64(0, keystream_.data() + offset + 8);
    }
    int written = 0;
    Require(EVP_EncryptUpdate(aes_.get(), keystream_.data(), &written, keystream_.data(),
                              static_cast<int>(length)) == 1 &&
                static_cast<std::size_t>(written) == length,
            "AES failed");
    keystreamLength_ = length;
    position_ = 0;
}

void FileCryptContext::Authenticate(const std::uint8_t* data, std::size_t count) {
    Require(EVP_MAC_update(hmac_.get(), data, count) == 1, "HMAC failed");
}
