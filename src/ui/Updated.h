// TForm6: the unsaved-changes prompt, "計劃已異動, 是否要存檔 ?" with the
// buttons "存檔" (save, then close) and "離開" (close without saving).
#pragma once

#include <QDialog>

#include <functional>

namespace tamber::ui {

class TForm6 : public QDialog {
    Q_OBJECT
public:
    // Save runs when "存檔" is pressed; when it returns false (the save
    // failed and said so) the prompt stays open.
    explicit TForm6(std::function<bool()> save, QWidget* parent = nullptr);

private:
    void Button1Click();

    std::function<bool()> Save_;
};

}  // namespace tamber::ui
