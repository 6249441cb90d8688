/*
 * ferrolit: the C interface.
 *
 * The three public classes (clsGenVerSez, clsSezRett, clsSezT) and the
 * section collection ("Collection") are reached through opaque,
 * reference-counted handles. Their members are described by type
 * information the host can enumerate, and are read, written and called by
 * name with tagged values. Every function that can fail returns a status:
 * 0 for success, otherwise one of the FERROLIT_E_* codes; the description of
 * the last failure is kept per thread. No C++ exception crosses this
 * interface.
 *
 * Plain C99; no C++ types.
 */
#ifndef FERROLIT_FERROLIT_H
#define FERROLIT_FERROLIT_H

#include <stddef.h>
#include <stdint.h>

#include "ferrolit/export.hpp"
#include "ferrolit/version.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- status codes: the classic run-time error numbers ---- */
typedef int32_t ferrolit_status;

enum {
    FERROLIT_OK = 0,
    FERROLIT_E_INVALID_OPERATION = 5, /* invalid procedure call or argument; invalid floating-point operation */
    FERROLIT_E_OVERFLOW = 6,          /* floating-point or 16-bit integer overflow */
    FERROLIT_E_OUT_OF_MEMORY = 7,
    FERROLIT_E_INVALID_INDEX = 9, /* a number that names no item */
    FERROLIT_E_DIVISION_BY_ZERO = 11,
    FERROLIT_E_TYPE_MISMATCH = 13,     /* an item of the other kind, a value of the wrong type */
    FERROLIT_E_INTERNAL = 51,          /* an unexpected failure inside the library */
    FERROLIT_E_OBJECT_REQUIRED = 91,   /* a null handle or an empty object value */
    FERROLIT_E_CANNOT_CREATE = 429,    /* no creatable class of that name */
    FERROLIT_E_MEMBER_NOT_FOUND = 438, /* the object has no member of that name and kind */
    FERROLIT_E_ARGUMENT_COUNT = 450    /* wrong number of arguments */
};

/* Status and description of the last call made on this thread that reports
 * a status (FERROLIT_OK and "" after a success). The text is UTF-8 Italian,
 * valid until the next such call on the same thread. */
FERROLIT_C_API ferrolit_status ferrolit_last_status(void);
FERROLIT_C_API const char* ferrolit_last_error(void);
/* The input key that last call's error names: its path in the section's JSON
 * ("Base", "combinazioni[2].tipo"), as in the message; "" when the error names
 * no key or there was none. Valid as long as ferrolit_last_error()'s text. */
FERROLIT_C_API const char* ferrolit_last_error_key(void);

/* The failure statuses, numbered from 0: each one's name ("Overflow", as
 * ErrorKind names it in C++ and Python), its code in *code and its standard
 * Italian description in *description (either pointer may be NULL). NULL
 * outside 0..count-1. The texts live as long as the library. */
FERROLIT_C_API int32_t ferrolit_status_count(void);
FERROLIT_C_API const char* ferrolit_status_at(int32_t index, ferrolit_status* code, const char** description);

/* ---- values ---- */
enum {
    FERROLIT_TYPE_EMPTY = 0,  /* no value: the result of a procedure; "use the default" in an output slot */
    FERROLIT_TYPE_SINGLE = 1, /* float */
    FERROLIT_TYPE_INT16 = 2,
    FERROLIT_TYPE_INT32 = 3, /* the enumerations TipoBordo and PosizioneFerri; collection numbers */
    FERROLIT_TYPE_BOOL = 4,
    FERROLIT_TYPE_STRING = 5, /* UTF-8, NUL-terminated */
    FERROLIT_TYPE_OBJECT = 6, /* a handle */
    FERROLIT_TYPE_SINGLE_ARRAY = 7
};

typedef struct ferrolit_object ferrolit_object;

/* A tagged value. Values the host builds itself have owned = 0: the library
 * only reads them and never frees what they point to. Values the library
 * writes (results, outputs, and ferrolit_value_string) have owned = 1: the
 * string or array was allocated by the library, or the handle was retained
 * for the value; ferrolit_value_clear releases them. Start every slot as
 * FERROLIT_VALUE_EMPTY (all zero). */
