#include "ui/Wiring.h"

#include "ui/About.h"
#include "ui/ChartUnit.h"
#include "ui/DrawCalendar.h"
#include "ui/Input.h"
#include "ui/Main.h"
#include "ui/catchup.h"
#include "ui/init.h"

namespace tamber::ui {

TWiredWindows WireWindows(TForm1& mainWindow, TPrompts& prompts) {
    TForm1* main = &mainWindow;
    TPrompts* asks = &prompts;
    const auto today = [main] { return main->Today(); };

    TWiredWindows windows;
    windows.About = new TAboutBox(main);
    windows.Editor = new TForm2(main->Book(), main->State(), {.Prompts = asks, .Today = today}, main);
    windows.Balance = new TForm3(main->State(), today, prompts, main);

    QObject::connect(main, &TForm1::AboutRequested, windows.About, &QDialog::exec);
    QObject::connect(main, &TForm1::EditPlansRequested, windows.Editor, [main, editor = windows.Editor] {
        editor->SetStartDate(main->Calendar().SelectedDate());
        editor->exec();
    });
    QObject::connect(main, &TForm1::AdjustBalanceRequested, windows.Balance, &QDialog::exec);
    QObject::connect(windows.Balance, &TForm3::SaveRequested, main, &TForm1::SaveCommand);
    QObject::connect(main, &TForm1::ChartRequested, main, [main, asks, today] {
        TForm4 chart(main->Book(), main->State().OpeningBalance, today, asks, main);
        chart.exec();
    });
    mainWindow.CatchUp = [main, asks](TPendingList& pending, const TPlanBookState& state) {
        return ShowCatchUp(pending, state, *asks, main);
    };
    return windows;
}

}  // namespace tamber::ui
