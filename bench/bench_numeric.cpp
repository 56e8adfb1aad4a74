// The numeric text built-ins beside the C library doing the same work:
// QMRFNUM and strtod read the same texts, QMRFCHR and
// snprintf("%015.0f") format the same whole parts.  Before timing, each
// pair must agree on every input, or the program stops.  Compare the
// ratios within one run.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "qmr/qmr.h"

namespace {

constexpr std::size_t kCount = 4096;

// 17-byte numeric texts with a NUL after them, so that strtod reads the
// very bytes QMRFNUM reads: leading blanks, an optional sign, 1 to 14
// digits with an optional ".", trailing blanks.
struct Text {
    char bytes[QMR_NUMERIC_TEXT_SIZE + 1];
};

const std::vector<Text>& sampleTexts() {
    static const std::vector<Text> texts = [] {
        std::mt19937_64 random(11);
        std::vector<Text> out(kCount);
        for (Text& t : out) {
            std::memset(t.bytes, ' ', QMR_NUMERIC_TEXT_SIZE);
            t.bytes[QMR_NUMERIC_TEXT_SIZE] = '\0';
            const int digits = 1 + int(random() % 14);  // with a blank, a sign and a point: 17 bytes
            const int point = int(random() % unsigned(digits + 1));
            int at = int(random() % 2);  // a leading blank or not
            if (random() % 2) t.bytes[at++] = '-';
            for (int i = 0; i < digits; ++i) {
                if (i == point && i > 0) t.bytes[at++] = '.';
                t.bytes[at++] = char('0' + random() % 10);
            }
        }
        return out;
    }();
    return texts;
}

// Numbers whose whole parts have 1 to 15 digits, with fractions and signs.
const std::vector<double>& sampleNumbers() {
    static const std::vector<double> numbers = [] {
        std::mt19937_64 random(12);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        std::vector<double> out;
        for (std::size_t i = 0; i < kCount; ++i) {
            const double magnitude = std::pow(10.0, 15 * unit(random));
            out.push_back(random() % 2 ? magnitude : -magnitude);
        }
        return out;
    }();
    return numbers;
}

void BM_QMRFNUM(benchmark::State& state) {
    const auto& texts = sampleTexts();
    std::vector<unsigned char> context(QMR_CALL_CONTEXT_MIN_SIZE);
    CallContext* cc = reinterpret_cast<CallContext*>(context.data());
    for (auto _ : state) {
        double sum = 0;
        for (const Text& t : texts) {
            double number;
            QMRFNUM(nullptr, nullptr, cc, t.bytes, &number);
            sum += number;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}

void BM_Strtod(benchmark::State& state) {
    const auto& texts = sampleTexts();
    for (auto _ : state) {
        double sum = 0;
        for (const Text& t : texts) sum += std::strtod(t.bytes, nullptr);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}

void BM_QMRFCHR(benchmark::State& state) {
    const auto& numbers = sampleNumbers();
    std::vector<unsigned char> context(QMR_CALL_CONTEXT_MIN_SIZE);
    CallContext* cc = reinterpret_cast<CallContext*>(context.data());
    char digits[QMR_DIGIT_TEXT_SIZE];
    for (auto _ : state) {
        unsigned sum = 0;
        for (const double& n : numbers) {
            QMRFCHR(nullptr, nullptr, cc, &n, digits);
            sum += static_cast<unsigned char>(digits[QMR_DIGIT_TEXT_SIZE - 1]);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}

void BM_SnprintfDigits(benchmark::State& state) {
    const auto& numbers = sampleNumbers();
    char digits[QMR_DIGIT_TEXT_SIZE + 1];
    for (auto _ : state) {
        unsigned sum = 0;
        for (double n : numbers) {
            std::snprintf(digits, sizeof digits, "%015.0f", std::floor(std::fabs(n)));
            sum += static_cast<unsigned char>(digits[QMR_DIGIT_TEXT_SIZE - 1]);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}

BENCHMARK(BM_QMRFNUM);
BENCHMARK(BM_Strtod);
BENCHMARK(BM_QMRFCHR);
BENCHMARK(BM_SnprintfDigits);

void checkPeers() {
    std::vector<unsigned char> block(QMR_CALL_CONTEXT_MIN_SIZE);
    CallContext* cc = reinterpret_cast<CallContext*>(block.data());
    for (const Text& t : sampleTexts()) {
        double number = -1;
        QMRFNUM(nullptr, nullptr, cc, t.bytes, &number);
        const double peer = std::strtod(t.bytes, nullptr) + 0.0;  // QMRFNUM stores zero as +0
        if (std::memcmp(&number, &peer, sizeof number) == 0) continue;
        std::fprintf(stderr, "bench_numeric: QMRFNUM reads \"%s\" as %.17g, strtod as %.17g\n", t.bytes, number, peer);
        std::abort();
    }
    for (const double n : sampleNumbers()) {
        char digits[QMR_DIGIT_TEXT_SIZE + 1] = {}, peer[QMR_DIGIT_TEXT_SIZE + 1];
        QMRFCHR(nullptr, nullptr, cc, &n, digits);
        std::snprintf(peer, sizeof peer, "%015.0f", std::floor(std::fabs(n)));
        if (std::strcmp(digits, peer) == 0) continue;
        std::fprintf(stderr, "bench_numeric: QMRFCHR gives %s for %.17g, snprintf %s\n", digits, n, peer);
        std::abort();
    }
}

}  // namespace

int main(int argc, char** argv) {
    checkPeers();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
