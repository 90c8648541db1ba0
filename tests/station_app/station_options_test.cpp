// The station window's command line: what it takes, and what ends the program before any window.
#include <QtTest>

#include <sstream>

#include "station_options.h"

class StationOptionsTest : public QObject {
  Q_OBJECT

 private slots:
  void everyOptionIsTaken() {
    std::ostringstream out, err;
    int status = -1;
    auto options = pellar::ParseStationOptions(
        {"--simulate", "d.json", "--trace", "t.jsonl", "--encoding", "GBK", "--list", "l.txt",
         "--match", "0x1234:5678", "--ports", "1-1.1,1-1.2", "--record", "r.jsonl"},
        out, err, &status);
    QVERIFY(options.has_value());
    QCOMPARE(status, 0);
    QCOMPARE(options->link.simulate_file, std::string("d.json"));
    QCOMPARE(options->link.trace_file, std::string("t.jsonl"));
    QCOMPARE(options->link.encoding, std::string("GBK"));
    QCOMPARE(options->list_path, std::string("l.txt"));
    QCOMPARE(options->match, std::string("0x1234:5678"));
    QCOMPARE(options->ports, (std::vector<std::string>{"1-1.1", "1-1.2"}));
    QCOMPARE(options->record_path, std::string("r.jsonl"));
  }

  void endsBeforeAnyWindow_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("told");  // part of what was printed
    QTest::newRow("help") << QStringList{"--help"} << 0 << "--match";
    QTest::newRow("version") << QStringList{"--version"} << 0 << "1.0.0.1";
    QTest::newRow("a match that is no pair") << QStringList{"--match", "12345678"} << 2
                                             << "--match takes VID:PID in hexadecimal";
    QTest::newRow("a zero product id") << QStringList{"--match", "1234:0"} << 2 << "\"1234:0\"";
    QTest::newRow("an unknown option") << QStringList{"--once"} << 2 << "--once";
  }

  void endsBeforeAnyWindow() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, told);
    std::vector<std::string> words;
    for (const QString& argument : arguments) words.push_back(argument.toStdString());
    std::ostringstream out, err;
    int ended = -1;
    QVERIFY(!pellar::ParseStationOptions(words, out, err, &ended).has_value());
    QCOMPARE(ended, status);
    QVERIFY2(QString::fromStdString(out.str() + err.str()).contains(told), (out.str() + err.str()).c_str());
  }
};

QTEST_GUILESS_MAIN(StationOptionsTest)
#include "station_options_test.moc"
