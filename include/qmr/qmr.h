/*
 * qmr.h - the C interface of the qmr run-time library.
 *
 * Generated applications call these functions directly, one call per
 * built-in, with their own records.  Results go into the caller's storage.
 * Built-in functions report failure by writing a message number into the
 * caller's call context (see "Call frame" below); they never return an
 * error code and never show a message.
 *
 * Every record that crosses this interface has a fixed byte layout.  The
 * offsets below are the layout; the structs are conveniences that match
 * it on every supported target (the checks at the end of each section
 * fail to compile otherwise).  Integers inside records are little-endian.
 *
 * The header is valid C89 and C++.
 */
#ifndef QMR_QMR_H
#define QMR_QMR_H

#include <stddef.h>

#if defined(_WIN32)
#define QMR_CALL __cdecl
#else
#define QMR_CALL
#endif

#if defined(QMR_BUILDING_LIBRARY) && defined(__GNUC__) && !defined(_WIN32)
#define QMR_API __attribute__((visibility("default")))
#else
#define QMR_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Fixed-width integers.  int is 32 bits and short 16 bits on every
 * target the library supports (ILP32, LP64 and LLP64). */
typedef int qmr_int32;
typedef unsigned int qmr_uint32;
typedef short qmr_int16;

/* Compile-time checks usable from C89: the array size is -1 when the
 * condition fails. */
#define QMR_CHECK_(name, condition) typedef char qmr_check_##name[(condition) ? 1 : -1]

QMR_CHECK_(int32_width, sizeof(qmr_int32) == 4);
QMR_CHECK_(int16_width, sizeof(qmr_int16) == 2);

/* ==================================================================== */
/* Call frame                                                            */
/* ==================================================================== */

/*
 * CallContext: the host's per-call block, passed to every built-in.  The
 * library reads and writes only the fields at the offsets below and never
 * keeps a pointer to the block beyond one call.  The block must be at
 * least QMR_CALL_CONTEXT_MIN_SIZE bytes.
 */
typedef struct CallContext CallContext;

#define QMR_CC_MESSAGE_NUMBER 220     /* 4 chars, e.g. " 137", no NUL */
#define QMR_CC_FUNCTION_NAME 225      /* 8 chars, blank-padded, no NUL */
#define QMR_CC_DUR_DATE 236           /* int32 yyyymmdd */
#define QMR_CC_DUR_YEARS_SELECTED 240 /* 'Y' selects years */
#define QMR_CC_DUR_YEARS 244          /* int32 */
#define QMR_CC_DUR_MONTHS_SELECTED 248
#define QMR_CC_DUR_MONTHS 252
#define QMR_CC_DUR_DAYS_SELECTED 256
#define QMR_CC_DUR_DAYS 260
#define QMR_CC_DUR_RESULT_DATE 264    /* int32 yyyymmdd */
#define QMR_CC_DUR_TIME 268           /* int32 hhmmss */
#define QMR_CC_DUR_HOURS_SELECTED 272
#define QMR_CC_DUR_HOURS 276
#define QMR_CC_DUR_MINUTES_SELECTED 280
#define QMR_CC_DUR_MINUTES 284
#define QMR_CC_DUR_SECONDS_SELECTED 288
#define QMR_CC_DUR_SECONDS 292
#define QMR_CC_DUR_RESULT_TIME 296    /* int32 hhmmss */
#define QMR_CC_ERROR_FLAG 2485        /* 'Y' after a failure */
#define QMR_CC_FACILITY 2499          /* 2 chars, "RQ" */
#define QMR_CC_DATE_REQUEST 2572      /* embedded DateRequest, 108 bytes */
#define QMR_CC_SKIP_VALIDATION 2679   /* 'Y': duration functions skip checks */
#define QMR_CC_DUR_TIMESTAMP 2928     /* 20 chars and a NUL */
#define QMR_CC_DUR_MICROS_SELECTED 2949
#define QMR_CC_DUR_MICROS 2952
#define QMR_CC_DUR_RESULT_TIMESTAMP 2956 /* 20 digits and a NUL */
#define QMR_CALL_CONTEXT_MIN_SIZE 2977

/*
 * Message numbers, written at QMR_CC_MESSAGE_NUMBER with the facility "RQ"
 * and the error flag 'Y'.  Each is four characters, a blank and three
 * digits.
 */
