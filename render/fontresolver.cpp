#include "render/fontresolver.h"

#include <QFile>
#include <QFontDatabase>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <tuple>
#include <vector>

namespace rvk {

namespace {

const char *const LiberationFolder = "/usr/share/fonts/truetype/liberation/";
const char *const WineFolder = "/usr/share/wine/fonts/";

// The faces pictures are drawn with, each from its files: regular, bold, italic, bold italic
// (a face without a bold or italic file gets them made by the font engine).
struct Face
{
    const char *family;
    const char *folder;
    const char *files[4];
};

const Face Faces[] = {
    {"Liberation Sans", LiberationFolder,
     {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf", "LiberationSans-Italic.ttf", "LiberationSans-BoldItalic.ttf"}},
    {"Liberation Sans Narrow", LiberationFolder,
     {"LiberationSansNarrow-Regular.ttf", "LiberationSansNarrow-Bold.ttf", "LiberationSansNarrow-Italic.ttf",
      "LiberationSansNarrow-BoldItalic.ttf"}},
    {"Liberation Serif", LiberationFolder,
     {"LiberationSerif-Regular.ttf", "LiberationSerif-Bold.ttf", "LiberationSerif-Italic.ttf", "LiberationSerif-BoldItalic.ttf"}},
    {"Liberation Mono", LiberationFolder,
     {"LiberationMono-Regular.ttf", "LiberationMono-Bold.ttf", "LiberationMono-Italic.ttf", "LiberationMono-BoldItalic.ttf"}},
    {"Tahoma", WineFolder, {"tahoma.ttf", "tahomabd.ttf", nullptr, nullptr}},
    {"MS Sans Serif", WineFolder, {"ms_sans_serif.ttf", nullptr, nullptr, nullptr}},
};
constexpr int FaceCount = static_cast<int>(sizeof(Faces) / sizeof(Faces[0]));
constexpr int DefaultFace = 0;

// Names of the old platform and of the faces themselves, lower case, and the face they draw with.
const struct { const char *name; int face; } FaceNames[] = {
    {"", 0},          {"arial", 0},           {"helvetica", 0},   {"liberation sans", 0},
    {"arial narrow", 1}, {"liberation sans narrow", 1},
    {"times new roman", 2}, {"times", 2},     {"liberation serif", 2},
    {"courier new", 3}, {"courier", 3},       {"liberation mono", 3},
    {"tahoma", 4},    {"ms sans serif", 5},
};

const QString PrivatePrefix = QStringLiteral("RVK ");

QString privateFamily(int face) { return PrivatePrefix + QLatin1String(Faces[face].family); }

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The face a font name draws with; -1 for a name that is none of them.
int faceOf(const std::string &name)
{
    std::string key = lowerCase(name);
    const std::string prefix = lowerCase(PrivatePrefix.toStdString());
    if (key.compare(0, prefix.size(), prefix) == 0)
        key.erase(0, prefix.size());
    for (const auto &entry : FaceNames)
        if (key == entry.name)
            return entry.face;
    return -1;
}

std::uint32_t readU32(const QByteArray &data, qsizetype at)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(data.constData() + at);
    return (std::uint32_t(bytes[0]) << 24) | (std::uint32_t(bytes[1]) << 16) | (std::uint32_t(bytes[2]) << 8) | bytes[3];
}
std::uint16_t readU16(const QByteArray &data, qsizetype at)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(data.constData() + at);
    return static_cast<std::uint16_t>((bytes[0] << 8) | bytes[1]);
}
void writeU32(QByteArray &data, qsizetype at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        data[at + i] = static_cast<char>((value >> (24 - 8 * i)) & 0xFF);
}
void appendU16(QByteArray &data, std::uint16_t value)
{
    data.append(static_cast<char>(value >> 8));
    data.append(static_cast<char>(value & 0xFF));
}

// A TrueType font file whose family names (the family, typographic family and WWS family
// entries of its 'name' table) say family; every other entry, the PostScript name among them,
// is kept. The new table is put at the file's end and its directory entry pointed at it.
// Empty when the file is not a font file this understands.
QByteArray withFamilyName(QByteArray font, const QString &family)
{
    if (font.size() < 12)
        return {};
    const int tableCount = readU16(font, 4);
    if (font.size() < 12 + 16LL * tableCount)
        return {};
    qsizetype entry = -1;
    for (int i = 0; i < tableCount; ++i)
        if (font.mid(12 + 16LL * i, 4) == "name")
            entry = 12 + 16LL * i;
    if (entry < 0)
        return {};
    const qsizetype table = readU32(font, entry + 8);
    const qsizetype tableLength = readU32(font, entry + 12);
    if (table + tableLength > font.size() || tableLength < 6)
        return {};
    const int recordCount = readU16(font, table + 2);
    const qsizetype storage = table + readU16(font, table + 4);
    if (6 + 12LL * recordCount > tableLength)
        return {};

    struct Record
    {
        std::uint16_t platform, encoding, language, nameId;
        QByteArray text;
    };
    std::vector<Record> records;
    for (int i = 0; i < recordCount; ++i) {
        const qsizetype at = table + 6 + 12LL * i;
        Record record{readU16(font, at), readU16(font, at + 2), readU16(font, at + 4), readU16(font, at + 6), {}};
        const qsizetype start = storage + readU16(font, at + 10);
        const qsizetype length = readU16(font, at + 8);
        // Family entries are replaced; entries naming language tags belong to a newer table format.
        if (record.nameId == 1 || record.nameId == 16 || record.nameId == 21 || record.language >= 0x8000)
            continue;
        if (start + length > font.size())
            return {};
        record.text = font.mid(start, length);
        records.push_back(std::move(record));
    }
    QByteArray unicode;
    for (const QChar c : family)
        appendU16(unicode, c.unicode());
    records.push_back({1, 0, 0, 1, family.toLatin1()}); // Macintosh, Roman, English
    records.push_back({3, 1, 0x409, 1, unicode});       // Windows, Unicode BMP, English (US)
    std::sort(records.begin(), records.end(), [](const Record &a, const Record &b) {
        return std::tie(a.platform, a.encoding, a.language, a.nameId) < std::tie(b.platform, b.encoding, b.language, b.nameId);
    });

    QByteArray name;
    appendU16(name, 0);
    appendU16(name, static_cast<std::uint16_t>(records.size()));
    appendU16(name, static_cast<std::uint16_t>(6 + 12 * records.size()));
    QByteArray strings;
    for (const Record &record : records) {
        for (std::uint16_t value : {record.platform, record.encoding, record.language, record.nameId})
            appendU16(name, value);
        appendU16(name, static_cast<std::uint16_t>(record.text.size()));
        appendU16(name, static_cast<std::uint16_t>(strings.size()));
        strings.append(record.text);
    }
    name.append(strings);

    while (font.size() % 4 != 0)
        font.append('\0');
    const qsizetype newTable = font.size();
    font.append(name);
    while (font.size() % 4 != 0)
        font.append('\0');
    std::uint32_t checksum = 0;
    for (qsizetype at = newTable; at < font.size(); at += 4)
        checksum += readU32(font, at);
    writeU32(font, entry + 4, checksum);
    writeU32(font, entry + 8, static_cast<std::uint32_t>(newTable));
    writeU32(font, entry + 12, static_cast<std::uint32_t>(name.size()));
    return font;
}

// Whether a face's private family could be registered; registers it the first time it is asked.
bool faceRegistered(int face)
{
    static std::mutex mutex;
    static int state[FaceCount] = {}; // 0 not tried, 1 registered, -1 failed
    const std::lock_guard<std::mutex> lock(mutex);
    if (state[face] == 0) {
        state[face] = -1;
        for (const char *file : Faces[face].files) {
            if (!file)
                continue;
            QFile source(QString::fromLatin1(Faces[face].folder) + QLatin1String(file));
            if (!source.open(QIODevice::ReadOnly))
                continue;
            const QByteArray renamed = withFamilyName(source.readAll(), privateFamily(face));
            if (!renamed.isEmpty() && QFontDatabase::addApplicationFontFromData(renamed) >= 0 && file == Faces[face].files[0])
                state[face] = 1;
        }
    }
    return state[face] == 1;
}

// Fonts that ship with Wine but are not registered with the system's font configuration, for
// the window's lists of fonts and the font dialog.
void registerExtraFonts()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const QStringList families = QFontDatabase::families();
        const struct { const char *family; const char *file; } extras[] = {
            {"Tahoma", "tahoma.ttf"}, {"Tahoma", "tahomabd.ttf"}, {"MS Sans Serif", "ms_sans_serif.ttf"}};
        for (const auto &extra : extras) {
            if (families.contains(QString::fromLatin1(extra.family), Qt::CaseInsensitive))
                continue;
            const std::string path = std::string(WineFolder) + extra.file;
            if (std::filesystem::exists(path))
                QFontDatabase::addApplicationFont(QString::fromStdString(path));
        }
    });
}

} // namespace

