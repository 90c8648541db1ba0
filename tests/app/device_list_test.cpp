// The device list: the row colours, the selection mark, opening the marked row and the rescan.
#include <QImage>

#include "device/device_table.h"
#include "row_colour_delegate.h"
#include "window_bench.h"

using pellar::RowColourDelegate;
using pellar::testing::WindowBench;

namespace {

// Two units of one kind, then a third of that kind that is plugged in only once the first has
// gone (the line's practice: unplug, plug the next, press again without a rescan).
const char* kTwinDevices = R"({"devices": [
  {"manufacturer": "Acme", "product": "Unit 1", "vid": "0x1234", "pid": "0x5678", "depart": 1000},
  {"manufacturer": "Acme", "product": "Unit 2", "vid": "0x1234", "pid": "0x5678"},
  {"manufacturer": "Acme", "product": "Unit 3", "vid": "0x1234", "pid": "0x5678", "arrive": 2000}
]})";

// The device each row of kFiveDevices opens: A, C, B.
constexpr int kDeviceOfRow[] = {0, 2, 1};

struct KeyStroke {
  Qt::Key key;
  Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

// How many pixels of this colour lie on one line of the area.
int CountOnLine(const QImage& image, int y, int left, int right, const QColor& colour) {
  int count = 0;
  for (int x = left; x <= right; ++x) count += image.pixelColor(x, y).rgb() == colour.rgb();
  return count;
}

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
    if (call.op == "open" || call.op == "open_path") device = call.device;
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

  // From the list's focus by Tab, with nothing selected: what each key selects, where the mark
  // goes, and that the mark's row is the device that opening reaches.
  void keysSelectAndMark_data() {
    QTest::addColumn<QList<KeyStroke>>("keys");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("mark");
    const auto shift = Qt::ShiftModifier;
    const auto ctrl = Qt::ControlModifier;
    using K = QList<KeyStroke>;
    QTest::newRow("Space selects the first row") << K{{Qt::Key_Space}} << QList<int>{0} << 0;
    QTest::newRow("Down selects the first row") << K{{Qt::Key_Down}} << QList<int>{0} << 0;
    QTest::newRow("Down Down") << K{{Qt::Key_Down}, {Qt::Key_Down}} << QList<int>{1} << 1;
    QTest::newRow("Down Down Up") << K{{Qt::Key_Down}, {Qt::Key_Down}, {Qt::Key_Up}}
                                  << QList<int>{0} << 0;
    QTest::newRow("End") << K{{Qt::Key_End}} << QList<int>{2} << 2;
    QTest::newRow("End Home") << K{{Qt::Key_End}, {Qt::Key_Home}} << QList<int>{0} << 0;
    QTest::newRow("PgDn") << K{{Qt::Key_PageDown}} << QList<int>{2} << 2;
    QTest::newRow("End PgUp") << K{{Qt::Key_End}, {Qt::Key_PageUp}} << QList<int>{0} << 0;
    QTest::newRow("Down Shift+Down") << K{{Qt::Key_Down}, {Qt::Key_Down, shift}}
                                     << QList<int>{0, 1} << 0;
    QTest::newRow("Shift+Down with nothing selected") << K{{Qt::Key_Down, shift}}
                                                      << QList<int>{0, 1} << 0;
    QTest::newRow("End Shift+Home") << K{{Qt::Key_End}, {Qt::Key_Home, shift}}
                                    << QList<int>{0, 1, 2} << 2;
    QTest::newRow("Ctrl+A") << K{{Qt::Key_A, ctrl}} << QList<int>{0, 1, 2} << 0;
    // Ctrl moves the focus frame, and the mark with it, without selecting.
    QTest::newRow("Down Down Ctrl+End") << K{{Qt::Key_Down}, {Qt::Key_Down}, {Qt::Key_End, ctrl}}
                                        << QList<int>{1} << 2;
    QTest::newRow("Down Ctrl+Down Ctrl+Space")
        << K{{Qt::Key_Down}, {Qt::Key_Down, ctrl}, {Qt::Key_Space, ctrl}} << QList<int>{0, 1} << 1;
    QTest::newRow("Ctrl+Space takes the only row away, Down selects it again")
        << K{{Qt::Key_Down}, {Qt::Key_Space, ctrl}, {Qt::Key_Down}} << QList<int>{0} << 0;
  }

