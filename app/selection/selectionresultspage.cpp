#include "app/selection/selectionresultspage.h"

#include "app/selection/individualchecklistmodel.h"
#include "app/mainwindow.h"
#include "render/comparisonview.h"
#include "selection/selectionlists.h"

#include <QDate>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

namespace rvk {

namespace {

QString toQt(const std::string &text) { return QString::fromStdString(text); }

QStringList toQt(const std::vector<std::string> &lines)
{
    QStringList result;
    result.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string &line : lines)
        result.append(toQt(line));
    return result;
}

// On the printer chosen with "Printer Setup", which the print dialog starts from.
void printOnPrinter(QWidget *parent, QPrinter &printer, const QStringList &lines, const QFont &font)
{
    printer.setDocName(QStringLiteral("RVK selection results"));
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QTextDocument document;
    document.setDefaultFont(font);
    document.setPlainText(lines.join(QLatin1Char('\n')));
    document.print(&printer);
}

QPushButton *button(const QString &caption, const char *name, const QString &hint = {})
{
    auto *result = new QPushButton(caption);
    result->setObjectName(QString::fromLatin1(name));
    if (!hint.isEmpty())
        result->setToolTip(hint);
    return result;
}

} // namespace

SelectionResultsPage::SelectionResultsPage(MainWindow &window, QWidget *parent)
    : QWidget(parent),
      mWindow(window)
{
    setObjectName(QStringLiteral("SelectionResultsPage"));
    mPrint = [this](const QStringList &lines, const QFont &font) { printOnPrinter(this, mWindow.printer(), lines, font); };

    mModel = new IndividualCheckListModel(window.data(), this);
    connect(mModel, &IndividualCheckListModel::tickEdited, this, [this] { listClicked(); });
    mList = new QListView;
    mList->setObjectName(QStringLiteral("selectedind"));
    mList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    mList->setUniformItemSizes(true);
    mList->setModel(mModel);
    connect(mList, &QListView::clicked, this, [this] { listClicked(); });

    auto *listColumn = new QVBoxLayout;
    listColumn->addWidget(new QLabel(QStringLiteral("Selected individuals")));
    listColumn->addWidget(mList, 1);

    struct Action
    {
        QString caption;
        const char *name;
        void (SelectionResultsPage::*handler)();
    };
    const Action actions[] = {
        {QStringLiteral("All"), "SelectallIndBtn", &SelectionResultsPage::selectAll},
        {QStringLiteral("None"), "selectnoneind", &SelectionResultsPage::selectNone},
        {QStringLiteral("Check"), "checkbtn", &SelectionResultsPage::checkHighlighted},
        {QStringLiteral("Uncheck"), "uncheckbtn", &SelectionResultsPage::uncheckHighlighted},
        {QStringLiteral("Lock current selection (must be included always)"), "fixselectbutn",
         &SelectionResultsPage::lockHighlighted},
        {QStringLiteral("Unlock current selection"), "unlockbtn", &SelectionResultsPage::unlockHighlighted},
        {QStringLiteral("save selection"), "saveselectionbtn", &SelectionResultsPage::saveSelection},
        {QStringLiteral("open selection"), "openselectionbtn", &SelectionResultsPage::openSelection},
    };
    auto *buttons = new QVBoxLayout;
    for (const Action &action : actions) {
        QPushButton *b = button(action.caption, action.name);
        connect(b, &QPushButton::clicked, this, action.handler);
        buttons->addWidget(b);
        if (action.handler == &SelectionResultsPage::unlockHighlighted)
            buttons->addSpacing(12);
    }
    buttons->addSpacing(12);
    QPushButton *compare = button(QStringLiteral("Compare Individuals"), "Comparebtn",
                                  QStringLiteral("Select TWO individuals, to be drawn next to one another"));
    connect(compare, &QPushButton::clicked, this, &SelectionResultsPage::compareIndividuals);
    buttons->addWidget(compare);
    buttons->addStretch();

    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    auto memo = [&](const char *name) {
        auto *edit = new QPlainTextEdit;
        edit->setObjectName(QString::fromLatin1(name));
        edit->setReadOnly(true);
        edit->setLineWrapMode(QPlainTextEdit::NoWrap);
        edit->setFont(fixed);
        return edit;
    };
    mMemo1 = memo("Memo1");
    mMemo2 = memo("Memo2");
    auto *criteriaPanel = new QGroupBox(QStringLiteral("Selection Criteria"));
    (new QVBoxLayout(criteriaPanel))->addWidget(mMemo1);
    auto *resultsPanel = new QGroupBox(QStringLiteral("Selection Results"));
    (new QVBoxLayout(resultsPanel))->addWidget(mMemo2);
    auto *textButtons = new QHBoxLayout;
    QPushButton *save = button(QStringLiteral("Save.."), "Saveresulstbtn");
    connect(save, &QPushButton::clicked, this, &SelectionResultsPage::saveResults);
    QPushButton *print = button(QStringLiteral("Print"), "Printresultbtn", QStringLiteral("Print (selection) of list"));
    connect(print, &QPushButton::clicked, this, &SelectionResultsPage::printResults);
    textButtons->addWidget(save);
    textButtons->addWidget(print);
    textButtons->addStretch();
    auto *textColumn = new QVBoxLayout;
    textColumn->addWidget(criteriaPanel, 1);
    textColumn->addWidget(resultsPanel, 2);
    textColumn->addLayout(textButtons);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(listColumn, 2);
    layout->addLayout(buttons);
    layout->addLayout(textColumn, 3);
}

