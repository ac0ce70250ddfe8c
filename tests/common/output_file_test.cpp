// The output-file opener (plain and gzip) and checked completion of a file.
#include "common/output_file.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <random>
#include <regex>
#include <set>
#include <stdexcept>

#include "common/exceptions.h"
#include "common/worker_pool.h"
#include "support/test_files.h"

using namespace vorlan2;

namespace {

namespace fs = std::filesystem;

using Names = std::set<std::string>;

TEST(OutputFileTest, GzipOnlyWhenTheLastComponentEndsInDotGz) {
    const std::vector<std::pair<std::string, bool>> cases = {{"run.gz", true},
                                                             {"out/run.controls.haps.gz", true},
                                                             {"run.GZ", false},
                                                             {"run.gz/file", false},
                                                             {"run.gzip", false},
                                                             {"run", false},
                                                             {".gz", true},
                                                             {"a.b.gz", true},
                                                             {"dir.gz/run.txt", false}};
    for (const auto& [name, gzip] : cases) EXPECT_EQ(is_gzip_name(name), gzip) << name;
}

TEST(OutputFileTest, PlainFileIsWrittenAndLogged) {
    TempDir dir;
    std::ostringstream log;
    auto stream = open_output_file(dir.file("a.txt"), log, std::ios::out);
    *stream << "hello\n";
    stream->commit();
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
    stream->commit();
    EXPECT_EQ(log.str(), "writing output file " + dir.file("a.gz") + " (in gzip mode) \n");
    const std::string bytes = read_file(dir.file("a.gz"));
    ASSERT_GT(bytes.size(), 18u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0x1f);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0x8b);
    EXPECT_EQ(bytes[2], 8);                               // deflate
    EXPECT_EQ(bytes[3], 0);                               // no name, no comment
    EXPECT_EQ(bytes.substr(4, 4), std::string(4, '\0'));  // modification time 0
    EXPECT_EQ(read_gzip_file(dir.file("a.gz")), content);
}

TEST(OutputFileTest, LargeAndEmptyGzipContentDecompressesWhole) {
    TempDir dir;
    std::string large;
    for (long long i = 0; large.size() < (13u << 20); ++i)
        large += "snp_" + std::to_string(i * 7919 % 100003) + " 0 1 0\n";
    for (const std::string& text : {large, std::string()}) {
        auto stream = open_output_file(dir.file("b.gz"), std::ios::out);
        for (std::size_t at = 0; at < text.size(); at += 100000) *stream << text.substr(at, 100000);
        stream->commit();
        EXPECT_EQ(read_gzip_file(dir.file("b.gz")), text);
        EXPECT_EQ(std::system(("gzip -t " + dir.file("b.gz")).c_str()), 0);
    }
}

TEST(OutputFileTest, AppendModeAppendsAndOutputModeTruncates) {
    TempDir dir;
    write_file(dir.file("a.txt"), "old\n");
    auto stream = open_output_file(dir.file("a.txt"), std::ios::app);
    *stream << "new\n";
    stream->commit();
    EXPECT_EQ(read_file(dir.file("a.txt")), "old\nnew\n");
    stream = open_output_file(dir.file("a.txt"), std::ios::out);
    stream->commit();
    EXPECT_EQ(read_file(dir.file("a.txt")), "");
}

TEST(OutputFileTest, UnopenableFileRaisesWithTheSystemsReasonAfterLogging) {
    TempDir dir;
    fs::create_directory(dir.path() / "directory");
    write_file(dir.file("file"), "");
    fs::create_symlink("loop", dir.path() / "loop");
    const struct {
        const char* name;
        const char* reason;
    } cases[] = {
        {"missing/a.txt", "No such file or directory"},
        {"directory", "Is a directory"},
        {"file/a.txt", "Not a directory"},
        {"loop", "Too many levels of symbolic links"},
    };
    for (const auto mode : {std::ios::out, std::ios::app}) {
        for (const auto& c : cases) {
            const std::string path = dir.file(c.name);
            std::ostringstream log;
            try {
                open_output_file(path, log, mode);
                ADD_FAILURE() << "opened " << path;
            } catch (const badfilename& e) {
                EXPECT_EQ(e.message, "Error reading file " + path + ": can't open file (" + c.reason + ").");
            }
            EXPECT_EQ(log.str(), "writing output file " + path + "\n");
        }
    }
    EXPECT_EQ(file_names_in(dir.path()), (Names{"directory", "file", "loop"}));
}