  void keysSelectAndMark() {
    QFETCH(QList<KeyStroke>, keys);
    QFETCH(QList<int>, selected);
    QFETCH(int, mark);
    WindowBench bench;
    QVERIFY(bench.ShowActive());
    bench.Find(pellar::kScanDevicesButton)->setFocus();
    QTest::keyClick(&bench.window(), Qt::Key_Tab, Qt::ShiftModifier);  // back into the list
    QVERIFY(bench.list().hasFocus());
    for (const KeyStroke& stroke : keys) QTest::keyClick(&bench.list(), stroke.key, stroke.modifiers);

    const pellar::DeviceSelection selection = bench.list().Selection();
    QCOMPARE(QList<int>(selection.selected_rows.begin(), selection.selected_rows.end()), selected);
    QCOMPARE(selection.mark, mark);
    // The focus frame is on the mark's row unless Shift has moved it on.
    bool shifted = false;
    for (const KeyStroke& stroke : keys) shifted |= bool(stroke.modifiers & Qt::ShiftModifier);
    if (!shifted) QCOMPARE(bench.list().currentRow(), mark);
    pellar::DeviceHandle handle = bench.window().SelectedDeviceOpener()();
    QVERIFY(handle != nullptr);
    QCOMPARE(LastOpenedDevice(bench.sim()), kDeviceOfRow[mark]);
    pellar::CloseDevice(bench.window().context().hid, handle);
  }

  // The focused row is framed, in a colour that shows on it whether or not it is selected; a
  // list without the focus frames no row.
  void focusedRowIsFramed_data() {
    QTest::addColumn<bool>("selected");
    QTest::addColumn<bool>("list_focused");
    QTest::newRow("selected row") << true << true;
    QTest::newRow("row not selected") << false << true;
    QTest::newRow("no focus, no frame") << true << false;
  }

  void focusedRowIsFramed() {
    QFETCH(bool, selected);
    QFETCH(bool, list_focused);
    WindowBench bench;
    QVERIFY(bench.ShowActive());
    bench.ClickRow(0);
    bench.ClickRow(1, Qt::ControlModifier);  // rows 0 and 1 selected, the focus on row 1
    if (!selected) QTest::keyClick(&bench.list(), Qt::Key_Space, Qt::ControlModifier);
    if (!list_focused) bench.Find(pellar::kScanDevicesButton)->setFocus();
    QApplication::processEvents();

    const QImage image = bench.list().viewport()->grab().toImage();
    // The last column's text is short: the frame's top line runs through empty background there.
    const QRect cell = bench.list().visualRect(bench.list().model()->index(1, 3));
    const QColor frame =
        selected ? RowColourDelegate::kSelectedFocusFrame : RowColourDelegate::kFocusFrame;
    const int on_frame = CountOnLine(image, cell.top() + 1, cell.left(), cell.right() - 2, frame);
    if (list_focused) {
      QVERIFY2(on_frame > cell.width() / 4, qPrintable(QString::number(on_frame)));
    } else {
      QCOMPARE(on_frame, 0);
    }
    // Another row carries no frame.
    const QRect other = bench.list().visualRect(bench.list().model()->index(0, 3));
    QCOMPARE(CountOnLine(image, other.top() + 1, other.left(), other.right() - 2,
                         RowColourDelegate::kSelectedFocusFrame),
             0);
  }

  // Twin units: each row opens its own; a row whose unit is gone opens the next of its kind.
  void twinRowsOpenTheirOwnDevice() {
    WindowBench bench(kTwinDevices);
    QVERIFY(bench.ShowActive());
    QCOMPARE(bench.list().rowCount(), 2);  // Unit 1, Unit 2; Unit 3 is not plugged in yet
    for (int row : {1, 0}) {
      bench.ClickRow(row);
      pellar::DeviceHandle handle = bench.window().SelectedDeviceOpener()();
      QVERIFY(handle != nullptr);
      QCOMPARE(LastOpenedDevice(bench.sim()), row);
      pellar::CloseDevice(bench.window().context().hid, handle);
    }
    bench.clock().Advance(3000);  // Unit 1 unplugged, Unit 3 plugged in; no rescan
    pellar::DeviceHandle handle = bench.window().SelectedDeviceOpener()();
    QVERIFY(handle != nullptr);
    QCOMPARE(LastOpenedDevice(bench.sim()), 1);  // the first listed with the pair
    pellar::CloseDevice(bench.window().context().hid, handle);
    QCOMPARE(bench.sim().OpenHandles(), 0);
  }

  void cellsShowTheirWholeTextInATooltip() {
    WindowBench bench(R"({"devices": [{"manufacturer": "A maker whose name is far too long for its column",
        "product": "Device", "vid": "0x1234", "pid": "0x5678"}]})");
    for (int column = 0; column < 4; ++column) {
      const QModelIndex cell = bench.list().model()->index(0, column);
      QCOMPARE(cell.data(Qt::ToolTipRole).toString(), cell.data(Qt::DisplayRole).toString());
    }
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
