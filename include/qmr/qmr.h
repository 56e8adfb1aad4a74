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
#define QMR_MSG_LIST_SYNTAX " 154"      /* malformed expression or sort key list */
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

/*
 * Every date built-in stamps its name, blank-padded to 8 characters, at
 * QMR_CC_FUNCTION_NAME.  "Validates" below means: request '0' on the
 * context's embedded DateRequest with only date, requestCode and dateForm
 * stored, so the time an earlier call left there (with its timeForm) is
 * validated too and a time that failed before fails again here.  A
 * refused date is reported as " 137" unless a function says otherwise.
 * Inputs are read before any output is cleared, so one field may serve
 * as both.  Dates, day numbers and Julian forms are int32 host fields; a
 * timestamp is 20 characters yyyymmddhhmmssffffff of which only the
 * first 8 are read (as one decimal number: blanks and a sign allowed,
 * reading stops at the first non-digit).
 *
 * Component of a date: output cleared to 0, date validated, then:
 */
/* date mod 100: QMRFDAY(20261204) gives 4. */
QMR_API void QMR_CALL QMRFDAY(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* date,
                              qmr_int16* day);
/* (date / 100) mod 100. */
QMR_API void QMR_CALL QMRFMTH(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* date,
                              qmr_int16* month);
/* date / 10000, stored in 16 bits (a value the engine reads as 00000000,
 * such as 2147483647, keeps the low 16 bits of its quotient). */
QMR_API void QMR_CALL QMRFYEAR(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* date,
                               qmr_int16* year);
/* Day number (QMRFDAT1): QMRFDAYS(20261204) gives 739954, 0 gives -396. */
QMR_API void QMR_CALL QMRFDAYS(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* date,
                               qmr_int32* dayNumber);
/* Julian form (QMRFDAT4): QMRFDTEJ(20261204) gives 2026338. */
QMR_API void QMR_CALL QMRFDTEJ(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* date,
                               qmr_int32* julian);
/* The same for the date of a timestamp text: its day number, the date
 * itself, its day, month and year. */
QMR_API void QMR_CALL QMRFDSTS(void* opaque1, void* opaque2, CallContext* context, const char* timestamp,
                               qmr_int32* dayNumber);
QMR_API void QMR_CALL QMRFDTTS(void* opaque1, void* opaque2, CallContext* context, const char* timestamp,
                               qmr_int32* date);
QMR_API void QMR_CALL QMRFDYTS(void* opaque1, void* opaque2, CallContext* context, const char* timestamp,
                               qmr_int16* day);
QMR_API void QMR_CALL QMRFMOTS(void* opaque1, void* opaque2, CallContext* context, const char* timestamp,
                               qmr_int16* month);
QMR_API void QMR_CALL QMRFYRTS(void* opaque1, void* opaque2, CallContext* context, const char* timestamp,
                               qmr_int16* year);
/* The number itself once it is a valid date; a refused one leaves the
 * output as it was. */
QMR_API void QMR_CALL QMRFNUMD(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* number,
                               qmr_int32* date);
/* Name of the day of the week, 9 characters blank-padded, no NUL:
 * "SUNDAY   " .. "SATURDAY ".  The output is 9 blanks before the date is
 * validated, and stays so when it is refused.  QMRFDOW(20261204) gives
 * "FRIDAY   "; the empty date 0 gives "WEDNESDAY". */
QMR_API void QMR_CALL QMRFDOW(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* date,
                              char* dayName);
/* Without validation (they never fail): the date itself, and the day,
 * month and year of a plain number taken by value, e.g.
 * QMRFDAYN(20261232) gives 32, QMRFYRN(-20261204) gives -2026. */
QMR_API void QMR_CALL QMRFDNUM(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* date,
                               qmr_int32* number);
QMR_API void QMR_CALL QMRFDAYN(void* opaque1, void* opaque2, CallContext* context, qmr_int32 number,
                               qmr_int32* day);
QMR_API void QMR_CALL QMRFMTHN(void* opaque1, void* opaque2, CallContext* context, qmr_int32 number,
                               qmr_int32* month);
QMR_API void QMR_CALL QMRFYRN(void* opaque1, void* opaque2, CallContext* context, qmr_int32 number,
                              qmr_int32* year);

/*
 * Date from a 10-character text (no NUL needed): "2026-12-04",
 * "04.12.2026", "12/04/2026", "12/04/26" (the current century is added),
 * or a Julian form "2026338"; blanks may stand anywhere, and blanks and
 * zeros without a separator give 0.  " 137": a character that is no
 * digit, blank, '-', '/' or '.', or a zero day, month or (except with
 * '/') year; " 138": mixed separators, more than two separators, or a
 * wrong number of year digits; " 139": the date is not valid.  The
 * output is not cleared: on failure it keeps its value.  An error flag
 * already 'Y' also stops it without output.
 */
