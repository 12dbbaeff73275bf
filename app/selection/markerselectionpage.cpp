#include "app/selection/markerselectionpage.h"

#include "app/selection/criterialistmodel.h"
#include "app/settings/drawingoptionspage.h"
#include "app/mainwindow.h"
#include "selection/selectiontexts.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace rvk {

namespace {

// The criteria list: letters, digits and "*" set the criterion of the first highlighted row,
// every other key moves through the list as usual.
class CriteriaView : public QTreeView
{
public:
    explicit CriteriaView(MarkerSelectionPage &page) : mPage(page) {}

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (const auto typed = MarkerSelectionPage::typedKey(*event)) {
            mPage.typeKey(mPage.typingRow(), typed->first, typed->second);
            event->accept();
            return;
        }
        QTreeView::keyPressEvent(event);
    }

private:
    MarkerSelectionPage &mPage;
};

} // namespace

MarkerSelectionPage::MarkerSelectionPage(MainWindow &window, SelectionTexts &texts, QWidget *parent)
    : QWidget(parent),
      mWindow(window),
      mTexts(texts),
      mCriteria(window.data())
{
    setObjectName(QStringLiteral("MarkerSelectionPage"));
    mModel = new CriteriaListModel(mCriteria, this);

    auto *view = new CriteriaView(*this);
    mList = view;
    mList->setObjectName(QStringLiteral("selview"));
    mList->setRootIsDecorated(false);
    mList->setItemsExpandable(false);
    mList->setUniformRowHeights(true); // rows are laid out without asking each one its height
    mList->setAllColumnsShowFocus(true);
    mList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    mList->setSelectionBehavior(QAbstractItemView::SelectRows);
    mList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mList->setModel(mModel);
    QHeaderView *header = mList->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    for (int column = 0; column < MarkerCriteria::ColumnCount; ++column)
        if (const int width = MarkerCriteria::columnWidth(column); width > 0)
            header->resizeSection(column, width);

    auto *side = new QVBoxLayout;
    for (const char *line : MarkerCriteria::Instructions) {
        auto *label = new QLabel(QString::fromLatin1(line));
        label->setWordWrap(true);
        side->addWidget(label);
    }
    side->addSpacing(12);
    mApply = new QPushButton(QStringLiteral("Apply"));
    mApply->setObjectName(QStringLiteral("ApplyselectionBtn"));
    connect(mApply, &QPushButton::clicked, this, &MarkerSelectionPage::applyCriteria);
    side->addWidget(mApply);
    mClearAll = new QPushButton(QStringLiteral("Clear All"));
    mClearAll->setObjectName(QStringLiteral("ResetSelbtn"));
    connect(mClearAll, &QPushButton::clicked, this, &MarkerSelectionPage::clearAll);
    side->addWidget(mClearAll);
    side->addSpacing(12);
    mSkipUnselected = new QCheckBox(QStringLiteral("Skip unselected individuals in drawing"));
    mSkipUnselected->setObjectName(QStringLiteral("skipunselected"));
    mSkipUnselected->setChecked(true);
    connect(mSkipUnselected, &QCheckBox::toggled, this, [this](bool on) { mWindow.setSkipUnselected(on); });
    side->addWidget(mSkipUnselected);
    side->addStretch();

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(mList, 1);
    auto *sideWidget = new QWidget;
    sideWidget->setLayout(side);
    sideWidget->setMaximumWidth(320);
    layout->addWidget(sideWidget);
}

MarkerSelectionPage::~MarkerSelectionPage() = default;

void MarkerSelectionPage::buildIfNeeded()
{
    if (mCriteria.isBuilt())
        return;
    mCriteria.build(mWindow.userInterface());
    mModel->reload();
    // Every genotype text of the data set has the same length: one row tells the column's width.
    int width = 200;
    for (int group = 0; group < mWindow.data().GroupCount(); ++group) {
        const int row = mCriteria.rowOf(group, 0);
        if (row < 0)
            continue;
        const QString alleles = QString::fromStdString(mCriteria.cellText(row, MarkerCriteria::AllelesColumn));
        width = std::max(width, mList->fontMetrics().horizontalAdvance(alleles) + 24);
        break;
    }
    mList->header()->resizeSection(MarkerCriteria::AllelesColumn, width);
}

void MarkerSelectionPage::resetList()
{
    mCriteria.clear();
    mModel->reload();
}

void MarkerSelectionPage::refreshRows() { mModel->allRowsChanged(); }

std::optional<std::pair<char, unsigned>> MarkerSelectionPage::typedKey(const QKeyEvent &event)
{
    const int key = event.key();
    char code = 0;
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        code = static_cast<char>('a' + (key - Qt::Key_A));
    else if (key >= Qt::Key_0 && key <= Qt::Key_9)
        code = static_cast<char>('0' + (key - Qt::Key_0));
    else if (key == Qt::Key_Asterisk)
        code = '*';
    else
        return std::nullopt;
    const Qt::KeyboardModifiers held = event.modifiers();
    unsigned modifiers = MarkerCriteria::NoModifier;
    if (held & Qt::ShiftModifier)
        modifiers |= MarkerCriteria::ShiftModifier;
    if (held & Qt::ControlModifier)
        modifiers |= MarkerCriteria::ControlModifier;
    if (held & (Qt::AltModifier | Qt::MetaModifier))
        modifiers |= MarkerCriteria::AltModifier;
    if (held & Qt::KeypadModifier)
        modifiers |= MarkerCriteria::KeypadModifier;
    return std::make_pair(code, modifiers);
}

int MarkerSelectionPage::typingRow() const
{
    int first = -1;
    for (const QModelIndex &index : mList->selectionModel()->selectedRows())
        if (first < 0 || index.row() < first)
            first = index.row();
    return first;
}

bool MarkerSelectionPage::typeKey(int row, char key, unsigned modifiers)
{
    if (!mCriteria.typeKey(row, key, modifiers))
        return false;
    mModel->rowChanged(row);
    return true;
}

void MarkerSelectionPage::setLabelFrequency(int frequency)
{
    DrawingOptions &options = mWindow.displaySettings().drawing;
    if (options.labelfreq == frequency)
        return;
    options.labelfreq = frequency;
    mWindow.drawingOptionsPage()->setOptions(options);
}

void MarkerSelectionPage::redrawAfterChange(int newPage)
{
    // Only the image needs drawing now; any other page is drawn again when the image is shown.
    if (newPage == MainWindow::ImagePageIndex && mWindow.data().GroupCount() > 0)
        mWindow.RadioGroup1Click();
}

void MarkerSelectionPage::applyCriteria()
{
    mCriteria.apply(mTexts);
    emit selectionChanged();
    // Leaving this page writes the criteria and results texts that the next page shows.
    mWindow.showPage(MainWindow::SelectionResultsPage);
}

void MarkerSelectionPage::clearAll()
{
    setLabelFrequency(mCriteria.clearAll(mTexts));
    mModel->allRowsChanged();
    emit selectionChanged();
}

void MarkerSelectionPage::toggleFiltering()
{
    mCriteria.toggleFiltering(mTexts);
    emit selectionChanged();
    // The menu command shows its effect at once, as a redraw does.
    if (mWindow.data().GroupCount() > 0)
        mWindow.RadioGroup1Click();
}

void MarkerSelectionPage::leave(int newPage)
{
    setLabelFrequency(mCriteria.leavePage(mTexts));
    emit selectionChanged();
    redrawAfterChange(newPage);
}

} // namespace rvk
