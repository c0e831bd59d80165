#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;
class TCompareForm;
class TControlSet;
class TLogViewerForm;
struct CtrlSet;

// The main window's "&Tools" menu, added after "&Language": recording and replaying a drive,
// the log viewer, and the comparison of the controller's control set with a file or of two
// files. Each log and each comparison opens a window of its own beside the main window.
class TToolsMenu : public QObject {
    Q_OBJECT
public:
    // `controlSet` gives the controller's device copy; `window` is the main window, which
    // owns the windows opened from here.
    TToolsMenu(QMenuBar& bar, const TControlSet& controlSet, QWidget* window);

    QMenu* Herramientas1;
    QAction* GrabarLog1;        // "Record log…"
    QAction* DetenerGrabacion1; // "Stop recording"
    QAction* ReproducirLog1;    // "Replay log…"
    QAction* VerLog1;           // "View log…"
    QAction* CompararArchivo1;  // "Compare with file…"
    QAction* CompararDosArchivos1; // "Compare two files…"

    void VerLog1Click();
    void CompararArchivo1Click();
    void CompararDosArchivos1Click();

    // The same without the file dialogs: a window on `path`, or null after telling why not.
    TLogViewerForm* ViewLog(const QString& path);
    TCompareForm* CompareWithFile(const QString& path);
    TCompareForm* CompareFiles(const QString& pathA, const QString& pathB);

    // Seams for the file dialog (the chosen path, empty when cancelled) and the error box.
    std::function<QString(const QString& title, const QString& filter)> ChooseOpenFile;
    std::function<void(const QString& message)> ShowError;

private:
    bool ReadControlSet(const QString& path, CtrlSet& set);
    void Opened(QWidget* form);

    const TControlSet& FControlSet;
    QWidget* FWindow;
    QString FFolder; // where the last file was chosen
};
