// A plain model of the relationship queue, written from its rules, and
// the check of one request against it: the request goes through
// QMDDAQUE on a CMCB of tests/support/queue_host.h, and everything the
// call changed (result, return code and message, the anchor, the
// identifiers, every caller field, the requests for storage) must be what
// the model says.  RequestStream draws requests from a stream of bytes: a
// seeded generator in the unit tests, the input in the fuzz target.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/alloc.h"
#include "support/queue_host.h"

namespace qmr_test {

struct QueueRequest {
    char code;
    std::vector<std::string> fields = {};  // ADD: the fields; READ: the caller's fields before the call; else none
    int ending = kAtCount;
    std::string relationship = "REL00001";  // ADD: the CMCB's identifiers
    std::string associated = "ASC00001";
    int failing = 0;  // the call's k-th request for storage fails; 0: none
};

// One CMCB's queue.
struct QueueModel {
    struct Relationship {
        std::string ids;
        std::vector<std::string> fields;
    };
    bool anchored = false;
    bool paged = false;  // an entry was ever added
    int freeBytes = 0;   // in the last page
    std::deque<Relationship> pending;
    std::optional<Relationship> current;
};

// Makes `r` on `cmcb` and compares with the model, which it moves on:
// "" when they agree, else both accounts of the call (result, CMCB,
// requests for storage, then each caller field's length and bytes).
inline std::string checkRequest(Cmcb& cmcb, QueueModel& m, const QueueRequest& r) {
    static const bool tableGrown = [] {  // the handle table grows at the first queue of the process
        Cmcb warm(Form::pairs);
        CallerFields(Form::pairs, {"x"}).call(warm, 'A');
        CallerFields(Form::pairs, {}).call(warm, 'N');
        return CallerFields(Form::pairs, {}).call(warm, 'N') == 4;
    }();
    (void)tableGrown;
    const std::vector<std::string>& fields = r.fields;
    CallerFields sent(cmcb.form, fields, r.ending), original(cmcb.form, fields, r.ending);
    cmcb.setIds(r.code == 'A' ? r.relationship : "????????", r.code == 'A' ? r.associated : "????????");
    cmcb.bytes[QMR_CMCB_REQUEST] = static_cast<unsigned char>(r.code);
    std::memset(cmcb.bytes + QMR_CMCB_RETURN_CODE, '?', 2 + QMR_CMCB_MESSAGE_SIZE);
    const Cmcb before = cmcb;
    qmr::testing::failAllocation(r.failing);
    const int result = sent.call(cmcb, r.code);
    std::string got = std::to_string(result) + " " +
                      (std::memcmp(cmcb.bytes, before.bytes, Cmcb::kSize) == 0
                           ? "unchanged"
                           : cmcb.answer() + (cmcb.anchored() ? " anchored " : " none ") + cmcb.ids() +
                                 (cmcb.onlyDocumentedBytesWritten() ? "" : " and bytes beyond the layout")) +
                      " storage " + std::to_string(qmr::testing::allocationCount());
    qmr::testing::failAllocation(0);
    std::vector<std::string> want;
    for (std::size_t i = 0; i < sent.size(); ++i) {
        got += " " + sent.length(i) + ":" + sent.bytes(i);
        want.push_back(original.length(i) + ":" + original.bytes(i));
    }

    long tries = 0;
    const auto storage = [&] { return ++tries != r.failing; };
    const auto verdict = [&](const std::string& cmcbAccount) {
        std::string account = cmcbAccount + " storage " + std::to_string(tries);
        for (const std::string& f : want) account += " " + f;
        if (account == got) return std::string();
        return "QMDDAQUE '" + std::string(1, r.code) + "'\n  got  " + got + "\n  want " + account;
    };
    if (!m.anchored && !storage()) return verdict("4 unchanged");
    if (!m.anchored) m = QueueModel{true, false, 0, {}, {}};
    std::string answer = QMR_QRC_OK, ids = before.ids();
    const auto refuse = [&](const char* code, const char* message) { answer = std::string(code) + message; };
    int size = 28;
    for (const std::string& f : fields) size += 2 + int(f.size());
    size = (size + 3) / 4 * 4;
    if (r.code == 'A' && !sent.present()) {
        refuse(QMR_QRC_INVALID, QMR_QMSG_ADD_NEEDS_PARMS);
    } else if (r.code == 'A' && ids.substr(0, cmcb.width()) == std::string(cmcb.width(), '\0')) {
        refuse(QMR_QRC_INVALID, QMR_QMSG_INVALID_REQUEST);
    } else if (r.code == 'A' && fields.size() >= 240) {
        refuse(QMR_QRC_FIELDS, QMR_QMSG_NO_END_OF_FIELDS);
    } else if (r.code == 'A' && (size > 4092 || (size >= m.freeBytes && !storage()))) {
        refuse(QMR_QRC_STORAGE, QMR_QMSG_NO_STORAGE);
    } else if (r.code == 'A') {
        m.freeBytes = (size >= m.freeBytes ? 4092 : m.freeBytes) - size;
        m.paged = true;
        m.pending.push_back({ids, fields});
    } else if (r.code == 'N' && (!m.paged || m.pending.empty())) {
        refuse(QMR_QRC_EMPTY, QMR_QMSG_NO_MORE);
        if (m.paged) m = QueueModel{};  // past the end: released
    } else if (r.code == 'N') {
        m.current = m.pending.front();
        m.pending.pop_front();
        ids = m.current->ids;
    } else if (r.code == 'R' && !sent.present()) {
        refuse(QMR_QRC_INVALID, QMR_QMSG_READ_NEEDS_PARMS);
    } else if (r.code == 'R' && !m.current) {
        refuse(QMR_QRC_EMPTY, QMR_QMSG_NONE_READ);
    } else if (r.code == 'R') {
        ids = m.current->ids;
        const std::vector<std::string>& saved = m.current->fields;
        for (std::size_t i = 0; i < std::min<std::size_t>(fields.size(), 240); ++i) {
            const std::size_t copied = i < saved.size() ? std::min(fields[i].size(), saved[i].size()) : 0;
            want[i] = (cmcb.block() ? original.length(i) : std::to_string(copied)) + ":" +
                      (i < saved.size() ? saved[i].substr(0, copied) : "") + fields[i].substr(copied);
        }
    } else {
        refuse(QMR_QRC_INVALID, QMR_QMSG_INVALID_REQUEST);
    }
    answer.resize(2 + QMR_CMCB_MESSAGE_SIZE, ' ');
    return verdict((answer.substr(0, 2) == QMR_QRC_OK ? "0 " : "4 ") + answer + (m.anchored ? " anchored " : " none ") +
                   ids);
}

// Releases the CMCB's queue, checking each call: one more relationship
// gives it a page, then NEXT runs past its end.
inline std::string closeQueue(Cmcb& cmcb, QueueModel& m) {
    std::string error = m.anchored ? checkRequest(cmcb, m, {'A', {"close"}}) : "";
    while (m.anchored && error.empty()) error = checkRequest(cmcb, m, {'N'});
    return error;
}

// Requests on a few CMCBs of both forms, each checked against its model.
// A step reads one byte `what`: its bits 0 and 1 choose the CMCB (mod
// their number), bits 2 to 5 ADD (0 to 5), NEXT (6 to 10), READ (11, 12),
// another request code (13) or a made-up handle (14, 15); when bits 6
// and 7 are set, a further byte names the call's request for storage that
// fails (mod 3: none, the first, the second).  Then:
//   ADD: two identifiers (a byte below 16 makes one zero, but for at most
//        one byte; else a byte of its text follows), a shape byte (its
//        value mod 6 fields; 0xFF: 240, 0xFE: 239, each of 1 byte), a
//        byte per field (below 0xF0: 1 to 40 bytes; else one of the
//        lengths at a page's edges), and an ending byte (mod 8, as Ending
//        below 4, else kAtCount);
//   READ: a byte for the count (below 8: none; else the saved count -2
//        to +2), a byte per field (the saved length -3 to +3), an ending;
//   another code: a byte choosing it;
//   made-up handle (only where no queue is anchored): a byte choosing the
//        handle this CMCB held before its release, another CMCB's live
//        handle under state 'U', or one never issued, whose two bytes
//        follow in any case.
class RequestStream {
public:
    explicit RequestStream(std::size_t count) : models_(count), released_(count) {
        for (std::size_t i = 0; i < count; ++i) cmcbs_.emplace_back(i % 2 ? Form::pairs : Form::block);
    }

