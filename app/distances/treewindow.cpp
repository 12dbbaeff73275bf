#include "app/distances/treewindow.h"

#include "app/distances/distancegridmodel.h"
#include "core/safefile.h"
#include "core/textformat.h"
#include "core/userinterface.h"
#include "io/newickreader.h"
#include "render/paintersurface.h"
#include "render/pictureexport.h"
#include "render/picturefiles.h"
#include "app/picture/pictureclipboard.h"
#include "app/workerrun.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScatterSeries>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace rvk {

namespace {

QColor toColor(unsigned c) { return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF)); }
unsigned fromColor(const QColor &c) { return rgb(c.red(), c.green(), c.blue()); }

constexpr int ColourRole = Qt::UserRole + 1;
// The picture is kept in bands of this height, so a paint replays only what it shows.
constexpr int BandHeight = 1024;

} // namespace

// The picture, replayed for the part that is shown: a tree of thousands of leaves is a few
// thousand drawing operations, far cheaper than a bitmap of its full height.
class TreeWindow::Canvas : public QWidget
{
public:
    explicit Canvas(TreeWindow &window) : mWindow(window) { setAutoFillBackground(false); }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        painter.fillRect(event->rect(), Qt::white);
        painter.setClipRect(event->rect());
        PainterSurface surface(painter);
        const int top = event->rect().top(), bottom = event->rect().bottom() + 1;
        for (size_t b = 0; b < mWindow.mBands.size(); ++b) {
            const int bandTop = static_cast<int>(b) * BandHeight;
            if (bandTop < bottom && bandTop + BandHeight > top)
                mWindow.mBands[b].replay(surface);
        }
    }

private:
    TreeWindow &mWindow;
};

TreeWindow::TreeWindow(UserInterface &ui, QWidget *parent) : QWidget(parent, Qt::Window), mUi(ui)
{
    setObjectName(QStringLiteral("TTreeform"));
    setWindowTitle(QStringLiteral("Treeform"));
    resize(820, 640);
    mChooseColour = [this](unsigned current) -> std::optional<unsigned> {
        const QColor chosen = QColorDialog::getColor(toColor(current), this);
        if (!chosen.isValid())
            return std::nullopt;
        return fromColor(chosen);
    };
    mTabs = new QTabWidget;
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(mTabs);
    buildDendrogramTab();
    buildHighlightTab();
    buildStatsTab();
}

TreeWindow::~TreeWindow() = default;

void TreeWindow::buildDendrogramTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QStringLiteral("Tree style:")));
    mStyle = new QComboBox;
    mStyle->setObjectName(QStringLiteral("Treestyle"));
    for (const TreeStyle style : {TreeStyle::Classic, TreeStyle::Straight, TreeStyle::Circular, TreeStyle::Curved})
        mStyle->addItem(QString::fromLatin1(treeStyleCaption(style)));
    controls->addWidget(mStyle);
    mShowDistances = new QCheckBox(QStringLiteral("Show distances"));
    mShowDistances->setObjectName(QStringLiteral("showdist"));
    controls->addWidget(mShowDistances);
    controls->addWidget(new QLabel(QStringLiteral("Vertical step size")));
    mStep = new QSpinBox;
    mStep->setObjectName(QStringLiteral("hfact"));
    mStep->setRange(2, 400);
    mStep->setValue(mOptions.stepSize);
    controls->addWidget(mStep);
    auto button = [&](const QString &caption, const QString &hint, auto slot) {
        auto *b = new QPushButton(caption);
        b->setToolTip(hint);
        connect(b, &QPushButton::clicked, this, slot);
        controls->addWidget(b);
        return b;
    };
    button(QStringLiteral("Save"), QStringLiteral("Save the picture"), [this] { saveImage(); });
    button(QStringLiteral("Print"), QStringLiteral("Print the picture"), [this] { printTree(); });
    button(QStringLiteral("Copy"), QStringLiteral("copy image to clipboard"), [this] { copyImageToClipboard(); });
    button(QStringLiteral("Open Tree.."), QStringLiteral("Open a Newick tree file"), [this] { openTreeFileDialog(); });
    controls->addStretch();
    layout->addLayout(controls);

    mCanvas = new Canvas(*this);
    mScroll = new QScrollArea;
    mScroll->setWidget(mCanvas);
    mScroll->setWidgetResizable(false);
    mScroll->setBackgroundRole(QPalette::Base);
    layout->addWidget(mScroll, 1);

    auto *textRow = new QHBoxLayout;
    mTreeText = new QLineEdit;
    mTreeText->setObjectName(QStringLiteral("TreeText"));
    textRow->addWidget(mTreeText, 1);
    auto *saveText = new QPushButton(QStringLiteral("Save Tree Description"));
    connect(saveText, &QPushButton::clicked, this, [this] { saveTreeDescription(); });
    textRow->addWidget(saveText);
    layout->addLayout(textRow);

    connect(mStyle, &QComboBox::currentIndexChanged, this, [this](int) { draw(); });
    connect(mShowDistances, &QCheckBox::toggled, this, [this](bool) { draw(); });
    connect(mStep, &QSpinBox::valueChanged, this, [this](int) { draw(); });
    mTabs->addTab(page, QStringLiteral("Dendrogram"));
}

