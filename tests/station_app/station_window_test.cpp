// The station window over the engine on simulated devices and virtual time: tiles come and go with
// the devices, states and colours follow the units, the controls, the counters and the header,
// and a close while units run.
#include <QScrollBar>
#include <QStyleOption>

#include "station_bench.h"
#include "station_header.h"
#include "state_colours.h"

using pellar::UnitState;
using pellar::testing::Press;
using pellar::testing::StationBench;
using pellar::testing::StationDevice;
using pellar::testing::StationDevices;
using pellar::testing::WhenModal;

// Counts the paints of a widget and its children.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* widget) {
    widget->installEventFilter(this);
    for (QWidget* child : widget->findChildren<QWidget*>()) child->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
  int paints = 0;
};

class StationWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void titleAndFocusOnStart() {
    StationBench bench(StationDevices({StationDevice(1)}));
    QCOMPARE(bench.window().windowTitle(), QStringLiteral("Pellar Station"));
    QVERIFY(bench.ShowActive());
    QCOMPARE(QApplication::focusWidget(), bench.Find("start"));
    // The style draws the focus frame from the start, before any Tab.
    QTRY_VERIFY(bench.window().testAttribute(Qt::WA_KeyboardFocusChange));
    QStyleOption option;
    option.initFrom(bench.Find("start"));
    QVERIFY(option.state & QStyle::State_HasFocus);
    // Every control takes the keyboard, in order from Start.
    QList<QWidget*> reached;
    for (int i = 0; i < 5; ++i) {
      reached << QApplication::focusWidget();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QVERIFY(reached.contains(bench.Find("autoStart")));
    QVERIFY(reached.contains(bench.Find("chooseList")));
    QVERIFY(reached.contains(bench.Find("match")));
    // The tiles take it too (to scroll), with a frame in the highlight colour.
    auto* tiles = &bench.window().tiles();
    tiles->setFocus(Qt::TabFocusReason);
    QCOMPARE(tiles->palette().color(QPalette::WindowText), tiles->palette().color(QPalette::Highlight));
    bench.Find("start")->setFocus(Qt::TabFocusReason);
    QCOMPARE(tiles->palette().color(QPalette::WindowText), tiles->palette().color(QPalette::Window));
  }

  // Only devices of the pair get a tile; one comes and goes as its device does.
  void tilesAppearAndDisappearWithDevices() {
    StationBench bench(StationDevices({
        StationDevice(1),
        StationDevice(2, R"(,"arrive":2000,"depart":6000)"),
        R"({"manufacturer":"Other","product":"Mouse","vid":"0x1111","pid":"0x2222","port":"1-9"})",
    }));
    bench.window().Refresh();
    QCOMPARE(bench.window().tiles().TileCount(), 1);
    QCOMPARE(bench.TileText("1-1.1", "port"), QStringLiteral("1-1.1"));
    QCOMPARE(bench.TileText("1-1.1", "device"), QStringLiteral("Cam · sim:1"));
    QCOMPARE(bench.TileText("1-1.1", "state"), QStringLiteral("IDLE"));
    bench.Advance(2500);
    QCOMPARE(bench.window().tiles().TileCount(), 2);
    QVERIFY(bench.Tile("1-1.2") != nullptr);
    bench.Advance(5000);
    QCOMPARE(bench.window().tiles().TileCount(), 1);
    QVERIFY(bench.Tile("1-1.2") == nullptr);
    QVERIFY(bench.Tile("1-9") == nullptr);
  }

  // A device with two HID interfaces of the pair has two slots in one port: two tiles.
  void twoInterfacesInOnePortGetATileEach() {
    StationBench bench(StationDevices({
        R"({"product":"Cam","vid":"0x1234","pid":"0x5678","path":"sim:a","port":"2-1"})",
        R"({"product":"Cam","vid":"0x1234","pid":"0x5678","path":"sim:b","port":"2-1"})",
    }));
    bench.window().Refresh();
    QCOMPARE(bench.window().tiles().TileCount(), 2);
    QCOMPARE(bench.TileText("2-1", "device"), QStringLiteral("Cam · sim:a"));
    QCOMPARE(bench.TileText("2-1#2", "device"), QStringLiteral("Cam · sim:b"));
  }

