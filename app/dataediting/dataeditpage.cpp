#include "app/dataediting/dataeditpage.h"

#include "app/dataediting/allelegridmodel.h"
#include "app/dataediting/locustreemodel.h"
#include "app/mainwindow.h"
#include "app/selection/sortcontrols.h"
#include "core/textformat.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTreeView>
#include <QVBoxLayout>

namespace rvk {

namespace {

constexpr int HeadingRowHeight = 80;
constexpr int CodeColumnWidth = 18;

QString oneDecimal(double value) { return QString::fromStdString(formatText("%2.1f", {value})); }

// A cell whose text begins with a code is framed in that code's colour. Row 0 shows the name of
// the column's individual, written downwards; row 1 the code.
class AlleleGridDelegate : public QStyledItemDelegate
{
public:
    AlleleGridDelegate(const AlleleGridModel &model, const AlleleTable &alleles, QObject *parent)
        : QStyledItemDelegate(parent), mModel(model), mAlleles(alleles)
    {
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QString text = index.data().toString();
        if (text.isEmpty())
            return;
        painter->save();
        painter->fillRect(option.rect, option.palette.window());
        if (option.state & QStyle::State_Selected)
            painter->fillRect(option.rect, option.palette.highlight().color().lighter(170));
        const int entry = text.at(0).unicode() < 128 ? AlleleTable::indexOf(static_cast<char>(text.at(0).unicode())) : -1;
        if (entry >= 0) {
            const Rgb colour = mAlleles.entry(entry).Color;
            painter->setPen(QColor(redOf(colour), greenOf(colour), blueOf(colour)));
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
        painter->setPen(option.palette.text().color());
        const QFontMetrics metrics(option.font);
        if (index.row() == AlleleGridModel::CodeRow) {
            painter->drawText(QPoint(option.rect.left() + 2, option.rect.top() + 2 + metrics.ascent()), text);
        } else {
            const QString name = mModel.individualName(index.column());
            if (!name.isEmpty()) {
                painter->setClipRect(option.rect);
                painter->translate(option.rect.left() + 1, option.rect.top() + 2);
                painter->rotate(90);
                painter->drawText(QPoint(0, -metrics.descent()), name + QStringLiteral("  "));
            }
        }
        painter->restore();
    }

private:
    const AlleleGridModel &mModel;
    const AlleleTable &mAlleles;
};

} // namespace

DataEditPage::DataEditPage(MainWindow &window, QWidget *parent) : QWidget(parent), mWindow(window)
{
    setObjectName(QStringLiteral("DataEditPage"));
    mTreeModel = new LocusTreeModel(window.data(), this);
    mTree = new QTreeView;
    mTree->setObjectName(QStringLiteral("TreeView1"));
    mTree->setModel(mTreeModel);
    mTree->setHeaderHidden(true);
    mTree->setUniformRowHeights(true);
    mTree->setToolTip(QStringLiteral("Right-click for to sort data"));
    mTree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(mTree, &QTreeView::clicked, this, &DataEditPage::chooseNode);
    connect(mTree, &QTreeView::customContextMenuRequested, this, [this] {
        if (mSortControls)
            mSortControls->sortOnTreeNode();
    });

    mName = new QLineEdit;
    mName->setObjectName(QStringLiteral("Edit1"));
    mPosition = new QLineEdit;
    mPosition->setObjectName(QStringLiteral("Edit2"));
    mQtlStart = new QLineEdit;
    mQtlStart->setObjectName(QStringLiteral("qtlpos1"));
    mQtlEnd = new QLineEdit;
    mQtlEnd->setObjectName(QStringLiteral("qtlpos2"));
    connect(mName, &QLineEdit::editingFinished, this, &DataEditPage::applyName);
    connect(mPosition, &QLineEdit::editingFinished, this, &DataEditPage::applyPosition);
    connect(mQtlStart, &QLineEdit::editingFinished, this, &DataEditPage::applyQtlStart);
    connect(mQtlEnd, &QLineEdit::editingFinished, this, &DataEditPage::applyQtlEnd);

    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("Markername"), mName);
    fields->addRow(QStringLiteral("Position (cM)"), mPosition);
    auto *qtl = new QHBoxLayout;
    qtl->addWidget(mQtlStart);
    qtl->addWidget(mQtlEnd);
    fields->addRow(QStringLiteral("QTL interval"), qtl);

