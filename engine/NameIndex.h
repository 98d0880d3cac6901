#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tsl {

// A hash index of the names of a record list, so that a long script is not searched name by
// name. It follows the list as records are appended (the first record of a name wins, as a
// search from the list's head would find it) and starts over when the list was emptied or
// replaced. Keys point into the records' own names, which never move.
template <class Record> class NameIndex
{
public:
    Record* Find(const std::vector<std::unique_ptr<Record>>& list, std::string_view name) const
    {
        Follow(list);
        const auto it = m_byName.find(name);
        return it == m_byName.end() ? nullptr : it->second;
    }

    void Clear() const
    {
        m_byName.clear();
        m_indexed = 0;
        m_last = nullptr;
    }

private:
    void Follow(const std::vector<std::unique_ptr<Record>>& list) const
    {
        if (m_indexed > list.size() || (m_indexed > 0 && list[m_indexed - 1].get() != m_last))
            Clear();
        for (; m_indexed < list.size(); ++m_indexed)
            m_byName.try_emplace(std::string_view(list[m_indexed]->szName), list[m_indexed].get());
        m_last = m_indexed > 0 ? list[m_indexed - 1].get() : nullptr;
    }

    mutable std::unordered_map<std::string_view, Record*> m_byName;
    mutable std::size_t m_indexed = 0;
    mutable const Record* m_last = nullptr;
};

} // namespace tsl
