// The windows the main window reaches, and how it reaches them: the About
// window, the plan editor and the balance adjustment live as long as the main
// window; the chart and the catch-up dialog are made each time they are shown.
#pragma once

namespace tamber::ui {

class TAboutBox;
class TForm1;
class TForm2;
class TForm3;
class TPrompts;

// The windows that live with the main window (owned by it).
struct TWiredWindows {
    TAboutBox* About = nullptr;
    TForm2* Editor = nullptr;
    TForm3* Balance = nullptr;
};

// Creates the About window, the plan editor and the balance adjustment as
// children of MainWindow, connects its requests to them and sets its catch-up
// hook: the editor opens on the calendar's selected day, the chart charts the
// book from today's opening balance, a load's catch-up shows TForm5. Every
// window asks and tells through Prompts, which must outlive MainWindow.
TWiredWindows WireWindows(TForm1& mainWindow, TPrompts& prompts);

}  // namespace tamber::ui
