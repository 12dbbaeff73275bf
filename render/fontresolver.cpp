#include "render/fontresolver.h"

#include <QFontDatabase>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <mutex>

namespace rvk {

namespace {

// Fonts that ship with Wine but are not registered with the system's font configuration.
void registerExtraFonts()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const QStringList families = QFontDatabase::families();
        const char *folder = "/usr/share/wine/fonts/";
        const struct { const char *family; const char *file; } extras[] = {
            {"Tahoma", "tahoma.ttf"}, {"Tahoma", "tahomabd.ttf"}, {"MS Sans Serif", "ms_sans_serif.ttf"}};
        for (const auto &extra : extras) {
            if (families.contains(QString::fromLatin1(extra.family), Qt::CaseInsensitive))
                continue;
            const std::string path = std::string(folder) + extra.file;
            if (std::filesystem::exists(path))
                QFontDatabase::addApplicationFont(QString::fromStdString(path));
        }
    });
}

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

QString resolvedFontFamily(const std::string &name)
{
    registerExtraFonts();
    static const struct { const char *from; const char *to; } aliases[] = {
        {"arial", "Liberation Sans"},         {"helvetica", "Liberation Sans"},
        {"arial narrow", "Liberation Sans Narrow"}, {"times new roman", "Liberation Serif"},
        {"times", "Liberation Serif"},        {"courier new", "Liberation Mono"},
        {"courier", "Liberation Mono"},       {"", "Liberation Sans"}};
    const std::string key = lowerCase(name);
    for (const auto &alias : aliases)
        if (key == alias.from)
            return QString::fromLatin1(alias.to);
    const QString family = QString::fromStdString(name);
    if (!QFontDatabase::families().contains(family, Qt::CaseInsensitive))
        return QStringLiteral("Liberation Sans");
    return family;
}

int fontPixelSize(int points, int dotsPerInch)
{
    const long long scaled = static_cast<long long>(std::abs(points)) * dotsPerInch;
    return std::max(1, static_cast<int>((scaled + 36) / 72));
}

QFont resolvedFont(const FontDescription &font, int dotsPerInch)
{
    QFont result(resolvedFontFamily(font.name));
    result.setPixelSize(fontPixelSize(font.size, dotsPerInch));
    result.setBold(font.bold);
    result.setItalic(font.italic);
    result.setUnderline(font.underline);
    result.setKerning(false);
    result.setStyleStrategy(QFont::NoAntialias);
    return result;
}

const FontCache::Entry &FontCache::get(const FontDescription &spec)
{
    for (size_t i = 0; i < mEntries.size(); ++i) {
        if (mEntries[i]->spec == spec) {
            if (i != 0)
                std::rotate(mEntries.begin(), mEntries.begin() + static_cast<long>(i), mEntries.begin() + static_cast<long>(i) + 1);
            return *mEntries.front();
        }
    }
    // Metrics are taken against a bitmap so that measuring and painting on a bitmap agree.
    static const QImage measuringDevice(1, 1, QImage::Format_RGB32);
    QFont font = resolvedFont(spec, mDotsPerInch);
    auto entry = std::make_unique<Entry>(Entry{spec, font, QFontMetrics(font, &measuringDevice)});
    mEntries.insert(mEntries.begin(), std::move(entry));
    if (mEntries.size() > 8)
        mEntries.pop_back();
    return *mEntries.front();
}

} // namespace rvk
