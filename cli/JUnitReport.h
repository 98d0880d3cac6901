#pragma once

#include "RunCase.h"

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
};

// Writes the report to `path` whole or not at all (the file is replaced only once the new one is
// complete); false with the reason.
bool WriteJUnitReport(const std::string& path, const JUnitSuite& suite,
                      const std::vector<TslRunCase>& cases, std::string& strError);

// Bytes as text an XML 1.0 document can hold: valid UTF-8 and tab, line feed and carriage return
// stay; every other control byte, every byte outside valid UTF-8 and the non-characters
// U+FFFE and U+FFFF are written in the <XX> notation.
QString XmlText(std::string_view bytes);
