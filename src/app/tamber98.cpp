// The desktop program. Until the main window lands it opens an empty window
// with the program's caption.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tamber 98"));
    window.resize(800, 600);
    window.show();
    return QApplication::exec();
}
