#pragma once
// The order in which lists of names (preset menus, the drawn file chooser) are shown: letters
// without regard to case, runs of digits by their value ("Bass 2" before "Bass 10"), and names
// equal in those terms by their bytes, so every platform and every listing order of the file
// system gives the same list. Bytes beyond ASCII compare as they are.

#include <string_view>

namespace orx
{

// Below zero when a comes first, zero only for equal names, above zero when b comes first.
int CompareNames(std::string_view a, std::string_view b) noexcept;

inline bool NameBefore(std::string_view a, std::string_view b) noexcept
{
    return CompareNames(a, b) < 0;
}

} // namespace orx
