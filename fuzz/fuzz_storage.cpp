// The storage-format readers and writers.  Every reader gets a text of
// exactly the length its layout lets it read (25 or 26 for the twelve-hour
// stamps, as their first character says), every writer a stamp of exactly
// the characters its form keeps and an output of exactly its layout, so a
// byte read or written beyond stops the run.
//
// Checks: readers of stamps end their 20 characters with a NUL; the date
// and time writers give the leading characters of printf's "%08.8d" and
// "%06d" in their layout, and a date read back gives the date written.
#include "fuzz_support.h"

using namespace qmr_fuzz;

namespace {

using Reader = qmr_int32(QMR_CALL*)(const char*, qmr_int32*);
using StampReader = qmr_int32(QMR_CALL*)(const char*, char*);
using Writer = qmr_int32(QMR_CALL*)(qmr_int32, char*);

qmr_int32 readValue(Reader reader, const std::string& typed) {
    Guarded text(typed.size());
    std::memcpy(text.data(), typed.data(), typed.size());
    Guarded value(4);
    QMR_FUZZ_CHECK(reader(reinterpret_cast<const char*>(text.data()), reinterpret_cast<qmr_int32*>(value.data())) == 0,
                   "a reader returns 0");
    QMR_FUZZ_CHECK(text.intact() && value.intact() && text.text() == typed, "outside the fields");
    return le32(value.data());
}

void readStamp(StampReader reader, const std::string& typed) {
    Guarded text(typed.size());
    std::memcpy(text.data(), typed.data(), typed.size());
    Guarded stamp(QMR_TIMESTAMP_SIZE, '#');
    QMR_FUZZ_CHECK(reader(reinterpret_cast<const char*>(text.data()), reinterpret_cast<char*>(stamp.data())) == 0,
                   "a reader returns 0");
    QMR_FUZZ_CHECK(text.intact() && stamp.intact() && text.text() == typed, "outside the fields");
    QMR_FUZZ_CHECK(stamp.data()[20] == 0, "no NUL after the stamp");
}

std::string written(Writer writer, qmr_int32 value, std::size_t size) {
    Guarded text(size, '#');
    QMR_FUZZ_CHECK(writer(value, reinterpret_cast<char*>(text.data())) == 0, "a writer returns 0");
    QMR_FUZZ_CHECK(text.intact(), "written past the layout");
    return text.text();
}

std::string printed(const char* format, qmr_int32 value, std::size_t keep) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return std::string(text).substr(0, keep);
}

void dates(Input& in) {
    const qmr_int32 date = in.i32();
    const std::string d = date == 0 ? "00010101" : printed("%08.8d", date, 8);
    const std::string w = written(QMRVW2D, date, QMR_W_DATE_LENGTH);
    QMR_FUZZ_CHECK(w == d.substr(0, 4) + "-" + d.substr(4, 2) + "-" + d.substr(6, 2), "W %d: %s", date, w.c_str());
    const std::string dm = date == 0 ? "17530101" : d;
    const std::string m = written(QMRVM2D, date, QMR_MY_DATE_LENGTH + 1);
    QMR_FUZZ_CHECK(m == dm.substr(4, 2) + "-" + dm.substr(6, 2) + "-" + dm.substr(0, 4) + std::string(1, '\0'),
                   "M %d: %s", date, m.c_str());
    if (date >= 0 && date <= 99999999) {
        QMR_FUZZ_CHECK(readValue(QMRD2VW, w) == (date == 10101 ? 0 : date), "W %d read back", date);
        QMR_FUZZ_CHECK(readValue(QMRD2VM, m.substr(0, 10)) == (date == 17530101 ? 0 : date), "M %d read back", date);
    }
}

void times(Input& in) {
    const qmr_int32 time = in.i32();
    const std::string t = printed("%06d", time, 6);
    const std::string w = written(QMRVW2T, time, QMR_W_TIME_LENGTH);
    QMR_FUZZ_CHECK(w == t.substr(0, 2) + "." + t.substr(2, 2) + "." + t.substr(4, 2), "W %d: %s", time, w.c_str());
    const std::string m = written(QMRVM2T, time, QMR_MY_TIME_LENGTH + 1);
    QMR_FUZZ_CHECK(m == t.substr(0, 2) + ":" + t.substr(2, 2) + ":" + t.substr(4, 2) + std::string(1, '\0'),
                   "M %d: %s", time, m.c_str());
    const std::string o = written(QMRVO2T, time, QMR_O_TIME_LENGTH + 1);
    QMR_FUZZ_CHECK(o.substr(0, 10) == "0001-01-01" && o.substr(12) == w.substr(2) + std::string(1, '\0'), "O %d: %s",
                   time, o.c_str());
    if (time >= 0 && time <= 235959) {
        QMR_FUZZ_CHECK(readValue(QMRT2VW, w) == time && readValue(QMRT2VO, o.substr(0, 18)) == time, "%d read back",
                       time);
    }
}

void stampWriters(Input& in) {
    const std::string stamp = in.fixed(20, '0');
    const auto write = [](StampReader writer, const std::string& from, std::size_t size) {
        Guarded source(from.size());
        std::memcpy(source.data(), from.data(), from.size());
        Guarded text(size, '#');
        QMR_FUZZ_CHECK(writer(reinterpret_cast<const char*>(source.data()), reinterpret_cast<char*>(text.data())) == 0,
                       "a writer returns 0");
        QMR_FUZZ_CHECK(source.intact() && text.intact(), "outside the fields");
    };
    write(QMRVW2S, stamp, QMR_W_STAMP_LENGTH);
    write(QMRVO2S, stamp.substr(0, 14), QMR_O_STAMP_LENGTH + 1);
    write(QMRVM2S, stamp.substr(0, 17), QMR_MY_STAMP_LENGTH + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    switch (in.byte() % 8) {
    case 0: dates(in); break;
    case 1: times(in); break;
    case 2: stampWriters(in); break;
    case 3: {
        const std::string text = in.fixed(26);
        readValue(QMRD2VM, text.substr(0, 10));
        readValue(QMRD2VY, text.substr(0, 10));
        readValue(QMRD2VW, text.substr(0, 10));
        readValue(QMRT2VW, text.substr(0, 8));
        readValue(QMRT2VO, text.substr(0, 18));
        readStamp(QMRS2VW, text);
        readStamp(QMRS2VO, text.substr(0, 18));
        break;
    }
    default: {
        // The twelve-hour readers, mostly on texts close to their layouts.
        static constexpr const char* kShapes[] = {"01/15/2001  03:04:05:006PM", "01/15/2001 03:04:05:006PM",
                                                  "Jan 15 2001  3:04:05:006PM", "01/01/1753  12:00:00:000AM"};
        std::string text = kShapes[in.byte() % 4];
        text.resize(26, ' ');
        for (std::uint8_t edits = in.byte() % 8; edits > 0; --edits) {
            text[in.byte() % 26] = static_cast<char>(in.byte());
        }
        if (in.byte() & 1) text = in.fixed(26);
        const std::size_t readable = text[0] == '0' || text[0] == '1' ? 25 : 26;
        readStamp(QMRS2VM, text.substr(0, readable));
        readStamp(QMRS2VY, text.substr(0, readable));
    }
    }
    return 0;
}
