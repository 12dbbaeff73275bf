#pragma once
// Small in-memory data sets and bitmap rendering for the view tests.

#include "core/genotypedata.h"
#include "render/paintersurface.h"
#include "render/viewpicture.h"
#include "settings/alleletable.h"
#include "support/testdatasets.h"

#include <QColor>
#include <QImage>

#include <string>
#include <vector>

namespace rvk::test {

struct LocusSpec
{
    std::string name;
    double position = 0;
    std::string genotypes;
    double qtlStart = 0;
    double qtlEnd = 0;
    std::string segType = {};
    std::string phase = {};
};

inline GenotypeData makeData(const std::vector<std::vector<LocusSpec>> &groups, int nind, const std::string &popt = "f2")
{
    GenotypeData data;
    data.nind = nind;
    data.popt = popt;
    for (size_t g = 0; g < groups.size(); ++g) {
        LinkageGroup group;
        group.Name = "chr" + std::to_string(g + 1);
        group.PopType = popt;
        for (const LocusSpec &spec : groups[g]) {
            Tlocinfo locus;
            locus.Name = spec.name;
            locus.Position = spec.position;
            locus.Genotypes = spec.genotypes;
            locus.QtlStart = spec.qtlStart;
            locus.QtlEnd = spec.qtlEnd;
            locus.SegType = spec.segType;
            locus.Phase = spec.phase;
            group.Loci.push_back(locus);
        }
        data.AppendGroup(std::move(group));
    }
    finishTestData(data, static_cast<size_t>(nind), "I");
    return data;
}

// A locus of name at position cM with the genotype codes of the individuals.
inline LocusSpec marker(const char *name, double position, const char *genotypes)
{
    LocusSpec locus;
    locus.name = name;
    locus.position = position;
    locus.genotypes = genotypes;
    return locus;
}

inline QImage whiteImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

inline QImage renderPicture(const ViewPicture &picture)
{
    QImage image = whiteImage(picture.width(), picture.height());
    {
        PainterSurface surface(image);
        picture.replay(surface);
    }
    return image;
}

inline Rgb pixelAt(const QImage &image, int x, int y)
{
    const QColor c = image.pixelColor(x, y);
    return rgb(c.red(), c.green(), c.blue());
}

// Colours every test uses for its alleles.
constexpr Rgb Red = rgb(255, 0, 0);
constexpr Rgb Blue = rgb(0, 0, 255);
constexpr Rgb Green = rgb(0, 160, 0);
constexpr Rgb Yellow = rgb(255, 255, 0);
constexpr Rgb White = rgb(255, 255, 255);
constexpr Rgb Black = rgb(0, 0, 0);

inline AlleleTable testTable()
{
    AlleleTable table;
    table.clearUsed();
    for (int i = 0; i < AlleleTable::Size; ++i) {
        table.setColor(i, rgb(128, 128, 128));
        table.setHatch(i, 0);
    }
    table.setColor(codeIndex('a'), Red);
    table.setColor(codeIndex('b'), Blue);
    table.setColor(codeIndex('h'), Green);
    table.setColor(codeIndex('c'), Yellow);
    return table;
}

} // namespace rvk::test
