#include <QApplication>
#include <QLabel>

// Placeholder until the main window lands.
int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QLabel label("Pellar Update Tools");
  label.show();
  return application.exec();
}