typedef struct ferrolit_value {
    int32_t type;
    int32_t owned;
    union {
        float single;
        int16_t int16;
        int32_t int32;
        int32_t boolean; /* 0 false, anything else true; written as 1 */
        const char* string;
        ferrolit_object* object;
        struct {
            float* data;
            int32_t count;
        } array;
    } u;
} ferrolit_value;

/* clang-format off */
#define FERROLIT_VALUE_EMPTY {0, 0, {0}}
/* clang-format on */

/* Releases what an owned value holds and makes it EMPTY; a value not owned
 * is only made EMPTY. NULL is ignored. */
FERROLIT_C_API void ferrolit_value_clear(ferrolit_value* value);

/* Borrowing constructors: the value points to the caller's data. */
FERROLIT_C_API ferrolit_value ferrolit_single(float x);
FERROLIT_C_API ferrolit_value ferrolit_int16(int16_t x);
FERROLIT_C_API ferrolit_value ferrolit_int32(int32_t x);
FERROLIT_C_API ferrolit_value ferrolit_bool(int x);
FERROLIT_C_API ferrolit_value ferrolit_string(const char* text);
FERROLIT_C_API ferrolit_value ferrolit_object_value(ferrolit_object* object);

/* Enumeration values (32-bit). */
enum { FERROLIT_As_inf = 1, FERROLIT_As_sup = 2, FERROLIT_As_infY = 3, FERROLIT_As_supY = 4 };
enum { FERROLIT_Superiore = 1, FERROLIT_Inferiore = 2, FERROLIT_Sinistro = 3, FERROLIT_Destro = 4 };

/* ---- objects ---- */

/* Creates an object of class "clsGenVerSez", "clsSezRett", "clsSezT" or
 * "Collection"; the new handle has one reference. */
FERROLIT_C_API ferrolit_status ferrolit_create(const char* class_name, ferrolit_object** out);
/* Adds or drops a reference; each returns the count left (0 for NULL). The
 * object behind a handle lives while any holder keeps it: a section fetched
 * from a registry is the very object in the registry's collection. */
FERROLIT_C_API int32_t ferrolit_retain(ferrolit_object* object);
FERROLIT_C_API int32_t ferrolit_release(ferrolit_object* object);
/* The class of a handle ("" for NULL). */
FERROLIT_C_API const char* ferrolit_class_of(const ferrolit_object* object);
/* 1 when both handles stand for the same object. */
FERROLIT_C_API int ferrolit_same_object(const ferrolit_object* a, const ferrolit_object* b);

/* ---- type information ---- */
enum {
    FERROLIT_KIND_GET = 1,   /* property reader (possibly with arguments) */
    FERROLIT_KIND_LET = 2,   /* property writer: one argument, the new value */
    FERROLIT_KIND_METHOD = 4 /* operation */
};

typedef struct ferrolit_arg_info {
    const char* name;
    int32_t type;          /* FERROLIT_TYPE_* */
    const char* type_name; /* enumeration or class name; NULL for plain values */
    int32_t is_output;     /* passed by reference and written back */
} ferrolit_arg_info;

typedef struct ferrolit_member_info {
    const char* name;
    int32_t kind;                 /* FERROLIT_KIND_* flags; a read-write property has GET | LET */
    int32_t result_type;          /* FERROLIT_TYPE_*; for a property, the type of its value */
    const char* result_type_name; /* enumeration or class name; NULL otherwise ("" for any section) */
    int32_t arg_count;            /* arguments of the reader or method, not counting the written value */
    const ferrolit_arg_info* args;
} ferrolit_member_info;

/* Classes, numbered from 0. The data lives as long as the library. */
FERROLIT_C_API int32_t ferrolit_class_count(void);
FERROLIT_C_API const char* ferrolit_class_name(int32_t index); /* NULL outside */
/* Members of a class in interface order; -1 / NULL for an unknown class or index. */
FERROLIT_C_API int32_t ferrolit_member_count(const char* class_name);
FERROLIT_C_API const ferrolit_member_info* ferrolit_member_at(const char* class_name, int32_t index);
FERROLIT_C_API int32_t ferrolit_member_find(const char* class_name, const char* member_name);

/* The unit of the numbers a member or an argument of that name holds (the
 * same name is the same quantity): "mm", "mm²", "mm²/m", "kN", "kNm", "MPa"
 * or "°", in UTF-8; "" for a pure number (a ratio, a strain, a count, a
 * code), a text, a flag, an object or an enumeration; NULL for a name that no
 * class uses. The text lives as long as the library. */