  // Start flashes every idle device; the tiles show each unit's course and its end, in its colours,
  // and the counters follow. A unit's end state stays while its device does.
  void statesAndColoursFollowTheUnits() {
    StationBench bench(StationDevices({
        StationDevice(1, R"(,"fields":{"SN":"A1"})"),
        StationDevice(2, pellar::testing::kRefusesStatus),
        StationDevice(3, R"(,"depart":300)"),
    }));
    QVERIFY(bench.ShowActive());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);  // focus is on Start
    bench.Advance(150);
    QCOMPARE(bench.TileText("1-1.1", "state"), QStringLiteral("RUNNING"));
    QCOMPARE(bench.TileColour("1-1.1"), pellar::ColoursOf(UnitState::kRunning).background);
    QCOMPARE(bench.TileText("1-1.1", "file"), QStringLiteral("app.bin (1 of 2)"));
    auto* progress = bench.Tile("1-1.1")->findChild<QProgressBar*>("progress");
    QVERIFY(progress->value() > 0 && progress->value() < 100);
    QVERIFY(bench.TileText("1-1.1", "figures").contains(QStringLiteral("/s")));
    QVERIFY(bench.TileText("1-1.1", "figures").contains(QStringLiteral("left")));
    QVERIFY(bench.Find<QPushButton>("stop")->isEnabled());

    bench.Advance(20'000);
    struct Expected {
      const char* port;
      UnitState state;
      const char* caption;
    };
    for (const Expected& expected : {Expected{"1-1.1", UnitState::kPassed, "PASSED"},
                                     Expected{"1-1.2", UnitState::kFailed, "FAILED"},
                                     Expected{"1-1.3", UnitState::kUnplugged, "UNPLUGGED"}}) {
      QCOMPARE(bench.TileText(expected.port, "state"), QString::fromLatin1(expected.caption));
      QCOMPARE(bench.TileColour(expected.port), pellar::ColoursOf(expected.state).background);
    }
    QCOMPARE(bench.Tile("1-1.1")->findChild<QProgressBar*>("progress")->value(), 100);
    QVERIFY(bench.TileText("1-1.2", "problems").contains(QStringLiteral("get the ota status failed!")));
    QVERIFY(!bench.TileText("1-1.3", "problems").isEmpty());
    QCOMPARE(pellar::ColoursOf(UnitState::kPassed).background.green() > 100, true);
    QCOMPARE(pellar::ColoursOf(UnitState::kFailed).background.red() > 150, true);

    const QString counters = bench.window().header().findChild<QLabel*>("counters")->text();
    QVERIFY2(counters.startsWith(QStringLiteral("Passed 1 · Failed 2 · Cancelled 0 · Running 0 · ")),
             qPrintable(counters));
    QVERIFY(!counters.contains(QStringLiteral(" 0.0 units/h")));
    QVERIFY(!bench.Find<QPushButton>("stop")->isEnabled());
    // Start again leaves ended units alone: they stay until unplugged.
    bench.Find<QPushButton>("start")->click();
    bench.Advance(100);
    QCOMPARE(bench.TileText("1-1.1", "state"), QStringLiteral("PASSED"));
    QCOMPARE(bench.RecordLines().size(), std::size_t(3));
  }

  void stopCutsUnitsShortAsCancelled() {
    StationBench bench(StationDevices({StationDevice(1), StationDevice(2)}));
    bench.Find<QPushButton>("start")->click();
    bench.Advance(100);
    bench.Find<QPushButton>("stop")->click();
    bench.Advance(5000);
    for (const char* port : {"1-1.1", "1-1.2"}) {
      QCOMPARE(bench.TileText(port, "state"), QStringLiteral("CANCELLED"));
      QCOMPARE(bench.TileColour(port), pellar::ColoursOf(UnitState::kCancelled).background);
    }
    for (const auto& record : bench.RecordLines()) QCOMPARE(record["result"], "cancelled");
  }

