#pragma once
// The small panel of the kinship, PCA and mixed-model tests (tests/data/panel): 36 inbred lines
// of two sub-populations at 45 markers in 3 groups (one marker monomorphic), traits T1 (all
// lines) and T2 (31 lines), with the reference numbers computed once by GEMMA 0.98.5 and
// plink2 from the same data (make_panel.py and make_reference.sh beside them say how).

#include "core/dataloader.h"
#include "core/genotypedata.h"
#include "core/userinterface.h"
#include "genetics/traittable.h"
#include "settings/alleletable.h"
#include "support/tempfolder.h"

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace rvk::test {

inline std::string panelPath(const std::string &name)
{
    return testDataPath("panel/" + name);
}

inline GenotypeData loadPanel()
{
    GenotypeData data;
    SilentUserInterface ui;
    DataLoader loader(data, ui);
    loader.OpenFiles({panelPath("panel.rvk")});
    return data;
}

// The trait table of panel.qua as the trait page holds it: row 0 the lines, column 0 the traits,
// "-" (the file's missing code) as an empty cell.
inline TraitTable panelTraits()
{
    TraitTable table;
    std::istringstream lines(readWholeFile(panelPath("panel.qua")));
    std::string line;
    int column = -1;
    while (std::getline(lines, line)) {
        if (line.rfind("traitnames", 0) == 0)
            column = 0;
        if (column < 0)
            continue;
        std::istringstream fields(line);
        std::string field;
        for (int row = 0; fields >> field; ++row)
            table.setCell(column, row, column == 0 && row == 0 ? std::string() : field == "-" ? std::string() : field);
        ++column;
    }
    return table;
}

// A matrix of numbers separated by blanks or tabs, one row per line.
inline std::vector<std::vector<double>> readNumberRows(const std::string &path)
{
    std::vector<std::vector<double>> rows;
    std::istringstream lines(readWholeFile(path));
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::vector<double> row;
        double value;
        while (fields >> value)
            row.push_back(value);
        if (!row.empty())
            rows.push_back(row);
    }
    return rows;
}

// GEMMA's .assoc.txt of -lmm 1: marker name -> beta, se, l_remle, p_wald.
struct GemmaTest
{
    double beta, se, lambda, p;
};
inline std::map<std::string, GemmaTest> readGemmaAssoc(const std::string &path)
{
    std::map<std::string, GemmaTest> tests;
    std::istringstream lines(readWholeFile(path));
    std::string line;
    std::getline(lines, line); // heading
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string chr, rs, ps, miss, a1, a0, af;
        double beta, se, logl, lambda, p;
        if (fields >> chr >> rs >> ps >> miss >> a1 >> a0 >> af >> beta >> se >> logl >> lambda >> p)
            tests[rs] = {beta, se, lambda, p};
    }
    return tests;
}

} // namespace rvk::test
