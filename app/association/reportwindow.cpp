#include "app/association/reportwindow.h"

#include "core/safefile.h"
#include "core/userinterface.h"

#include <QAction>
#include <QCoreApplication>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QPagedPaintDevice>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <fstream>
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
    layout->addWidget(mEditor, 1);

    const auto tool = [&](const QString &hint, const std::function<void()> &handler) {
        QAction *action = tools->addAction(hint);
        action->setToolTip(hint);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    tool(QStringLiteral("Cut Text"), [this] { mEditor->cut(); });
    tool(QStringLiteral("Copy Text"), [this] { mEditor->copy(); });
    tool(QStringLiteral("Paste Text"), [this] { mEditor->paste(); });
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

void ReportWindow::clearText()
{
    ++mLoading; // a report still going in stops
    mEditor->clear();
    mEditor->setCurrentCharFormat(QTextCharFormat());
}

void ReportWindow::setReportText(const std::string &text)
{
    // A long report (a run over 10,000 markers and 3 traits has a million lines) goes in by
    // pieces of about 2 MB, the window painting and answering between them; a short one at once.
    constexpr size_t Piece = 2'000'000;
    const unsigned generation = ++mLoading;
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

bool ReportWindow::saveFile(const std::string &path) { return writeFileReplacing(path, RtfWriter::write(document()), mUi); }

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
    mEditor->document()->print(&device);
}

} // namespace rvk
