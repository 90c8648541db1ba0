#pragma once

#include <QObject>

namespace pellar {

// While it lives, the operator's input to this program (keys, mouse, wheel, touch) is taken and
// dropped, so the window can be kept painted and its close request heard while an operation waits,
// without a click or key acting in the middle of the operation or after it.
class InputHold final : public QObject {
 public:
  InputHold();
  ~InputHold() override;
  InputHold(const InputHold&) = delete;
  InputHold& operator=(const InputHold&) = delete;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// Handles every pending event but the operator's input: painting, and the desktop's requests,
// a close among them, which the window records. Returns at once.
void HandlePendingRequests();

}  // namespace pellar
