// qmr call: the selection flags, and the filter and sort on a small order
// list that lives for the whole script.  The list has fixed columns, as a
// window of a generated application would: 1 order date, 2 quantity,
// 3 amount, 4 customer, 5 selection flag, 6 order number (ORD001,
// ORD002, ... in the order added).  It starts with a few sample orders;
// the driver commands `order-clear` and `order-add` build one of a
// script's own.
#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "cli.h"

namespace qmr_cli {
namespace {

constexpr std::uint32_t kCustomerSize = 16;
constexpr std::uint32_t kNumberSize = 7;  // "ORD001" and a NUL

class OrderList {
public:
    OrderList() {
        add(20260114, 12, 239.88, "Miller", ' ');
        add(20251230, 3, 750.00, "Adams", '*');
        add(20260302, 40, 180.00, "Zimmer", ' ');
        add(20260205, 7, 629.30, "Baker", ' ');
        add(20260211, 1, 1200.00, "Nguyen", ' ');
    }

    void clear() {
        dates_.clear(), quantities_.clear(), amounts_.clear(), customers_.clear(), flags_.clear(), numbers_.clear();
    }

    void add(std::int32_t date, std::int32_t quantity, double amount, const std::string& customer, char flag) {
        dates_.push_back(date);
        quantities_.push_back(quantity);
        amounts_.push_back(amount);
        customers_.resize(customers_.size() + kCustomerSize, '\0');
        std::memcpy(&customers_[customers_.size() - kCustomerSize], customer.data(), customer.size());
        flags_.push_back(flag);
        char number[kNumberSize + 8];
        std::snprintf(number, sizeof number, "ORD%03u", static_cast<unsigned>(dates_.size() % 1000));
        numbers_.insert(numbers_.end(), number, number + kNumberSize);
    }

    // The descriptor of the list as it stands; valid until the next change.
    GroupDescriptor* group() {
        fields_[0] = {nullptr, nullptr, QMR_FIELD_DATE, 0, dates_.data()};
        fields_[1] = {nullptr, nullptr, QMR_FIELD_LONG, 0, quantities_.data()};
        fields_[2] = {nullptr, nullptr, QMR_FIELD_REAL, 0, amounts_.data()};
        fields_[3] = {nullptr, nullptr, QMR_FIELD_TEXT, kCustomerSize, customers_.data()};
        fields_[4] = {nullptr, nullptr, QMR_FIELD_TEXT, 1, flags_.data()};
        fields_[5] = {nullptr, nullptr, QMR_FIELD_TEXT, kNumberSize, numbers_.data()};
        group_ = {static_cast<qmr_uint32>(dates_.size()), 6, 0, nullptr, 4, fields_};
        return &group_;
    }

    // The list as a window shows it: each date in the W and M storage
    // forms (QMRVW2D, QMRVM2D) and its day name (QMRFDOW, on a call
    // context of its own, so that the script's context stays as the last
    // call left it).  Hidden orders are shown with their flag "H".
    void print(Session& s) const {
        s.out() << "  flag  order   date (W)    date (M)    day         qty     amount  customer\n";
        for (std::size_t i = 0; i < dates_.size(); ++i) {
            char wForm[QMR_W_DATE_LENGTH + 1] = {}, mForm[QMR_MY_DATE_LENGTH + 1] = {}, day[10] = {};
            QMRVW2D(dates_[i], wForm);
            QMRVM2D(dates_[i], mForm);
            std::vector<unsigned char> context(QMR_CALL_CONTEXT_MIN_SIZE, 0);
            QMRFDOW(nullptr, nullptr, reinterpret_cast<CallContext*>(context.data()), &dates_[i], day);
            char row[128];
            std::snprintf(row, sizeof row, "  %-4s  %.6s  %.10s  %.10s  %.9s %5d %10.2f  ",
                          quoteBytes(&flags_[i], 1).c_str(), &numbers_[i * kNumberSize], wForm, mForm, day,
                          quantities_[i], amounts_[i]);
            const char* customer = &customers_[i * kCustomerSize];
            s.out() << row << quoteBytes(customer, strnlen(customer, kCustomerSize)) << '\n';
        }
    }

private:
    std::vector<std::int32_t> dates_, quantities_;
    std::vector<double> amounts_;
    std::vector<char> customers_, flags_, numbers_;
    FieldDescriptor fields_[6];
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
    const std::string customer = a.text(3);
    if (customer.size() > kCustomerSize) a.fail(3, "is longer than 16 bytes");
    orders().add(a.int32(0), a.int32(1), a.real(2), customer, a.characterOr(4, ' '));
}

void orderClear(Session&, const Args&) { orders().clear(); }
void orderShow(Session& s, const Args&) { orders().print(s); }

// The driver's own ordering of the 20-byte value type: bytes compared
// from the last to the first.
int QMR_CALL lastByteFirstLess(const void* a, const void* b) {
    const auto* x = static_cast<const unsigned char*>(a);
    const auto* y = static_cast<const unsigned char*>(b);
    for (int i = 19; i >= 0; --i) {
        if (x[i] != y[i]) return x[i] < y[i];
    }
    return 0;
}
int QMR_CALL lastByteFirstEqual(const void* a, const void* b) { return std::memcmp(a, b, 20) == 0; }

// qmr_set_value20_order bytes|last-byte-first|less-only: the tests are
// C functions, so a script names one of three settings.
void value20Order(Session& s, const Args& a) {
    const std::string choice = a.word(0);
    int result;
    if (choice == "bytes") {
        result = qmr_set_value20_order(nullptr, nullptr);
    } else if (choice == "last-byte-first") {
        result = qmr_set_value20_order(lastByteFirstLess, lastByteFirstEqual);
    } else if (choice == "less-only") {
        result = qmr_set_value20_order(lastByteFirstLess, nullptr);
    } else {
        a.fail(0, "is not bytes, last-byte-first or less-only");
    }
    s.number("result", result);
}

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
     "hide the orders of the order list that fail an expression, e.g. \"1 >= 2026-01-01 AND 3 >= 100.0\"", 1, 1,
     true, fltr},
    {"QMRSORT", "KEYS",
     "void QMRSORT(void* opaque1, void* opaque2, CallContext* context, GroupDescriptor* group, const char* "
     "keys);",
     "sort the order list by fields and directions, e.g. \"1 A 3 D\"", 1, 1, true, sort},
    {"qmr_set_value20_order", "bytes|last-byte-first|less-only",
     "int qmr_set_value20_order(QmrValue20Test less, QmrValue20Test equal);",
     "the ordering of 20-byte values: the default, the driver's last-byte-first, or only a less test (refused)", 1,
     1, false, value20Order},
};
const Registrar registrar(Family::Lists, kCommands);

const Command kDriverCommands[] = {
    {"order-add", "DATE QUANTITY AMOUNT CUSTOMER [FLAG]", "(driver) add an order to the order list",
     "add an order: date yyyymmdd, quantity, amount, customer (at most 16 bytes), selection flag", 4, 5, false,
     orderAdd},
    {"order-clear", "", "(driver) empty the order list", "empty the order list", 0, 0, false, orderClear},
    {"order-show", "", "(driver) print the order list",
     "print the order list, dates through QMRVW2D, QMRVM2D and QMRFDOW", 0, 0, false, orderShow},
};
const Registrar driverRegistrar(Family::Driver, kDriverCommands);

}  // namespace
}  // namespace qmr_cli
