// The container's layout, checked piece by piece against OpenSSL's primitives.
#include <gtest/gtest.h>

#include "ContainerHelpers.h"
#include "MemoryStreams.h"

namespace {

struct ModeCase {
    std::size_t passwordLength;
    int mode;
};

class ModeByLength : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ModeByLength, SelectsModeAndSaltLength) {
    const ModeCase c = GetParam();
    const std::string password(c.passwordLength, 'p');
    TEncryption engine(password, 64);
    EXPECT_EQ(engine.Mode(), c.mode);
    const std::string plain = PatternBytes(100);
    const std::string container = Encrypt(engine, plain);
    const std::size_t salt = 4 * c.mode + 4;
    EXPECT_EQ(container.size(), plain.size() + salt + 12);
    // The salt length follows from the mode: the verifier must sit right after it.
    const Derived keys = DeriveKeys(password, container.substr(0, salt), c.mode);
    EXPECT_EQ(container.substr(salt, 2), keys.verifier);
    bool ok = false;
    EXPECT_EQ(Decrypt(password, container, ok), plain);
    EXPECT_TRUE(ok);
}

INSTANTIATE_TEST_SUITE_P(Lengths, ModeByLength,
                         ::testing::Values(ModeCase{0, 1}, ModeCase{10, 1}, ModeCase{31, 1},
                                           ModeCase{32, 2}, ModeCase{47, 2}, ModeCase{48, 3},
                                           ModeCase{128, 3}));

TEST(ContainerFormat, PassPhraseOver128BytesFailsBothWays) {
    const std::string password(129, 'p');
    TEncryption engine(password, 64);
    EXPECT_EQ(engine.Mode(), 3);
    MemorySource plain("some text");
    StringTarget written;
    EXPECT_FALSE(engine.EncryptStream(plain, written));
    EXPECT_TRUE(written.Bytes().empty());

    // A valid container under the 128-byte prefix; the longer pass phrase still must fail,
    // having read only the salt.
    const std::string container = Encrypt(password.substr(0, 128), "some text");
    MemorySource source(container);
    StringTarget target;
    EXPECT_FALSE(engine.DecryptStream(source, &target, source.Size()));
    EXPECT_EQ(source.Position(), 16u);
    EXPECT_TRUE(target.Bytes().empty());
}

TEST(ContainerFormat, EveryPieceMatchesThePrimitives) {
    for (const std::string& password :
         {std::string("pedvorunla"), std::string(40, 'x'), std::string(64, 'y')}) {
        SCOPED_TRACE(password.size());
        const std::string plain = PatternBytes(1000, 7);
        TEncryption engine(password, 333);
        const int mode = engine.Mode();
        const std::size_t s = 4 * mode + 4;
        const std::string container = Encrypt(engine, plain);
        const Derived keys = DeriveKeys(password, container.substr(0, s), mode);

        EXPECT_EQ(container.substr(s, 2), keys.verifier);
        const std::string ciphertext = container.substr(s + 2, plain.size());
        std::string counter(16, '\0');
        counter[0] = 1;
        const std::string first = AesEncryptBlock(keys.aesKey, counter);
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(static_cast<char>(plain[i] ^ first[i]), ciphertext[i]) << i;
        }
        EXPECT_EQ(container.substr(s + 2 + plain.size()),
                  HmacSha1(keys.macKey, ciphertext).substr(0, 10));
    }
}

TEST(ContainerFormat, CounterCarriesIntoItsSecondByte) {
    // Keystream block 256 is made from the counter value 256: 00 01 00 ... 00.
    const std::string plain(16 * 257, '\0');
    const std::string password = "carry";
    const std::string container = Encrypt(password, plain, 1000);
    const Derived keys = DeriveKeys(password, container.substr(0, 8), 1);
    std::string counter(16, '\0');
    counter[1] = 1;
    EXPECT_EQ(container.substr(8 + 2 + 16 * 255, 16), AesEncryptBlock(keys.aesKey, counter));
    counter[0] = 1;
    EXPECT_EQ(container.substr(8 + 2 + 16 * 256, 16), AesEncryptBlock(keys.aesKey, counter));
}

