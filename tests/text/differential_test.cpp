// Single-byte text against plain reference code, on random texts from a
// fixed seed: texts of few letters and blanks so that matches, members
// and trailing blanks are frequent.
#include <algorithm>
#include <random>

#include "text/text_test.h"

namespace {

using namespace qmr_test;

class RandomText {
public:
    std::string next(int maxLength, std::string_view alphabet = "ab ") {
        std::string text(std::uniform_int_distribution<int>(0, maxLength)(random_), ' ');
        for (char& c : text) c = alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(random_)];
        return text;
    }
    int number(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

private:
    std::mt19937 random_{20261206};
};

std::string trimmed(std::string s) {
    return s.erase(s.find_last_not_of(' ') + 1);
}

int referenceVerify(const std::string& text, const std::string& set) {
    if (text.empty()) return set.find(' ') == std::string::npos ? 1 : 0;
    const std::size_t at = text.find_first_not_of(set);
    if (at == std::string::npos) return 0;
    return at != 0 && text.find_first_not_of(' ', at) == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

int sign(int v) {
    return (v > 0) - (v < 0);
}

TEST(Differential, SingleByteTextAgreesWithReferenceCode) {
    RandomText random;
    for (int round = 0; round < 3000; ++round) {
        const std::string text = random.next(40), other = random.next(4, "abc ");
        TestContext ctx;
        Field t(40, text), o(40, other), out(40, "");
        qmr_int16 position = -1;
        if (!text.empty() && !other.empty()) {
            QMRFINDX(nullptr, nullptr, ctx.get(), t.get(), o.get(), &position);
            const std::size_t found = std::string_view(text).find(other);
            ASSERT_EQ(position, found == std::string::npos ? 0 : static_cast<int>(found) + 1) << text << "|" << other;
        }
        QMRFVRFY(nullptr, nullptr, ctx.get(), t.get(), o.get(), &position);
        ASSERT_EQ(position, referenceVerify(text, trimmed(other))) << text << "|" << other;
        const std::string withNul = random.next(40, "ab \0"sv), setWithNul = random.next(4, "a\0 "sv);
        Field tn(40, withNul), on(40, setWithNul);
        QMRFVRDB(nullptr, nullptr, ctx.get(), tn.get(), on.get(), &position);
        ASSERT_EQ(position, referenceVerify(withNul, setWithNul)) << withNul << "|" << setWithNul;

        QMRFTRIM(nullptr, nullptr, ctx.get(), t.get(), out.get());
        ASSERT_EQ(out.bytes().substr(0, static_cast<std::size_t>(out.length())), trimmed(text));

        const int start = random.number(-2, 40), length = random.number(-2, 44);
        OptionalNumber s{' ', 0, static_cast<qmr_int16>(start)}, n{' ', 0, static_cast<qmr_int16>(length)};
        QMRFSSTR(nullptr, nullptr, ctx.get(), t.get(), &s, &n, out.get());
        const std::size_t from = static_cast<std::size_t>(std::max(start, 1) - 1);
        ASSERT_EQ(out.bytes().substr(0, static_cast<std::size_t>(out.length())),
                  from < text.size() ? text.substr(from, static_cast<std::size_t>(std::max(length, 0))) : "")
            << text << " " << start << " " << length;
        ASSERT_EQ(ctx.error(), "");

        Buffer a(text), b(other);
        ASSERT_EQ(Qmstrcmp(a.get(), b.get()), sign(trimmed(text).compare(trimmed(other)))) << text << "|" << other;
    }
}

}  // namespace
