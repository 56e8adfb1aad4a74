// The relationship queue as a host drives it, and a plain model of it
// written from its rules.  The host side: CMCBs in both layouts, larger
// than the layout and with sentinel bytes where the library must not
// write, and caller fields laid out byte by byte as a parameter block or
// as (length, data) pairs.  checkRequest makes one request through
// QMDDAQUE and compares every byte of the CMCB and of the caller's
// fields, the result and the requests for storage with what the model
// says.  RequestStream draws requests from a stream of bytes: a seeded
// generator in the unit and concurrency tests, the input in the fuzz
// target.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/alloc.h"
#include "qmr/qmr.h"
#include "support/context.h"

namespace qmr_test {

enum class Form { block, pairs };

// A host's CMCB in the layout of its form, larger than the layout, with
// a sentinel in every byte the library must not write.
struct Cmcb {
    static constexpr std::size_t kSize = 96;

    explicit Cmcb(Form f) : form(f) {
        std::memset(bytes, 0xA5, kSize);
        std::memset(bytes + QMR_CMCB_MESSAGE, ' ', QMR_CMCB_MESSAGE_SIZE);
        anchor(0);
    }

    bool block() const { return form == Form::block; }
    std::string text(std::size_t at, std::size_t n) const { return {reinterpret_cast<const char*>(bytes + at), n}; }
    // The relationship and then the associated identifier.
    std::string ids() const { return text(relationshipAt, width) + text(associatedAt, width); }
    void setIds(const std::string& ids) {
        std::memcpy(bytes + relationshipAt, ids.data(), width);
        std::memcpy(bytes + associatedAt, ids.data() + width, width);
    }
    std::uint32_t handle() const { return static_cast<std::uint32_t>(le32(bytes + handleAt)); }
    // The handle, and a block's state: 'A' for a handle, else 'U'.
    void anchor(std::uint32_t h) {
        putLe32(bytes + handleAt, static_cast<std::int32_t>(h));
        if (block()) bytes[QMR_CMCB_BLOCK_STATE] = h != 0 ? 'A' : 'U';
    }
    // A queue is anchored here, as far as the block itself says.
    bool anchored() const { return handle() != 0 && (!block() || bytes[QMR_CMCB_BLOCK_STATE] == 'A'); }

    Form form;
    // The identifiers' width and the positions of the identifiers and the handle, by form.
    std::size_t width = block() ? QMR_CMCB_BLOCK_ID_SIZE : QMR_CMCB_PAIR_ID_SIZE;
    std::size_t relationshipAt = block() ? QMR_CMCB_BLOCK_RELATIONSHIP : QMR_CMCB_PAIR_RELATIONSHIP;
    std::size_t associatedAt = block() ? QMR_CMCB_BLOCK_ASSOCIATED : QMR_CMCB_PAIR_ASSOCIATED;
    std::size_t handleAt = block() ? QMR_CMCB_BLOCK_HANDLE : QMR_CMCB_PAIR_HANDLE;
    unsigned char bytes[kSize];
};

// How a caller's field list ends: after its last field (the block's count,
// the pair list's null), at a length of 0, at a negative length, or
// (block) at the count with one more field behind it, (pairs) at a null
// data pointer.  Nothing behind the end may be read or written.
enum Ending { kAtCount, kZeroLength, kNegativeLength, kCountOrNullData };

// The caller's fields of one call, in the CMCB's form.  With no fields
// and kAtCount the call has the CMCB as its only parameter.
class CallerFields {
public:
    CallerFields(Form form, std::vector<std::string> fields, int ending = kAtCount)
        : block_(form == Form::block), count_(fields.size()), ending_(ending), data_(std::move(fields)) {
        if (ending != kAtCount) data_.push_back(ending == kZeroLength ? "" : "none");
        for (const std::string& d : data_) lengths_.push_back(int(d.size()));
        if (ending == kNegativeLength) lengths_.back() = -30;  // written "003p"
    }

