// The main window at the desktop's scale factor (QT_SCALE_FACTOR, set per run by the test list):
// the same division as at 1.0, and the device list's border whole on every side.
#include <QImage>

#include "main_window_template.h"
#include "window_bench.h"

using pellar::testing::WindowBench;

namespace {

// Whether the few device pixels at one edge of `area`, across it at its middle, hold a line: a
// pixel that is neither the list's white nor the window's background.
bool HasLineNear(const QImage& image, const QPoint& from, const QPoint& step, const QColor& background) {
  for (int i = 0; i < 3; ++i) {
    const QPoint at = from + step * i;
    const QRgb pixel = image.pixel(at);
    if (pixel != qRgb(255, 255, 255) && pixel != background.rgb()) return true;
  }
  return false;
}

}  // namespace

class ScalingTest : public QObject {
  Q_OBJECT

 private slots:
  void listBorderIsWholeOnEverySide() {
    WindowBench bench;
    QVERIFY(bench.ShowActive());
    QApplication::processEvents();
    const QImage image = bench.window().grab().toImage();
    const qreal scale = image.devicePixelRatio();
    QCOMPARE(scale, qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());
    const QRect list = bench.list().geometry();
    // The list's outer edges in device pixels, as the backing store rounds them.
    const int left = qRound(list.left() * scale);
    const int top = qRound(list.top() * scale);
    const int right = qRound((list.right() + 1) * scale) - 1;
    const int bottom = qRound((list.bottom() + 1) * scale) - 1;
    const int middle_x = (left + right) / 2;
    const int middle_y = (top + bottom) / 2;
    const QColor background = bench.window().palette().color(QPalette::Window);
    QVERIFY2(HasLineNear(image, {left, middle_y}, {1, 0}, background), "left");
    QVERIFY2(HasLineNear(image, {right, middle_y}, {-1, 0}, background), "right");
    QVERIFY2(HasLineNear(image, {middle_x, top}, {0, 1}, background), "top");
    QVERIFY2(HasLineNear(image, {middle_x, bottom}, {0, -1}, background), "bottom");
  }

  // The list, "scan devices" and the "ota" group in view; the device-information group not.
  void sameDivisionAsAtOne() {
    WindowBench bench;
    QVERIFY(bench.ShowActive());
    const QRect window = bench.window().rect();
    for (int id : {int(pellar::kDeviceList), int(pellar::kScanDevicesButton), int(pellar::kOtaGroup)}) {
      QVERIFY2(window.contains(bench.Find(id)->geometry()), qPrintable(QString::number(id)));
    }
    QVERIFY(bench.Find(pellar::kDeviceInfoGroup)->geometry().top() >= window.height());
  }
};

QTEST_MAIN(ScalingTest)
#include "scaling_test.moc"
