#pragma once

#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

// Facts a running script meets that its host should tell the user, each once: a tag lock that
// timed out, a damaged tag table. The script thread reports; the host takes them when it likes.
class CRunNotices
{
public:
    // Keeps `text` unless a notice with the same key came before.
    void Report(const std::string& key, const std::string& text)
    {
        std::lock_guard lock(m_mutex);
        if (m_keys.insert(key).second)
            m_pending.push_back(text);
    }

    // The notices reported since the last call.
    std::vector<std::string> Take()
    {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_pending, {});
    }

private:
    std::mutex m_mutex;
    std::set<std::string> m_keys;
    std::vector<std::string> m_pending;
};
