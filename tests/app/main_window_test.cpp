// The main window once it has started: its controls, the device list's columns and rows, the
// part of the window in view, the tab order and the About command.
#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "dialog_units.h"
#include "main_window_template.h"
#include "status_line.h"
#include "window_bench.h"

using pellar::testing::WindowBench;

namespace {

QString CaptionOf(QWidget* widget) {
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
  if (auto* group = qobject_cast<QGroupBox*>(widget)) return group->title();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
  return QString();
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void controlsAfterStartUp_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("tabStop");
    struct Row {
      int id;
      const char* kind;
      const char* caption;
      bool visible;
      bool tab_stop;
    };
    const Row rows[] = {
        {1006, "QAbstractItemView", "", true, true},
        {1010, "QPushButton", "scan devices", true, true},
        {1011, "QLineEdit", "", false, true}, {1012, "QPushButton", "写SN", false, true},
        {1013, "QLineEdit", "", false, true}, {1014, "QPushButton", "写PID", false, true},
        {1015, "QLineEdit", "", false, true}, {1016, "QPushButton", "写VID", false, true},
        {1037, "QLineEdit", "", false, true}, {1007, "QPushButton", "写Manufature", false, true},
        {1038, "QLineEdit", "", false, true}, {1039, "QPushButton", "写BCD", false, true},
        {1049, "QLineEdit", "", false, true}, {1050, "QPushButton", "写Model", false, true},
        {1051, "QLineEdit", "", false, true}, {1052, "QPushButton", "写CMEI", false, true},
        {1053, "QLineEdit", "", false, true}, {1054, "QPushButton", "读SN", false, true},
        {1055, "QLineEdit", "", false, true}, {1056, "QPushButton", "读PID", false, true},
        {1057, "QLineEdit", "", false, true}, {1058, "QPushButton", "读VID", false, true},
        {1059, "QLineEdit", "", false, true}, {1060, "QPushButton", "读Manufature", false, true},
        {1061, "QLineEdit", "", false, true}, {1062, "QPushButton", "读BCD", false, true},
        {1063, "QLineEdit", "", false, true}, {1064, "QPushButton", "读Model", false, true},
        {1065, "QLineEdit", "", false, true}, {1066, "QPushButton", "读CMEI", false, true},
        {1067, "QPushButton", "组包", false, true},
        {1068, "QPushButton", "update", true, true},
        {1069, "QPushButton", "select config files", true, true},
        {1070, "QLineEdit", "", true, true},
        {1082, "QGroupBox", "读写设备信息", false, false},
        {1083, "QGroupBox", "ota", true, false},
        {1077, "QProgressBar", "", true, false},
        {1078, "QLabel", "", true, false},
        {1074, "QLineEdit", "", false, true},
        {1075, "QPushButton", "读版本号", false, true},
        {1084, "QGroupBox", "获取设备版本信息", false, false},
        {1085, "QLineEdit", "", true, true}, {1086, "QPushButton", "读AppKey", true, true},
        {1087, "QLineEdit", "", true, true}, {1088, "QPushButton", "写AppKey", true, true},
    };
    for (const Row& row : rows) {
      QTest::addRow("%d", row.id) << row.id << QString(row.kind) << QString::fromUtf8(row.caption)
                                  << row.visible << row.tab_stop;
    }
  }

  void controlsAfterStartUp() {
    QFETCH(int, id);
    QFETCH(QString, kind);
    QFETCH(QString, caption);
    QFETCH(bool, visible);
    QFETCH(bool, tabStop);
    WindowBench bench;
    QWidget* control = bench.Find(id);
    QVERIFY(control != nullptr);
    QCOMPARE(bench.window().Control(id), control);
    QVERIFY2(control->inherits(kind.toLatin1()), control->metaObject()->className());
    QCOMPARE(CaptionOf(control), caption);
    QCOMPARE(!control->isHidden(), visible);
    QCOMPARE(bool(control->focusPolicy() & Qt::TabFocus), tabStop);
    QVERIFY(control->isEnabled());
  }

  void windowFrameAndIcon() {
    WindowBench bench;
    CPellarDlg& window = bench.window();
    QCOMPARE(window.windowTitle(), QString("Pellar Update Tools"));
    QCOMPARE(window.minimumSize(), window.maximumSize());  // the user cannot resize it
    QVERIFY(!(window.windowFlags() & Qt::WindowMinMaxButtonsHint));
    QVERIFY(window.windowFlags() & Qt::WindowCloseButtonHint);
    for (int size : {16, 32}) QVERIFY(!window.windowIcon().pixmap(size).isNull());
    QVERIFY(bench.ShowActive());
    for (QPushButton* button : window.findChildren<QPushButton*>()) QVERIFY(!button->isDefault());
  }