FERROLIT_C_API const char* ferrolit_unit(const char* name);

/* Enumerations: names and their (name, value) pairs. */
FERROLIT_C_API int32_t ferrolit_enum_count(void);
FERROLIT_C_API const char* ferrolit_enum_name(int32_t index);
FERROLIT_C_API int32_t ferrolit_enum_value_count(int32_t index);
FERROLIT_C_API const char* ferrolit_enum_value(int32_t index, int32_t value_index, int32_t* value);

/* ---- late-bound access ----
 * Members are named exactly (case-sensitive). Arguments go in order in
 * args[0..nargs-1]; numeric values are converted to the declared type
 * (single, 16-bit and 32-bit integers; rounding to the nearest whole number,
 * halves to even, and an overflow error outside the range). After a
 * successful call every output argument holds its new, owned value and the
 * slot's old owned value has been released; on failure nothing is written.
 * result may be NULL; otherwise its old owned value is released and it
 * receives the member's result (EMPTY for a procedure). */
FERROLIT_C_API ferrolit_status ferrolit_get(ferrolit_object* object, const char* member, ferrolit_value* args,
                                            int32_t nargs, ferrolit_value* result);
FERROLIT_C_API ferrolit_status ferrolit_let(ferrolit_object* object, const char* member, const ferrolit_value* value);
/* Calls a method, or a reader that takes arguments. */
FERROLIT_C_API ferrolit_status ferrolit_call(ferrolit_object* object, const char* member, ferrolit_value* args,
                                             int32_t nargs, ferrolit_value* result);

/* ---- platform hooks ----
 * The design procedures show a modal critical-stop message box and sound the
 * alert beep through these. A NULL function restores the default (the text
 * to standard error). Handlers run synchronously on the calling thread. */
typedef void (*ferrolit_message_box_fn)(const char* text, const char* title, void* user_data);
typedef void (*ferrolit_beep_fn)(void* user_data);
FERROLIT_C_API ferrolit_status ferrolit_set_message_box_handler(ferrolit_message_box_fn handler, void* user_data);
FERROLIT_C_API ferrolit_status ferrolit_set_beep_handler(ferrolit_beep_fn handler, void* user_data);
/* Decimal separator of the "0.00" renderings in messages, such as '.' or ','. */
FERROLIT_C_API ferrolit_status ferrolit_set_decimal_separator(char separator);

/* ---- verification by the 2018 code ----
 * Verifies one section given as a JSON object (the keys listed in the
 * README) and writes the JSON result to *result_json: UTF-8, NUL-terminated,
 * allocated by the library, released with ferrolit_json_free. Returns 0 when
 * a result was produced, whether the section is verified or not (read its
 * "verified" and "checks"); FERROLIT_E_INVALID_OPERATION (5) for input that
 * cannot be used, with *result_json holding {"error": "<message>"} and
 * ferrolit_last_error() the same Italian message (ferrolit_last_error_key() the
 * key it names). A NULL json gives 5; a NULL
 * result_json gives 5 and writes nothing. */
FERROLIT_C_API int ferrolit_verify_json(const char* json, char** result_json);
/* ---- the code engine ----
 * The same contract for the document of `ferrolit analyse` (README): a
 * section, its materials and queries in; N_max, N_min and one result per
 * query out. */
FERROLIT_C_API int ferrolit_analyse_json(const char* json, char** result_json);
/* ---- every member of a building ----
 * The same contract for a model of members (README "Members of a building"):
 * its sections, members and forces. forces_csv, when not NULL and not empty,
 * is the forces table as CSV text in place of the model's "sollecitazioni"
 * (whose file path is relative to the working directory). A member that
 * cannot be verified has its "error" in the result and the status is still 0. */
FERROLIT_C_API int ferrolit_verify_members_json(const char* model_json, const char* forces_csv, char** result_json);
/* Releases a text written by ferrolit_verify_json, ferrolit_analyse_json or ferrolit_verify_members_json;
 * NULL is ignored. */
FERROLIT_C_API void ferrolit_json_free(char* json);

/* The library's version, "major.minor.patch". */
FERROLIT_C_API const char* ferrolit_version(void);

#ifdef __cplusplus
}
#endif

#endif /* FERROLIT_FERROLIT_H */
