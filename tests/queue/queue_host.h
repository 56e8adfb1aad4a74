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

constexpr unsigned char kSentinel = 0xA5;

class Cmcb {
public:
    const Form form;
    static constexpr std::size_t kSize = 96;  // hosts' blocks are larger than what the queue uses

    explicit Cmcb(Form f) : form(f), bytes_(kSize, kSentinel) {
        std::memset(bytes_.data() + QMR_CMCB_MESSAGE, ' ', QMR_CMCB_MESSAGE_SIZE);
        std::memset(bytes_.data() + handleAt(), 0, 4);
        if (form == Form::block) bytes_[QMR_CMCB_BLOCK_STATE] = 'U';
        setIds("REL00001", "ASC00001");
    }

    void* get() { return bytes_.data(); }
    std::vector<unsigned char>& bytes() { return bytes_; }
    int idWidth() const { return int(at(QMR_CMCB_BLOCK_ID_SIZE, QMR_CMCB_PAIR_ID_SIZE)); }
    // An identifier as the CMCB holds it: padded with blanks or cut to the width.
    std::string id(std::string id) const {
        id.resize(std::size_t(idWidth()), ' ');
        return id;
    }

    void setRequest(char code) { bytes_[QMR_CMCB_REQUEST] = static_cast<unsigned char>(code); }
    void setIds(const std::string& relationship, const std::string& associated) {
        std::memcpy(&bytes_[relationshipAt()], id(relationship).data(), std::size_t(idWidth()));
        std::memcpy(&bytes_[associatedAt()], id(associated).data(), std::size_t(idWidth()));
    }

    std::string code() const { return text(QMR_CMCB_RETURN_CODE, 2); }
    std::string messageArea() const { return text(QMR_CMCB_MESSAGE, QMR_CMCB_MESSAGE_SIZE); }
    std::string relationship() const { return text(relationshipAt(), std::size_t(idWidth())); }
    std::string associated() const { return text(associatedAt(), std::size_t(idWidth())); }
    std::uint32_t handle() const { return static_cast<std::uint32_t>(le32(&bytes_[handleAt()])); }
    void setHandle(std::uint32_t h) { putLe32(&bytes_[handleAt()], static_cast<std::int32_t>(h)); }
    char state() const { return static_cast<char>(bytes_[QMR_CMCB_BLOCK_STATE]); }
    void setState(char c) { bytes_[QMR_CMCB_BLOCK_STATE] = static_cast<unsigned char>(c); }
    // A queue is anchored here, as far as the block itself says.
    bool anchored() const { return handle() != 0 && (form == Form::pairs || state() == 'A'); }

    // True when every byte outside the documented positions still holds
    // its sentinel.
    bool onlyDocumentedBytesWritten() const {
        const auto within = [](std::size_t i, std::size_t at, std::size_t n) { return i >= at && i < at + n; };
        const auto width = std::size_t(idWidth());
        for (std::size_t i = 0; i < kSize; ++i) {
            const bool documented = within(i, 0, QMR_CMCB_MESSAGE + QMR_CMCB_MESSAGE_SIZE) ||
                                    within(i, relationshipAt(), width) || within(i, associatedAt(), width) ||
                                    within(i, handleAt(), 4) || (form == Form::block && i == QMR_CMCB_BLOCK_STATE);
            if (!documented && bytes_[i] != kSentinel) return false;
        }
        return true;
    }

private:
    std::size_t at(std::size_t block, std::size_t pairs) const { return form == Form::block ? block : pairs; }
    std::size_t relationshipAt() const { return at(QMR_CMCB_BLOCK_RELATIONSHIP, QMR_CMCB_PAIR_RELATIONSHIP); }
    std::size_t associatedAt() const { return at(QMR_CMCB_BLOCK_ASSOCIATED, QMR_CMCB_PAIR_ASSOCIATED); }
    std::size_t handleAt() const { return at(QMR_CMCB_BLOCK_HANDLE, QMR_CMCB_PAIR_HANDLE); }
    std::string text(std::size_t at, std::size_t n) const {
        return std::string(reinterpret_cast<const char*>(&bytes_[at]), n);
    }

    std::vector<unsigned char> bytes_;
};

// The 48-character message area holding `message`.
inline std::string messageArea(const std::string& message) {
    return message + std::string(QMR_CMCB_MESSAGE_SIZE - message.size(), ' ');
}

