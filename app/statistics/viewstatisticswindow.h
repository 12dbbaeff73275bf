#pragma once

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QLabel;
class QPagedPaintDevice;
class QPrinter;
class QTableWidget;

namespace rvk {

class MainWindow;

// The small window "Statistics": how much of the map length of the last drawing each allele
// carries, as a grid and a pie. It stays above the main window without blocking it and is
// recomputed whenever it becomes the active window.
class ViewStatisticsWindow : public QWidget
{
    Q_OBJECT

public:
    // Asks for the printer set-up; false when the person cancels. Replaceable so that nothing
    // waits for a dialog under test.
    using PrintDialog = std::function<bool(QPrinter &printer)>;

    explicit ViewStatisticsWindow(MainWindow &window);
    ~ViewStatisticsWindow() override;

    // "Statistics on &Current View" and "Show Statistics": show, or bring to the front.
    void showCurrentViewStatistics();
    // Grid and pie from the drawn lengths of the allele table.
    void refreshCurrentViewStatistics();
    // The caption of the title panel; a visible window comes to the front and refreshes.
    void setStatisticsTitle(const QString &title);
    QString statisticsTitle() const;
    // After every drawing: the title of a linkage-group or individual view. The all-in-one
    // view leaves it as it was.
    void afterViewDrawn();

    // "Next >" and "< Prev": the next group or individual of the current view, then a refresh.
    void next();
    void previous();
    // "Print": an image of the window on the printer chosen.
    void print();
    bool printTo(QPagedPaintDevice &device, std::string &error);
    void setPrintDialog(PrintDialog dialog) { mPrintDialog = std::move(dialog); }

    QTableWidget *grid() const { return mGrid; }
    const QImage &pieImage() const { return mPie; }

protected:
    bool event(QEvent *event) override;

private:
    MainWindow &mWindow;
    QLabel *mTitle;
    QTableWidget *mGrid;
    QLabel *mPieView;
    QImage mPie;
    bool mListedBefore = false; // once an allele was listed the headers read " % " and "cM"
    PrintDialog mPrintDialog;
};

} // namespace rvk
