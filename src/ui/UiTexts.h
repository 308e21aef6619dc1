// The one set of user-interface texts shared by every window: plan kind,
// period kind and method captions, in code order.
#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace tamber::ui {

// Installs the toolkit's own Traditional Chinese texts (the buttons of
// message boxes, the file and print dialogs) into App, whatever the system
// locale; false when they are not installed on the system.
bool LoadToolkitTranslations(QCoreApplication& app);

// Captions of plan kinds 0..4, in the order of the editor's kind list.
const QStringList& PlanKindCaptions();
// Captions of period kinds 0..10, in the order of the editor's period list.
const QStringList& PeriodKindCaptions();
// Caption of a deposit's or loan's method: plan kind 2 reads method 0 as
// "按月付息" and any other as "到期一次提領"; kinds 3 and 4 have a caption for
// their listed codes only (the compound captions keep their ASCII quote
// marks). An empty text where there is none.
QString MethodCaption(int planKind, int method);
// Caption of a plan kind or period kind code, or an empty text outside the lists.
QString PlanKindCaption(int kind);
QString PeriodKindCaption(int periodKind);

}  // namespace tamber::ui
