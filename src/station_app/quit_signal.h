#pragma once

#include <QObject>

class QSocketNotifier;

namespace pellar {

// Turns SIGTERM and SIGINT (a shutdown of the line's PC, Ctrl+C in the terminal that started the
// window) into a signal on the window's thread, so that running units are cut short and recorded
// instead of the process dying under them.
class QuitSignal final : public QObject {
  Q_OBJECT

 public:
  explicit QuitSignal(QObject* parent = nullptr);

 signals:
  void Received();

 private:
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace pellar
