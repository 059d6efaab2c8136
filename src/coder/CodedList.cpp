#include "coder/CodedList.h"

#include "coder/QNHexCoder.h"

namespace flipset {

StringList CodeListEntries(const StringList& entries)
{
    CQNHexCoder coder;
    coder.SetKey(kListCoderKey);
    StringList coded;
    coded.reserve(entries.size());
    for (const std::string& entry : entries)
        coded.push_back(coder.CodeValue(entry));
    return coded;
}

StringList DecodeListEntries(const StringList& codedEntries)
{
    CQNHexCoder coder;
    coder.SetKey(kListCoderKey);
    StringList entries;
    entries.reserve(codedEntries.size());
    for (const std::string& coded : codedEntries)
        entries.push_back(coder.DecodeValue(coded));
    return entries;
}

}  // namespace flipset
