// Punched output as the hosts keep it: a list of lines of four characters, the
// last one holding one to four (or none, before anything is punched). One list
// type or another (standard strings, the toolkit's) holds the same lines.
#pragma once

#include <cstddef>

inline constexpr std::size_t PunchedGroup = 4;

// Empties the list down to its one empty line.
template <class TLines>
void ClearPunched(TLines& Lines)
{
    Lines.clear();
    Lines.emplace_back();
}

template <class TLines, class TChar>
void PunchInto(TLines& Lines, TChar Ch)
{
    if (Lines.empty() || static_cast<std::size_t>(Lines.back().size()) == PunchedGroup)
        Lines.emplace_back(1, Ch);
    else
        Lines.back() += Ch;
}
