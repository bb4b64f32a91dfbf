#include "db/SqlFunctions.h"

#include <sqlite3.h>

#include <cmath>
#include <new>
#include <string>

#include "common/NumberText.h"
#include "db/DbError.h"

namespace qm::db {

namespace {

bool anyNull(int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            return true;
        }
    }
    return false;
}

// A value as the number the original engine would take from it: numbers as they are, text by
// its numeric reading (so "85.5" counts as 85.5).
double numberOf(sqlite3_value* value) {
    return sqlite3_value_double(value);
}

void resultWhole(sqlite3_context* context, double value) {
    if (std::fabs(value) < 9.0e18) {
        sqlite3_result_int64(context, static_cast<sqlite3_int64>(value));
    } else {
        sqlite3_result_double(context, value);
    }
}

void cintFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) {
        sqlite3_result_null(context);
        return;
    }
    resultWhole(context, roundHalfEven(numberOf(argv[0])));
}

void intFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) {
        sqlite3_result_null(context);
        return;
    }
    resultWhole(context, std::floor(numberOf(argv[0])));
}

void modFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) {
        sqlite3_result_null(context);
        return;
    }
    const double a = roundHalfEven(numberOf(argv[0]));
    const double b = roundHalfEven(numberOf(argv[1]));
    if (b == 0.0) {
        sqlite3_result_error(context, "Division by zero (mod)", -1);
        return;
    }
    resultWhole(context, std::fmod(a, b));  // fmod keeps the sign of the dividend
}

void fdivFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) {
        sqlite3_result_null(context);
        return;
    }
    const double b = numberOf(argv[1]);
    if (b == 0.0) {
        sqlite3_result_error(context, "Division by zero", -1);
        return;
    }
    sqlite3_result_double(context, numberOf(argv[0]) / b);
}

std::string textOf(sqlite3_value* value) {
    switch (sqlite3_value_type(value)) {
        case SQLITE_NULL:
            return {};
        case SQLITE_INTEGER:
            return std::to_string(sqlite3_value_int64(value));
        case SQLITE_FLOAT:
            return numberText(sqlite3_value_double(value));
        default:
            return std::string(reinterpret_cast<const char*>(sqlite3_value_text(value)),
                               static_cast<std::size_t>(sqlite3_value_bytes(value)));
    }
}

void ampFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    // No exception may pass through the engine's frames: memory that runs out is told to the
    // engine, which fails the statement with SQLITE_NOMEM.
    try {
        std::string joined;
        for (int i = 0; i < argc; ++i) {
            joined += textOf(argv[i]);
        }
        sqlite3_result_text(context, joined.data(), static_cast<int>(joined.size()),
                            SQLITE_TRANSIENT);
    } catch (const std::bad_alloc&) {
        sqlite3_result_error_nomem(context);
    }
}

void scoreBandFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) {
        sqlite3_result_null(context);
        return;
    }
    resultWhole(context, std::trunc(numberOf(argv[0]) / 10.0));
}

void define(sqlite3* db, const char* name, int argc,
            void (*function)(sqlite3_context*, int, sqlite3_value**)) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    if (sqlite3_create_function_v2(db, name, argc, flags, nullptr, function, nullptr, nullptr,
                                   nullptr) != SQLITE_OK) {
        throw DbError(std::string("无法注册SQL函数 ") + name + ": " + sqlite3_errmsg(db));
    }
}

}  // namespace

void registerSqlFunctions(sqlite3* db) {
    define(db, "cint", 1, cintFunction);
    define(db, "int", 1, intFunction);
    define(db, "mod", 2, modFunction);
    define(db, "fdiv", 2, fdivFunction);
    define(db, "amp", -1, ampFunction);
    define(db, "score_band", 1, scoreBandFunction);
}

}  // namespace qm::db