QMR_API void QMR_CALL QMRFDTEC(void* opaque1, void* opaque2, CallContext* context, const char* text,
                               qmr_int32* date);
/* Date of a day number: " 136" below 1, " 140" above 3652059
 * (9999-12-31); output kept on failure. */
QMR_API void QMR_CALL QMRFDTEN(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* dayNumber,
                               qmr_int32* date);
/* Date of a Julian form yyyyddd: " 137" for an invalid form (0 gives 0);
 * output kept on failure, and when the error flag is already 'Y'. */
QMR_API void QMR_CALL QMRFJDTE(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* julian,
                               qmr_int32* date);
/* Century form CYYMMDD (digits 0..6: 1900s..2500s, 7..9: 1600s..1800s)
 * to a date of 16000101..25991231, and back (QMRFCYYD and QMRFCYYN differ
 * only in the name they stamp).  Output cleared to 0;
 * " 137" outside that range or invalid.  QMRFNCYY(1261204) gives
 * 20261204; QMRFCYYD(16000101) gives 7000101. */
QMR_API void QMR_CALL QMRFNCYY(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* cyymmdd,
                               qmr_int32* date);
QMR_API void QMR_CALL QMRFCYYD(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* date,
                               qmr_int32* cyymmdd);
QMR_API void QMR_CALL QMRFCYYN(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* date,
                               qmr_int32* cyymmdd);

/*
 * QMRFDDUR: the date at QMR_CC_DUR_DATE plus QMR_CC_DUR_YEARS years,
 * QMR_CC_DUR_MONTHS months or QMR_CC_DUR_DAYS days, whichever is selected
 * first ('Y' at its _SELECTED byte; years before months before days),
 * into QMR_CC_DUR_RESULT_DATE, which is set to 0 first.  A day past the
 * end of the resulting month is cut to its last day (20260131 plus one
 * month is 20260228).  With 'Y' at QMR_CC_SKIP_VALIDATION neither date is
 * given to the engine.  " 137": the input date is refused; " 130": no
 * unit selected; " 147": the result lies outside 00010000..99991231;
 * " 139": the result is not a valid date.  An error flag already 'Y'
 * once the result is computed stops it without a report.
 */
QMR_API void QMR_CALL QMRFDDUR(void* opaque1, void* opaque2, CallContext* context);

/* ==================================================================== */
/* Time and timestamp built-ins                                          */
/* ==================================================================== */

/*
 * A time is hhmmss (134525 is 13:45:25); a timestamp is the 20 characters
 * yyyymmddhhmmssffffff (date, time, microseconds), of which the component
 * functions read only hhmmss (characters 8..13) and ffffff (14..19), as
 * signed decimal slices: blanks give 0.
 *
 * The validating functions stamp their name, clear their output, and ask
 * the engine (request '0', timeForm '2') to check the time in the call
 * context's DateRequest.  Only time, requestCode and timeForm are stored
 * there: a date that an earlier call left invalid in the block fails the
 * time too.  When the engine refuses, they report " 141" and the output
 * keeps its cleared value (QMRFNUMT: four blank bytes, 0x20202020).
 * Every input is read before the output is set, so an output laid over
 * an input (QMRFMICR's over the microseconds) gives that input's result.
 * 24:00:00 is a valid time.  Division truncates: QMRFHRN(-10000) is -1.
 */
QMR_API void QMR_CALL QMRFHOUR(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* time,
                               qmr_int16* hour); /* time / 10000 */
QMR_API void QMR_CALL QMRFMIN(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* time,
                              qmr_int16* minute); /* time / 100 % 100 */
QMR_API void QMR_CALL QMRFSEC(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* time,
                              qmr_int16* second); /* time % 100 */
QMR_API void QMR_CALL QMRFHRTS(void* opaque1, void* opaque2, CallContext* context, const char* timestamp,
                               qmr_int16* hour);
QMR_API void QMR_CALL QMRFMITS(void* opaque1, void* opaque2, CallContext* context, const char* timestamp,
                               qmr_int16* minute);
QMR_API void QMR_CALL QMRFSCTS(void* opaque1, void* opaque2, CallContext* context, const char* timestamp,
                               qmr_int16* second);
/* The microseconds (characters 14..19), never validated themselves. */
QMR_API void QMR_CALL QMRFMICR(void* opaque1, void* opaque2, CallContext* context, const char* timestamp,
                               qmr_int32* micros);
/* The time hhmmss of a timestamp. */
QMR_API void QMR_CALL QMRFTMTS(void* opaque1, void* opaque2, CallContext* context, const char* timestamp,
                               qmr_int32* time);