  // Watching: a device plugged in is flashed at once; Stop ends the watching too.
  void startWhenPluggedIn() {
    StationBench bench(StationDevices({StationDevice(1), StationDevice(2, R"(,"arrive":1000)")}));
    auto* watching = bench.Find<QCheckBox>("autoStart");
    watching->click();
    QVERIFY(bench.station().AutoStart());
    bench.Advance(100);
    QCOMPARE(bench.TileText("1-1.1", "state"), QStringLiteral("RUNNING"));  // idle when checked
    bench.Advance(1100);
    QCOMPARE(bench.TileText("1-1.2", "state"), QStringLiteral("RUNNING"));
    bench.Find<QPushButton>("stop")->click();
    QVERIFY(!watching->isChecked());
    QVERIFY(!bench.station().AutoStart());
    bench.Advance(5000);
    QCOMPARE(bench.TileText("1-1.2", "state"), QStringLiteral("CANCELLED"));
    // Unchecking by hand turns watching off as well.
    watching->click();
    watching->click();
    QVERIFY(!bench.station().AutoStart());
  }

  // The header: the list, its files' checksums on hover, the match, the record.
  void headerShowsWhatTheStationWorksWith() {
    StationBench bench(StationDevices({StationDevice(1), StationDevice(2)}));
    pellar::StationHeader& header = bench.window().header();
    QCOMPARE(header.findChild<QLabel*>("listName")->text(), QStringLiteral("list.txt"));
    QCOMPARE(header.findChild<QLabel*>("listSummary")->text(), QStringLiteral("2 files, 20.2 KiB"));
    const QString hover = header.findChild<QLabel*>("listSummary")->toolTip();
    for (const pellar::LoadedFile& file : bench.session().update()->files)
      QVERIFY2(hover.contains(QString::fromStdString(file.sha256)), qPrintable(hover));
    QVERIFY(hover.contains(QStringLiteral("fw/app.bin")));
    QCOMPARE(header.findChild<QLabel*>("record")->text(), QString::fromStdString(bench.record_path()));
    QVERIFY(header.pair_combo()->currentText().startsWith(QStringLiteral("1234:5678")));
    QVERIFY(header.pair_combo()->currentText().contains(QStringLiteral("2 attached")));
  }

  // Started with neither list nor match: nothing to start until both are chosen in the window.
  void choosingTheMatchInTheWindow() {
    StationBench bench(StationDevices({StationDevice(1)}), /*choose=*/false);
    QVERIFY(!bench.Find<QPushButton>("start")->isEnabled());
    QCOMPARE(bench.Find<QLabel>("status")->text(), QStringLiteral("Choose an update list."));
    bench.LeaveTime();
    std::vector<std::string> problems;
    QVERIFY(bench.session().ChooseList(bench.list_path(), &problems));
    bench.window().Refresh();
    QCOMPARE(bench.Find<QLabel>("status")->text(), QStringLiteral("Choose the devices to flash."));
    pellar::PairCombo* combo = bench.window().header().pair_combo();
    combo->Refresh();
    QCOMPARE(combo->count(), 1);
    combo->setCurrentIndex(0);
    emit combo->activated(0);
    QVERIFY(bench.session().station() != nullptr);
    QTRY_COMPARE(bench.window().tiles().TileCount(), 1);
    QVERIFY(bench.Find<QPushButton>("start")->isEnabled());
    pellar::Station* chosen = bench.session().station();
    emit combo->activated(0);
    QCOMPARE(bench.session().station(), chosen);
  }

  // A record that cannot be written is known before the first unit: no station, the problem shown.
  void aRecordThatCannotBeWrittenStartsNothing() {
    StationBench bench(StationDevices({StationDevice(1)}), true, "/nonexistent-folder/record.jsonl");
    QVERIFY(bench.session().station() == nullptr);
    QVERIFY(!bench.Find<QPushButton>("start")->isEnabled());
    QVERIFY(!bench.Find<QCheckBox>("autoStart")->isEnabled());
    const QString shown = bench.window().header().findChild<QLabel*>("record")->text();
    QVERIFY2(shown.contains(QStringLiteral("cannot be written")), qPrintable(shown));
    QCOMPARE(bench.Find<QLabel>("status")->text(), shown);
    QCOMPARE(bench.window().tiles().TileCount(), 0);
  }

  void aListThatCannotBeSentIsRefusedAndTheEarlierKept() {
    StationBench bench(StationDevices({StationDevice(1)}));
    bench.LeaveTime();
    std::vector<std::string> problems;
    const std::string bad = bench.folder().Write("bad.txt", "[Update_Info]\nfile_num=1\n[file1]\nfilename=missing.bin\nDevicefilePath=a.bin\n");
    QVERIFY(!bench.session().ChooseList(bad, &problems));
    QVERIFY(!problems.empty());
    QCOMPARE(QString::fromStdString(bench.session().update()->list_path).endsWith("list.txt"), true);
  }

