// The writers' workers: output files whose bytes never depend on how many
// there are.
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "simulator/support/program_run.h"
#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;

// The files of a run written with one worker and with all: the same bytes,
// compressed ones included (several gzip members, many chunks).
TEST(WriterWorkers, OutputBytesDoNotDependOnTheWorkers) {
    const fs::path examples = fs::path(VORLAN2_SOURCE_DIR) / "examples";
    const std::vector<std::string> words = {"-h",      (examples / "example.haps").string(),
                                            "-l",      (examples / "example.legend").string(),
                                            "-m",      (examples / "example.map").string(),
                                            "-t",      (examples / "example.tags").string(),
                                            "-o",      "run.gz",
                                            "-n",      "1100",
                                            "1100",    "-int",
                                            "1000000", "2000000",
                                            "-dl",     "1500000",
                                            "1",       "1.5",
                                            "2.25",    "-nrs"};
    TempDir one;
    TempDir all;
    ASSERT_EQ(run_vorlan2_program(words, one.path(),
                                  [] {
                                      if (!pin_to_first_cpu()) _exit(126);
                                  })
                  .status,
              0);
    ASSERT_EQ(run_vorlan2_program(words, all.path()).status, 0);
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(one.path())) {
        const std::string name = entry.path().filename().string();
        if (name == "run.gz.summary") continue;
        EXPECT_EQ(read_file(entry.path().string()), read_file(all.file(name))) << name;
        ++compared;
    }
    EXPECT_EQ(compared, 9);
    EXPECT_GT(fs::file_size(one.file("run.controls.haps.gz")), 0u);
    EXPECT_GT(read_gzip_file(one.file("run.controls.gen.gz")).size(), 3u * (4u << 20));
}

}  // namespace