void TreeWindow::buildHighlightTab()
{
    auto *page = new QWidget;
    auto *layout = new QHBoxLayout(page);
    mLeafList = new QListWidget;
    mLeafList->setObjectName(QStringLiteral("OTUcheck"));
    mLeafList->setToolTip(QStringLiteral("RIGHT-click to change label color"));
    mLeafList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    mLeafList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(mLeafList, &QListWidget::customContextMenuRequested, this, [this](const QPoint &) {
        const auto selected = mLeafList->selectedItems();
        if (selected.isEmpty())
            return;
        if (const auto colour = mChooseColour(selected.front()->data(ColourRole).toUInt()))
            colourSelectedLeaves(*colour);
    });
    layout->addWidget(mLeafList, 1);

    auto *buttons = new QVBoxLayout;
    auto add = [&](const QString &caption, auto slot) {
        auto *b = new QPushButton(caption);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
    };
    add(QStringLiteral("check selected genotypes"), [this] { checkSelectedLeaves(true); });
    add(QStringLiteral("uncheck selected genotypes"), [this] { checkSelectedLeaves(false); });
    add(QStringLiteral("OK"), [this] { acceptHighlights(); });
    struct FontChoice
    {
        const char *caption;
        FontDescription TreeDrawingOptions::*font;
    };
    for (const FontChoice &choice : {FontChoice{"Change Regular Font", &TreeDrawingOptions::regularFont},
                                     FontChoice{"Change Highlight Font", &TreeDrawingOptions::highlightFont},
                                     FontChoice{"Change Position Font", &TreeDrawingOptions::lengthFont},
                                     FontChoice{"Change Bootstrap Font", &TreeDrawingOptions::supportFont}}) {
        auto *example = new QLabel(QStringLiteral("Example"));
        auto showExample = [this, example, member = choice.font] {
            const FontDescription &f = mOptions.*member;
            QFont font(QString::fromStdString(f.name), f.size);
            font.setBold(f.bold);
            example->setFont(font);
            QPalette palette = example->palette();
            palette.setColor(QPalette::WindowText, toColor(f.color));
            example->setPalette(palette);
        };
        showExample();
        auto *b = new QPushButton(QString::fromLatin1(choice.caption));
        connect(b, &QPushButton::clicked, this, [this, member = choice.font, showExample] {
            FontDescription &f = mOptions.*member;
            QFont current(QString::fromStdString(f.name), f.size);
            current.setBold(f.bold);
            bool ok = false;
            const QFont chosen = QFontDialog::getFont(&ok, current, this);
            if (!ok)
                return;
            f.name = chosen.family().toStdString();
            f.size = chosen.pointSize() > 0 ? chosen.pointSize() : f.size;
            f.bold = chosen.bold();
            showExample();
            draw();
        });
        buttons->addWidget(b);
        buttons->addWidget(example);
    }
    buttons->addStretch();
    layout->addLayout(buttons);
    mTabs->addTab(page, QStringLiteral("Higlight genotypes"));
}