    auto *updateButton = new QPushButton(QStringLiteral("Update"));
    auto *refreshButton = new QPushButton(QStringLiteral("Refresh tree"));
    auto *gridButton = new QPushButton(QStringLiteral("Show && edit data in gridview"));
    auto *saveButton = new QPushButton(QStringLiteral("Save RVK data.."));
    connect(updateButton, &QPushButton::clicked, this, &DataEditPage::update);
    connect(refreshButton, &QPushButton::clicked, this, &DataEditPage::refreshTree);
    connect(gridButton, &QPushButton::clicked, this, &DataEditPage::gridViewRequested);
    connect(saveButton, &QPushButton::clicked, this, &DataEditPage::saveRequested);
    auto *note = new QLabel(QStringLiteral("Note: Updates will be visible after redrawing"));
    note->setStyleSheet(QStringLiteral("color: red"));

    auto *editBox = new QGroupBox;
    auto *editLayout = new QVBoxLayout(editBox);
    editLayout->addLayout(fields);
    auto *editButtons = new QHBoxLayout;
    editButtons->addWidget(updateButton);
    editButtons->addWidget(refreshButton);
    editLayout->addLayout(editButtons);
    editLayout->addWidget(note);
    editLayout->addStretch();
    editLayout->addWidget(gridButton);
    editLayout->addWidget(saveButton);

    mSortControls = new SortControls(window, this);

    mGridModel = new AlleleGridModel(window.data(), this);
    mGrid = new QTableView;
    mGrid->setObjectName(QStringLiteral("allelgrid"));
    mGrid->setModel(mGridModel);
    mGrid->setItemDelegate(new AlleleGridDelegate(*mGridModel, window.alleles(), this));
    mGrid->horizontalHeader()->hide();
    mGrid->verticalHeader()->hide();
    mGrid->horizontalHeader()->setDefaultSectionSize(CodeColumnWidth);
    mGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    mGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    mGrid->verticalHeader()->setDefaultSectionSize(22);
    mGrid->setMaximumHeight(HeadingRowHeight + 22 + 2 * mGrid->frameWidth() + 24);
    connect(mGridModel, &QAbstractItemModel::modelReset, this,
            [this] { if (mGridModel->rowCount() > 0) mGrid->setRowHeight(AlleleGridModel::NumberRow, HeadingRowHeight); });

