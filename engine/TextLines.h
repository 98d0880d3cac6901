#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tsl {

// An ordered list of text lines kept in one buffer: a line costs its bytes and four more, where
// a list of strings would give each line a heap block of its own.
class TextLines
{
public:
    std::size_t size() const { return m_ends.size(); }
    bool empty() const { return m_ends.empty(); }
    // The bytes of all lines.
    std::size_t bytes() const { return m_text.size(); }

    std::string_view operator[](std::size_t i) const
    {
        const std::uint32_t begin = i == 0 ? 0 : m_ends[i - 1];
        return std::string_view(m_text).substr(begin, m_ends[i] - begin);
    }

    void push_back(std::string_view line)
    {
        m_text.append(line);
        m_ends.push_back(static_cast<std::uint32_t>(m_text.size()));
    }

    void clear()
    {
        m_text.clear();
        m_text.shrink_to_fit();
        m_ends.clear();
        m_ends.shrink_to_fit();
    }

    // Room for `lines` lines of `bytes` bytes in all, taken at once rather than by growing.
    void reserve(std::size_t bytes, std::size_t lines)
    {
        m_text.reserve(bytes);
        m_ends.reserve(lines);
    }

private:
    std::string m_text;
    std::vector<std::uint32_t> m_ends;
};

} // namespace tsl
