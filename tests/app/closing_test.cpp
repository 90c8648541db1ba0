// How the window's run ends: Escape, Enter, the close button, and a close asked for while an
// operation runs; and how a running operation holds the buttons.
#include <QLineEdit>

#include <stdexcept>

#include "window_bench.h"
#include "window_clock.h"

using pellar::testing::RunModal;
using pellar::testing::WindowBench;

class ClosingTest : public QObject {
  Q_OBJECT

 private slots:
  void keysThatEndTheRun_data() {
    QTest::addColumn<int>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    QTest::newRow("Escape in the list") << int(pellar::kDeviceList) << int(Qt::Key_Escape)
                                        << int(QDialog::Rejected);
    QTest::newRow("Escape on a button") << int(pellar::kUpdateButton) << int(Qt::Key_Escape)
                                        << int(QDialog::Rejected);
    QTest::newRow("Enter in the list") << int(pellar::kDeviceList) << int(Qt::Key_Return)
                                       << int(QDialog::Accepted);
    QTest::newRow("keypad Enter in the path field")
        << int(pellar::kUpdateListPathEdit) << int(Qt::Key_Enter) << int(QDialog::Accepted);
  }

  void keysThatEndTheRun() {
    QFETCH(int, focus);
    QFETCH(int, key);
    QFETCH(int, result);
    WindowBench bench;
    CPellarDlg& window = bench.window();
    int ended = RunModal(window, [&] {
      window.activateWindow();
      bench.Find(focus)->setFocus();
      const Qt::KeyboardModifiers modifiers =
          key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
      QTest::keyClick(bench.Find(focus), Qt::Key(key), modifiers);
    });
    QCOMPARE(ended, result);
    QVERIFY(!window.isVisible());
  }

  void enterPressesTheFocusedButton() {
    WindowBench bench;
    int presses = 0;
    bench.window().BindButton(pellar::kScanDevicesButton, [&presses] { ++presses; });
    QVERIFY(bench.ShowActive());
    bench.Find(pellar::kScanDevicesButton)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(presses, 1);
    QVERIFY(bench.window().isVisible());
  }

  void closeButtonEndsTheRun() {
    WindowBench bench;
    CPellarDlg& window = bench.window();
    QCOMPARE(RunModal(window, [&window] { window.close(); }), int(QDialog::Rejected));
    QVERIFY(!window.CloseRequested());
  }

  // The close is recorded, the window stays while the operation runs, the operation sees it at
  // its next breath, and the run ends once the operation has returned.
  void closeDuringAnOperationWaitsForIt() {
    WindowBench bench;
    CPellarDlg& window = bench.window();
    bool visible_after_close = false;
    bool breath_saw_close = false;
    bool escape_ended_nothing = false;
    window.BindButton(pellar::kUpdateButton, [&] {
      window.close();
      visible_after_close = window.isVisible();
      breath_saw_close = window.Breathe();
      QTest::keyClick(&bench.list(), Qt::Key_Escape);
      escape_ended_nothing = window.isVisible();
    });
    int ended = RunModal(window, [&] { bench.Find<QPushButton>(pellar::kUpdateButton)->click(); });
    QCOMPARE(ended, int(QDialog::Rejected));
    QVERIFY(visible_after_close);
    QVERIFY(breath_saw_close);
    QVERIFY(escape_ended_nothing);
    QVERIFY(window.CloseRequested());
  }

  void escapeDuringAnOperationIsIgnored() {
    WindowBench bench;
    CPellarDlg& window = bench.window();
    QVERIFY(bench.ShowActive());
    window.RunOperation([&] { QTest::keyClick(&bench.list(), Qt::Key_Escape); });
    QVERIFY(window.isVisible());
    QVERIFY(!window.CloseRequested());
  }

  // A fixed wait keeps the window handling its events: a close that arrives meanwhile is only
  // recorded, the operator's input is dropped (not kept for after the operation), and the wait
  // lasts its time. Both on real time and on virtual time.
  void windowClockWaitRecordsACloseAndDropsInput_data() {
    QTest::addColumn<bool>("real_time");
    QTest::newRow("real time") << true;
    QTest::newRow("virtual time") << false;
  }

  void windowClockWaitRecordsACloseAndDropsInput() {
    QFETCH(bool, real_time);
    WindowBench bench;
    CPellarDlg& window = bench.window();
    QVERIFY(bench.ShowActive());
    auto* path = bench.Find<QLineEdit>(pellar::kUpdateListPathEdit);
    path->setFocus();
    pellar::VirtualClock virtual_time;
    pellar::WindowClock clock = real_time ? pellar::WindowClock() : pellar::WindowClock(virtual_time);
    double waited = 0;
    window.RunOperation([&] {
      auto arrive = [&] {
        QCoreApplication::postEvent(path, new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x"));
        QCoreApplication::postEvent(&window, new QCloseEvent);
      };
      if (real_time) QTimer::singleShot(5, &window, arrive); else arrive();
      const double start = clock.NowMs();
      clock.Sleep(40);
      waited = clock.NowMs() - start;
      QVERIFY(window.CloseRequested());
      QVERIFY(window.isVisible());
    });
    QVERIFY(waited >= 39);
    QCOMPARE(path->text(), QString());
    QVERIFY(!window.isVisible());
  }

  void operationDisablesTheButtonsAndRestoresThem() {
    WindowBench bench;
    CPellarDlg& window = bench.window();
    QVERIFY(bench.ShowActive());
    auto* update = bench.Find<QPushButton>(pellar::kUpdateButton);
    auto* select = bench.Find<QPushButton>(pellar::kSelectConfigButton);
    auto* scan = bench.Find<QPushButton>(pellar::kScanDevicesButton);
    scan->setEnabled(false);  // a button disabled before stays disabled
    update->setFocus();
    bool all_disabled = false;
    try {
      window.RunOperation([&] {
        all_disabled = !update->isEnabled() && !select->isEnabled() &&
                       !bench.Find(pellar::kReadAppKeyButton)->isEnabled() &&
                       !bench.Find(pellar::kReadSnButton)->isEnabled();
        throw std::runtime_error("the operation fails");
      });
    } catch (const std::runtime_error&) {
    }
    QVERIFY(all_disabled);
    QVERIFY(update->isEnabled());
    QVERIFY(select->isEnabled());
    QVERIFY(bench.Find(pellar::kReadAppKeyButton)->isEnabled());
    QVERIFY(!scan->isEnabled());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(update));
    QVERIFY(!window.OperationRunning());
  }
};

QTEST_MAIN(ClosingTest)
#include "closing_test.moc"
