// Seed files of MT: the file written, the stream continued after reading it back, the
// copy-to-disk flag, and every failure of writing and reading.
#include "random/mt.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "random/random.h"
#include "support/ranvar_error_check.h"
#include "support/temp_dir.h"

namespace {

const char kMarker[] = "!Ranvar03!";

std::string Hex8(std::uint32_t v) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(v));
    return text;
}

// The seed file of a state, formatted here independently of the writer under test.
std::string MtFile(const std::vector<std::uint32_t>& words, std::uint32_t position) {
    std::string content = kMarker;
    for (const std::uint32_t w : words) content += Hex8(w);
    content += Hex8(position);
    return content + kMarker + "\n";
}

// The state of a std::mt19937 as libstdc++ prints it: the 624 words, then the position.
std::string MtFileOf(const std::mt19937& reference) {
    std::stringstream state;
    state << reference;
    std::vector<std::uint32_t> words(624);
    for (std::uint32_t& w : words) state >> w;
    std::uint32_t position = 0;
    state >> position;
    return MtFile(words, position);
}

class SeedFileTest : public ::testing::Test {
protected:
    void SetUp() override { Random::SetDirectory(dir.WithSeparator().c_str()); }
    void TearDown() override {
        Random::SetDirectory("");
        Random::Set(*Random::Dummy);
    }