/* A number checked as a time and passed on unchanged. */
QMR_API void QMR_CALL QMRFNUMT(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* number,
                               qmr_int32* time);

/* Not validated, never failing: stamp the name and write the result. */
QMR_API void QMR_CALL QMRFHRN(void* opaque1, void* opaque2, CallContext* context, qmr_int32 time,
                              qmr_int32* hour);
QMR_API void QMR_CALL QMRFMINN(void* opaque1, void* opaque2, CallContext* context, qmr_int32 time,
                               qmr_int32* minute);
QMR_API void QMR_CALL QMRFSECN(void* opaque1, void* opaque2, CallContext* context, qmr_int32 time,
                               qmr_int32* second);
QMR_API void QMR_CALL QMRFTNUM(void* opaque1, void* opaque2, CallContext* context, const qmr_int32* time,
                               qmr_int32* number);

/*
 * QMRFTDUR: QMR_CC_DUR_TIME plus a count of the first selected unit of
 * hours, minutes, seconds (QMR_CC_DUR_HOURS_SELECTED ... 'Y'), wrapped
 * within the day, into QMR_CC_DUR_RESULT_TIME (0 until it succeeds).
 * 23:59:59 + 1 second = 000000; 00:00:00 - 1 second = 235959;
 * 24:00:00 + 30 seconds = 000030, + 0 hours = 240000.
 * Reports " 141" (time invalid, always checked) and " 130" (no unit).
 *
 * QMRFSDUR: the timestamp at QMR_CC_DUR_TIMESTAMP plus a count of the
 * first selected unit of years, months, days, hours, minutes, seconds,
 * microseconds (QMR_CC_DUR_MICROS_SELECTED), carried into the date; a day
 * past the end of the new month becomes its last (2001-01-31 + 1 month =
 * 2001-02-28).  A count of 0 years, months or days on a year, month or day
 * of 0 adds 1.  The result, 20 digits and a NUL, goes to
 * QMR_CC_DUR_RESULT_TIMESTAMP, which holds twenty '0' after a failure.
 * Reports " 137" (date invalid), " 141" (time invalid), " 130" (no unit),
 * " 147" (new date outside 00010000..99991231), " 139" (new date invalid),
 * " 148" (new time invalid, e.g. 24:00:00 + 1 second).  With
 * QMR_CC_SKIP_VALIDATION 'Y' the engine is not asked; the range check
 * stays.
 */
QMR_API void QMR_CALL QMRFTDUR(void* opaque1, void* opaque2, CallContext* context);
QMR_API void QMR_CALL QMRFSDUR(void* opaque1, void* opaque2, CallContext* context);

/*
 * QMRFTMEC: the time hhmmss of an eight-character, blank-padded text in
 * one of the pictures HHAM HHPM HHMMAM HH:MMAM HHMMPM HH:MMPM HHMM HHMMSS
 * HH:MM HH:MM:SS HH.MM HH.MM.SS, where a number of one or two digits
 * stands as HH, MM or SS and blanks vanish ("12:30 PM" = 123000,
 * "9:30" = 093000, "12AM" = 0).  Reports " 142" for any other picture
 * (one longer than eight characters included) and " 141" for AM/PM with
 * an hour outside 1..12 or a time the engine refuses.
 *
 * QMRFTSC: the timestamp of a TextField holding YYYY-MM-DD, or
 * YYYY-MM-DD-HH.MM.SS, or YYYY-MM-DD-HH.MM.SS.ffffff, each followed by a
 * blank or the end of the field; writes 20 digits and a NUL (21 bytes).
 * Only the maximum length is looked at, and nothing at or past it is
 * read: positions beyond it count as blanks.  Reports " 130" (maximum
 * length outside 1..4096), " 137" (wrong character in the date part),
 * " 141" (wrong character in the time part, or a time the engine
 * refuses), " 139" (a date the engine refuses).
 *
 * Neither writes its output unless it succeeds.
 */
QMR_API void QMR_CALL QMRFTMEC(void* opaque1, void* opaque2, CallContext* context, const char* text,
                               qmr_int32* time);
QMR_API void QMR_CALL QMRFTSC(void* opaque1, void* opaque2, CallContext* context, const TextField* field,
                              char* timestamp);

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
 * destination leaves everything as it is.  Each reads all of its source
 * before it writes, so a destination laid over its source receives the
 * conversion of what was there.
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

