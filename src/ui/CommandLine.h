// The program's command line: at most one plan file to open at start, or a
// request for the help text or the version, answered on the terminal.
#pragma once

#include <QString>
#include <QStringList>

namespace tamber::ui {

struct TCommandLine {
    enum TAction { Run, Help, Version, Fail };
    TAction Action = Run;
    QString File;  // Run: the plan file to open at start as an absolute path; empty for none
    QString Text;  // Help, Version: what to print; Fail: what is wrong, with a hint
};

// Reads Arguments (the first is the program's name). Options are "-h",
// "--help", "-v" and "--version", which win over anything else given; a
// word after "--" is a file name even when it starts with "-". An unknown
// option or a second file fails.
TCommandLine ParseCommandLine(const QStringList& arguments);

}  // namespace tamber::ui