    std::string storage;  // the caller's bytes during the last call

    // Whether the call has parameters beyond the CMCB.
    bool present() const { return block_ ? declared() >= 1 : !data_.empty(); }

    // The caller's storage, byte by byte: the parameter block, or each
    // pair's length and bytes one after another; then a guard.
    std::string bytes() const {
        std::string all = block_ ? "4.2.ZZZZ" + text(declared()) : "";
        for (std::size_t i = 0; i < data_.size(); ++i) {
            std::string length = text(lengths_[i]);
            if (!block_) putLe32(reinterpret_cast<unsigned char*>(length.data()), lengths_[i]);
            all += length + data_[i];
        }
        return all + "!end";
    }

    // Calls QMDDAQUE with the CMCB as it stands and the bytes() laid out
    // in `storage`.
    int call(Cmcb& cmcb) {
        storage = bytes();
        std::vector<void*> args;
        if (block_) args.push_back(storage.data());
        for (std::size_t i = 0, at = 0; !block_ && i < data_.size(); at += 4 + data_[i++].size()) {
            args.push_back(&storage[at]);
            args.push_back(ending_ == kCountOrNullData && i == count_ ? nullptr : &storage[at + 4]);
        }
        args.resize(kMaxArgs, nullptr);
        return callWith(cmcb.bytes, args.data(), std::make_index_sequence<kMaxArgs>{});
    }

    // What READ does to field i: `piece` at its start, and with a pair
    // list the piece's length as the field's.
    void fill(std::size_t i, const std::string& piece) {
        data_[i].replace(0, piece.size(), piece);
        if (!block_) lengths_[i] = int(piece.size());
    }

private:
    static constexpr std::size_t kMaxArgs = 2 * 242 + 1;  // 241 fields, an ending pair, the null

    int declared() const { return int(count_) + (ending_ == kZeroLength || ending_ == kNegativeLength ? 9 : 0); }
    // Numeric text: 4 digits, or "003p" (-30) for a negative number.
    static std::string text(int n) {
        const std::string digits = "000" + std::to_string(n);
        return n < 0 ? "003p" : digits.substr(digits.size() - 4);
    }
    template <std::size_t... I>
    static int callWith(void* cmcb, void* const* args, std::index_sequence<I...>) {
        return QMDDAQUE(nullptr, nullptr, cmcb, args[I]...);
    }

