// What DecryptStream and EncryptStream do with bad pass phrases, damaged or short
// containers, failing streams and failing callbacks.
#include <gtest/gtest.h>

#include <random>

#include "ContainerHelpers.h"
#include "MemoryStreams.h"

namespace {

const std::string kPassword = "pedvorunla";

std::string SampleContainer(std::size_t length = 1000) {
    return Encrypt(kPassword, PatternBytes(length, 11));
}

TEST(ContainerFailure, WrongPassPhraseWritesNothingAndReadsNoCiphertext) {
    const std::string container = SampleContainer();
    // One wrong pass phrase in 65536 passes the 2-byte verifier; pick one that does not.
    std::string wrong = "wrong0";
    for (char c = '0'; c <= '9'; ++c) {
        wrong.back() = c;
        const Derived keys = DeriveKeys(wrong, container.substr(0, 8), 1);
        if (keys.verifier != container.substr(8, 2)) break;
    }
    TEncryption engine(wrong, 64);
    int ciphertextReads = 0;
    engine.OnProgress = [&](TEncryption&, std::int32_t code, std::int64_t) {
        if (code == TEncryption::kProgressDecrypted) ++ciphertextReads;
    };
    MemorySource source(container);
    StringTarget target;
    EXPECT_FALSE(engine.DecryptStream(source, &target, source.Size()));
    EXPECT_TRUE(target.Bytes().empty());
    EXPECT_EQ(source.Position(), 10u);
    EXPECT_EQ(ciphertextReads, 0);
}

TEST(ContainerFailure, FlippedCiphertextBitWritesEverythingThenFails) {
    const std::string plain = PatternBytes(1000, 11);
    std::string container = Encrypt(kPassword, plain);
    container[10 + 500] ^= 0x04;
    bool ok = true;
    const std::string out = Decrypt(kPassword, container, ok);
    EXPECT_FALSE(ok);
    std::string expected = plain;
    expected[500] ^= 0x04;
    EXPECT_EQ(out, expected);
}

TEST(ContainerFailure, ChangedCodeWritesEverythingThenFails) {
    const std::string plain = PatternBytes(1000, 11);
    std::string container = Encrypt(kPassword, plain);
    container.back() ^= 0x80;
    bool ok = true;
    EXPECT_EQ(Decrypt(kPassword, container, ok), plain);
    EXPECT_FALSE(ok);
}

TEST(ContainerFailure, CheckWithoutTargetTellsGoodFromBad) {
    TEncryption engine(kPassword, 100);
    std::string container = SampleContainer();
    MemorySource good(container);
    EXPECT_TRUE(engine.DecryptStream(good, nullptr, good.Size()));
    EXPECT_EQ(good.Position(), container.size());
    container[container.size() / 2] ^= 1;
    MemorySource bad(container);
    EXPECT_FALSE(engine.DecryptStream(bad, nullptr, bad.Size()));
}

TEST(ContainerFailure, SourceShorterThanHeaderAndCodeReadsNothing) {
    const std::string container = Encrypt(kPassword, "");
    const std::string cut = container.substr(0, 19);
    MemorySource source(cut);
    StringTarget target;
    TEncryption engine(kPassword, 64);
    EXPECT_FALSE(engine.DecryptStream(source, &target, source.Size()));
    EXPECT_EQ(source.Position(), 0u);
    EXPECT_TRUE(target.Bytes().empty());
}

TEST(ContainerFailure, ReadErrorAtAnyPointEndsWithFalse) {
    const std::string plain = PatternBytes(300, 5);
    const std::string container = Encrypt(kPassword, plain);
    for (std::size_t limit = 0; limit < container.size(); limit += 7) {
        FailingSource source(container, limit);
        StringTarget target;
        TEncryption engine(kPassword, 32);
        EXPECT_FALSE(engine.DecryptStream(source, &target, source.Size())) << limit;
        EXPECT_EQ(target.Bytes(), plain.substr(0, target.Bytes().size()));
    }
    for (std::size_t limit = 0; limit < plain.size(); limit += 7) {
        FailingSource source(plain, limit);
        StringTarget target;
        TEncryption engine(kPassword, 32);
        EXPECT_FALSE(engine.EncryptStream(source, target)) << limit;
        EXPECT_LE(target.Bytes().size(), 10 + limit);
    }
}

TEST(ContainerFailure, WriteErrorAtAnyPointEndsWithFalseKeepingWhatWasWritten) {
    const std::string plain = PatternBytes(300, 5);
    const std::string container = Encrypt(kPassword, plain);
    TEncryption twin(kPassword, 32, FixedEntropy());
    const std::string whole = Encrypt(twin, plain);
    for (std::size_t limit = 0; limit < whole.size(); limit += 7) {
        MemorySource source(plain);
        FailingTarget target(limit);
        TEncryption engine(kPassword, 32, FixedEntropy());
        EXPECT_FALSE(engine.EncryptStream(source, target)) << limit;
        // What was written is the head of the complete container with the same salt.
        EXPECT_EQ(target.Bytes(), whole.substr(0, target.Bytes().size()));
        EXPECT_GT(target.Bytes().size() + 32, limit);
    }
    for (std::size_t limit = 0; limit < plain.size(); limit += 7) {
        MemorySource source(container);
        FailingTarget target(limit);
        TEncryption engine(kPassword, 32);
        EXPECT_FALSE(engine.DecryptStream(source, &target, source.Size())) << limit;
        EXPECT_EQ(target.Bytes(), plain.substr(0, target.Bytes().size()));
        EXPECT_GT(target.Bytes().size() + 32, limit);
    }
}

TEST(ContainerFailure, ProgressReportsStartAndEachRead) {
    const std::string container = SampleContainer(100);
    TEncryption engine(kPassword, 32);
    std::vector<std::pair<std::int32_t, std::int64_t>> reports;
    engine.OnProgress = [&](TEncryption&, std::int32_t code, std::int64_t value) {
        reports.emplace_back(code, value);
    };
    MemorySource source(container);
    ASSERT_TRUE(engine.DecryptStream(source, nullptr, source.Size()));
    using R = std::pair<std::int32_t, std::int64_t>;
    EXPECT_EQ(reports, (std::vector<R>{{1, -120}, {5, 32}, {5, 32}, {5, 32}, {5, 4}}));

    reports.clear();
    const std::string plain = PatternBytes(70);
    MemorySource plainSource(plain);
    StringTarget target;
    ASSERT_TRUE(engine.EncryptStream(plainSource, target));
    EXPECT_EQ(reports, (std::vector<R>{{4, 32}, {4, 64}, {4, 70}}));
}

TEST(ContainerFailure, CallbackErrorAtStartReachesTheCaller) {
    const std::string container = SampleContainer();
    TEncryption engine(kPassword, 64);
    engine.OnProgress = [](TEncryption&, std::int32_t code, std::int64_t) {
        if (code == TEncryption::kProgressStart) throw std::runtime_error("cancelled");
    };
    MemorySource source(container);
    EXPECT_THROW(engine.DecryptStream(source, nullptr, source.Size()), std::runtime_error);
    EXPECT_EQ(source.Position(), 0u);
}

TEST(ContainerFailure, CallbackErrorDuringTheWorkMeansFalse) {
    const std::string plain = PatternBytes(100);
    const std::string container = Encrypt(kPassword, plain);
    TEncryption engine(kPassword, 32);
    engine.OnProgress = [](TEncryption&, std::int32_t code, std::int64_t value) {
        if (code != TEncryption::kProgressStart && value >= 32) throw std::runtime_error("stop");
    };
    MemorySource source(container);
    StringTarget target;
    EXPECT_FALSE(engine.DecryptStream(source, &target, source.Size()));
    EXPECT_TRUE(target.Bytes().empty());
    MemorySource plainSource(plain);
    StringTarget encrypted;
    EXPECT_FALSE(engine.EncryptStream(plainSource, encrypted));
    EXPECT_EQ(encrypted.Bytes().size(), 10u);
    // The same object works again once the callback is gone.
    engine.OnProgress = nullptr;
    MemorySource again(container);
    EXPECT_TRUE(engine.DecryptStream(again, nullptr, again.Size()));
}

TEST(ContainerFailure, ExtendedContainerFailsUnlessItsSizeIsGiven) {
    const std::string plain = PatternBytes(100);
    const std::string container = Encrypt(kPassword, plain) + "trailing";
    bool ok = true;
    Decrypt(kPassword, container, ok);
    EXPECT_FALSE(ok);
    MemorySource source(container);
    StringTarget target;
    TEncryption engine(kPassword, 64);
    EXPECT_TRUE(engine.DecryptStream(source, &target, source.Size() - 8));
    EXPECT_EQ(target.Bytes(), plain);
}

TEST(ContainerFailure, ArbitraryBytesOfEveryShortLengthAreRejected) {
    std::mt19937 random(2024);
    TEncryption engine(kPassword, 16);
    for (std::size_t length = 0; length <= 64; ++length) {
        for (int round = 0; round < 4; ++round) {
            std::string bytes(length, '\0');
            for (char& c : bytes) c = static_cast<char>(random());
            MemorySource source(bytes);
            StringTarget target;
            EXPECT_FALSE(engine.DecryptStream(source, &target, source.Size())) << length;
            EXPECT_LE(target.Bytes().size(), length < 20 ? 0 : length - 20);
        }
    }
}

TEST(ContainerFailure, TruncatedContainersAreRejected) {
    const std::string container = SampleContainer(64);
    TEncryption engine(kPassword, 16);
    for (std::size_t length = 0; length < container.size(); ++length) {
        const std::string cut = container.substr(0, length);
        MemorySource source(cut);
        EXPECT_FALSE(engine.DecryptStream(source, nullptr, source.Size())) << length;
        // Claiming the full size for a cut source must fail just the same.
        MemorySource claimed(cut);
        EXPECT_FALSE(engine.DecryptStream(claimed, nullptr, container.size())) << length;
    }
}

TEST(ContainerFailure, SourceClaimingMoreThanAskedIsRefused) {
    class Overclaiming : public ByteSource {
      public:
        std::size_t Read(std::uint8_t*, std::size_t count) override { return count + 1; }
        std::int64_t Size() const override { return 1000; }
    } source;
    TEncryption engine(kPassword, 16);
    StringTarget target;
    EXPECT_FALSE(engine.EncryptStream(source, target));
    EXPECT_EQ(target.Bytes().size(), 10u);
    EXPECT_FALSE(engine.DecryptStream(source, &target, source.Size()));
}

TEST(ContainerFailure, EntropySourceThatDeliversNothingIsAnError) {
    const EntropySource dry = [](std::uint8_t*, std::size_t) { return std::size_t{0}; };
    EXPECT_THROW(TEncryption(kPassword, 16, dry), std::runtime_error);
}

}  // namespace
