#include "ui/datalog/TToolsMenu.h"

#include "protocol/TControlSet.h"
#include "ui/datalog/TLogViewerForm.h"
#include "protocol/TFixedTexts.h"
#include "ui/memory/TCompareForm.h"
#include "session/TControlSetFile.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

#include "settings/Gettext.h"

namespace {

QAction* AddItem(QMenu* menu, const char* name, const char* caption)
{
    QAction* a = menu->addAction(QString::fromUtf8(caption));
    a->setObjectName(QLatin1String(name));
    return a;
}

void AddSeparator(QMenu* menu, const char* name)
{
    menu->addSeparator()->setObjectName(QLatin1String(name));
}

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

TToolsMenu::TToolsMenu(QMenuBar& bar, const TControlSet& controlSet, QWidget* window)
    : QObject(&bar)
    , FControlSet(controlSet)
    , FWindow(window)
{
    setObjectName(QStringLiteral("ToolsMenu"));
    Herramientas1 = bar.addMenu(QStringLiteral(N_("&Tools")));
    Herramientas1->setObjectName(QStringLiteral("Herramientas1"));
    Herramientas1->menuAction()->setObjectName(QStringLiteral("Herramientas1"));
    GrabarLog1 = AddItem(Herramientas1, "GrabarLog1", N_("Record log\u2026"));
    DetenerGrabacion1 = AddItem(Herramientas1, "DetenerGrabacion1", N_("Stop recording"));
    AddSeparator(Herramientas1, "N5");
    ReproducirLog1 = AddItem(Herramientas1, "ReproducirLog1", N_("Replay log\u2026"));
    VerLog1 = AddItem(Herramientas1, "VerLog1", N_("View log\u2026"));
    AddSeparator(Herramientas1, "N6");
    CompararArchivo1 = AddItem(Herramientas1, "CompararArchivo1", N_("Compare with file\u2026"));
    CompararDosArchivos1 =
        AddItem(Herramientas1, "CompararDosArchivos1", N_("Compare two files\u2026"));
    for (QAction* recording : { GrabarLog1, DetenerGrabacion1, ReproducirLog1 })
        recording->setEnabled(false);

    connect(VerLog1, &QAction::triggered, this, &TToolsMenu::VerLog1Click);
    connect(CompararArchivo1, &QAction::triggered, this, &TToolsMenu::CompararArchivo1Click);
    connect(CompararDosArchivos1, &QAction::triggered, this,
            &TToolsMenu::CompararDosArchivos1Click);

    ChooseOpenFile = [this](const QString& title, const QString& filter) {
        return QFileDialog::getOpenFileName(FWindow, title, FFolder, filter);
    };
    ShowError = [this](const QString& message) {
        QMessageBox::critical(FWindow, QString::fromLatin1(TFixedTexts::AppTitle), message);
    };
}

void TToolsMenu::VerLog1Click()
{
    const QString path = ChooseOpenFile(_("View log"), _("Datalogs (*.csv);;All files (*)"));
    if (path.isEmpty())
        return;
    FFolder = QFileInfo(path).absolutePath();
    ViewLog(path);
}

void TToolsMenu::CompararArchivo1Click()
{
    if (!FControlSet.ConfirmedKnown()) {
        ShowError(_("The controller's control set has not been read yet. Connect the controller "
                    "and wait until its values show, or compare two files."));
        return;
    }
    const QString path = ChooseOpenFile(_("Compare with file"),
                                        _("Memory files (*.mem)") + QStringLiteral(";;")
                                            + _("All files (*)"));
    if (path.isEmpty())
        return;
    FFolder = QFileInfo(path).absolutePath();
    CompareWithFile(path);
}

void TToolsMenu::CompararDosArchivos1Click()
{
    const QString filter = _("Memory files (*.mem)") + QStringLiteral(";;") + _("All files (*)");
    const QString a = ChooseOpenFile(_("First control set (A)"), filter);
    if (a.isEmpty())
        return;
    FFolder = QFileInfo(a).absolutePath();
    const QString b = ChooseOpenFile(_("Second control set (B)"), filter);
    if (b.isEmpty())
        return;
    FFolder = QFileInfo(b).absolutePath();
    CompareFiles(a, b);
}

TLogViewerForm* TToolsMenu::ViewLog(const QString& path)
{
    auto* form = new TLogViewerForm(FWindow);
    if (!form->Open(path)) {
        ShowError(_("Cannot open the log %1:\n%2").arg(Shown(path), form->ErrorText()));
        delete form;
        return nullptr;
    }
    Opened(form);
    return form;
}

TCompareForm* TToolsMenu::CompareWithFile(const QString& path)
{
    CtrlSet file;
    if (!FControlSet.ConfirmedKnown() || !ReadControlSet(path, file))
        return nullptr;
    auto* form = new TCompareForm(FControlSet.Device(), _("Controller"), file, Shown(path), FWindow);
    Opened(form);
    return form;
}

TCompareForm* TToolsMenu::CompareFiles(const QString& pathA, const QString& pathB)
{
    CtrlSet a, b;
    if (!ReadControlSet(pathA, a) || !ReadControlSet(pathB, b))
        return nullptr;
    auto* form = new TCompareForm(a, Shown(pathA), b, Shown(pathB), FWindow);
    Opened(form);
    return form;
}

bool TToolsMenu::ReadControlSet(const QString& path, CtrlSet& set)
{
    QString error;
    switch (TControlSetFile::Read(path, set, error)) {
    case TControlSetFile::TStatus::Ok:
        return true;
    case TControlSetFile::TStatus::WrongSize:
        ShowError(_("%1 is not a control set: a control-set file holds exactly %2 bytes, this one "
                    "holds %3.")
                      .arg(Shown(path))
                      .arg(kCtrlSetSize)
                      .arg(QFileInfo(path).size()));
        return false;
    case TControlSetFile::TStatus::Error:
        break;
    }
    ShowError(_("Cannot open file %1:\n%2").arg(Shown(path), error));
    return false;
}

void TToolsMenu::Opened(QWidget* form)
{
    form->show();
    form->raise();
    form->activateWindow();
}
