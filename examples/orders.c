/*
 * orders.c: the job of the tour (examples/demo.qmr) written in C, the way
 * generated code calls the library.  An order window keeps its list as a
 * repeating group, filters it by a date range and an amount, sorts it by
 * two keys, shows each date in two storage forms with its day name, trims
 * and measures its Shift_JIS customer texts, queues the shown orders for
 * the next window and reads them back; one deliberate error shows what
 * the call context reports.
 *
 * Only qmr/qmr.h is needed:
 *   cc -std=c11 orders.c $(pkg-config --cflags --libs qmr)
 */
#include <stdio.h>
#include <string.h>

#include <qmr/qmr.h>

#define ORDERS 6
#define CUSTOMER_SIZE 16
#define NUMBER_SIZE 7

/* The order list, one array per column, as generated code keeps a
 * repeating group.  The third customer is Shift_JIS text: four half-width
 * katakana, a blank, two kanji and a full-width blank. */
static qmr_int32 orderDate[ORDERS] = {20260114, 20251230, 20260302, 20260211, 20260211, 20260406};
static qmr_int32 quantity[ORDERS] = {12, 3, 40, 7, 1, 5};
static double amount[ORDERS] = {239.88, 750.00, 180.00, 629.30, 1200.00, 95.00};
static char customer[ORDERS][CUSTOMER_SIZE] = {
    "Miller", "Adams", "\xd4\xcf\xc0\xde \x8e" "R\x93" "c\x81\x40", "Baker", "Nguyen", "Okafor"};
static char flag[ORDERS] = {' ', ' ', ' ', ' ', ' ', ' '};
static char orderNumber[ORDERS][NUMBER_SIZE] = {"ORD001", "ORD002", "ORD003", "ORD004", "ORD005", "ORD006"};

/* The host's call context: the library writes the function name, the
 * error flag, the facility and the message number into it. */
static char context[QMR_CALL_CONTEXT_MIN_SIZE];

/* A counted text field of the customer's size. */
typedef struct {
    qmr_int32 maxLength;
    qmr_int32 length;
    char text[CUSTOMER_SIZE];
} CustomerField;

static CallContext* freshContext(void) {
    memset(context, 0, sizeof context);
    memset(context + QMR_CC_FUNCTION_NAME, ' ', 8);
    memset(context + QMR_CC_FACILITY, ' ', 2);
    memset(context + QMR_CC_MESSAGE_NUMBER, ' ', 4);
    return (CallContext*)context;
}

/* The length of a text that ends at a NUL or at the end of its field. */
static qmr_int32 textLength(const char* text, int size) {
    qmr_int32 length = 0;
    while (length < size && text[length] != '\0') ++length;
    return length;
}

/* Bytes as printable ASCII, anything else as \xHH. */
static void printBytes(const char* bytes, int count) {
    int i;
    for (i = 0; i < count; ++i) {
        const unsigned char c = (unsigned char)bytes[i];
        if (c >= 0x20 && c < 0x7F) {
            putchar(c);
        } else {
            printf("\\x%02x", c);
        }
    }
}

static void showOrders(void) {
    int i;
    printf("  flag  order   date (W)    date (M)    day         qty     amount  customer\n");
    for (i = 0; i < ORDERS; ++i) {
        char wForm[QMR_W_DATE_LENGTH + 1], mForm[QMR_MY_DATE_LENGTH + 1], day[9];
        QMRVW2D(orderDate[i], wForm);
        wForm[QMR_W_DATE_LENGTH] = '\0'; /* the W form has no terminator */
        QMRVM2D(orderDate[i], mForm);
        QMRFDOW(NULL, NULL, freshContext(), &orderDate[i], day);
        printf("  %c     %s  %s  %s  %.9s %5d %10.2f  ", flag[i], orderNumber[i], wForm, mForm, day, quantity[i],
               amount[i]);
        printBytes(customer[i], textLength(customer[i], CUSTOMER_SIZE));
        putchar('\n');
    }
}

static int shown(int i) { return QMRGSEL(NULL, NULL, freshContext(), (signed char)flag[i], QMR_SEL_SHOWN); }

static void filterAndSort(void) {
    FieldDescriptor fields[6];
    GroupDescriptor group;
    memset(fields, 0, sizeof fields);
    fields[0].typeCode = QMR_FIELD_DATE;
    fields[0].data = orderDate;
    fields[1].typeCode = QMR_FIELD_LONG;
    fields[1].data = quantity;
    fields[2].typeCode = QMR_FIELD_REAL;
    fields[2].data = amount;
    fields[3].typeCode = QMR_FIELD_TEXT;
    fields[3].elementSize = CUSTOMER_SIZE;
    fields[3].data = customer;
    fields[4].typeCode = QMR_FIELD_TEXT;
    fields[4].elementSize = 1;
    fields[4].data = flag;
    fields[5].typeCode = QMR_FIELD_TEXT;
    fields[5].elementSize = NUMBER_SIZE;
    fields[5].data = orderNumber;
    memset(&group, 0, sizeof group);
    group.occurrenceCount = ORDERS;
    group.fieldCount = 6;
    group.selectionField = 4;
    group.fields = fields;

    QMRFLTR(NULL, NULL, freshContext(), &group, "1 >= 2026-01-01 AND 1 <= 2026-03-31 AND 3 >= 100.0");
    QMRSORT(NULL, NULL, freshContext(), &group, "1 A 3 D");
}

