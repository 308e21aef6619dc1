#include "ui/UiTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "model/PlanRecord.h"

namespace tamber::ui {

bool LoadToolkitTranslations(QCoreApplication& app) {
    auto* texts = new QTranslator(&app);
    const QLocale taiwan(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan);
    if (!texts->load(taiwan, QStringLiteral("qtbase"), QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete texts;
        return false;
    }
    return QCoreApplication::installTranslator(texts);
}

const QStringList& PlanKindCaptions() {
    static const QStringList captions = [] {
        QStringList names;
        for (int kind = 0; kind < kPlanKindCount; ++kind) {
            const std::string_view name = PlanKindName(kind);
            names << QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
        }
        return names;
    }();
    return captions;
}

const QStringList& PeriodKindCaptions() {
    static const QStringList captions = {
        QStringLiteral("固定每隔幾天"), QStringLiteral("每隔一年"), QStringLiteral("每半年"),   QStringLiteral("每一季"),
        QStringLiteral("每兩個月一次"), QStringLiteral("每月"),     QStringLiteral("每月兩次"), QStringLiteral("每月三次"),
        QStringLiteral("僅只一次"),     QStringLiteral("每隔二年"), QStringLiteral("每隔三年"),
    };
    return captions;
}

QString MethodCaption(int planKind, int method) {
    switch (planKind) {
        case 2: return method == 0 ? QStringLiteral("按月付息") : QStringLiteral("到期一次提領");
        case 3:
            switch (method) {
                case 0: return QStringLiteral("\"整\"存\"零\"付");
                case 2: return QStringLiteral("\"零\"存整付");
                case 3: return QStringLiteral("\"整\"存整付");
                default: return {};
            }
        case 4:
            switch (method) {
                case 4: return QStringLiteral("本息定額攤還法");
                case 5: return QStringLiteral("本金定額攤還法");
                default: return {};
            }
        default: return {};
    }
}

QString PlanKindCaption(int kind) {
    return kind >= 0 && kind < PlanKindCaptions().size() ? PlanKindCaptions()[kind] : QString();
}

QString PeriodKindCaption(int periodKind) {
    return periodKind >= 0 && periodKind < PeriodKindCaptions().size() ? PeriodKindCaptions()[periodKind] : QString();
}

}  // namespace tamber::ui
