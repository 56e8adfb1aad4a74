// QMRSORT over a generated group: the key text and the ordering.  Input:
// the allocation to fail, the group (fuzz_group.h), then the key text.
//
// The answer is checked against a model written from the documented
// behaviour: the key text's message, and for an accepted text every array
// arranged as a stable sort of the occurrences by the keys would arrange
// it (NaN after every number, -0 equal to +0, texts as unsigned bytes up
// to a NUL within their element, 20-byte values as unsigned bytes).
#include <algorithm>
#include <cerrno>
#include <climits>
#include <numeric>

#include "fuzz_group.h"
#include "platform/alloc.h"

using namespace qmr_fuzz;

namespace {

struct Key {
    std::size_t field;
    bool ascending;
};

std::vector<std::string> tokensOf(const std::string& text) {
    std::vector<std::string> tokens;
    std::size_t at = 0;
    while ((at = text.find_first_not_of(' ', at)) != std::string::npos) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        tokens.push_back(text.substr(at, end - at));
        at = end;
    }
    return tokens;
}

// The message the key text deserves ("" when it is accepted).
std::string modelKeys(const std::string& text, const FuzzGroup& group, std::vector<Key>& keys) {
    const std::vector<std::string> tokens = tokensOf(text);
    if (tokens.empty()) return " 153";
    for (std::size_t t = 0; t < tokens.size(); t += 2) {
        errno = 0;
        long number = std::strtol(tokens[t].c_str(), nullptr, 10);
        number = std::clamp<long>(number, INT32_MIN, INT32_MAX);
        if (number < 1 || static_cast<std::size_t>(number) > group.fieldCount()) return " 155";
        if (t + 1 == tokens.size() || tokens[t + 1].size() != 1) return " 154";
        const char d = tokens[t + 1][0];
        if (d != 'A' && d != 'a' && d != 'D' && d != 'd') return " 154";
        keys.push_back({static_cast<std::size_t>(number - 1), d == 'A' || d == 'a'});
    }
    for (const Key& k : keys) {
        const FieldDescriptor& f = group.field(k.field);
        const bool moves = f.typeCode >= 1 && f.typeCode <= 11 && f.typeCode != QMR_FIELD_NO_COLUMN;
        if (moves && widthOf(f.typeCode, f.elementSize) != 0 && f.data == nullptr) return " 153";
    }
    return "";
}

template <typename T>
int threeWay(T a, T b) {
    return (a > b) - (a < b);
}

template <typename T>
T load(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

int compareKey(const FieldDescriptor& f, std::size_t a, std::size_t b) {
    const auto* d = static_cast<const unsigned char*>(f.data);
    switch (f.typeCode) {
    case QMR_FIELD_SHORT: return threeWay(load<std::int16_t>(d + 2 * a), load<std::int16_t>(d + 2 * b));
    case QMR_FIELD_LONG:
    case QMR_FIELD_DATE:
    case QMR_FIELD_TIME: return threeWay(load<std::int32_t>(d + 4 * a), load<std::int32_t>(d + 4 * b));
    case QMR_FIELD_REAL: {
        const double x = load<double>(d + 8 * a);
        const double y = load<double>(d + 8 * b);
        if (std::isnan(x) || std::isnan(y)) return std::isnan(x) - std::isnan(y);
        return threeWay(x, y);
    }
    case QMR_FIELD_VALUE20: return threeWay(std::memcmp(d + 20 * a, d + 20 * b, 20), 0);
    case QMR_FIELD_TEXT:
    case QMR_FIELD_TIMESTAMP:
    case QMR_FIELD_TEXT2:
    case QMR_FIELD_TEXT3: {
        const std::size_t n = f.elementSize;
        for (std::size_t i = 0; i < n; ++i) {
            const unsigned char x = d[n * a + i];
            const unsigned char y = d[n * b + i];
            if (x != y) return x < y ? -1 : 1;
            if (x == 0) break;
        }
        return 0;
    }
    default: return 0;
    }
}

// Occurrence permutation[k] goes to position k of every moved array.
void permute(unsigned char* array, std::size_t width, const std::vector<std::size_t>& permutation) {
    if (width == 0) return;
    std::vector<unsigned char> copy(array, array + width * permutation.size());
    for (std::size_t k = 0; k < permutation.size(); ++k) {
        std::memcpy(array + k * width, copy.data() + permutation[k] * width, width);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const long failAt = allocationToFail(in);
    FuzzGroup group(in);
    const std::string keyText = in.rest().c_str();
    const std::vector<std::string> before = group.snapshot();

    // The model, on a second group built from the same input.
    Input again(data, size);
    allocationToFail(again);
    FuzzGroup expected(again);
    std::vector<Key> keys;
    const std::string expectedError = group.count() == 0 ? "" : modelKeys(keyText, expected, keys);
    if (expectedError.empty() && group.count() > 0) {
        std::vector<std::size_t> order(group.count());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            for (const Key& k : keys) {
                const int c = compareKey(expected.field(k.field), a, b);
                if (c != 0) return k.ascending ? c < 0 : c > 0;
            }
            return false;
        });
        GroupDescriptor* g = expected.descriptor();
        if (g->occurrenceState != nullptr) permute(g->occurrenceState, 1, order);
        for (std::size_t f = 0; f < g->fieldCount; ++f) {
            FieldDescriptor& d = g->fields[f];
            if (g->cellStateFlag != 0 && d.cellState != nullptr) permute(d.cellState, 1, order);
            if (d.cellAttributes != nullptr) {
                permute(static_cast<unsigned char*>(d.cellAttributes), QMR_CELL_ATTRIBUTE_SIZE, order);
            }
            const bool moves = d.typeCode >= 1 && d.typeCode <= 11 && d.typeCode != QMR_FIELD_NO_COLUMN;
            if (moves && d.data != nullptr) {
                permute(static_cast<unsigned char*>(d.data), widthOf(d.typeCode, d.elementSize), order);
            }
        }
    }

    Context context;
    qmr::testing::failAllocation(failAt);
    QMRSORT(nullptr, nullptr, context.get(), group.descriptor(), keyText.c_str());
    const bool storageFailed = failAt > 0 && qmr::testing::allocationCount() >= failAt;
    qmr::testing::failAllocation(0);

    QMR_FUZZ_CHECK(group.intact(), "a guard changed");
    QMR_FUZZ_CHECK(context.name() == "QMRSORT ", "name %s", context.name().c_str());
    const std::string error = context.error();
    if (storageFailed) {
        QMR_FUZZ_CHECK(error == " 153", "storage failed, message '%s'", error.c_str());
    } else {
        QMR_FUZZ_CHECK(error == expectedError, "message '%s', expected '%s'", error.c_str(), expectedError.c_str());
    }
    if (!error.empty()) {
        QMR_FUZZ_CHECK(group.snapshot() == before, "a refused sort changed the group (%s)", error.c_str());
        return 0;
    }
    QMR_FUZZ_CHECK(group.snapshot() == expected.snapshot(), "the group is not in the keys' stable order");
    return 0;
}
