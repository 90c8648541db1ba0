// The About box, the window as the operator of an operation, and the window's options.
#include <QLabel>
#include <QProgressBar>

#include <sstream>

#include "about_dlg.h"
#include "window_bench.h"
#include "window_options.h"

using pellar::testing::WhenModal;
using pellar::testing::WindowBench;

class AboutAndOperatorTest : public QObject {
  Q_OBJECT

 private slots:
  void aboutBoxTexts() {
    CAboutDlg about;
    QCOMPARE(about.windowTitle(), QString("About Pellar"));
    QCOMPARE(about.text_label()->text(), QString("Pellar，1.0 "));
    QCOMPARE(about.ok_button()->text(), QString("确定"));
    QCOMPARE(about.ok_button()->objectName(), QString("1"));
    QVERIFY(about.ok_button()->isDefault());
    QVERIFY(!about.icon_label()->pixmap().isNull());
    QCOMPARE(about.minimumSize(), about.maximumSize());
  }

  void aboutBoxEnds_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
  }

  void aboutBoxEnds() {
    QFETCH(int, key);
    CAboutDlg about;
    QTimer::singleShot(0, &about, [&about, key] { QTest::keyClick(&about, Qt::Key(key)); });
    QTimer::singleShot(5000, &about, [&about] { about.done(-1); });
    QVERIFY(about.exec() != -1);
  }

  void f1OpensTheAboutBoxOverTheWindow() {
    WindowBench bench;
    QVERIFY(bench.ShowActive());
    bool about_shown = false;
    QWidget* parent = nullptr;
    WhenModal(&bench.window(), [&](QWidget* modal) {
      about_shown = qobject_cast<CAboutDlg*>(modal) != nullptr;
      parent = modal != nullptr ? modal->parentWidget() : nullptr;
    });
    QTest::keyClick(&bench.list(), Qt::Key_F1);
    QVERIFY(about_shown);
    QCOMPARE(parent, static_cast<QWidget*>(&bench.window()));
    QVERIFY(bench.window().isVisible());
  }

  void messageBoxHasOneOkButton() {
    WindowBench bench;
    QString title, text;
    QStringList buttons;
    WhenModal(&bench.window(), [&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      if (box == nullptr) return;
      title = box->windowTitle();
      text = box->text();
      for (QAbstractButton* button : box->buttons()) buttons << button->text();
      box->button(QMessageBox::Ok)->click();
    });
    bench.window().ShowMessage("HID open failed! <b>中文</b>");
    QCOMPARE(title, QString("Pellar"));
    QCOMPARE(text, QString("HID open failed! <b>中文</b>"));
    QCOMPARE(buttons.size(), 1);
  }

  // A short message still gives a box wide enough for its title, with room beside it for a title
  // bar's icon and buttons (a line's height each), and a frame without minimise or maximise.
  void messageBoxFitsItsTitle() {
    WindowBench bench;
    int width = 0;
    int needed = 0;
    Qt::WindowFlags flags;
    WhenModal(&bench.window(), [&](QWidget* modal) {
      if (modal == nullptr) return;
      QFont title_font = modal->font();
      title_font.setBold(true);
      const QFontMetrics metrics(title_font);
      needed = metrics.horizontalAdvance("Pellar") + 5 * metrics.height();
      width = modal->width();
      flags = modal->windowFlags();
    });
    bench.window().ShowMessage("ok");
    QVERIFY2(width >= needed, qPrintable(QString("%1 < %2").arg(width).arg(needed)));
    QVERIFY(!(flags & Qt::WindowMinMaxButtonsHint));
  }

  void progressPositions_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("shown");
    QTest::newRow("start") << 0 << 0;
    QTest::newRow("middle") << 57 << 57;
    QTest::newRow("end") << 100 << 100;
    QTest::newRow("past the end shows full") << 150 << 100;
    QTest::newRow("below the start shows empty") << -3 << 0;
  }

  void progressPositions() {
    QFETCH(int, position);
    QFETCH(int, shown);
    WindowBench bench;
    bench.window().SetProgress(42);
    bench.window().SetProgress(position);
    QCOMPARE(bench.Find<QProgressBar>(pellar::kProgressBar)->value(), shown);
  }

  void statusLine() {
    WindowBench bench;
    bench.window().SetStatus("update 固件.bin ...");
    QCOMPARE(bench.Find<QLabel>(pellar::kStatusText)->text(), QString("update 固件.bin ..."));
  }

  void breatheWithoutACloseSaysNo() {
    WindowBench bench;
    QVERIFY(!bench.window().Breathe());
  }

  void options_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("linked");
    QTest::addColumn<QString>("error");
    const QString examples = PELLAR_SOURCE_DIR "/examples/devices.json";
    QTest::newRow("example devices") << QStringList{"--simulate", examples} << 0 << true << "";
    QTest::newRow("missing file") << QStringList{"--simulate", "/nonexistent/devices.json"} << 2
                                  << false << "\"/nonexistent/devices.json\": cannot be read";
    QTest::newRow("unknown encoding")
        << QStringList{"--simulate", examples, "--encoding", "NO-SUCH-CODE"} << 2 << false
        << "NO-SUCH-CODE";
    QTest::newRow("unknown option") << QStringList{"--bogus"} << 2 << false << "--bogus";
    QTest::newRow("help") << QStringList{"--help"} << 0 << false << "";
  }

  void options() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(bool, linked);
    QFETCH(QString, error);
    std::vector<std::string> words;
    for (const QString& argument : arguments) words.push_back(argument.toStdString());
    std::ostringstream out, err;
    int got = -1;
    std::unique_ptr<pellar::Link> link = pellar::MakeWindowLink(words, out, err, &got);
    QCOMPARE(got, status);
    QCOMPARE(link != nullptr, linked);
    QVERIFY2(QString::fromStdString(err.str()).contains(error), err.str().c_str());
    if (linked) {
      QVERIFY(link->simulation() != nullptr);
      QCOMPARE(pellar::ScanDevices(link->hid()).size(), std::size_t{2});
    }
  }
};

QTEST_MAIN(AboutAndOperatorTest)
#include "about_and_operator_test.moc"
