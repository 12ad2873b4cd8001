// The main store: 18-bit locations with short and long access. Bit 17 of an even
// location is the sandwich bit, the top bit of the low half of a long number.
#pragma once

#include <array>

#include "core/misc.h"

class IEdsacHost;

class TStore {
public:
    TStore(int Size, IEdsacHost& ASim);
    ~TStore();
    TStore(const TStore&) = delete;
    TStore& operator=(const TStore&) = delete;

    void Init();
    TWord ReadWord(int Address);
    void WriteWord(int Address, TWord Value);
    // Short: (location without its sandwich bit, 0). Long: (odd location, even location).
    std::array<TWord, 2> Read(int Address, TWordLength Length);
    void Write(int Address, TWordLength Length, TWords Value);
    const TWordArray& GetContents() const { return FWords; }
    // Puts a location back as it was, silently (see TALUnit::Restore).
    void Restore(int Address, TWord Value) { FWords[static_cast<size_t>(Address)] = Value; }
    int Size() const { return static_cast<int>(FWords.size()); }

private:
    TWordArray FWords;
    IEdsacHost& FSim;
};
