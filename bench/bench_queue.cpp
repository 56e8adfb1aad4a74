// The relationship queue beside its peers: 1,000,000 ADDs of a
// three-field relationship (8, 20 and 4 bytes), then NEXT and READ of
// each, through QMDDAQUE in both calling forms; the same records in a
// std::deque<std::vector<char>>; and a plain bump allocator in 4096-byte
// pages, the limit for storage taken a page at a time: with records of
// the queue's own entry size and page rule (BM_BumpPages_Entries), and
// packed tight (BM_BumpPages_Packed).  BM_CallFloor makes the three
// calls a record takes to an empty variadic function: the host's own
// share of a record's cost.  Before anything is timed, every record each
// of them reads back (identifier, field bytes and lengths) is checked
// against what QMDDAQUE reads back in both forms; the run stops if any
// differs.
//
//   bench_queue                 the timings (compare ratios within one run)
//   bench_queue --rss=NAME      peak resident memory of one fill by NAME
//                               (qmr, deque or bump), beside the pages the
//                               queue's size rule takes for the records
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "qmr/qmr.h"

namespace {

constexpr int kRecords = 1000000;
constexpr std::int32_t kLengths[3] = {8, 20, 4};
constexpr int kRecordBytes = 6 + 6 + 3 * 2 + 8 + 20 + 4;  // identifiers, lengths, fields

struct Fields {
    std::int32_t length[3] = {kLengths[0], kLengths[1], kLengths[2]};
    char key[8] = {'K', 'E', 'Y', '0', '0', '0', '0', '1'};
    char text[20] = {'t', 'w', 'e', 'n', 't', 'y', ' ', 'b', 'y', 't', 'e', 's', ' ', 'o', 'f', ' ', 't', 'e', 'x', 't'};
    char count[4] = {'0', '0', '4', '2'};
};

// The relationship identifier of record i.
void putIdentifier(unsigned char* at, int i) { std::memcpy(at, &i, sizeof i); }
int identifierAt(const unsigned char* at) {
    int i;
    std::memcpy(&i, at, sizeof i);
    return i;
}

// What the timed loops keep of each record read back.
struct Sum {
    std::int64_t total = 0;
    void operator()(int id, const Fields& out) { total += id + out.key[7]; }
};

// --- QMDDAQUE, pair list ------------------------------------------------

std::int64_t fillQueue(unsigned char* cmcb, Fields& in) {
    cmcb[QMR_CMCB_REQUEST] = 'A';
    std::int64_t failures = 0;
    for (int i = 0; i < kRecords; ++i) {
        putIdentifier(cmcb + QMR_CMCB_PAIR_RELATIONSHIP, i + 1);
        failures += QMDDAQUE(nullptr, nullptr, cmcb, &in.length[0], in.key, &in.length[1], in.text, &in.length[2],
                             in.count, static_cast<void*>(nullptr));
    }
    return failures;
}

// NEXT and READ of every record, handed to `seen` with the relationship
// identifier NEXT delivered.
template <typename Seen>
void drainQueue(unsigned char* cmcb, Fields& out, Seen&& seen) {
    for (int i = 0; i < kRecords; ++i) {
        cmcb[QMR_CMCB_REQUEST] = 'N';
        QMDDAQUE(nullptr, nullptr, cmcb, static_cast<void*>(nullptr));
        cmcb[QMR_CMCB_REQUEST] = 'R';
        QMDDAQUE(nullptr, nullptr, cmcb, &out.length[0], out.key, &out.length[1], out.text, &out.length[2], out.count,
                 static_cast<void*>(nullptr));
        seen(identifierAt(cmcb + QMR_CMCB_PAIR_RELATIONSHIP), out);
    }
    cmcb[QMR_CMCB_REQUEST] = 'N';
    QMDDAQUE(nullptr, nullptr, cmcb, static_cast<void*>(nullptr));  // past the end: releases the queue
}

void BM_QMDDAQUE_Pairs(benchmark::State& state) {
    unsigned char cmcb[QMR_CMCB_PAIR_SIZE] = {};
    Fields in;
    Fields out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(fillQueue(cmcb, in));
        Sum sum;
        drainQueue(cmcb, out, sum);
        benchmark::DoNotOptimize(sum.total);
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * kRecords);
}

// --- QMDDAQUE, parameter block -------------------------------------------

