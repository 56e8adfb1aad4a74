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
 *   "single"  the default: every byte a character, blank 0x20, no
 *             double-byte blank
 *   "sosi"    shift-code text: shift-out 0x0E, shift-in 0x0F, double-byte
 *             characters of KS X 1001 in 7-bit form (as in ISO-2022-KR),
 *             double-byte blank 0x21 0x21
 *   "sjis"    Shift_JIS: lead bytes 0x81-0x9F and 0xE0-0xFC, trail bytes
 *             0x40-0x7E and 0x80-0xFC, double-byte blank 0x81 0x40
 *   "gbk"     GBK: lead bytes 0x81-0xFE, trail bytes 0x40-0x7E and
 *             0x80-0xFE, double-byte blank 0xA1 0xA1
 *   "big5"    Big5 (as code page 950): lead bytes 0x81-0xFE, trail
 *             bytes 0x40-0x7E and 0x80-0xFE, double-byte blank 0xA1 0x40
 *   "tis620"  Thai: the marks 0xD1, 0xD4-0xDA and 0xE7-0xEE combine with
 *             the character before them
 *
 * A lead byte not followed by a trail byte is a character of its own.
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
 * the result's maximum, the run's last character is left out. */
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
 * blanks of either width do not matter.  Either may be null (null orders
 * first). */
QMR_API qmr_int32 QMR_CALL Qmstrcmp(const char* first, const char* second);
/* Copies source (null: empty) into target as size - 1 bytes of text and
 * blanks and a NUL, cutting at a character boundary; a cut double-byte
 * run is closed with a shift-in inside the field.  Returns target. */
QMR_API char* QMR_CALL Qmstrcpy(char* target, const char* source, qmr_int16 size);

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
