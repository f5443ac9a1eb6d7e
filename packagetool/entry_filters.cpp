#include "entry_filters.h"

#include "text_helpers.h"

#include <cstdio>
#include <cstring>

namespace {
const char kNoExtractSuffix[] = ":NOEXTRACT";
const std::size_t kNoExtractLength = sizeof kNoExtractSuffix - 1;
}  // namespace

Filter::Filter(const char* text)
{
    if (text == nullptr || *text == '\0')
        return;
    str = text;
    if (str.size() >= kNoExtractLength &&
        str.compare(str.size() - kNoExtractLength, kNoExtractLength, kNoExtractSuffix) == 0) {
        isExtract = false;
        str.resize(str.size() - kNoExtractLength);
    }
    if (!str.empty() && str.back() == '*') {
        isWildCard = true;
        str.pop_back();
    }
    replaceChar(str, '/', '\\');
}

FilterList::FilterList(const std::vector<std::string>& texts)
{
    filters_.reserve(texts.size());
    for (const auto& text : texts)
        filters_.emplace_back(text.c_str());
}

FilterList::FilterList(const char* const* texts, int count)
{
    if (texts == nullptr || count <= 0)
        return;
    filters_.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        filters_.emplace_back(texts[i]);
}

bool FilterList::match(const char* entryName, Filter& result) const
{
    std::string name = entryName;
    replaceChar(name, '/', '\\');
    for (const Filter& filter : filters_) {
        // A prefix filter needs a name at least as long as its text; a whole-name
        // filter needs one of exactly that length.
        const bool candidate = filter.isWildCard ? name.size() >= filter.str.size()
                                                 : name.size() == filter.str.size();
        if (!candidate || !equalsIgnoringAsciiCase(name.c_str(), filter.str.c_str(), filter.str.size()))
            continue;
        result.str = filter.str;
        result.isExtract = filter.isExtract;
        result.isWildCard = filter.isWildCard;
        char described[512];
        std::snprintf(described, sizeof described, "Filter(str=%s,isExtract=%u,isWildCard=%u)",
                      result.str.c_str(), result.isExtract ? 1u : 0u, result.isWildCard ? 1u : 0u);
        std::printf("Match found: Filter=%s file=%s\n", described, entryName);
        return true;
    }
    return false;
}
