#include "pellar_app.h"

#include <QApplication>
#include <QLocale>

#include <clocale>
#include <iostream>

#include "pellar_dlg.h"
#include "window_options.h"

int CPellarApp::Run(int argc, char** argv) {
  // The options and the simulated-device file are checked before the toolkit needs a display, so
  // a mistake is reported on any terminal. The locale comes first: it names the default encoding.
  std::setlocale(LC_ALL, "");
  std::vector<std::string> arguments(argv + 1, argv + argc);
  int status = pellar::kWindowExitOk;
  std::unique_ptr<pellar::Link> link = pellar::MakeWindowLink(arguments, std::cout, std::cerr, &status);
  if (link == nullptr) return status;

  // Qt's own options are not taken from the command line; its environment variables
  // (QT_QPA_PLATFORM, QT_STYLE_OVERRIDE) still apply.
  int toolkit_argc = 1;
  QApplication application(toolkit_argc, argv);
  InitInstance(*link);
  return pellar::kWindowExitOk;
}

bool CPellarApp::InitInstance(pellar::Link& link) {
  // The shell manager, the visual manager and the settings key have no counterpart here: Qt draws
  // in the desktop's look by itself, and nothing is ever stored.
  // The user-interface language English (United States): Qt's own texts, such as the buttons of
  // message boxes and file dialogs, follow the default locale.
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  CPellarDlg window(link);
  window.exec();  // how the run ended makes no difference
  return false;
}
