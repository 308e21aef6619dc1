#include "CommandLine.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include "About.h"

namespace tamber::ui {
namespace {

const QString kHelp = QStringLiteral(
    "用法: tamber98 [選項] [計劃檔]\n"
    "\n"
    "個人理財計劃: 以月曆推算每日收支與結存。\n"
    "給了計劃檔時, 程式啟動後就載入它, 和「檔案」功能表的「載入」一樣。\n"
    "\n"
    "選項:\n"
    "  -h, --help     顯示這份說明\n"
    "  -v, --version  顯示版本\n");

TCommandLine Failure(const QString& what) {
    return {TCommandLine::Fail, {}, QStringLiteral("tamber98: %1\n請用 tamber98 --help 查看用法\n").arg(what)};
}

}  // namespace

TCommandLine ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // "-reverse", one of the toolkit's own options, is one unknown word, not -r -e -v ...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOptions({help, version});
    const bool parsed = parser.parse(arguments);
    if (parser.isSet(help)) return {TCommandLine::Help, {}, kHelp};
    if (parser.isSet(version)) return {TCommandLine::Version, {}, kProductName + QLatin1Char(' ') + kVersion + '\n'};
    if (!parsed) {
        QStringList unknown;
        for (const QString& name : parser.unknownOptionNames()) {
            unknown << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        }
        return Failure(unknown.isEmpty() ? parser.errorText()
                                         : QStringLiteral("不認得的選項 %1").arg(unknown.join(QStringLiteral(", "))));
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) return Failure(QStringLiteral("只能開啟一個計劃檔"));
    if (files.isEmpty()) return {};
    return {TCommandLine::Run, QFileInfo(files.first()).absoluteFilePath(), {}};
}

}  // namespace tamber::ui
