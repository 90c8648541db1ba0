// The update from the window: choosing the list file, the buttons held during a run, and a close
// that arrives while files are being sent.
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

#include <string>

#include "support/temp_dir.h"
#include "window_bench.h"

using pellar::testing::RunModal;
using pellar::testing::TempDir;
using pellar::testing::WhenModal;
using pellar::testing::WindowBench;

namespace {

const char* kOneDevice =
    R"({"devices":[{"manufacturer":"Acme","product":"Cam","vid":"0x1234","pid":"0x5678"}]})";

// Answers every message box as it comes up and notes its text.
class MessageAnswerer {
 public:
  MessageAnswerer() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        texts << box->text();
        box->accept();
      }
    });
    timer_.start(1);
  }
  QStringList texts;

 private:
  QTimer timer_;
};

// Picks `path` in the file dialog that "select config files" opens, or cancels it when empty.
QStringList Choose(WindowBench& bench, const QString& path) {
  QStringList filters;
  WhenModal(&bench.window(), [&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    if (dialog == nullptr) return;
    // The entries as the operator reads them, the one shown first leading.
    if (auto* types = dialog->findChild<QComboBox*>("fileTypeCombo")) {
      filters << types->currentText();
      for (int i = 0; i < types->count(); ++i) filters << types->itemText(i);
    }
    if (path.isEmpty()) {
      dialog->reject();
    } else {
      dialog->selectFile(path);
      static_cast<QDialog*>(dialog)->accept();  // the file dialog's own accept checks the file
    }
  });
  bench.Find<QPushButton>(pellar::kSelectConfigButton)->click();
  return filters;
}

std::string Bytes(std::size_t size, int seed) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + seed) % 251);
  return bytes;
}

}  // namespace

class UpdateWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // The field only shows the chosen path: a cancelled choice keeps it, typing over it changes
  // nothing, and the update reads the path the chooser set.
  void chooseTheListThenUpdate() {
    TempDir folder;
    std::string firmware = Bytes(2500, 1);
    folder.Write("fw/app.bin", firmware);
    const QString list = QString::fromStdString(folder.Write(
        "list.txt", "[Update_Info]\nfile_num=1\n[file1]\nfilename=fw/app.bin\nDevicefilePath=app.bin\n"));
    WindowBench bench(kOneDevice);
    QVERIFY(bench.ShowActive());
    auto* field = bench.Find<QLineEdit>(pellar::kUpdateListPathEdit);

    QCOMPARE(Choose(bench, list), (QStringList{QStringLiteral("文本文件(*.txt)"), QStringLiteral("文本文件(*.txt)"),
                                               QStringLiteral("所有文件(*.*)")}));
    QCOMPARE(field->text(), list);
    Choose(bench, QString());
    QCOMPARE(field->text(), list);
    field->setText(QStringLiteral("/typed/by/hand.txt"));

    bench.ClickRow(0);
    MessageAnswerer answerer;
    QMap<int, bool> enabled_during_run;
    int breaths_seen = 0;
    QTimer::singleShot(0, &bench.window(), [&] {
      ++breaths_seen;
      for (int id : {int(pellar::kUpdateButton), int(pellar::kSelectConfigButton),
                     int(pellar::kScanDevicesButton), int(pellar::kReadAppKeyButton),
                     int(pellar::kWriteAppKeyButton)})
        enabled_during_run[id] = bench.Find(id)->isEnabled();
    });
    bench.Find<QPushButton>(pellar::kUpdateButton)->click();

    QCOMPARE(breaths_seen, 1);
    for (auto it = enabled_during_run.begin(); it != enabled_during_run.end(); ++it)
      QVERIFY2(!it.value(), qPrintable(QString::number(it.key())));
    QCOMPARE(answerer.texts, QStringList{QStringLiteral("update ok!")});
    const std::vector<pellar::ReceivedFile>& files = bench.sim().ReceivedFiles(0);
    QCOMPARE(files.size(), std::size_t{1});
    QVERIFY(files[0].data == firmware && files[0].complete);
    QCOMPARE(bench.Find<QProgressBar>(pellar::kProgressBar)->value(), 0);
    QCOMPARE(bench.Find<QLabel>(pellar::kStatusText)->text(), QString());
    for (int id : enabled_during_run.keys()) QVERIFY(bench.Find(id)->isEnabled());
    QCOMPARE(bench.sim().OpenHandles(), 0);
  }

  // The close cuts the current file short at the next packet; the status is still asked for, no
  // later file is sent, no message is shown, and the window's run ends after the update's.
  void closeDuringARunCancelsItAndEndsTheWindow() {
    TempDir folder;
    std::string first = Bytes(10100, 2);
    folder.Write("a.bin", first);
    folder.Write("b.bin", Bytes(100, 3));
    const QString list = QString::fromStdString(folder.Write(
        "list.txt", "[Update_Info]\nfile_num=2\n[file1]\nfilename=a.bin\nDevicefilePath=a.bin\n"
                    "[file2]\nfilename=b.bin\nDevicefilePath=b.bin\n"));
    WindowBench bench(kOneDevice);
    QVERIFY(bench.ShowActive());
    Choose(bench, list);
    bench.ClickRow(0);
    MessageAnswerer answerer;
    CPellarDlg& window = bench.window();
    QTimer closer;
    // Start, file type and three packets on the device: then the operator closes the window.
    QObject::connect(&closer, &QTimer::timeout, [&] {
      if (bench.sim().Requests(0).size() >= 5 && window.isVisible()) window.close();
    });
    closer.start(0);
    int ended = RunModal(window, [&] { bench.Find<QPushButton>(pellar::kUpdateButton)->click(); });
    closer.stop();

    QCOMPARE(ended, int(QDialog::Rejected));
    QVERIFY(window.CloseRequested());
    QVERIFY(answerer.texts.isEmpty());
    const std::vector<pellar::ReceivedFile>& files = bench.sim().ReceivedFiles(0);
    QCOMPARE(files.size(), std::size_t{1});
    QCOMPARE(files[0].data, first.substr(0, 3030));
    QCOMPARE(bench.sim().Requests(0).back().command(), std::uint16_t{0x3300});
    QCOMPARE(bench.sim().OpenHandles(), 0);
    QCOMPARE(bench.Find<QLabel>(pellar::kStatusText)->text(), QString());
  }

  // The list is locked for the run: clicks and keys on it change nothing, the device chosen is
  // the one flashed, and the choice stands as it was afterwards.
  void listIsLockedDuringARun() {
    TempDir folder;
    folder.Write("a.bin", Bytes(3030, 6));
    const QString list = QString::fromStdString(folder.Write(
        "list.txt", "[Update_Info]\nfile_num=1\n[file1]\nfilename=a.bin\nDevicefilePath=a.bin\n"));
    WindowBench bench;  // rows A, C, B
    QVERIFY(bench.ShowActive());
    Choose(bench, list);
    bench.ClickRow(1);
    bench.ClickRow(2, Qt::ControlModifier);  // rows 1 and 2 selected, the mark on row 2 (B)
    const pellar::DeviceListView::Choice before = bench.list().SaveChoice();
    MessageAnswerer answerer;
    bool list_enabled = true;
    QTimer::singleShot(0, &bench.window(), [&] {  // taken at a breath between packets
      list_enabled = bench.list().isEnabled();
      bench.ClickRow(0);
      QTest::keyClick(&bench.list(), Qt::Key_A, Qt::ControlModifier);
      QTest::keyClick(&bench.list(), Qt::Key_Down);
    });
    bench.Find<QPushButton>(pellar::kUpdateButton)->click();

    QVERIFY(!list_enabled);
    QCOMPARE(answerer.texts, QStringList{QStringLiteral("update ok!")});
    QCOMPARE(bench.sim().ReceivedFiles(1).size(), std::size_t{1});
    QVERIFY(bench.sim().ReceivedFiles(0).empty() && bench.sim().ReceivedFiles(2).empty());
    QVERIFY(bench.list().isEnabled());
    const pellar::DeviceListView::Choice after = bench.list().SaveChoice();
    QCOMPARE(after.selected_rows, (QList<int>{1, 2}));
    QCOMPARE(after.mark, 2);
    QCOMPARE(after.current_row, before.current_row);
  }

  // A close from the desktop in each kind of wait is never lost: the transfer stops at its next
  // data packet when it reaches one; otherwise the update ends as it would (messages included) and
  // the window's run ends right after it.
  void closeInAWaitIsNeverLost_data() {
    QTest::addColumn<QString>("rules");
    QTest::addColumn<bool>("lzma");   // the first file's device name ends in .lzma
    QTest::addColumn<int>("files");   // entries in the list
    QTest::addColumn<int>("close_at");  // ms after the click
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("sent");   // bytes of the first file on the device
    QTest::addColumn<bool>("second");  // whether the second file went out
    QTest::addColumn<int>("ended_by");  // ms after the click: repeats run out, pauses do not
    const QStringList none;
    QTest::newRow("the pause before a packet")
        << "[]" << false << 2 << 50 << none << 2020 << false << 200;
    QTest::newRow("repeats of a packet, then answered")
        << R"([{"command":"0x3200","answer":"silent","after":1,"count":2}])" << false << 2 << 1000
        << none << 2020 << false << 6600;
    QTest::newRow("repeats of a silent device in the data")
        << R"([{"command":"0x3200","answer":"silent","after":1}])" << false << 2 << 1000
        << QStringList{"send ota pack failed!", "update a.bin failed "} << 1010 << false << 22400;
    QTest::newRow("repeats of a silent status")
        << R"([{"command":"0x3300","answer":"silent"}])" << false << 2 << 5000
        << QStringList{"get the ota status failed!", "update a.bin failed "} << 3030 << false
        << 21200;
    QTest::newRow("the pause after .lzma")
        << "[]" << true << 2 << 4000 << none << 3030 << false << 4100;
    QTest::newRow("the pause after the last .lzma")
        << "[]" << true << 1 << 4000 << none << 3030 << false << 4100;
  }

  void closeInAWaitIsNeverLost() {
    QFETCH(QString, rules);
    QFETCH(bool, lzma);
    QFETCH(int, files);
    QFETCH(int, close_at);
    QFETCH(QStringList, messages);
    QFETCH(int, sent);
    QFETCH(bool, second);
    QFETCH(int, ended_by);
    TempDir folder;
    const std::string first = Bytes(3030, 4);
    folder.Write("a.bin", first);
    folder.Write("b.bin", Bytes(100, 5));
    const std::string first_name = lzma ? "fw.lzma" : "a.bin";
    const QString list = QString::fromStdString(folder.Write(
        "list.txt", "[Update_Info]\nfile_num=" + std::to_string(files) +
                        "\n[file1]\nfilename=a.bin\nDevicefilePath=" + first_name +
                        "\n[file2]\nfilename=b.bin\nDevicefilePath=b.bin\n"));
    const std::string devices = R"({"devices":[{"manufacturer":"Acme","product":"Cam","vid":"0x1234",)"
                                R"("pid":"0x5678","rules":)" + rules.toStdString() + "}]}";
    WindowBench bench(devices, pellar::testing::Waits::kWindowClock);
    QVERIFY(bench.ShowActive());
    Choose(bench, list);
    bench.ClickRow(0);
    MessageAnswerer answerer;
    CPellarDlg& window = bench.window();
    double clicked_at = 0;
    int ended = RunModal(window, [&] {
      clicked_at = bench.clock().NowMs();
      // As the desktop's close button would: a close event, handled whenever the window's
      // events are next handled.
      bench.CueAt(clicked_at + close_at,
                  [&window] { QCoreApplication::postEvent(&window, new QCloseEvent); });
      bench.Find<QPushButton>(pellar::kUpdateButton)->click();
    });

    QCOMPARE(ended, int(QDialog::Rejected));
    QVERIFY(window.CloseRequested());
    QCOMPARE(answerer.texts, messages);
    const std::vector<pellar::ReceivedFile>& received = bench.sim().ReceivedFiles(0);
    QVERIFY(!received.empty());
    QCOMPARE(received[0].data, first.substr(0, std::size_t(sent)));
    QCOMPARE(received.size() > 1, second);
    QCOMPARE(bench.sim().OpenHandles(), 0);
    QVERIFY2(bench.clock().NowMs() - clicked_at < ended_by,
             qPrintable(QString::number(bench.clock().NowMs() - clicked_at)));
  }
};

QTEST_MAIN(UpdateWindowTest)
#include "update_window_test.moc"
