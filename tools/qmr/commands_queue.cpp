// qmr call: the relationship queue.  A script keeps one CMCB for each
// calling form, so that its lines can add relationships, walk and read
// them the way an application does.
//
//   QMDDAQUE pairs A REL ASSOC FIELD...   ADD (no FIELD: the CMCB alone)
//   QMDDAQUE pairs N                      NEXT
//   QMDDAQUE pairs R ROOM...              READ into fields of ROOM bytes
//   QMDDAQUE block ...                    the same with a parameter block
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "cli.h"

namespace qmr_cli {
namespace {

struct Form {
    bool block;
    std::size_t relationship;
    std::size_t associated;
    std::size_t idSize;
    std::size_t handle;
};

constexpr Form kPairs{false, QMR_CMCB_PAIR_RELATIONSHIP, QMR_CMCB_PAIR_ASSOCIATED, QMR_CMCB_PAIR_ID_SIZE,
                      QMR_CMCB_PAIR_HANDLE};
constexpr Form kBlock{true, QMR_CMCB_BLOCK_RELATIONSHIP, QMR_CMCB_BLOCK_ASSOCIATED, QMR_CMCB_BLOCK_ID_SIZE,
                      QMR_CMCB_BLOCK_HANDLE};

// The CMCB of each form, as a host lays one out: blanks, state 'U'.
std::array<unsigned char, QMR_CMCB_BLOCK_SIZE>& controlBlock(const Form& form) {
    static auto make = [](bool block) {
        std::array<unsigned char, QMR_CMCB_BLOCK_SIZE> bytes;
        bytes.fill(' ');
        std::memset(bytes.data() + (block ? QMR_CMCB_BLOCK_HANDLE : QMR_CMCB_PAIR_HANDLE), 0, 4);
        if (block) bytes[QMR_CMCB_BLOCK_STATE] = 'U';
        return bytes;
    };
    static std::array<unsigned char, QMR_CMCB_BLOCK_SIZE> pairs = make(false);
    static std::array<unsigned char, QMR_CMCB_BLOCK_SIZE> block = make(true);
    return form.block ? block : pairs;
}

std::string fourDigits(int value) {
    std::string text = std::to_string(value);
    return std::string(text.size() < 4 ? 4 - text.size() : 0, '0') + text;
}

// The fields as a parameter block: "4.2.", four unread bytes, the count,
// then each field's length text and bytes.
std::vector<unsigned char> parameterBlock(const std::vector<std::string>& fields) {
    std::string text = "4.2.    " + fourDigits(int(fields.size()));
    for (const std::string& field : fields) text += fourDigits(int(field.size())) + field;
    return std::vector<unsigned char>(text.begin(), text.end());
}

qmr_int32 callWithPairs(unsigned char* cmcb, std::vector<std::array<unsigned char, 4>>& lengths,
                        std::vector<std::vector<unsigned char>>& data) {
    // The driver passes at most this many pairs; the last argument is null.
    constexpr std::size_t kMaxPairs = 8;
    void* args[2 * kMaxPairs + 1] = {};
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        args[2 * i] = lengths[i].data();
        args[2 * i + 1] = data[i].data();
    }
    return QMDDAQUE(nullptr, nullptr, cmcb, args[0], args[1], args[2], args[3], args[4], args[5], args[6], args[7],
                    args[8], args[9], args[10], args[11], args[12], args[13], args[14], args[15], args[16]);
}

std::array<unsigned char, 4> lengthBytes(std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    return {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v >> 16),
            static_cast<unsigned char>(v >> 24)};
}

void printAnswer(Session& s, const Form& form, const unsigned char* cmcb, qmr_int32 result) {
    s.number("result", result);
    s.text("code", cmcb + QMR_CMCB_RETURN_CODE, 2);
    std::size_t length = QMR_CMCB_MESSAGE_SIZE;
    while (length > 0 && cmcb[QMR_CMCB_MESSAGE + length - 1] == ' ') --length;
    if (length > 0) s.text("message", cmcb + QMR_CMCB_MESSAGE, length);
    std::uint32_t handle;
    std::memcpy(&handle, cmcb + form.handle, 4);
    const bool anchored = handle != 0 && (!form.block || cmcb[QMR_CMCB_BLOCK_STATE] == 'A');
    s.line("queue", anchored ? "anchored" : "none");
}

void queue(Session& s, const Args& a) {
    const std::string formName = a.word(0);
    if (formName != "pairs" && formName != "block") a.fail(0, "is not 'pairs' or 'block'");
    const Form& form = formName == "block" ? kBlock : kPairs;
    unsigned char* const cmcb = controlBlock(form).data();
    const char request = a.character(1);
    cmcb[QMR_CMCB_REQUEST] = static_cast<unsigned char>(request);

    std::vector<std::string> fields;  // ADD: the fields; READ: fields of the given rooms
    std::size_t next = 2;
    if (request == 'A') {
        if (!a.has(3)) throw UsageError("QMDDAQUE: ADD needs REL and ASSOC");
        for (std::size_t i = 0; i < 2; ++i) {
            std::string id = a.text(2 + i);
            id.resize(form.idSize, ' ');
            std::memcpy(cmcb + (i == 0 ? form.relationship : form.associated), id.data(), form.idSize);
        }
        for (next = 4; a.has(next); ++next) fields.push_back(a.text(next));
    } else if (request == 'R') {
        for (; a.has(next); ++next) {
            const std::int32_t room = a.int32(next);
            if (room < 0 || room > 4096) a.fail(next, "is not a room of 0 to 4096 bytes");
            fields.push_back(std::string(static_cast<std::size_t>(room), '.'));
        }
    } else if (a.has(next)) {
        a.fail(next, "is not taken by this request");
    }
    if (fields.size() > 8) throw UsageError("QMDDAQUE: at most 8 fields");

    qmr_int32 result;
    std::vector<std::array<unsigned char, 4>> lengths;
    std::vector<std::vector<unsigned char>> data;
    std::vector<unsigned char> block;
    if (form.block) {
        block = parameterBlock(fields);
        result = QMDDAQUE(nullptr, nullptr, cmcb, block.data());
    } else {
        for (const std::string& field : fields) {
            lengths.push_back(lengthBytes(static_cast<std::int32_t>(field.size())));
            data.emplace_back(field.begin(), field.end());
            data.back().push_back('\0');  // a non-null pointer even for an empty field
        }
        result = callWithPairs(cmcb, lengths, data);
    }
    printAnswer(s, form, cmcb, result);
    if (result != 0 || (request != 'N' && request != 'R')) return;
    s.text("relation", cmcb + form.relationship, form.idSize);
    s.text("associated", cmcb + form.associated, form.idSize);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string label = "field " + std::to_string(i + 1);
        if (form.block) {
            std::size_t at = 12;
            for (std::size_t k = 0; k < i; ++k) at += 4 + fields[k].size();
            s.text(label, block.data() + at + 4, fields[i].size());
        } else {
            std::int32_t length;
            std::memcpy(&length, lengths[i].data(), 4);
            s.line(label, quoteBytes(data[i].data(), fields[i].size()) + " length " + std::to_string(length));
        }
    }
}

const Command kCommands[] = {
    {"QMDDAQUE", "pairs|block A REL ASSOC [FIELD...] | N | R [ROOM...] | CODE",
     "qmr_int32 QMDDAQUE(void* opaque1, void* opaque2, void* cmcb, ...);",
     "relationship queue: ADD, NEXT and READ saved relationships (one CMCB per form)", 2, 12, false, queue},
};
const Registrar registrar(Family::Queue, kCommands);

}  // namespace
}  // namespace qmr_cli
