// A host of the relationship queue for the tests and the fuzz target:
// CMCBs in both layouts with sentinel bytes where the library must not
// write, caller fields laid out byte by byte as a parameter block or as
// (length, data) pairs, and calls through QMDDAQUE as generated code
// makes them.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "qmr/qmr.h"
#include "support/context.h"

namespace qmr_test {

enum class Form { block, pairs };

class Cmcb {
public:
    static constexpr std::size_t kSize = 96;  // hosts' blocks are larger than what the queue uses
    static constexpr unsigned char kSentinel = 0xA5;

    explicit Cmcb(Form f) : form(f) {
        std::memset(bytes, kSentinel, kSize);
        std::memset(bytes + QMR_CMCB_MESSAGE, ' ', QMR_CMCB_MESSAGE_SIZE);
        setHandle(0);
        if (block()) bytes[QMR_CMCB_BLOCK_STATE] = 'U';
    }

    bool block() const { return form == Form::block; }
    std::size_t width() const { return block() ? QMR_CMCB_BLOCK_ID_SIZE : QMR_CMCB_PAIR_ID_SIZE; }
    std::size_t relationshipAt() const { return block() ? QMR_CMCB_BLOCK_RELATIONSHIP : QMR_CMCB_PAIR_RELATIONSHIP; }
    std::size_t associatedAt() const { return block() ? QMR_CMCB_BLOCK_ASSOCIATED : QMR_CMCB_PAIR_ASSOCIATED; }
    std::size_t handleAt() const { return block() ? QMR_CMCB_BLOCK_HANDLE : QMR_CMCB_PAIR_HANDLE; }

    std::string text(std::size_t at, std::size_t n) const { return {reinterpret_cast<const char*>(bytes + at), n}; }
    // The relationship and the associated identifier, as the CMCB holds them.
    std::string ids() const { return text(relationshipAt(), width()) + text(associatedAt(), width()); }
    // Each identifier blank-padded or cut to the width.
    void setIds(const std::string& relationship, const std::string& associated) {
        std::memcpy(bytes + relationshipAt(), (relationship + "        ").data(), width());
        std::memcpy(bytes + associatedAt(), (associated + "        ").data(), width());
    }
    // The return code and the message area.
    std::string answer() const { return text(QMR_CMCB_RETURN_CODE, 2 + QMR_CMCB_MESSAGE_SIZE); }
    std::uint32_t handle() const { return static_cast<std::uint32_t>(le32(bytes + handleAt())); }
    void setHandle(std::uint32_t h) { putLe32(bytes + handleAt(), static_cast<std::int32_t>(h)); }
    // A queue is anchored here, as far as the block itself says.
    bool anchored() const { return handle() != 0 && (!block() || bytes[QMR_CMCB_BLOCK_STATE] == 'A'); }

    // Every byte outside the positions of the form's layout still holds its sentinel.
    bool onlyDocumentedBytesWritten() const {
        const auto within = [](std::size_t i, std::size_t at, std::size_t n) { return i - at < n; };
        for (std::size_t i = 0; i < kSize; ++i) {
            const bool documented = i < QMR_CMCB_MESSAGE + QMR_CMCB_MESSAGE_SIZE ||
                                    within(i, relationshipAt(), width()) || within(i, associatedAt(), width()) ||
                                    within(i, handleAt(), 4) || (block() && i == QMR_CMCB_BLOCK_STATE);
            if (!documented && bytes[i] != kSentinel) return false;
        }
        return true;
    }

    Form form;
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
    CallerFields(Form form, const std::vector<std::string>& fields, int ending = kAtCount)
        : block_(form == Form::block), count_(fields.size()), nullData_(ending == kCountOrNullData) {
        data_ = fields;
        if (ending != kAtCount) data_.push_back(ending == kZeroLength ? "" : "none");
        const int endLength[] = {0, 0, -30, 4};  // "003p" is -30
        const auto text = [](int n) {
            return n < 0 ? std::string("003p")
                         : std::string{char('0' + n / 1000 % 10), char('0' + n / 100 % 10), char('0' + n / 10 % 10),
                                       char('0' + n % 10)};
        };
        declared_ = int(count_) + (ending == kAtCount || ending == kCountOrNullData ? 0 : 9);
        raw_ = "4.2.ZZZZ" + text(declared_);
        for (std::size_t i = 0; i < data_.size(); ++i) {
            const int length = i < count_ ? int(data_[i].size()) : endLength[ending];
            at_.push_back(raw_.size());
            raw_ += text(length) + data_[i];
            lengths_.emplace_back();
            putLe32(lengths_.back().data(), length);
        }
        at_.push_back(raw_.size());
    }
    CallerFields(const CallerFields&) = delete;

    int call(Cmcb& cmcb, char request) {
        cmcb.bytes[QMR_CMCB_REQUEST] = static_cast<unsigned char>(request);
        std::vector<void*> args;
        if (block_) args.push_back(raw_.data());
        for (std::size_t i = 0; !block_ && i < data_.size(); ++i) {
            args.push_back(lengths_[i].data());
            args.push_back(nullData_ && i == count_ ? nullptr : data_[i].data());
        }
        args.resize(kMaxArgs, nullptr);
        return callWith(cmcb.bytes, args.data(), std::make_index_sequence<kMaxArgs>{});
    }

    // Field i's bytes, and its length: a block's length text, a pair's value.
    std::string bytes(std::size_t i) const {
        return block_ ? raw_.substr(at_[i] + 4, at_[i + 1] - at_[i] - 4) : data_[i];
    }
    std::string length(std::size_t i) const {
        return block_ ? raw_.substr(at_[i], 4) : std::to_string(le32(lengths_[i].data()));
    }
    // The fields and the one that ends the list, if any.
    std::size_t size() const { return at_.size() - 1; }
    // Whether the call has parameters beyond the CMCB.
    bool present() const { return block_ ? declared_ >= 1 : !data_.empty(); }

private:
    static constexpr std::size_t kMaxArgs = 2 * 242 + 1;  // 241 caller fields, an ending pair, the null

    template <std::size_t... I>
    static int callWith(void* cmcb, void* const* args, std::index_sequence<I...>) {
        return QMDDAQUE(nullptr, nullptr, cmcb, args[I]...);
    }

    bool block_;
    std::size_t count_;
    bool nullData_;
    int declared_;
    std::string raw_;
    std::vector<std::size_t> at_;                        // each field's length text in raw_, then raw_'s end
    std::vector<std::string> data_;                      // each field's bytes, with a pair list
    std::vector<std::array<unsigned char, 4>> lengths_;  // and its length
};

}  // namespace qmr_test
