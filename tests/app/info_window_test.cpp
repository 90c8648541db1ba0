// The device-information buttons of the main window: each of the seventeen, hidden or not, sends
// its command and shows its message; a written value reads back; the AppKey row works from the keys.
#include <QLineEdit>
#include <QPointer>

#include "window_bench.h"

using pellar::testing::WindowBench;

namespace {

// One device whose every field reads "<field>-7".
const char* kDevice = R"({"devices": [{"manufacturer": "Acme", "product": "Cam", "vid": "0x1234",
  "pid": "0x5678", "fields": {"SN": "SN-7", "PID": "PID-7", "VID": "VID-7",
  "Manufacture": "Manufacture-7", "BCD": "BCD-7", "CMEI": "CMEI-7", "Model": "Model-7",
  "AppKey": "AppKey-7", "Version": "Version-7"}, "rules": %1}]})";

QString DeviceWith(const QString& rules) { return QString(kDevice).arg(rules); }

// Answers every message box that comes up while it lives, and writes down its text.
class MessageCatcher : public QObject {
 public:
  MessageCatcher() {
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || !box->isVisible()) return;
      texts << box->text();
      box->button(QMessageBox::Ok)->click();
    });
    timer_.start();
  }
  QStringList texts;

 private:
  QTimer timer_;
};

// A window on kDevice with its one row selected, as the operator would leave it.
struct SelectedBench {
  explicit SelectedBench(const QString& rules = "[]")
      : bench(DeviceWith(rules).toStdString()) {
    ready = bench.ShowActive();
    bench.ClickRow(0);
  }
  QLineEdit* Edit(int id) { return bench.Find<QLineEdit>(id); }
  QPushButton* Button(int id) { return bench.Find<QPushButton>(id); }

  WindowBench bench;
  bool ready = false;
};

struct ReadRow {
  int button;
  int command;
  int edit;
  const char* field;
  const char* failure;
};

struct WriteRow {
  int button;
  int command;
  int edit;
  const char* field;
  const char* empty;
  const char* success;
  const char* failure;
};

const ReadRow kReadRows[] = {
    {1054, 0x2010, 1053, "SN", "读SN失败!"},
    {1056, 0x2040, 1055, "PID", "读PID失败!"},
    {1058, 0x2030, 1057, "VID", "读VID失败!"},
    {1060, 0x2000, 1059, "Manufacture", "读Manufacture失败!"},
    {1062, 0x2050, 1061, "BCD", "读BCD失败!"},
    {1066, 0x2F10, 1065, "CMEI", "读CMEI失败!"},
    {1064, 0x2F00, 1063, "Model", "读Mode失败!"},
    {1086, 0x2F20, 1085, "AppKey", "读版AppKey失败!"},
    {1075, 0x0001, 1074, "Version", "读版本号失败!"},
};

const WriteRow kWriteRows[] = {
    {1012, 0x2011, 1011, "SN", "SN不可以为空", "写入SN成功!", "写入SN失败!"},
    {1014, 0x2041, 1013, "PID", "PID不可以为空", "写入PID成功!", "写入PID失败!"},
    {1016, 0x2031, 1015, "VID", "VID不可以为空", "写入VID成功!", "写入VID失败!"},
    {1007, 0x2001, 1037, "Manufacture", "Manufacture不可以为空", "写入Manufacture成功!",
     "写入Manufacture失败!"},
    {1039, 0x2051, 1038, "BCD", "BCD不可以为空", "写入BCD成功!", "写入BCD失败!"},
    {1052, 0x2F11, 1051, "CMEI", "CMEI不可以为空", "写入CMEI成功!", "写入CMEI失败!"},
    {1050, 0x2F01, 1049, "Model", "Model不可以为空", "写入Model成功!", "写入Model失败!"},
    {1088, 0x2F21, 1087, "AppKey", "AppKey不可以为空", "写入AppKey成功!", "写入AppKey失败!"},
};

QString RefuseRule(int command) {
  return QString(R"([{"command": %1, "answer": "refuse", "status": 1}])").arg(command);
}

}  // namespace

class InfoWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // Every button, pressed as a click (the hidden ones cannot be reached by the mouse).
  void eachButton_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("edit");
    QTest::addColumn<QString>("before");  // the edit's text when the button is pressed
    QTest::addColumn<QString>("rules");
    QTest::addColumn<int>("command");     // 0: nothing is sent
    QTest::addColumn<QString>("message");  // empty: none
    QTest::addColumn<QString>("after");   // the edit's text afterwards
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("stored");  // the device's field afterwards
    for (const ReadRow& row : kReadRows) {
      const QString value = QString(row.field) + "-7";
      QTest::addRow("%d read", row.button) << row.button << row.edit << "old" << "[]"
                                           << row.command << "" << value << row.field << value;
      QTest::addRow("%d refused", row.button)
          << row.button << row.edit << "old" << RefuseRule(row.command) << row.command
          << row.failure << "old" << row.field << value;
    }
    for (const WriteRow& row : kWriteRows) {
      const QString value = QString(row.field) + "-7";
      const QString text = QString("新的 ") + row.field;
      QTest::addRow("%d written", row.button) << row.button << row.edit << text << "[]"
                                              << row.command << row.success << text << row.field
                                              << text;
      QTest::addRow("%d refused", row.button)
          << row.button << row.edit << text << RefuseRule(row.command) << row.command
          << row.failure << text << row.field << value;
      QTest::addRow("%d empty", row.button) << row.button << row.edit << "" << "[]" << 0
                                            << row.empty << "" << row.field << value;
    }
  }

  void eachButton() {
    QFETCH(int, button);
    QFETCH(int, edit);
    QFETCH(QString, before);
    QFETCH(QString, rules);
    QFETCH(int, command);
    QFETCH(QString, message);
    QFETCH(QString, after);
    QFETCH(QString, field);
    QFETCH(QString, stored);
    SelectedBench bench(rules);
    QVERIFY(bench.ready);
    bench.Edit(edit)->setText(before);

    MessageCatcher messages;
    bench.Button(button)->click();

    const auto& requests = bench.bench.sim().Requests(0);
    if (command == 0) {
      QVERIFY(requests.empty());
    } else {
      QCOMPARE(requests.size(), std::size_t{1});
      QCOMPARE(int(requests[0].command()), command);
    }
    QCOMPARE(messages.texts, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(bench.Edit(edit)->text(), after);
    QCOMPARE(QString::fromStdString(*bench.bench.sim().Field(0, field.toStdString())), stored);
    QCOMPARE(bench.bench.sim().OpenHandles(), 0);
    QVERIFY(bench.Button(button)->isEnabled());
  }

  void noSelectionShowsOnlyTheOpenMessage() {
    WindowBench bench(DeviceWith("[]").toStdString());
    MessageCatcher messages;
    bench.Find<QPushButton>(1012)->click();  // its edit is empty
    bench.Find<QPushButton>(1054)->click();
    QCOMPARE(messages.texts, (QStringList{"please select devices!", "please select devices!"}));
    QVERIFY(bench.sim().Requests(0).empty());
    QCOMPARE(bench.Find<QLineEdit>(1053)->text(), QString());
  }

  void writtenValueReadsBack() {
    SelectedBench bench;
    QVERIFY(bench.ready);
    bench.Edit(1049)->setText("型号 X-1  ");
    MessageCatcher messages;
    bench.Button(1050)->click();
    bench.Button(1064)->click();
    QCOMPARE(messages.texts, QStringList{"写入Model成功!"});
    QCOMPARE(bench.Edit(1063)->text(), QString("型号 X-1  "));
    QCOMPARE(bench.Edit(1049)->text(), QString("型号 X-1  "));
  }

  void appKeyRowWorksFromTheKeyboard() {
    SelectedBench bench;
    QVERIFY(bench.ready);
    bench.bench.list().setFocus();
    for (int presses = 0; presses < 10 && QApplication::focusWidget() != bench.Edit(1087); ++presses)
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(bench.Edit(1087)));
    QTest::keyClicks(bench.Edit(1087), "KEY-9");

    MessageCatcher messages;
    QTest::keyClick(bench.Edit(1087), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(bench.Button(1088)));
    QTest::keyClick(bench.Button(1088), Qt::Key_Space);
    QCOMPARE(messages.texts, QStringList{"写入AppKey成功!"});
    QCOMPARE(*bench.bench.sim().Field(0, "AppKey"), std::string("KEY-9"));

    // The focus goes back to the button; the test platform does not hand the activation back
    // from the message box by itself.
    QCOMPARE(bench.bench.window().focusWidget(), static_cast<QWidget*>(bench.Button(1088)));
    QVERIFY(bench.bench.ShowActive());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(bench.Button(1086)));
    QTest::keyClick(bench.Button(1086), Qt::Key_Return);
    QCOMPARE(bench.Edit(1085)->text(), QString("KEY-9"));
    QCOMPARE(messages.texts.size(), 1);
    QVERIFY(bench.bench.window().isVisible());  // Enter pressed the button, not the dialog's OK
  }
};

QTEST_MAIN(InfoWindowTest)
#include "info_window_test.moc"
