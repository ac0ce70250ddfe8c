// The output files: names (plain and gzip), line formats, the flags that leave
// files out, the tag-SNP list, and the diagnostics of inconsistent data.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "common/exceptions.h"
#include "simulator/vorlanerator.h"
#include "support/simulator_fixture.h"
#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;

// Three SNPs at 1000, 2000, 3000; two controls and two cases set by hand.
struct WriterFixture {
    TempDir dir;
    Vorlanerator sim;

    explicit WriterFixture(int ncases = 2)
        : sim(make_parameters(dir.path(), 2, ncases, 0.5), make_panel({{0, 1}, {1, 0}, {1, 1}}, {0.0, 1.0, 2.0})) {
        const std::vector<std::vector<int>> haplotypes = {{0, 1, 0}, {1, 1, 0}, {0, 0, 1}, {1, 0, 1},
                                                          {1, 1, 1}, {0, 1, 1}, {0, 0, 0}, {1, 0, 0}};
        sim.simulated_haplotypes.reset(3, 4 + 2 * static_cast<std::size_t>(ncases));
        for (std::size_t h = 0; h < 4 + 2 * static_cast<std::size_t>(ncases); ++h)
            sim.simulated_haplotypes.push_back(h < haplotypes.size() ? haplotypes[h] : std::vector<int>{0, 0, 0});
        sim.simulated_phenotypes = {0, 0};
        sim.simulated_phenotypes.resize(2 + ncases, 1);
    }

    std::string file(const std::string& name) const { return read_file(dir.file(name)); }
    std::string transcript() const { return file("sim.summary"); }
};

const char* const controls_gen =
    "snp_0 rs1 1000 A G 0 1 0 0 1 0\nsnp_1 rs2 2000 A G 0 0 1 1 0 0\nsnp_2 rs3 3000 A G 1 0 0 0 0 1\n";
const char* const cases_gen =
    "snp_0 rs1 1000 A G 0 1 0 0 1 0\nsnp_1 rs2 2000 A G 0 0 1 1 0 0\nsnp_2 rs3 3000 A G 0 0 1 1 0 0\n";

}  // namespace

TEST(OutputHaplotypes, WritesEveryFileInItsFormat) {
    WriterFixture f;
    // Repeats, any order, a position off the panel, no final line end.
    write_file(f.dir.file("tags.txt"), "2000\n1000 77 2000\n3000");
    f.sim.params.tag_file = f.dir.file("tags.txt");
    f.sim.params.given_flags.insert("-t");
    f.sim.read_tag_snps();
    f.sim.output_haplotypes();

    EXPECT_EQ(f.file("sim.controls.haps"), "0 1 0 1 \n1 1 0 0 \n0 0 1 1 \n");
    EXPECT_EQ(f.file("sim.cases.haps"), "1 0 0 1 \n1 1 0 0 \n1 1 0 0 \n");
    EXPECT_EQ(f.file("sim.legend"), "rs pos X0 X1\nrs1 1000 A G\nrs2 2000 A G\nrs3 3000 A G\n");
    EXPECT_EQ(f.file("sim.controls.gen"), controls_gen);
    EXPECT_EQ(f.file("sim.cases.gen"), cases_gen);
    EXPECT_EQ(f.file("sim.controls.tags.gen"), controls_gen);
    EXPECT_EQ(f.file("sim.cases.tags.gen"), cases_gen);
    EXPECT_EQ(f.file("sim.controls.sample"), "ID_1 ID_2 missing pheno\n0 0 0 B\nid1_0 id2_0 0 0\nid1_1 id2_1 0 0\n");
    EXPECT_EQ(f.file("sim.cases.sample"), "ID_1 ID_2 missing pheno\n0 0 0 B\nid1_2 id2_2 0 1\nid1_3 id2_3 0 1\n");

    const std::string log = "writing output file " + f.dir.file("sim");
    EXPECT_EQ(f.transcript(), "\nWriting output to files \n" + log + ".controls.haps\n" + log + ".cases.haps\n" + log +
                                  ".legend\n" + log + ".controls.gen\n" + log + ".cases.gen\n" + log +
                                  ".controls.tags.gen\n" + log + ".cases.tags.gen\n" + log + ".controls.sample\n" +
                                  log + ".cases.sample\n");
}

