#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>
#include <type_traits>
#include <vector>

namespace tsl {

// Memory for the many small records of a compiled script (operands, index terms, operand
// texts): carved from large blocks and freed all at once, so a record costs its own size and
// never moves once made.
class Arena
{
public:
    static constexpr std::size_t kDefaultBlockBytes = 64 * 1024;
    // Enough for the records of one operand text compiled on its own.
    static constexpr std::size_t kOperandBlockBytes = 1024;

    explicit Arena(std::size_t blockBytes = kDefaultBlockBytes) : m_blockBytes(blockBytes) {}
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;

    // `count` value-initialised objects side by side.
    template <class T> T* New(std::size_t count)
    {
        static_assert(std::is_trivially_destructible_v<T>, "the arena never runs destructors");
        T* first = static_cast<T*>(Allocate(sizeof(T) * count, alignof(T)));
        for (std::size_t i = 0; i < count; ++i)
            new (first + i) T();
        return first;
    }

    // A NUL-terminated copy of `text`.
    const char* CopyText(std::string_view text)
    {
        char* at = static_cast<char*>(Allocate(text.size() + 1, 1));
        std::memcpy(at, text.data(), text.size());
        at[text.size()] = '\0';
        return at;
    }

    void Clear()
    {
        m_blocks.clear();
        m_used = m_size = 0;
    }

private:
    void* Allocate(std::size_t bytes, std::size_t align)
    {
        std::size_t at = (m_used + align - 1) & ~(align - 1);
        if (m_blocks.empty() || at + bytes > m_size) {
            // A record larger than a block gets a block of its own.
            m_size = bytes > m_blockBytes ? bytes : m_blockBytes;
            m_blocks.push_back(std::make_unique_for_overwrite<std::max_align_t[]>(
                (m_size + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t)));
            at = 0;
        }
        m_used = at + bytes;
        return reinterpret_cast<std::byte*>(m_blocks.back().get()) + at;
    }

    std::size_t m_blockBytes;
    std::vector<std::unique_ptr<std::max_align_t[]>> m_blocks;
    std::size_t m_used = 0;
    std::size_t m_size = 0;
};

} // namespace tsl