static void trimCustomers(void) {
    int i;
    qmr_use_charset("sjis");
    for (i = 0; i < ORDERS; ++i) {
        CustomerField source, trimmed;
        qmr_int32 length = 0;
        if (!shown(i)) continue;
        source.maxLength = CUSTOMER_SIZE;
        source.length = textLength(customer[i], CUSTOMER_SIZE);
        memcpy(source.text, customer[i], CUSTOMER_SIZE);
        trimmed.maxLength = CUSTOMER_SIZE;
        trimmed.length = 0;
        QMRFTRIM(NULL, NULL, freshContext(), (const TextField*)&source, (TextField*)&trimmed);
        QMRFLGTH(NULL, NULL, freshContext(), (const TextField*)&trimmed, &length);
        printf("  %s  %2d bytes, trimmed to %2d: ", orderNumber[i], source.length, length);
        printBytes(trimmed.text, length);
        putchar('\n');
    }
    qmr_use_charset("single");
}

static void queueAndReadBack(void) {
    unsigned char cmcb[QMR_CMCB_PAIR_SIZE];
    char amountText[16], customerRoom[CUSTOMER_SIZE], amountRoom[16];
    qmr_int32 customerLength, amountLength;
    int i;
    memset(cmcb, ' ', sizeof cmcb);
    memset(cmcb + QMR_CMCB_PAIR_HANDLE, 0, 4); /* no queue yet */

    for (i = 0; i < ORDERS; ++i) {
        if (!shown(i)) continue;
        customerLength = textLength(customer[i], CUSTOMER_SIZE);
        amountLength = (qmr_int32)sprintf(amountText, "%.2f", amount[i]);
        cmcb[QMR_CMCB_REQUEST] = 'A';
        memcpy(cmcb + QMR_CMCB_PAIR_RELATIONSHIP, "ORDCUS", QMR_CMCB_PAIR_ID_SIZE);
        memcpy(cmcb + QMR_CMCB_PAIR_ASSOCIATED, orderNumber[i], QMR_CMCB_PAIR_ID_SIZE);
        QMDDAQUE(NULL, NULL, cmcb, &customerLength, customer[i], &amountLength, amountText, (void*)0);
    }
    for (;;) {
        cmcb[QMR_CMCB_REQUEST] = 'N';
        if (QMDDAQUE(NULL, NULL, cmcb, (void*)0) != 0) break;
        customerLength = sizeof customerRoom;
        amountLength = sizeof amountRoom;
        cmcb[QMR_CMCB_REQUEST] = 'R';
        QMDDAQUE(NULL, NULL, cmcb, &customerLength, customerRoom, &amountLength, amountRoom, (void*)0);
        printf("  %.6s %.6s  %8.*s  ", (const char*)cmcb + QMR_CMCB_PAIR_RELATIONSHIP,
               (const char*)cmcb + QMR_CMCB_PAIR_ASSOCIATED, (int)amountLength, amountRoom);
        printBytes(customerRoom, customerLength);
        putchar('\n');
    }
    i = QMR_CMCB_MESSAGE_SIZE; /* the message area is blank-filled */
    while (i > 0 && cmcb[QMR_CMCB_MESSAGE + i - 1] == ' ') --i;
    printf("  then %.2s: %.*s\n", (const char*)cmcb + QMR_CMCB_RETURN_CODE, i, (const char*)cmcb + QMR_CMCB_MESSAGE);
}

static void deliberateError(void) {
    const qmr_int32 february30 = 20260230;
    qmr_int16 day = -1;
    QMRFDAY(NULL, NULL, freshContext(), &february30, &day);
    printf("  QMRFDAY(20260230) gives %d; error flag %c, facility %.2s, message \"%.4s\", function \"%.8s\"\n", day,
           context[QMR_CC_ERROR_FLAG], context + QMR_CC_FACILITY, context + QMR_CC_MESSAGE_NUMBER,
           context + QMR_CC_FUNCTION_NAME);
}

int main(void) {
    printf("The order list; dates through QMRVW2D, QMRVM2D and QMRFDOW:\n");
    showOrders();
    printf("\nFiltered to the first quarter of 2026 and 100.00 or more (H: hidden), sorted by date and amount:\n");
    filterAndSort();
    showOrders();
    printf("\nThe shown customers trimmed (QMRFTRIM) and measured (QMRFLGTH) as Shift_JIS text:\n");
    trimCustomers();
    printf("\nThe shown orders queued (QMDDAQUE ADD) and read back (NEXT, READ):\n");
    queueAndReadBack();
    printf("\nA deliberate error:\n");
    deliberateError();
    return 0;
}
