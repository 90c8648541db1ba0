#pragma once

#include <QDialog>
#include <QString>

#include <array>
#include <functional>
#include <memory>

#include "device/operator.h"
#include "packer/packet_packer.h"

class QLineEdit;
class QPushButton;

namespace pellar {

// The packet builder: one row per component kind, each with a field that shows the chosen file and
// a button that chooses it, and "组包", which packs the chosen files into "packet.bin" in the
// current directory. The paths live in the window alone; text typed into a field is never read.
// Every control's objectName is its decimal control id.
class COpenPacketDialog : public QDialog {
  Q_OBJECT

 public:
  // Asks the operator for one component file; returns its path, or an empty text when cancelled.
  using FileChooser = std::function<QString(QWidget* parent)>;

  static constexpr int kRowCount = 8;
  static constexpr int kPackButtonId = 1044;

  // `ui` shows the packing's messages (message boxes over this window when null); `chooser`
  // replaces the open-file dialog (the Qt one when empty).
  explicit COpenPacketDialog(QWidget* parent = nullptr, Operator* ui = nullptr,
                             FileChooser chooser = {});
  ~COpenPacketDialog() override;

  // The chosen paths in the packing's terms: UTF-8 file names, indexed by kind.
  ComponentPaths ChosenPaths() const;

  // The file dialog used when no chooser is given.
  static QString ChooseWithFileDialog(QWidget* parent);

 private:
  void BuildRows();
  void OnOpenComponentFile(int row);
  void OnPack();

  // One path per row, in row order; empty until a file is chosen for the row.
  std::array<QString, kRowCount> component_paths_;
  std::array<QLineEdit*, kRowCount> path_fields_{};
  QPushButton* pack_button_ = nullptr;
  Operator* ui_;
  std::unique_ptr<Operator> message_boxes_;
  FileChooser chooser_;
};

}  // namespace pellar
