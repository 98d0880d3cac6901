#pragma once

#include "TextCodec.h"
#include "TextEncoding.h"

#include <QString>

// A monitor sends text in the encoding it shows received text in: CP949 or Latin-1 when that is
// chosen, UTF-8 for UTF-8 and for "auto".
tsl::TextCodec SendCodec(TextEncoding encoding);

// Text as a monitor with that encoding sends it, by the library's one rule.
tsl::EncodedText LinkText(const QString& text, TextEncoding encoding);
