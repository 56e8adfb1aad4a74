// Ordering by keys.  Each occurrence first gets an 8-byte prefix: its
// leading keys' values turned into bytes whose unsigned order is the
// keys' order (sign bits flipped, descending keys inverted, texts cut at
// their NUL).  The (prefix, occurrence) records are radix sorted, which
// keeps the work in sequential memory; only occurrences whose prefixes
// tie, while the prefix does not hold every key, are compared key by key
// through VKSTRNCM and the 20-byte value tests.  A key whose ordering the
// library cannot turn into bytes (a host's own 20-byte value ordering)
// ends the prefix.
#include "lists/sort_order.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "lists/group.h"
#include "lists/radix_sort.h"
#include "lists/stable_sort.h"
#include "platform/editsvc.h"
#include "platform/value20.h"

namespace qmr {
namespace {

constexpr std::uint32_t kPrefixBytes = 8;

// VKSTRNCM orders texts as unsigned bytes up to a shared NUL (the
// edit-services stand-in); only then may text keys go into the prefix.
constexpr bool kTextsInByteOrder = true;

template <typename T>
int threeWay(T a, T b) noexcept {
    return (a > b) - (a < b);
}

int compareReals(double a, double b) noexcept {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) - std::isnan(b);
    return threeWay(a, b);  // -0 and +0 are neither less nor greater
}

int compareKey(const SortKey& key, const Value20Order& order, std::uint32_t a, std::uint32_t b) noexcept {
    const FieldDescriptor& field = *key.field;
    const auto* data = static_cast<const unsigned char*>(field.data);
    const std::int32_t type = field.typeCode;
    if (isTextType(type)) {
        const std::size_t size = field.elementSize;
        const auto* text = reinterpret_cast<const char*>(data);
        return threeWay(VKSTRNCM(text + a * size, text + b * size, size), 0);
    }
    switch (type) {
    case QMR_FIELD_SHORT: return threeWay(loadElement<std::int16_t>(data, a), loadElement<std::int16_t>(data, b));
    case QMR_FIELD_REAL: return compareReals(loadElement<double>(data, a), loadElement<double>(data, b));
    case QMR_FIELD_VALUE20: {
        const unsigned char* x = data + std::size_t{a} * kValue20Size;
        const unsigned char* y = data + std::size_t{b} * kValue20Size;
        return order.less(x, y) != 0 ? -1 : order.equal(x, y) != 0 ? 0 : 1;
    }
    default:
        if (isLongType(type)) return threeWay(loadElement<std::int32_t>(data, a), loadElement<std::int32_t>(data, b));
        return 0;  // type 10 and unknown codes never decide
    }
}

// Bytes of a key's ordered form; 0 for a key that never decides, -1 for
// a key that has none.
std::int64_t orderedWidth(const SortKey& key, const Value20Order& order) noexcept {
    const std::int32_t type = key.field->typeCode;
    if (type == QMR_FIELD_VALUE20 && !isByteOrder(order)) return -1;
    if (isTextType(type) && !kTextsInByteOrder) return -1;
    return static_cast<std::int64_t>(columnWidth(type, key.field->elementSize));
}

struct PrefixPart {
    const SortKey* key;
    std::uint32_t bytes;  // the leading bytes of the key's ordered form
};

struct PrefixPlan {
    PrefixPart parts[kPrefixBytes];
    std::uint32_t count = 0;
    bool complete = true;  // equal prefixes mean equal keys
};

PrefixPlan planPrefix(const SortKeys& keys, const Value20Order& order) noexcept {
    PrefixPlan plan;
    std::uint32_t room = kPrefixBytes;
    for (std::uint32_t k = 0; k < keys.count; ++k) {
        const std::int64_t width = orderedWidth(keys.keys[k], order);
        if (width == 0) continue;
        if (width < 0 || room == 0) {
            plan.complete = false;
            break;
        }
        const auto bytes = static_cast<std::uint32_t>(width < room ? width : room);
        plan.parts[plan.count++] = {&keys.keys[k], bytes};
        room -= bytes;
        if (bytes < width) {
            plan.complete = false;
            break;
        }
    }
    return plan;
}

// The first `bytes` bytes of an unsigned big-endian ordered form.
template <typename U>
std::uint64_t leading(U ordered, bool ascending, std::uint32_t bytes) noexcept {
    if (!ascending) ordered = static_cast<U>(~ordered);
    return static_cast<std::uint64_t>(ordered) >> (8 * (sizeof(U) - bytes));
}

std::uint64_t orderedBytes(const PrefixPart& part, std::uint32_t i) noexcept {
    const FieldDescriptor& field = *part.key->field;
    const bool ascending = part.key->ascending;
    const auto* data = static_cast<const unsigned char*>(field.data);
    const std::int32_t type = field.typeCode;
    if (type == QMR_FIELD_SHORT) {
        const auto v = static_cast<std::uint16_t>(loadElement<std::int16_t>(data, i));
        return leading(static_cast<std::uint16_t>(v ^ 0x8000u), ascending, part.bytes);
    }
    if (isLongType(type)) {
        const auto v = static_cast<std::uint32_t>(loadElement<std::int32_t>(data, i));
        return leading(v ^ 0x80000000u, ascending, part.bytes);
    }
    if (type == QMR_FIELD_REAL) {
        const double v = loadElement<double>(data, i);
        const std::uint64_t bits = std::bit_cast<std::uint64_t>(v == 0 ? 0.0 : v);  // -0 as +0
        constexpr std::uint64_t kSign = std::uint64_t{1} << 63;
        const std::uint64_t ordered = std::isnan(v) ? ~std::uint64_t{0} : (bits & kSign) ? ~bits : bits | kSign;
        return leading(ordered, ascending, part.bytes);
    }
    // Texts compare up to their NUL, so the bytes after it count as 0;
    // the 20-byte values (in byte order here) hold no terminator.
    const std::size_t size = type == QMR_FIELD_VALUE20 ? kValue20Size : field.elementSize;
    const unsigned char* element = data + i * size;
    const bool stopsAtNul = type != QMR_FIELD_VALUE20;
    std::uint64_t ordered = 0;
    bool ended = false;
    for (std::uint32_t b = 0; b < part.bytes; ++b) {
        ended = ended || (stopsAtNul && element[b] == 0);
        const unsigned byte = ended ? 0 : element[b];
        ordered = ordered << 8 | (ascending ? byte : 0xFFu - byte);
    }
    return ordered;
}

struct OrderRecord {
    std::uint64_t prefix;
    std::uint32_t occurrence;
    std::uint32_t unused;
};
static_assert(sizeof(OrderRecord) * 2 <= kOrderWorkWidth);

}  // namespace