    auto *top = new QHBoxLayout;
    top->addWidget(mTree, 2);
    top->addWidget(editBox, 1);
    top->addWidget(mSortControls, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(mGrid);

    connect(&window, &MainWindow::pageChanged, this, [this](int page, int old) {
        if (old == MainWindow::DataViewPage && page != MainWindow::DataViewPage)
            leavePage();
        if (page == MainWindow::DataViewPage)
            enterPage();
    });
    // The loci the page points at are gone or renumbered.
    connect(&window, &MainWindow::dataSetClosed, this, &DataEditPage::refreshTree);
    connect(&window, &MainWindow::dataSetLoaded, this, &DataEditPage::refreshTree);
}

DataEditPage::~DataEditPage() = default;

void DataEditPage::enterPage()
{
    if (mWindow.data().GroupCount() == 0)
        return;
    refreshTree();
}

void DataEditPage::leavePage()
{
    GenotypeData &data = mWindow.data();
    if (data.GroupCount() == 0)
        return;
    for (int k = 0; k < data.GroupCount(); ++k)
        SortGroupByPosition(data.GroupLoci(k));
    data.nloc = data.GroupLocusCount(data.GroupCount() - 1);
    // The loci moved: the chosen one is found again when the page is shown.
    forgetLocus();
    mTreeModel->rebuild();
    mWindow.redrawIfShown();
}

void DataEditPage::refreshTree()
{
    forgetLocus();
    mTreeModel->rebuild();
    mTree->expand(mTreeModel->rootIndex());
    if (mSortControls)
        mSortControls->clearTreeNode();
}

void DataEditPage::forgetLocus()
{
    mGroup = -1;
    mLocus = -1;
    mGridModel->setLocus(-1, -1);
    for (QLineEdit *field : {mName, mPosition, mQtlStart, mQtlEnd})
        field->clear();
}

bool DataEditPage::locusChosen() const
{
    const GenotypeData &data = mWindow.data();
    return mGroup >= 0 && mGroup < data.GroupCount() && mLocus >= 0 && mLocus < data.GroupLocusCount(mGroup);
}

void DataEditPage::chooseNode(const QModelIndex &node)
{
    if (!node.isValid())
        return;
    mTree->setCurrentIndex(node);
    const LocusTreeModel::Level level = LocusTreeModel::level(node);
    if (mSortControls)
        mSortControls->setTreeNode(level, LocusTreeModel::group(node), LocusTreeModel::locus(node),
                                   node.data().toString());
    if (level != LocusTreeModel::LocusLevel)
        return;
    mGroup = LocusTreeModel::group(node);
    mLocus = LocusTreeModel::locus(node);
    showLocusFields();
    mGridModel->setLocus(mGroup, mLocus);
}

void DataEditPage::showLocusFields()
{
    if (!locusChosen())
        return;
    const Tlocinfo &locus = mWindow.data().GroupLoci(mGroup)[static_cast<size_t>(mLocus)];
    mName->setText(QString::fromStdString(locus.Name));
    mPosition->setText(oneDecimal(locus.Position));
    const bool qtl = locus.QtlStart != 0;
    mQtlStart->setText(qtl ? oneDecimal(locus.QtlStart) : QStringLiteral("-"));
    mQtlEnd->setText(qtl ? oneDecimal(locus.QtlEnd) : QStringLiteral("-"));
}

void DataEditPage::applyName()
{
    if (!locusChosen())
        return;
    // The node keeps its caption until the tree is built again.
    mTreeModel->keepText(mGroup, mLocus);
    mWindow.data().GroupLoci(mGroup)[static_cast<size_t>(mLocus)].Name = mName->text().toStdString();
}

void DataEditPage::applyPosition()
{
    if (!locusChosen())
        return;
    Tlocinfo &locus = mWindow.data().GroupLoci(mGroup)[static_cast<size_t>(mLocus)];
    const auto position = parseDecimal(mPosition->text().toStdString());
    if (!position) {
        // Nothing stored: the field shows the position in force again.
        mPosition->setText(oneDecimal(locus.Position));
        return;
    }
    locus.Position = *position;
    mTreeModel->showEditedPosition(mGroup, mLocus);
}

void DataEditPage::applyQtlStart()
{
    if (!locusChosen())
        return;
    if (const auto value = parseDecimal(mQtlStart->text().toStdString()))
        mWindow.data().GroupLoci(mGroup)[static_cast<size_t>(mLocus)].QtlStart = *value;
}

void DataEditPage::applyQtlEnd()
{
    if (!locusChosen())
        return;
    if (const auto value = parseDecimal(mQtlEnd->text().toStdString()))
        mWindow.data().GroupLoci(mGroup)[static_cast<size_t>(mLocus)].QtlEnd = *value;
}

void DataEditPage::update()
{
    applyQtlStart();
    applyQtlEnd();
    applyName();
    applyPosition();
}

} // namespace rvk
