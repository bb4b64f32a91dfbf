#pragma once

struct sqlite3;

namespace qm::db {

// Registers the functions through which the system's statements keep their original arithmetic:
//   cint(x)        nearest whole number, halves to even: cint(2.5)=2, cint(3.5)=4
//   int(x)         largest whole number not above x: int(-1.5)=-2
//   mod(a, b)      both operands first rounded as cint rounds; the result keeps the sign of a:
//                  85.5 mod 10 = 6, 7 mod -3 = 1
//   fdiv(a, b)     a / b in floating point, also between integers: fdiv(10, 3) = 3.333...
//   amp(a, b)      text concatenation as the '&' operator: numbers in their shortest text, NULL
//                  as empty text: amp(3, '班') = '3班'
//   score_band(x)  the ten-point score band, x / 10 truncated toward zero: 59.9 gives 5
// A NULL operand gives NULL (except for amp); a division or mod by zero is an error.
void registerSqlFunctions(sqlite3* db);

}  // namespace qm::db