    std::string Read(const char* name) const {
        std::ifstream in(dir.File(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void Write(const char* name, const std::string& content) const {
        std::ofstream(dir.File(name), std::ios::binary) << content;
    }
    bool Exists(const char* name) const { return std::filesystem::exists(dir.File(name)); }

    TempDir dir;
};

TEST_F(SeedFileTest, WrittenFileHoldsTheWordsAndThePosition) {
    MT generator(0.12345);
    Random::Set(generator);
    std::mt19937 reference(530213712u);
    Random::CopySeedToDisk();
    std::string content = Read("mt19937.txt");
    EXPECT_EQ(content.size(), 10u + 5000u + 10u + 1u);
    EXPECT_EQ(content.substr(0, 18), "!Ranvar03!1F9A6B50");
    EXPECT_EQ(content, MtFileOf(reference));

    for (int i = 0; i < 700; ++i) {
        generator.Next();
        reference();
    }
    Random::CopySeedToDisk();
    content = Read("mt19937.txt");
    EXPECT_EQ(content.substr(content.size() - 19), "0000004C!Ranvar03!\n");
    EXPECT_EQ(content, MtFileOf(reference));
}

TEST_F(SeedFileTest, ReadingBackContinuesTheStream) {
    for (const int drawn : {0, 1, 623, 624, 1000}) {
        MT generator(0.3);
        Random::Set(generator);
        for (int i = 0; i < drawn; ++i) generator.Next();
        Random::CopySeedToDisk();
        std::vector<double> expected(1500);
        for (double& u : expected) u = generator.Next();
        MT other(0.9);
        Random::Set(other);
        Random::CopySeedFromDisk(false);
        for (std::size_t i = 0; i < expected.size(); ++i) {
            ASSERT_EQ(Random::RNG->Next(), expected[i]) << "after " << drawn << " draws, draw " << i;
        }
    }
}

TEST_F(SeedFileTest, DigitsSplitByWhiteSpaceStillRead) {
    std::mt19937 reference(2147483648u);
    std::string content = MtFileOf(reference);
    std::string spread;
    for (std::size_t i = 0; i < content.size(); ++i) {
        spread += content[i];
        if (i % 7 == 3) spread += i % 2 ? " " : "\n\t";
    }
    Write("mt19937.txt", "  \n" + spread);
    MT generator(0.9);
    Random::Set(generator);
    Random::CopySeedFromDisk(false);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(generator.ulNext(), reference());
}

TEST_F(SeedFileTest, StoredStateDecidesTheDraws) {
    // 0x12DD9BB3 tempers to 0xFFFFFFFF (inverse tempering computed in python3 over GF(2)).
    std::vector<std::uint32_t> words(624, 0u);
    words[1] = 0x12DD9BB3u;
    Write("mt19937.txt", MtFile(words, 0));
    MT generator(0.5);
    Random::Set(generator);
    Random::CopySeedFromDisk(false);
    EXPECT_EQ(generator.Next(), 1.1641532182693481e-10);
    EXPECT_EQ(generator.Next(), 0.9999999998835847);
}

TEST_F(SeedFileTest, StoredNeverSeededPositionSeedsWithTheDefault) {
    Write("mt19937.txt", MtFile(std::vector<std::uint32_t>(624, 7u), 625));
    MT generator(0.5);
    Random::Set(generator);
    Random::CopySeedFromDisk(false);
    EXPECT_EQ(generator.ulNext(), 3499211612ul);  // MT19937's first output for seed 5489
}

TEST_F(SeedFileTest, LoadingWithCopyFlagSavesTheStateOnDestruction) {
    std::mt19937 reference(1288490188u);  // the seed word of 0.3
    Write("mt19937.txt", MtFileOf(reference));
    {
        MT generator(0.7);
        Random::Set(generator);
        Random::CopySeedFromDisk(true);
        for (int i = 0; i < 10; ++i) ASSERT_EQ(generator.ulNext(), reference());
    }
    EXPECT_EQ(Read("mt19937.txt"), MtFileOf(reference));
    EXPECT_EQ(Random::RNG, Random::Dummy);

    {
        MT generator(0.7);
        Random::Set(generator);
        Random::CopySeedFromDisk(false);
        generator.Next();
    }
    EXPECT_EQ(Read("mt19937.txt"), MtFileOf(reference));
}

TEST_F(SeedFileTest, FailedReadLeavesTheCopyFlagFalse) {
    Write("mt19937.txt", MtFileOf(std::mt19937(5u)));
    {
        MT generator(0.7);
        Random::Set(generator);
        Random::CopySeedFromDisk(true);
        Write("mt19937.txt", "!Ranvar03!");
        EXPECT_ANY_THROW(Random::CopySeedFromDisk(true));
        std::filesystem::remove(dir.File("mt19937.txt"));
    }
    EXPECT_FALSE(Exists("mt19937.txt"));
}

TEST_F(SeedFileTest, FailedWriteOnDestructionIsReportedAndTheGeneratorUninstalled) {
    Write("mt19937.txt", MtFileOf(std::mt19937(5u)));
    testing::internal::CaptureStderr();
    {
        MT generator(0.7);
        Random::Set(generator);
        Random::CopySeedFromDisk(true);
        Random::SetDirectory((dir.WithSeparator() + "missing/").c_str());
    }
    const std::string report = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Random::RNG, Random::Dummy);
    EXPECT_NE(report.find("MT19937: seed file not written"), std::string::npos) << report;
    EXPECT_NE(report.find("Ranvar: can't access seed file"), std::string::npos) << report;
}

TEST_F(SeedFileTest, BadFilesAreRefusedOnReading) {
    std::mt19937 reference(99u);
    const std::string good = MtFileOf(reference);
    const std::string digits = good.substr(10, 5000);
    const std::vector<std::uint32_t> zeros(624, 0u);
    std::string lower = good;
    lower.replace(10, 8, "1f9a6b50");
    std::string not_hex = good;
    not_hex[200] = 'G';

    const char* cannot_open = "Ranvar: can't open seed file";
    const char* verification = "Ranvar: seed file verification fails";
    const char* invalid = "ranvar: invalid character in unhex";
    const struct {
        const char* what;
        std::string content;
        const char* message;
    } cases[] = {
        {"empty file", "", verification},
        {"blanks only", " \n\n ", verification},
        {"no marker", "#Ranvar03!" + digits + kMarker + "\n", verification},
        {"wrong marker", "!Ranvar02!" + digits + kMarker + "\n", verification},
        {"ends inside the marker", "!Ranv", verification},
        {"ends inside the digits", std::string(kMarker) + digits.substr(0, 100), cannot_open},
        {"ends after the digits", std::string(kMarker) + digits, verification},
        {"wrong closing marker", std::string(kMarker) + digits + "!Ranvar04!\n", verification},
        {"lower-case digits", lower, invalid},
        {"not a digit", not_hex, invalid},
        {"position beyond never seeded", MtFile(zeros, 626), verification},
        {"negative position", MtFile(zeros, 0xFFFFFFFFu), verification},
    };
    MT generator(0.5);
    Random::Set(generator);
    EXPECT_TRUE(Raises<RBD_COMMON::Runtime_error>([] { Random::CopySeedFromDisk(false); }, cannot_open))
        << "missing file";
    for (const auto& c : cases) {
        Write("mt19937.txt", c.content);
        EXPECT_TRUE(Raises<RBD_COMMON::Runtime_error>([] { Random::CopySeedFromDisk(false); }, c.message)) << c.what;
    }
    // The words are taken as they are read, the refused position is not: the next draw
    // continues at the old position, now in all-zero words.
    MT::init_genrand(99u);
    for (int i = 0; i < 10; ++i) generator.ulNext();
    Write("mt19937.txt", MtFile(zeros, 0xFFFFFFFFu));
    EXPECT_ANY_THROW(Random::CopySeedFromDisk(false));
    EXPECT_EQ(generator.ulNext(), 0ul);
}

TEST_F(SeedFileTest, FileThatIsNotASeedFileIsNeverOverwritten) {
    MT generator(0.5);
    Random::Set(generator);
    const std::string foreign = "# my notes\n!Ranvar03!\n";
    Write("mt19937.txt", foreign);
    EXPECT_TRUE(
        Raises<RBD_COMMON::Runtime_error>([] { Random::CopySeedToDisk(); }, "Ranvar: seed file verification fails"));
    EXPECT_EQ(Read("mt19937.txt"), foreign);

    Write("mt19937.txt", "!Ranvar0");
    EXPECT_TRUE(
        Raises<RBD_COMMON::Runtime_error>([] { Random::CopySeedToDisk(); }, "Ranvar: seed file verification fails"));
    EXPECT_EQ(Read("mt19937.txt"), "!Ranvar0");
}

TEST_F(SeedFileTest, EmptyOrEarlierSeedFileIsOverwritten) {
    MT generator(0.12345);
    Random::Set(generator);
    const std::string expected = MtFileOf(std::mt19937(530213712u));
    Write("mt19937.txt", "");
    Random::CopySeedToDisk();
    EXPECT_EQ(Read("mt19937.txt"), expected);
    Write("mt19937.txt", MtFileOf(std::mt19937(5u)) + "trailing text");
    Random::CopySeedToDisk();
    EXPECT_EQ(Read("mt19937.txt"), expected);
}

TEST_F(SeedFileTest, FileThatCannotBeWrittenIsReported) {
    MT generator(0.5);
    Random::Set(generator);
    const char* cannot_access = "Ranvar: can't access seed file";
    Random::SetDirectory((dir.WithSeparator() + "missing/").c_str());
    EXPECT_TRUE(Raises<RBD_COMMON::Runtime_error>([] { Random::CopySeedToDisk(); }, cannot_access));
    Random::SetDirectory(dir.WithSeparator().c_str());

    // A file-size limit makes the write fail when the buffered content reaches the file.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 1000;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool raised = Raises<RBD_COMMON::Runtime_error>([] { Random::CopySeedToDisk(); }, cannot_access);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_TRUE(raised);
}

TEST_F(SeedFileTest, DirectoryIsCheckedFirstThenTheGenerator) {
    const char* not_defined = "Ranvar: directory not defined";
    const char* not_setup = "Ranvar: uniform rng not setup";
    EXPECT_TRUE(Raises<RBD_COMMON::Runtime_error>([] { Random::CopySeedToDisk(); }, not_setup));
    EXPECT_TRUE(Raises<RBD_COMMON::Runtime_error>([] { Random::CopySeedFromDisk(false); }, not_setup));
    Random::SetDirectory("");
    EXPECT_TRUE(Raises<RBD_COMMON::Logic_error>([] { Random::CopySeedToDisk(); }, not_defined));
    EXPECT_TRUE(Raises<RBD_COMMON::Logic_error>([] { Random::CopySeedFromDisk(false); }, not_defined));
    MT generator(0.5);
    Random::Set(generator);
    EXPECT_TRUE(Raises<RBD_COMMON::Logic_error>([] { Random::CopySeedToDisk(); }, not_defined));
    EXPECT_TRUE(Raises<RBD_COMMON::Logic_error>([] { Random::CopySeedFromDisk(true); }, not_defined));
}

}  // namespace