void TreeWindow::buildStatsTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *row = new QHBoxLayout;
    auto *calc = new QPushButton(QStringLiteral("Calc.."));
    connect(calc, &QPushButton::clicked, this, [this] { calculateCophenetic(); });
    row->addWidget(calc);
    mResult = new QLabel;
    mResult->setObjectName(QStringLiteral("copheneticresult"));
    row->addWidget(mResult);
    mStatus = new QLabel;
    row->addWidget(mStatus);
    row->addStretch();
    layout->addLayout(row);

    auto *split = new QSplitter(Qt::Vertical);
    mDump = new QPlainTextEdit;
    mDump->setReadOnly(true);
    mDump->setLineWrapMode(QPlainTextEdit::NoWrap);
    split->addWidget(mDump);
    mChart = new QChartView;
    // The plot area must stay as high as the turned title of the vertical axis is long, with the
    // horizontal axis's labels and title and the chart's margins below and above it: else the
    // title is cut to "Tree ...".
    const QFontMetrics titleMetrics(QValueAxis().titleFont());
    const QFontMetrics labelMetrics(QValueAxis().labelsFont());
    mChart->setMinimumHeight(std::max(160, titleMetrics.horizontalAdvance(QStringLiteral("Tree distance")) + 2 * titleMetrics.height()
                                               + 2 * labelMetrics.height() + 80));
    split->addWidget(mChart);
    mGrid = new QTableView;
    mGridModel = new DistanceGridModel(this);
    mGrid->setModel(mGridModel);
    mGrid->setItemDelegate(new DistanceGridDelegate(true, mGrid));
    mGrid->horizontalHeader()->hide();
    mGrid->verticalHeader()->hide();
    mGrid->horizontalHeader()->setDefaultSectionSize(48);
    mGrid->verticalHeader()->setDefaultSectionSize(20);
    mGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    split->addWidget(mGrid);
    layout->addWidget(split, 1);
    mTabs->addTab(page, QStringLiteral("Stats"));
}

void TreeWindow::showTree(const std::string &newick, std::shared_ptr<const DistanceMatrix> matrix)
{
    mMatrix = std::move(matrix);
    clearStats();
    adoptLeafLabels(mMatrix->labels());
    setTreeText(QString::fromStdString(newick));
    if (!TreeTextBalanced(newick))
        mUi.warning(TreeTextError);
    mRoot = ReadTree(newick, mLeafLabels);
    showMatrixGrid();
    draw();
    show();
    raise();
}

bool TreeWindow::openTreeFile(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        mUi.warning("Unable to read " + path);
        return false;
    }
    std::stringstream text;
    text << file.rdbuf();
    std::string error;
    ReadTreeOutcome tree = ParseNewickFile(text.str(), &error);
    if (!tree.root) {
        mUi.warning(path + ": " + error);
        return false;
    }
    std::string line = text.str();
    line = line.substr(0, line.find_first_of("\r\n"));
    mRoot = std::move(tree.root);
    adoptLeafLabels(std::move(tree.leafLabels));
    mMatrix.reset();
    clearStats();
    mGridModel->clear();
    setTreeText(QString::fromStdString(line));
    draw();
    show();
    raise();
    return true;
}

void TreeWindow::openTreeFileDialog()
{
    const auto names = mUi.openFileNames("Open Tree", "Newick (*.nwk)|*.nwk|Text (*.txt)|*.txt|All files (*.*)|*.*", "", false);
    if (!names.empty())
        openTreeFile(names.front());
}

