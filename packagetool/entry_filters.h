#pragma once
// Entry filters: the -f texts of methods d and r, turned into prefix or
// whole-name matches on package entry names.

#include <string>
#include <vector>

struct Filter {
    std::string str;         // text to compare with; suffixes removed, '/' made '\'
    bool isExtract = true;   // a matched entry is extracted when it is removed
    bool isWildCard = false; // str is a prefix (the text ended in '*')

    Filter() = default;
    // Parses one filter text: a final ":NOEXTRACT" clears isExtract, then a
    // final '*' makes the filter a prefix. A null or empty text gives the
    // default filter.
    explicit Filter(const char* text);
};

class FilterList {
public:
    FilterList() = default;
    explicit FilterList(const std::vector<std::string>& texts);
    FilterList(const char* const* texts, int count);

    int count() const { return static_cast<int>(filters_.size()); }
    bool empty() const { return filters_.empty(); }
    const std::vector<Filter>& filters() const { return filters_; }

    // Finds the first filter, in list order, that matches entryName ('/' and
    // '\' are the same, ASCII case is ignored). On a match copies it into
    // result, prints a "Match found" line and returns true; otherwise returns
    // false, prints nothing and leaves result as it was.
    bool match(const char* entryName, Filter& result) const;

private:
    std::vector<Filter> filters_;
};
