#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tsl {

// A name index beside a record list, so that a long script is not searched name by name. It
// follows the list as records are appended (the first record of a name wins, as a search of
// the list from its head finds it) and starts over when the list was emptied or replaced.
template <class Record> class CNameIndex
{
public:
    Record* Find(const std::vector<std::unique_ptr<Record>>& list, const char* name)
    {
        Follow(list);
        const auto it = m_byName.find(std::string_view(name));
        return it == m_byName.end() ? nullptr : it->second;
    }

    void Clear()
    {
        m_byName.clear();
        m_nIndexed = 0;
        m_pLast = nullptr;
    }

private:
    struct Hash
    {
        using is_transparent = void;
        size_t operator()(std::string_view text) const
        {
            return std::hash<std::string_view>{}(text);
        }
    };

    void Follow(const std::vector<std::unique_ptr<Record>>& list)
    {
        if (m_nIndexed > list.size() || (m_nIndexed > 0 && list[m_nIndexed - 1].get() != m_pLast))
            Clear();
        for (; m_nIndexed < list.size(); ++m_nIndexed)
            m_byName.try_emplace(list[m_nIndexed]->szName, list[m_nIndexed].get());
        m_pLast = m_nIndexed > 0 ? list[m_nIndexed - 1].get() : nullptr;
    }

    std::unordered_map<std::string, Record*, Hash, std::equal_to<>> m_byName;
    size_t m_nIndexed = 0;
    const Record* m_pLast = nullptr;
};

} // namespace tsl