int compareOccurrences(const SortKey* keys, std::uint32_t keyCount, const Value20Order& order, std::uint32_t a,
                       std::uint32_t b) noexcept {
    for (std::uint32_t k = 0; k < keyCount; ++k) {
        const int c = compareKey(keys[k], order, a, b);
        if (c != 0) return keys[k].ascending ? c : -c;
    }
    return 0;
}

void orderOccurrences(const SortKeys& keys, std::uint32_t count, std::uint32_t* permutation, void* work) noexcept {
    const Value20Order& order = value20Order();  // one ordering for the whole sort
    const PrefixPlan plan = planPrefix(keys, order);
    auto* records = static_cast<OrderRecord*>(work);
    OrderRecord* scratch = records + count;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint64_t prefix = 0;
        for (std::uint32_t p = 0; p < plan.count; ++p) {
            const std::uint64_t bytes = orderedBytes(plan.parts[p], i);
            prefix = plan.parts[p].bytes == kPrefixBytes ? bytes : prefix << (8 * plan.parts[p].bytes) | bytes;
        }
        records[i] = {prefix, i, 0};
    }
    radixSortByPrefix(records, scratch, count);
    if (!plan.complete) {
        // Occurrences whose prefixes tie are still in their present order;
        // the keys decide among them.
        const SortKey* keyList = keys.keys.get();
        const std::uint32_t keyCount = keys.count;
        const auto before = [keyList, keyCount, &order](const OrderRecord& x, const OrderRecord& y) {
            return compareOccurrences(keyList, keyCount, order, x.occurrence, y.occurrence) < 0;
        };
        for (std::uint32_t first = 0, last = 0; first < count; first = last) {
            for (last = first + 1; last < count && records[last].prefix == records[first].prefix;) ++last;
            if (last - first > 1) stableSort(records + first, scratch, last - first, before);
        }
    }
    for (std::uint32_t k = 0; k < count; ++k) permutation[k] = records[k].occurrence;
}

}  // namespace qmr
