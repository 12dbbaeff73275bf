#include "stats/messagetally.h"

#include "core/textformat.h"

namespace rvk {

MessageTally::~MessageTally() { flush(); }

void MessageTally::message(MessageKind kind, const std::string &text)
{
    for (Entry &entry : mEntries)
        if (entry.kind == kind && entry.text == text) {
            ++entry.count;
            return;
        }
    mEntries.push_back({kind, text, 1});
}

void MessageTally::flush()
{
    // Taken out first: a message box may run events that start another report.
    std::vector<Entry> entries;
    entries.swap(mEntries);
    for (const Entry &entry : entries)
        mTarget.message(entry.kind, tallyText(entry.text, entry.count));
}

std::string MessageTally::tallyText(const std::string &text, long long count)
{
    if (count <= 1)
        return text;
    return text + formatText(" (occurred %d times)", {count});
}

} // namespace rvk
