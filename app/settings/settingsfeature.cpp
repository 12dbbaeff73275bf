#include "app/settings/settingsfeature.h"

#include "app/mainwindow.h"
#include "app/settings/allelelistmodel.h"
#include "app/settings/allelepage.h"
#include "app/settings/drawingoptionspage.h"
#include "settings/datasetsettings.h"
#include "settings/settingsfile.h"

#include <QFileInfo>
#include <QTabWidget>

namespace rvk {

SettingsFeature::SettingsFeature(MainWindow &window) : QObject(&window), mWindow(window)
{
    DisplaySettings &settings = window.displaySettings();
    mSettingsPages = new QTabWidget;
    mSettingsPages->setObjectName(QStringLiteral("SettingsPages"));
    mAllelePage = new AllelePage(settings.alleles);
    mDrawingPage = new DrawingOptionsPage;
    mDrawingPage->setOptions(settings.drawing);
    mSettingsPages->addTab(mAllelePage, QStringLiteral("Allele && General options"));
    mSettingsPages->addTab(mDrawingPage, QStringLiteral("Drawing options"));
    window.setPageWidget(MainWindow::SettingsPage, mSettingsPages);

    connect(mDrawingPage, &DrawingOptionsPage::changed, this, [this] { mWindow.displaySettings().drawing = mDrawingPage->options(); });
    connect(mDrawingPage, &DrawingOptionsPage::colorModeChosen, this, [this] {
        mWindow.picture().showColorMode(mWindow.displaySettings().drawing.blackAndWhite());
        mWindow.redrawbtnClick();
    });
    connect(mAllelePage, &AllelePage::applyRequested, this, [this] { mWindow.redrawbtnClick(); });
    connect(mAllelePage, &AllelePage::saveSettingsRequested, this, &SettingsFeature::saveSettingsAs);
    connect(mAllelePage, &AllelePage::loadSettingsRequested, this, &SettingsFeature::loadSettingsFrom);
    connect(mAllelePage, &AllelePage::setAsDefaultRequested, this, &SettingsFeature::storeDefaultSettings);
}

void SettingsFeature::showSettingsPage(int subPage)
{
    mSettingsPages->setCurrentIndex(subPage);
    mWindow.showPage(MainWindow::SettingsPage);
}

void SettingsFeature::saveSettingsAs()
{
    UserInterface &ui = mWindow.userInterface();
    const std::string path = ui.saveFileName("Save Settings", SettingsSaveFilter, mWindow.loader().defaultSettingsName());
    if (path.empty())
        return;
    storeDataIntoSettings(mWindow.data(), mWindow.displaySettings());
    std::string errorText;
    if (!saveSettings(path, mWindow.displaySettings(), &errorText))
        ui.warning(errorText);
}

void SettingsFeature::loadSettingsFrom()
{
    const std::string defaultName = mWindow.loader().defaultSettingsName();
    const std::string folder = defaultName.empty()
                                   ? mWindow.files().openDialogFolder().toStdString()
                                   : QFileInfo(QString::fromStdString(defaultName)).absolutePath().toStdString();
    const std::vector<std::string> chosen = mWindow.userInterface().openFileNames("Load Settings", SettingsLoadFilter, folder, false);
    if (chosen.empty())
        return;
    loadSettingsFile(chosen.front());
}

void SettingsFeature::loadSettingsFile(const std::string &path)
{
    DisplaySettings &settings = mWindow.displaySettings();
    std::string errorText;
    if (!loadSettingsWithData(path, mWindow.data(), settings, &errorText))
        mWindow.userInterface().warning(errorText);
    mWindow.files().refreshRecentCaptions();
    mWindow.picture().showColorMode(settings.drawing.blackAndWhite());
    mDrawingPage->setOptions(settings.drawing);
    mAllelePage->model()->reload();
}

void SettingsFeature::loadDefaultSettings() { loadSettingsFile(mWindow.settingsFilePath()); }

void SettingsFeature::storeDefaultSettings()
{
    storeDataIntoSettings(mWindow.data(), mWindow.displaySettings());
    std::string errorText;
    if (!saveSettings(mWindow.settingsFilePath(), mWindow.displaySettings(), &errorText))
        mWindow.userInterface().warning(errorText);
}

} // namespace rvk