struct Block {
    unsigned char bytes[12 + 3 * 4 + 8 + 20 + 4];
    Block() {
        std::memcpy(bytes, "4.2.    0003" "0008KEY00001" "0020twenty bytes of text" "00040042", sizeof bytes);
    }
};

void fillBlockQueue(unsigned char* cmcb, Block& in) {
    cmcb[QMR_CMCB_REQUEST] = 'A';
    for (int i = 0; i < kRecords; ++i) {
        putIdentifier(cmcb + QMR_CMCB_BLOCK_RELATIONSHIP, i + 1);
        benchmark::DoNotOptimize(QMDDAQUE(nullptr, nullptr, cmcb, in.bytes));
    }
}

// As drainQueue; READ fills the block's fields in place.
template <typename Seen>
void drainBlockQueue(unsigned char* cmcb, Block& out, Seen&& seen) {
    Fields read;
    for (int i = 0; i < kRecords; ++i) {
        cmcb[QMR_CMCB_REQUEST] = 'N';
        QMDDAQUE(nullptr, nullptr, cmcb, out.bytes);
        cmcb[QMR_CMCB_REQUEST] = 'R';
        QMDDAQUE(nullptr, nullptr, cmcb, out.bytes);
        std::memcpy(read.key, out.bytes + 16, sizeof read.key);
        std::memcpy(read.text, out.bytes + 28, sizeof read.text);
        std::memcpy(read.count, out.bytes + 52, sizeof read.count);
        seen(identifierAt(cmcb + QMR_CMCB_BLOCK_RELATIONSHIP), read);
    }
    cmcb[QMR_CMCB_REQUEST] = 'N';
    QMDDAQUE(nullptr, nullptr, cmcb, out.bytes);
}

void BM_QMDDAQUE_Block(benchmark::State& state) {
    unsigned char cmcb[QMR_CMCB_BLOCK_SIZE] = {};
    cmcb[QMR_CMCB_BLOCK_STATE] = 'U';
    Block in;
    Block out;
    for (auto _ : state) {
        fillBlockQueue(cmcb, in);
        Sum sum;
        drainBlockQueue(cmcb, out, sum);
        benchmark::DoNotOptimize(sum.total);
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * kRecords);
}

// --- the calls alone ---------------------------------------------------------

// A variadic function with QMDDAQUE's shape that only looks at its first
// argument: the host's own cost of making the calls.
extern "C" __attribute__((noinline)) qmr_int32 emptyCall(void*, void*, void* cmcb, ...) {
    std::va_list rest;
    va_start(rest, cmcb);
    void* const first = va_arg(rest, void*);
    va_end(rest);
    static_cast<unsigned char*>(cmcb)[QMR_CMCB_RETURN_CODE] = 'O';
    return first == nullptr ? 4 : 0;
}

