#include "state_colours.h"

namespace pellar {

StateColours ColoursOf(UnitState state) {
  switch (state) {
    case UnitState::kIdle: return {QColor(0xe0, 0xe0, 0xe0), QColor(0x20, 0x20, 0x20)};
    case UnitState::kRunning: return {QColor(0xbb, 0xde, 0xfb), QColor(0x0d, 0x2b, 0x45)};
    case UnitState::kPassed: return {QColor(0x2e, 0x7d, 0x32), Qt::white};
    case UnitState::kFailed: return {QColor(0xc6, 0x28, 0x28), Qt::white};
    case UnitState::kCancelled: return {QColor(0xff, 0xb3, 0x00), QColor(0x20, 0x20, 0x20)};
    case UnitState::kUnplugged: return {QColor(0x55, 0x55, 0x55), Qt::white};
  }
  return {Qt::lightGray, Qt::black};
}

}  // namespace pellar
