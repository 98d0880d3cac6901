#include "CSharedMemoryTag.h"

#include "CSharedMemoryBytes.h"
#include "CSharedMemoryConstants.h"

using namespace SharedTable;

bool CSharedMemoryTag::Read(const unsigned char* value, uint32_t valueSize, CSharedMemoryTag& tag)
{
    if (valueSize < kTagHeadBytes)
        return false;
    tag.nType = value[kTagTypeOffset];
    tag.nDataLength = LoadLe16(value + kTagLengthOffset);
    return tag.nDataLength <= valueSize - kTagHeadBytes;
}

std::vector<unsigned char> CSharedMemoryTag::MakeValue() const
{
    std::vector<unsigned char> value(kTagHeadBytes + nDataLength, 0);
    value[kTagTypeOffset] = nType;
    StoreLe16(value.data() + kTagLengthOffset, nDataLength);
    return value;
}
