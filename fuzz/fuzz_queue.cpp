// QMDDAQUE driven by a stream of ADD, NEXT and READ calls on three CMCBs,
// with parameter blocks and pair lists, checked against a std::deque
// model of each queue.  Each call is one record of the input: which CMCB,
// which request, then what the request needs (identifiers, field
// lengths, caller rooms).  A record may also make the call's first
// allocation fail, or put a handle that was never issued (or one from
// before a release) into a CMCB that has no queue.
//
// Checks: every result, return code and message; the identifiers NEXT and
// READ deliver; each caller field's bytes and length after READ; that a
// refused call without a queue leaves the CMCB as it was; and that no
// byte of a CMCB outside the documented positions is ever written.
// Whatever is still queued at the end is released, so ASan's leak check
// sees every page.
#include <deque>
#include <optional>

#include "fuzz_support.h"
#include "platform/alloc.h"
#include "queue/queue_host.h"

using namespace qmr_fuzz;
using qmr_test::Cmcb;
using qmr_test::Form;
using qmr_test::PairField;
using qmr_test::ParameterBlock;

namespace {

struct Relationship {
    std::string relationship;
    std::string associated;
    std::vector<std::string> fields;
};

struct Model {
    bool anchored = false;
    bool everAdded = false;  // since the queue was started
    std::int32_t freeBytes = 0;
    std::deque<Relationship> pending;
    std::optional<Relationship> current;
    std::uint32_t staleHandle = 0;  // a handle this CMCB held before a release
};

struct Expected {
    int result;
    std::string code;
    std::string message;
};

const Expected kOk{0, "OK", ""};

int entrySize(const std::vector<std::string>& fields) {
    int size = 28;
    for (const std::string& f : fields) size += 2 + int(f.size());
    return (size + 3) / 4 * 4;
}

class Run {
public:
    explicit Run(Input& in) : in_(in), cmcbs_{Cmcb(Form::block), Cmcb(Form::pairs), Cmcb(Form::block)} {}

    void step() {
        const std::uint8_t what = in_.byte();
        const std::size_t k = what % 3;
        const bool failFirstAllocation = (what & 0xE0) == 0xE0;
        switch ((what >> 2) % 8) {
        case 0:
        case 1:
        case 2: add(k, failFirstAllocation); break;
        case 3:
        case 4: next(k, failFirstAllocation); break;
        case 5: read(k, failFirstAllocation); break;
        case 6: invalid(k, failFirstAllocation); break;
        default: strangeHandle(k); break;
        }
        QMR_FUZZ_CHECK(cmcbs_[k].onlyDocumentedBytesWritten(), "a CMCB byte outside the documented ones changed");
    }

    // Releases every queue still anchored: one more relationship makes
    // sure it has a page, then NEXT runs past the end.
    void close() {
        for (std::size_t k = 0; k < 3; ++k) {
            if (!models_[k].anchored) continue;
            Cmcb& c = cmcbs_[k];
            c.setIds("CLOSE", "CLOSE");
            QMR_FUZZ_CHECK(call(k, 'A', {"x"}) == 0, "closing ADD");
            while (c.anchored()) call(k, 'N', {});
        }
    }

private:
    // A call with the given fields (ADD) or rooms (READ, as '.' fill),
    // in the CMCB's form; `lengths` and `got` receive what READ left.
    int call(std::size_t k, char request, const std::vector<std::string>& fields, bool nothing = false,
             std::vector<std::string>* got = nullptr, std::vector<std::int32_t>* lengths = nullptr,
             std::int32_t pairEnd = 0) {
        Cmcb& c = cmcbs_[k];
        c.setRequest(request);
        if (c.form == Form::block) {
            ParameterBlock block(fields);
            if (nothing) block = ParameterBlock();
            const int result = QMDDAQUE(nullptr, nullptr, c.get(), block.data());
            for (std::size_t i = 0; got && i < fields.size(); ++i) {
                const std::string field = block.fieldText(i);
                got->push_back(field.substr(4));
                lengths->push_back(std::stoi(field.substr(0, 4)));
            }
            return result;
        }
        if (nothing) return QMDDAQUE(nullptr, nullptr, c.get(), static_cast<void*>(nullptr));
        std::vector<PairField> pairs;
        for (const std::string& f : fields) pairs.push_back(PairField::of(f));
        if (pairEnd != 0) {
            // A length below 1 ends the list like the null; the field after it is never reached.
            pairs.push_back(PairField::room(pairEnd));
            pairs.push_back(PairField::of("never"));
        }
        const int result = qmr_test::callPairs(c.get(), pairs);
        for (std::size_t i = 0; got && i < fields.size(); ++i) {
            got->push_back(std::string(pairs[i].bytes.begin(), pairs[i].bytes.end()));
            lengths->push_back(qmr_test::le32(pairs[i].length));
        }
        return result;
    }

