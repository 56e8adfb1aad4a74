// A host of the relationship queue for tests: CMCBs in both layouts with
// sentinel bytes where the library must not write, parameter blocks and
// pair lists built byte by byte, and calls through QMDDAQUE as generated
// code makes them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "qmr/qmr.h"
#include "support/context.h"

namespace qmr_test {

enum class Form { block, pairs };

inline const char* formName(Form form) { return form == Form::block ? "block" : "pairs"; }

constexpr unsigned char kSentinel = 0xA5;

class Cmcb {
public:
    static constexpr std::size_t kSize = 96;  // hosts' blocks are larger than what the queue uses

    explicit Cmcb(Form form) : form_(form), bytes_(kSize, kSentinel) {
        std::memset(bytes_.data() + QMR_CMCB_MESSAGE, ' ', QMR_CMCB_MESSAGE_SIZE);
        std::memset(bytes_.data() + handleAt(), 0, 4);
        if (form == Form::block) bytes_[QMR_CMCB_BLOCK_STATE] = 'U';
        setIds("REL00001", "ASC00001");
    }

    Form form() const { return form_; }
    void* get() { return bytes_.data(); }
    std::vector<unsigned char>& bytes() { return bytes_; }
    int idWidth() const { return form_ == Form::block ? QMR_CMCB_BLOCK_ID_SIZE : QMR_CMCB_PAIR_ID_SIZE; }

    void setRequest(char code) { bytes_[QMR_CMCB_REQUEST] = static_cast<unsigned char>(code); }
    // Identifiers padded with blanks (or cut) to the layout's width.
    void setIds(const std::string& relationship, const std::string& associated) {
        putId(relationshipAt(), relationship);
        putId(associatedAt(), associated);
    }
    void setRawRelationship(const std::string& bytes) { std::memcpy(&bytes_[relationshipAt()], bytes.data(), idWidth()); }

    std::string code() const { return text(QMR_CMCB_RETURN_CODE, 2); }
    std::string messageArea() const { return text(QMR_CMCB_MESSAGE, QMR_CMCB_MESSAGE_SIZE); }
    std::string relationship() const { return text(relationshipAt(), idWidth()); }
    std::string associated() const { return text(associatedAt(), idWidth()); }
    std::uint32_t handle() const {
        std::uint32_t h;
        std::memcpy(&h, &bytes_[handleAt()], 4);
        return h;
    }
    void setHandle(std::uint32_t h) { std::memcpy(&bytes_[handleAt()], &h, 4); }
    char state() const { return static_cast<char>(bytes_[QMR_CMCB_BLOCK_STATE]); }
    void setState(char c) { bytes_[QMR_CMCB_BLOCK_STATE] = static_cast<unsigned char>(c); }
    // A queue is anchored here, as far as the block itself says.
    bool anchored() const { return handle() != 0 && (form_ == Form::pairs || state() == 'A'); }

    // True when every byte outside the documented positions still holds
    // its sentinel.
    bool onlyDocumentedBytesWritten() const {
        for (std::size_t i = 0; i < kSize; ++i) {
            if (!documented(i) && bytes_[i] != kSentinel) return false;
        }
        return true;
    }

private:
    std::size_t relationshipAt() const {
        return form_ == Form::block ? QMR_CMCB_BLOCK_RELATIONSHIP : QMR_CMCB_PAIR_RELATIONSHIP;
    }
    std::size_t associatedAt() const {
        return form_ == Form::block ? QMR_CMCB_BLOCK_ASSOCIATED : QMR_CMCB_PAIR_ASSOCIATED;
    }
    std::size_t handleAt() const { return form_ == Form::block ? QMR_CMCB_BLOCK_HANDLE : QMR_CMCB_PAIR_HANDLE; }
    bool documented(std::size_t i) const {
        const auto within = [i](std::size_t at, std::size_t n) { return i >= at && i < at + n; };
        return within(0, QMR_CMCB_MESSAGE + QMR_CMCB_MESSAGE_SIZE) || within(relationshipAt(), idWidth()) ||
               within(associatedAt(), idWidth()) || within(handleAt(), 4) ||
               (form_ == Form::block && i == QMR_CMCB_BLOCK_STATE);
    }
    void putId(std::size_t at, std::string id) {
        id.resize(idWidth(), ' ');
        std::memcpy(&bytes_[at], id.data(), idWidth());
    }
    std::string text(std::size_t at, std::size_t n) const {
        return std::string(reinterpret_cast<const char*>(&bytes_[at]), n);
    }

