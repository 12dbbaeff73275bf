#include "app/qtuserinterface.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QMessageBox>
#include <QProgressBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStringList>

#include <algorithm>

namespace rvk {

namespace {

QString toQt(const std::string &text) { return QString::fromStdString(text); }

// The "Description|patterns" pairs of a filter, patterns separated by ";".
QList<QPair<QString, QString>> filterPairs(const std::string &filter)
{
    const QStringList parts = toQt(filter).split(QLatin1Char('|'));
    QList<QPair<QString, QString>> pairs;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        pairs.append({parts[i].trimmed(), parts[i + 1].trimmed()});
    if (parts.size() % 2 == 1 && !parts.last().trimmed().isEmpty())
        pairs.append({parts.last().trimmed(), QString()});
    return pairs;
}

} // namespace

QtUserInterface::QtUserInterface(QWidget *parent) : mParent(parent) {}

QtUserInterface::~QtUserInterface()
{
    while (mBusyDepth > 0) {
        QApplication::restoreOverrideCursor();
        --mBusyDepth;
    }
}

void QtUserInterface::setProgressBar(QProgressBar *bar) { mProgressBar = bar; }

void QtUserInterface::setStartFolder(std::function<QString()> folder) { mStartFolder = std::move(folder); }

QString QtUserInterface::startFolder() const
{
    const QString folder = mStartFolder ? mStartFolder() : QString();
    if (!folder.isEmpty())
        return folder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void QtUserInterface::message(MessageKind kind, const std::string &text)
{
    // A message must be readable even while files are being read under the busy cursor.
    const bool busy = mBusyDepth > 0;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const QString title = QApplication::applicationDisplayName();
    switch (kind) {
    case MessageKind::Information:
        QMessageBox::information(mParent, title, toQt(text), QMessageBox::Ok);
        break;
    case MessageKind::Warning:
        QMessageBox::warning(mParent, title, toQt(text), QMessageBox::Ok);
        break;
    case MessageKind::Error:
        QMessageBox::critical(mParent, title, toQt(text), QMessageBox::Ok);
        break;
    }
    if (busy)
        QApplication::restoreOverrideCursor();
}

bool QtUserInterface::question(MessageKind kind, const std::string &text)
{
    const QMessageBox::Icon icon = kind == MessageKind::Information ? QMessageBox::Information
                                   : kind == MessageKind::Warning   ? QMessageBox::Warning
                                                                    : QMessageBox::Critical;
    QMessageBox box(icon, QApplication::applicationDisplayName(), toQt(text), QMessageBox::Yes | QMessageBox::No, mParent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool QtUserInterface::confirm(const std::string &text)
{
    return QMessageBox::question(mParent, QApplication::applicationDisplayName(), toQt(text),
                                 QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel)
           == QMessageBox::Ok;
}

bool QtUserInterface::question(const std::string &text)
{
    return QMessageBox::question(mParent, QApplication::applicationDisplayName(), toQt(text),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

QString QtUserInterface::qtFilter(const std::string &filter)
{
    QStringList entries;
    for (const auto &[description, patterns] : filterPairs(filter)) {
        QString entry = description;
        if (!patterns.isEmpty() && !description.contains(QLatin1Char('('))) {
            QString spaced = patterns;
            spaced.replace(QLatin1Char(';'), QLatin1Char(' '));
            entry += QStringLiteral(" (") + spaced + QLatin1Char(')');
        }
        entries.append(entry);
    }
    return entries.join(QStringLiteral(";;"));
}

namespace {
// The extension of a filter entry's first pattern ("*.jpg;*.jpeg" gives "jpg"); none for "*.*".
QString suffixOfPatterns(const QString &patterns)
{
    const QString first = patterns.section(QLatin1Char(';'), 0, 0).trimmed();
    const qsizetype dot = first.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return {};
    const QString suffix = first.mid(dot + 1);
    return suffix.contains(QLatin1Char('*')) || suffix.contains(QLatin1Char('?')) ? QString() : suffix;
}
} // namespace

QString QtUserInterface::defaultSuffix(const std::string &filter)
{
    const auto pairs = filterPairs(filter);
    return pairs.isEmpty() ? QString() : suffixOfPatterns(pairs.first().second);
}

std::vector<std::string> QtUserInterface::openFileNames(const std::string &title, const std::string &filter,
                                                        const std::string &startFolder, bool multiple)
{
    // Without a folder of its own the dialog would start in the program's working folder.
    const QString start = startFolder.empty() ? this->startFolder() : toQt(startFolder);
    QStringList chosen;
    if (multiple) {
        chosen = QFileDialog::getOpenFileNames(mParent, toQt(title), start, qtFilter(filter));
    } else {
        const QString one = QFileDialog::getOpenFileName(mParent, toQt(title), start, qtFilter(filter));
        if (!one.isEmpty())
            chosen.append(one);
    }
    std::vector<std::string> result;
    result.reserve(static_cast<size_t>(chosen.size()));
    for (const QString &path : chosen)
        result.push_back(path.toStdString());
    return result;
}

std::string QtUserInterface::saveFileName(const std::string &title, const std::string &filter,
                                          const std::string &defaultName)
{
    return saveFileChoice(title, filter, defaultName).path;
}

UserInterface::SaveChoice QtUserInterface::saveFileChoice(const std::string &title, const std::string &filter,
                                                          const std::string &defaultName)
{
    // QFileDialog's static helper cannot add a default extension; a dialog object can.
    // A bare default name lies in the folder of the data, not in the program's working folder.
    const QString name = toQt(defaultName);
    const QString start = name.isEmpty() ? startFolder() : QDir(startFolder()).filePath(name);
    QFileDialog dialog(mParent, toQt(title), start, qtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.setDefaultSuffix(defaultSuffix(filter));
    // The extension added to a bare name follows the type chosen in the dialog, so a name typed
    // under "JPEG" becomes a .jpg file, not one of the first type.
    const auto pairs = filterPairs(filter);
    const QStringList entries = qtFilter(filter).split(QStringLiteral(";;"));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, pairs, entries](const QString &chosen) {
        const qsizetype index = entries.indexOf(chosen);
        if (index >= 0 && index < pairs.size())
            dialog.setDefaultSuffix(suffixOfPatterns(pairs[index].second));
    });
    if (!defaultName.empty())
        dialog.selectFile(start);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return {dialog.selectedFiles().first().toStdString(), static_cast<int>(entries.indexOf(dialog.selectedNameFilter()))};
}

bool QtUserInterface::choosePictureSize(const std::string &title, int &width, int &height)
{
    QDialog dialog(mParent);
    dialog.setWindowTitle(toQt(title));
    dialog.setObjectName(QStringLiteral("PictureSizeDialog"));
    auto *widthField = new QSpinBox;
    widthField->setObjectName(QStringLiteral("pictureWidth"));
    auto *heightField = new QSpinBox;
    heightField->setObjectName(QStringLiteral("pictureHeight"));
    for (QSpinBox *field : {widthField, heightField}) {
        field->setRange(50, 20000);
        field->setSuffix(QStringLiteral(" pixels"));
    }
    widthField->setValue(width);
    heightField->setValue(height);
    auto *keep = new QCheckBox(QStringLiteral("Keep proportions"));
    keep->setChecked(true);
    const double ratio = width > 0 ? static_cast<double>(height) / width : 1.0;
    QObject::connect(widthField, &QSpinBox::valueChanged, &dialog, [=](int value) {
        if (keep->isChecked())
            heightField->setValue(std::max(1, static_cast<int>(value * ratio + 0.5)));
    });
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *form = new QFormLayout(&dialog);
    form->addRow(QStringLiteral("Width:"), widthField);
    form->addRow(QStringLiteral("Height:"), heightField);
    form->addRow(keep);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    width = widthField->value();
    height = heightField->value();
    return true;
}

void QtUserInterface::setProgress(long long position, long long maximum)
{
    if (!mProgressBar)
        return;
    if (maximum <= 0) {
        // An empty range would make the bar show an endless busy animation.
        mProgressBar->setRange(0, 100);
        mProgressBar->setValue(0);
        return;
    }
    // QProgressBar counts in int; long runs are scaled into its range.
    constexpr long long Limit = 1'000'000'000;
    long long scale = 1;
    while (maximum / scale > Limit)
        scale *= 10;
    mProgressBar->setRange(0, static_cast<int>(maximum / scale));
    mProgressBar->setValue(static_cast<int>(std::min(position, maximum) / scale));
}

void QtUserInterface::setBusy(bool busy)
{
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++mBusyDepth;
    } else if (mBusyDepth > 0) {
        QApplication::restoreOverrideCursor();
        --mBusyDepth;
    }
}

void QtUserInterface::restoreBusyDepth(int depth)
{
    while (mBusyDepth > std::max(0, depth))
        setBusy(false);
}

} // namespace rvk