// The three calls a record takes (the ADD's and the READ's pair lists,
// NEXT's null pointer), to the empty function.
void BM_CallFloor(benchmark::State& state) {
    unsigned char cmcb[QMR_CMCB_PAIR_SIZE] = {};
    Fields in;
    Fields out;
    for (auto _ : state) {
        std::int64_t sum = 0;
        for (int i = 0; i < kRecords; ++i) {
            putIdentifier(cmcb + QMR_CMCB_PAIR_RELATIONSHIP, i + 1);
            sum += emptyCall(nullptr, nullptr, cmcb, &in.length[0], in.key, &in.length[1], in.text, &in.length[2],
                             in.count, static_cast<void*>(nullptr));
            sum += emptyCall(nullptr, nullptr, cmcb, static_cast<void*>(nullptr));
            sum += emptyCall(nullptr, nullptr, cmcb, &out.length[0], out.key, &out.length[1], out.text,
                             &out.length[2], out.count, static_cast<void*>(nullptr));
            sum += out.key[7] + cmcb[QMR_CMCB_PAIR_RELATIONSHIP];
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * kRecords);
}

// --- std::deque<std::vector<char>> ----------------------------------------

// A record as the peers keep it: identifiers, then each field's 16-bit
// length and bytes.
void packRecord(char* at, int i, const Fields& in) {
    std::memcpy(at, &i, sizeof i);
    std::memset(at + 4, 0, 8);
    at += 12;
    const char* data[3] = {in.key, in.text, in.count};
    for (int f = 0; f < 3; ++f) {
        const auto length = static_cast<std::uint16_t>(in.length[f]);
        std::memcpy(at, &length, 2);
        std::memcpy(at + 2, data[f], length);
        at += 2 + length;
    }
}

// The record's identifier; `out` receives its fields, cut to their rooms.
int unpackRecord(const char* at, Fields& out) {
    int id;
    std::memcpy(&id, at, sizeof id);
    at += 12;
    char* data[3] = {out.key, out.text, out.count};
    for (int f = 0; f < 3; ++f) {
        std::uint16_t length;
        std::memcpy(&length, at, 2);
        const std::int32_t copied = length < out.length[f] ? length : out.length[f];
        std::memcpy(data[f], at + 2, static_cast<std::size_t>(copied));
        out.length[f] = copied;
        at += 2 + length;
    }
    return id;
}

void fillDeque(std::deque<std::vector<char>>& queue, const Fields& in) {
    for (int i = 0; i < kRecords; ++i) {
        std::vector<char> record(kRecordBytes);
        packRecord(record.data(), i + 1, in);
        queue.push_back(std::move(record));
    }
}

template <typename Seen>
void drainDeque(std::deque<std::vector<char>>& queue, Fields& out, Seen&& seen) {
    while (!queue.empty()) {
        const int id = unpackRecord(queue.front().data(), out);
        seen(id, out);
        queue.pop_front();
    }
}

void BM_Deque(benchmark::State& state) {
    Fields in;
    Fields out;
    for (auto _ : state) {
        std::deque<std::vector<char>> queue;
        fillDeque(queue, in);
        Sum sum;
        drainDeque(queue, out, sum);
        benchmark::DoNotOptimize(sum.total);
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * kRecords);
}

// --- bump allocator in 4096-byte pages ------------------------------------

// Records of `Stride` bytes one after another in 4096-byte pages, a new
// page when the next record would not fit.  With the queue's entry size
// (28 bytes plus 2 + L per field, raised to a multiple of 4: 68 here) and
// its rule for starting a page, this is the limit for the queue's own page
// layout; with the records packed tight (50 bytes) it is the limit for
// pages of any layout.
template <int Stride, int Room>
struct BumpPages {
    static constexpr int kPage = 4096;
    static constexpr int kPerPage = (Room - 1) / Stride;  // a page is started when Stride >= the room left
    std::vector<char*> pages;
    int left = 0;

    char* take() {
        if (Stride >= left) {
            pages.push_back(static_cast<char*>(std::malloc(kPage)));
            left = Room;
        }
        char* at = pages.back() + (Room - left);
        left -= Stride;
        return at;
    }
    char* record(int i) const { return pages[std::size_t(i / kPerPage)] + i % kPerPage * Stride; }
    ~BumpPages() {
        for (char* page : pages) std::free(page);
    }
};

constexpr int kEntryBytes = (28 + 3 * 2 + 8 + 20 + 4 + 3) / 4 * 4;  // 68
using EntryPages = BumpPages<kEntryBytes, 4092>;
using PackedPages = BumpPages<kRecordBytes, 4096 + 1>;

template <typename Pages>
void fillBump(Pages& bump, const Fields& in) {
    for (int i = 0; i < kRecords; ++i) packRecord(bump.take(), i + 1, in);
}

template <typename Pages, typename Seen>
void drainBump(const Pages& bump, Fields& out, Seen&& seen) {
    for (int i = 0; i < kRecords; ++i) {
        const int id = unpackRecord(bump.record(i), out);
        seen(id, out);
    }
}

template <typename Pages>
void BM_BumpPages(benchmark::State& state) {
    Fields in;
    Fields out;
    for (auto _ : state) {
        Pages bump;
        fillBump(bump, in);
        Sum sum;
        drainBump(bump, out, sum);
        benchmark::DoNotOptimize(sum.total);
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * kRecords);
}

BENCHMARK(BM_QMDDAQUE_Pairs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QMDDAQUE_Block)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CallFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Deque)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BumpPages<EntryPages>)->Name("BM_BumpPages_Entries")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BumpPages<PackedPages>)->Name("BM_BumpPages_Packed")->Unit(benchmark::kMillisecond);

