#include "app/association/reportwindow.h"

#include "core/freedmemory.h"
#include "core/safefile.h"
#include "core/userinterface.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QFontDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QListView>
#include <QPagedPaintDevice>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <fstream>
#include <limits>
#include <sstream>

namespace rvk {

namespace {

QString toQt(const std::string &text) { return QString::fromStdString(text); }

RtfFont rtfFontOf(const QTextCharFormat &format, const QFont &base)
{
    const QFont font = format.font().resolve(base);
    RtfFont result;
    result.family = font.family().toStdString();
    result.pointSize = font.pointSizeF() > 0 ? font.pointSizeF() : 10.0;
    result.bold = font.bold();
    result.italic = font.italic();
    result.underline = font.underline();
    if (format.hasProperty(QTextFormat::ForegroundBrush)) {
        const QColor color = format.foreground().color();
        result.color = static_cast<std::uint32_t>(color.red()) | (static_cast<std::uint32_t>(color.green()) << 8)
                       | (static_cast<std::uint32_t>(color.blue()) << 16);
    }
    return result;
}

QTextCharFormat formatOf(const RtfFont &font)
{
    QTextCharFormat format;
    QFont qfont(toQt(font.family));
    qfont.setPointSizeF(font.pointSize);
    qfont.setBold(font.bold);
    qfont.setItalic(font.italic);
    qfont.setUnderline(font.underline);
    format.setFont(qfont);
    format.setForeground(QColor(static_cast<int>(font.color & 0xFF), static_cast<int>((font.color >> 8) & 0xFF),
                                static_cast<int>((font.color >> 16) & 0xFF)));
    return format;
}

QFont reportFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(10);
    return font;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The lines of an ANOVA report

void ReportLinesModel::setReport(std::shared_ptr<const AnovaAssociationReport> report, QSize lineSize)
{
    beginResetModel();
    mReport = std::move(report);
    mLineSize = lineSize;
    endResetModel();
}

int ReportLinesModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !mReport)
        return 0;
    return static_cast<int>(std::min<long long>(mReport->lineCount(), std::numeric_limits<int>::max()));
}