  void progressBarAndStatusLine() {
    WindowBench bench;
    auto* bar = bench.Find<QProgressBar>(pellar::kProgressBar);
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 100);
    QCOMPARE(bar->value(), 0);
    auto* status = bench.Find<QLabel>(pellar::kStatusText);
    QVERIFY(status->text().isEmpty());
    QVERIFY(status->alignment() & Qt::AlignHCenter);
  }

  // A status too long for the line ends in "…" (never cut at both sides) and is whole in the
  // tooltip; one that fits is drawn as it is.
  void statusLineElidesWhatDoesNotFit_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("fits");
    QTest::newRow("short") << "update ok" << true;
    QTest::newRow("long") << "update a_firmware_image_with_a_very_long_name.bin ..." << false;
  }

  void statusLineElidesWhatDoesNotFit() {
    QFETCH(QString, text);
    QFETCH(bool, fits);
    WindowBench bench;
    bench.window().SetStatus(text.toStdString());
    auto* status = bench.Find<pellar::StatusLine>(pellar::kStatusText);
    QCOMPARE(status->text(), text);
    QCOMPARE(status->toolTip(), text);
    const QString shown = status->ShownText();
    QVERIFY(status->fontMetrics().horizontalAdvance(shown) <= status->contentsRect().width());
    if (fits) {
      QCOMPARE(shown, text);
    } else {
      QVERIFY2(shown.endsWith(QChar(0x2026)) && text.startsWith(shown.chopped(1)), qPrintable(shown));
    }
  }

  void deviceListColumns() {
    WindowBench bench;
    pellar::DeviceListView& list = bench.list();
    const char* titles[] = {"Manufacturer", "DeviceName", "ProductID", "VendorID"};
    const int widths[] = {200, 150, 150, 150};
    QCOMPARE(list.columnCount(), 4);
    for (int column = 0; column < 4; ++column) {
      QCOMPARE(list.horizontalHeaderItem(column)->text(), QString(titles[column]));
      QCOMPARE(list.columnWidth(column), widths[column]);
    }
    QVERIFY(list.showGrid());
    QCOMPARE(list.selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(list.selectionMode(), QAbstractItemView::ExtendedSelection);
  }

  void rowsFromTheScanAtStartUp() {
    WindowBench bench;
    const QStringList expected[] = {{"Maker A", "Device A", "0x000a", "0x1a2b"},
                                    {"Maker C", "Device C", "0x00cc", "0x3c4d"},
                                    {"Maker B", "Device B", "0x000b", "0x1a2b"}};
    pellar::DeviceListView& list = bench.list();
    QCOMPARE(list.rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
      for (int column = 0; column < 4; ++column) {
        QCOMPARE(list.item(row, column)->text(), expected[row][column]);
      }
    }
    QVERIFY(list.Selection().selected_rows.empty());
  }

  void noDeviceGivesAnEmptyList() {
    WindowBench bench(R"({"devices": []})");
    QCOMPARE(bench.list().rowCount(), 0);
    QVERIFY(bench.window().findChildren<QMessageBox*>().isEmpty());
  }

  // The list, "scan devices" and the "ota" group in view; from 227 dialog units down outside,
  // though the AppKey row is shown.
  void windowShowsTheUpperDivision() {
    WindowBench bench;
    CPellarDlg& window = bench.window();
    QVERIFY(bench.ShowActive());
    const QRect client = window.rect();
    for (int id : {pellar::kDeviceList, pellar::kScanDevicesButton, pellar::kOtaGroup,
                   pellar::kUpdateButton, pellar::kSelectConfigButton, pellar::kProgressBar}) {
      QVERIFY2(client.contains(bench.Find(id)->geometry()), qPrintable(QString::number(id)));
    }
    const pellar::DialogUnits units(window.font());
    QVERIFY(client.height() < units.ToPixelsY(227));
    for (const pellar::ControlTemplate& control : pellar::MainWindowTemplate()) {
      if (control.y < 227) continue;
      QVERIFY(!client.intersects(bench.Find(control.id)->geometry()));
    }
    for (int id : {1085, 1086, 1087, 1088}) QVERIFY(bench.Find(id)->isVisible());
  }

  void focusStartsOnTheListAndTabReachesTheAppKeyRow() {
    WindowBench bench;
    QVERIFY(bench.ShowActive());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&bench.list()));
    QStringList order;
    for (int step = 0; step < 9; ++step) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      order << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(order, QStringList({"1010", "1068", "1069", "1070", "1085", "1086", "1087", "1088",
                                 "1006"}));
  }

  void focusedAppKeyButtonRunsItsActionFromTheKeyboard() {
    WindowBench bench;
    int runs = 0;
    bench.window().BindButton(pellar::kReadAppKeyButton, [&runs] { ++runs; });
    QVERIFY(bench.ShowActive());
    bench.Find(pellar::kReadAppKeyButton)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(runs, 1);
  }

  void aboutCommandInTheContextMenu() {
    WindowBench bench;
    CPellarDlg& window = bench.window();
    QCOMPARE(window.contextMenuPolicy(), Qt::ActionsContextMenu);
    QVERIFY(window.actions().contains(&window.about_action()));
    QCOMPARE(window.about_action().text(), QString("关于 Pellar(&A)..."));
    QCOMPARE(window.about_action().shortcut(), QKeySequence(Qt::Key_F1));
  }

  void hiddenPackButtonOpensThePacketBuilderModally() {
    WindowBench bench;
    QVERIFY(bench.ShowActive());
    QString opened;
    bool window_disabled = false;
    pellar::testing::WhenModal(&bench.window(), [&](QWidget* modal) {
      if (modal == nullptr) return;
      opened = modal->objectName();
      window_disabled = modal->isModal() && modal->parentWidget() == &bench.window() &&
                        !bench.Find(pellar::kUpdateButton)->isEnabled();
    });
    bench.Find<QPushButton>(pellar::kPacketBuilderButton)->click();
    QCOMPARE(opened, QString("129"));
    QVERIFY(window_disabled);
    QVERIFY(!bench.Find(pellar::kPacketBuilderButton)->isVisible());
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