void TreeWindow::showMatrixGrid()
{
    showGrid();
    mGrid->setColumnWidth(0, 100);
    mGrid->setRowHeight(0, 100);
}

void TreeWindow::showGrid()
{
    if (!mMatrix) {
        mGridModel->clear();
        return;
    }
    const DistanceMatrix *matrix = mMatrix.get();
    if (mCophenetic) {
        const CopheneticResult *result = &*mCophenetic;
        mGridModel->setGrid(
            result->size() + 1, [result](int c, int r) { return result->cellText(c, r); },
            [result](int c, int r) { return result->cellColor(c, r); });
        return;
    }
    // Before "Calc..": the matrix distances, "%2.2f", below the diagonal.
    mGridModel->setGrid(
        matrix->gridSize(),
        [matrix](int c, int r) -> std::string {
            if (r == 0 || c == 0 || c >= r)
                return matrix->cellText(c, r);
            return formatText("%2.2f", {matrix->value(c - 1, r - 1)});
        },
        {});
}

void TreeWindow::collectLeafLooks()
{
    mOptions.leafColors.clear();
    mOptions.highlighted.clear();
    for (int i = 0; i < mLeafList->count(); ++i) {
        const QListWidgetItem *item = mLeafList->item(i);
        const std::string label = item->text().toStdString();
        mOptions.leafColors[label] = item->data(ColourRole).toUInt();
        if (item->checkState() == Qt::Checked)
            mOptions.highlighted.insert(label);
    }
}

void TreeWindow::adoptLeafLabels(std::vector<std::string> labels)
{
    // A tree of other leaves gets a list of its own; the ticks and colours of labels it shares
    // with the old list are kept. The same leaves keep the list as it is.
    std::vector<std::string> sorted = labels, current;
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < mLeafList->count(); ++i)
        current.push_back(mLeafList->item(i)->text().toStdString());
    std::sort(current.begin(), current.end());
    if (sorted != current && mLeafList->count() > 0) {
        collectLeafLooks();
        mKeptLooks = {mOptions.leafColors, mOptions.highlighted};
        mLeafList->clear();
    }
    mLeafLabels = std::move(labels);
}

void TreeWindow::fillLeafList()
{
    // Filled from the tree's leaves when empty; ticks and colours survive later drawings.
    if (mLeafList->count() > 0)
        return;
    std::vector<std::string> labels = mInfo.leafLabels;
    std::sort(labels.begin(), labels.end(), [](const std::string &a, const std::string &b) {
        return QString::compare(QString::fromStdString(a), QString::fromStdString(b), Qt::CaseInsensitive) < 0;
    });
    for (const std::string &label : labels) {
        auto *item = new QListWidgetItem(QString::fromStdString(label), mLeafList);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const auto kept = mKeptLooks.colors.find(label);
        const unsigned colour = kept != mKeptLooks.colors.end() ? kept->second : NavyColor;
        item->setCheckState(mKeptLooks.ticked.count(label) ? Qt::Checked : Qt::Unchecked);
        item->setData(ColourRole, static_cast<uint>(colour));
        item->setForeground(toColor(colour));
    }
    mKeptLooks = {};
}