    bool block_;
    std::size_t count_;
    int ending_;
    std::vector<std::string> data_;
    std::vector<int> lengths_;
};

struct QueueRequest {
    char code;
    // ADD: the fields; READ: the caller's fields before the call; else none.
    std::vector<std::string> fields = {};
    int ending = kAtCount;
    std::pair<std::string, std::string> ids = {"REL00001", "ASC00001"};  // ADD: the CMCB's identifiers
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
// "" when they agree, else both accounts of the call (result, requests
// for storage, the CMCB's bytes, the caller's bytes).
inline std::string checkRequest(Cmcb& cmcb, QueueModel& m, const QueueRequest& r) {
    // The handle table grows at the first queue of the process: that queue
    // is taken here, once, and kept.
    static Cmcb first(Form::pairs);
    [[maybe_unused]] static const int warm = CallerFields(Form::pairs, {}).call(first);
    const std::size_t w = cmcb.width;
    const auto padded = [w](std::string id) { return id.append(w, ' ').substr(0, w); };
    const bool add = r.code == 'A', read = r.code == 'R';
    cmcb.setIds(add ? padded(r.ids.first) + padded(r.ids.second) : std::string(2 * w, '?'));
    std::memset(cmcb.bytes + QMR_CMCB_RETURN_CODE, '?', 2 + QMR_CMCB_MESSAGE_SIZE);
    cmcb.bytes[QMR_CMCB_REQUEST] = static_cast<unsigned char>(r.code);
    Cmcb expected = cmcb;
    CallerFields sent(cmcb.form, r.fields, r.ending), want(cmcb.form, r.fields, r.ending);
    qmr::testing::failAllocation(r.failing);
    const int result = sent.call(cmcb);
    const long used = qmr::testing::allocationCount();
    qmr::testing::failAllocation(0);

    long tries = 0;
    const auto obtained = [&] { return ++tries != r.failing; };
    int wantResult = 4;
    if (m.anchored || obtained()) {
        // A new queue's handle is the library's to choose, but never 0.
        if (!m.anchored) expected.anchor(cmcb.handle() != 0 ? cmcb.handle() : 0xFFFFFFFF);
        if (!m.anchored) m = QueueModel{true, false, 0, {}, {}};
        std::string answer = QMR_QRC_OK;
        int size = 28;
        for (const std::string& f : r.fields) size += 2 + int(f.size());
        size = (size + 3) / 4 * 4;
        if ((add || read) && !sent.present()) {
            answer = add ? QMR_QRC_INVALID QMR_QMSG_ADD_NEEDS_PARMS : QMR_QRC_INVALID QMR_QMSG_READ_NEEDS_PARMS;
        } else if (add && expected.ids().substr(0, w) == std::string(w, '\0')) {
            answer = QMR_QRC_INVALID QMR_QMSG_INVALID_REQUEST;
        } else if (add && r.fields.size() >= 240) {
            answer = QMR_QRC_FIELDS QMR_QMSG_NO_END_OF_FIELDS;
        } else if (add && (size > 4092 || (size >= m.freeBytes && !obtained()))) {
            answer = QMR_QRC_STORAGE QMR_QMSG_NO_STORAGE;
        } else if (add) {
            m.freeBytes = (size >= m.freeBytes ? 4092 : m.freeBytes) - size;
            m.paged = true;
            m.pending.push_back({expected.ids(), r.fields});
        } else if (r.code == 'N' && (!m.paged || m.pending.empty())) {
            answer = QMR_QRC_EMPTY QMR_QMSG_NO_MORE;
            if (m.paged) m = QueueModel{};  // past the end: released
            if (!m.anchored) expected.anchor(0);
        } else if (r.code == 'N') {
            m.current = m.pending.front();
            m.pending.pop_front();
            expected.setIds(m.current->ids);
        } else if (read && !m.current) {
            answer = QMR_QRC_EMPTY QMR_QMSG_NONE_READ;
        } else if (read) {
            expected.setIds(m.current->ids);
            const std::vector<std::string>& saved = m.current->fields;
            for (std::size_t i = 0; i < std::min<std::size_t>(r.fields.size(), 240); ++i) {
                want.fill(i, i < saved.size() ? saved[i].substr(0, r.fields[i].size()) : "");
            }
        } else {
            answer = QMR_QRC_INVALID QMR_QMSG_INVALID_REQUEST;
        }
        answer.resize(2 + QMR_CMCB_MESSAGE_SIZE, ' ');
        std::memcpy(expected.bytes + QMR_CMCB_RETURN_CODE, answer.data(), answer.size());
        wantResult = answer.compare(0, 2, QMR_QRC_OK) == 0 ? 0 : 4;
    }
    const std::string got = std::to_string(result) + " storage " + std::to_string(used) + "\n" +
                            cmcb.text(0, Cmcb::kSize) + "\n" + sent.storage;
    const std::string wanted = std::to_string(wantResult) + " storage " + std::to_string(tries) +
                               "\n" + expected.text(0, Cmcb::kSize) + "\n" + want.bytes();
    if (got == wanted) return "";
    return "QMDDAQUE '" + std::string(1, r.code) + "'\n got  " + got + "\n want " + wanted;
}

// NEXT on the CMCB (which takes a new queue where none is anchored), then
// the release of its queue, checking each call: one more relationship
// gives the queue a page, then NEXT runs past its end.
inline std::string closeQueue(Cmcb& cmcb, QueueModel& m) {
    std::string error = checkRequest(cmcb, m, {'N'});
    if (m.anchored && error.empty()) error = checkRequest(cmcb, m, {'A', {"close"}});
    while (m.anchored && error.empty()) error = checkRequest(cmcb, m, {'N'});
    return error;
}
inline std::string closeQueue(Cmcb& cmcb, QueueModel&& m = {}) { return closeQueue(cmcb, m); }

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
        for (std::size_t i = 0; i < count; ++i) cmcbs_.emplace_back(Form(i % 2));
    }