    template <typename Byte>
    std::string step(Byte&& byte) {
        const std::uint8_t what = byte();
        const std::size_t k = (what & 3u) % cmcbs_.size();
        Cmcb& c = cmcbs_[k];
        QueueModel& m = models_[k];
        QueueRequest r{'N'};
        if (what >= 0xC0) r.failing = byte() % 3;
        const auto ending = [&] { return std::min(byte() % 8, 4) % 4; };
        const int op = what >> 2 & 15;
        switch (op < 6 ? 0 : op < 11 ? 1 : op < 13 ? 2 : op - 10) {
        case 0: {
            r = {'A', {}, kAtCount, id(byte, c.width()), id(byte, c.width()), r.failing};
            const std::uint8_t shape = byte();
            const std::size_t count = shape == 0xFF ? 240 : shape == 0xFE ? 239 : shape % 6;
            static const int kEdges[] = {4062, 4063, 4030, 2016, 2014, 4100, 3000, 1000,
                                         2046, 1200, 600,  1800, 2400, 3600, 300,  150};
            for (std::size_t i = 0; i < count; ++i) {
                const std::uint8_t l = count > 200 ? 0 : byte();
                r.fields.push_back(
                    std::string(std::size_t(l < 0xF0 ? 1 + l % 40 : kEdges[l - 0xF0]), char('a' + i % 26)));
            }
            r.ending = ending();
            break;
        }
        case 2: {
            r.code = 'R';
            const std::vector<std::string> saved = m.current ? m.current->fields : std::vector<std::string>{};
            const std::uint8_t b = byte();
            const std::size_t count = b < 8 ? 0 : std::size_t(std::max<int>(0, int(saved.size()) + b % 5 - 2));
            for (std::size_t i = 0; i < count; ++i) {
                const int room = (i < saved.size() ? int(saved[i].size()) : 5) + byte() % 7 - 3;
                r.fields.push_back(std::string(std::size_t(std::max(room, 1)), '.'));
            }
            r.ending = ending();
            break;
        }
        case 3: r.code = "XanrZ"[byte() % 6]; break;
        case 4:
        case 5: {
            const std::uint8_t b = byte();
            if (m.anchored) return "";
            const Cmcb& other = cmcbs_[(k + 1) % cmcbs_.size()];
            const bool live = b & 2 && c.block() && other.anchored();
            const std::uint32_t low = byte(), neverIssued = low | std::uint32_t{byte()} << 8;
            c.setHandle(b & 1 ? released_[k] : live ? other.handle() : neverIssued);
            if (c.block()) c.bytes[QMR_CMCB_BLOCK_STATE] = b & 4 && !live ? 'A' : 'U';
            return "";
        }
        default: break;
        }
        const std::uint32_t handle = c.handle();
        const bool anchored = m.anchored;
        const std::string error = checkRequest(c, m, r);
        if (anchored && !m.anchored) released_[k] = handle;
        return error;
    }

    std::string close() {
        std::string error;
        for (std::size_t k = 0; k < cmcbs_.size(); ++k) error += closeQueue(cmcbs_[k], models_[k]);
        return error;
    }

private:
    template <typename Byte>
    static std::string id(Byte& byte, std::size_t width) {
        const std::uint8_t shape = byte();
        std::string id(width, '\0');
        if (shape >= 8 && shape < 16) id[shape % width] = 'x';
        return shape < 16 ? id : "R" + std::to_string(shape * 7 + byte());
    }

    std::vector<Cmcb> cmcbs_;
    std::vector<QueueModel> models_;
    std::vector<std::uint32_t> released_;  // each CMCB's handle before its last release
};

}  // namespace qmr_test
