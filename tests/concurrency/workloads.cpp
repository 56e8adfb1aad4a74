#include "concurrency/workloads.h"

#include <cstdio>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "queue/queue_host.h"
#include "support/list_group.h"
#include "qmr/qmr.h"
#include "support/context.h"
#include "text/text_test.h"

namespace stress {
namespace {

using qmr_test::Field;
using qmr_test::TestContext;

// Appends values and the context's message to a transcript.
class Transcript {
public:
    Transcript& operator<<(long long v) {
        text_ += std::to_string(v) + ' ';
        return *this;
    }
    Transcript& operator<<(const std::string& s) {
        text_ += s + '|';
        return *this;
    }
    Transcript& bytes(const void* p, std::size_t n) { return *this << std::string(static_cast<const char*>(p), n); }
    Transcript& error(TestContext& c) { return *this << c.error() + c.name(); }
    std::string str() const { return text_; }

private:
    std::string text_;
};

std::string dateText(std::int32_t date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date / 10000, date / 100 % 100, date % 100);
    return text;
}

}  // namespace

// A built-in from an input field to a number, through context `c`.
template <typename Out, typename In>
long long call(void (*f)(void*, void*, CallContext*, const In*, Out*), TestContext& c, const In* in) {
    Out out{};
    f(nullptr, nullptr, c.get(), in, &out);
    return out;
}

std::string dateCalls(int seed) {
    Transcript t;
    for (int i = 0; i < 150; ++i) {
        const std::int32_t date = 16000101 + (seed * 7919 + i * 104729) % 99991231 / 100 * 100 + i % 31 + 1;
        TestContext c;
        const qmr_int32 days = qmr_int32(call(QMRFDAYS, c, &date)), cyy = qmr_int32(call(QMRFCYYD, c, &date));
        char day[9];
        QMRFDOW(nullptr, nullptr, c.get(), &date, day);
        t.bytes(day, 9) << call(QMRFDAY, c, &date) << call(QMRFYEAR, c, &date) << call(QMRFDTEN, c, &days)
                        << call(QMRFNCYY, c, &cyy) << QMRFDAT4(nullptr, nullptr, date)
                        << QMRFDAT2(nullptr, nullptr, QMRFDAT1(nullptr, nullptr, date))
                        << call(QMRFDTEC, c, dateText(date).c_str());
        t.error(c);
        TestContext d;
        d.setInt32At(QMR_CC_DUR_DATE, date);
        d.setByte(QMR_CC_DUR_MONTHS_SELECTED + (i % 3) * 8 - 8, 'Y');
        d.setInt32At(QMR_CC_DUR_MONTHS + (i % 3) * 8 - 8, i * 13 - 700);
        QMRFDDUR(nullptr, nullptr, d.get());
        (t << d.int32At(QMR_CC_DUR_RESULT_DATE)).error(d);
        DateRequest request{};
        request.date = date - 19000000;
        request.requestCode = '4';
        request.dateForm = '5';
        QMRDAT2(nullptr, nullptr, &request);
        t << request.date << request.returnCode;
    }
    return t.str();
}

std::string timeCalls(int seed) {
    Transcript t;
    for (int i = 0; i < 150; ++i) {
        const std::int32_t time = (seed * 3001 + i * 7717) % 250000;
        TestContext c, e, d;
        char stamp[21], text[16], built[21] = {};
        std::snprintf(stamp, sizeof stamp, "2026120%d%06d12345%d", i % 9 + 1, time, i % 10);
        std::snprintf(text, sizeof text, "%d:%02d %s", time / 10000 % 13, time / 100 % 60, i % 2 ? "PM" : "AM");
        t << call(QMRFHOUR, c, &time) << call(QMRFMIN, c, &time) << call(QMRFNUMT, c, &time)
          << call(QMRFTMTS, c, stamp) << call(QMRFMICR, c, stamp) << call(QMRFTMEC, e, text);
        t.error(c).error(e);
        Field field(26, "2026-12-04-" + std::string(text, 2) + ".30.45.123456");
        QMRFTSC(nullptr, nullptr, e.get(), field.get(), built);
        t.bytes(built, 21);
        d.setInt32At(QMR_CC_DUR_TIME, time);
        d.setByte(QMR_CC_DUR_HOURS_SELECTED + (i % 3) * 8, 'Y');
        d.setInt32At(QMR_CC_DUR_HOURS + (i % 3) * 8, i * 977 - 40000);
        QMRFTDUR(nullptr, nullptr, d.get());
        d.setText(QMR_CC_DUR_TIMESTAMP, stamp);
        d.setByte(QMR_CC_DUR_MICROS_SELECTED, 'Y');
        d.setInt32At(QMR_CC_DUR_MICROS, i * 99991);
        QMRFSDUR(nullptr, nullptr, d.get());
        (t << d.int32At(QMR_CC_DUR_RESULT_TIME) << d.text(QMR_CC_DUR_RESULT_TIMESTAMP, 21)).error(d);
    }
    return t.str();
}

std::string storageCalls(int seed) {
    Transcript t;
    for (int i = 0; i < 300; ++i) {
        const std::int32_t value = (seed * 65537 + i * 2654435) % 99999999;
        char text[32] = {}, stamp[32] = {};
        qmr_int32 w = 0, m = 0, o = 0;
        QMRVW2D(value, text);
        QMRD2VW(text, &w);
        QMRVM2D(value, text);
        QMRD2VM(text, &m);
        QMRVO2T(value % 240000, text);
        QMRT2VO(text, &o);
        t << w << m << o;
        std::snprintf(stamp, sizeof stamp, "%08d%06d%06d", value, value % 235959, i);
        QMRVW2S(stamp, text);
        QMRS2VW(text, stamp);
        t.bytes(stamp, 21);
        std::snprintf(text, sizeof text, "%02d/%02d/2001  %02d:04:05:006%s", i % 12 + 1, i % 28 + 1, i % 12 + 1,
                      i % 2 ? "PM" : "AM");
        QMRS2VM(text, stamp);
        t.bytes(stamp, 21);
        QMRS2VY(text, stamp);
        t.bytes(stamp, 21);
    }
    return t.str();
}

