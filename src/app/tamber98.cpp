// The desktop program: splash window, main window, About window; the program
// ends when the main window closes. It takes no command-line arguments.
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QScreen>
#include <QMessageBox>
#include <QStandardPaths>

#include <exception>
#include <filesystem>

#include "About.h"
#include "Errors.h"
#include "Main.h"
#include "Prompts.h"
#include "UiTexts.h"
#include "Wiring.h"

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

}  // namespace

int main(int argc, char* argv[]) {
    TApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tamber98"));
    QIcon icon = QIcon::fromTheme(QStringLiteral("tamber98"));
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
    const std::filesystem::path configDir =
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString();
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
    return QApplication::exec();
}