/*
 * Character-set services.  The string functions ask these afresh on every
 * call to learn how their text is walked:
 *
 *   shift-code text  ShiftOutCode is not 0: the shift-out byte switches to
 *                    double-byte characters, the shift-in byte back to
 *                    single-byte ones; each shift code is a 1-byte
 *                    character of its own.
 *   lead-byte text   else when UsesLeadBytes is not 0: CharLength gives
 *                    each character's length from its first bytes.
 *   combining text   else when UsesCombining is not 0 (substring and
 *                    verify): a 1-byte character absorbs the bytes after
 *                    it for which IsCombining is not 0.
 *   single-byte text otherwise: every byte is a character.
 *
 * Positions and lengths count bytes, shift codes included.  A character
 * is at most 4 bytes long; the library asks CharLength on a zero-padded
 * copy when fewer than 4 bytes of the text remain, and passes IsBlank,
 * IsBlankChar and CharCode lengths that stay inside the text, so no
 * answer needs to read beyond the caller's field.
 */
typedef struct TextAnalysis {
    const char* text;                /* the text's first byte */
    qmr_int32 byteLength;            /* bytes before the NUL */
    qmr_int32 charCount;             /* characters in them */
    const unsigned char* charLengths; /* one length per character */
    qmr_int16 usable;                /* 0 when there is nothing to work on */
} TextAnalysis;

typedef struct QmrTextServices {
    int(QMR_CALL* ShiftOutCode)(void);             /* the shift-out byte, 0: no shift codes */
    int(QMR_CALL* ShiftInCode)(void);              /* the shift-in byte */
    qmr_int16(QMR_CALL* UsesLeadBytes)(void);      /* non-zero: lead-byte text */
    qmr_int16(QMR_CALL* UsesCombining)(void);      /* non-zero: combining text */
    qmr_int16(QMR_CALL* CharLength)(const char* p); /* length of the character at p; < 1 ends a walk */
    qmr_int16(QMR_CALL* IsCombining)(const char* p); /* non-zero: p belongs to the character before */
    qmr_int16(QMR_CALL* IsBlank)(const char* p, qmr_int16 length);
    qmr_int16(QMR_CALL* IsBlankChar)(const char* p, qmr_int16 length);
    qmr_int32(QMR_CALL* CharCode)(const char* p, qmr_int16 length); /* a 1-byte character's code is its byte */
    const char*(QMR_CALL* BlankOf)(qmr_int16 width);               /* the blank of width 1 or 2, or null */
    TextAnalysis*(QMR_CALL* AnalyseText)(const char* text, qmr_int32 zero); /* NUL-terminated text; null allowed */
    void(QMR_CALL* ReleaseAnalysis)(TextAnalysis* analysis);        /* null allowed */
} QmrTextServices;

/*
 * Chooses a built-in character set; returns 0, or -1 for an unknown name
 * (nothing changes then):
 *
 *   "single"  every byte a character, blank 0x20, no double-byte blank
 *   "sosi"    shift-code text: shift-out 0x0E, shift-in 0x0F, double-byte
 *             characters of KS X 1001 in 7-bit form (as in ISO-2022-KR),
 *             double-byte blank 0x21 0x21
 *   "sjis"    Shift_JIS (code page 932): lead bytes 0x81-0x9F and
 *             0xE0-0xFC, trail bytes 0x40-0x7E and 0x80-0xFC, double-byte
 *             blank 0x81 0x40
 *   "gbk"     GBK (936): lead bytes 0x81-0xFE, trail bytes 0x40-0x7E and
 *             0x80-0xFE, double-byte blank 0xA1 0xA1
 *   "big5"    Big5 (950): lead bytes 0x81-0xFE, trail bytes 0x40-0x7E
 *             and 0x80-0xFE, double-byte blank 0xA1 0x40
 *   "uhc"     Korean (949, a superset of EUC-KR): lead bytes 0x81-0xFE,
 *             trail bytes 0x40-0x7E and 0x80-0xFE, double-byte blank
 *             0xA1 0xA1
 *   "tis620"  Thai (874): the marks 0xD1, 0xD4-0xDA and 0xE7-0xEE combine
 *             with the character before them
 *   "utf8"    UTF-8 (65001): characters of 1 to 4 bytes, the well-formed
 *             sequences of Unicode; any other byte is a character of its
 *             own; CharCode gives the code point (0x110000 + the byte for
 *             an ill-formed byte); blanks U+0020 and U+3000
 *   "system"  the machine's own: the set of GetACP() on Windows, else of
 *             the codeset that LC_ALL, LC_CTYPE or LANG names
 *
 * A lead byte not followed by a trail byte is a character of its own.
 * The set in force at load is the one the environment variable
 * QMR_CHARSET names, else "system" on Windows and "single" elsewhere.
 * The choice holds for the whole process; a call that is running keeps
 * the services it started with.
 */
QMR_API int QMR_CALL qmr_use_charset(const char* name);

