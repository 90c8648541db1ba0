#include "record_location.h"

#include <QDate>
#include <QDir>
#include <QStandardPaths>

#include "unit_text.h"

namespace pellar {

std::string DefaultRecordPath(std::string* error) {
  const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  const QString folder = data + QStringLiteral("/pellar");
  if (data.isEmpty() || !QDir().mkpath(folder)) {
    *error = "the folder for the record, \"" + folder.toStdString() +
             "\", cannot be made; give a file with --record";
    return {};
  }
  const QDate today = QDate::currentDate();
  return (folder + QLatin1Char('/')).toStdString() +
         DayRecordName(today.year(), today.month(), today.day());
}

}  // namespace pellar
