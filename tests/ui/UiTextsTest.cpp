#include <QtTest>

#include "ui/UiTexts.h"

using namespace tamber::ui;

class UiTextsTest : public QObject {
    Q_OBJECT
private slots:
    void methodCaptionsDependOnThePlanKind_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("method");
        QTest::addColumn<QString>("caption");
        QTest::newRow("simple deposit, monthly interest") << 2 << 0 << QStringLiteral("按月付息");
        QTest::newRow("simple deposit, any other code") << 2 << 7 << QStringLiteral("到期一次提領");
        QTest::newRow("compound, lump sum in, draws out") << 3 << 0 << QStringLiteral("\"整\"存\"零\"付");
        QTest::newRow("compound, deposits in") << 3 << 2 << QStringLiteral("\"零\"存整付");
        QTest::newRow("compound, code 1 has none") << 3 << 1 << QString();
        QTest::newRow("loan, equal principal") << 4 << 5 << QStringLiteral("本金定額攤還法");
        QTest::newRow("fixed flows have none") << 0 << 0 << QString();
    }
    void methodCaptionsDependOnThePlanKind() {
        QFETCH(int, kind);
        QFETCH(int, method);
        QFETCH(QString, caption);
        QCOMPARE(MethodCaption(kind, method), caption);
    }
    void listsHoldEveryCode() {
        QCOMPARE(PlanKindCaptions().size(), 5);
        QCOMPARE(PeriodKindCaptions().size(), 11);
        QCOMPARE(PeriodKindCaption(8), QStringLiteral("僅只一次"));
        QCOMPARE(PeriodKindCaption(11), QString());
    }
};

QTEST_MAIN(UiTextsTest)
#include "UiTextsTest.moc"