void TreeWindow::draw()
{
    if (mDrawing)
        return;
    mDrawing = true;
    mOptions.style = static_cast<TreeStyle>(mStyle->currentIndex());
    mOptions.showDistances = mShowDistances->isChecked();
    mOptions.stepSize = mStep->value();
    // The picture fills the visible area less its vertical scroll bar, so only a tall tree
    // scrolls, and only downwards.
    mOptions.width = std::max(100, mScroll->width() - mScroll->verticalScrollBar()->sizeHint().width() - 2 * mScroll->frameWidth());
    mOptions.visibleHeight = mScroll->viewport()->height();
    if (!mRoot) {
        // No tree handed over: the text box is read afresh at every drawing, so an edited text
        // is drawn. Its warnings are shown once per text, not again at every resize.
        const std::string text = mTreeText->text().toStdString();
        const bool changed = text != mTextRead;
        ReadTreeOutcome read = ReadTreeText(text, [this, changed](const std::string &w) {
            if (changed)
                mUi.warning(w);
        });
        mTextRead = text;
        mTextRoot = std::move(read.root);
        if (mTextRoot)
            adoptLeafLabels(std::move(read.leafLabels));
    }
    const TDendroNode *root = treeRoot();
    if (!root) {
        mPicture = ViewPicture();
        mBands.clear();
        mCanvas->resize(0, 0);
        mDrawing = false;
        return;
    }
    // First pass, while the leaf list is empty: the leaves, for the list. Then the drawing with
    // the list's ticks and colours.
    if (mLeafList->count() == 0)
        drawTree(*root, mOptions, &mInfo);
    fillLeafList();
    collectLeafLooks();
    mPicture = drawTree(*root, mOptions, &mInfo);
    mBands = pictureBands(mPicture, BandHeight);
    mCanvas->resize(mPicture.width(), mPicture.height());
    mCanvas->update();
    QStringList lines;
    for (const std::string &line : Dump(*root, 0))
        lines << QString::fromStdString(line);
    mDump->setPlainText(lines.join(QLatin1Char('\n')));
    mDrawing = false;
}

void TreeWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (treeRoot() && isVisible())
        draw();
}

void TreeWindow::setStyle(TreeStyle style) { mStyle->setCurrentIndex(static_cast<int>(style)); }
void TreeWindow::setShowDistances(bool show) { mShowDistances->setChecked(show); }
void TreeWindow::setStepSize(int step) { mStep->setValue(step); }
QString TreeWindow::treeText() const { return mTreeText->text(); }
void TreeWindow::setTreeText(const QString &text) { mTreeText->setText(text); }
QString TreeWindow::dumpText() const { return mDump->toPlainText(); }
QString TreeWindow::copheneticText() const { return mResult->text(); }

int TreeWindow::copheneticPointCount() const
{
    int count = 0;
    if (mChart->chart())
        for (QAbstractSeries *series : mChart->chart()->series())
            if (auto *points = qobject_cast<QXYSeries *>(series))
                count += static_cast<int>(points->count());
    return count;
}

void TreeWindow::clearStats()
{
    mCophenetic.reset();
    mResult->clear();
    mStatus->clear();
    QChart *old = mChart->chart();
    mChart->setChart(new QChart);
    delete old;
}

void TreeWindow::clearTree()
{
    clearStats();
    mRoot.reset();
    mTextRoot.reset();
    mMatrix.reset();
    mLeafLabels.clear();
    mLeafList->clear();
    setTreeText(QString());
    mTextRead.clear();
    mDump->clear();
    mGridModel->clear();
    mPicture = ViewPicture();
    mBands.clear();
    mInfo = TreeDrawingInfo();
    mCanvas->resize(0, 0);
    mCanvas->update();
}

void TreeWindow::saveImage()
{
    if (mPicture.isEmpty())
        return;
    const std::string path = mUi.saveFileName("Save", MetafileFirstFilter, "");
    if (path.empty())
        return;
    std::string written, error;
    if (!savePictureFile(mPicture, path, "emf", written, error))
        mUi.error(error);
}

void TreeWindow::printTree()
{
    if (mPicture.isEmpty())
        return;
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        printTo(printer);
}

void TreeWindow::printTo(QPagedPaintDevice &device)
{
    if (mPicture.isEmpty())
        return;
    QPainter painter;
    if (!painter.begin(&device))
        return;
    // One page: the smaller of the two page-to-picture ratios, to 90 %, the vertical scale
    // corrected by the device's vertical-to-horizontal resolution, at the top-left corner.
    const QRect page = painter.viewport();
    const double fit = std::min(static_cast<double>(page.width()) / mPicture.width(),
                                static_cast<double>(page.height()) / mPicture.height()) * 0.9;
    const double aspect = device.logicalDpiX() > 0 ? static_cast<double>(device.logicalDpiY()) / device.logicalDpiX() : 1.0;
    PainterSurface surface(painter);
    mPicture.replay(surface, 1, 1, 1 + static_cast<int>(mPicture.width() * fit),
                    1 + static_cast<int>(mPicture.height() * fit * aspect));
    painter.end();
}

