#include "version_numbers.h"

#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/split.hpp>
#include <boost/lexical_cast.hpp>

#include <stdexcept>
#include <vector>

namespace stubsmith {

version_numbers parse_version(const std::wstring& text)
{
    std::vector<std::wstring> pieces;
    boost::algorithm::split(pieces, text, boost::algorithm::is_any_of(L"."), boost::algorithm::token_compress_off);
    if (pieces.size() > 4)
        throw std::invalid_argument("version");

    version_numbers numbers{};
    for (std::size_t i = 0; i < pieces.size(); ++i)
        numbers[i] = boost::lexical_cast<std::int32_t>(pieces[i]);
    return numbers;
}

}  // namespace stubsmith
