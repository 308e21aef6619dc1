#include <QDir>
#include <QtTest>

#include "UiTestSupport.h"
#include "ui/About.h"
#include "ui/CommandLine.h"

using namespace tamber::ui;

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void readsTheArguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("fileOrText");  // the file for Run, the start of the text otherwise
        const QString here = QDir::currentPath();
        const auto row = [](const char* name, QStringList args, TCommandLine::TAction action, const QString& expected) {
            QTest::newRow(name) << (QStringList{QStringLiteral("tamber98")} + args) << int(action) << expected;
        };
        row("nothing: a blank start", {}, TCommandLine::Run, QString());
        row("a file, from the working folder", {"b.tbr"}, TCommandLine::Run, here + "/b.tbr");
        row("a file after -- may start with a dash", {"--", "-c.tbr"}, TCommandLine::Run, here + "/-c.tbr");
        row("-h wins over a file and an unknown option", {"x.tbr", "--bad", "-h"}, TCommandLine::Help, "用法:");
        row("-v", {"-v"}, TCommandLine::Version, "Tamber 98 " + kVersion + "\n");
        row("a toolkit option is one unknown word, not -v", {"-reverse"}, TCommandLine::Fail,
            "tamber98: 不認得的選項 --reverse\n請用 tamber98 --help 查看用法");
        row("two files", {"a.tbr", "b.tbr"}, TCommandLine::Fail, "tamber98: 只能開啟一個計劃檔\n");
    }
    void readsTheArguments() {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QString, fileOrText);
        const TCommandLine line = ParseCommandLine(arguments);
        QCOMPARE(int(line.Action), action);
        if (action == TCommandLine::Run) {
            QCOMPARE(line.File, fileOrText);
        } else {
            QVERIFY2(line.Text.startsWith(fileOrText), qPrintable(line.Text));
        }
    }
};

static const bool kRegistered = tamber::test::RegisterUiTest<CommandLineTest>();
#include "CommandLineTest.moc"