// --- peak resident memory ---------------------------------------------------

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int measureMemory(std::string_view name) {
    Fields in;
    const long before = peakKilobytes();
    if (name == "qmr") {
        static unsigned char cmcb[QMR_CMCB_PAIR_SIZE] = {};
        if (fillQueue(cmcb, in) != 0) return 1;
    } else if (name == "deque") {
        static std::deque<std::vector<char>> queue;
        fillDeque(queue, in);
    } else if (name == "bump") {
        static EntryPages bump;
        fillBump(bump, in);
    } else {
        std::fprintf(stderr, "bench_queue: --rss takes qmr, deque or bump\n");
        return 2;
    }
    const long grown = peakKilobytes() - before;
    // 28 + 3 * 2 + 8 + 20 + 4 = 66, raised to 68 bytes an entry; a page
    // takes entries while one is smaller than the room left: 60 a page.
    const long pages = (kRecords + 59) / 60;
    const long documented = pages * QMR_QUEUE_PAGE_SIZE / 1024;
    std::printf("%s: peak resident growth %ld KiB; queue pages for %d records: %ld KiB (ratio %.3f)\n",
                std::string(name).c_str(), grown, kRecords, documented, double(grown) / double(documented));
    return 0;
}

// One fill of each peer before timing, so that the first timed run does
// not pay for the process's first touch of its storage.
void warmUp() {
    Fields in;
    Fields out;
    {
        std::deque<std::vector<char>> queue;
        fillDeque(queue, in);
    }
    {
        EntryPages entries;
        fillBump(entries, in);
        PackedPages packed;
        fillBump(packed, in);
    }
    unsigned char cmcb[QMR_CMCB_PAIR_SIZE] = {};
    fillQueue(cmcb, in);
    drainQueue(cmcb, out, Sum());
}

// --- the same results from every peer ---------------------------------------

// FNV-1a over every record read back: its identifier, then each field's
// length and bytes as read.
struct Digest {
    std::uint64_t hash = 14695981039346656037u;
    void add(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211u;
    }
    void operator()(int id, const Fields& out) {
        add(&id, sizeof id);
        add(out.length, sizeof out.length);
        add(out.key, sizeof out.key);
        add(out.text, sizeof out.text);
        add(out.count, sizeof out.count);
    }
};

// Fills and drains each once and compares what they read back with what
// QMDDAQUE reads back through a pair list; false (after saying which
// differ) when any does not agree.
bool sameResults() {
    Fields in;
    const auto digestOf = [](auto drain) {
        Fields out;
        Digest digest;
        drain(out, digest);
        return digest.hash;
    };
    struct Peer {
        const char* name;
        std::uint64_t hash;
    };
    unsigned char cmcb[QMR_CMCB_BLOCK_SIZE] = {};
    const std::uint64_t qmr = digestOf([&](Fields& out, Digest& d) {
        if (fillQueue(cmcb, in) != 0) return;
        drainQueue(cmcb, out, d);
    });
    const Peer peers[] = {
        {"QMDDAQUE with a parameter block", digestOf([&](Fields&, Digest& d) {
             unsigned char blockCmcb[QMR_CMCB_BLOCK_SIZE] = {};
             blockCmcb[QMR_CMCB_BLOCK_STATE] = 'U';
             Block blockIn;
             Block blockOut;
             fillBlockQueue(blockCmcb, blockIn);
             drainBlockQueue(blockCmcb, blockOut, d);
         })},
        {"std::deque", digestOf([&](Fields& out, Digest& d) {
             std::deque<std::vector<char>> queue;
             fillDeque(queue, in);
             drainDeque(queue, out, d);
         })},
        {"bump pages, entries", digestOf([&](Fields& out, Digest& d) {
             EntryPages bump;
             fillBump(bump, in);
             drainBump(bump, out, d);
         })},
        {"bump pages, packed", digestOf([&](Fields& out, Digest& d) {
             PackedPages bump;
             fillBump(bump, in);
             drainBump(bump, out, d);
         })},
    };
    bool same = true;
    for (const Peer& peer : peers) {
        if (peer.hash == qmr) continue;
        std::fprintf(stderr, "bench_queue: %s reads back other records than QMDDAQUE with a pair list\n", peer.name);
        same = false;
    }
    return same;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.substr(0, 6) == "--rss=") return measureMemory(arg.substr(6));
    }
#if defined(__GLIBC__)
    // Keep freed storage in the process between runs, so that every peer is
    // timed on storage it has touched before rather than on the kernel
    // handing out fresh pages.
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
    if (!sameResults()) {
        std::fprintf(stderr, "bench_queue: the peers disagree; nothing is timed\n");
        std::abort();
    }
    warmUp();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
