// The program's command line: a plan file to open, help, the version or what is wrong.
#include "UiTestSupport.h"
#include "ui/About.h"
#include "ui/CommandLine.h"

using namespace tamber::ui;
using namespace tamber::test;

// The arguments after the program's name: the action, and the file (Run, "." for the working folder) or the start
// of the text printed.
const struct {
    const char* Name;
    QStringList Arguments;
    TCommandLine::TAction Action;
    QString FileOrText;
} kCommandLines[] = {
    {"nothing: a blank start", {}, TCommandLine::Run, ""},
    {"a file, from the working folder", {"b.tbr"}, TCommandLine::Run, "./b.tbr"},
    {"a file after -- may start with a dash", {"--", "-c.tbr"}, TCommandLine::Run, "./-c.tbr"},
    {"-h wins over a file and an unknown option", {"x.tbr", "--bad", "-h"}, TCommandLine::Help, "用法:"},
    {"-v", {"-v"}, TCommandLine::Version, "Tamber 98 " + kVersion + "\n"},
    {"a toolkit option is one unknown word, not -v", {"-reverse"}, TCommandLine::Fail, "tamber98: 不認得的選項 --reverse\n請用 tamber98 --help 查看用法"},
    {"two files", {"a.tbr", "b.tbr"}, TCommandLine::Fail, "tamber98: 只能開啟一個計劃檔\n"},
};

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void readsTheArguments_data() { Rows(kCommandLines); }
    void readsTheArguments() {
        const auto& c = Row(kCommandLines);
        const TCommandLine line = ParseCommandLine(QStringList{"tamber98"} + c.Arguments);
        QString expected = c.FileOrText;
        if (expected.startsWith("./")) expected.replace(0, 1, QDir::currentPath());
        QCOMPARE(int(line.Action), int(c.Action));
        if (c.Action == TCommandLine::Run) QCOMPARE(line.File, expected);
        if (c.Action != TCommandLine::Run) QVERIFY2(line.Text.startsWith(expected), qPrintable(line.Text));
    }
};

static const bool kRegistered = RegisterUiTest<CommandLineTest>();
#include "CommandLineTest.moc"
