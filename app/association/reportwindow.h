#pragma once
// "Output File": the rich-text report window of the statistics library. It collects the
// fixed-width reports of the ANOVA association, lets the user edit them, change the font of a
// selection, print them as one job titled "Rich Text Output", and save and open them as RTF.
//
// The text area is a plain-text editor with character formats. The report of an ANOVA run is
// shown as a list over the run's numbers instead, each line written when it is shown: a run over
// 50,000 markers has millions of lines. Editing it (cut, paste, font) turns it into text first.

#include "genetics/anovaassociationreport.h"
#include "io/rtfdocument.h"

#include <QAbstractListModel>
#include <QSize>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QListView;
class QPagedPaintDevice;
class QPlainTextEdit;
class QFont;
class QStackedWidget;

namespace rvk {

class UserInterface;

// The lines of an ANOVA association report, one row each, written when the view asks for them.
class ReportLinesModel : public QAbstractListModel
{
public:
    explicit ReportLinesModel(QObject *parent = nullptr) : QAbstractListModel(parent) {}

    void setReport(std::shared_ptr<const AnovaAssociationReport> report, QSize lineSize);
    const std::shared_ptr<const AnovaAssociationReport> &report() const { return mReport; }
    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    std::shared_ptr<const AnovaAssociationReport> mReport;
    QSize mLineSize;
};

class ReportWindow : public QWidget
{
public:
    static constexpr const char *Caption = "Output File";
    static constexpr const char *PrintTitle = "Rich Text Output";
    static constexpr const char *Filter = "Numerist rich text files (*.rtf)|*.RTF";

    explicit ReportWindow(UserInterface &ui, QWidget *parent = nullptr);

    // Operations of the analyses: clear, replace the text by a whole report, append a line.
    void clearText();
    void setReportText(const std::string &text);
    void appendLine(const std::string &line);
    // Replaces the text by the report of an ANOVA association run, shown line by line as it is
    // scrolled to; the window shares the report.
    void showAnovaReport(std::shared_ptr<const AnovaAssociationReport> report);
    const AnovaAssociationReport *anovaReport() const { return mLinesModel->report().get(); }
    // The text shown, whichever way it is held.
    std::string reportText() const;
    QListView *reportLines() const { return mLines; }
    // Shows the window (maximised, not modal).
    void showReport();

    QPlainTextEdit *editor() const { return mEditor; }
    // The text with the fonts applied to it, and back.
    RtfDocument document() const;
    void setDocument(const RtfDocument &document);

    // "Open File" and "Save File" with a file chosen already; false after a message.
    bool openFile(const std::string &path);
    bool saveFile(const std::string &path);
    // The buttons.
    void openFileClick();
    void saveFileClick();
    void fontClick();
    void printClick();
    // Prints the text on device as one job.
    void print(QPagedPaintDevice &device);

    // Asks for the font of "Font" (a font dialog unless replaced, as the tests do).
    std::function<std::optional<QFont>(const QFont &current)> chooseFont;

private:
    // An ANOVA report shown as lines becomes text in the editor (for the edits that need it).
    void makeEditable();
    void copyClick();
    void showEditor();

    UserInterface &mUi;
    QPlainTextEdit *mEditor = nullptr;
    QListView *mLines = nullptr;
    ReportLinesModel *mLinesModel = nullptr;
    QStackedWidget *mStack = nullptr;
    unsigned mLoading = 0; // counts report loads, so a load replaced meanwhile stops
};

} // namespace rvk