    template <typename Byte>
    std::string step(Byte&& byte) {
        const std::uint8_t what = byte();
        const std::size_t k = (what & 3u) % cmcbs_.size();
        Cmcb& c = cmcbs_[k];
        QueueModel& m = models_[k];
        QueueRequest r{'N'};
        if (what >= 0xC0) r.failing = byte() % 3;
        const int op = what >> 2 & 15;
        if (op < 6) {
            r = {'A', {}, kAtCount, {id(byte, c.width), id(byte, c.width)}, r.failing};
            const std::uint8_t shape = byte();
            static const int kEdges[] = {4062, 4063, 4030, 2016, 2014, 4100, 3000, 1000,
                                         2046, 1200, 600,  1800, 2400, 3600, 300,  150};
            r.fields.resize(shape == 0xFF ? 240 : shape == 0xFE ? 239 : shape % 6);
            for (std::size_t i = 0; i < r.fields.size(); ++i) {
                const std::uint8_t l = r.fields.size() > 200 ? 0 : byte();
                r.fields[i].assign(std::size_t(l < 0xF0 ? 1 + l % 40 : kEdges[l - 0xF0]), char('a' + i % 26));
            }
        } else if (op == 11 || op == 12) {
            r.code = 'R';
            const std::vector<std::string> saved = m.current ? m.current->fields : std::vector<std::string>{};
            const std::uint8_t b = byte();
            r.fields.resize(b < 8 ? 0 : std::size_t(std::max<int>(0, int(saved.size()) + b % 5 - 2)));
            for (std::size_t i = 0; i < r.fields.size(); ++i) {
                const int room = (i < saved.size() ? int(saved[i].size()) : 5) + byte() % 7 - 3;
                r.fields[i].assign(std::size_t(std::max(room, 1)), '.');
            }
        } else if (op == 13) {
            r.code = "XanrZ"[byte() % 6];
        } else if (op >= 14) {
            const std::uint8_t b = byte();
            if (m.anchored) return "";
            const Cmcb& other = cmcbs_[(k + 1) % cmcbs_.size()];
            const bool live = b & 2 && c.block() && other.anchored();
            const std::uint32_t low = byte(), neverIssued = low | std::uint32_t{byte()} << 8;
            c.anchor(b & 1 ? released_[k] : live ? other.handle() : neverIssued);
            if (c.block()) c.bytes[QMR_CMCB_BLOCK_STATE] = b & 4 && !live ? 'A' : 'U';
            return "";
        }
        if (r.code == 'A' || r.code == 'R') r.ending = std::min(byte() % 8, 4) % 4;
        if (m.anchored) released_[k] = c.handle();  // the handle the request may release
        return checkRequest(c, m, r);
    }

    // Steps on the bytes of `byte` while `more()` and every call agrees, then
    // the release of every queue: what disagreed.
    template <typename Byte, typename More>
    std::string run(Byte&& byte, More&& more) {
        std::string error;
        while (error.empty() && more()) error = step(byte);
        for (std::size_t k = 0; k < cmcbs_.size(); ++k) error += closeQueue(cmcbs_[k], models_[k]);
        return error;
    }
    // `steps` steps on the bytes of a generator seeded with `seed`, then the release.
    std::string runSeeded(std::uint32_t seed, int steps) {
        std::mt19937 random(seed);
        return run([&random] { return std::uint8_t(random()); }, [&steps] { return steps-- > 0; });
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
