#pragma once
// The features that attach themselves to the main window. Each is installed once, when the
// window is built, and lives as long as the window.

namespace rvk {

class MainWindow;

// Statistics windows: current view, global statistics, marker statistics.
void installStatisticsFeature(MainWindow &window);
// Marker selection criteria, the individual check list and the sort of individuals.
void installSelectionFeature(MainWindow &window);
// The page "Data Sort, View, Edit" with its commands. (Saving data, the spreadsheet exchange,
// the locus/map merger and the exports come with the files feature, app/files; the picture and
// the settings page are features of the window's frame, app/picture and app/settings.)
void installDataEditingFeature(MainWindow &window);
// Genotyping-platform files: the import dialog (region, samples, filters, map, population type)
// for VCF, BCF and HapMap files chosen in the open dialog.
void installPlatformImportFeature(MainWindow &window);
// Trait data and marker-trait association: the "Associations" page with its tables, the runs,
// the report window "Output File", the association plot and the LD plot of a trait.
void installAssociationFeature(MainWindow &window);
// Linkage disequilibrium: the "LD " page with its tables, list, chart and heat plot.
void installLdFeature(MainWindow &window);
// Genetic distances, NJ and UPGMA trees, distance export and the tree window.
void installDistanceFeature(MainWindow &window);
// Core subsets: diversity criteria, iterative optimisation and simulated annealing.
void installCoreSubsetFeature(MainWindow &window);
// Marker-assisted backcrossing: the "Backcross" page with the backcross table, its chart, the
// selection of the best carriers and the F1 and pedigree check.
void installBackcrossFeature(MainWindow &window);
// Panel genomics: kinship, principal components, mixed-model association and genomic
// prediction in the window "Panel genomics".
void installPanelFeature(MainWindow &window);
// QTL mapping: the page "QTL mapping" with its runs, LOD profiles, peaks and the QTL intervals
// it adds to the map.
void installQtlFeature(MainWindow &window);

} // namespace rvk
