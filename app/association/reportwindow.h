#pragma once
// "Output File": the rich-text report window of the statistics library. It collects the
// fixed-width reports of the ANOVA association, lets the user edit them, change the font of a
// selection, print them as one job titled "Rich Text Output", and save and open them as RTF.
//
// The text area is a plain-text editor with character formats: it keeps a report of a million
// lines responsive where a full rich-text layout would not.

#include "io/rtfdocument.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <string>

class QPagedPaintDevice;
class QPlainTextEdit;
class QFont;

namespace rvk {

class UserInterface;

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
    UserInterface &mUi;
    QPlainTextEdit *mEditor = nullptr;
    unsigned mLoading = 0; // counts report loads, so a load replaced meanwhile stops
};

} // namespace rvk
