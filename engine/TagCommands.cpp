// GET and PUT: reading and writing tags of the shared table that other programs fill. The tag
// lock comes first, then the table's own lock inside GetValue and SetValue.
#include "CTSL.h"

#include "CSharedMemory.h"
#include "CSharedMemoryTag.h"
#include "HostMessages.h"
#include "MessageLanguage.h"
#include "NumberText.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A tag's head and data as the table holds them.
struct TagValue
{
    CSharedMemoryTag head;
    std::vector<unsigned char> value;
    const unsigned char* Data() const { return value.data() + SharedTable::kTagHeadBytes; }
};

// What kept a tag from being read or written, told once: a lock that timed out, a damaged
// table, an object that may not be used. A tag that does not exist is no fault of the run, and
// a stop is the user's own doing: neither is told.
void ReportFailure(CRunNotices& notices, const CSharedMemory& table, int error,
                   const std::string& tag, const std::string& text)
{
    if (error == SharedTable::kErrorNotFound || error == ECANCELED)
        return;
    if (error == ETIMEDOUT)
        notices.Report("lock " + tag, tsl::MessageText(tsl::msg::kTagLockTimeout) + tag);
    else if (error == EINVAL && table.IsDamaged())
        notices.Report("damaged " + std::to_string(table.GetInode()),
                       tsl::MessageText(tsl::msg::kTableDamaged) + text);
    else
        notices.Report("unusable " + text, tsl::MessageText(tsl::msg::kTableUnusable) + text);
}

// The table GET and PUT use. One removed under the run (tsltable remove) is told once, and the
// table made anew under its name takes its place; until there is one that can be used, null.
CSharedMemory* FollowTable(std::unique_ptr<CSharedMemory>& table,
                           std::unique_ptr<CNamedSemaphore>& tagLock, CRunNotices& notices,
                           const CRunFlag* pRun)
{
    if (!table->IsRemoved())
        return table.get();
    const std::string name = table->GetName();
    notices.Report("removed " + std::to_string(table->GetInode()),
                   tsl::MessageText(tsl::msg::kTableRemoved) + name);
    int error = 0;
    std::string message;
    if (CSharedMemory::OpenWithTagLock(name, CSharedMemory::OpenMode::OpenExisting, table, tagLock,
                                       error, message, pRun))
        return table.get();
    if (error != SharedTable::kErrorNotFound)
        notices.Report("unusable " + message, tsl::MessageText(tsl::msg::kTableUnusable) + message);
    return nullptr;
}

// A tag read under the tag lock, which stays taken for as long as this object lives. What keeps
// it from being read is told once through `notices`; a value that is no tag value is skipped.
class CLockedTag
{
public:
    CLockedTag(CNamedSemaphore& tagLock, CSharedMemory& table, const std::string& name,
               const CRunFlag* pRun, CRunNotices& notices)
        : m_lock(tagLock, SharedTable::kLockTimeoutMs, pRun)
    {
        table.SetRunFlag(pRun);
        uint32_t size = 0;
        bool got = false;
        if (m_lock.IsLocked() && table.GetValue(name, nullptr, size)) {
            m_tag.value.resize(size);
            got = table.GetValue(name, m_tag.value.data(), size);
            m_bRead = got && CSharedMemoryTag::Read(m_tag.value.data(), size, m_tag.head);
        }
        if (got)
            return;
        if (m_lock.IsLocked())
            ReportFailure(notices, table, table.GetLastError(), name, table.GetErrorText());
        else
            ReportFailure(notices, table, tagLock.GetLastError(), name, tagLock.GetErrorText());
    }

    bool IsRead() const { return m_bRead; }
    const TagValue& Tag() const { return m_tag; }

private:
    CNamedSemaphoreLock m_lock;
    TagValue m_tag;
    bool m_bRead = false;
};

