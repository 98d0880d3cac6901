#pragma once

#include <cstring>
#include <memory>
#include <vector>

namespace tsl {

// The first record in list order whose name equals `name` exactly; null when there is none.
template <class Record>
Record* FindByName(const std::vector<std::unique_ptr<Record>>& list, const char* name)
{
    for (const auto& record : list) {
        if (std::strcmp(record->szName, name) == 0)
            return record.get();
    }
    return nullptr;
}

} // namespace tsl
