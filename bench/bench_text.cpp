// The string built-ins on 4096-byte texts beside their peers: memmem,
// std::string_view::find and a naive double loop for the index search;
// strspn, a 256-entry table loop and a naive set scan for verify; plain
// byte loops for trim and upper-casing.  QMRFINDX and QMRFSSTR also run on
// Shift_JIS text, under the built-in set (whose walker reads its byte
// roles) and under a host's copy of it (whose CharLength is called for
// every character).  QMRFLGTH and QMRFSSTR run on UTF-8 text beside a
// plain decode loop.  Before timing, every peer must give the library's
// result, or the program stops.  Compare the ratios within one run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string_view>
#include <string>
#include <vector>

#include "platform/mbtext.h"
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
    const char* text() const { return bytes_.data() + QMR_TF_TEXT; }

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

// The built-in "sjis", or a host's copy of its table, which the walkers
// ask for every character's length.
void useShiftJis(bool hostCopy) {
    qmr_use_charset("sjis");
    if (!hostCopy) return;
    static QmrTextServices copy;
    copy = qmr::textServices();
    qmr_set_text_services(&copy);
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

int naiveIndex() {
    for (int i = 0; i + 8 <= kSize; ++i) {
        int k = 0;
        while (k < 8 && kSearch.text[i + k] == kSearch.search[k]) ++k;
        if (k == 8) return i + 1;
    }
    return 0;
}

void BM_Index_naiveDoubleLoop(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(naiveIndex());
}
BENCHMARK(BM_Index_naiveDoubleLoop);

int viewFind() {
    return static_cast<int>(std::string_view(kSearch.text).find(kSearch.search)) + 1;
}

void BM_Index_stringViewFind(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(viewFind());
}
BENCHMARK(BM_Index_stringViewFind);

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

// The length of the text's first run of set members, as each peer finds it.
int tableLoop() {
    const auto* text = reinterpret_cast<const unsigned char*>(kVerifyText.data());
    bool member[256] = {};
    for (const char* c = kSet; *c; ++c) member[static_cast<unsigned char>(*c)] = true;
    int i = 0;
    while (i < kSize && member[text[i]]) ++i;
    return i;
}

int naiveSetScan() {
    int i = 0;
    for (; i < kSize; ++i) {
        bool found = false;
        for (int k = 0; k < 16 && !found; ++k) found = kVerifyText[i] == kSet[k];
        if (!found) break;
    }
    return i;
}

void BM_Verify_tableLoop(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(tableLoop());
}
BENCHMARK(BM_Verify_tableLoop);

void BM_Verify_naiveSetScan(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(naiveSetScan());
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
    useShiftJis(state.range(0) != 0);
    const std::string text = shiftJis(kSize);
    Field source(kSize, text), search(4, text.substr(kSize - 4));
    qmr_int16 position = 0;
    for (auto _ : state) {
        QMRFINDX(nullptr, nullptr, context(), source.get(), search.get(), &position);
        benchmark::DoNotOptimize(position);
    }
    qmr_use_charset("single");
}
BENCHMARK(BM_ShiftJis_QMRFINDX)->ArgName("hostTable")->Arg(0)->Arg(1);

void BM_ShiftJis_QMRFSSTR(benchmark::State& state) {
    useShiftJis(state.range(0) != 0);
    Field source(kSize, shiftJis(kSize)), result(kSize, "");
    for (auto _ : state) {
        OptionalNumber start{' ', 0, 1000}, length{' ', 0, 2000};
        QMRFSSTR(nullptr, nullptr, context(), source.get(), &start, &length, result.get());
        benchmark::ClobberMemory();
    }
    qmr_use_charset("single");
}
BENCHMARK(BM_ShiftJis_QMRFSSTR)->ArgName("hostTable")->Arg(0)->Arg(1);

void BM_SingleByte_QMRFSSTR(benchmark::State& state) {
    Field source(kSize, kTrimText), result(kSize, "");
    for (auto _ : state) {
        OptionalNumber start{' ', 0, 1000}, length{' ', 0, 2000};
        QMRFSSTR(nullptr, nullptr, context(), source.get(), &start, &length, result.get());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SingleByte_QMRFSSTR);

// UTF-8 of 1 to 4 bytes a character (ASCII, Latin, kana, emoji), 4096
// bytes, beside a plain decode loop that checks each sequence as the
// walk does.
std::string utf8Text() {
    static const char* const pieces[] = {"a", "b", " ", "\xc3\xa9", "\xc3\x9f", "\xe3\x81\x82", "\xe6\xbc\xa2",
                                         "\xf0\x9f\x98\x80"};
    std::mt19937 random(8);
    std::string text;
    while (static_cast<int>(text.size()) < kSize - 4) text += pieces[random() % 8];
    text.resize(static_cast<std::size_t>(kSize), 'z');
    return text;
}
const std::string kUtf8Text = utf8Text();

// The bytes walked and the characters found.
struct Decoded {
    long bytes;
    long characters;
    long sum;  // of the code points, so that the decoding is not left out
};
Decoded decodeLoop(const std::string& text) {
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const long n = static_cast<long>(text.size());
    Decoded d{0, 0, 0};
    while (d.bytes < n) {
        const unsigned b = s[d.bytes];
        int length = b < 0xC2 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : b < 0xF5 ? 4 : 1;
        unsigned code = length == 1 ? b : b & (0x7F >> length);
        const unsigned low = b == 0xE0 ? 0xA0 : b == 0xF0 ? 0x90 : 0x80, high = b == 0xED ? 0x9F : b == 0xF4 ? 0x8F : 0xBF;
        for (int i = 1; i < length; ++i) {
            const unsigned c = d.bytes + i < n ? s[d.bytes + i] : 0;
            if (c < (i == 1 ? low : 0x80) || c > (i == 1 ? high : 0xBF)) {
                length = 1, code = b;
                break;
            }
            code = code << 6 | (c & 0x3F);
        }
        d.bytes += length, ++d.characters, d.sum += code;
    }
    return d;
}

void BM_Utf8_decodeLoop(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(decodeLoop(kUtf8Text));
}
BENCHMARK(BM_Utf8_decodeLoop);

void BM_Utf8_QMRFLGTH(benchmark::State& state) {
    qmr_use_charset("utf8");
    Field source(kSize, kUtf8Text);
    qmr_int32 length = 0;
    for (auto _ : state) {
        QMRFLGTH(nullptr, nullptr, context(), source.get(), &length);
        benchmark::DoNotOptimize(length);
    }
    qmr_use_charset("single");
}
BENCHMARK(BM_Utf8_QMRFLGTH);

// The whole text: every character is walked.
void BM_Utf8_QMRFSSTR(benchmark::State& state) {
    qmr_use_charset("utf8");
    Field source(kSize, kUtf8Text), result(kSize, "");
    for (auto _ : state) {
        OptionalNumber start{' ', 0, 1}, length{' ', 0, kSize};
        QMRFSSTR(nullptr, nullptr, context(), source.get(), &start, &length, result.get());
        benchmark::ClobberMemory();
    }
    qmr_use_charset("single");
}
BENCHMARK(BM_Utf8_QMRFSSTR);

// Each peer's answer against the library's, before anything is timed.
void expectSame(const char* what, long library, long peer) {
    if (library == peer) return;
    std::fprintf(stderr, "bench_text: %s: the library gives %ld, the peer %ld\n", what, library, peer);
    std::abort();
}

void checkPeers() {
    Field source(kSize, kSearch.text), search(8, kSearch.search);
    qmr_int16 position = 0;
    QMRFINDX(nullptr, nullptr, context(), source.get(), search.get(), &position);
#if defined(__GLIBC__)
    const auto* found = static_cast<const char*>(memmem(kSearch.text.data(), kSize, kSearch.search.data(), 8));
    expectSame("index, memmem", position, found == nullptr ? 0 : found - kSearch.text.data() + 1);
#endif
    expectSame("index, string_view::find", position, viewFind());
    expectSame("index, naive loop", position, naiveIndex());
    Field text(kSize, kVerifyText), set(16, kSet), notMember(kSize, kVerifyText.substr(0, 100) + "z");
    QMRFVRFY(nullptr, nullptr, context(), text.get(), set.get(), &position);
    const int span = static_cast<int>(std::strspn(kVerifyText.c_str(), kSet));
    expectSame("verify, strspn", position, span == kSize ? 0 : span + 1);
    expectSame("verify, table loop", position, tableLoop() == kSize ? 0 : tableLoop() + 1);
    expectSame("verify, naive scan", position, naiveSetScan() == kSize ? 0 : naiveSetScan() + 1);
    QMRFVRFY(nullptr, nullptr, context(), notMember.get(), set.get(), &position);
    expectSame("verify of a text with a stranger", position, 101);
    Field trimSource(kSize, kTrimText), result(kSize, "");
    QMRFTRIM(nullptr, nullptr, context(), trimSource.get(), result.get());
    qmr_int32 length = 0;
    QMRFLGTH(nullptr, nullptr, context(), result.get(), &length);
    expectSame("trim, byte loop", length, static_cast<long>(kTrimText.find_last_not_of(' ') + 1));
    QMRFUPPR(nullptr, nullptr, context(), trimSource.get(), result.get());
    std::string upper = kTrimText;
    for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    expectSame("upper-casing, byte loop", std::memcmp(result.text(), upper.data(), kSize), 0);
    // The built-in set and a host's copy of it find the same.
    long answers[2][2];
    for (int host = 0; host < 2; ++host) {
        useShiftJis(host != 0);
        const std::string sjis = shiftJis(kSize);
        Field sjisSource(kSize, sjis), sjisSearch(4, sjis.substr(kSize - 4)), cut(kSize, "");
        QMRFINDX(nullptr, nullptr, context(), sjisSource.get(), sjisSearch.get(), &position);
        OptionalNumber start{' ', 0, 1000}, count{' ', 0, 2000};
        QMRFSSTR(nullptr, nullptr, context(), sjisSource.get(), &start, &count, cut.get());
        QMRFLGTH(nullptr, nullptr, context(), cut.get(), &length);
        answers[host][0] = position, answers[host][1] = length;
    }
    qmr_use_charset("single");
    expectSame("Shift_JIS index, host's table", answers[0][0], answers[1][0]);
    expectSame("Shift_JIS substring, host's table", answers[0][1], answers[1][1]);
    // UTF-8: the decode loop walks the bytes QMRFLGTH counts, finds the
    // characters the analysis finds, and QMRFSSTR copies them all.
    qmr_use_charset("utf8");
    const Decoded decoded = decodeLoop(kUtf8Text);
    Field utf8(kSize, kUtf8Text), whole(kSize, "");
    QMRFLGTH(nullptr, nullptr, context(), utf8.get(), &length);
    expectSame("UTF-8 length, decode loop", length, decoded.bytes);
    TextAnalysis* analysis = qmr::textServices().AnalyseText(kUtf8Text.c_str(), 0);
    expectSame("UTF-8 characters, decode loop", analysis->charCount, decoded.characters);
    qmr::textServices().ReleaseAnalysis(analysis);
    OptionalNumber start{' ', 0, 1}, count{' ', 0, kSize};
    QMRFSSTR(nullptr, nullptr, context(), utf8.get(), &start, &count, whole.get());
    QMRFLGTH(nullptr, nullptr, context(), whole.get(), &length);
    expectSame("UTF-8 substring of the whole text", length, decoded.bytes);
    qmr_use_charset("single");
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
