#pragma once

#include <span>

namespace pellar {

enum class ControlKind { kListView, kPushButton, kEdit, kGroupBox, kProgress, kCentredText };

// One control of the main window's template, in dialog units.
struct ControlTemplate {
  int id;
  ControlKind kind;
  const char* caption;  // UTF-8; empty for none
  int x, y, width, height;
  bool created_visible;
};

// The controls in template order, which is also the tab order.
std::span<const ControlTemplate> MainWindowTemplate();
// The device-information controls that start-up hides, in the order it hides them.
std::span<const int> ControlsHiddenAtStartUp();

// The template's size and the part of it that stays in view, in dialog units.
inline constexpr int kMainWindowWidthDlu = 368;
inline constexpr int kMainWindowHeightDlu = 366;
// On the original platform 665 x 395 outer pixels leave a client area of about 368 x 179 dialog
// units: the list, "scan devices" and the "ota" group (down to 175) in view, everything from 227
// down (the device-information rows, the AppKey row included) outside.
inline constexpr int kVisibleHeightDlu = 179;

}  // namespace pellar
