#include "UiTestSupport.h"
#include "ui/CommandLine.h"

using namespace tamber::ui;
using namespace tamber::test;

const struct {
    const char* Name;
    QStringList Arguments;
    TCommandLine::TAction Action;
    QString FileOrText;
} kCommandLines[] = {
    {"a file after -- may start with a dash", {"--", "-c.tbr"}, TCommandLine::Run, "./-c.tbr"},
    {"-h wins over a file and an unknown option", {"x.tbr", "--bad", "-h"}, TCommandLine::Help, "用法:"},
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
        QCOMPARE(std::pair(int(line.Action), c.Action == TCommandLine::Run ? line.File : line.Text.left(c.FileOrText.size())),
                 std::pair(int(c.Action), QString(c.FileOrText).replace("./", QDir::currentPath() + '/')));  // "./": the working folder
    }
};

static const bool kRegistered = RegisterUiTest<CommandLineTest>();
#include "CommandLineTest.moc"