#define QMR_FACILITY "RQ"
#define QMR_MSG_OUT_OF_RANGE " 130"     /* argument outside its range */
#define QMR_MSG_SUBSTRING_START " 133"  /* substring start beyond field */
#define QMR_MSG_TOO_LONG " 135"         /* result longer than its field */
#define QMR_MSG_DAY_NUMBER_LOW " 136"   /* day number below 1 */
#define QMR_MSG_INVALID_DATE " 137"     /* input is not a valid date */
#define QMR_MSG_DATE_LAYOUT " 138"      /* date text layout not recognised */
#define QMR_MSG_RESULT_DATE " 139"      /* produced date is not valid */
#define QMR_MSG_DAY_NUMBER_HIGH " 140"  /* day number above 9999-12-31 */
#define QMR_MSG_INVALID_TIME " 141"     /* input is not a valid time */
#define QMR_MSG_TIME_PICTURE " 142"     /* time text picture not recognised */
#define QMR_MSG_NOT_NUMBER " 143"       /* text is not a valid number */
#define QMR_MSG_TOO_MANY_DIGITS " 145"  /* number has more than 15 digits */
#define QMR_MSG_DURATION_RANGE " 147"   /* duration result out of range */
#define QMR_MSG_RESULT_TIME " 148"      /* produced time is not valid */
#define QMR_MSG_LIST_FAILED " 153"      /* list filter/sort: other failure */
#define QMR_MSG_LIST_SYNTAX " 154"      /* malformed expression or spec */
#define QMR_MSG_LIST_PARENS " 155"      /* unbalanced parentheses, field < 1 */
#define QMR_MSG_LIST_TREE " 156"        /* expression is not one tree */

/*
 * TextField: the counted text argument of the string built-ins and of
 * QMRFTSC.  A maximum length (capacity in bytes, valid 1..4096), a current
 * length (bytes in use, valid 0..maximum), then the bytes themselves,
 * maximum-length of them.  No terminator is needed on input; a result
 * gets a NUL after its text only when the text is shorter than the field.
 * The struct shows the layout; a host's field is as long as its maximum.
 */
typedef struct TextField {
    qmr_int32 maxLength; /* 0 */
    qmr_int32 length;    /* 4 */
    char text[1];        /* 8, maxLength bytes */
} TextField;

#define QMR_TF_MAX_LENGTH 0
#define QMR_TF_LENGTH 4
#define QMR_TF_TEXT 8
#define QMR_TF_LARGEST_MAX 4096

QMR_CHECK_(tf_length, offsetof(TextField, length) == QMR_TF_LENGTH);
QMR_CHECK_(tf_text, offsetof(TextField, text) == QMR_TF_TEXT);

/*
 * OptionalNumber: an indicator byte ('N' means not supplied) and a 16-bit
 * value at byte 2.  The substring functions write back the values they
 * settle on.
 */
typedef struct OptionalNumber {
    char indicator;  /* 0 */
    char unused;     /* 1 */
    qmr_int16 value; /* 2 */
} OptionalNumber;

#define QMR_ON_INDICATOR 0
#define QMR_ON_VALUE 2

QMR_CHECK_(on_size, sizeof(OptionalNumber) == 4);
QMR_CHECK_(on_value, offsetof(OptionalNumber, value) == QMR_ON_VALUE);

/* ==================================================================== */
/* Date request engine                                                   */
/* ==================================================================== */

/*
 * DateRequest: the engine's 108-byte request and response block.
 *
 * requestCode  '0' validate date and time          '1' current date and time
 *              '3' current date plus dayOffset     '4' century form to dateForm
 *              '5' yyyymmdd to dateForm            '6' timestampText to date, time
 *              '7' current timestamp
 * dateForm     '1' CYYMMDD, '2' YYMMDD, other yyyymmdd
 * timeForm     '1' hhmmssf, '2' hhmmss, other hhmmssff
 *
 * On failure returnCode is 8 and messageText holds one of
 * "Invalid request code.", "Invalid date input.", "Invalid time specified."
 * or "Invalid timestamp input.", NUL-terminated.  The whole block is
 * written back after every request, so a failed request leaves whatever
 * was computed before the failure.  reserved1, reserved2 and spare are
 * carried through unchanged.
 */
