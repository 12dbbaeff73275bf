#pragma once

#include <optional>
#include <string>

namespace rvk {

// The general options of the page "Allele && General options". They are read by the analyses
// at the moment these run and are not kept in the settings files. Field names are the names of
// the page's controls.
struct GeneralOptions
{
    struct Range
    {
        int min;
        int max;
        int clamp(int value) const { return value < min ? min : (value > max ? max : value); }
    };
    static constexpr Range asso_ampRange{0, 400};
    static constexpr Range coloroffsetRange{0, 255};
    static constexpr Range SArhoRange{1, 99};
    static constexpr Range iterrepeatRange{0, 400};

    enum class AssociationPlot { BarPlot, GradientPlot }; // "R² bar plot", "R² gradient plot"

    std::string hetfragment = "H"; // allele code of heterozygous fragments (global statistics)
    int asso_amp = 10;             // plotted association amplification, %
    int coloroffset = 127;         // colour intensity offset of the gradient association plot
    int SArho = 90;                // simulated annealing cooling parameter, %
    int iterrepeat = 20;           // maxima found before the iterative optimisation stops
    bool deducephase = false;      // "deduce locus phase " for HAP and DH populations
    AssociationPlot associationplot = AssociationPlot::BarPlot;
    bool useFDRthreshold = true;   // false: the choice "p-value threshold:" (usepthreshold)
    std::string qthreshold = "0.05";
    std::string pthreshold = "0.01";

    bool usepthreshold() const { return !useFDRthreshold; }

    // The thresholds as numbers; nothing when the text is not a number.
    std::optional<double> qthresholdValue() const;
    std::optional<double> pthresholdValue() const;

    // Brings every numeric field into the range of its control.
    void clampToRanges();

    bool operator==(const GeneralOptions &) const = default;
};

} // namespace rvk
