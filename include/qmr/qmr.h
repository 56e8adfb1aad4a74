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

/*
 * Dates (yyyymmdd), times (hhmmss) and timestamps (the 20 characters
 * yyyymmddhhmmssffffff) to and from the fixed texts that the database
 * interfaces of the M, Y, W and O forms store.  Each conversion takes
 * exactly (source, destination) and returns 0.  None validates or
 * reports: a text converts to whatever its digits give.  They keep no
 * state and may run at any time, on any thread.  A null source or
 * destination leaves everything as it is.
 *
 * Readers look only at the digit positions of their layout (separators
 * are never examined) and never beyond it.  Writers write exactly their
 * layout and the terminator it names: the byte after a text without a
 * terminator keeps its value.
 *
 * Dates and times, positions from 0:
 *
 *   form  kind  layout               read by        written by        NUL
 *   M, Y  date  MM-DD-YYYY           QMRD2VM, VY    QMRVM2D = VY2D    at 10
 *   W     date  YYYY-MM-DD           QMRD2VW        QMRVW2D           none
 *   M, Y  time  hh:mm:ss             (no reader)    QMRVM2T = VY2T    at 8
 *   W     time  hh.mm.ss             QMRT2VW        QMRVW2T           none
 *   O     time  0001-01-01hh.mm.ss   QMRT2VO        QMRVO2T           at 18
 *
 * The date 0 is stored as 01-01-1753 (M, Y) and as 0001-01-01 (W), and
 * those texts read back as 0, so the dates 17530101 (M, Y) and 10101 (W)
 * do too.  The O-form writer writes the hour 24 as 00.  Readers take the
 * digits as strtol does: leading blanks skipped, a non-digit ends the
 * number, ten blanks read as 0.  Writers place the first 8 characters of
 * printf's "%08.8ld" (dates) or 6 of "%06ld" (times): values outside
 * 0..99999999 and 0..999999 keep the leading characters of that text
 * (QMRVW2D of -5 writes "-000-00-00", QMRVW2T of 1234567 "12.34.56").
 */
#define QMR_MY_DATE_LENGTH 10 /* then a NUL */
#define QMR_W_DATE_LENGTH 10
#define QMR_MY_TIME_LENGTH 8 /* then a NUL */
#define QMR_W_TIME_LENGTH 8
#define QMR_O_TIME_LENGTH 18 /* then a NUL */

QMR_API qmr_int32 QMR_CALL QMRD2VM(const char* text, qmr_int32* date);
/* The same as QMRD2VM. */
QMR_API qmr_int32 QMR_CALL QMRD2VY(const char* text, qmr_int32* date);
QMR_API qmr_int32 QMR_CALL QMRD2VW(const char* text, qmr_int32* date);
/* QMRVM2D and QMRVY2D are one function with two names. */
QMR_API qmr_int32 QMR_CALL QMRVM2D(qmr_int32 date, char* text);
QMR_API qmr_int32 QMR_CALL QMRVY2D(qmr_int32 date, char* text);
QMR_API qmr_int32 QMR_CALL QMRVW2D(qmr_int32 date, char* text);
QMR_API qmr_int32 QMR_CALL QMRT2VW(const char* text, qmr_int32* time);
/* Reads only the time; the date 0001-01-01 in front is not examined. */
QMR_API qmr_int32 QMR_CALL QMRT2VO(const char* text, qmr_int32* time);
/* QMRVM2T and QMRVY2T are one function with two names. */
QMR_API qmr_int32 QMR_CALL QMRVM2T(qmr_int32 time, char* text);
QMR_API qmr_int32 QMR_CALL QMRVY2T(qmr_int32 time, char* text);
QMR_API qmr_int32 QMR_CALL QMRVW2T(qmr_int32 time, char* text);
QMR_API qmr_int32 QMR_CALL QMRVO2T(qmr_int32 time, char* text);

