#include "ui/QtPrompter.h"

#include "ui/CMelodyTitleDlg.h"
#include "ui/CSetFormatDlg.h"
#include "ui/CTransposeDlg.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

namespace tinkla
{

QStringList NameFiltersFromPairs(const QString& pairs)
{
    QStringList filters;
    const QStringList parts = pairs.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString label = parts[i].trimmed();
        if (label.isEmpty())
            break; // the "||" that ends the list
        static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)$"));
        label.remove(trailingPatterns);
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*");
        }
        filters << QStringLiteral("%1 (%2)").arg(label, patterns.join(QLatin1Char(' ')));
    }
    return filters;
}

Answer QtPrompter::MessageBox(const QString& text, unsigned type)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(QStringLiteral("Tinkla"));
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    if (type & MB_ICONHAND)
        box.setIcon(QMessageBox::Critical);
    else if (type & MB_ICONQUESTION)
        box.setIcon(QMessageBox::Question);
    else if (type & MB_ICONINFORMATION)
        box.setIcon(QMessageBox::Information);
    switch (type & 0xF) {
    case MB_YESNOCANCEL:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case MB_YESNO:
        // No Cancel button: Esc answers No, as closing the question declines it.
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Ok:
        return IDOK;
    default:
        return IDCANCEL;
    }
}

QString QtPrompter::FileDialog(const FileDialogRequest& request)
{
    QFileDialog dialog(m_parent);
    if (!request.title.isEmpty())
        dialog.setWindowTitle(request.title);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(NameFiltersFromPairs(request.filter));
    dialog.setDefaultSuffix(request.defaultExtension);
    const QFileInfo initial(request.initialPath);
    if (!request.initialPath.isEmpty() && initial.isAbsolute())
        dialog.setDirectory(initial.absolutePath());
    else
        dialog.setDirectory(m_lastDir.isEmpty() ? QDir::homePath() : m_lastDir);
    if (!request.initialPath.isEmpty())
        dialog.selectFile(initial.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString path = dialog.selectedFiles().constFirst();
    m_lastDir = QFileInfo(path).absolutePath();
    return path;
}

bool QtPrompter::AskSetFormat(int* choice)
{
    CSetFormatDlg dlg(m_parent);
    dlg.m_nFormat = *choice;
    if (dlg.exec() != QDialog::Accepted || dlg.m_nFormat < 0)
        return false;
    *choice = dlg.m_nFormat;
    return true;
}

bool QtPrompter::AskMelodyTitle(QString* title)
{
    CMelodyTitleDlg dlg(m_parent);
    dlg.m_strMelodyTitle = *title;
    if (dlg.exec() != QDialog::Accepted)
        return false;
    *title = dlg.m_strMelodyTitle;
    return true;
}

bool QtPrompter::AskTranspose(int* semitones, bool* fold)
{
    CTransposeDlg dlg(m_parent);
    dlg.SetValues(*semitones, *fold);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    *semitones = dlg.Semitones();
    *fold = dlg.Fold();
    return true;
}

} // namespace tinkla