/*
 * Installs a host's own services.  The table is copied; every operation
 * must be present, else -1 and nothing changes.  Null restores "single".
 * Returns 0 on success.
 */
QMR_API int QMR_CALL qmr_set_text_services(const QmrTextServices* services);

/*
 * String built-ins.  Each stamps its name into the context and reports
 * " 130" for a text field outside its range (maximum 1..4096, current
 * length 0..maximum, as each function checks).  A result field gets a NUL
 * after its text only when the text is shorter than the field, and is
 * never written beyond its maximum; a result field may be the same field
 * as a source.
 */

/* first || second into result.  A shift-in ending the first text and a
 * shift-out starting the second are dropped, so two double-byte runs
 * become one.  " 135" when the join is longer than the result's maximum;
 * every failure leaves the result empty (length 0, first byte NUL). */
QMR_API void QMR_CALL QMRFCCAT(void* opaque1, void* opaque2, CallContext* context, const TextField* first,
                               const TextField* second, TextField* result);
/* The current length in bytes as stored; 0 after " 130". */
QMR_API void QMR_CALL QMRFLGTH(void* opaque1, void* opaque2, CallContext* context, const TextField* text,
                               qmr_int32* length);
/* Substring from the 1-based byte start for length bytes ('N': start 1,
 * length to the end); the settled values are written back.  A start
 * inside a double-byte character moves to the next character (to the
 * start of the character in combining text).  Shift-code text: QMRFSSTR
 * starts single-byte and encloses a double-byte range in shift-out and
 * shift-in; QMRFSSDB starts double-byte and adds no shift codes at its
 * edges; shift codes inside the range are copied.  A range that takes no
 * byte gives an empty result.  " 133" for a start beyond the source's
 * maximum, " 135" when the result does not fit its field; after any
 * failure (or with the error flag already set) the result is empty and
 * blank-filled. */
QMR_API void QMR_CALL QMRFSSTR(void* opaque1, void* opaque2, CallContext* context, const TextField* source,
                               OptionalNumber* start, OptionalNumber* length, TextField* result);
QMR_API void QMR_CALL QMRFSSDB(void* opaque1, void* opaque2, CallContext* context, const TextField* source,
                               OptionalNumber* start, OptionalNumber* length, TextField* result);
/* 1-based byte position of the first occurrence of search in source at a
 * character start, 0 when none.  Both texts need 1..maximum bytes.  In
 * shift-code text a search text may carry its own shift-out and shift-in;
 * QMRFINDX starts single-byte, QMRFINDB double-byte. */
QMR_API void QMR_CALL QMRFINDX(void* opaque1, void* opaque2, CallContext* context, const TextField* source,
                               const TextField* search, qmr_int16* position);
QMR_API void QMR_CALL QMRFINDB(void* opaque1, void* opaque2, CallContext* context, const TextField* source,
                               const TextField* search, qmr_int16* position);
/* 1-based byte position of the first character of text that is not in
 * set, 0 when every character is (trailing single-byte blanks after a
 * member are allowed).  An empty text gives 0 when the set holds the
 * blank of the start state's width, else 1.  QMRFVRFY starts single-byte
 * and first removes the set's trailing blanks through QMRFTRIM (so the
 * context then names "QMRFTRIM"); QMRFVRDB starts double-byte and uses
 * the set as it stands. */
QMR_API void QMR_CALL QMRFVRFY(void* opaque1, void* opaque2, CallContext* context, const TextField* text,
                               const TextField* set, qmr_int16* position);
QMR_API void QMR_CALL QMRFVRDB(void* opaque1, void* opaque2, CallContext* context, const TextField* text,
                               const TextField* set, qmr_int16* position);
/* Copies source into result without its trailing blanks.  In shift-code
 * text a shift-in closes a kept double-byte run; when it would fall past
 * the result's maximum, the run stays open as the source had it. */
QMR_API void QMR_CALL QMRFTRIM(void* opaque1, void* opaque2, CallContext* context, const TextField* source,
                               TextField* result);
QMR_API void QMR_CALL QMRFTRDB(void* opaque1, void* opaque2, CallContext* context, const TextField* source,
                               TextField* result);
/* Copies source up to its first NUL into result, upper-casing ASCII
 * letters and the character set's full-width Latin letters, and fills
 * the rest of the result with blanks (no NUL). */
QMR_API void QMR_CALL QMRFUPPR(void* opaque1, void* opaque2, CallContext* context, const TextField* source,
                               TextField* result);
QMR_API void QMR_CALL QMRFUPDB(void* opaque1, void* opaque2, CallContext* context, const TextField* source,
                               TextField* result);

/*
 * Text buffer routines: no call context, no reports.  A two-byte length
 * field holds a 16-bit byte count, low byte first.
 */