void TreeWindow::copyImageToClipboard()
{
    if (mPicture.isEmpty())
        return;
    std::string error;
    if (!copyPictureToClipboard(mPicture, QDir::currentPath().toStdString(), error))
        mUi.warning(error);
}

void TreeWindow::saveTreeDescription()
{
    std::string path = mUi.saveFileName("Save Tree Description", "Newick (*.nwk)|*.nwk|Text (*.txt)|*.txt", "");
    if (path.empty())
        return;
    if (std::filesystem::path(path).filename().string().find('.') == std::string::npos)
        path += ".nwk";
    const std::string line = mTreeText->text().section(QLatin1Char('\n'), 0, 0).toStdString();
    writeFileReplacing(path, line + "\r\n", mUi);
}

void TreeWindow::calculateCophenetic()
{
    if (!mMatrix)
        return;
    if (!treeRoot()) {
        showMatrixGrid(); // before any drawing only the matrix part
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    mStatus->setText(QStringLiteral("Calculating tree distances "));
    mStatus->repaint();
    std::optional<CopheneticResult> result;
    const auto &root = *treeRoot();
    const DistanceMatrix &matrix = *mMatrix;
    // The tree distances of a large tree take seconds: they are found on a worker thread, and
    // Cancel keeps the correlation shown before.
    if (!RunOnWorker(this, QStringLiteral("Calculating tree distances..."), mUi,
                     [&](const WorkerProgress &) { result = CopheneticCorrelation(root, matrix); })) {
        mStatus->clear();
        QApplication::restoreOverrideCursor();
        return;
    }
    mCophenetic = std::move(result);
    mStatus->setText(QStringLiteral("Calculating correlations   "));
    mResult->setText(QString::fromStdString(mCophenetic->resultText()));
    showMatrixGrid();

    // One point per pair: matrix distance against tree distance.
    auto *chart = new QChart;
    auto *points = new QScatterSeries;
    points->setMarkerSize(5);
    const int n = mCophenetic->size();
    const long long pairs = static_cast<long long>(n) * (n - 1) / 2;
    const int stride = static_cast<int>(std::max<long long>(1, pairs / 20000)); // a readable cloud
    long long k = 0;
    for (int j = 1; j < n; ++j)
        for (int i = 0; i < j; ++i, ++k)
            if (k % stride == 0 && !std::isnan(mCophenetic->treeDistance(i, j)))
                points->append(mCophenetic->matrixDistance(i, j), mCophenetic->treeDistance(i, j));
    chart->addSeries(points);
    chart->legend()->hide();
    auto *x = new QValueAxis;
    x->setTitleText(QStringLiteral("True distance"));
    auto *y = new QValueAxis;
    y->setTitleText(QStringLiteral("Tree distance"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    points->attachAxis(x);
    points->attachAxis(y);
    QChart *old = mChart->chart();
    mChart->setChart(chart);
    delete old;
    mStatus->setText(QStringLiteral("."));
    QApplication::restoreOverrideCursor();
}

void TreeWindow::checkSelectedLeaves(bool checked)
{
    for (QListWidgetItem *item : mLeafList->selectedItems())
        item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void TreeWindow::colourSelectedLeaves(unsigned colour)
{
    for (QListWidgetItem *item : mLeafList->selectedItems()) {
        item->setData(ColourRole, colour);
        item->setForeground(toColor(colour));
    }
    mLeafList->clearSelection();
}

void TreeWindow::acceptHighlights()
{
    draw();
    mTabs->setCurrentIndex(DendrogramTab);
}

} // namespace rvk