// A parameter block: "4.2.", four unread bytes, the field count text, then
// each field as its length text ("%04d", or given raw to write malformed or
// negative ones) and its bytes.
class ParameterBlock {
public:
    explicit ParameterBlock(const std::vector<std::string>& fields = {}) {
        count(static_cast<int>(fields.size()));
        for (const std::string& f : fields) field(f);
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

    // The block as the host passes it, built afresh from its parts.
    unsigned char* data() {
        bytes_.assign({'4', '.', '2', '.', 0x5A, 0x5A, 0x5A, 0x5A});
        bytes_.insert(bytes_.end(), countText_.begin(), countText_.end());
        for (const auto& [length, bytes] : fields_) {
            bytes_.insert(bytes_.end(), length.begin(), length.end());
            bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
        }
        return bytes_.data();
    }
    // Field i's length text and bytes after a call, from the last data().
    std::string fieldText(std::size_t i) const {
        std::size_t at = QMR_QPB_FIELDS;
        for (std::size_t k = 0; k < i; ++k) at += 4 + fields_[k].second.size();
        return std::string(reinterpret_cast<const char*>(&bytes_[at]), 4 + fields_[i].second.size());
    }

private:
    static std::string lengthText(int length) {
        char text[16];
        std::snprintf(text, sizeof text, "%04d", length);
        return std::string(text, 4);
    }

    std::vector<unsigned char> bytes_;
    std::string countText_;
    std::vector<std::pair<std::string, std::string>> fields_;
};

// One field of a pair list: a 4-byte little-endian length and the bytes.
struct PairField {
    unsigned char length[4];
    std::vector<unsigned char> bytes;

    PairField(const std::string& s, std::int32_t size) : bytes(s.begin(), s.end()) { putLe32(length, size); }
    static PairField of(const std::string& s) { return PairField(s, static_cast<std::int32_t>(s.size())); }
    static PairField room(std::int32_t size) { return PairField(std::string(std::size_t(size > 0 ? size : 0), '.'), size); }
};

// The largest argument list a test passes: 241 pairs and the final null.
constexpr std::size_t kMaxArgs = 2 * 241 + 1;

template <std::size_t... I>
int callWithArgs(void* cmcb, void* const* args, std::index_sequence<I...>) {
    return QMDDAQUE(nullptr, nullptr, cmcb, args[I]...);
}

// QMDDAQUE on the given pair list (a null data pointer for each field when
// `nullData`), padded with null pointers, which the callee never reaches
// past the first.
inline int callPairs(void* cmcb, std::vector<PairField>& fields, bool nullData = false) {
    std::vector<void*> args;
    for (PairField& f : fields) {
        args.push_back(f.length);
        args.push_back(nullData ? nullptr : static_cast<void*>(f.bytes.data()));
    }
    args.resize(kMaxArgs, nullptr);
    return callWithArgs(cmcb, args.data(), std::make_index_sequence<kMaxArgs>{});
}

// A CMCB and the calls a generated application makes on it, in either
// form.  Whatever queue is still anchored at the end is released, so
// that no test leaves storage behind.
class QueueClient {
public:
    explicit QueueClient(Form form) : cmcb(form) {}
    QueueClient(const QueueClient&) = delete;
    ~QueueClient() { close(); }

    int add(const std::vector<std::string>& fields) {
        cmcb.setRequest('A');
        if (cmcb.form == Form::block) {
            ParameterBlock block(fields);
            return QMDDAQUE(nullptr, nullptr, cmcb.get(), block.data());
        }
        std::vector<PairField> pairs;
        for (const std::string& f : fields) pairs.push_back(PairField::of(f));
        return callPairs(cmcb.get(), pairs);
    }
    int add(const std::string& relationship, const std::string& associated, const std::vector<std::string>& fields) {
        cmcb.setIds(relationship, associated);
        return add(fields);
    }

    int next() { return bare('N'); }

    // READ into caller fields of the given sizes, filled with '.'; `fields`
    // receives their bytes and `lengths` the lengths left in the caller's
    // list (with a parameter block, the length texts' values, which READ
    // keeps).
    int read(const std::vector<int>& rooms, std::vector<std::string>* fields = nullptr,
             std::vector<int>* lengths = nullptr) {
        cmcb.setRequest('R');
        std::vector<std::string> got;
        std::vector<int> left;
        int result;
        if (cmcb.form == Form::block) {
            ParameterBlock block;
            block.count(int(rooms.size()));
            for (int room : rooms) block.field(std::string(std::size_t(room), '.'));
            result = QMDDAQUE(nullptr, nullptr, cmcb.get(), block.data());
            for (std::size_t i = 0; i < rooms.size(); ++i) {
                got.push_back(block.fieldText(i).substr(4));
                left.push_back(std::stoi(block.fieldText(i).substr(0, 4)));
            }
        } else {
            std::vector<PairField> pairs;
            for (int room : rooms) pairs.push_back(PairField::room(room));
            result = callPairs(cmcb.get(), pairs);
            for (const PairField& f : pairs) {
                got.emplace_back(f.bytes.begin(), f.bytes.end());
                left.push_back(le32(f.length));
            }
        }
        if (fields != nullptr) *fields = got;
        if (lengths != nullptr) *lengths = left;
        return result;
    }

    // A request with the CMCB as its only parameter.
    int bare(char code) {
        cmcb.setRequest(code);
        if (cmcb.form == Form::block) {
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