/* Trailing blanks off.  With a length field: its count is trimmed and
 * written back.  With null: text is NUL-terminated and a NUL is written
 * at the trimmed length.  A text of blanks only keeps one blank (the
 * text needs room for a blank and a NUL).  Returns 0. */
QMR_API qmr_int32 QMR_CALL QMROTRIM(char* lengthField, char* text);
/* The count in lengthField trimmed of trailing blanks, written back; no
 * single-blank rule, no NUL.  *order == 1: the field is a native 16-bit
 * integer.  Returns 0. */
QMR_API qmr_int32 QMR_CALL QMRVTRIM(char* lengthField, const char* text, const qmr_int16* order);
/* Copies sourceLength bytes to target and blanks the target up to
 * targetLength; a source longer than the target is cut there.  Returns 0. */
QMR_API qmr_int32 QMR_CALL QMROPAD(const char* sourceLength, const char* source, const char* targetLength,
                                   char* target);
/* Moves trailing blanks of a NUL-terminated text to its front, as
 * single-byte blanks; the byte length stays. */
QMR_API void QMR_CALL Qmrrjust(char* text);
/* Right-justifies text into width bytes of target: blanks, the text's last
 * bytes (at most width - 1), a NUL in the last byte.  Byte-wise. */
QMR_API void QMR_CALL Qmrrjus2(char* target, const char* text, qmr_int32 width);
/* -1, 0 or 1 as first orders before, equal to or after second; trailing
 * blanks of either width (and shift codes among them) do not matter.
 * The order is the same both ways round and transitive for any texts,
 * well-formed or not.  Either may be null (null orders first). */
QMR_API qmr_int32 QMR_CALL Qmstrcmp(const char* first, const char* second);
/* Copies source (null: empty) into target as size - 1 bytes of text and
 * blanks and a NUL, cutting at a character boundary; a cut double-byte
 * run is closed with a shift-in inside the field (its last character
 * gives way where the room is full), and shift codes after the last
 * character that fits are left out.  Returns target. */
QMR_API char* QMR_CALL Qmstrcpy(char* target, const char* source, qmr_int16 size);

/* ==================================================================== */
/* Numeric text and decimal rounding                                     */
/* ==================================================================== */

#define QMR_DIGIT_TEXT_SIZE 15   /* QMRFCHR output: 15 digits, no sign, no NUL */
#define QMR_NUMERIC_TEXT_SIZE 17 /* QMRFNUM input: 17 bytes, blank-padded */

/*
 * QMRFCHR: the whole part of |*number| as 15 decimal digits, zero-padded
 * on the left, into digits[0..14]; the sign and the fraction are dropped.
 * -1234.75 gives "000000000001234".  A whole part of 16 digits or more
 * (1e15 and above), an infinity or a NaN reports " 145" and leaves the
 * 15 bytes as they were.
 */
QMR_API void QMR_CALL QMRFCHR(void* opaque1, void* opaque2, CallContext* context, const double* number,
                              char* digits);

/*
 * QMRFNUM: reads the 17-byte numeric text into *number.  The text is
 * scanned up to its last non-blank byte: blanks before the first digit,
 * one sign "+" or "-" before any digit or separator, one decimal
 * separator "." or ",", and digits.  Any other byte, a blank after a digit,
 * a second sign or separator, or a sign after a digit or the separator
 * reports " 143"; otherwise more than 15 digits (leading zeros count)
 * report " 145".  After a report *number is 0.  The value stored is the
 * one the text denotes, rounded to the nearest double: "-12.50" gives
 * -12.5, "7," gives 7, ",5" gives 0.5; blanks alone, or a sign or a
 * separator without digits, give 0.  Zero is always stored as +0.
 */
QMR_API void QMR_CALL QMRFNUM(void* opaque1, void* opaque2, CallContext* context, const char* text,
                              double* number);

/*
 * qmrd2dec: value cut to `places` decimal places (negative places cut to
 * tens, hundreds...).  mode 0 truncates after adding half a unit of the
 * value's 15th significant digit, so that 0.29 stays 0.29 at two places;
 * any other mode rounds halves away from zero.  In IEEE double
 * arithmetic, for a scale s = 10^places and v = |value|:
 *   rounding:   floor(v * s + 0.5) / s
 *   truncation: floor((v + e) * s) / s, e = 5e-16 below 1, 5e-15 below
 *               10, ... 5e-2 below 1e14, 0.5 from 1e14 up
 * and the sign of value put back.  qmrd2dec(2.5, 0, 1) is 3,
 * qmrd2dec(-1.9, 0, 0) is -1, qmrd2dec(1234.5, -2, 1) is 1200.  A finite
 * value never comes back infinite or NaN: where the scale or a step of
 * the formula leaves the double range, value comes back as it is.
 *
 * qmrd2dc1: qmrd2dec for a field of `digits` digits, `places` of them
 * decimals.  When digits >= 15 and places != 0, a value whose magnitude
 * is at least 10^(digits - places - 1) (at most 1e14) is returned
 * unchanged, and so is any value when places >= digits.
 */
