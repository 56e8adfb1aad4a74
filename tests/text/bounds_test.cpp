// Every walk stays inside its field: texts that end inside a character,
// and host services whose CharLength points past the text.  The fields
// are exactly sized, so ASan reports any byte touched beyond them.
#include "platform/mbtext.h"
#include "text/text_test.h"

namespace {

using namespace qmr_test;

// Calls every text function once on `text` (and `other`), exactly sized.
void callEverything(std::string_view text, std::string_view other) {
    TestContext ctx;
    const auto size = static_cast<std::int32_t>(text.size());
    Field t(size, text), o(static_cast<std::int32_t>(other.size()), other), out(size, "");
    qmr_int16 position;
    for (auto* f : {QMRFINDX, QMRFINDB, QMRFVRFY, QMRFVRDB})
        f(nullptr, nullptr, ctx.get(), t.get(), o.get(), &position);
    for (auto* f : {QMRFSSTR, QMRFSSDB}) {
        for (qmr_int16 start = 1; start <= size; ++start) {
            OptionalNumber s{' ', 0, start}, n{'N', 0, 0};
            ctx.clearError();
            f(nullptr, nullptr, ctx.get(), t.get(), &s, &n, out.get());
        }
    }
    for (auto* f : {QMRFTRIM, QMRFUPPR}) f(nullptr, nullptr, ctx.get(), t.get(), out.get());
    Field joined(2 * size, "");
    QMRFCCAT(nullptr, nullptr, ctx.get(), t.get(), t.get(), joined.get());
    Buffer a(text), b(other), c(text), target("", text.size());
    Qmstrcmp(a.get(), b.get());
    Qmstrcpy(target.get(), a.get(), static_cast<qmr_int16>(text.size()));
    Qmrrjust(c.get());
    const std::string count{static_cast<char>(size), 0};
    std::string field = count;
    const qmr_int16 order = 0;
    QMRVTRIM(field.data(), t.get()->text, &order);
    QMROTRIM(field.data(), c.get());
}

TEST(Bounds, TextsEndingInsideACharacter) {
    const struct {
        const char* charset;
        std::string_view text, other;
    } rows[] = {{"sosi", "ab" SO, SO},           {"sosi", "a" SO "\x21", "a" SO "\x21"},
                {"sosi", SO "\x21\x21\x21", SI}, {"sjis", "ab\x82", "\x82"},
                {"gbk", "\x81", "\x81\x40"},     {"tis620", "\xd4", "\xa1\xd4"}};
    for (const auto& r : rows) {
        const UseCharset use(r.charset);
        callEverything(r.text, r.other);
    }
}

qmr_int16 QMR_CALL fourBytes(const char*) {
    return 4;
}
qmr_int16 QMR_CALL noCharacter(const char*) {
    return 0;
}

TEST(Bounds, HostCharLengthsThatPointPastTheText) {
    for (auto* length : {fourBytes, noCharacter}) {
        for (const char* base : {"sjis", "tis620", "single"}) {
            qmr_use_charset(base);
            QmrTextServices host = qmr::textServices();
            host.CharLength = length;
            ASSERT_EQ(qmr_set_text_services(&host), 0);
            callEverything("abcde", "e");
            callEverything("a", "a  ");
            TestContext ctx;
            Field t(5, "abcde"), e(1, "e");
            qmr_int16 position = -1;
            QMRFINDX(nullptr, nullptr, ctx.get(), t.get(), e.get(), &position);
            const bool leadBytes = base == "sjis"sv;
            EXPECT_EQ(position, !leadBytes ? 5 : length == fourBytes ? 5 : 0) << base;
        }
    }
    qmr_set_text_services(nullptr);
}

}  // namespace
