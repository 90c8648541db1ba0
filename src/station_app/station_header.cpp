#include "station_header.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "unit_text.h"

namespace pellar {
namespace {

QLabel* NewLabel(const char* name) {
  auto* label = new QLabel;
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  return label;
}

void SetText(QLabel* label, const QString& text) {
  if (label->text() != text) label->setText(text);
}

}  // namespace

StationHeader::StationHeader(PairCombo::PairSource pairs, QWidget* parent) : QWidget(parent) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setVerticalSpacing(4);
  list_name_ = NewLabel("listName");
  list_summary_ = NewLabel("listSummary");
  choose_list_ = new QPushButton(QStringLiteral("&Choose list…"));
  choose_list_->setObjectName(QStringLiteral("chooseList"));
  pair_combo_ = new PairCombo(std::move(pairs));
  ports_ = NewLabel("ports");
  record_ = NewLabel("record");
  record_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  counters_ = NewLabel("counters");
  QFont big = counters_->font();
  big.setPointSizeF(big.pointSizeF() * 1.5);
  big.setBold(true);
  counters_->setFont(big);

  auto* list_caption = new QLabel(QStringLiteral("Update &list:"));
  list_caption->setBuddy(choose_list_);
  auto* match_caption = new QLabel(QStringLiteral("&Devices:"));
  match_caption->setBuddy(pair_combo_);
  grid->addWidget(list_caption, 0, 0);
  grid->addWidget(list_name_, 0, 1);
  grid->addWidget(list_summary_, 0, 2);
  grid->addWidget(choose_list_, 0, 3);
  grid->addWidget(match_caption, 1, 0);
  grid->addWidget(pair_combo_, 1, 1);
  grid->addWidget(ports_, 1, 2, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("Record:")), 2, 0);
  grid->addWidget(record_, 2, 1, 1, 3);
  grid->addWidget(counters_, 0, 4, 3, 1, Qt::AlignRight | Qt::AlignVCenter);
  grid->setColumnStretch(4, 1);
  ShowList(nullptr);
  ShowCounters({});
}

void StationHeader::ShowList(const LoadedUpdate* update) {
  if (update == nullptr) {
    list_name_->setText(QStringLiteral("none chosen"));
    list_name_->setToolTip({});
    list_summary_->clear();
    list_summary_->setToolTip({});
    return;
  }
  const QString path = QString::fromStdString(update->list_path);
  list_name_->setText(QFileInfo(path).fileName());
  list_name_->setToolTip(path);
  list_summary_->setText(QString::fromStdString(ListSummary(*update)));
  list_summary_->setToolTip(QString::fromStdString(ListDetails(*update)));
}

void StationHeader::ShowMatch(const std::optional<DevicePair>& match,
                              const std::vector<std::string>& ports) {
  pair_combo_->SetCurrent(match);
  std::string text = "in any port";
  if (!ports.empty()) {
    text = "in ports ";
    for (std::size_t i = 0; i < ports.size(); ++i) text += (i > 0 ? ", " : "") + ports[i];
  }
  ports_->setText(QString::fromStdString(text));
}

void StationHeader::ShowRecord(const std::string& path, const std::string& problem) {
  record_->setText(QString::fromStdString(problem.empty() ? path : problem));
  QPalette palette = record_->palette();
  palette.setColor(QPalette::WindowText, problem.empty() ? this->palette().color(QPalette::WindowText)
                                                         : QColor(0xc6, 0x28, 0x28));
  record_->setPalette(palette);
}

void StationHeader::ShowCounters(const StationCounters& counters) {
  SetText(counters_, QString::fromStdString(CountersLine(counters)));
}

}  // namespace pellar