QMR_API double QMR_CALL qmrd2dec(double value, qmr_int32 places, qmr_int32 mode);
QMR_API double QMR_CALL qmrd2dc1(double value, qmr_int32 places, qmr_int32 mode, qmr_int32 digits);

/* ==================================================================== */
/* Repeating groups: selection, filter and sort                          */
/* ==================================================================== */

/*
 * A repeating group is a list a window shows: occurrences (rows), each
 * with one value per field (column).  The host keeps it as parallel
 * columns and describes it with a GroupDescriptor; the library reads and
 * rearranges the columns in place and never keeps a pointer beyond a call.
 *
 * Both descriptors are C structs with native pointers in this order.  On
 * 32-bit targets they are exactly the host's 24- and 20-byte records; on
 * 64-bit targets they have natural alignment (40 and 32 bytes).  Field
 * number n, as filter expressions and sort keys name fields, is
 * fields[n - 1].
 */
typedef struct FieldDescriptor {
    unsigned char* cellState; /* one byte per occurrence, or null */
    void* cellAttributes;     /* QMR_CELL_ATTRIBUTE_SIZE bytes per occurrence, or null */
    qmr_int32 typeCode;       /* QMR_FIELD_* */
    qmr_uint32 elementSize;   /* bytes per occurrence: text-like fields, selection field */
    void* data;               /* the column: occurrence i at data + i * width */
} FieldDescriptor;

typedef struct GroupDescriptor {
    qmr_uint32 occurrenceCount;     /* 0: QMRFLTR and QMRSORT return at once */
    qmr_uint32 fieldCount;          /* entries in fields */
    qmr_int32 cellStateFlag;        /* non-zero: every field's cellState moves */
    unsigned char* occurrenceState; /* one byte per occurrence, or null */
    qmr_uint32 selectionField;      /* index from 0 of the selection flags' field */
    FieldDescriptor* fields;
} GroupDescriptor;

QMR_CHECK_(fd_size_32, sizeof(void*) != 4 || sizeof(FieldDescriptor) == 20);
QMR_CHECK_(gd_size_32, sizeof(void*) != 4 || sizeof(GroupDescriptor) == 24);
QMR_CHECK_(fd_size_64, sizeof(void*) != 8 || sizeof(FieldDescriptor) == 32);
QMR_CHECK_(gd_size_64, sizeof(void*) != 8 || sizeof(GroupDescriptor) == 40);
QMR_CHECK_(fd_type, offsetof(FieldDescriptor, typeCode) == 2 * sizeof(void*));
QMR_CHECK_(fd_data, offsetof(FieldDescriptor, data) == 2 * sizeof(void*) + 8);
QMR_CHECK_(gd_state, offsetof(GroupDescriptor, occurrenceState) == (sizeof(void*) == 4 ? 12 : 16));
QMR_CHECK_(gd_fields, offsetof(GroupDescriptor, fields) == (sizeof(void*) == 4 ? 20 : 32));

/*
 * Field type codes and the width of one column element.  Texts (4, 8, 9)
 * and timestamps (7, the 20 digits yyyymmddhhmmssffffff) are NUL-terminated
 * within elementSize bytes; a text without a NUL ends at elementSize.
 */
#define QMR_FIELD_SHORT 1      /* int16 */
#define QMR_FIELD_LONG 2       /* int32 */
#define QMR_FIELD_REAL 3       /* double */
#define QMR_FIELD_TEXT 4       /* elementSize bytes */
#define QMR_FIELD_DATE 5       /* int32 yyyymmdd */
#define QMR_FIELD_TIME 6       /* int32 hhmmss */
#define QMR_FIELD_TIMESTAMP 7  /* elementSize bytes */
#define QMR_FIELD_TEXT2 8      /* as QMR_FIELD_TEXT */
#define QMR_FIELD_TEXT3 9      /* as QMR_FIELD_TEXT */
#define QMR_FIELD_NO_COLUMN 10 /* never compared, never moved */
#define QMR_FIELD_VALUE20 11   /* 20 bytes ordered by qmr_set_value20_order */
#define QMR_CELL_ATTRIBUTE_SIZE 6

/*
 * Selection flags: the first byte of an occurrence's element in the
 * selection field's column.  Any other byte behaves as QMR_FLAG_SHOWN.
 */
