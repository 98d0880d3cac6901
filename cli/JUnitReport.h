#pragma once

#include "RunCase.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <string>
#include <string_view>
#include <vector>

// The report of one call of tslrun in the JUnit XML form that CI systems read: a testsuite with
// one testcase per script, in the order given.
struct JUnitSuite
{
    QDateTime startedAt; // local time
    double seconds = 0;  // the whole call so far
    // The report written before the first script: a case not run yet is an error "did not
    // finish", so that a call killed without a word never leaves a report that looks green.
    bool bEarly = false;
};

// The report as one XML document.
QByteArray JUnitDocument(const JUnitSuite& suite, const std::vector<TslRunCase>& cases);

// Bytes as text an XML 1.0 document can hold: valid UTF-8 and tab, line feed and carriage return
// stay; every other control byte, every byte outside valid UTF-8 and the non-characters
// U+FFFE and U+FFFF are written in the <XX> notation.
QString XmlText(std::string_view bytes);
