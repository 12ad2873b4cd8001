// What hint mode writes in the status bar about the word under the mouse: texts
// made from the words a tube shows and the long tank on view, nothing more.
#pragma once

#include <QString>
#include <optional>

#include "components/PanelView.h"
#include "core/initial_orders.h"

// The letters that end a short and a long order on a tape, as the chosen Initial
// Orders read them; '-' for both while no machine is there.
struct TOrderMarks {
    char Short;
    char Long;
};
TOrderMarks OrderMarks(std::optional<TInitialOrders> Orders);

// The text for a tube's hint, Tank being the long tank on view; empty where there
// is nothing to explain (the place just past a tube's last word).
QString TubeHintText(const TTubeHint& Hint, int Tank, TOrderMarks Marks);

// What a whole tube shows, in words and numbers, for a screen reader (a register's
// tube, or else store row Row; Tank the long tank on view): a register as one
// signed whole number and as a fraction, the order tank's order, the sequence
// control register's location, a store row's two words with their addresses.
QString TubeValueText(std::optional<TRegister> Register, int Row, TWords Words, int Tank, TOrderMarks Marks);
