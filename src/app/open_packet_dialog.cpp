#include "open_packet_dialog.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

#include "file_chooser.h"
#include "message_box.h"

namespace pellar {
namespace {

struct RowControls {
  ComponentKind kind;
  int button_id;
  const char* caption;
  int field_id;
};

// Top to bottom. The rows' order is the window's own, not the order of the file.
constexpr std::array<RowControls, COpenPacketDialog::kRowCount> kRows{{
    {ComponentKind::UVCCONFIG, 1008, "打开UVCCONFIG文件", 1009},
    {ComponentKind::UVCATTR, 1017, "打开UVCATTR文件", 1018},
    {ComponentKind::APP, 1019, "打开APP文件", 1020},
    {ComponentKind::SENSOR_DIRVER, 1021, "打开SENSOR_DIRVER文件", 1022},
    {ComponentKind::SENSOR_SETTINGS, 1023, "打开SENSOR_SETTINGS文件", 1024},
    {ComponentKind::APP_INIT, 1031, "打开APP_INIT文件", 1034},
    {ComponentKind::FAST_INIT, 1043, "打开FAST_INIT文件", 1046},
    {ComponentKind::HID_TEST, 1047, "打开HID_TEST文件", 1048},
}};

// Message boxes with an OK button only, over the builder window.
class MessageBoxOperator final : public Operator {
 public:
  explicit MessageBoxOperator(QWidget* parent) : parent_(parent) {}
  void ShowMessage(const std::string& text) override { ShowMessageBox(parent_, text); }
  void SetProgress(int) override {}
  void SetStatus(const std::string&) override {}
  bool Breathe() override { return false; }

 private:
  QWidget* parent_;
};

QPushButton* MakeButton(const QString& caption, int id, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::number(id));
  // None is the default button: Enter must not pack or open a file dialog by surprise.
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

}  // namespace

COpenPacketDialog::COpenPacketDialog(QWidget* parent, Operator* ui, FileChooser chooser)
    : QDialog(parent), ui_(ui), chooser_(std::move(chooser)) {
  setObjectName(QStringLiteral("129"));
  setWindowTitle(QStringLiteral("Dialog"));
  if (ui_ == nullptr) {
    message_boxes_ = std::make_unique<MessageBoxOperator>(this);
    ui_ = message_boxes_.get();
  }
  if (!chooser_) chooser_ = &COpenPacketDialog::ChooseWithFileDialog;
  BuildRows();
}

COpenPacketDialog::~COpenPacketDialog() = default;

void COpenPacketDialog::BuildRows() {
  auto* grid = new QGridLayout(this);
  pack_button_ = MakeButton(QStringLiteral("组包"), kPackButtonId, this);
  connect(pack_button_, &QPushButton::clicked, this, &COpenPacketDialog::OnPack);
  grid->addWidget(pack_button_, 0, 2, Qt::AlignTop);

  // Wide enough for a path of some length, as the fields of 213 dialog units are.
  const int field_width = fontMetrics().averageCharWidth() * 213 / 4;
  QWidget* previous = pack_button_;
  for (int row = 0; row < kRowCount; ++row) {
    auto* field = new QLineEdit(this);
    field->setObjectName(QString::number(kRows[row].field_id));
    field->setMinimumWidth(field_width);
    // Enter in a field closes the window, as a dialog's OK does.
    connect(field, &QLineEdit::returnPressed, this, &QDialog::accept);
    QPushButton* button = MakeButton(QString::fromUtf8(kRows[row].caption), kRows[row].button_id, this);
    connect(button, &QPushButton::clicked, this, [this, row] { OnOpenComponentFile(row); });
    grid->addWidget(field, row, 0);
    grid->addWidget(button, row, 1);
    path_fields_[row] = field;
    // Tab order: the pack button, then each row's button followed by its field.
    setTabOrder(previous, button);
    setTabOrder(button, field);
    previous = field;
  }
  grid->setColumnStretch(0, 1);
}

void COpenPacketDialog::OnOpenComponentFile(int row) {
  QString chosen = chooser_(this);
  if (chosen.isEmpty()) return;  // cancelled: the row keeps what it had
  component_paths_[row] = chosen;
  path_fields_[row]->setText(chosen);
}

ComponentPaths COpenPacketDialog::ChosenPaths() const {
  ComponentPaths paths;
  for (int row = 0; row < kRowCount; ++row)
    paths[KindIndex(kRows[row].kind)] = QFile::encodeName(component_paths_[row]).toStdString();
  return paths;
}

void COpenPacketDialog::OnPack() { pellar::OnPack(ChosenPaths(), *ui_); }

QString COpenPacketDialog::ChooseWithFileDialog(QWidget* parent) {
  // Components are mostly .bin files: open on the entry that lists them.
  return ChooseExistingFile(parent, FileEntry::kAllFiles);
}

}  // namespace pellar