typedef struct DateRequest {
    qmr_int32 date;          /*  0 */
    qmr_int32 time;          /*  4 */
    qmr_int32 reserved1;     /*  8 */
    qmr_int32 reserved2;     /* 12 */
    qmr_int32 dayOffset;     /* 16, request '3' */
    qmr_int16 returnCode;    /* 20, 0 or 8 */
    char requestCode;        /* 22 */
    char dateForm;           /* 23 */
    char timeForm;           /* 24 */
    char messageText[60];    /* 25 */
    char timestampText[20];  /* 85, requests '6' and '7' */
    char spare[3];           /* 105, the last is QMR_CC_SKIP_VALIDATION */
} DateRequest;

#define QMR_DR_DATE 0
#define QMR_DR_TIME 4
#define QMR_DR_RESERVED1 8
#define QMR_DR_RESERVED2 12
#define QMR_DR_DAY_OFFSET 16
#define QMR_DR_RETURN_CODE 20
#define QMR_DR_REQUEST_CODE 22
#define QMR_DR_DATE_FORM 23
#define QMR_DR_TIME_FORM 24
#define QMR_DR_MESSAGE_TEXT 25
#define QMR_DR_MESSAGE_SIZE 60
#define QMR_DR_TIMESTAMP_TEXT 85
#define QMR_DR_TIMESTAMP_SIZE 20
#define QMR_DR_SPARE 105
#define QMR_DATE_REQUEST_SIZE 108

QMR_CHECK_(dr_size, sizeof(DateRequest) == QMR_DATE_REQUEST_SIZE);
QMR_CHECK_(dr_time, offsetof(DateRequest, time) == QMR_DR_TIME);
QMR_CHECK_(dr_day_offset, offsetof(DateRequest, dayOffset) == QMR_DR_DAY_OFFSET);
QMR_CHECK_(dr_return_code, offsetof(DateRequest, returnCode) == QMR_DR_RETURN_CODE);
QMR_CHECK_(dr_request_code, offsetof(DateRequest, requestCode) == QMR_DR_REQUEST_CODE);
QMR_CHECK_(dr_time_form, offsetof(DateRequest, timeForm) == QMR_DR_TIME_FORM);
QMR_CHECK_(dr_message, offsetof(DateRequest, messageText) == QMR_DR_MESSAGE_TEXT);
QMR_CHECK_(dr_timestamp, offsetof(DateRequest, timestampText) == QMR_DR_TIMESTAMP_TEXT);
QMR_CHECK_(dr_spare, offsetof(DateRequest, spare) == QMR_DR_SPARE);
QMR_CHECK_(dr_in_context, QMR_CC_DATE_REQUEST + QMR_DR_SPARE + 2 == QMR_CC_SKIP_VALIDATION);

/* Performs the request in *request; always returns 0.  The opaque values
 * are not read. */
QMR_API qmr_int32 QMR_CALL QMRDAT2(void* opaque1, void* opaque2, DateRequest* request);
/* QMRDAT2 with opaque1 as both opaque values. */
QMR_API qmr_int32 QMR_CALL QMRDATE(void* opaque1, DateRequest* request);

/* ==================================================================== */
/* Day numbers                                                           */
/* ==================================================================== */

/*
 * Day number: days in the proleptic Gregorian calendar, 0001-01-01 is 1,
 * 9999-12-31 is 3652059.  Julian form: year * 1000 + day of the year.
 * QMRFDAT1, QMRFDAT2 and QMRFDAT4 do not validate: any int32 gives what
 * their formulas give in 32-bit arithmetic (wrapping on overflow).
 */
QMR_API qmr_int32 QMR_CALL QMRFDAT1(void* opaque1, void* opaque2, qmr_int32 date);
QMR_API qmr_int32 QMR_CALL QMRFDAT2(void* opaque1, void* opaque2, qmr_int32 dayNumber);
/* Julian form to yyyymmdd; reports " 137" and returns 0 for an invalid
 * form.  0 gives 0 without a report. */
QMR_API qmr_int32 QMR_CALL QMRFDAT3(void* opaque1, void* opaque2, CallContext* context,
                                    qmr_int32 julian);
QMR_API qmr_int32 QMR_CALL QMRFDAT4(void* opaque1, void* opaque2, qmr_int32 date);

/* ==================================================================== */
/* Date built-ins                                                        */
/* ==================================================================== */

/* ==================================================================== */
/* Time and timestamp built-ins                                          */
/* ==================================================================== */