SelectionResultsPage::~SelectionResultsPage() = default;

std::vector<int> SelectionResultsPage::highlightedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex &index : mList->selectionModel()->selectedIndexes())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void SelectionResultsPage::ticksChanged()
{
    mModel->refresh();
    emit selectionChanged();
    emit mWindow.individualsChanged();
}

void SelectionResultsPage::listClicked()
{
    SelectionList::listClicked(mWindow.data());
    emit selectionChanged();
}

void SelectionResultsPage::selectAll()
{
    SelectionList::selectAll(mWindow.data());
    ticksChanged();
}

void SelectionResultsPage::selectNone()
{
    SelectionList::selectNone(mWindow.data());
    ticksChanged();
}

void SelectionResultsPage::checkHighlighted()
{
    SelectionList::check(mWindow.data(), highlightedRows());
    ticksChanged();
}

void SelectionResultsPage::uncheckHighlighted()
{
    SelectionList::uncheck(mWindow.data(), highlightedRows());
    ticksChanged();
}

void SelectionResultsPage::lockHighlighted()
{
    SelectionList::lock(mWindow.data(), highlightedRows());
    ticksChanged();
}

void SelectionResultsPage::unlockHighlighted()
{
    SelectionList::unlock(mWindow.data(), highlightedRows());
    ticksChanged();
}

void SelectionResultsPage::saveSelection() { SelectionList::saveSelectionList(mWindow.data(), mWindow.userInterface()); }

void SelectionResultsPage::openSelection()
{
    if (SelectionList::openSelectionList(mWindow.data(), mWindow.userInterface()))
        ticksChanged();
}

void SelectionResultsPage::saveResults() { SelectionList::saveResults(mTexts, mWindow.userInterface()); }

void SelectionResultsPage::printResults()
{
    // The date as the person's desktop writes dates; numbers keep "." whatever the locale.
    const std::string date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
    mPrint(toQt(SelectionList::printedResultLines(mTexts, date)), mMemo1->font());
}

void SelectionResultsPage::compareIndividuals()
{
    GenotypeData &data = mWindow.data();
    if (data.GroupCount() == 0)
        return;
    // Whether there is anything to draw is known before the image page comes to the front.
    const DrawContext context = mWindow.drawContext();
    const ComparisonView::Layout layout = ComparisonView(data, mWindow.alleles(), context).layout();
    if (!layout.message.empty()) {
        mWindow.userInterface().warning(layout.message);
        return;
    }
    mWindow.showPage(MainWindow::ImagePageIndex);
    ComparisonView::Layout drawn;
    ViewPicture picture = drawComparison(data, mWindow.alleles(), mWindow.drawContext(), &drawn);
    if (!drawn.message.empty()) {
        mWindow.userInterface().warning(drawn.message);
        return;
    }
    mWindow.showPicture(std::move(picture));
}

void SelectionResultsPage::leave(int newPage)
{
    SelectionList::leavePage(mWindow.data(), mTexts);
    emit selectionChanged();
    if (newPage == MainWindow::ImagePageIndex && mWindow.data().GroupCount() > 0)
        mWindow.RadioGroup1Click();
}

void SelectionResultsPage::refreshList() { mModel->refresh(); }

void SelectionResultsPage::refreshTexts()
{
    const auto show = [](QPlainTextEdit *edit, const std::vector<std::string> &lines) {
        const QString text = toQt(lines).join(QLatin1Char('\n'));
        if (edit->toPlainText() != text)
            edit->setPlainText(text);
    };
    show(mMemo1, mTexts.Memo1);
    show(mMemo2, mTexts.Memo2);
}

} // namespace rvk
