#pragma once

#include <algorithm>
#include <cstring>
#include <string>

namespace tsl {

// Copies text into a fixed character field, cut so that its NUL stays inside the field.
template <size_t N> void CopyField(char (&field)[N], const std::string& text)
{
    const size_t n = std::min(text.size(), N - 1);
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

} // namespace tsl