/* ==================================================================== */
/* Storage-format conversions                                            */
/* ==================================================================== */

/* ==================================================================== */
/* Text                                                                  */
/* ==================================================================== */

/* ==================================================================== */
/* Numeric text and decimal rounding                                     */
/* ==================================================================== */

/* ==================================================================== */
/* Repeating groups: selection, filter and sort                          */
/* ==================================================================== */

/*
 * The ordering of the 20-byte value type (field type 11).  Each test
 * takes the addresses of two 20-byte values and answers non-zero when the
 * relation holds.  The default orders the bytes as unsigned values.
 * Passing null for both restores the default; passing null for only one
 * leaves the ordering unchanged and returns -1.  Returns 0 otherwise.
 */
typedef int(QMR_CALL* QmrValue20Test)(const void* a, const void* b);
QMR_API int QMR_CALL qmr_set_value20_order(QmrValue20Test less, QmrValue20Test equal);

/* ==================================================================== */
/* Relationship queue                                                    */
/* ==================================================================== */

/*
 * QMDDAQUE keeps a first-in first-out queue of saved relationships for
 * each queue control block (CMCB).  A relationship is the two identifiers
 * of the CMCB and any number of caller fields, copied byte for byte.
 * Request 'A' (ADD) saves one, 'N' (NEXT) moves to the next one in the
 * order added and puts its identifiers into the CMCB, 'R' (READ) copies
 * the saved fields of the relationship NEXT reached.  The NEXT after the
 * last relationship releases the whole queue.
 *
 * The variable list is one of:
 *   - a pointer to a parameter block whose first four bytes are "4.2.";
 *   - pairs (pointer to a 32-bit little-endian length, pointer to the
 *     field's bytes), ended by a null length pointer;
 *   - nothing but a null pointer.
 * A field length below 1 (or a null data pointer) ends the field list.
 *
 * READ fills the caller's fields in order, each with the next saved
 * field cut to the caller's length (a pair's length, a block's length
 * text), and never reads or writes beyond either.  With a pair list the
 * caller's length is set to the bytes copied, and to 0 for a caller
 * field beyond the saved ones (whose bytes are left alone).
 *
 * The outcome is written into the CMCB: the message area is filled with
 * 48 blanks, the message (one of QMR_QMSG_*) is written from its first
 * byte without a terminator, and the two-character return code follows
 * the table below.  QMDDAQUE returns 0 ("OK") or 4 (any other code).
 * When no queue can be created for a CMCB (storage not available, or
 * QMR_QUEUE_MAX queues already open), QMDDAQUE returns 4 and writes
 * nothing; a null CMCB pointer is answered the same way.
 *
 * The anchor slot of the CMCB holds a queue handle: a non-zero 32-bit
 * number (native byte order) that the library maps to its queue.  It is
 * never dereferenced.  A zero, released, copied-after-release or made-up
 * handle counts as no queue, and the call starts a new one.  Handle
 * values below 0x100000 are never issued.
 *
 * Only the positions below are read or written; every other byte of the
 * CMCB belongs to the host.  A queue is used by one thread at a time;
 * different CMCBs may be used on different threads at once.
 */
QMR_API qmr_int32 QMR_CALL QMDDAQUE(void* opaque1, void* opaque2, void* cmcb, ...);

/* CMCB positions common to both layouts. */
#define QMR_CMCB_REQUEST 0        /* 'A', 'N' or 'R' */
#define QMR_CMCB_RETURN_CODE 1    /* 2 chars, QMR_QRC_* */
#define QMR_CMCB_MESSAGE 3        /* 48 chars, blank-filled */
#define QMR_CMCB_MESSAGE_SIZE 48

/* CMCB layout of a call with a parameter block. */
#define QMR_CMCB_BLOCK_ASSOCIATED 52   /* 8 bytes */
#define QMR_CMCB_BLOCK_RELATIONSHIP 60 /* 8 bytes, not all zero for ADD */
#define QMR_CMCB_BLOCK_STATE 72        /* 'A' anchored, 'U' no queue */
#define QMR_CMCB_BLOCK_HANDLE 76       /* queue handle, 4 bytes */
#define QMR_CMCB_BLOCK_ID_SIZE 8
#define QMR_CMCB_BLOCK_SIZE 80         /* bytes the library may touch */

