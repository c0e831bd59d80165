#pragma once

#include <QIcon>

#include <array>
#include <vector>

class QAction;
class QLabel;
class QMainWindow;
class QMenu;
class QMenuBar;
class QToolBar;
class TLed;

// The main window's menu MainMenu1 and toolbar ToolBar1, built in their order with their names,
// captions, hints and images. Menu items and toolbar buttons are separate actions, each named
// after its control; the window binds them to its handlers.
class TMainActions {
public:
    static constexpr int kToolBarHeight = 29;
    static constexpr int kButtonWidth = 39;

    explicit TMainActions(QMainWindow& window);

    // The menu items and toolbar buttons that change the control set or send it to the
    // controller. Whatever must keep the control set still (a replay) turns these off; an item
    // added that edits or sends belongs in this list.
    std::vector<QAction*> ControlSetActions() const;

    // The toolbar's and the menus' images, 32 by 16, by the index the toolbar's buttons name.
    std::array<QIcon, 10> ImageList1;

    // "&File"
    QMenu* Archivo1;
    QAction* Abrir1;
    QAction* Guardar1;
    QAction* Guardarcomo1;
    QAction* Salir1;
    // "&Memory"
    QMenu* Memoria1;
    QAction* Restauraranterior1;
    QAction* Cargar1;
    QAction* ProtegerMemS1;
    QAction* ProtegerMem;
    // "&Configuration"
    QMenu* Configuracin1;
    QAction* Sistemadecontrol1;
    QAction* Brevon1;
    QAction* CutOff1;
    // "&Language": empty and hidden until the language start-up fills it.
    QMenu* MLanguage;

    QToolBar* ToolBar1;
    QAction* BMemOpen;
    QAction* BMemSave;
    QAction* BMemRestore;
    QAction* BMemCharge;
    QAction* BConfCtrl;
    QAction* BConfLambda;
    QAction* BConfCutOff;
    QAction* BVerGraf;
    QLabel* Image1;
    TLed* iLedCommSts;

private:
    void BuildMenus(QMenuBar& bar);
    void BuildToolBar();
    QAction* AddButton(const char* name, const char* hint, int image);
    void AddSeparator(const char* name, int width);
};