    // Arms the allocation failure; answers whether the call is expected
    // to need storage (a queue to start, or a page).
    void arm(bool fail) { qmr::testing::failAllocation(fail ? 1 : 0); }
    bool disarm() {
        const long count = qmr::testing::allocationCount();
        qmr::testing::failAllocation(0);
        return count >= 1;
    }

    // The expected answer when the CMCB has no queue yet and the call's
    // first allocation fails: result 4 and an untouched CMCB.
    bool refusedWithoutQueue(std::size_t k, bool fail, int result, const std::vector<unsigned char>& before) {
        if (!fail || models_[k].anchored) return false;
        QMR_FUZZ_CHECK(result == 4 && cmcbs_[k].bytes() == before, "a queue without storage touched the CMCB");
        return true;
    }

    void expect(std::size_t k, int result, const Expected& e, const char* what) {
        Cmcb& c = cmcbs_[k];
        QMR_FUZZ_CHECK(result == e.result && c.code() == e.code && c.messageArea() == qmr_test::messageArea(e.message),
                       "%s on CMCB %zu: %d %s '%s', expected %d %s '%s'", what, k, result, c.code().c_str(),
                       c.messageArea().c_str(), e.result, e.code.c_str(), e.message.c_str());
        models_[k].anchored = c.anchored();
    }

    std::string id(std::size_t k) {
        const int width = cmcbs_[k].idWidth();
        const std::uint8_t shape = in_.byte();
        if (shape < 8) return std::string(std::size_t(width), '\0');
        std::string s = "R" + std::to_string(shape * 7 + in_.byte());
        s.resize(std::size_t(width), ' ');
        return s;
    }

    void add(std::size_t k, bool fail) {
        Cmcb& c = cmcbs_[k];
        Model& m = models_[k];
        Relationship r{id(k), id(k), {}};
        const std::uint8_t shape = in_.byte();
        std::size_t count = shape % 6;
        if (shape == 0xFF) count = 240;
        if (shape == 0xFE) count = 239;
        const bool nothing = shape == 0xFD;  // the CMCB alone
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t l = count > 200 ? 1 : in_.byte();
            const std::size_t length = l >= 0xF0 ? 600u * (l - 0xEF) : 1u + l % 40;  // a length text holds 4 digits
            r.fields.push_back(std::string(length, static_cast<char>('a' + (i + l) % 26)));
        }
        std::vector<std::string> sent = r.fields;
        if (sent.empty() && !nothing) sent.push_back("");  // a length of 0 ends the list at once
        c.setIds(r.relationship, r.associated);
        c.setRequest('A');
        const std::vector<unsigned char> before = c.bytes();
        arm(fail);
        const int result = call(k, 'A', sent, nothing);
        const bool allocated = disarm();
        if (refusedWithoutQueue(k, fail, result, before)) return;
        if (!m.anchored) m = Model{false, false, 0, {}, {}, m.staleHandle};
        Expected e = kOk;
        const int size = entrySize(r.fields);
        if (nothing && c.form == Form::pairs) {
            e = {4, "Q4", QMR_QMSG_ADD_NEEDS_PARMS};
        } else if (nothing) {
            e = {4, "Q4", QMR_QMSG_ADD_NEEDS_PARMS};
        } else if (r.relationship == std::string(std::size_t(c.idWidth()), '\0')) {
            e = {4, "Q4", QMR_QMSG_INVALID_REQUEST};
        } else if (r.fields.size() >= 240) {
            e = {4, "Q2", QMR_QMSG_NO_END_OF_FIELDS};
        } else if (size > 4092) {
            e = {4, "Q3", QMR_QMSG_NO_STORAGE};
        } else if (size >= m.freeBytes && fail && m.anchored) {
            e = {4, "Q3", QMR_QMSG_NO_STORAGE};
        }
        if (e.result == 0) {
            if (size >= m.freeBytes) m.freeBytes = 4092;
            m.freeBytes -= size;
            m.pending.push_back(r);
            m.everAdded = true;
        }
        const bool wasAnchored = m.anchored;
        expect(k, result, e, "ADD");
        QMR_FUZZ_CHECK(!fail || allocated || wasAnchored, "the call took no storage");
    }

