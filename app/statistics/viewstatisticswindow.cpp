#include "app/statistics/viewstatisticswindow.h"

#include "app/mainwindow.h"
#include "core/textformat.h"
#include "core/userinterface.h"
#include "render/pictureexport.h"
#include "stats/viewstatistics.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace rvk {

namespace {

QString toQt(const std::string &text) { return QString::fromStdString(text); }

constexpr int GridRowHeight = 20;

} // namespace

ViewStatisticsWindow::ViewStatisticsWindow(MainWindow &window)
    : QWidget(&window, Qt::Tool), // a tool window stays above its main window
      mWindow(window),
      mTitle(new QLabel),
      mGrid(new QTableWidget(1, 3)),
      mPieView(new QLabel)
{
    setObjectName(QStringLiteral("Tstats"));
    setWindowTitle(QStringLiteral("Statistics"));
    resize(243, 446);

    mTitle->setObjectName(QStringLiteral("titlepanel"));
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setItalic(true);
    mTitle->setFont(titleFont);
    mTitle->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    mTitle->setFrameShape(QFrame::Panel);
    mTitle->setFrameShadow(QFrame::Raised);

    auto *previous = new QPushButton(QStringLiteral("< Prev"));
    connect(previous, &QPushButton::clicked, this, &ViewStatisticsWindow::previous);
    auto *next = new QPushButton(QStringLiteral("Next >"));
    connect(next, &QPushButton::clicked, this, &ViewStatisticsWindow::next);
    auto *stepping = new QHBoxLayout;
    stepping->addWidget(previous);
    stepping->addWidget(next);

    mGrid->setObjectName(QStringLiteral("StringGrid1"));
    mGrid->setFont(QFont(QStringLiteral("Tahoma")));
    mGrid->verticalHeader()->hide();
    mGrid->verticalHeader()->setDefaultSectionSize(GridRowHeight);
    mGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mGrid->setColumnWidth(0, 30);
    mGrid->setColumnWidth(1, 70);
    mGrid->setColumnWidth(2, 64);
    mGrid->setRowCount(0);
    mGrid->setHorizontalHeaderLabels({QString(), QString::fromLatin1(ViewStatistics::InitialShareHeader), QString()});

    mPieView->setObjectName(QStringLiteral("Image1"));
    mPieView->setFixedSize(ViewPieWidth, ViewPieHeight);

    auto *print = new QPushButton(QStringLiteral("Print"));
    connect(print, &QPushButton::clicked, this, &ViewStatisticsWindow::print);
    auto *ok = new QPushButton(QStringLiteral("OK"));
    connect(ok, &QPushButton::clicked, this, &QWidget::hide);
    auto *closing = new QHBoxLayout;
    closing->addWidget(print);
    closing->addWidget(ok);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(mTitle);
    layout->addLayout(stepping);
    layout->addWidget(mGrid, 1);
    layout->addWidget(mPieView, 0, Qt::AlignHCenter);
    layout->addLayout(closing);

    mPrintDialog = [this](QPrinter &printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };
    refreshCurrentViewStatistics();
}

ViewStatisticsWindow::~ViewStatisticsWindow() = default;

void ViewStatisticsWindow::showCurrentViewStatistics()
{
    show();
    raise();
    activateWindow();
    refreshCurrentViewStatistics();
}

void ViewStatisticsWindow::refreshCurrentViewStatistics()
{
    const ViewStatistics statistics = computeViewStatistics(mWindow.alleles());
    const std::vector<std::vector<std::string>> cells = statistics.grid(mListedBefore);
    mListedBefore = mListedBefore || statistics.rowCount() > 0;

    const std::vector<std::string> &header = cells.front();
    mGrid->setHorizontalHeaderLabels({toQt(header[0]), toQt(header[1]), toQt(header[2])});
    mGrid->setRowCount(static_cast<int>(cells.size()) - 1);
    for (size_t row = 1; row < cells.size(); ++row) {
        for (int column = 0; column < 3; ++column) {
            auto *item = new QTableWidgetItem(toQt(cells[row][static_cast<size_t>(column)]));
            if (column > 0)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            mGrid->setItem(static_cast<int>(row) - 1, column, item);
        }
    }

    const QColor face = palette().color(QPalette::Button);
    mPie = renderPictureToImage(
        drawViewStatisticsPie(statistics.pieSlices(), mWindow.alleles(), rgb(face.red(), face.green(), face.blue())));
    mPieView->setPixmap(QPixmap::fromImage(mPie));
}

void ViewStatisticsWindow::setStatisticsTitle(const QString &title)
{
    mTitle->setText(title);
    if (isVisible()) {
        // Brought up without taking the keyboard from the main window, where the person may be
        // stepping through individuals.
        raise();
        refreshCurrentViewStatistics();
    }
}

QString ViewStatisticsWindow::statisticsTitle() const { return mTitle->text(); }

void ViewStatisticsWindow::afterViewDrawn()
{
    const GenotypeData &data = mWindow.data();
    switch (mWindow.viewMode()) {
    case MainWindow::LinkageGroupMode: {
        const DrawContext context = mWindow.drawContext();
        setStatisticsTitle(toQt(linkageGroupViewTitle(context.group + 1, context.firstIndividual, context.lastIndividual)));
        break;
    }
    case MainWindow::IndividualMode: {
        const int individual = data.CurrentIndividual;
        const std::string name = individual >= 1 && individual <= static_cast<int>(data.IndividualNames.size())
                                     ? data.IndividualNames[static_cast<size_t>(individual - 1)]
                                     : std::string();
        setStatisticsTitle(toQt(individualViewTitle(formatText("%d", {individual}), name)));
        break;
    }
    case MainWindow::AllInOneMode:
    case MainWindow::AssociationMode:
        break;
    }
}

void ViewStatisticsWindow::next()
{
    // The window's own buttons step like the tool buttons: groups in the linkage-group view,
    // individuals (Up) in the individual view, nothing in the all-in-one view.
    mWindow.nextGroup();
    refreshCurrentViewStatistics();
}

void ViewStatisticsWindow::previous()
{
    mWindow.previousGroup();
    refreshCurrentViewStatistics();
}

void ViewStatisticsWindow::print()
{
    // The printer chosen with "Printer Setup".
    QPrinter &printer = mWindow.printer();
    printer.setDocName(QStringLiteral("Statistics"));
    if (!mPrintDialog || !mPrintDialog(printer))
        return;
    std::string errorText;
    if (!printTo(printer, errorText))
        mWindow.userInterface().warning(errorText);
}

bool ViewStatisticsWindow::printTo(QPagedPaintDevice &device, std::string &error)
{
    const QPixmap image = grab();
    QPainter painter;
    if (!painter.begin(&device)) {
        error = "Unable to print";
        return false;
    }
    // As large on paper as on a 96-dpi screen.
    const double scale = device.logicalDpiX() / 96.0;
    painter.drawPixmap(QRectF(0.0, 0.0, image.width() * scale, image.height() * scale), image, QRectF(image.rect()));
    painter.end();
    return true;
}

bool ViewStatisticsWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        refreshCurrentViewStatistics();
    return QWidget::event(event);
}

} // namespace rvk
