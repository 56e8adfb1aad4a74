// The list filter and sort beside their peers, on one group of 1,000,000
// occurrences with five columns (date, long, double, 16-byte text,
// selection flags):
//   QMRFLTR beside SQLite (UPDATE ... SET flag = 'H' WHERE NOT (...) on an
//   in-memory table) and beside a hand-written loop over the columns;
//   QMRSORT by date ascending and text descending beside SQLite ORDER BY
//   and beside std::stable_sort of an index followed by a gather of every
//   column.
// Before anything is timed, every peer's flags and order are compared with
// the library's, and the program aborts when one differs.  Compare the
// ratios within one run.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "qmr/qmr.h"

namespace {

constexpr std::uint32_t kCount = 1000000;
constexpr std::size_t kTextSize = 16;
constexpr const char kExpression[] = "1 >= 2001-01-01 AND (3 < 500.0 OR 4 < \"M\")";
constexpr const char kSqlFilter[] = "UPDATE rows SET flag = 'H' WHERE NOT (d >= 20010101 AND (r < 500.0 OR s < 'M'))";
constexpr const char kSortKeys[] = "1 A 4 D";
constexpr const char kTextFirstKeys[] = "4 D 1 A";
constexpr const char kSqlOrderBy[] = "SELECT d, l, r, s, flag FROM rows ORDER BY d ASC, s DESC";

struct Columns {
    std::vector<std::int32_t> dates, longs;
    std::vector<double> reals;
    std::vector<char> texts;  // kTextSize bytes each, NUL-terminated
    std::vector<char> flags;
};

const Columns& original() {
    static const Columns columns = [] {
        std::mt19937 random(2026);
        Columns c;
        for (std::uint32_t i = 0; i < kCount; ++i) {
            const int year = 1990 + int(random() % 31);
            c.dates.push_back(year * 10000 + int(1 + random() % 12) * 100 + int(1 + random() % 28));
            c.longs.push_back(static_cast<std::int32_t>(random()));
            c.reals.push_back(double(random() % 100000) / 100.0);
            char name[kTextSize] = {};
            const std::size_t length = 3 + random() % 10;
            for (std::size_t k = 0; k < length; ++k) name[k] = static_cast<char>('A' + random() % 26);
            if (random() % 2) std::memset(name + length, ' ', kTextSize - 1 - length);  // blank-padded
            c.texts.insert(c.texts.end(), name, name + kTextSize);
            c.flags.push_back(random() % 20 == 0 ? '*' : ' ');
        }
        return c;
    }();
    return columns;
}

// The same data as a host group.
struct HostGroup {
    Columns columns = original();
    FieldDescriptor fields[5];
    GroupDescriptor group;
    std::vector<unsigned char> context = std::vector<unsigned char>(QMR_CALL_CONTEXT_MIN_SIZE);

