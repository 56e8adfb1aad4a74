// qmr call: the selection flags, and the filter and sort on a small order
// list that lives for the whole script.  The list has fixed columns, as a
// window of a generated application would: 1 order date, 2 amount,
// 3 price, 4 customer name, 5 selection flag.  It starts with a few sample
// orders; `order-clear` empties it and `order-add` adds one.
#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "cli.h"

namespace qmr_cli {
namespace {

constexpr std::uint32_t kNameSize = 12;

class OrderList {
public:
    OrderList() {
        add(20260114, 12, 19.99, "Miller", ' ');
        add(20251230, 3, 250.00, "Adams", '*');
        add(20260302, 40, 4.50, "Zimmer", ' ');
        add(20260114, 7, 89.90, "Baker", ' ');
        add(20260211, 1, 1200.00, "Nguyen", ' ');
    }

    void clear() {
        dates_.clear(), amounts_.clear(), prices_.clear(), names_.clear(), flags_.clear();
    }

    void add(std::int32_t date, std::int32_t amount, double price, const std::string& name, char flag) {
        dates_.push_back(date);
        amounts_.push_back(amount);
        prices_.push_back(price);
        names_.resize(names_.size() + kNameSize, '\0');
        std::memcpy(&names_[names_.size() - kNameSize], name.data(), name.size());
        flags_.push_back(flag);
    }

    // The descriptor of the list as it stands; valid until the next change.
    GroupDescriptor* group() {
        fields_[0] = {nullptr, nullptr, QMR_FIELD_DATE, 0, dates_.data()};
        fields_[1] = {nullptr, nullptr, QMR_FIELD_LONG, 0, amounts_.data()};
        fields_[2] = {nullptr, nullptr, QMR_FIELD_REAL, 0, prices_.data()};
        fields_[3] = {nullptr, nullptr, QMR_FIELD_TEXT, kNameSize, names_.data()};
        fields_[4] = {nullptr, nullptr, QMR_FIELD_TEXT, 1, flags_.data()};
        group_ = {static_cast<qmr_uint32>(dates_.size()), 5, 0, nullptr, 4, fields_};
        return &group_;
    }

    void print(Session& s) const {
        s.out() << "  flag  1 date       2 amount   3 price  4 name\n";
        for (std::size_t i = 0; i < dates_.size(); ++i) {
            char row[96];
            const std::int32_t d = dates_[i];
            std::snprintf(row, sizeof row, "  %-4s  %04d-%02d-%02d %8d %9.2f  ", quoteBytes(&flags_[i], 1).c_str(),
                          d / 10000, d / 100 % 100, d % 100, amounts_[i], prices_[i]);
            const char* name = &names_[i * kNameSize];
            s.out() << row << quoteBytes(name, strnlen(name, kNameSize)) << '\n';
        }
    }

private:
    std::vector<std::int32_t> dates_, amounts_;
    std::vector<double> prices_;
    std::vector<char> names_, flags_;
    FieldDescriptor fields_[5];
    GroupDescriptor group_;
};

OrderList& orders() {
    static OrderList list;
    return list;
}

void gsel(Session& s, const Args& a) {
    const auto request = static_cast<qmr_uint32>(a.int32(1));
    s.number("result", QMRGSEL(nullptr, nullptr, s.context(), static_cast<signed char>(a.character(0)), request));
}

void ssel(Session& s, const Args& a) {
    char flag = a.character(0);
    QMRSSEL(nullptr, nullptr, s.context(), &flag, static_cast<qmr_uint32>(a.int32(1)));
    s.text("flag", &flag, 1);
}

void fltr(Session& s, const Args& a) {
    const std::string expression = a.text(0);
    QMRFLTR(nullptr, nullptr, s.context(), orders().group(), expression.c_str());
    orders().print(s);
}

void sort(Session& s, const Args& a) {
    const std::string keys = a.text(0);
    QMRSORT(nullptr, nullptr, s.context(), orders().group(), keys.c_str());
    orders().print(s);
}

void orderAdd(Session&, const Args& a) {
    const std::string name = a.text(3);
    if (name.size() >= kNameSize) a.fail(3, "is longer than 11 characters");
    orders().add(a.int32(0), a.int32(1), a.real(2), name, a.characterOr(4, ' '));
}

void orderClear(Session&, const Args&) { orders().clear(); }
void orderShow(Session& s, const Args&) { orders().print(s); }

const Command kCommands[] = {
    {"QMRGSEL", "FLAG REQUEST",
     "qmr_int32 QMRGSEL(void* opaque1, void* opaque2, CallContext* context, signed char flag, qmr_uint32 request);",
     "does a selection flag satisfy request 1..7 (shown, hidden, marks, selected)", 2, 2, false, gsel},
    {"QMRSSEL", "FLAG REQUEST",
     "void QMRSSEL(void* opaque1, void* opaque2, CallContext* context, char* flag, qmr_uint32 request);",
     "change a selection flag by request 1..7", 2, 2, false, ssel},
    {"QMRFLTR", "EXPRESSION",
     "void QMRFLTR(void* opaque1, void* opaque2, CallContext* context, GroupDescriptor* group, const char* "
     "expression);",
     "hide the orders of the order list that fail an expression", 1, 1, true, fltr},
    {"QMRSORT", "KEYS",
     "void QMRSORT(void* opaque1, void* opaque2, CallContext* context, GroupDescriptor* group, const char* "
     "keys);",
     "sort the order list by fields and directions, e.g. \"1 A 4 D\"", 1, 1, true, sort},
    {"order-add", "DATE AMOUNT PRICE NAME [FLAG]", "(driver) add an order to the order list",
     "add an order: date yyyymmdd, amount, price, name, selection flag", 4, 5, false, orderAdd},
    {"order-clear", "", "(driver) empty the order list", "empty the order list", 0, 0, false, orderClear},
    {"order-show", "", "(driver) print the order list", "print the order list", 0, 0, false, orderShow},
};
const Registrar registrar(kCommands);

}  // namespace
}  // namespace qmr_cli