TEST(ContainerFormat, EmptyPlaintextIsHeaderAndCodeOnly) {
    const std::string password = "pedvorunla";
    const std::string container = Encrypt(password, "");
    ASSERT_EQ(container.size(), 20u);
    const Derived keys = DeriveKeys(password, container.substr(0, 8), 1);
    EXPECT_EQ(container.substr(10), HmacSha1(keys.macKey, "").substr(0, 10));
    bool ok = false;
    EXPECT_EQ(Decrypt(password, container, ok), "");
    EXPECT_TRUE(ok);
}

TEST(ContainerFormat, ExactMultipleOfBufferEndsWithOneEmptyRead) {
    TEncryption engine("pw", 16);
    std::vector<std::int64_t> totals;
    engine.OnProgress = [&](TEncryption& sender, std::int32_t code, std::int64_t value) {
        EXPECT_EQ(&sender, &engine);
        EXPECT_EQ(code, TEncryption::kProgressEncrypted);
        totals.push_back(value);
    };
    const std::string plain = PatternBytes(48);
    const std::string container = Encrypt(engine, plain);
    EXPECT_EQ(totals, (std::vector<std::int64_t>{16, 32, 48, 48}));
    EXPECT_EQ(container.size(), 48u + 20u);
    bool ok = false;
    EXPECT_EQ(Decrypt("pw", container, ok), plain);
    EXPECT_TRUE(ok);
}

TEST(ContainerFormat, SameSaltGivesSameContainerWhateverTheChunkSize) {
    // With equal salts, chunking must not show in the output: the keystream runs on
    // unbroken across chunks of any length.
    const std::string plain = PatternBytes(5000, 3);
    TEncryption whole("chunks", 8192, FixedEntropy());
    const std::string expected = Encrypt(whole, plain);
    for (std::int32_t size : {1, 3, 15, 16, 17, 100, 4095}) {
        TEncryption chunked("chunks", size, FixedEntropy());
        EXPECT_EQ(Encrypt(chunked, plain), expected) << size;
    }
}

TEST(ContainerFormat, RoundTripsOverLengthsAndBufferSizes) {
    const std::string password = "round trip";
    for (std::int32_t encryptSize : {1, 7, 16, 33, 4096}) {
        for (std::size_t length : {0u, 1u, 15u, 16u, 17u, 31u, 32u, 33u, 255u, 4097u, 10000u}) {
            const std::string plain = PatternBytes(length, static_cast<unsigned>(length));
            const std::string container = Encrypt(password, plain, encryptSize);
            ASSERT_EQ(container.size(), length + 20);
            for (std::int32_t decryptSize : {1, 5, 16, 64, 10000}) {
                bool ok = false;
                EXPECT_EQ(Decrypt(password, container, ok, decryptSize), plain)
                    << encryptSize << " " << length << " " << decryptSize;
                EXPECT_TRUE(ok);
            }
        }
    }
}

TEST(ContainerFormat, EachContainerGetsAFreshSalt) {
    const std::string plain = "the same text";
    TEncryption engine("salty", 64);
    const std::string a = Encrypt(engine, plain);
    const std::string b = Encrypt(engine, plain);
    const std::string c = Encrypt("salty", plain);
    EXPECT_NE(a.substr(0, 8), b.substr(0, 8));
    EXPECT_NE(a.substr(0, 8), c.substr(0, 8));
    EXPECT_NE(a, b);
    for (const std::string& container : {a, b, c}) {
        bool ok = false;
        EXPECT_EQ(Decrypt("salty", container, ok), plain);
        EXPECT_TRUE(ok);
    }
}

TEST(ContainerFormat, SaltGeneratorKeepsMovingPastItsPool) {
    // A constant entropy source makes the generator reproducible; its output must still
    // never repeat, including across the refresh after 260 bytes.
    TEncryption engine("pw", 16, FixedEntropy());
    TEncryption twin("pw", 16, FixedEntropy());
    std::vector<std::string> salts;
    for (int i = 0; i < 80; ++i) {
        const std::string salt = Encrypt(engine, "").substr(0, 8);
        EXPECT_EQ(Encrypt(twin, "").substr(0, 8), salt);
        for (const std::string& earlier : salts) ASSERT_NE(salt, earlier) << i;
        salts.push_back(salt);
    }
}

TEST(ContainerFormat, RejectsBufferSizeBelowOne) {
    EXPECT_THROW(TEncryption("pw", 0), std::invalid_argument);
    EXPECT_THROW(TEncryption("pw", -5), std::invalid_argument);
}

}  // namespace
