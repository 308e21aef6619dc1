#include "ui/Theme.h"

#include <QStringList>

namespace tamber::ui {
namespace {

// A font that asks for Family and falls back to Fallback where Family is not
// installed; Chinese faces are named by their customary names.
QFont FontWithFallback(const QString& family, const QString& fallback, int pixelSize) {
    QFont font;
    font.setFamilies(QStringList{family, fallback});
    font.setPixelSize(pixelSize);
    return font;
}

const QString kMing = QStringLiteral("細明體");
const QString kMingHere = QStringLiteral("AR PL UMing TW");

}  // namespace

QFont MingFont(int pixelSize) {
    return FontWithFallback(kMing, kMingHere, pixelSize);
}

QFont SerifFont(int pixelSize) {
    return FontWithFallback(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"), pixelSize);
}

QFont PrintMingFont(double points, bool bold) {
    QFont font;
    font.setFamilies({kMing, kMingHere});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

}  // namespace tamber::ui