TEST(OutputFileTest, ProtectedFileOrDirectoryIsNotReplaced) {
    TempDir dir;
    write_file(dir.file("read-only.txt"), "kept\n");
    fs::permissions(dir.file("read-only.txt"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::create_directory(dir.path() / "locked");
    write_file(dir.file("locked/a.txt"), "kept\n");
    fs::permissions(dir.file("locked/a.txt"), fs::perms::all);
    fs::permissions(dir.path() / "locked",
                    fs::perms::all & ~(fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write));
    {
        const Unprivileged user;
        for (const char* name : {"read-only.txt", "locked/a.txt"}) {
            try {
                open_output_file(dir.file(name), std::ios::out);
                ADD_FAILURE() << "replaced " << name;
            } catch (const badfilename& e) {
                EXPECT_EQ(e.message, "Error reading file " + dir.file(name) + ": can't open file (Permission denied).");
            }
        }
    }
    fs::permissions(dir.path() / "locked", fs::perms::all);
    EXPECT_EQ(read_file(dir.file("read-only.txt")), "kept\n");
    EXPECT_EQ(file_names_in(dir.path() / "locked"), (Names{"a.txt"}));
}

TEST(OutputFileTest, FileTakesItsNameOnlyWhenCommitted) {
    TempDir dir;
    for (const std::string name : {"a.txt", "a.gz"}) {
        write_file(dir.file(name), "an earlier run's file\n");
        auto stream = open_output_file(dir.file(name), std::ios::out);
        *stream << "new\n";
        stream->flush();
        // Written under a temporary name beside it; the earlier file untouched.
        EXPECT_EQ(read_file(dir.file(name)), "an earlier run's file\n");
        EXPECT_EQ(file_names_in(dir.path()).size(), 2u);
        stream->commit();
        EXPECT_EQ(file_names_in(dir.path()), (Names{name}));
        EXPECT_EQ(name == "a.gz" ? read_gzip_file(dir.file(name)) : read_file(dir.file(name)), "new\n");
        fs::remove(dir.file(name));
    }
}

TEST(OutputFileTest, LongestFileNameIsWrittenUnderAShortTemporaryName) {
    TempDir dir;
    const std::regex temporary("vorlan2\\.part" + std::to_string(getpid()) + "-[0-9]+");
    for (const std::string& name : {std::string(255, 'n'), std::string(252, 'z') + ".gz"}) {
        auto stream = open_output_file(dir.file(name), std::ios::out);
        *stream << "content\n";
        stream->flush();
        const Names during = file_names_in(dir.path());
        ASSERT_EQ(during.size(), 1u);
        EXPECT_TRUE(std::regex_match(*during.begin(), temporary)) << *during.begin();
        stream->commit();
        EXPECT_EQ(file_names_in(dir.path()), (Names{name}));
        fs::remove(dir.file(name));
    }
}

TEST(OutputFileTest, UncommittedFileIsRemovedAndTheEarlierOneKept) {
    TempDir dir;
    write_file(dir.file("kept.txt"), "an earlier run's file\n");
    try {
        auto fresh = open_output_file(dir.file("fresh.gz"), std::ios::out);
        auto replacing = open_output_file(dir.file("kept.txt"), std::ios::out);
        *fresh << std::string(5 << 20, 'x');
        *replacing << "half a file";
        throw std::runtime_error("the writer failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(file_names_in(dir.path()), (Names{"kept.txt"}));
    EXPECT_EQ(read_file(dir.file("kept.txt")), "an earlier run's file\n");
}

TEST(OutputFileTest, LinkedNameIsWrittenAtItsTargetWithItsPermissions) {
    TempDir dir;
    fs::create_directory(dir.path() / "elsewhere");
    write_file(dir.file("elsewhere/run.txt"), "old\n");
    const auto permissions = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(dir.file("elsewhere/run.txt"), permissions);
    fs::create_symlink("elsewhere/run.txt", dir.path() / "run.txt");

    auto stream = open_output_file(dir.file("run.txt"), std::ios::out);
    *stream << "new\n";
    EXPECT_EQ(file_names_in(dir.path() / "elsewhere").size(), 2u);  // the temporary beside the target
    stream->commit();
    EXPECT_TRUE(fs::is_symlink(dir.path() / "run.txt"));
    EXPECT_EQ(read_file(dir.file("elsewhere/run.txt")), "new\n");
    EXPECT_EQ(fs::status(dir.file("elsewhere/run.txt")).permissions(), permissions);
    EXPECT_EQ(file_names_in(dir.path() / "elsewhere"), (Names{"run.txt"}));
}

TEST(OutputFileTest, FullDeviceIsWrittenInPlaceAndIsAFailure) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    auto stream = open_output_file("/dev/full", std::ios::out);
    *stream << std::string(1 << 20, 'x');
    try {
        stream->commit();
        FAIL() << "a write to /dev/full passed";
    } catch (const badfilename& e) {
        EXPECT_EQ(e.message, "Error reading file /dev/full: can't write file (No space left on device).");
    }
}

TEST(OutputFileTest, FileTooLargeIsAFailureThatLeavesNoFile) {
    TempDir dir;
    // Hard to compress, so that the gzip file too passes the limit.
    std::mt19937 random(17);
    std::string content;
    while (content.size() < (6u << 20)) content += std::to_string(random()) + "\n";
    for (const std::string name : {"big.txt", "big.gz"}) {
        write_file(dir.file(name), "an earlier run's file\n");
        {
            const FileSizeLimit limit(1 << 20);
            auto stream = open_output_file(dir.file(name), std::ios::out);
            *stream << content;
            try {
                stream->commit();
                ADD_FAILURE() << name << " passed the file size limit";
            } catch (const badfilename& e) {
                EXPECT_EQ(e.message, "Error reading file " + dir.file(name) + ": can't write file (File too large).");
            }
        }
        EXPECT_EQ(file_names_in(dir.path()), (Names{name}));
        EXPECT_EQ(read_file(dir.file(name)), "an earlier run's file\n");
        fs::remove(dir.file(name));
    }
}

// Compressed on workers, a file has the bytes it has when compressed on the
// writing thread; too large, it fails the same way and leaves no file; never
// committed, it goes with its blocks in flight.
TEST(OutputFileTest, CompressedOnWorkersAsOnTheWritingThread) {
    TempDir dir;
    std::mt19937 random(29);
    std::string content;
    while (content.size() < (6u << 20)) content += std::to_string(random()) + "\n";
    auto alone = open_output_file(dir.file("alone.gz"), std::ios::out);
    *alone << content;
    alone->commit();
    for (const int count : {1, 8}) {
        WorkerPool workers(count);
        std::ostringstream log;
        auto stream = open_output_file(dir.file("workers.gz"), log, std::ios::out, &workers);
        *stream << content;
        stream->commit();
        EXPECT_EQ(log.str(), "writing output file " + dir.file("workers.gz") + " (in gzip mode) \n");
        EXPECT_EQ(read_file(dir.file("workers.gz")), read_file(dir.file("alone.gz"))) << count << " workers";
        {
            const FileSizeLimit limit(1 << 20);
            auto big = open_output_file(dir.file("big.gz"), log, std::ios::out, &workers);
            *big << content;
            try {
                big->commit();
                ADD_FAILURE() << "passed the file size limit on " << count << " workers";
            } catch (const badfilename& e) {
                EXPECT_EQ(e.message,
                          "Error reading file " + dir.file("big.gz") + ": can't write file (File too large).");
            }
        }
        {
            auto gone = open_output_file(dir.file("gone.gz"), log, std::ios::out, &workers);
            *gone << content;
        }
        EXPECT_EQ(file_names_in(dir.path()), (Names{"alone.gz", "workers.gz"})) << count << " workers";
    }
}

TEST(OutputFileTest, FileThatVanishesWhileWrittenIsAFailure) {
    TempDir dir;
    for (const std::string name : {"a.txt", "a.gz"}) {
        const std::string path = dir.file(name);
        auto stream = open_output_file(path, std::ios::out);
        *stream << "lost\n";
        for (const auto& temporary : file_names_in(dir.path())) fs::remove(dir.path() / temporary);
        try {
            stream->commit();
            FAIL() << "a vanished " << name << " passed";
        } catch (const badfilename& e) {
            EXPECT_EQ(e.message, "Error reading file " + path + ": file vanished while it was written.");
        }
        EXPECT_FALSE(fs::exists(path));
        // A file appended to is written in place: removing it loses it.
        write_file(path, "");
        stream = open_output_file(path, std::ios::app);
        fs::remove(path);
        EXPECT_THROW(stream->commit(), badfilename) << name;
    }
}

}  // namespace
