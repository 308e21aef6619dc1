#include "Wiring.h"

#include "About.h"
#include "ChartUnit.h"
#include "DrawCalendar.h"
#include "Input.h"
#include "Main.h"
#include "catchup.h"
#include "init.h"

namespace tamber::ui {

TWiredWindows WireWindows(TForm1& mainWindow, TPrompts& prompts) {
    TForm1* main = &mainWindow;
    TPrompts* asks = &prompts;
    const auto today = [main] { return main->Today(); };

    TWiredWindows windows;
    windows.About = new TAboutBox(main);
    windows.Editor = new TForm2(main->Book(), main->State(), {.Prompts = asks, .Today = today}, main);
    windows.Balance = new TForm3(main->State(), today, prompts, main);

    mainWindow.ShowAbout = [about = windows.About] { about->exec(); };
    mainWindow.EditPlans = [main, editor = windows.Editor] {
        editor->SetStartDate(main->Calendar().SelectedDate());
        editor->exec();
    };
    windows.Balance->SaveBook = [main] { return main->SaveCommand(); };
    mainWindow.AdjustBalance = [balance = windows.Balance] { balance->exec(); };
    mainWindow.ShowChart = [main, asks, today] {
        TForm4 chart(main->Book(), main->State().OpeningBalance, today, asks, main);
        chart.exec();
    };
    mainWindow.CatchUp = [main, asks](TPendingList& pending, const TPlanBookState& state) {
        return ShowCatchUp(pending, state, *asks, main);
    };
    return windows;
}

}  // namespace tamber::ui
