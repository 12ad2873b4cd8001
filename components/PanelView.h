// What a machine panel offers whoever drives it: the five register tubes and the
// sixteen rows of one long tank of the store. The machine window and the developer
// console's monitor are both such a panel, and one presenter feeds either.
#pragma once

#include <QString>
#include <optional>

#include "core/MachineHost.h"
#include "core/misc.h"

// The mouse rests on word Index of a tube (Index is the tube's word count just past
// its last word): a register's tube, or else store row Row, 0 at the bottom.
struct TTubeHint {
    std::optional<TRegister> Register;
    int Row;
    QString FullName;
    TWords Words;
    int Index;
};

class IPanelView {
public:
    virtual ~IPanelView() = default;

    // Draws a register's words on its tube.
    virtual void ShowRegister(TRegister Register, TWords Words) = 0;
    // Draws a row of the long tank on view: the odd location first, as LongTank.h lays it.
    virtual void ShowStoreRow(int Row, TWords Words) = 0;
    virtual void ShowStoreWord(int Row, int Column, TWord Value) = 0;
    // The long tank on view, 0..31.
    virtual int LongTank() const = 0;
};