#define QMR_FLAG_SHOWN ' '
#define QMR_FLAG_SELECTED '*'
#define QMR_FLAG_HIDDEN 'H'
#define QMR_FLAG_MARK1 '-'          /* first mark, not selected */
#define QMR_FLAG_MARK1_SELECTED '+'
#define QMR_FLAG_MARK2 '<'          /* second mark, not selected */
#define QMR_FLAG_MARK2_SELECTED '>'
#define QMR_FLAG_ALSO_SELECTED 'A'  /* never set; selected for request 5 only */

/*
 * Selection requests.  QMRGSEL answers 1 when the flag is in the state;
 * QMRSSEL puts the flag into it:
 *
 *   request          QMRGSEL is 1 for     QMRSSEL
 *   1 shown          all but 'H'          'H' -> ' '
 *   2 hidden         'H'                  any -> 'H'
 *   3 first mark     '-' '+'              '*' -> '+'; '+' 'H' kept; else '-'
 *   4 no first mark  all but '-' '+'      '+' -> '*'; '-' -> ' '
 *   5 selected       '*' '+' '>' 'A'      '*' '+' '>' 'H' kept; '<' -> '>';
 *                                         '-' -> '+'; else '*'
 *   6 not selected   all but '*' '+' '>'  '*' -> ' '; '>' -> '<'; '+' -> '-'
 *   7 second mark    '<' '>'              '*' -> '>'; '>' 'H' kept; else '<'
 *
 * Any other request: QMRGSEL answers 0 and QMRSSEL changes nothing.
 * Neither function writes into the call context; QMRSSEL ignores a null
 * flag pointer.
 */
#define QMR_SEL_SHOWN 1
#define QMR_SEL_HIDDEN 2
#define QMR_SEL_MARK1 3
#define QMR_SEL_NO_MARK1 4
#define QMR_SEL_SELECTED 5
#define QMR_SEL_NOT_SELECTED 6
#define QMR_SEL_MARK2 7

QMR_API qmr_int32 QMR_CALL QMRGSEL(void* opaque1, void* opaque2, CallContext* context, signed char flag,
                                   qmr_uint32 request);
QMR_API void QMR_CALL QMRSSEL(void* opaque1, void* opaque2, CallContext* context, char* flag, qmr_uint32 request);

/*
 * QMRFLTR hides ('H') every shown occurrence that fails the expression,
 * such as: 5 >= 2001-01-01 AND (3 < 500.0 OR 4 < "M").  Comparisons are
 * FIELD OP LITERAL, OP one of = <> < <= > >=, joined by AND/and, OR/or and
 * grouped by parentheses.  AND and OR have equal precedence and group from
 * the left, except that a connective directly before "(" takes everything
 * after it, to the end of the expression, as its right-hand side:
 * "1 = 5 AND (2 = 6 OR 3 = 7) OR 4 = 8" is 1 = 5 AND ((2 = 6 OR 3 = 7) OR
 * 4 = 8).  Literals: integers for types 1 and 2, a decimal number for 3,
 * "quoted" text for 4, 8, 9 ("" inside stands for one quote), yyyy-mm-dd
 * or yyyy/mm/dd for 5, hh.mm.ss or hh:mm:ss for 6, 20 digits for 7.  Text
 * compares without trailing blanks.  Reports " 153" (storage, or a group
 * it cannot read), " 154" (syntax, or a field number above the field
 * count), " 155" (parentheses do not balance; reported before a syntax
 * error) or " 156"; the group is then unchanged.  Never reveals.
 *
 * QMRSORT sorts the occurrences by keys "FIELD DIRECTION ..." (direction
 * A, a, D or d; the first key is the most significant), stable, and
 * moves every column, the occurrence and cell state bytes and the cell
 * attribute records with their occurrences.  Reports " 153" (empty key text,
 * storage, or a key column that is null), " 154" (a missing or bad
 * direction) or " 155" (a field number below 1 or above the field count);
 * the group is then unchanged.
 *
 * Both stamp their name and do nothing more when the count is 0.
 */
QMR_API void QMR_CALL QMRFLTR(void* opaque1, void* opaque2, CallContext* context, GroupDescriptor* group,
                              const char* expression);
QMR_API void QMR_CALL QMRSORT(void* opaque1, void* opaque2, CallContext* context, GroupDescriptor* group,
                              const char* keys);

/*
 * The ordering of the 20-byte value type (field type 11).  Each test
 * takes the addresses of two 20-byte values and answers non-zero when the
 * relation holds.  The default orders the bytes as unsigned values.
 * Passing null for both restores the default; passing null for only one
 * leaves the ordering unchanged and returns -1, and so does a pair for
 * which no storage is available.  Returns 0 otherwise.  The ordering may
 * be switched while other threads sort: each sort works with the ordering
 * in force when it started.
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