  // While units run the list and the match stay: a station never changes what it sends mid-way.
  void noOtherListOrMatchWhileUnitsRun() {
    StationBench bench(StationDevices({StationDevice(1)}));
    bench.Find<QPushButton>("start")->click();
    bench.Advance(50);
    std::vector<std::string> problems;
    QVERIFY(!bench.session().ChooseList(bench.list_path(), &problems));
    std::string problem;
    QVERIFY(!bench.session().ChooseMatch({0x1111, 0x2222}, &problem));
    QCOMPARE(bench.session().match()->vendor_id, std::uint16_t(0x1234));
  }

  void closingWhileUnitsRun_data() {
    QTest::addColumn<bool>("confirm");
    QTest::newRow("No keeps the units running") << false;
    QTest::newRow("Yes cuts them short, then closes") << true;
  }

  void closingWhileUnitsRun() {
    QFETCH(bool, confirm);
    StationBench bench(StationDevices({StationDevice(1), StationDevice(2)}));
    QVERIFY(bench.ShowActive());
    bench.Find<QPushButton>("start")->click();
    bench.Advance(100);
    QString question;
    WhenModal(&bench.window(), [&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      if (box != nullptr) question = box->text();
      Press(modal, confirm ? QMessageBox::Yes : QMessageBox::No);
    });
    bench.window().close();
    QVERIFY(question.contains(QStringLiteral("Stop them and close?")));
    QVERIFY(bench.window().isVisible());
    if (!confirm) {
      bench.Advance(100);
      QCOMPARE(bench.TileText("1-1.1", "state"), QStringLiteral("RUNNING"));
      return;
    }
    QVERIFY(bench.window().Closing());
    bench.window().close();  // a second close while stopping asks nothing and waits
    bench.Advance(5000);
    QTRY_VERIFY(!bench.window().isVisible());
    const auto records = bench.RecordLines();
    QCOMPARE(records.size(), std::size_t(2));
    for (const auto& record : records) QCOMPARE(record["result"], "cancelled");
  }

  void closingWithNothingRunningAsksNothing() {
    StationBench bench(StationDevices({StationDevice(1)}));
    QVERIFY(bench.ShowActive());
    QVERIFY(bench.window().close());
  }

  // Sixteen slots fit a 1366×768 screen (less a title bar and a panel) without scrolling; more
  // scroll.
  void sixteenSlotsFitWithoutScrolling_data() {
    QTest::addColumn<int>("slot_count");
    QTest::addColumn<bool>("scrolls");
    QTest::newRow("16") << 16 << false;
    QTest::newRow("24") << 24 << true;
  }

  void sixteenSlotsFitWithoutScrolling() {
    QFETCH(int, slot_count);
    QFETCH(bool, scrolls);
    std::vector<std::string> devices;
    for (int i = 1; i <= slot_count; ++i) devices.push_back(StationDevice(i));
    StationBench bench(StationDevices(devices));
    bench.window().resize(1366, 768 - 60);
    bench.window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&bench.window()));
    bench.window().Refresh();
    QApplication::processEvents();
    QCOMPARE(bench.window().tiles().TileCount(), slot_count);
    QCOMPARE(bench.window().tiles().verticalScrollBar()->isVisible(), scrolls);
    QVERIFY(!bench.window().tiles().horizontalScrollBar()->isVisible());
  }

  // A poll that finds nothing new paints nothing; one that finds a unit moving paints its tile.
  void pollsRepaintOnlyWhatChanged() {
    StationBench bench(StationDevices({StationDevice(1), StationDevice(2)}));
    bench.window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&bench.window()));
    QApplication::processEvents();
    PaintCounter first(bench.Tile("1-1.1")), second(bench.Tile("1-1.2"));
    for (int poll = 0; poll < 3; ++poll) {
      bench.window().Refresh();
      QApplication::processEvents();
    }
    QCOMPARE(first.paints, 0);
    QCOMPARE(second.paints, 0);
    bench.Find<QPushButton>("start")->click();
    bench.Advance(200);
    QApplication::processEvents();
    QVERIFY(first.paints > 0);
  }
};

QTEST_MAIN(StationWindowTest)
#include "station_window_test.moc"
