// SNP lines in chunks: planned on the writer's thread, turned and formatted
// on the workers, written in order.
#include "simulator/snp_lines.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <mutex>
#include <utility>

#include "common/ordered_tasks.h"

namespace vorlan2 {

namespace {

using Word = HaplotypeSet::Word;

// Transposes a 64 x 64 bit matrix in place: afterwards bit t of a[s] is what
// bit s of a[t] was.
void transpose64(Word a[64]) {
    Word mask = 0x00000000FFFFFFFFull;
    for (int j = 32; j != 0; j >>= 1, mask ^= mask << j) {
        for (int k = 0; k < 64; k = ((k | j) + 1) & ~j) {
            const Word t = ((a[k] >> j) ^ a[k | j]) & mask;
            a[k] ^= t << j;
            a[k | j] ^= t;
        }
    }
}

int words_for(int haplotypes) { return (haplotypes + 63) / 64; }

// The bits of lines [k0, k1), SNPs of one 64-SNP column, for the group's
// haplotypes [a, b): bit i of a line (haplotype first + a + i) is bit i % 64
// of word (k - k0) * words_for(b - a) + i / 64. Each row is read once for all
// the lines.
void turn_rows(const SnpLines& lines, std::size_t k0, std::size_t k1, int a, int b, std::vector<Word>& bits) {
    const int words = words_for(b - a);
    bits.assign((k1 - k0) * static_cast<std::size_t>(words), 0);
    const std::size_t column = static_cast<std::size_t>(lines.snps[k0] >> 6);
    Word block[64];
    for (int w = 0; w < words; ++w) {
        const int first = lines.first + a + 64 * w;
        const int rows = std::min(64, b - a - 64 * w);
        for (int t = 0; t < rows; ++t)
            block[t] = lines.haplotypes->row_words(static_cast<std::size_t>(first + t))[column];
        std::fill(block + rows, block + 64, Word{0});
        transpose64(block);
        for (std::size_t k = k0; k < k1; ++k)
            bits[(k - k0) * static_cast<std::size_t>(words) + static_cast<std::size_t>(w)] = block[lines.snps[k] & 63];
    }
}

// The text of 8 haplotypes (one byte of bits), and of the 4 individuals whose
// haplotypes they are.
struct Texts {
    std::array<std::array<char, 16>, 256> alleles;
    std::array<std::array<char, 24>, 256> genotypes;
};

const Texts& texts() {
    static const Texts table = [] {
        static const char triples[3][7] = {" 1 0 0", " 0 1 0", " 0 0 1"};
        Texts t{};
        for (int byte = 0; byte < 256; ++byte) {
            for (int i = 0; i < 8; ++i) {
                t.alleles[byte][2 * i] = static_cast<char>('0' + ((byte >> i) & 1));
                t.alleles[byte][2 * i + 1] = ' ';
            }
            for (int i = 0; i < 4; ++i) {
                const int copies = ((byte >> (2 * i)) & 1) + ((byte >> (2 * i + 1)) & 1);
                std::memcpy(&t.genotypes[byte][6 * i], triples[copies], 6);
            }
        }
        return t;
    }();
    return table;
}

int byte_at(const Word* bits, int b) { return static_cast<int>((bits[b >> 3] >> (8 * (b & 7))) & 0xffu); }

// The text of haplotypes [0, count) of a line's bits, from the table of the
// texts of every byte of bits (Width characters for 8 haplotypes); of the
// last byte, only the haplotypes below count.
template <std::size_t Width>
void append_from_table(const std::array<std::array<char, Width>, 256>& table, const Word* bits, int count,
                       std::string& text) {
    const std::size_t at = text.size();
    const std::size_t length = Width / 8 * static_cast<std::size_t>(count);
    text.resize(at + length);
    char* out = &text[at];
    for (std::size_t done = 0, b = 0; done < length; done += Width, ++b)
        std::memcpy(out + done, table[static_cast<std::size_t>(byte_at(bits, static_cast<int>(b)))].data(),
                    std::min(Width, length - done));
}

// Each allele followed by a blank.
void append_alleles(const Word* bits, int count, std::string& text) {
    append_from_table(texts().alleles, bits, count, text);
}

// The genotypes of the individuals whose haplotypes they are (count even).
void append_genotypes(const Word* bits, int count, std::string& text) {
    append_from_table(texts().genotypes, bits, count, text);
}

// Text buffers that the writer formats into and takes back once written, so
// that a few warm blocks are reused instead of fresh memory for every chunk.
// Taken and given back on the writer's thread only.
class TextPool {
public:
    // An empty buffer, with the room of one given back earlier when there is one.
    std::string take() {
        if (free_.empty()) return std::string();
        std::string text = std::move(free_.back());
        free_.pop_back();
        return text;
    }

    void give_back(std::string&& text) {
        text.clear();
        free_.push_back(std::move(text));
    }

private:
    std::vector<std::string> free_;
};

// The bits of a column's lines for all haplotypes of the group, turned once
// by whichever task needs them first and shared by the tasks of those lines.
class SharedTile {
public:
    // Made on the writer's thread, so that its memory comes from one place
    // whichever worker fills and frees it.
    SharedTile(std::size_t k0, std::size_t k1, int haplotypes) : k0_(k0), k1_(k1) {
        bits_.reserve((k1 - k0) * static_cast<std::size_t>(words_for(haplotypes)));
    }