TEST(OutputHaplotypes, GzipNameCompressesDataFilesOnly) {
    WriterFixture plain;
    plain.sim.output_haplotypes();

    for (const bool in_directory : {true, false}) {
        WriterFixture f;
        const fs::path directory = in_directory ? f.dir.path() / "out" : fs::path();
        fs::create_directories(f.dir.path() / "out");
        f.sim.params.output_file = directory / "sim.gz";
        f.sim.params.output_directory = directory;
        const fs::path previous = fs::current_path();
        if (!in_directory) fs::current_path(f.dir.path() / "out");
        f.sim.output_haplotypes();
        fs::current_path(previous);

        const fs::path out = f.dir.path() / "out";
        for (const char* name : {"sim.controls.haps", "sim.cases.haps", "sim.controls.gen", "sim.cases.gen"}) {
            EXPECT_EQ(read_gzip_file((out / (std::string(name) + ".gz")).string()), plain.file(name)) << name;
            EXPECT_FALSE(fs::exists(out / name)) << name;
        }
        for (const char* name : {"sim.legend", "sim.controls.sample", "sim.cases.sample"})
            EXPECT_EQ(read_file((out / name).string()), plain.file(name)) << name;
        EXPECT_FALSE(fs::exists(out / "sim.gz.legend"));
    }
}

TEST(OutputHaplotypes, FlagsLeaveFilesOut) {
    WriterFixture f;
    f.sim.params.given_flags.insert("-no_haps_output");
    f.sim.params.given_flags.insert("-no_gens_output");
    f.sim.output_haplotypes();
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(f.dir.path())) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"sim.cases.sample", "sim.controls.sample", "sim.summary"}));
}

TEST(OutputHaplotypes, NoCasesGiveEmptyHaplotypeLinesAndHeaderOnlySamples) {
    WriterFixture f(0);
    f.sim.output_haplotypes();
    EXPECT_EQ(f.file("sim.cases.haps"), "\n\n\n");
    EXPECT_EQ(f.file("sim.cases.gen"), "snp_0 rs1 1000 A G\nsnp_1 rs2 2000 A G\nsnp_2 rs3 3000 A G\n");
    EXPECT_EQ(f.file("sim.cases.sample"), "ID_1 ID_2 missing pheno\n0 0 0 B\n");
}

TEST(OutputHaplotypes, TagFileIsReadOnceBeforeTheWriting) {
    const struct {
        const char* content;  // nullptr: no file at all
        const char* reason;
    } bad[] = {{nullptr, "can't open file."}, {"1000 2000x 3000\n", "bad tag position on line 1."}};
    for (const auto& c : bad) {
        WriterFixture f;
        const std::string tags = f.dir.file("tags.txt");
        if (c.content != nullptr) write_file(tags, c.content);
        f.sim.params.tag_file = tags;
        try {
            f.sim.read_tag_snps();
            ADD_FAILURE() << c.reason;
        } catch (const badfilename& e) {
            EXPECT_EQ(e.message, "Error reading file " + tags + ": " + c.reason);
        }
    }
    // The writers use the positions as read, whatever becomes of the file.
    WriterFixture f;
    write_file(f.dir.file("tags.txt"), "3000 1000\n");
    f.sim.params.tag_file = f.dir.file("tags.txt");
    f.sim.params.given_flags.insert("-t");
    f.sim.read_tag_snps();
    EXPECT_EQ(f.sim.tag_snps, (std::vector<int>{0, 2}));
    fs::remove(f.dir.file("tags.txt"));
    f.sim.output_haplotypes();
    EXPECT_EQ(f.file("sim.cases.tags.gen"), "snp_0 rs1 1000 A G 0 1 0 0 1 0\nsnp_2 rs3 3000 A G 0 0 1 1 0 0\n");
}

TEST(OutputHaplotypes, MissingIndividualsAreReportedWithoutStopping) {
    WriterFixture f;
    f.sim.params.ncases = 3;  // one individual more than simulated
    f.sim.output_haplotypes();
    const std::string transcript = f.transcript();
    EXPECT_NE(transcript.find("something has gone wrong in output_haplotypes: simulated_haplotypes.size()/2 != "
                              "(params.ncontrols+params.ncases)\n"),
              std::string::npos);
    EXPECT_EQ(f.file("sim.controls.haps"), "0 1 0 1 \n1 1 0 0 \n0 0 1 1 \n");
    // The missing individual has no haplotypes to write but keeps its sample line.
    EXPECT_EQ(f.file("sim.cases.gen"),
              "snp_0 rs1 1000 A G 0 1 0 0 1 0\nsnp_1 rs2 2000 A G 0 0 1 1 0 0\nsnp_2 rs3 3000 A G 0 0 1 1 0 0\n");
    EXPECT_NE(f.file("sim.cases.sample").find("id1_4 id2_4 0 1\n"), std::string::npos);
}

TEST(OutputSnpDataVeliskFormat, AppendsOneGenotypeLine) {
    WriterFixture f;
    std::ostringstream line;
    line << "before ";
    const auto second = std::next(f.sim.panel_data.snps_data.begin());
    f.sim.output_snp_data_velisk_format(second, 1, 2, 6, line);
    EXPECT_EQ(line.str(), "before snp_1 rs2 2000 A G 1 0 0 0 0 1\n");
}
