// The output-file opener (plain and gzip), checked completion of a file, and
// the transcript flush.
#include "simulator/output_file.h"

#include <gtest/gtest.h>

#include "simulator/exceptions.h"
#include "simulator/parameters.h"
#include "simulator/support/test_files.h"

namespace {

TEST(OutputFileTest, GzipOnlyWhenTheLastComponentEndsInDotGz) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"run.gz", true},        {"out/run.controls.haps.gz", true}, {"run.GZ", false}, {"run.gz/file", false},
        {"run.gzip", false},     {"run", false},                     {".gz", true},     {"a.b.gz", true},
        {"dir.gz/run.txt", false}};
    for (const auto& [name, gzip] : cases) EXPECT_EQ(is_gzip_name(name), gzip) << name;
}

TEST(OutputFileTest, PlainFileIsWrittenAndLogged) {
    TempDir dir;
    std::ostringstream log;
    auto stream = open_output_file(dir.file("a.txt"), log, std::ios::out);
    *stream << "hello\n";
    finish_output_file(stream, dir.file("a.txt"));
    EXPECT_EQ(read_file(dir.file("a.txt")), "hello\n");
    EXPECT_EQ(log.str(), "writing output file " + dir.file("a.txt") + "\n");
}

TEST(OutputFileTest, GzipFileHasDefaultHeaderAndDecompresses) {
    TempDir dir;
    std::ostringstream log;
    auto stream = open_output_file(dir.file("a.gz"), log, std::ios::out);
    std::string content;
    for (int i = 0; i < 10000; ++i) content += std::to_string(i) + " 0 1 0\n";
    *stream << content;
    finish_output_file(stream, dir.file("a.gz"));
    EXPECT_EQ(log.str(), "writing output file " + dir.file("a.gz") + " (in gzip mode) \n");
    const std::string bytes = read_file(dir.file("a.gz"));
    ASSERT_GT(bytes.size(), 18u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0x1f);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0x8b);
    EXPECT_EQ(bytes[2], 8);  // deflate
    EXPECT_EQ(bytes[3], 0);  // no name, no comment
    EXPECT_EQ(bytes.substr(4, 4), std::string(4, '\0'));  // modification time 0
    EXPECT_EQ(read_gzip_file(dir.file("a.gz")), content);
}

TEST(OutputFileTest, LargeAndEmptyGzipContentDecompressesWhole) {
    TempDir dir;
    std::string large;
    for (long long i = 0; large.size() < (13u << 20); ++i) large += "snp_" + std::to_string(i * 7919 % 100003) + " 0 1 0\n";
    for (const std::string& text : {large, std::string()}) {
        auto stream = open_output_file(dir.file("b.gz"), std::ios::out);
        for (std::size_t at = 0; at < text.size(); at += 100000) *stream << text.substr(at, 100000);
        finish_output_file(stream, dir.file("b.gz"));
        EXPECT_EQ(read_gzip_file(dir.file("b.gz")), text);
        EXPECT_EQ(std::system(("gzip -t " + dir.file("b.gz")).c_str()), 0);
    }
}

TEST(OutputFileTest, AppendModeAppendsAndOutputModeTruncates) {
    TempDir dir;
    write_file(dir.file("a.txt"), "old\n");
    auto stream = open_output_file(dir.file("a.txt"), std::ios::app);
    *stream << "new\n";
    finish_output_file(stream, dir.file("a.txt"));
    EXPECT_EQ(read_file(dir.file("a.txt")), "old\nnew\n");
    stream = open_output_file(dir.file("a.txt"), std::ios::out);
    finish_output_file(stream, dir.file("a.txt"));
    EXPECT_EQ(read_file(dir.file("a.txt")), "");
}

TEST(OutputFileTest, UnopenableFileRaisesAfterLogging) {
    TempDir dir;
    std::ostringstream log;
    const std::string path = dir.file("missing/a.txt");
    try {
        open_output_file(path, log, std::ios::out);
        FAIL() << "opened " << path;
    } catch (const badfilename& e) {
        EXPECT_EQ(e.message, "Error reading file " + path + ": can't open file.");
    }
    EXPECT_EQ(log.str(), "writing output file " + path + "\n");
}

TEST(OutputFileTest, FullDiskIsAFailureNamingTheFile) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    for (const std::string name : {"/dev/full"}) {
        auto stream = open_output_file(name, std::ios::out);
        *stream << std::string(1 << 20, 'x');
        try {
            finish_output_file(stream, name);
            FAIL() << "a write to " << name << " passed";
        } catch (const badfilename& e) {
            EXPECT_EQ(e.message, "Error reading file /dev/full: can't write file.");
        }
    }
}

TEST(OutputFileTest, FileThatVanishesWhileWrittenIsAFailure) {
    TempDir dir;
    for (const std::string name : {"a.txt", "a.gz"}) {
        const std::string path = dir.file(name);
        auto stream = open_output_file(path, std::ios::out);
        *stream << "lost\n";
        std::filesystem::remove(path);
        try {
            finish_output_file(stream, path);
            FAIL() << "a vanished " << name << " passed";
        } catch (const badfilename& e) {
            EXPECT_EQ(e.message, "Error reading file " + path + ": file vanished while it was written.");
        }
        // Replaced by another file of the same name: lost just the same.
        stream = open_output_file(path, std::ios::out);
        std::filesystem::rename(path, path + ".moved");
        write_file(path, "other\n");
        EXPECT_THROW(finish_output_file(stream, path), badfilename) << name;
    }
}

TEST(OutputFileTest, SummaryFlushMovesTheBufferToConsoleAndFile) {
    TempDir dir;
    VorlanParameters parameters;
    parameters.summary_file = dir.file("run.summary");
    std::ostringstream buffer;
    buffer << "first\n";
    testing::internal::CaptureStdout();
    update_summary_file(parameters, buffer, std::ios::app);
    update_summary_file(parameters, buffer, std::ios::app);
    buffer << "second\n";
    update_summary_file(parameters, buffer, std::ios::app);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "first\nsecond\n");
    EXPECT_EQ(read_file(parameters.summary_file), "first\nsecond\n");
    EXPECT_EQ(buffer.str(), "");
}

TEST(OutputFileTest, UnopenableSummaryKeepsTheBufferAndPrintsNothing) {
    TempDir dir;
    VorlanParameters parameters;
    parameters.summary_file = dir.file("absent/run.summary");
    std::ostringstream buffer;
    buffer << "kept\n";
    testing::internal::CaptureStdout();
    EXPECT_THROW(update_summary_file(parameters, buffer, std::ios::app), badfilename);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(buffer.str(), "kept\n");
}

}  // namespace
