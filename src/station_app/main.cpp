#include <QApplication>
#include <QLocale>

#include <clocale>
#include <iostream>

#include "quit_signal.h"
#include "record_location.h"
#include "station_options.h"
#include "station_session.h"
#include "station_window.h"

namespace pellar {
namespace {

// Everything the command line says, checked before the toolkit needs a display, so that a mistake
// is reported on any terminal and no device is touched. Null after a problem, told on stderr.
std::unique_ptr<StationSession> MakeSession(const StationWindowOptions& options) {
  std::string error;
  // The engine's threads wait on the real clock, never on one tied to the window's event loop.
  std::unique_ptr<Link> link = MakeLink(options.link, MakeRealClock(), &error);
  std::string record = options.record_path.empty() ? DefaultRecordPath(&error) : options.record_path;
  if (link == nullptr || record.empty()) {
    std::cerr << "pellar-station: " << error << '\n';
    return nullptr;
  }
  auto session = std::make_unique<StationSession>(std::move(link), options.ports, record);
  if (!options.list_path.empty()) {
    std::vector<std::string> problems;
    if (!session->ChooseList(options.list_path, &problems)) {
      std::cerr << "pellar-station: the update list cannot be sent:\n";
      for (const std::string& problem : problems) std::cerr << "  " << problem << '\n';
      return nullptr;
    }
  }
  if (!options.match.empty() && !session->ChooseMatch(*ParseMatch(options.match, &error), &error)) {
    std::cerr << "pellar-station: " << error << '\n';
    return nullptr;
  }
  return session;
}

}  // namespace
}  // namespace pellar

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");  // the locale names the default wire encoding
  int status = pellar::kStationExitOk;
  std::optional<pellar::StationWindowOptions> options = pellar::ParseStationOptions(
      std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr, &status);
  if (!options) return status;
  std::unique_ptr<pellar::StationSession> session = pellar::MakeSession(*options);
  if (session == nullptr) return pellar::kStationExitUsage;

  // Qt's own options are not taken from the command line; its environment variables still apply.
  int toolkit_argc = 1;
  QApplication application(toolkit_argc, argv);
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  pellar::StationWindow window(*session);
  pellar::QuitSignal quit;
  QObject::connect(&quit, &pellar::QuitSignal::Received, &window, &pellar::StationWindow::StopAndClose);
  window.show();
  return application.exec() == 0 ? pellar::kStationExitOk : 1;
}
