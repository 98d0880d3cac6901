#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class CVariableTable;

// An operand resolved once when a script is compiled: the variable its name part names, its
// index expression as terms, and what its text reads as under each number rule of the
// language. Executing a command reads these and never parses text again.
struct COperand
{
    // One term of an index expression, added or subtracted in order.
    struct Term
    {
        bool bMinus = false;
        double dNumber = 0;              // when pName is null
        std::unique_ptr<COperand> pName; // a name or element standing in the index
    };

    CVariableTable* pExact = nullptr; // the whole text found as a name; null if it is none
    CVariableTable* pVar = nullptr;   // the name part found as a name; null if it is none
    bool bIndexed = false;            // the text holds a '['
    std::vector<Term> index;          // the index expression

    bool bUpperFirst = false;  // begins with A to Z, so commands read it as a name
    double dDecimal = 0;       // the text as a decimal floating value
    int32_t nDecimal = 0;      // the text as a decimal integer
    bool bValueIsName = false; // a value source that names a variable or element
    double dValueNumber = 0;   // a value source that is a number (decimal, H or B form)
};