void PutLittleEndian(std::vector<unsigned char>& bytes, uint32_t value, int count)
{
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

uint32_t GetLittleEndian(const unsigned char* bytes, int count)
{
    uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value |= uint32_t(bytes[i]) << (8 * i);
    return value;
}

// The number a numeric tag holds.
double TagNumber(const TagValue& tag)
{
    const unsigned char* data = tag.Data();
    switch (tag.head.nType) {
    case CSharedMemoryTag::kByte:
        return data[0];
    case CSharedMemoryTag::kInteger:
        return tag.head.nDataLength == 2 ? static_cast<int16_t>(GetLittleEndian(data, 2))
                                         : static_cast<int32_t>(GetLittleEndian(data, 4));
    default: {
        float value;
        const uint32_t bits = GetLittleEndian(data, 4);
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    }
}

} // namespace

std::string CTSL::TagName(const tsl::Operand& operand) const
{
    const CVariableTable* var = operand.exact;
    if (!var || var->byKind == KIND_VAR || !var->value.pBuffer)
        return {};
    const char* text = reinterpret_cast<const char*>(var->value.pBuffer);
    return std::string(text, strnlen(text, static_cast<size_t>(var->nSize)));
}

int32_t CTSL::TagCount(CCommandTable* pCmd) const
{
    if (pCmd->byOperandCount < 3)
        return 0;
    return IsDigit(pCmd->szOperand(2)[0]) ? pCmd->m_operand[2].integer
                                          : tsl::ClampToInt32(ValueOf(pCmd->m_operand[2]));
}

void CTSL::_Get(CCommandTable* pCmd)
{
    const std::string name = TagName(pCmd->m_operand[1]);
    if (!m_pSharedTable || !m_pTagLock || name.empty())
        return;
    const int32_t count = TagCount(pCmd);
    CSharedMemory* table = FollowTable(m_pSharedTable, m_pTagLock, m_notices, m_pRun);
    if (!table)
        return;
    const CLockedTag locked(*m_pTagLock, *table, name, m_pRun, m_notices);
    if (!locked.IsRead())
        return;
    const TagValue& tag = locked.Tag();

    // A scalar receives the tag's number converted to its own type, so that a two-byte
    // integer or a float reads as the value it holds rather than as stray bytes.
    const uint8_t type = tag.head.nType;
    if (type != CSharedMemoryTag::kText) {
        if (CVariableTable* scalar = ScalarTarget(pCmd->m_operand[0])) {
            StoreScalar(*scalar, TagNumber(tag));
            return;
        }
    }
    int32_t n = 0;
    switch (type) {
    case CSharedMemoryTag::kByte:
        n = 1;
        break;
    case CSharedMemoryTag::kInteger:
        n = tag.head.nDataLength == 2 ? 2 : 4;
        break;
    case CSharedMemoryTag::kFloat:
        n = 4;
        break;
    case CSharedMemoryTag::kText:
        n = std::min<int32_t>(count, tag.head.nDataLength);
        break;
    default:
        return;
    }
    n = std::min<int32_t>(n, tag.head.nDataLength);
    const CBytes target = BytesOf(pCmd->m_operand[0]);
    if (target.p && n > 0)
        std::memcpy(target.p, tag.Data(), static_cast<size_t>(std::min(n, target.nRoom)));
}

void CTSL::_Put(CCommandTable* pCmd)
{
    const std::string name = TagName(pCmd->m_operand[0]);
    if (!m_pSharedTable || !m_pTagLock || name.empty())
        return;
    const int32_t count = std::max<int32_t>(TagCount(pCmd), 0);

    // The value as a number and as a text.
    const char* written = pCmd->szOperand(1);
    const tsl::Operand& source = pCmd->m_operand[1];
    double number = 0;
    std::string text;
    if (written[0] == '+' || written[0] == '-' || IsDigit(written[0])) {
        number = source.number;
        text = written;
    } else if (written[0] == '"') {
        const size_t available = strnlen(written + 1, kOperandSize - 1);
        text.assign(written + 1, std::min(available, static_cast<size_t>(count)));
        number = tsl::ReadDecimal(text.c_str());
    } else if (const CVariableTable* var = source.exact; var && var->byKind == KIND_VAR) {
        number = ScalarValue(*var);
        char formatted[32];
        if (var->byElemType == ELEM_DOUBLE)
            std::snprintf(formatted, sizeof formatted, "%g", number);
        else
            std::snprintf(formatted, sizeof formatted, "%ld", static_cast<long>(number));
        text = formatted;
    } else {
        const CBytes bytes = BytesOf(source);
        if (bytes.p)
            text.assign(reinterpret_cast<const char*>(bytes.p),
                        static_cast<size_t>(std::min(count, bytes.nRoom)));
        number = tsl::ReadDecimal(text.c_str());
    }

    CSharedMemory* table = FollowTable(m_pSharedTable, m_pTagLock, m_notices, m_pRun);
    if (!table)
        return;
    const CLockedTag locked(*m_pTagLock, *table, name, m_pRun, m_notices);
    if (!locked.IsRead())
        return;
    const TagValue& tag = locked.Tag();
    const uint16_t dataLength = tag.head.nDataLength;
    std::vector<unsigned char> bytes;
    switch (tag.head.nType) {
    case CSharedMemoryTag::kByte:
        bytes.push_back(static_cast<unsigned char>(tsl::WrapToInt32(number)));
        break;
    case CSharedMemoryTag::kInteger:
        PutLittleEndian(bytes, static_cast<uint32_t>(tsl::WrapToInt32(number)),
                        dataLength == 2 ? 2 : 4);
        break;
    case CSharedMemoryTag::kFloat: {
        // Beyond the float range the value saturates to an infinity, as the FPU would round it.
        const float value = std::fabs(number) > FLT_MAX
                                ? static_cast<float>(std::copysign(INFINITY, number))
                                : static_cast<float>(number);
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        PutLittleEndian(bytes, bits, 4);
        break;
    }
    case CSharedMemoryTag::kText:
        text.resize(strnlen(text.c_str(), text.size()));
        bytes.assign(text.begin(), text.end());
        break;
    default:
        return;
    }
    bytes.resize(std::min<size_t>(bytes.size(), dataLength));
    if (!bytes.empty() &&
        !table->SetValue(name, bytes.data(), dataLength, static_cast<uint32_t>(bytes.size())))
        ReportFailure(m_notices, *table, table->GetLastError(), name, table->GetErrorText());
}
