// The device list: the row colours, the selection mark, opening the marked row and the rescan.
#include <QImage>

#include "device/device_table.h"
#include "row_colour_delegate.h"
#include "window_bench.h"

using pellar::RowColourDelegate;
using pellar::testing::WindowBench;

namespace {

// Whether any pixel of the area has exactly this colour.
bool HasColour(const QImage& image, const QRect& area, const QColor& colour) {
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (image.pixelColor(x, y).rgb() == colour.rgb()) return true;
    }
  }
  return false;
}

// The device index in the simulated configuration that the last open reached.
int LastOpenedDevice(const pellar::SimulatedHid& sim) {
  int device = -2;
  for (const pellar::SimCall& call : sim.calls()) {
    if (call.op == "open") device = call.device;
  }
  return device;
}

}  // namespace

class DeviceListTest : public QObject {
  Q_OBJECT

 private slots:
  // Rows 0 and 2 selected, the focus on a button: every cell of a selected row green on blue,
  // every other cell black on white.
  void selectedRowsKeepTheirColoursWithoutFocus() {
    WindowBench bench;
    QVERIFY(bench.ShowActive());
    bench.ClickRow(0);
    bench.ClickRow(2, Qt::ControlModifier);
    bench.Find(pellar::kScanDevicesButton)->setFocus();
    QVERIFY(!bench.list().hasFocus());
    QApplication::processEvents();

    const QImage image = bench.list().viewport()->grab().toImage();
    const qreal scale = image.devicePixelRatio();
    for (int row = 0; row < 3; ++row) {
      const bool selected = row != 1;
      const QColor background = selected ? RowColourDelegate::kSelectedBackground
                                         : RowColourDelegate::kBackground;
      const QColor text = selected ? RowColourDelegate::kSelectedText : RowColourDelegate::kText;
      for (int column = 0; column < 4; ++column) {
        const QRect cell = bench.list().visualRect(bench.list().model()->index(row, column));
        const QRect pixels(cell.topLeft() * scale, cell.size() * scale);
        const QString where = QString("row %1 column %2").arg(row).arg(column);
        QCOMPARE(image.pixelColor(pixels.left() + 2, pixels.center().y()).rgb(), background.rgb());
        QVERIFY2(HasColour(image, pixels.adjusted(1, 1, -2, -2), text), qPrintable(where));
      }
    }
  }

  void selectionMarkFollowsClicks_data() {
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QList<int>>("modifiers");  // 0 plain, 1 Ctrl, 2 Shift
    QTest::addColumn<int>("mark");
    QTest::addColumn<QList<int>>("selected");
    QTest::newRow("plain click") << QList<int>{1} << QList<int>{0} << 1 << QList<int>{1};
    QTest::newRow("plain click moves the mark")
        << QList<int>{0, 2} << QList<int>{0, 0} << 2 << QList<int>{2};
    QTest::newRow("ctrl click sets it")
        << QList<int>{0, 2} << QList<int>{0, 1} << 2 << QList<int>{0, 2};
    QTest::newRow("shift click does not")
        << QList<int>{0, 2} << QList<int>{0, 2} << 0 << QList<int>{0, 1, 2};
    QTest::newRow("shift click upwards")
        << QList<int>{2, 1} << QList<int>{0, 2} << 2 << QList<int>{1, 2};
    QTest::newRow("ctrl click that deselects keeps the mark there")
        << QList<int>{0, 1, 1} << QList<int>{0, 1, 1} << 1 << QList<int>{0};
  }

  void selectionMarkFollowsClicks() {
    QFETCH(QList<int>, rows);
    QFETCH(QList<int>, modifiers);
    QFETCH(int, mark);
    QFETCH(QList<int>, selected);
    WindowBench bench;
    QVERIFY(bench.ShowActive());
    const Qt::KeyboardModifiers kinds[] = {Qt::NoModifier, Qt::ControlModifier,
                                           Qt::ShiftModifier};
    for (int click = 0; click < rows.size(); ++click) {
      bench.ClickRow(rows[click], kinds[modifiers[click]]);
    }
    const pellar::DeviceSelection selection = bench.list().Selection();
    QCOMPARE(selection.mark, mark);
    QCOMPARE(QList<int>(selection.selected_rows.begin(), selection.selected_rows.end()), selected);
  }

  void selectionMarkFollowsTheKeyboardWithoutShift() {
    WindowBench bench;
    QVERIFY(bench.ShowActive());
    bench.ClickRow(0);
    QTest::keyClick(&bench.list(), Qt::Key_Down);
    QCOMPARE(bench.list().selection_mark(), 1);
    QTest::keyClick(&bench.list(), Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(bench.list().selection_mark(), 1);
    QCOMPARE(bench.list().Selection().selected_rows, (std::vector<int>{1, 2}));
  }

  // Rows: A (device 0), C (device 2), B (device 1).
  void openerOpensTheMarkedRow_data() {
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QList<int>>("modifiers");  // 0 plain, 1 Ctrl
    QTest::addColumn<int>("device");
    QTest::newRow("single row") << QList<int>{2} << QList<int>{0} << 1;
    QTest::newRow("the mark, not the first selected row")
        << QList<int>{0, 2} << QList<int>{0, 1} << 1;
    QTest::newRow("the mark even when deselected")
        << QList<int>{0, 1, 1} << QList<int>{0, 1, 1} << 2;
  }

  void openerOpensTheMarkedRow() {
    QFETCH(QList<int>, rows);
    QFETCH(QList<int>, modifiers);
    QFETCH(int, device);
    WindowBench bench;
    QVERIFY(bench.ShowActive());
    for (int click = 0; click < rows.size(); ++click) {
      bench.ClickRow(rows[click], modifiers[click] ? Qt::ControlModifier : Qt::NoModifier);
    }
    pellar::DeviceHandle handle = bench.window().SelectedDeviceOpener()();
    QVERIFY(handle != nullptr);
    QCOMPARE(LastOpenedDevice(bench.sim()), device);
    pellar::CloseDevice(bench.window().context().hid, handle);
    QCOMPARE(bench.sim().OpenHandles(), 0);
  }

  void rescanReplacesRowsAndClearsTheSelection() {
    WindowBench bench;
    QVERIFY(bench.ShowActive());
    bench.ClickRow(0);
    bench.ClickRow(1, Qt::ControlModifier);
    QTest::mouseClick(bench.Find(pellar::kScanDevicesButton), Qt::LeftButton);
    QCOMPARE(bench.list().rowCount(), 3);
    QCOMPARE(bench.list().item(1, 0)->text(), QString("Maker C"));
    QVERIFY(bench.list().Selection().selected_rows.empty());
    QCOMPARE(bench.list().selection_mark(), -1);
    // With nothing selected, opening asks for a selection and opens nothing.
    QString message;
    pellar::testing::WhenModal(&bench.window(), [&message](QWidget* box) {
      if (auto* message_box = qobject_cast<QMessageBox*>(box)) message = message_box->text();
    });
    QVERIFY(bench.window().SelectedDeviceOpener()() == nullptr);
    QCOMPARE(message, QString("please select devices!"));
  }
};

QTEST_MAIN(DeviceListTest)
#include "device_list_test.moc"
