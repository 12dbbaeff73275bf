#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <string>

namespace rvk {

class MainWindow;

// The commands that write the data set in the program's own layout and for other programs:
// "Sa&ve RVK data", "Export as &Locus data (.loc)", "Create M&EGA datafile" and "Create
// &Mapchart data". Each is one call into its writer; dialogs and messages go through the
// window's UserInterface.
class ExportCommands : public QObject
{
    Q_OBJECT

public:
    explicit ExportCommands(MainWindow &window);

    // Connects the menu entries to the commands.
    void attach();

    // Each returns the path written, or empty when nothing was written.
    std::string SaveDataFile();
    std::string ExportLocusFile();
    std::string ExportMega();
    // Writes the chart of the individual view and hands the file to the platform to open.
    std::string ExportMapChart();

    // Opening the written chart with the platform's default handler; replaceable so that
    // nothing is launched under test.
    void setFileOpener(std::function<bool(const QUrl &)> opener) { mOpenFile = std::move(opener); }

    // Today's date as the written files show it.
    static std::string today();

private:
    MainWindow &mWindow;
    std::function<bool(const QUrl &)> mOpenFile;
};

} // namespace rvk