QString resolvedFontFamily(const std::string &name)
{
    registerExtraFonts();
    const int face = faceOf(name);
    if (face >= 0 && (face < 4 || QFontDatabase::families().contains(QLatin1String(Faces[face].family), Qt::CaseInsensitive)))
        return QLatin1String(Faces[face].family);
    const QString family = QString::fromStdString(name);
    if (face < 0 && QFontDatabase::families().contains(family, Qt::CaseInsensitive))
        return family;
    return QLatin1String(Faces[DefaultFace].family);
}

QString drawingFontFamily(const std::string &name)
{
    const QString family = resolvedFontFamily(name);
    const int face = faceOf(family.toStdString());
    if (face >= 0 && faceRegistered(face))
        return privateFamily(face);
    return family;
}

QString publicFontFamily(const QString &family)
{
    if (family.startsWith(PrivatePrefix)) {
        const int face = faceOf(family.toStdString());
        if (face >= 0)
            return QLatin1String(Faces[face].family);
    }
    return family;
}

int fontPixelSize(int points, int dotsPerInch)
{
    const long long scaled = static_cast<long long>(std::abs(points)) * dotsPerInch;
    return std::max(1, static_cast<int>((scaled + 36) / 72));
}

QFont resolvedFont(const FontDescription &font, int dotsPerInch)
{
    QFont result(drawingFontFamily(font.name));
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
