#include "ui/main/TMainActions.h"

#include "ui/widgets/TLed.h"

#include <QAction>
#include <QIcon>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "settings/Gettext.h"

namespace {

QIcon Image(const char* name)
{
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

QMenu* AddMenu(QMenuBar& bar, const char* name, const char* caption)
{
    QMenu* menu = bar.addMenu(QLatin1String(caption));
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    return menu;
}

QAction* AddItem(QMenu* menu, const char* name, const char* caption, const QIcon& image = {})
{
    QAction* a = menu->addAction(QLatin1String(caption));
    a->setObjectName(QLatin1String(name));
    a->setIcon(image);
    return a;
}

// ImageList1's images in index order.
constexpr const char* kImages[] = { "open",  "save",   "saveas", "load",   "protect",
                                    "graph", "cutoff", "restore", "lambda", "control" };
enum TImage { imOpen, imSave, imSaveAs, imLoad, imProtect, imGraph, imCutOff, imRestore,
              imLambda, imControl };

QAction* AddMenuSeparator(QMenu* menu, const char* name)
{
    QAction* a = menu->addSeparator();
    a->setObjectName(QLatin1String(name));
    return a;
}

} // namespace

TMainActions::TMainActions(QMainWindow& window)
{
    static_assert(std::size(kImages) == std::tuple_size_v<decltype(ImageList1)>);
    for (size_t i = 0; i < ImageList1.size(); ++i)
        ImageList1[i] = Image(kImages[i]);
    window.menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    BuildMenus(*window.menuBar());
    ToolBar1 = new QToolBar(&window);
    window.addToolBar(Qt::TopToolBarArea, ToolBar1);
    BuildToolBar();
}

std::vector<QAction*> TMainActions::ControlSetActions() const
{
    return { Abrir1,  BMemOpen,  Restauraranterior1, BMemRestore, Cargar1, BMemCharge, ProtegerMem,
             Sistemadecontrol1, BConfCtrl, Brevon1, BConfLambda, CutOff1, BConfCutOff };
}

void TMainActions::BuildMenus(QMenuBar& bar)
{
    Archivo1 = AddMenu(bar, "Archivo1", N_("&File"));
    Abrir1 = AddItem(Archivo1, "Abrir1", N_("&Open"), ImageList1[imOpen]);
    Guardar1 = AddItem(Archivo1, "Guardar1", N_("&Save"), ImageList1[imSave]);
    Guardarcomo1 = AddItem(Archivo1, "Guardarcomo1", N_("Save &as..."), ImageList1[imSaveAs]);
    AddMenuSeparator(Archivo1, "N1");
    Salir1 = AddItem(Archivo1, "Salir1", N_("&Exit"));

    Memoria1 = AddMenu(bar, "Memoria1", N_("&Memory"));
    Restauraranterior1 =
        AddItem(Memoria1, "Restauraranterior1", N_("&Restore"), ImageList1[imRestore]);
    AddMenuSeparator(Memoria1, "N3");
    Cargar1 = AddItem(Memoria1, "Cargar1", N_("&Load"), ImageList1[imLoad]);
    // The protection dialog works, but the controllers in the field are not to be locked from
    // here: its item stays hidden and disabled.
    ProtegerMemS1 = AddMenuSeparator(Memoria1, "ProtegerMemS1");
    ProtegerMemS1->setVisible(false);
    ProtegerMem = AddItem(Memoria1, "ProtegerMem", N_("&Protect"), ImageList1[imProtect]);
    ProtegerMem->setVisible(false);
    ProtegerMem->setEnabled(false);

    Configuracin1 = AddMenu(bar, "Configuracin1", N_("&Configuration"));
    Sistemadecontrol1 = AddItem(Configuracin1, "Sistemadecontrol1", N_("&Control system"),
                                ImageList1[imControl]);
    Brevon1 = AddItem(Configuracin1, "Brevon1", N_("&Lambda probe"), ImageList1[imLambda]);
    CutOff1 = AddItem(Configuracin1, "CutOff1", N_("Cut-&off"), ImageList1[imCutOff]);

    MLanguage = AddMenu(bar, "MLanguage", N_("&Language"));
    MLanguage->menuAction()->setVisible(false);
}

QAction* TMainActions::AddButton(const char* name, const char* hint, int image)
{
    QAction* a = ToolBar1->addAction(ImageList1[size_t(image)], QString());
    a->setObjectName(QLatin1String(name));
    a->setToolTip(QLatin1String(hint));
    QWidget* button = ToolBar1->widgetForAction(a);
    button->setObjectName(QLatin1String(name));
    button->setFixedWidth(kButtonWidth);
    return a;
}

void TMainActions::AddSeparator(const char* name, int width)
{
    auto* gap = new QWidget(ToolBar1);
    gap->setObjectName(QLatin1String(name));
    gap->setFixedWidth(width);
    ToolBar1->addWidget(gap);
}

void TMainActions::BuildToolBar()
{
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->toggleViewAction()->setEnabled(false);
    ToolBar1->setFixedHeight(kToolBarHeight);
    ToolBar1->setIconSize(QSize(32, 16));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar1->setContentsMargins(0, 0, 0, 0);

    BMemOpen = AddButton("BMemOpen", N_("Open file"), imOpen);
    BMemSave = AddButton("BMemSave", N_("Save file"), imSave);
    AddSeparator("ToolButton3", 8);
    BMemRestore = AddButton("BMemRestore", N_("Restore Memory"), imRestore);
    BMemCharge = AddButton("BMemCharge", N_("Load Memory"), imLoad);
    AddSeparator("ToolButton1", 8);
    AddSeparator("ToolButton6", 22);
    BConfCtrl = AddButton("BConfCtrl", N_("Control System configuration"), imControl);
    BConfLambda = AddButton("BConfLambda", N_("Lambda Control configuration"), imLambda);
    BConfCutOff = AddButton("BConfCutOff", N_("Cut-off Control configuration"), imCutOff);
    AddSeparator("ToolButton10", 22);

    Image1 = new QLabel(ToolBar1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(28, 15);
    Image1->setAttribute(Qt::WA_TranslucentBackground);
    Image1->setPixmap(Image("korvel").pixmap(QSize(28, 15)));
    ToolBar1->addWidget(Image1);
    AddSeparator("ToolButton7", 3);

    iLedCommSts = new TLed(ToolBar1);
    iLedCommSts->setObjectName(QStringLiteral("iLedCommSts"));
    iLedCommSts->setShape(TLed::TShape::Diamond);
    iLedCommSts->setBevel(true);
    iLedCommSts->setOnColor(QColor(0, 230, 0));
    iLedCommSts->setFixedSize(22, 22);
    ToolBar1->addWidget(iLedCommSts);
    AddSeparator("ToolButton2", 22);

    BVerGraf = AddButton("BVerGraf", N_("Graphical Mode"), imGraph);
}
