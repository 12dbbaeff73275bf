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
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QUrl>

#include <cstdio>
#include <cstdlib>

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
    front += QStringLiteral("**Contents**\n\n");
    int number = 1;
    for (const QString &title : chapterTitles)
        front += QString::number(number++) + QStringLiteral(". ") + title + QStringLiteral("\n");
    front += QStringLiteral("\n\n");

    QTextDocument document;
    QFont font(QStringLiteral("Liberation Serif"), 10);
    document.setDefaultFont(font);
    document.setDefaultStyleSheet(QStringLiteral("code { font-family: 'Liberation Mono'; }"));
    document.setMarkdown(front + markdown, QTextDocument::MarkdownDialectGitHub);

    QPdfWriter writer(arguments.out);
    writer.setTitle(arguments.title);
    writer.setCreator(QStringLiteral("rvkdoc"));
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 18, 18, 18),
                                     QPageLayout::Millimeter));

    // Text width in document units (points at 72 per inch, as QTextDocument::print lays out).
    const double textWidth = writer.pageLayout().paintRect(QPageLayout::Point).width() - 2;

    // Every chapter (a level-1 heading) after the title page starts a page; pictures wider than
    // the text shrink to its width, keeping their shape.
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
            // Screen pictures at 96 dots per inch, in points.
            double width = picture.width() * 72.0 / 96.0;
            double height = picture.height() * 72.0 / 96.0;
            if (width > textWidth) {
                height *= textWidth / width;
                width = textWidth;
            }
            image.setWidth(width);
            image.setHeight(height);
            QTextCursor picked(&document);
            picked.setPosition(part.position());
            picked.setPosition(part.position() + part.length(), QTextCursor::KeepAnchor);
            picked.setCharFormat(image);
        }
    }

    document.print(&writer);
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
