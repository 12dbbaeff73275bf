#pragma once

#include <QObject>

#include <string>

class QTabWidget;

namespace rvk {

class AllelePage;
class DrawingOptionsPage;
class MainWindow;

// The page "Settings" (allele and general options, drawing options), its menu, and the settings
// files: the default one read at start and written on exit, and those saved and loaded by hand.
class SettingsFeature : public QObject
{
    Q_OBJECT

public:
    explicit SettingsFeature(MainWindow &window);

    AllelePage *allelePage() const { return mAllelePage; }
    DrawingOptionsPage *drawingOptionsPage() const { return mDrawingPage; }

    void showSettingsPage(int subPage); // 0 "Allele && General options", 1 "Drawing options"
    void saveSettingsAs();              // "Save Settings.."
    void loadSettingsFrom();            // "Load Settings.."
    // Loads a settings file with the data set's ticks, then shows what it set.
    void loadSettingsFile(const std::string &path);
    void loadDefaultSettings();
    // "Set as Default", and closing the window: the settings in force become the next start's.
    void storeDefaultSettings();

private:
    MainWindow &mWindow;
    QTabWidget *mSettingsPages = nullptr;
    AllelePage *mAllelePage = nullptr;
    DrawingOptionsPage *mDrawingPage = nullptr;
};

} // namespace rvk
