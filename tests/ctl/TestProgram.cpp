#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

struct TProcessRun {
    int code = -1;
    QByteArray out;
};

TProcessRun RunProgram(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    TProcessRun run;
    if (!process.waitForFinished(60000))
        return run;
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    return run;
}

} // namespace

// The program the user runs links the core and Qt Core, and neither Qt Widgets nor Qt Gui.
TEST(CtlProgram, LinksNoWidgetsNorGui)
{
    const TProcessRun run = RunProgram(QStringLiteral("readelf"),
                                       { QStringLiteral("-d"), QStringLiteral(BREVONCTL_PATH) });
    ASSERT_EQ(run.code, 0);
    const QString dynamic = QString::fromUtf8(run.out);
    EXPECT_TRUE(dynamic.contains(QStringLiteral("libQt6Core.so"))) << dynamic.toStdString();
    const QRegularExpression qtLibs(QStringLiteral(R"(\[(libQt6\w+)\.so)"));
    for (const QRegularExpressionMatch& m : qtLibs.globalMatch(dynamic))
        EXPECT_EQ(m.captured(1), QStringLiteral("libQt6Core")) << "links " << m.captured(1).toStdString();
}

// The real program on the simulated rig, moved by real time: its first answer within a second.
TEST(CtlProgram, DemoInfoAndRead)
{
    TProcessRun run = RunProgram(QStringLiteral(BREVONCTL_PATH),
                                 { QStringLiteral("--demo"), QStringLiteral("info") });
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, QByteArray("KorvelConnect V-1.71\nOrbel V-1.04\n"));

    run = RunProgram(QStringLiteral(BREVONCTL_PATH),
                     { QStringLiteral("--demo"), QStringLiteral("--json"), QStringLiteral("read") });
    EXPECT_EQ(run.code, 0);
    EXPECT_TRUE(run.out.contains("\"bytes\"")) << run.out.toStdString();
}
