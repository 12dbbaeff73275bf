// rvkdoc: the build's documentation tool, on Qt alone (no TeX, no display).
//
//   rvkdoc pdf --out MANUAL.pdf --title TITLE CHAPTER.md...
//       typesets the Markdown chapters as one PDF: a title page, a list of the chapters, each
//       chapter on a new page, pictures scaled to the text width, page numbers at the foot.
//       Pictures are looked up relative to each chapter's folder.
//   rvkdoc icons --out FOLDER --sizes 16,32,... PICTURE.svg
//       renders the program's SVG icon at the standard sizes, as FOLDER/NxN/rvk.png.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QStringList>
#include <QSvgRenderer>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QUrl>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

struct Arguments
{
    QString out;
    QString title;
    QList<int> sizes;
    QStringList inputs;
};

bool parseArguments(const QStringList &arguments, Arguments &parsed)
{
    for (qsizetype i = 2; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--out") && i + 1 < arguments.size())
            parsed.out = arguments[++i];
        else if (argument == QLatin1String("--title") && i + 1 < arguments.size())
            parsed.title = arguments[++i];
        else if (argument == QLatin1String("--sizes") && i + 1 < arguments.size())
            for (const QString &size : arguments[++i].split(QLatin1Char(',')))
                parsed.sizes.append(size.toInt());
        else if (argument.startsWith(QLatin1String("--")))
            return false;
        else
            parsed.inputs.append(argument);
    }
    return !parsed.out.isEmpty() && !parsed.inputs.isEmpty();
}

void fail(const QString &text)
{
    std::fprintf(stderr, "rvkdoc: %s\n", qPrintable(text));
}

// Markdown image links are relative to their chapter; the document has one base, so each link is
// made absolute before the chapters are joined.
QString withAbsolutePictures(const QString &markdown, const QString &folder)
{
    static const QRegularExpression picture(QStringLiteral("!\\[([^\\]]*)\\]\\(([^)\\s]+)\\)"));
    QString result;
    qsizetype from = 0;
    for (auto match = picture.globalMatch(markdown); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        const QString target = found.captured(2);
        result += markdown.mid(from, found.capturedStart(2) - from);
        if (target.contains(QLatin1Char(':')) || target.startsWith(QLatin1Char('/')))
            result += target;
        else
            result += QUrl::fromLocalFile(folder + QLatin1Char('/') + target).toString();
        from = found.capturedEnd(2);
    }
    result += markdown.mid(from);
    // A picture on a line of its own gets its text as a caption below it.
    static const QRegularExpression alone(QStringLiteral("^(!\\[([^\\]]+)\\]\\([^)\\s]+\\))[ \\t]*$"),
                                          QRegularExpression::MultilineOption);
    result.replace(alone, QStringLiteral("\\1\n\n*\\2*"));
    return result;
}

QString pageMark(qsizetype chapter)
{
    return QStringLiteral("@@%1@@").arg(chapter + 1);
}