QVariant ReportLinesModel::data(const QModelIndex &index, int role) const
{
    if (!mReport || !index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(mReport->line(index.row()));
    if (role == Qt::SizeHintRole)
        return mLineSize;
    return {};
}

// ---------------------------------------------------------------------------------------------
// The window

ReportWindow::ReportWindow(UserInterface &ui, QWidget *parent) : QWidget(parent, Qt::Window), mUi(ui)
{
    setWindowTitle(QString::fromLatin1(Caption));
    setObjectName(QStringLiteral("OutputFrm"));
    auto *layout = new QVBoxLayout(this);
    auto *tools = new QToolBar;
    layout->addWidget(tools);
    mEditor = new QPlainTextEdit;
    mEditor->setObjectName(QStringLiteral("RichEdit"));
    mEditor->setLineWrapMode(QPlainTextEdit::NoWrap);
    mEditor->setFont(reportFont());
    mEditor->document()->setDefaultFont(reportFont());
    mLines = new QListView;
    mLines->setObjectName(QStringLiteral("ReportLines"));
    mLines->setFont(reportFont());
    mLines->setUniformItemSizes(true);
    mLines->setSelectionMode(QAbstractItemView::ExtendedSelection);
    mLines->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mLines->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mLinesModel = new ReportLinesModel(this);
    mLines->setModel(mLinesModel);
    mStack = new QStackedWidget;
    mStack->addWidget(mEditor);
    mStack->addWidget(mLines);
    layout->addWidget(mStack, 1);

    const auto tool = [&](const QString &hint, const std::function<void()> &handler) {
        QAction *action = tools->addAction(hint);
        action->setToolTip(hint);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    tool(QStringLiteral("Cut Text"), [this] {
        makeEditable();
        mEditor->cut();
    });
    tool(QStringLiteral("Copy Text"), [this] { copyClick(); });
    tool(QStringLiteral("Paste Text"), [this] {
        makeEditable();
        mEditor->paste();
    });
    tools->addSeparator();
    tool(QStringLiteral("Open File"), [this] { openFileClick(); });
    tool(QStringLiteral("Save File"), [this] { saveFileClick(); });
    tool(QStringLiteral("Font"), [this] { fontClick(); });
    tool(QStringLiteral("Print"), [this] { printClick(); });
    tool(QStringLiteral("Exit"), [this] { hide(); });

    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    auto *print = new QPushButton(QStringLiteral("Print"));
    connect(print, &QPushButton::clicked, this, [this] { printClick(); });
    auto *back = new QPushButton(QStringLiteral("Return"));
    connect(back, &QPushButton::clicked, this, &QWidget::hide);
    bottom->addWidget(print);
    bottom->addWidget(back);
    layout->addLayout(bottom);

    chooseFont = [this](const QFont &current) -> std::optional<QFont> {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, current, this);
        if (!ok)
            return std::nullopt;
        return font;
    };
    resize(900, 700);
}

void ReportWindow::showEditor()
{
    if (mLinesModel->report()) {
        mLinesModel->setReport(nullptr, {});
        // The report's numbers may have been the last copy: their memory goes back.
        returnFreedMemory();
    }
    mStack->setCurrentWidget(mEditor);
}

void ReportWindow::showAnovaReport(std::shared_ptr<const AnovaAssociationReport> report)
{
    clearText();
    const QFontMetrics metrics(reportFont());
    // Wide enough for the longest line: the fixed lines are at most 90 characters, the heading
    // of a pair holds its trait name and marker label.
    size_t longestNames = 0;
    if (report)
        longestNames = report->longestNames();
    const int characters = static_cast<int>(std::max<size_t>(90, 56 + longestNames));
    mLinesModel->setReport(std::move(report), QSize(metrics.horizontalAdvance(QLatin1Char('M')) * characters + 8, metrics.height()));
    mStack->setCurrentWidget(mLines);
}

std::string ReportWindow::reportText() const
{
    if (const AnovaAssociationReport *report = anovaReport())
        return report->text();
    return mEditor->toPlainText().toStdString();
}

void ReportWindow::makeEditable()
{
    const std::shared_ptr<const AnovaAssociationReport> report = mLinesModel->report();
    if (!report)
        return;
    setReportText(report->text());
}

void ReportWindow::copyClick()
{
    if (!mLinesModel->report()) {
        mEditor->copy();
        return;
    }
    QModelIndexList chosen = mLines->selectionModel()->selectedRows();
    if (chosen.isEmpty())
        return;
    std::sort(chosen.begin(), chosen.end(), [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QString text;
    for (const QModelIndex &index : chosen)
        text += index.data().toString() + QLatin1Char('\n');
    QApplication::clipboard()->setText(text);
}

void ReportWindow::clearText()
{
    ++mLoading; // a report still going in stops
    showEditor();
    mEditor->clear();
    mEditor->setCurrentCharFormat(QTextCharFormat());
}

void ReportWindow::setReportText(const std::string &text)
{
    // A long report (a run over 10,000 markers and 3 traits has a million lines) goes in by
    // pieces of about 2 MB, the window painting and answering between them; a short one at once.
    constexpr size_t Piece = 2'000'000;
    const unsigned generation = ++mLoading;
    showEditor();
    QTextDocument *document = mEditor->document();
    document->setUndoRedoEnabled(false);
    mEditor->setReadOnly(true);
    size_t position = 0;
    bool first = true;
    while (first || position < text.size()) {
        size_t end = std::min(text.size(), position + Piece);
        if (end < text.size()) {
            const size_t lineEnd = text.find('\n', end);
            end = lineEnd == std::string::npos ? text.size() : lineEnd + 1;
        }
        const QString piece = QString::fromUtf8(text.data() + position, static_cast<qsizetype>(end - position));
        if (first) {
            // A new report is in the report font, whatever font the text edited before ended in
            // (the editor keeps the current character format across a new text otherwise).
            mEditor->setCurrentCharFormat(QTextCharFormat());
            mEditor->setPlainText(piece);
            first = false;
        } else {
            QTextCursor cursor(document);
            cursor.movePosition(QTextCursor::End);
            cursor.insertText(piece);
        }
        position = end;
        if (position < text.size()) {
            QCoreApplication::processEvents();
            if (generation != mLoading)
                break; // replaced or cleared meanwhile
        }
    }
    if (generation == mLoading) {
        mEditor->setReadOnly(false);
        document->setUndoRedoEnabled(true);
    }
}

void ReportWindow::appendLine(const std::string &line) { mEditor->appendPlainText(toQt(line)); }

void ReportWindow::showReport()
{
    showMaximized();
    raise();
}

RtfDocument ReportWindow::document() const
{
    RtfDocument document;
    if (const AnovaAssociationReport *report = anovaReport()) {
        // As the editor holds a report: one run in the report font.
        document.append(report->text(), RtfFont{});
        return document;
    }
    const QTextDocument *text = mEditor->document();
    const QFont base = text->defaultFont();
    for (QTextBlock block = text->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid())
                document.append(fragment.text().toStdString(), rtfFontOf(fragment.charFormat(), base));
        }
        if (block.next().isValid())
            document.append("\n", rtfFontOf(block.charFormat(), base));
    }
    return document;
}

void ReportWindow::setDocument(const RtfDocument &document)
{
    ++mLoading;
    showEditor();
    bool oneFont = true;
    for (const RtfRun &run : document.runs)
        oneFont = oneFont && run.font == document.runs.front().font;
    if (oneFont) {
        // A report in one font goes in at once, however long.
        mEditor->setPlainText(toQt(document.plainText()));
        if (!document.runs.empty()) {
            QTextCursor all(mEditor->document());
            all.select(QTextCursor::Document);
            all.setCharFormat(formatOf(document.runs.front().font));
        }
        return;
    }
    mEditor->clear();
    QTextCursor cursor(mEditor->document());
    cursor.beginEditBlock();
    for (const RtfRun &run : document.runs)
        cursor.insertText(toQt(run.text), formatOf(run.font));
    cursor.endEditBlock();
}

bool ReportWindow::openFile(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        mUi.error("Unable to read " + path);
        return false;
    }
    std::ostringstream bytes;
    bytes << file.rdbuf();
    setDocument(RtfReader::read(bytes.str()));
    return true;
}

