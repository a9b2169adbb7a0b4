#include "textscanner.h"

#include <charconv>

namespace ksr
{
namespace io
{
namespace detail
{

// std::from_chars: independent of the C locale that the application object sets from the environment.
template <typename Number> bool parseNumber(const char *begin, int length, Number &value)
{
    if (length > 0 && *begin == '+') {
        ++begin;
        --length;
    }
    if (length <= 0)
        return false;
    const auto result = std::from_chars(begin, begin + length, value);
    return result.ec == std::errc() && result.ptr == begin + length;
}

bool parseDouble(const char *begin, int length, double &value)
{
    return parseNumber(begin, length, value);
}

bool parseLong(const char *begin, int length, long long &value)
{
    return parseNumber(begin, length, value);
}

} // namespace detail
} // namespace io
} // namespace ksr