int makePdf(const Arguments &arguments)
{
    QString markdown;
    QStringList chapterTitles;
    for (const QString &input : arguments.inputs) {
        QFile file(input);
        if (!file.open(QIODevice::ReadOnly)) {
            fail(QStringLiteral("cannot read ") + input);
            return 1;
        }
        const QString text = QString::fromUtf8(file.readAll());
        for (const QString &line : text.split(QLatin1Char('\n')))
            if (line.startsWith(QLatin1String("# ")))
                chapterTitles.append(line.mid(2).trimmed());
        markdown += withAbsolutePictures(text, QFileInfo(input).absolutePath());
        markdown += QStringLiteral("\n\n");
    }

    // Title page and the list of chapters, then the chapters.
    QString front = QStringLiteral("# ") + arguments.title + QStringLiteral("\n\n");
    // The pages of the chapters are known once the text is laid out: a mark stands in for each.
    front += QStringLiteral("| Contents | Page |\n|---|--:|\n");
    for (qsizetype i = 0; i < chapterTitles.size(); ++i)
        front += QStringLiteral("| %1. %2 | %3 |\n").arg(i + 1).arg(chapterTitles[i], pageMark(i));
    front += QStringLiteral("\n\n");

    QPdfWriter writer(arguments.out);
    writer.setTitle(arguments.title);
    writer.setCreator(QStringLiteral("rvkdoc"));
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 16, 18, 12),
                                     QPageLayout::Millimeter));

    // The document is laid out on the PDF itself (units: its dots), one page of text above a
    // footer line with the page number, so the list of chapters can name their pages.
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&writer);
    const QFont font(QStringLiteral("Liberation Serif"), 10);
    document.setDefaultFont(font);
    document.setMarkdown(front + markdown, QTextDocument::MarkdownDialectGitHub);
    const QRectF body = writer.pageLayout().paintRectPixels(writer.resolution());
    const double footer = writer.resolution() * 0.35;
    const QSizeF pageSize(body.width(), body.height() - footer);
    document.setPageSize(pageSize);
    const double textWidth = pageSize.width() - 2 * document.documentMargin() - 2;
    const double dotsPerScreenPixel = writer.resolution() / 96.0;

    // Every chapter (a level-1 heading) after the title page starts a page; pictures are shown
    // at their screen size, or shrunk to the text width keeping their shape.
    int headings = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextCursor cursor(block);
        if (block.blockFormat().headingLevel() == 1 && headings++ > 0) {
            QTextBlockFormat format = block.blockFormat();
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            cursor.setBlockFormat(format);
        }
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextFragment part = fragment.fragment();
            if (!part.charFormat().isImageFormat())
                continue;
            QTextImageFormat image = part.charFormat().toImageFormat();
            const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(image.name()));
            QImage picture = resource.value<QImage>();
            if (picture.isNull()) {
                picture.load(QUrl(image.name()).toLocalFile());
                if (picture.isNull()) {
                    fail(QStringLiteral("missing picture ") + image.name());
                    return 1;
                }
                document.addResource(QTextDocument::ImageResource, QUrl(image.name()), picture);
            }
            // Image sizes are in screen pixels (96 per inch), which the layout scales to the PDF.
            double width = picture.width();
            double height = picture.height();
            const double widest = textWidth / dotsPerScreenPixel;
            if (width > widest) {
                height *= widest / width;
                width = widest;
            }
            image.setWidth(width);
            image.setHeight(height);
            QTextCursor picked(&document);
            picked.setPosition(part.position());
            picked.setPosition(part.position() + part.length(), QTextCursor::KeepAnchor);
            picked.setCharFormat(image);
        }
    }

    // A copy laid out as it will be printed gives the page of each chapter.
    {
        const std::unique_ptr<QTextDocument> probe(document.clone());
        probe->documentLayout()->setPaintDevice(&writer);
        probe->setPageSize(pageSize);
        probe->pageCount();
        int chapter = -1;
        for (QTextBlock block = probe->begin(); block.isValid(); block = block.next()) {
            if (block.blockFormat().headingLevel() != 1 || chapter++ < 0)
                continue;
            const int page = int(probe->documentLayout()->blockBoundingRect(block).top() / pageSize.height()) + 1;
            QTextCursor mark = document.find(pageMark(chapter - 1));
            if (!mark.isNull())
                mark.insertText(QString::number(page));
        }
    }

    // A fresh copy lays out all of its text at once (the edited document would be laid out
    // piecemeal as it is drawn).
    const std::unique_ptr<QTextDocument> typeset(document.clone());
    typeset->documentLayout()->setPaintDevice(&writer);
    typeset->setPageSize(pageSize);
    const int pages = typeset->pageCount();
    QPainter painter(&writer);
    QFont footerFont = font;
    footerFont.setPointSize(9);
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            writer.newPage();
        painter.save();
        painter.translate(0, -page * pageSize.height());
        typeset->drawContents(&painter, QRectF(QPointF(0, page * pageSize.height()), pageSize));
        painter.restore();
        painter.setFont(footerFont);
        painter.drawText(QRectF(0, pageSize.height(), pageSize.width(), footer), Qt::AlignCenter,
                         QString::number(page + 1));
    }
    painter.end();
    if (!QFileInfo(arguments.out).isFile() || QFileInfo(arguments.out).size() == 0) {
        fail(QStringLiteral("cannot write ") + arguments.out);
        return 1;
    }
    return 0;
}

int makeIcons(const Arguments &arguments)
{
    QSvgRenderer renderer(arguments.inputs.first());
    if (!renderer.isValid() || arguments.sizes.isEmpty()) {
        fail(QStringLiteral("cannot render ") + arguments.inputs.first());
        return 1;
    }
    for (const int size : arguments.sizes) {
        const QString folder = arguments.out + QStringLiteral("/%1x%1").arg(size);
        const QString path = folder + QStringLiteral("/rvk.png");
        QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
        icon.fill(Qt::transparent);
        QPainter painter(&icon);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        if (size <= 0 || !QDir().mkpath(folder) || !icon.save(path, "PNG")) {
            fail(QStringLiteral("cannot write ") + path);
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // Runs inside the build, where there may be no display.
    if (!std::getenv("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The only remark of an offscreen run in a build without a session is noise.
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        const QString runtime = QDir::tempPath() + QStringLiteral("/rvkdoc-runtime");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    }
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    Arguments parsed;
    if (arguments.size() < 2 || !parseArguments(arguments, parsed)) {
        fail(QStringLiteral("usage: rvkdoc pdf --out FILE.pdf --title TITLE CHAPTER.md... | "
                            "rvkdoc icons --out FOLDER --sizes 16,32,... PICTURE.svg"));
        return 2;
    }
    if (arguments[1] == QLatin1String("pdf"))
        return makePdf(parsed);
    if (arguments[1] == QLatin1String("icons"))
        return makeIcons(parsed);
    fail(QStringLiteral("unknown command ") + arguments[1]);
    return 2;
}