std::string numericCalls(int seed) {
    Transcript t;
    for (int i = 0; i < 300; ++i) {
        TestContext c;
        char text[32], digits[15];
        std::snprintf(text, sizeof text, "%-17.*f", i % 6, (seed * 131 + i * 7.25) * (i % 2 ? -1 : 1));
        double number = 0;
        QMRFNUM(nullptr, nullptr, c.get(), text, &number);
        QMRFCHR(nullptr, nullptr, c.get(), &number, digits);
        t.bytes(digits, 15).error(c) << static_cast<long long>(qmrd2dec(number, i % 5 - 2, i % 2) * 1000)
                                     << static_cast<long long>(qmrd2dc1(number * 1e9, i % 4, i % 2, 15 + i % 3));
    }
    return t.str();
}

std::string textCalls(int seed, bool asciiOnly) {
    static const char* const kTexts[] = {"Hello wide world  ", "ab\x0e!!\"\"\x0f" "cd  ", "a\x82\xa0\x81\x40 x",
                                         "x\xa3\xe1\xa1\xa1 yz", "\xa1\xd1\xd4" "b  ", "  plain text ", "ABC  "};
    Transcript t;
    for (int i = 0; i < 100; ++i) {
        const std::string text = kTexts[asciiOnly ? (i % 2 ? 0 : 5) : (i + seed) % 7];
        const std::string other = kTexts[asciiOnly ? 6 : (i * 3 + seed) % 7];
        TestContext c;
        Field a(40, text), b(20, other), r(60, "");
        const auto into = [&](auto f, auto... in) {  // a text built-in into r
            f(nullptr, nullptr, c.get(), in..., r.get());
            return std::to_string(r.length()) + r.bytes();
        };
        OptionalNumber start{'Y', 0, static_cast<qmr_int16>(1 + i % 5)}, length{'Y', 0, static_cast<qmr_int16>(i % 9)};
        t << into(QMRFCCAT, a.get(), b.get()) << into(QMRFSSTR, a.get(), &start, &length);
        if (!asciiOnly) t << into(QMRFSSDB, a.get(), &start, &length);  // shift-code text starts it double-byte
        qmr_int16 position = 0, verified = 0;
        Field search(8, text.substr(static_cast<std::size_t>(i % 4), 2));
        QMRFINDX(nullptr, nullptr, c.get(), a.get(), search.get(), &position);
        QMRFVRFY(nullptr, nullptr, c.get(), a.get(), b.get(), &verified);
        t << position << verified << into(QMRFTRIM, a.get()) << into(QMRFUPPR, a.get());
        t.error(c);
        std::string buffer = text;
        Qmrrjust(buffer.data());
        t << buffer;
        char copy[12];
        Qmstrcpy(copy, text.c_str(), static_cast<qmr_int16>(sizeof copy - i % 5));
        t.bytes(copy, sizeof copy - std::size_t(i % 5)) << Qmstrcmp(text.c_str(), other.c_str());
    }
    return t.str();
}

std::string listCalls(int seed) {
    std::mt19937 random(static_cast<unsigned>(seed));
    qmr_test::ListGroup g(300 + std::uint32_t(seed % 7) * 41,
                          {QMR_FIELD_LONG, QMR_FIELD_REAL, QMR_FIELD_TEXT, QMR_FIELD_VALUE20}, 4, random);
    Transcript t;
    const std::pair<decltype(&QMRSORT), const char*> calls[] = {
        {QMRSORT, "4 D 1 A"}, {QMRFLTR, "1 < 50 AND (2 >= 3.5 OR 3 <> \"C4\")"}, {QMRSORT, "3 A 2 d"}};
    for (const auto& [function, text] : calls) {
        TestContext c;
        function(nullptr, nullptr, c.get(), &g.group, text);
        t.error(c);
    }
    for (const auto& array : g.snapshot()) t.bytes(array.data(), array.size());
    TestContext c;
    for (char flag : std::string(" *H-+<>Ax")) {
        char f = flag;
        QMRSSEL(nullptr, nullptr, c.get(), &f, 1 + std::uint32_t(seed) % 7);
        t << QMRGSEL(nullptr, nullptr, c.get(), static_cast<signed char>(f), 5);
    }
    return t.str();
}

std::string queueCalls(int seed) {
    Transcript t;
    for (qmr_test::Form form : {qmr_test::Form::block, qmr_test::Form::pairs}) {
        qmr_test::QueueClient q(form);
        const int n = 20 + seed % 50;
        for (int i = 0; i < n; ++i) {
            t << q.add("R" + std::to_string(i), "A", {std::to_string(seed * i), std::string(std::size_t(i % 300), 'q')});
        }
        for (int i = 0; i <= n; ++i) {
            std::vector<std::string> got;
            t << q.next() << q.cmcb.relationship() << q.read({6, 400}, &got);
            for (const std::string& field : got) t << field;
        }
        t << q.cmcb.code() << q.cmcb.anchored();
    }
    return t.str();
}

}  // namespace stress
