#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <deque>

#include "open_packet_dialog.h"
#include "packer/packet_inspection.h"
#include "support/recording_operator.h"

using pellar::COpenPacketDialog;

namespace {

const char* const kAllEmpty = "文件名不可以全部为空!";
const char* const kPacked = "文件组包packet.bin成功，文件在当前目录!";

struct Row {
  int button;
  const char* caption;
  int field;
  std::uint16_t type;
};

const Row kRows[] = {
    {1008, "打开UVCCONFIG文件", 1009, 0x3112},       {1017, "打开UVCATTR文件", 1018, 0x3113},
    {1019, "打开APP文件", 1020, 0x3110},             {1021, "打开SENSOR_DIRVER文件", 1022, 0x3114},
    {1023, "打开SENSOR_SETTINGS文件", 1024, 0x3115}, {1031, "打开APP_INIT文件", 1034, 0x3116},
    {1043, "打开FAST_INIT文件", 1046, 0x3120},       {1047, "打开HID_TEST文件", 1048, 0x31F0},
};

}  // namespace

// Drives the builder with a stand-in for the file dialog, in a folder of its own, since the
// packing writes "packet.bin" into the current directory.
class OpenPacketDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    folder_ = std::make_unique<QTemporaryDir>();
    previous_directory_ = QDir::currentPath();
    QDir::setCurrent(folder_->path());
    answers_.clear();
    chooser_calls_ = 0;
    ui_ = std::make_unique<pellar::testing::RecordingOperator>();
    dialog_ = std::make_unique<COpenPacketDialog>(nullptr, ui_.get(), [this](QWidget*) {
      ++chooser_calls_;
      QString answer = answers_.empty() ? QString() : answers_.front();
      if (!answers_.empty()) answers_.pop_front();
      return answer;
    });
    dialog_->show();
  }

  void cleanup() {
    dialog_.reset();
    QDir::setCurrent(previous_directory_);
    folder_.reset();
  }

  void rowsHaveTheirIdsCaptionsAndPlaces() {
    QCOMPARE(dialog_->windowTitle(), QString("Dialog"));
    QPushButton* pack = Button(1044);
    QCOMPARE(pack->text(), QString("组包"));
    int previous_top = -1;
    for (const Row& row : kRows) {
      QPushButton* button = Button(row.button);
      QLineEdit* field = Field(row.field);
      QCOMPARE(button->text(), QString::fromUtf8(row.caption));
      QVERIFY(field->text().isEmpty());
      QVERIFY(!field->isReadOnly());
      QVERIFY2(button->geometry().left() > field->geometry().right(), "button right of its field");
      QCOMPARE(button->geometry().center().y(), field->geometry().center().y());
      QVERIFY2(field->geometry().top() > previous_top, "rows stand in the table's order");
      previous_top = field->geometry().top();
    }
    QVERIFY2(pack->geometry().left() > Button(1008)->geometry().right(), "pack button at the right");
    QVERIFY2(pack->geometry().top() <= Field(1009)->geometry().bottom(), "pack button at the top");
    for (QPushButton* button : dialog_->findChildren<QPushButton*>())
      QVERIFY2(!button->isDefault() && !button->autoDefault(), qPrintable(button->objectName()));
  }

  void tabGoesFromPackToEachButtonThenItsField() {
    QStringList expected{"1044"};
    for (const Row& row : kRows) expected << QString::number(row.button) << QString::number(row.field);
    QStringList order;
    QWidget* widget = Button(1044);
    for (int i = 0; i < expected.size(); ++i, widget = widget->nextInFocusChain()) {
      while (widget->focusPolicy() == Qt::NoFocus) widget = widget->nextInFocusChain();
      order << widget->objectName();
    }
    QCOMPARE(order, expected);
  }

  void eachRowPacksItsKind_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("type");
    for (const Row& row : kRows)
      QTest::newRow(row.caption) << row.button << row.field << static_cast<int>(row.type);
  }

  void eachRowPacksItsKind() {
    QFETCH(int, button);
    QFETCH(int, field);
    QFETCH(int, type);
    QString path = WriteFile("component.bin", QByteArray(5, 'x'));
    answers_ = {path};
    QTest::mouseClick(Button(button), Qt::LeftButton);
    QCOMPARE(Field(field)->text(), path);
    QTest::mouseClick(Button(1044), Qt::LeftButton);
    QCOMPARE(Messages(), QStringList{kPacked});
    pellar::PacketInspection inspection = pellar::InspectPacket(ReadFile("packet.bin"));
    QVERIFY(inspection.ok());
    QCOMPARE(inspection.records.size(), std::size_t{1});
    QCOMPARE(static_cast<int>(inspection.records[0].type), type);
    QVERIFY2(dialog_->isVisible(), "the window stays open after packing");
  }

  void cancellingKeepsThePathAndAnotherChoiceReplacesIt() {
    QString first = WriteFile("first.bin", "11");
    QString second = WriteFile("second.bin", "2222");
    answers_ = {first, QString(), second};
    QTest::mouseClick(Button(1019), Qt::LeftButton);
    QTest::mouseClick(Button(1019), Qt::LeftButton);  // cancelled
    QCOMPARE(Field(1020)->text(), first);
    QCOMPARE(Path(pellar::ComponentKind::APP), first);
    QTest::mouseClick(Button(1019), Qt::LeftButton);
    QCOMPARE(Field(1020)->text(), second);
    QCOMPARE(chooser_calls_, 3);
    QTest::mouseClick(Button(1044), Qt::LeftButton);
    QCOMPARE(ReadFile("packet.bin").size(), 18 + 4);
  }

  void typedTextIsNeverRead() {
    QTest::keyClicks(Field(1009), WriteFile("typed.bin", "typed"));
    QTest::mouseClick(Button(1044), Qt::LeftButton);
    QCOMPARE(Messages(), QStringList{kAllEmpty});
    QVERIFY(!QFile::exists("packet.bin"));

    QString chosen = WriteFile("chosen.bin", "chosen");
    answers_ = {chosen};
    QTest::mouseClick(Button(1047), Qt::LeftButton);
    Field(1048)->setText(folder_->filePath("typed.bin"));
    QTest::mouseClick(Button(1044), Qt::LeftButton);
    std::vector<std::uint8_t> bytes = ReadFile("packet.bin");
    QByteArray packed(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    QVERIFY(packed.endsWith("chosen"));
    QCOMPARE(packed.size(), 18 + 6);
  }

  void theFillOrderDoesNotChangeTheFile() {
    QString app = WriteFile("app.bin", "aaa");
    QString hid = WriteFile("hid.bin", "hh");
    QString uvc = WriteFile("uvc.bin", "u");
    answers_ = {app, hid, uvc};
    QTest::mouseClick(Button(1019), Qt::LeftButton);  // APP
    QTest::mouseClick(Button(1047), Qt::LeftButton);  // HID_TEST
    QTest::mouseClick(Button(1008), Qt::LeftButton);  // UVCCONFIG
    QTest::mouseClick(Button(1044), Qt::LeftButton);
    pellar::PacketInspection inspection = pellar::InspectPacket(ReadFile("packet.bin"));
    QVERIFY(inspection.ok());
    std::vector<pellar::PacketRecord> expected{{0x3112, 18, 1}, {0x31F0, 19, 2}, {0x3110, 31, 3}};
    QVERIFY(inspection.records == expected);
  }

  void theFileDialogShowsBothEntriesAndOpensOnAllFiles() {
    QStringList entries;
    QString selected;
    QStringList patterns;
    QTimer::singleShot(0, [&] {
      auto* file_dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (file_dialog == nullptr) return;
      auto* types = file_dialog->findChild<QComboBox*>("fileTypeCombo");
      for (int i = 0; types != nullptr && i < types->count(); ++i) entries << types->itemText(i);
      if (types != nullptr) selected = types->currentText();
      // What "所有文件(*.*)" lists: every name, those without a dot too.
      if (auto* files = file_dialog->findChild<QFileSystemModel*>()) patterns = files->nameFilters();
      file_dialog->reject();
    });
    QCOMPARE(COpenPacketDialog::ChooseWithFileDialog(dialog_.get()), QString());
    QCOMPARE(entries, (QStringList{"文本文件(*.txt)", "所有文件(*.*)"}));
    QCOMPARE(selected, QString("所有文件(*.*)"));
    QCOMPARE(patterns, QStringList{"*"});
  }

  void enterInAFieldClosesTheWindow() {
    QSignalSpy accepted(dialog_.get(), &QDialog::accepted);
    Field(1024)->setFocus();
    QTest::keyClick(Field(1024), Qt::Key_Return);
    QCOMPARE(accepted.count(), 1);
    QVERIFY(!dialog_->isVisible());
    QCOMPARE(chooser_calls_, 0);
    QVERIFY(Messages().isEmpty());
  }

 private:
  QPushButton* Button(int id) {
    auto* button = dialog_->findChild<QPushButton*>(QString::number(id));
    if (button == nullptr) qFatal("no button %d", id);
    return button;
  }
  QLineEdit* Field(int id) {
    auto* field = dialog_->findChild<QLineEdit*>(QString::number(id));
    if (field == nullptr) qFatal("no field %d", id);
    return field;
  }
  QString Path(pellar::ComponentKind kind) const {
    return QString::fromStdString(dialog_->ChosenPaths()[pellar::KindIndex(kind)]);
  }
  QString WriteFile(const QString& name, const QByteArray& content) {
    QFile file(folder_->filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
      qFatal("cannot write %s", qPrintable(name));
    return file.fileName();
  }
  std::vector<std::uint8_t> ReadFile(const QString& name) {
    QFile file(folder_->filePath(name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    QByteArray bytes = file.readAll();
    return {bytes.begin(), bytes.end()};
  }
  QStringList Messages() const {
    QStringList messages;
    for (const std::string& message : ui_->messages()) messages << QString::fromStdString(message);
    return messages;
  }

  std::unique_ptr<QTemporaryDir> folder_;
  QString previous_directory_;
  std::deque<QString> answers_;
  int chooser_calls_ = 0;
  std::unique_ptr<pellar::testing::RecordingOperator> ui_;
  std::unique_ptr<COpenPacketDialog> dialog_;
};

QTEST_MAIN(OpenPacketDialogTest)
#include "open_packet_dialog_test.moc"