    Form form_;
    std::vector<unsigned char> bytes_;
};

// The 48-character message area holding `message`.
inline std::string messageArea(const std::string& message) {
    return message + std::string(QMR_CMCB_MESSAGE_SIZE - message.size(), ' ');
}

// Four characters of numeric text, "%04d" for a plain length.
inline std::string lengthText(int length) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d", length);
    return std::string(text, 4);
}

// A parameter block: "4.2.", four unread bytes, the field count text, then
// each field as its length text and its bytes.  Length texts may be given
// raw to write malformed or negative ones.
class ParameterBlock {
public:
    ParameterBlock() : bytes_{'4', '.', '2', '.', 0x5A, 0x5A, 0x5A, 0x5A} {}

    static ParameterBlock withFields(const std::vector<std::string>& fields) {
        ParameterBlock block;
        block.count(static_cast<int>(fields.size()));
        for (const std::string& f : fields) block.field(f);
        return block;
    }
    // Caller fields of the given sizes, filled with '.', for READ.
    static ParameterBlock withRooms(const std::vector<int>& rooms) {
        ParameterBlock block;
        block.count(static_cast<int>(rooms.size()));
        for (int room : rooms) block.field(std::string(static_cast<std::size_t>(room), '.'));
        return block;
    }

    ParameterBlock& countText(const std::string& text) {
        countText_ = text;
        return *this;
    }
    ParameterBlock& count(int n) { return countText(lengthText(n)); }
    ParameterBlock& field(const std::string& bytes) { return rawField(lengthText(int(bytes.size())), bytes); }
    ParameterBlock& rawField(const std::string& lengthText, const std::string& bytes) {
        fields_.push_back({lengthText, bytes});
        return *this;
    }

    // The block as the host passes it (built afresh from its parts).
    unsigned char* data() {
        bytes_.resize(8);
        append(countText_);
        for (const auto& [length, bytes] : fields_) {
            append(length);
            append(bytes);
        }
        return bytes_.data();
    }
    // Field i's bytes and its length text after a call, from the last data().
    std::string fieldBytes(std::size_t i) const { return text(fieldAt(i) + 4, fields_[i].second.size()); }
    std::string lengthTextOf(std::size_t i) const { return text(fieldAt(i), 4); }

private:
    void append(const std::string& s) { bytes_.insert(bytes_.end(), s.begin(), s.end()); }
    std::size_t fieldAt(std::size_t i) const {
        std::size_t at = QMR_QPB_FIELDS;
        for (std::size_t k = 0; k < i; ++k) at += 4 + fields_[k].second.size();
        return at;
    }
    std::string text(std::size_t at, std::size_t n) const {
        return std::string(reinterpret_cast<const char*>(&bytes_[at]), n);
    }

    std::vector<unsigned char> bytes_;
    std::string countText_ = "0000";
    std::vector<std::pair<std::string, std::string>> fields_;
};

// One field of a pair list: a 4-byte little-endian length and the bytes.
struct PairField {
    unsigned char length[4];
    std::vector<unsigned char> bytes;

    static PairField of(const std::string& s) {
        PairField f{};
        f.bytes.assign(s.begin(), s.end());
        putLe32(f.length, static_cast<std::int32_t>(s.size()));
        return f;
    }
    static PairField room(std::int32_t size) {
        PairField f{};
        f.bytes.assign(static_cast<std::size_t>(size > 0 ? size : 0), '.');
        putLe32(f.length, size);
        return f;
    }
    std::int32_t lengthValue() const { return le32(length); }
    std::string text() const { return std::string(bytes.begin(), bytes.end()); }
};

