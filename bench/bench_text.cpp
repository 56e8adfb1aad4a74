// The string built-ins on 4096-byte texts beside their peers: memmem and
// a naive double loop for the index search; strspn, a 256-entry table loop
// and a naive set scan for verify; plain byte loops for trim and
// upper-casing.  QMRFINDX and QMRFSSTR also run on Shift_JIS text.
// Compare the ratios within one run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "qmr/qmr.h"

namespace {

constexpr int kSize = 4096;

// A host's text field, built once.
class Field {
public:
    Field(int maximum, const std::string& text) : bytes_(QMR_TF_TEXT + maximum, ' ') {
        std::memcpy(bytes_.data(), &maximum, 4);
        const int length = static_cast<int>(text.size());
        std::memcpy(bytes_.data() + QMR_TF_LENGTH, &length, 4);
        std::memcpy(bytes_.data() + QMR_TF_TEXT, text.data(), text.size());
    }
    TextField* get() { return reinterpret_cast<TextField*>(bytes_.data()); }

private:
    std::vector<char> bytes_;
};

std::string letters(int size, const char* alphabet, unsigned seed) {
    std::mt19937 random(seed);
    std::string text(static_cast<std::size_t>(size), ' ');
    const std::size_t n = std::strlen(alphabet);
    for (char& c : text) c = alphabet[random() % n];
    return text;
}

// Random lower-case text whose only occurrence of the search text is at
// its end.
struct SearchCase {
    std::string text = letters(kSize - 8, "abcdefghijklmnopqrstuvwxyz", 1) + "QMRFINDX";
    std::string search = "QMRFINDX";
};
const SearchCase kSearch;

// Shift_JIS: ASCII, kanji with trail bytes in the ASCII range, and
// single-byte katakana.
std::string shiftJis(int size) {
    static const char* const pieces[] = {"a", "\x8a\xbf", "\x83\x65", "\xb1", "\x82\x60", "\x88\x9f", "z"};
    std::mt19937 random(7);
    std::string text;
    while (static_cast<int>(text.size()) < size - 4) text += pieces[random() % 7];
    text.resize(static_cast<std::size_t>(size - 4), 'a');
    return text + "\x8e\x9a\x82\x75";
}

CallContext* context() {
    static std::vector<char> block(QMR_CALL_CONTEXT_MIN_SIZE + 64, 0);
    return reinterpret_cast<CallContext*>(block.data());
}

void BM_Index_QMRFINDX(benchmark::State& state) {
    Field source(kSize, kSearch.text), search(8, kSearch.search);
    qmr_int16 position = 0;
    for (auto _ : state) {
        QMRFINDX(nullptr, nullptr, context(), source.get(), search.get(), &position);
        benchmark::DoNotOptimize(position);
    }
}
BENCHMARK(BM_Index_QMRFINDX);

#if defined(__GLIBC__)
void BM_Index_memmem(benchmark::State& state) {
    for (auto _ : state) {
        const void* found = memmem(kSearch.text.data(), kSize, kSearch.search.data(), kSearch.search.size());
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_Index_memmem);
#endif

void BM_Index_naiveDoubleLoop(benchmark::State& state) {
    const char* text = kSearch.text.data();
    const char* search = kSearch.search.data();
    for (auto _ : state) {
        int found = 0;
        for (int i = 0; i + 8 <= kSize && !found; ++i) {
            int k = 0;
            while (k < 8 && text[i + k] == search[k]) ++k;
            if (k == 8) found = i + 1;
        }
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_Index_naiveDoubleLoop);

// Every character is in the set, so each verify reads the whole text.
const char kSet[] = "abcdefghijklmnop";
const std::string kVerifyText = letters(kSize, kSet, 2);

void BM_Verify_QMRFVRFY(benchmark::State& state) {
    Field text(kSize, kVerifyText), set(16, kSet);
    qmr_int16 position = 0;
    for (auto _ : state) {
        QMRFVRFY(nullptr, nullptr, context(), text.get(), set.get(), &position);
        benchmark::DoNotOptimize(position);
    }
}
BENCHMARK(BM_Verify_QMRFVRFY);

void BM_Verify_strspn(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(std::strspn(kVerifyText.c_str(), kSet));
}
BENCHMARK(BM_Verify_strspn);

void BM_Verify_tableLoop(benchmark::State& state) {
    const auto* text = reinterpret_cast<const unsigned char*>(kVerifyText.data());
    for (auto _ : state) {
        bool member[256] = {};
        for (const char* c = kSet; *c; ++c) member[static_cast<unsigned char>(*c)] = true;
        int i = 0;
        while (i < kSize && member[text[i]]) ++i;
        benchmark::DoNotOptimize(i);
    }
}
BENCHMARK(BM_Verify_tableLoop);

void BM_Verify_naiveSetScan(benchmark::State& state) {
    for (auto _ : state) {
        int i = 0;
        for (; i < kSize; ++i) {
            bool found = false;
            for (int k = 0; k < 16 && !found; ++k) found = kVerifyText[i] == kSet[k];
            if (!found) break;
        }
        benchmark::DoNotOptimize(i);
    }
}
BENCHMARK(BM_Verify_naiveSetScan);

const std::string kTrimText = letters(kSize - 64, "abcdefghij klmnopqrstuvwxyz", 3) + std::string(64, ' ');

void BM_Trim_QMRFTRIM(benchmark::State& state) {
    Field source(kSize, kTrimText), result(kSize, "");
    for (auto _ : state) {
        QMRFTRIM(nullptr, nullptr, context(), source.get(), result.get());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Trim_QMRFTRIM);

void BM_Trim_byteLoop(benchmark::State& state) {
    std::vector<char> out(kSize);
    for (auto _ : state) {
        int end = 0;
        for (int i = 0; i < kSize; ++i) {
            out[i] = kTrimText[i];
            if (kTrimText[i] != ' ') end = i + 1;
        }
        benchmark::DoNotOptimize(end);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Trim_byteLoop);

void BM_Upper_QMRFUPPR(benchmark::State& state) {
    Field source(kSize, kTrimText), result(kSize, "");
    for (auto _ : state) {
        QMRFUPPR(nullptr, nullptr, context(), source.get(), result.get());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Upper_QMRFUPPR);

void BM_Upper_byteLoop(benchmark::State& state) {
    std::vector<unsigned char> out(kSize);
    const auto* in = reinterpret_cast<const unsigned char*>(kTrimText.data());
    for (auto _ : state) {
        for (int i = 0; i < kSize; ++i)
            out[i] = static_cast<unsigned char>(static_cast<unsigned char>(in[i] - 'a') < 26 ? in[i] - 32 : in[i]);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Upper_byteLoop);

void BM_ShiftJis_QMRFINDX(benchmark::State& state) {
    qmr_use_charset("sjis");
    const std::string text = shiftJis(kSize);
    Field source(kSize, text), search(4, text.substr(kSize - 4));
    qmr_int16 position = 0;
    for (auto _ : state) {
        QMRFINDX(nullptr, nullptr, context(), source.get(), search.get(), &position);
        benchmark::DoNotOptimize(position);
    }
    qmr_use_charset("single");
}
BENCHMARK(BM_ShiftJis_QMRFINDX);

void BM_ShiftJis_QMRFSSTR(benchmark::State& state) {
    qmr_use_charset("sjis");
    Field source(kSize, shiftJis(kSize)), result(kSize, "");
    for (auto _ : state) {
        OptionalNumber start{' ', 0, 1000}, length{' ', 0, 2000};
        QMRFSSTR(nullptr, nullptr, context(), source.get(), &start, &length, result.get());
        benchmark::ClobberMemory();
    }
    qmr_use_charset("single");
}
BENCHMARK(BM_ShiftJis_QMRFSSTR);

void BM_SingleByte_QMRFSSTR(benchmark::State& state) {
    Field source(kSize, kTrimText), result(kSize, "");
    for (auto _ : state) {
        OptionalNumber start{' ', 0, 1000}, length{' ', 0, 2000};
        QMRFSSTR(nullptr, nullptr, context(), source.get(), &start, &length, result.get());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SingleByte_QMRFSSTR);

}  // namespace
