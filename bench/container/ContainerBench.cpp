// Throughput of the container against the limit set by its two OpenSSL primitives: with
// AES at a MB/s and HMAC-SHA-1 at h MB/s, nothing that does both over the same bytes can beat
// 1 / (1/a + 1/h). Prints the figures and the ratio for encrypting and decrypting.
#include <openssl/core_names.h>
#include <openssl/evp.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "AesLib.h"
#include "MemoryStreams.h"

namespace {

std::atomic<long> allocations{0};

constexpr std::int32_t kBuffer = 262144;
constexpr std::int64_t kTotal = std::int64_t{256} << 20;
constexpr int kRounds = 3;

// Hands out kTotal bytes from one repeated buffer.
class PatternSource : public ByteSource {
  public:
    PatternSource() : pattern_(kBuffer, 'q') {}
    std::size_t Read(std::uint8_t* data, std::size_t count) override {
        const auto n = static_cast<std::size_t>(
            std::min<std::int64_t>({static_cast<std::int64_t>(count), kTotal - done_, kBuffer}));
        std::memcpy(data, pattern_.data(), n);
        done_ += static_cast<std::int64_t>(n);
        return n;
    }
    std::int64_t Size() const override { return kTotal; }

  private:
    std::string pattern_;
    std::int64_t done_ = 0;
};

// Keeps the container for the decryption runs, in memory allocated beforehand.
class BufferTarget : public ByteTarget {
  public:
    explicit BufferTarget(std::size_t capacity) : bytes_(capacity) {}
    void Write(const std::uint8_t* data, std::size_t count) override {
        std::memcpy(bytes_.data() + size_, data, count);
        size_ += count;
    }
    std::string_view Bytes() const { return {reinterpret_cast<const char*>(bytes_.data()), size_}; }

  private:
    std::vector<std::uint8_t> bytes_;
    std::size_t size_ = 0;
};

class CountingSink : public ByteTarget {
  public:
    void Write(const std::uint8_t*, std::size_t count) override { size_ += count; }
    std::size_t size_ = 0;
};

template <class F>
double BestMBps(F&& run) {
    double best = 0;
    for (int i = 0; i < kRounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::max(best, static_cast<double>(kTotal) / 1e6 / took.count());
    }
    return best;
}

void Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::exit(1);
}

double AesMBps(std::vector<std::uint8_t>& buffer) {
    const std::uint8_t key[16] = {1, 2, 3};
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    EVP_EncryptInit_ex(ctx, EVP_aes_128_ecb(), nullptr, key, nullptr);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    const double speed = BestMBps([&] {
        for (std::int64_t done = 0; done < kTotal; done += kBuffer) {
            int n = 0;
            if (EVP_EncryptUpdate(ctx, buffer.data(), &n, buffer.data(), kBuffer) != 1) Fail("AES");
        }
    });
    EVP_CIPHER_CTX_free(ctx);
    return speed;
}

double HmacMBps(const std::vector<std::uint8_t>& buffer) {
    EVP_MAC* mac = EVP_MAC_fetch(nullptr, OSSL_MAC_NAME_HMAC, nullptr);
    EVP_MAC_CTX* ctx = EVP_MAC_CTX_new(mac);
    char digest[] = "SHA1";
    const OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
                                 OSSL_PARAM_construct_end()};
    const std::uint8_t key[16] = {4, 5, 6};
    const double speed = BestMBps([&] {
        if (EVP_MAC_init(ctx, key, sizeof key, params) != 1) Fail("HMAC");
        for (std::int64_t done = 0; done < kTotal; done += kBuffer) {
            if (EVP_MAC_update(ctx, buffer.data(), kBuffer) != 1) Fail("HMAC");
        }
        std::uint8_t out[20];
        std::size_t n = 0;
        EVP_MAC_final(ctx, out, &n, sizeof out);
    });
    EVP_MAC_CTX_free(ctx);
    EVP_MAC_free(mac);
    return speed;
}

}  // namespace

// Counts every heap allocation of the program, so the runs can show they make none per chunk.
void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

int main() {
    std::vector<std::uint8_t> buffer(kBuffer, 0x5A);
    const double aes = AesMBps(buffer);
    const double hmac = HmacMBps(buffer);
    const double limit = 1 / (1 / aes + 1 / hmac);

    // The streams are as light as streams get, so that the figures are the engine's: the
    // plaintext comes from one repeated buffer and the output is only counted.
    TEncryption engine("pedvorunla", kBuffer);
    long encryptAllocations = 0;
    const double encrypt = BestMBps([&] {
        PatternSource source;
        CountingSink sink;
        const long before = allocations;
        if (!engine.EncryptStream(source, sink)) Fail("EncryptStream failed");
        encryptAllocations = allocations - before;
    });

    BufferTarget container(static_cast<std::size_t>(kTotal) + 20);
    PatternSource plain;
    if (!engine.EncryptStream(plain, container)) Fail("EncryptStream failed");
    long decryptAllocations = 0;
    const double decrypt = BestMBps([&] {
        MemorySource source(container.Bytes());
        CountingSink sink;
        const long before = allocations;
        if (!engine.DecryptStream(source, &sink, source.Size())) Fail("DecryptStream failed");
        decryptAllocations = allocations - before;
    });

    const long chunks = kTotal / kBuffer;
    std::printf("data: %lld MiB in chunks of %d bytes (%ld chunks)\n",
                static_cast<long long>(kTotal >> 20), kBuffer, chunks);
    std::printf("OpenSSL AES-128-ECB:  %8.1f MB/s\n", aes);
    std::printf("OpenSSL HMAC-SHA-1:   %8.1f MB/s\n", hmac);
    std::printf("limit 1/(1/aes+1/hmac): %6.1f MB/s\n", limit);
    std::printf("EncryptStream:        %8.1f MB/s  ratio %.2f  heap allocations %ld\n", encrypt,
                encrypt / limit, encryptAllocations);
    std::printf("DecryptStream:        %8.1f MB/s  ratio %.2f  heap allocations %ld\n", decrypt,
                decrypt / limit, decryptAllocations);
    std::printf("target: ratio at least 0.85 both ways, no allocation per chunk\n");
    return 0;
}
