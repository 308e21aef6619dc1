// The desktop program: splash window, main window, About window; the program
// ends when the main window closes. A plan file named on the command line is
// loaded at start; "--help" and "--version" answer on the terminal.
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <filesystem>

#include "model/Errors.h"
#include "ui/About.h"
#include "ui/CommandLine.h"
#include "ui/Main.h"
#include "ui/Prompts.h"
#include "ui/UiTexts.h"
#include "ui/Wiring.h"

namespace {

// Errors that escape a command are shown in a box; no window closes for them.
class TApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            QMessageBox::critical(activeWindow(), QStringLiteral("Tamber 98"), QString::fromUtf8(e.what()));
        }
        return false;
    }
};

// Prints Text on Stream (the terminal) and gives Status back.
int Answer(std::FILE* stream, const QString& text, int status) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    return status;
}

}  // namespace

int main(int argc, char* argv[]) {
    using tamber::ui::TCommandLine;
    // The help and the version are answered before the window system is
    // reached, so that they work without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    if (const TCommandLine early = tamber::ui::ParseCommandLine(arguments);
        early.Action == TCommandLine::Help || early.Action == TCommandLine::Version) {
        return Answer(stdout, early.Text, 0);
    }
    TApplication app(argc, argv);
    // Without the toolkit's own options, which the application has taken.
    const TCommandLine commandLine = tamber::ui::ParseCommandLine(QCoreApplication::arguments());
    if (commandLine.Action == TCommandLine::Fail) return Answer(stderr, commandLine.Text, 2);
    QApplication::setApplicationName(QStringLiteral("Tamber98"));
    QGuiApplication::setDesktopFileName(QStringLiteral(TAMBER98_APP_ID));
    QIcon icon = QIcon::fromTheme(QStringLiteral(TAMBER98_APP_ID));
    if (icon.isNull()) {
        for (const char* size : {"32", "48", "256"}) {
            icon.addFile(QStringLiteral(":/icons/tamber98-%1.png").arg(QLatin1String(size)));
        }
    }
    QApplication::setWindowIcon(icon);
    // The standard dialogs and buttons speak the program's language.
    tamber::ui::LoadToolkitTranslations(app);

    auto* splash = new tamber::ui::TSplashForm;
    splash->ShowPainted();

    const std::filesystem::path programDir = QCoreApplication::applicationDirPath().toStdString();
    const std::filesystem::path configDir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString();
    tamber::ui::TForm1::TOptions options;
    options.SettingsFile = tamber::ChooseSettingsFile(programDir, configDir);

    tamber::ui::TForm1 mainWindow(options);
    // The About window, the plan editor and the balance adjustment live until
    // the program ends; the catch-up dialog and the chart exist while shown.
    tamber::ui::WireWindows(mainWindow, tamber::ui::SystemPrompts());

    // Maximized; the geometry also fills the screen where no window manager maximizes.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) mainWindow.setGeometry(screen->availableGeometry());
    mainWindow.showMaximized();
    splash->Finish(mainWindow);
    delete splash;
    // Loaded once the window is up, so that a catch-up or an error shows over it.
    if (!commandLine.File.isEmpty()) {
        QTimer::singleShot(0, &mainWindow, [&mainWindow, file = commandLine.File] { mainWindow.OpenPlanFile(file); });
    }
    return QApplication::exec();
}
