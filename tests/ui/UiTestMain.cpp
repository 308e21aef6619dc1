// Runs every window test class in one program.
#include "UiTestSupport.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::Taiwan));  // the user's: a decimal point, dates "2026/3/10"
    int failed = 0;
    for (const auto& make : tamber::test::UiTests()) {
        const std::unique_ptr<QObject> test = make();
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
