#pragma once

#include <cstdint>

class CVariableTable;

namespace tsl {

struct Operand;

// One term of an index expression, added or subtracted in order.
struct IndexTerm
{
    double number = 0;             // the term's value when it is not a name
    const Operand* name = nullptr; // a name or element standing in the index
    bool minus = false;
};

// One operand, compiled once from its text when a script is compiled, for the verifier and the
// runtime alike: the variable its name part names, its index expression as terms, and what the
// text reads as under each number rule of the language. Running or checking a command reads
// these and never parses the text again.
struct Operand
{
    const char* text = "";            // as written, NUL-terminated
    CVariableTable* exact = nullptr;  // the whole text found as a name
    CVariableTable* var = nullptr;    // the name part, before a '[', found as a name
    const IndexTerm* terms = nullptr; // the index expression, `termCount` terms
    double number = 0;                // the number its command reads the text as (below)
    int32_t integer = 0;              // the text as a decimal integer
    uint16_t termCount = 0;
    bool indexed : 1 = false;     // the text holds a '['
    bool closed : 1 = false;      // ... and ends with the ']' that closes it
    bool upperFirst : 1 = false;  // begins with A to Z, so commands read it as a name
    bool valueIsName : 1 = false; // as a value source it names a variable or element
};
// `number` is the text read as a decimal floating value, except in the operand that its
// command reads as a value (the keyword table's value column: the second of ADD, SUB, MOVE, AND,
// OR and XOR), where a text that begins with a digit and ends with H or B is read in that form.
// Each operand belongs to one command, so it keeps only the reading its command uses.

} // namespace tsl
