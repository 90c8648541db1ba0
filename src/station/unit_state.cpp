#include "station/unit_state.h"

namespace pellar {

const char* UnitStateName(UnitState state) {
  switch (state) {
    case UnitState::kIdle: return "idle";
    case UnitState::kRunning: return "running";
    case UnitState::kPassed: return "passed";
    case UnitState::kFailed: return "failed";
    case UnitState::kCancelled: return "cancelled";
    case UnitState::kUnplugged: return "unplugged";
  }
  return "idle";
}

bool UnitEnded(UnitState state) {
  return state != UnitState::kIdle && state != UnitState::kRunning;
}

}  // namespace pellar