bool ReportWindow::saveFile(const std::string &path)
{
    const AnovaAssociationReport *report = anovaReport();
    if (!report || report->lineCount() == 0)
        return writeFileReplacing(path, RtfWriter::write(document()), mUi);
    // The report goes to the file piece by piece, as the editor would have written it: the
    // document of one run in the report font, its text escaped piece by piece between the
    // opening and the closing of that run.
    const std::string sample = RtfWriter::writePlain("x");
    const std::string closing = sample.substr(sample.rfind('x') + 1);
    const std::string opening = sample.substr(0, sample.rfind('x'));
    std::string error;
    const bool written = writeFileReplacing(
        path,
        [&](const std::string &temporaryPath) {
            std::ofstream file(temporaryPath, std::ios::binary);
            file << opening;
            report->writeText([&](std::string_view piece) {
                const std::string rtf = RtfWriter::writePlain(piece);
                file.write(rtf.data() + opening.size(), static_cast<std::streamsize>(rtf.size() - opening.size() - closing.size()));
            });
            file << closing;
            file.close();
            return static_cast<bool>(file);
        },
        &error);
    if (!written)
        mUi.error(error);
    return written;
}

void ReportWindow::openFileClick()
{
    const std::vector<std::string> names = mUi.openFileNames("Open File", Filter, {}, false);
    if (!names.empty())
        openFile(names.front());
}

void ReportWindow::saveFileClick()
{
    std::string path = mUi.saveFileName("Print to File: ", Filter, {});
    if (path.empty())
        return;
    if (path.find('.', path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/')) == std::string::npos)
        path += ".rtf";
    saveFile(path);
}

void ReportWindow::fontClick()
{
    if (!chooseFont)
        return;
    makeEditable();
    const std::optional<QFont> font = chooseFont(mEditor->currentCharFormat().font().resolve(mEditor->document()->defaultFont()));
    if (!font)
        return;
    QTextCharFormat format;
    format.setFont(*font);
    // The chosen font goes to the selection (or to what is typed next).
    mEditor->mergeCurrentCharFormat(format);
}

void ReportWindow::printClick()
{
    QPrinter printer;
    printer.setDocName(QString::fromLatin1(PrintTitle));
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    print(printer);
}

void ReportWindow::print(QPagedPaintDevice &device)
{
    if (auto *printer = dynamic_cast<QPrinter *>(&device))
        printer->setDocName(QString::fromLatin1(PrintTitle));
    if (const AnovaAssociationReport *report = anovaReport()) {
        QTextDocument text;
        text.setDefaultFont(reportFont());
        text.setPlainText(QString::fromStdString(report->text()));
        text.print(&device);
        return;
    }
    mEditor->document()->print(&device);
}

} // namespace rvk
