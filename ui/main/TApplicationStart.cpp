#include "ui/main/TApplicationStart.h"

#include "protocol/TFixedTexts.h"
#include "settings/TComponentTranslator.h"
#include "ui/main/TWindowSet.h"
#include "ui/main/UiLog.h"
#include "ui/widgets/TUiFont.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include <exception>

TApplicationStart::TApplicationStart(TMainForm::TTransportFactory transports)
    : FTransports(std::move(transports))
{
}

void TApplicationStart::RegisterTranslationExclusions()
{
    // A value box shows a number, and a font list shows the names of fonts: neither is a text
    // to translate, in whatever window they stand.
    TP_GlobalIgnoreClass("TValueBox");
    TP_GlobalIgnoreClass("QFontComboBox");
}

int TApplicationStart::Run(QApplication& app)
{
    try {
        RegisterTranslationExclusions();
        TUiFont::Install();
        QApplication::setApplicationName(QLatin1String(TFixedTexts::AppTitle));
        TWindowSet windows(FTransports);
        // The icon's resources are registered by the main window.
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/brevon.svg")));
        if (OnWindowsCreated)
            OnWindowsCreated(windows);
        windows.MainForm().show();
        app.exec();
    } catch (const std::exception& e) {
        return Fatal(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return Fatal(QStringLiteral("Unknown error"));
    }
    return 0;
}

int TApplicationStart::Fatal(const QString& message)
{
    qCCritical(lcUi) << "fatal error:" << message;
    QMessageBox::critical(nullptr, QLatin1String(TFixedTexts::AppTitle), message);
    return 1;
}
