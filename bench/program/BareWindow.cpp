// The yardstick of the start-up and memory measures: a bare Qt main window of the main
// window's size with a menu bar, shown, reporting its first paint and ending there.
#include "ui/main/TFirstPaintReport.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("&File"));
    window.setFixedSize(804, 580);
    new TFirstPaintReport(window);
    window.show();
    return app.exec();
}