    HostGroup() {
        fields[0] = {nullptr, nullptr, QMR_FIELD_DATE, 0, columns.dates.data()};
        fields[1] = {nullptr, nullptr, QMR_FIELD_LONG, 0, columns.longs.data()};
        fields[2] = {nullptr, nullptr, QMR_FIELD_REAL, 0, columns.reals.data()};
        fields[3] = {nullptr, nullptr, QMR_FIELD_TEXT, kTextSize, columns.texts.data()};
        fields[4] = {nullptr, nullptr, QMR_FIELD_TEXT, 1, columns.flags.data()};
        group = {kCount, 5, 0, nullptr, 4, fields};
    }
    CallContext* callContext() { return reinterpret_cast<CallContext*>(context.data()); }
    void restore() {
        const Columns& o = original();
        std::copy(o.dates.begin(), o.dates.end(), columns.dates.begin());
        std::copy(o.longs.begin(), o.longs.end(), columns.longs.begin());
        std::copy(o.reals.begin(), o.reals.end(), columns.reals.begin());
        std::copy(o.texts.begin(), o.texts.end(), columns.texts.begin());
        std::copy(o.flags.begin(), o.flags.end(), columns.flags.begin());
    }
};

sqlite3* database() {
    static sqlite3* db = [] {
        sqlite3* d = nullptr;
        sqlite3_open(":memory:", &d);
        const char* create = "CREATE TABLE rows (d INTEGER, l INTEGER, r REAL, s TEXT, flag TEXT)";
        sqlite3_exec(d, create, nullptr, nullptr, nullptr);
        sqlite3_exec(d, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(d, "INSERT INTO rows VALUES (?, ?, ?, ?, ?)", -1, &insert, nullptr);
        const Columns& c = original();
        for (std::uint32_t i = 0; i < kCount; ++i) {
            const char* text = &c.texts[i * kTextSize];
            sqlite3_bind_int(insert, 1, c.dates[i]);
            sqlite3_bind_int(insert, 2, c.longs[i]);
            sqlite3_bind_double(insert, 3, c.reals[i]);
            sqlite3_bind_text(insert, 4, text, int(strnlen(text, kTextSize)), SQLITE_STATIC);
            sqlite3_bind_text(insert, 5, &c.flags[i], 1, SQLITE_STATIC);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(d, "COMMIT", nullptr, nullptr, nullptr);
        return d;
    }();
    return db;
}

// The trimmed text comparison written out for a literal without trailing
// blanks: the first byte that differs decides; a value equal over the
// literal's length is equal or greater.
bool textBefore(const char* text, const char* literal, std::size_t literalLength) {
    for (std::size_t k = 0; k < literalLength; ++k) {
        const auto a = static_cast<unsigned char>(text[k]), b = static_cast<unsigned char>(literal[k]);
        if (a != b) return a < b;
    }
    return false;
}

void filterWithQmr(HostGroup& host) { QMRFLTR(nullptr, nullptr, host.callContext(), &host.group, kExpression); }

void filterByHand(HostGroup& host) {
    Columns& c = host.columns;
    for (std::uint32_t i = 0; i < kCount; ++i) {
        if (c.flags[i] == 'H') continue;
        const char* text = &c.texts[i * kTextSize];
        const bool pass = c.dates[i] >= 20010101 && (c.reals[i] < 500.0 || textBefore(text, "M", 1));
        if (!pass) c.flags[i] = 'H';
    }
}

// The same without branches: every condition for every occurrence.
void filterByHandBranchless(HostGroup& host) {
    Columns& c = host.columns;
    for (std::uint32_t i = 0; i < kCount; ++i) {
        const bool pass =
            (c.dates[i] >= 20010101) & ((c.reals[i] < 500.0) | textBefore(&c.texts[i * kTextSize], "M", 1));
        c.flags[i] = pass | (c.flags[i] == 'H') ? c.flags[i] : 'H';
    }
}

void timeFilter(benchmark::State& state, void (*filter)(HostGroup&)) {
    HostGroup host;
    for (auto _ : state) {
        std::copy(original().flags.begin(), original().flags.end(), host.columns.flags.begin());
        filter(host);
        benchmark::DoNotOptimize(host.columns.flags.data());
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * kCount);
}

void BM_QMRFLTR(benchmark::State& state) { timeFilter(state, filterWithQmr); }
void BM_HandLoopFilter(benchmark::State& state) { timeFilter(state, filterByHand); }
void BM_HandLoopFilterBranchless(benchmark::State& state) { timeFilter(state, filterByHandBranchless); }

void BM_SqliteFilter(benchmark::State& state) {
    sqlite3* db = database();
    for (auto _ : state) sqlite3_exec(db, kSqlFilter, nullptr, nullptr, nullptr);
    state.SetItemsProcessed(std::int64_t(state.iterations()) * kCount);
}

void sortWithQmr(HostGroup& host, const char* keys) {
    QMRSORT(nullptr, nullptr, host.callContext(), &host.group, keys);
}

void sortBy(benchmark::State& state, const char* keys) {
    HostGroup host;
    for (auto _ : state) {
        state.PauseTiming();
        host.restore();
        state.ResumeTiming();
        sortWithQmr(host, keys);
        benchmark::DoNotOptimize(host.columns.dates.data());
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * kCount);
}

void BM_QMRSORT(benchmark::State& state) { sortBy(state, kSortKeys); }

// A text key first: its first 8 bytes order most occurrences, the rest
// compare key by key.
void BM_QMRSORT_TextFirst(benchmark::State& state) { sortBy(state, kTextFirstKeys); }

template <typename T>
void gather(std::vector<T>& column, const std::vector<std::uint32_t>& order, std::vector<T>& buffer) {
    for (std::size_t k = 0; k < order.size(); ++k) buffer[k] = column[order[k]];
    std::copy(buffer.begin(), buffer.end(), column.begin());
}

struct Text {
    char bytes[kTextSize];
};

// Room for the index and a copy of every column.
struct GatherBuffers {
    std::vector<std::uint32_t> order = std::vector<std::uint32_t>(kCount);
    std::vector<std::int32_t> ints = std::vector<std::int32_t>(kCount);
    std::vector<double> reals = std::vector<double>(kCount);
    std::vector<char> flags = std::vector<char>(kCount);
    std::vector<Text> texts = std::vector<Text>(kCount);
};

// Date ascending, then text descending, as kSortKeys asks; or, with
// `textFirst`, as kTextFirstKeys asks.
void sortIndexAndGather(HostGroup& host, bool textFirst, GatherBuffers& b) {
    Columns& c = host.columns;
    std::iota(b.order.begin(), b.order.end(), 0u);
    std::stable_sort(b.order.begin(), b.order.end(), [&](std::uint32_t x, std::uint32_t y) {
        const int date = (c.dates[x] > c.dates[y]) - (c.dates[x] < c.dates[y]);
        const int text = -std::strncmp(&c.texts[x * kTextSize], &c.texts[y * kTextSize], kTextSize);
        const int first = textFirst ? text : date, second = textFirst ? date : text;
        return first != 0 ? first < 0 : second < 0;
    });
    gather(c.dates, b.order, b.ints);
    gather(c.longs, b.order, b.ints);
    gather(c.reals, b.order, b.reals);
    gather(c.flags, b.order, b.flags);
    for (std::size_t k = 0; k < kCount; ++k) std::memcpy(b.texts[k].bytes, &c.texts[b.order[k] * kTextSize], kTextSize);
    std::memcpy(c.texts.data(), b.texts.data(), c.texts.size());
}

void BM_IndexSortAndGather(benchmark::State& state) {
    HostGroup host;
    GatherBuffers buffers;
    for (auto _ : state) {
        state.PauseTiming();
        host.restore();
        state.ResumeTiming();
        sortIndexAndGather(host, false, buffers);
        benchmark::DoNotOptimize(host.columns.dates.data());
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * kCount);
}

void BM_SqliteOrderBy(benchmark::State& state) {
    sqlite3* db = database();
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, kSqlOrderBy, -1, &select, nullptr);
    for (auto _ : state) {
        std::int64_t sum = 0;
        while (sqlite3_step(select) == SQLITE_ROW) {
            sum += sqlite3_column_int(select, 0) + sqlite3_column_int(select, 1);
            sum += static_cast<std::int64_t>(sqlite3_column_double(select, 2));
            sum += sqlite3_column_bytes(select, 3) + sqlite3_column_text(select, 4)[0];
        }
        sqlite3_reset(select);
        benchmark::DoNotOptimize(sum);
    }
    sqlite3_finalize(select);
    state.SetItemsProcessed(std::int64_t(state.iterations()) * kCount);
}

[[noreturn]] void differs(const char* peer) {
    std::fprintf(stderr, "bench_lists: %s does not give the library's result; nothing is timed\n", peer);
    std::abort();
}

// Every peer's flags beside QMRFLTR's, and every peer's order beside
// QMRSORT's, on the same data.
void checkPeers() {
    HostGroup library;
    filterWithQmr(library);
    const std::pair<const char*, void (*)(HostGroup&)> peers[] = {{"the hand loop", filterByHand},
                                                                   {"the branch-free loop", filterByHandBranchless}};
    for (const auto& [name, peer] : peers) {
        HostGroup host;
        peer(host);
        if (host.columns.flags != library.columns.flags) differs(name);
    }
    sqlite3* db = database();
    sqlite3_exec(db, kSqlFilter, nullptr, nullptr, nullptr);
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, "SELECT flag FROM rows ORDER BY rowid", -1, &select, nullptr);
    for (std::uint32_t i = 0; sqlite3_step(select) == SQLITE_ROW; ++i) {
        if (i >= kCount || sqlite3_column_text(select, 0)[0] != static_cast<unsigned char>(library.columns.flags[i])) {
            differs("SQLite's UPDATE");
        }
    }
    sqlite3_finalize(select);

    GatherBuffers buffers;
    HostGroup sorted;
    for (const bool textFirst : {true, false}) {  // text first, so that `sorted` ends in kSortKeys's order
        HostGroup peer;
        sorted.restore();
        sortWithQmr(sorted, textFirst ? kTextFirstKeys : kSortKeys);
        sortIndexAndGather(peer, textFirst, buffers);
        const Columns &a = sorted.columns, &b = peer.columns;
        if (a.dates != b.dates || a.longs != b.longs || a.reals != b.reals || a.texts != b.texts || a.flags != b.flags) {
            differs("the index sort");
        }
    }
    const Columns& a = sorted.columns;
    sqlite3_prepare_v2(db, kSqlOrderBy, -1, &select, nullptr);
    for (std::uint32_t i = 0; sqlite3_step(select) == SQLITE_ROW; ++i) {
        const char* text = &a.texts[i * kTextSize];
        const auto length = static_cast<int>(strnlen(text, kTextSize));
        if (i >= kCount || sqlite3_column_int(select, 0) != a.dates[i] || sqlite3_column_bytes(select, 3) != length ||
            std::memcmp(sqlite3_column_text(select, 3), text, std::size_t(length)) != 0) {
            differs("SQLite's ORDER BY");
        }
    }
    sqlite3_finalize(select);
}

}  // namespace

BENCHMARK(BM_QMRFLTR)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HandLoopFilter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HandLoopFilterBranchless)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqliteFilter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QMRSORT)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QMRSORT_TextFirst)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IndexSortAndGather)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqliteOrderBy)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    checkPeers();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