    // Line k's bits for the group's haplotypes from 0.
    const Word* line(const SnpLines& lines, std::size_t k) {
        std::lock_guard<std::mutex> lock(mutex_);
        const int n = lines.end - lines.first;
        if (!turned_) {
            turn_rows(lines, k0_, k1_, 0, n, bits_);
            turned_ = true;
        }
        return bits_.data() + (k - k0_) * static_cast<std::size_t>(words_for(n));
    }

private:
    std::size_t k0_, k1_;
    std::mutex mutex_;
    bool turned_ = false;
    std::vector<Word> bits_;
};

// Lines [k0, k1) for the group's haplotypes [a, b): whole lines when a is 0
// and b the group's end, else a piece of one line (a a multiple of 64).
struct Chunk {
    std::size_t k0, k1;
    int a, b;
    std::shared_ptr<SharedTile> tile;  // null: the chunk turns the rows itself
};

std::size_t column_end(const std::vector<int>& snps, std::size_t k) {
    const int column = snps[k] >> 6;
    while (k < snps.size() && snps[k] >> 6 == column) ++k;
    return k;
}

void format_chunk(const SnpLines& lines, const Chunk& chunk, std::string& text) {
    const int n = lines.end - lines.first;
    const int count = chunk.b - chunk.a;
    const auto append = lines.kind == SnpLineKind::haplotypes ? append_alleles : append_genotypes;
    std::vector<Word> own_bits;
    for (std::size_t k = chunk.k0; k < chunk.k1;) {
        const std::size_t group_begin = k;
        const std::size_t group_end = std::min(chunk.k1, column_end(lines.snps, k));
        if (!chunk.tile) turn_rows(lines, group_begin, group_end, chunk.a, chunk.b, own_bits);
        for (; k < group_end; ++k) {
            const Word* bits = chunk.tile
                                   ? chunk.tile->line(lines, k) + chunk.a / 64
                                   : own_bits.data() + (k - group_begin) * static_cast<std::size_t>(words_for(count));
            if (chunk.a == 0 && lines.append_prefix) lines.append_prefix(k, text);
            append(bits, count, text);
            if (chunk.b == n) text += '\n';
        }
    }
}

}  // namespace

void write_snp_lines(OutputStream& out, const SnpLines& lines, WorkerPool& workers, const SnpLineLimits& limits) {
    const std::vector<int>& snps = lines.snps;
    const int n = lines.end - lines.first;
    const std::size_t per_haplotype = lines.kind == SnpLineKind::haplotypes ? 2 : 3;
    const std::size_t line_bytes = lines.longest_prefix + per_haplotype * static_cast<std::size_t>(n) + 1;
    const std::size_t chunk_bytes = std::max<std::size_t>(limits.chunk_bytes, 1);
    const std::size_t lines_per_chunk = std::max<std::size_t>(1, chunk_bytes / line_bytes);
    // A piece of a long line: whole words of bits, at least one.
    const int piece = static_cast<int>(std::max<std::size_t>(64, chunk_bytes / per_haplotype / 64 * 64));
    // Lines whose bits a shared tile holds; none when one line's bits exceed it.
    const std::size_t lines_per_tile = limits.tile_bytes / (8 * static_cast<std::size_t>(std::max(words_for(n), 1)));

    TextPool pool;
    OrderedTasks<std::string> tasks(
        workers,
        [&out, &pool](std::string&& text) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            pool.give_back(std::move(text));
        },
        results_in_flight(workers, limits.chunks_in_flight));
    // The text's room is made here, on the writer's thread, for the same
    // reason; short of memory, fewer chunks are in flight.
    const auto submit = [&](Chunk chunk) {
        const std::size_t room =
            (chunk.k1 - chunk.k0) *
            (lines.longest_prefix + per_haplotype * static_cast<std::size_t>(chunk.b - chunk.a) + 1);
        std::string text;
        tasks.with_fewer_in_flight([&] {
            if (text.capacity() < room) text = pool.take();
            text.reserve(room);
        });
        tasks.submit([&lines, chunk = std::move(chunk), text = std::move(text)]() mutable {
            format_chunk(lines, chunk, text);
            return std::move(text);
        });
    };

    for (std::size_t k = 0; k < snps.size();) {
        std::size_t end = column_end(snps, k);
        if ((end - k) * line_bytes <= chunk_bytes) {
            // Short lines: whole columns together, each task turning its own.
            for (std::size_t next;
                 end < snps.size() && (next = column_end(snps, end), (next - k) * line_bytes <= chunk_bytes);)
                end = next;
            submit({k, end, 0, n, nullptr});
        } else {
            for (std::size_t t = k; t < end;) {
                const std::size_t t_end = std::min(end, t + std::max<std::size_t>(lines_per_tile, 1));
                std::shared_ptr<SharedTile> tile;
                if (lines_per_tile != 0)
                    tasks.with_fewer_in_flight([&] { tile = std::make_shared<SharedTile>(t, t_end, n); });
                if (line_bytes <= chunk_bytes) {
                    for (std::size_t l = t; l < t_end; l += lines_per_chunk)
                        submit({l, std::min(t_end, l + lines_per_chunk), 0, n, tile});
                } else {
                    for (std::size_t l = t; l < t_end; ++l)
                        for (int a = 0; a == 0 || a < n; a += piece)
                            submit({l, l + 1, a, std::min(n, a + piece), tile});
                }
                t = t_end;
            }
        }
        k = end;
    }
    tasks.finish();
}

}  // namespace vorlan2