/*
 * Timestamps.  Readers write the 20 internal characters and a NUL
 * (QMR_TIMESTAMP_SIZE bytes); writers read only the internal characters
 * their form keeps (20 for W, 14 for O, 17 for M, Y).
 *
 *   form  layout                       read by     written by       NUL
 *   W     YYYY-MM-DD-hh.mm.ss.ffffff   QMRS2VW     QMRVW2S          none
 *   O     YYYY-MM-DDhh.mm.ss           QMRS2VO     QMRVO2S          at 18
 *   M, Y  MM/DD/YYYY hh:mm:ss:fff      (below)     QMRVM2S = VY2S   at 23
 *
 * Characters are copied as they stand.  W keeps microseconds, O whole
 * seconds (read as microseconds 000000), M and Y milliseconds (the first
 * three microsecond digits).  Null timestamp: writers write the date
 * 00000000 as 0001-01-01 (W, O) or 01/01/1753 (M, Y) with the time
 * unchanged; QMRS2VW and QMRS2VO read a text of exactly 0001-01-01
 * 00:00:00 (W: and microseconds 000000) as twenty '0'.
 *
 * QMRS2VM and QMRS2VY read what the M and Y interfaces deliver: a
 * twelve-hour clock in one of three layouts.
 *
 *   layout 1  "01/15/2001  03:04:05:006PM"  first '0'/'1', 'A' or 'P' at 24
 *   layout 2  "01/15/2001 03:04:05:006PM"   first '0'/'1', other at 24
 *   layout 3  "Jan 15 2001  3:04:05:006PM"  first neither '0' nor '1'
 *
 * Numbers are read as strtol does (blanks before them skipped), within
 * the first 25 characters for layouts 1 and 2 and 26 for layout 3: no
 * character beyond is read.  Each is written as two digits (milliseconds
 * three) into the result; microseconds 17..19 are "000".  Hours: in
 * layouts 1 and 2 anything but an AM marker counts as afternoon (12 is
 * added to hours below 12), and with AM the hour characters are copied
 * ("12" becomes "00", a leading blank '0').  In layout 3 QMRS2VM adds 12
 * for PM unless the hour is 12, QMRS2VY only to hours 1 to 11; both make
 * 12 AM 00.  Month names are "Jan" to "Dec", case-sensitive; a name that
 * matches none leaves result positions 4..5 as they were.  In layout 3
 * QMRS2VY copies the milliseconds 21..23 as they stand.  QMRS2VM reads any
 * time on 1753-01-01 as the null timestamp (twenty '0'); QMRS2VY only
 * 1753-01-01 00:00:00.000000.  A number outside 0..99 (0..999) keeps the
 * first two (three) characters of its printf "%02d" ("%03d") text.
 */
#define QMR_TIMESTAMP_SIZE 21 /* 20 characters and a NUL */
#define QMR_W_STAMP_LENGTH 26
#define QMR_O_STAMP_LENGTH 18     /* then a NUL */
#define QMR_MY_STAMP_LENGTH 23    /* as written, then a NUL */
#define QMR_MY_STAMP_READ_SIZE 26 /* the most a reader reads */

QMR_API qmr_int32 QMR_CALL QMRS2VW(const char* text, char* stamp);
QMR_API qmr_int32 QMR_CALL QMRS2VO(const char* text, char* stamp);
QMR_API qmr_int32 QMR_CALL QMRS2VM(const char* text, char* stamp);
QMR_API qmr_int32 QMR_CALL QMRS2VY(const char* text, char* stamp);
QMR_API qmr_int32 QMR_CALL QMRVW2S(const char* stamp, char* text);
QMR_API qmr_int32 QMR_CALL QMRVO2S(const char* stamp, char* text);
/* QMRVM2S and QMRVY2S are one function with two names. */
QMR_API qmr_int32 QMR_CALL QMRVM2S(const char* stamp, char* text);
QMR_API qmr_int32 QMR_CALL QMRVY2S(const char* stamp, char* text);

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

#ifdef __cplusplus
}
#endif

#endif /* QMR_QMR_H */
