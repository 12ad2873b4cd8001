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