/* CMCB layout of a call with a pair list (or nothing but a null). */
#define QMR_CMCB_PAIR_ASSOCIATED 51    /* 6 bytes */
#define QMR_CMCB_PAIR_RELATIONSHIP 57  /* 6 bytes, not all zero for ADD */
#define QMR_CMCB_PAIR_HANDLE 65        /* queue handle, 4 bytes, unaligned */
#define QMR_CMCB_PAIR_ID_SIZE 6
#define QMR_CMCB_PAIR_SIZE 69

/*
 * Parameter block: "4.2.", 4 bytes not read, the field count as 4
 * characters of numeric text, then the fields, each 4 characters of
 * numeric text giving its length L followed by the L bytes.  Numeric text
 * is read as a signed decimal (leading blanks and a sign allowed, reading
 * stops at the first non-digit); when its fourth character has bit 0x40
 * set the number is negative and that character stands for its low six
 * bits, so "001p" to "001y" are -10 to -19.  With a parameter block READ
 * leaves the block's length texts as they are.
 */
#define QMR_QPB_VERSION "4.2."
#define QMR_QPB_FIELD_COUNT 8
#define QMR_QPB_FIELDS 12
#define QMR_QPB_LENGTH_SIZE 4

/* A relationship holds at most 239 fields; one entry at most
 * QMR_QUEUE_ENTRY_MAX bytes, where an entry takes 28 bytes plus 2 + L for
 * each field of length L, raised to a multiple of 4.  Queue pages are
 * QMR_QUEUE_PAGE_SIZE bytes, of which 4092 hold entries. */
#define QMR_QUEUE_FIELD_MAX 239
#define QMR_QUEUE_ENTRY_MAX 4092
#define QMR_QUEUE_PAGE_SIZE 4096
#define QMR_QUEUE_MAX 1048575 /* queues open at once */

/* Return codes. */
#define QMR_QRC_OK "OK"     /* carried out; result 0 */
#define QMR_QRC_EMPTY "Q1"  /* nothing to read, or no further relationship */
#define QMR_QRC_FIELDS "Q2" /* no end of the field list within 239 fields */
#define QMR_QRC_STORAGE "Q3" /* no storage for a page, or entry too large */
#define QMR_QRC_INVALID "Q4" /* bad request code, no parameters, zero id */

/* Messages (at most 48 characters, written without a terminator). */
#define QMR_QMSG_INVALID_REQUEST "INVALID REQUEST PASSED IN CMCB."
#define QMR_QMSG_ADD_NEEDS_PARMS "CMCB CANNOT BE ONLY PARM FOR ADD."
#define QMR_QMSG_READ_NEEDS_PARMS "CMCB CANNOT BE ONLY PARM FOR READ."
#define QMR_QMSG_NO_END_OF_FIELDS "LAST FIELD IN PARMLIST NEVER FOUND BEFORE MAX."
#define QMR_QMSG_NO_STORAGE "GETMAIN FOR TABLE OF RELATIONSHIPS FAILED."
#define QMR_QMSG_NO_MORE "NO MORE RELATIONSHIPS FOUND IN QUEUE."
#define QMR_QMSG_NONE_READ "NO RELATIONSHIPS FOUND IN QUEUE."

QMR_CHECK_(cmcb_block_state, QMR_CMCB_BLOCK_RELATIONSHIP + QMR_CMCB_BLOCK_ID_SIZE <= QMR_CMCB_BLOCK_STATE);
QMR_CHECK_(cmcb_block_size, QMR_CMCB_BLOCK_HANDLE + 4 == QMR_CMCB_BLOCK_SIZE);
QMR_CHECK_(cmcb_pair_ids, QMR_CMCB_PAIR_ASSOCIATED + QMR_CMCB_PAIR_ID_SIZE == QMR_CMCB_PAIR_RELATIONSHIP);
QMR_CHECK_(cmcb_pair_size, QMR_CMCB_PAIR_HANDLE + 4 == QMR_CMCB_PAIR_SIZE);
QMR_CHECK_(cmcb_message, QMR_CMCB_MESSAGE + QMR_CMCB_MESSAGE_SIZE <= QMR_CMCB_PAIR_ASSOCIATED);
QMR_CHECK_(qmsg_fits, sizeof(QMR_QMSG_NO_END_OF_FIELDS) - 1 <= QMR_CMCB_MESSAGE_SIZE);

#ifdef __cplusplus
}
#endif

#endif /* QMR_QMR_H */
