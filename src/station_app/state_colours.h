#pragma once

#include <QColor>

#include "station/unit_state.h"

namespace pellar {

// A tile's colours for a state: strong enough to read from across the room, with text that stays
// legible on them.
struct StateColours {
  QColor background;
  QColor text;
};
StateColours ColoursOf(UnitState state);

}  // namespace pellar
