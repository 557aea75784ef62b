#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

struct evp_cipher_ctx_st;
struct evp_mac_ctx_st;

// Sizes of the container's pieces. The mode (1 to 3) follows from the pass phrase's length.
constexpr int KeyLength(int mode) { return 8 * mode + 8; }
constexpr int SaltLength(int mode) { return 4 * mode + 4; }
constexpr int kVerifierLength = 2;
constexpr int kMacLength = 10;
constexpr std::size_t kMaxPassPhraseLength = 128;

// Results of FileCryptContext::KeySetup.
constexpr int kKeySetupOk = 0;
constexpr int kPassPhraseTooLong = -100;
constexpr int kBadMode = -101;

// The per-container cipher state: AES in counter mode (a 64-bit little-endian counter in the
// first half of the block, starting at 1) with an HMAC-SHA-1 over the ciphertext.
class FileCryptContext {
  public:
    FileCryptContext();
    ~FileCryptContext();
    FileCryptContext(const FileCryptContext&) = delete;
    FileCryptContext& operator=(const FileCryptContext&) = delete;

    // Derives the keys from the pass phrase and the salt (SaltLength(mode) bytes), restarts the
    // keystream and the authentication code, and hands out the 2-byte pass phrase verifier.
    // Leaves everything unchanged and returns kPassPhraseTooLong or kBadMode on bad input.
    int KeySetup(int mode, const std::uint8_t* passPhrase, std::size_t length,
                 const std::uint8_t* salt, std::uint8_t verifier[kVerifierLength]);

    // Encrypt-then-authenticate and authenticate-then-decrypt, in place. Runs of any length
    // continue one keystream.
    void EncryptData(std::uint8_t* data, std::size_t count);
    void DecryptData(std::uint8_t* data, std::size_t count);

    // The first kMacLength bytes of the HMAC over all ciphertext since KeySetup.
    void FinishMac(std::uint8_t mac[kMacLength]);

  private:
    struct CipherFree {
        void operator()(evp_cipher_ctx_st* ctx) const;
    };
    struct MacFree {
        void operator()(evp_mac_ctx_st* ctx) const;
    };

    void XorKeystream(std::uint8_t* data, std::size_t count);
    void MakeKeystream(std::size_t wanted);
    void Authenticate(const std::uint8_t* data, std::size_t count);

    // Keystream blocks are made in batches: one AES call over many counter blocks is several
    // times faster than one call per 16-byte block.
    static constexpr std::size_t kBatchBytes = 4096;

    std::uint64_t counter_ = 0;  // the counter block's low half; its high half is always zero
    // Counter blocks, encrypted in place into keystream blocks.
    alignas(64) std::array<std::uint8_t, kBatchBytes> keystream_{};
    std::size_t keystreamLength_ = 0;
    std::size_t position_ = 0;  // keystream bytes used; equal to keystreamLength_ when none left
    std::unique_ptr<evp_cipher_ctx_st, CipherFree> aes_;
    std::unique_ptr<evp_mac_ctx_st, MacFree> hmac_;
};