// The largest argument list a test passes: 241 pairs and the final null.
constexpr std::size_t kMaxArgs = 2 * 241 + 1;

template <std::size_t... I>
int callWithArgs(void* cmcb, void* const* args, std::index_sequence<I...>) {
    return QMDDAQUE(nullptr, nullptr, cmcb, args[I]...);
}

// QMDDAQUE with the given variable arguments, padded with null pointers
// (which the callee never reaches past the first).
inline int callQueue(void* cmcb, std::vector<void*> args) {
    args.resize(kMaxArgs, nullptr);
    return callWithArgs(cmcb, args.data(), std::make_index_sequence<kMaxArgs>{});
}

inline std::vector<void*> pairArgs(std::vector<PairField>& fields, bool nullData = false) {
    std::vector<void*> args;
    for (PairField& f : fields) {
        args.push_back(f.length);
        args.push_back(nullData ? nullptr : static_cast<void*>(f.bytes.data()));
    }
    args.push_back(nullptr);
    return args;
}


// A CMCB and the calls a generated application makes on it, in either
// form.  Whatever queue is still anchored at the end is released, so
// that no test leaves storage behind.
class QueueClient {
public:
    explicit QueueClient(Form form) : cmcb(form) {}
    QueueClient(const QueueClient&) = delete;
    QueueClient& operator=(const QueueClient&) = delete;
    ~QueueClient() { close(); }

    Form form() const { return cmcb.form(); }

    int add(const std::vector<std::string>& fields) {
        cmcb.setRequest('A');
        if (form() == Form::block) {
            ParameterBlock block = ParameterBlock::withFields(fields);
            return QMDDAQUE(nullptr, nullptr, cmcb.get(), block.data());
        }
        std::vector<PairField> pairs;
        for (const std::string& f : fields) pairs.push_back(PairField::of(f));
        return callQueue(cmcb.get(), pairArgs(pairs));
    }
    int add(const std::string& relationship, const std::string& associated, const std::vector<std::string>& fields) {
        cmcb.setIds(relationship, associated);
        return add(fields);
    }

    int next() { return bare('N'); }

    // READ into caller fields of the given sizes; `fields` receives their
    // bytes and `lengths` the lengths left in the caller's list (with a
    // parameter block, the length texts' values, which READ keeps).
    int read(const std::vector<int>& rooms, std::vector<std::string>* fields = nullptr,
             std::vector<int>* lengths = nullptr) {
        cmcb.setRequest('R');
        int result;
        std::vector<std::string> got;
        std::vector<int> left;
        if (form() == Form::block) {
            ParameterBlock block = ParameterBlock::withRooms(rooms);
            result = QMDDAQUE(nullptr, nullptr, cmcb.get(), block.data());
            for (std::size_t i = 0; i < rooms.size(); ++i) {
                got.push_back(block.fieldBytes(i));
                left.push_back(std::stoi(block.lengthTextOf(i)));
            }
        } else {
            std::vector<PairField> pairs;
            for (int room : rooms) pairs.push_back(PairField::room(room));
            result = callQueue(cmcb.get(), pairArgs(pairs));
            for (const PairField& f : pairs) {
                got.push_back(f.text());
                left.push_back(f.lengthValue());
            }
        }
        if (fields != nullptr) *fields = got;
        if (lengths != nullptr) *lengths = left;
        return result;
    }

    // A request with the CMCB as its only parameter.
    int bare(char code) {
        cmcb.setRequest(code);
        if (form() == Form::block) {
            ParameterBlock block;  // field count 0
            return QMDDAQUE(nullptr, nullptr, cmcb.get(), block.data());
        }
        return QMDDAQUE(nullptr, nullptr, cmcb.get(), static_cast<void*>(nullptr));
    }

    // Releases the anchored queue, if any: one more relationship makes
    // sure it has a page, and NEXT runs past its end.
    void close() {
        if (!cmcb.anchored()) return;
        cmcb.setIds("CLOSE", "CLOSE");
        add({"x"});
        for (int i = 0; i < 10000000 && cmcb.anchored(); ++i) next();
    }

    Cmcb cmcb;
};

}  // namespace qmr_test