    void next(std::size_t k, bool fail) {
        Cmcb& c = cmcbs_[k];
        Model& m = models_[k];
        c.setRequest('N');
        const std::vector<unsigned char> before = c.bytes();
        const std::uint32_t handle = c.handle();
        arm(fail);
        const int result = call(k, 'N', {}, true);
        disarm();
        if (refusedWithoutQueue(k, fail, result, before)) return;
        if (!m.anchored) m = Model{false, false, 0, {}, {}, m.staleHandle};
        if (!m.everAdded) return expect(k, result, {4, "Q1", QMR_QMSG_NO_MORE}, "NEXT on an empty queue");
        if (m.pending.empty()) {
            expect(k, result, {4, "Q1", QMR_QMSG_NO_MORE}, "NEXT past the end");
            QMR_FUZZ_CHECK(!c.anchored(), "the queue stays anchored past its end");
            m = Model{};
            m.staleHandle = handle;
            return;
        }
        m.current = m.pending.front();
        m.pending.pop_front();
        expect(k, result, kOk, "NEXT");
        QMR_FUZZ_CHECK(c.relationship() == m.current->relationship && c.associated() == m.current->associated,
                       "NEXT delivered other identifiers");
    }

    void read(std::size_t k, bool fail) {
        Cmcb& c = cmcbs_[k];
        Model& m = models_[k];
        const std::size_t count = in_.byte() % 7;
        std::vector<std::string> rooms;
        for (std::size_t i = 0; i < count; ++i) rooms.push_back(std::string(1 + in_.byte() % 48, '.'));
        const std::int32_t pairEnd = c.form == Form::pairs && (in_.byte() & 3) == 0 ? -1 - in_.byte() : 0;
        c.setIds("????????", "????????");
        c.setRequest('R');
        const std::vector<unsigned char> before = c.bytes();
        std::vector<std::string> got;
        std::vector<std::int32_t> lengths;
        arm(fail);
        const int result = call(k, 'R', rooms, rooms.empty(), &got, &lengths, pairEnd);
        disarm();
        if (refusedWithoutQueue(k, fail, result, before)) return;
        if (!m.anchored) m = Model{false, false, 0, {}, {}, m.staleHandle};
        if (rooms.empty()) return expect(k, result, {4, "Q4", QMR_QMSG_READ_NEEDS_PARMS}, "READ alone");
        if (!m.current) return expect(k, result, {4, "Q1", QMR_QMSG_NONE_READ}, "READ before NEXT");
        expect(k, result, kOk, "READ");
        QMR_FUZZ_CHECK(c.relationship() == m.current->relationship && c.associated() == m.current->associated,
                       "READ delivered other identifiers");
        const std::vector<std::string>& saved = m.current->fields;
        for (std::size_t i = 0; i < rooms.size(); ++i) {
            std::string expected = rooms[i];
            std::size_t copied = 0;
            if (i < saved.size()) {
                copied = std::min(expected.size(), saved[i].size());
                expected.replace(0, copied, saved[i], 0, copied);
            }
            QMR_FUZZ_CHECK(got[i] == expected, "READ field %zu", i);
            const std::int32_t length = c.form == Form::pairs ? std::int32_t(copied) : std::int32_t(rooms[i].size());
            QMR_FUZZ_CHECK(lengths[i] == length, "READ length %zu: %d, expected %d", i, lengths[i], length);
        }
    }

    void invalid(std::size_t k, bool fail) {
        Cmcb& c = cmcbs_[k];
        Model& m = models_[k];
        const char request = "XanrZ\0"[in_.byte() % 6];
        c.setRequest(request);
        const std::vector<unsigned char> before = c.bytes();
        arm(fail);
        const int result = c.form == Form::block ? QMDDAQUE(nullptr, nullptr, c.get(), ParameterBlock().data())
                                                   : QMDDAQUE(nullptr, nullptr, c.get(), static_cast<void*>(nullptr));
        disarm();
        if (refusedWithoutQueue(k, fail, result, before)) return;
        if (!m.anchored) m = Model{false, false, 0, {}, {}, m.staleHandle};
        expect(k, result, {4, "Q4", QMR_QMSG_INVALID_REQUEST}, "invalid request");
    }

    // Only where no queue is anchored, so that no queue is lost: a handle
    // below 0x100000 (never issued), or the one from before a release.
    void strangeHandle(std::size_t k) {
        Cmcb& c = cmcbs_[k];
        const std::uint8_t b = in_.byte();
        if (models_[k].anchored) return;
        c.setHandle(b & 1 ? models_[k].staleHandle : (in_.u32() & 0xFFFFF));
        if (c.form == Form::block) c.setState(b & 2 ? 'A' : 'U');
    }

    Input& in_;
    Cmcb cmcbs_[3];
    Model models_[3];
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    Run run(in);
    for (int steps = 0; !in.empty() && steps < 400; ++steps) run.step();
    run.close();
    return 0;
}
