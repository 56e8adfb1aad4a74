#include "lists/sort_keys.h"

#include <cstring>
#include <string_view>

#include "frame/digits.h"
#include "lists/group.h"

namespace qmr {
namespace {

// The blank-separated tokens of a text, one at a time.
class Tokens {
public:
    explicit Tokens(std::string_view text) noexcept : rest_(text) {}

    bool next(std::string_view& token) noexcept {
        const std::size_t start = rest_.find_first_not_of(' ');
        if (start == std::string_view::npos) return false;
        rest_.remove_prefix(start);
        token = rest_.substr(0, rest_.find(' '));
        rest_.remove_prefix(token.size());
        return true;
    }

private:
    std::string_view rest_;
};

}  // namespace

ListResult parseSortKeys(const char* keyText, const FieldDescriptor* fields, std::uint32_t fieldCount,
                         SortKeys& keys) noexcept {
    const std::string_view text(keyText, std::strlen(keyText));
    std::size_t tokenCount = 0;
    std::string_view token;
    for (Tokens counting(text); counting.next(token);) ++tokenCount;
    if (tokenCount == 0) return ListResult::failed;
    if (!keys.keys.obtain((tokenCount + 1) / 2)) return ListResult::failed;

    keys.count = 0;
    Tokens tokens(text);
    while (tokens.next(token)) {
        const std::int32_t number = readDecimal(token.data(), token.size());
        if (number < 1 || static_cast<std::uint32_t>(number) > fieldCount) return ListResult::fieldNumber;
        SortKey& key = keys.keys[keys.count++];
        key = {&fields[number - 1], true};
        if (!tokens.next(token) || token.size() != 1) return ListResult::syntax;
        if (token == "D" || token == "d") {
            key.ascending = false;
        } else if (token != "A" && token != "a") {
            return ListResult::syntax;
        }
    }
    return ListResult::done;
}

}  // namespace qmr
