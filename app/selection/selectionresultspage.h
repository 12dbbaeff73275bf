#pragma once

#include "selection/selectiontexts.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

class QFont;
class QListView;
class QPlainTextEdit;
class QPushButton;

namespace rvk {

class IndividualCheckListModel;
class MainWindow;

// The page "Select Indiv. && Sel. Results": the individual check list with its buttons, the
// selection list files, the criteria and results texts and "Compare Individuals". The page owns
// the texts; the criteria page and other selections write them.
class SelectionResultsPage : public QWidget
{
    Q_OBJECT

public:
    // Prints the result lines in font; the default asks for a printer with the print dialog.
    using ResultPrinter = std::function<void(const QStringList &lines, const QFont &font)>;

    explicit SelectionResultsPage(MainWindow &window, QWidget *parent = nullptr);
    ~SelectionResultsPage() override;

    SelectionTexts &texts() { return mTexts; }
    QListView *list() const { return mList; }
    IndividualCheckListModel *model() const { return mModel; }
    QPlainTextEdit *criteriaText() const { return mMemo1; }
    QPlainTextEdit *resultsText() const { return mMemo2; }
    void setResultPrinter(ResultPrinter printer) { mPrint = std::move(printer); }

    // The rows highlighted in the list, ascending.
    std::vector<int> highlightedRows() const;

    // The buttons beside the list.
    void selectAll();
    void selectNone();
    void checkHighlighted();
    void uncheckHighlighted();
    void lockHighlighted();
    void unlockHighlighted();
    void saveSelection();
    void openSelection();
    // "Save.." and "Print".
    void saveResults();
    void printResults();
    // Draws the ticked individuals side by side on the image page; at most ten.
    void compareIndividuals();

    // The page is left for newPage: the ticks become the selection.
    void leave(int newPage);
    // The names, ticks or locks changed elsewhere.
    void refreshList();
    // The texts changed elsewhere.
    void refreshTexts();

signals:
    // Ticks, filtering or the texts changed.
    void selectionChanged();

private:
    void ticksChanged();
    void listClicked();

    MainWindow &mWindow;
    SelectionTexts mTexts;
    IndividualCheckListModel *mModel = nullptr;
    QListView *mList = nullptr;
    QPlainTextEdit *mMemo1 = nullptr;
    QPlainTextEdit *mMemo2 = nullptr;
    ResultPrinter mPrint;
};

} // namespace rvk
