#include "ui/datalog/TLogViewerForm.h"

#include "datalog/TDatalogColumns.h"
#include "datalog/TDatalogReader.h"
#include "settings/TComponentTranslator.h"
#include "ui/datalog/TLogPlot.h"

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "settings/Gettext.h"

namespace {

// Rows read between two looks at the clock, and how long one slice of the loading runs before
// the event loop has its turn.
constexpr std::size_t kRowsPerStep = 8192;
constexpr qint64 kSliceMs = 40;
constexpr int kProgressSteps = 1000;
constexpr int kPanelWidth = 250;
constexpr std::string_view kControlSetComment = "control set ";
constexpr int kShownHashDigits = 12;

QString TimeText(int64_t ms)
{
    const int64_t s = ms / 1000;
    return QString::asprintf("%lld:%02lld:%02lld.%03lld", static_cast<long long>(s / 3600),
                             static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60),
                             static_cast<long long>(ms % 1000));
}

QIcon Swatch(const QColor& color)
{
    QPixmap pixmap(12, 12);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(QColor(60, 60, 60));
    painter.drawRect(0, 0, 11, 11);
    return QIcon(pixmap);
}

// "control set file=car.mem sha256=<64 hex>" as the list shows it: the file's name (or that
// there was none) and the start of the hash.
QString ControlSetName(std::string_view comment)
{
    comment.remove_prefix(kControlSetComment.size());
    const std::size_t hashAt = comment.rfind(" sha256=");
    std::string_view file = comment.substr(0, hashAt);
    if (file.substr(0, 5) == "file=")
        file.remove_prefix(5);
    const std::string_view hash =
        hashAt == std::string_view::npos ? std::string_view() : comment.substr(hashAt + 8);
    QString name = file.empty() ? _("no file") : QString::fromUtf8(file.data(), qsizetype(file.size()));
    if (!hash.empty())
        name += QStringLiteral(" (%1)").arg(
            QString::fromLatin1(hash.substr(0, kShownHashDigits).data(),
                                qsizetype(std::min<std::size_t>(hash.size(), kShownHashDigits))));
    return name;
}

} // namespace

TLogViewerForm::TLogViewerForm(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("LogViewerForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral(N_("Log viewer")));
    BuildWindow();
    FSlices.setInterval(0);
    connect(&FSlices, &QTimer::timeout, this, &TLogViewerForm::LoadSlice);
    ChooseExportFile = [this] {
        const QFileInfo log(FPath);
        return QFileDialog::getSaveFileName(
            this, _("Export the view"), log.dir().filePath(log.completeBaseName() + QStringLiteral(".png")),
            _("PNG image (*.png);;PDF document (*.pdf)"));
    };
    ShowError = [this](const QString& message) {
        QMessageBox::critical(this, windowTitle(), message);
    };
    TranslateComponent(this);
}

TLogViewerForm::~TLogViewerForm() = default;

void TLogViewerForm::BuildWindow()
{
    resize(1120, 720);
    auto* root = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    FShowAll = new QPushButton(QStringLiteral(N_("Show all")), this);
    FShowAll->setObjectName(QStringLiteral("BShowAll"));
    connect(FShowAll, &QPushButton::clicked, this, &TLogViewerForm::BShowAllClick);
    FExport = new QPushButton(QStringLiteral(N_("Export...")), this);
    FExport->setObjectName(QStringLiteral("BExport"));
    connect(FExport, &QPushButton::clicked, this, &TLogViewerForm::BExportClick);
    FProgress = new QProgressBar(this);
    FProgress->setObjectName(QStringLiteral("LoadProgress"));
    FProgress->setRange(0, kProgressSteps);
    FProgress->setFixedWidth(240);
    FProgress->hide();
    auto* hint = new QLabel(
        QStringLiteral(N_("Drag to pan. The wheel zooms the axis under it. A click places the "
                          "cursor; the arrow keys move it.")),
        this);
    hint->setObjectName(QStringLiteral("LHint"));
    top->addWidget(FShowAll);
    top->addWidget(FExport);
    top->addSpacing(12);
    top->addWidget(hint, 1);
    top->addWidget(FProgress);
    root->addLayout(top);

    auto* middle = new QHBoxLayout;
    FPlot = new TLogPlot(this);
    middle->addWidget(FPlot, 1);
    connect(FPlot, &TLogPlot::cursorMoved, this, &TLogViewerForm::ShowCursor);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("ChannelPanel"));
    panel->setFixedWidth(kPanelWidth);
    auto* side = new QVBoxLayout(panel);
    side->setContentsMargins(0, 0, 0, 0);
    FCursorLabel = new QLabel(panel);
    FCursorLabel->setObjectName(QStringLiteral("LCursor"));
    QFont bold = FCursorLabel->font();
    bold.setBold(true);
    FCursorLabel->setFont(bold);
    TP_Ignore(FCursorLabel);
    side->addWidget(FCursorLabel);
    auto* grid = new QGridLayout;
    grid->setColumnStretch(0, 1);
    for (const TDatalogChannel& ch : TDatalogChannel::All()) {
        TChannelRow& row = FChannels[ch.id];
        row.box = new QCheckBox(QString::fromUtf8(ch.caption), panel);
        row.box->setObjectName(QStringLiteral("Channel%1").arg(int(ch.id)));
        row.box->setIcon(Swatch(TLogPlot::ColorOf(ch.id)));
        row.box->setChecked(true);
        connect(row.box, &QCheckBox::toggled, this,
                [this, id = ch.id](bool on) { FPlot->SetChannelShown(id, on); });
        row.value = new QLabel(panel);
        row.value->setObjectName(QStringLiteral("Value%1").arg(int(ch.id)));
        row.value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        TP_Ignore(row.value);
        grid->addWidget(row.box, int(ch.id), 0);
        grid->addWidget(row.value, int(ch.id), 1);
    }
    side->addLayout(grid);
    side->addSpacing(8);
    auto* controlSetTitle = new QLabel(QStringLiteral(N_("Control set")), panel);
    controlSetTitle->setFont(bold);
    side->addWidget(controlSetTitle);
    FControlSetLabel = new QLabel(panel);
    FControlSetLabel->setObjectName(QStringLiteral("LControlSet"));
    FControlSetLabel->setWordWrap(true);
    TP_Ignore(FControlSetLabel);
    side->addWidget(FControlSetLabel);
    side->addStretch(1);
    middle->addWidget(panel);
    root->addLayout(middle, 1);

    FSummary = new QLabel(this);
    FSummary->setObjectName(QStringLiteral("LSummary"));
    FSummary->setWordWrap(true);
    TP_Ignore(FSummary);
    root->addWidget(FSummary);
}

bool TLogViewerForm::Open(const QString& path)
{
    auto reader = std::make_unique<TDatalogReader>();
    FPath = path;
    if (!reader->Open(path)) {
        FError = reader->ErrorText();
        return false;
    }
    FError.clear();
    setWindowTitle(QStringLiteral("%1 \u2013 %2").arg(QFileInfo(path).fileName(), _("Log viewer")));
    TP_Ignore(this);
    FReader = std::move(reader);
    FLoading = std::make_unique<TDatalogColumns>();
    FLog.reset();
    FPlot->SetLog(nullptr);
    FSummary->setText(_("Loading %1...").arg(QDir::toNativeSeparators(path)));
    FProgress->setValue(0);
    FProgress->show();
    FSlices.start();
    return true;
}

void TLogViewerForm::LoadSlice()
{
    if (!FReader)
        return;
    QElapsedTimer clock;
    clock.start();
    bool more = true;
    while (more && clock.elapsed() < kSliceMs)
        more = FLoading->ReadFrom(*FReader, kRowsPerStep);
    const qint64 size = std::max<qint64>(FReader->FileSize(), 1);
    FProgress->setValue(int(std::min<qint64>(FReader->Position() * kProgressSteps / size,
                                             kProgressSteps)));
    if (!more)
        Loaded();
}

void TLogViewerForm::FinishLoading()
{
    while (FReader) {
        FLoading->ReadFrom(*FReader, TDatalogColumns::kMaxRows);
        Loaded();
    }
}

void TLogViewerForm::Loaded()
{
    FSlices.stop();
    FLoading->Finish();
    FSkipped = FReader->SkippedRows();
    QStringList details;
    for (const TDatalogReader::TSkip& skip : FReader->FirstSkips())
        details << _("Line %1: %2")
                       .arg(skip.line)
                       .arg(TGettext::Translate(TDatalogFormat::ErrorText(skip.error)));
    if (FSkipped > int64_t(details.size()))
        details << QStringLiteral("...");
    FSkipDetails = details.join(u'\n');
    FControlSets.clear();
    for (const TDatalogReader::TComment& c : FReader->Comments())
        if (std::string_view(c.text).substr(0, kControlSetComment.size()) == kControlSetComment)
            FControlSets.push_back({ c.afterRow, ControlSetName(c.text) });
    if (FReader->ReadFailed())
        FError = FReader->ErrorText();
    FLog = std::move(FLoading);
    FReader.reset();
    FProgress->hide();
    FPlot->SetLog(FLog.get());
    ShowSummary();
    ShowCursor();
    emit loaded();
}

const TDatalogColumns* TLogViewerForm::Log() const
{
    return FLog.get();
}

QString TLogViewerForm::ReadOut(TId channel) const
{
    if (!FLog || FLog->Rows() == 0)
        return {};
    const std::size_t row = FLog->RowAt(FPlot->Cursor() * 1000);
    if (!FLog->Present(channel, row))
        return QStringLiteral("\u2013");
    const TDatalogChannel& ch = TDatalogChannel::Get(channel);
    const QString value = ch.ValueText(FLog->Raw(channel, row));
    return ch.unit ? value + u' ' + TGettext::Translate(ch.unit) : value;
}

QString TLogViewerForm::CursorText() const
{
    return FCursorLabel->text();
}

QString TLogViewerForm::ControlSetText() const
{
    return FControlSetLabel->text();
}

QString TLogViewerForm::SummaryText() const
{
    return FSummary->text();
}

void TLogViewerForm::ShowCursor()
{
    if (!FLog || FLog->Rows() == 0) {
        FCursorLabel->setText(_("Cursor"));
        for (const TChannelRow& row : FChannels)
            row.value->clear();
        FControlSetLabel->clear();
        return;
    }
    const std::size_t row = FLog->RowAt(FPlot->Cursor() * 1000);
    FCursorLabel->setText(_("Cursor at %1").arg(TimeText(FLog->TimeMs(row))));
    for (const TDatalogChannel& ch : TDatalogChannel::All())
        FChannels[ch.id].value->setText(ReadOut(ch.id));
    // The last control set named before the cursor's row.
    QString controlSet = _("not named in the log");
    for (const TControlSetMark& mark : FControlSets)
        if (mark.afterRow < int64_t(row))
            controlSet = mark.text;
    FControlSetLabel->setText(controlSet);
}

void TLogViewerForm::ShowSummary()
{
    const QLocale locale;
    QStringList parts;
    parts << _("%1 rows over %2")
                 .arg(locale.toString(qulonglong(FLog->Rows())), TimeText(FLog->DurationMs()));
    if (FSkipped > 0)
        parts << _("%1 rows could not be read and were skipped")
                     .arg(locale.toString(qlonglong(FSkipped)));
    if (FLog->Truncated())
        parts << _("the log goes on beyond what the viewer holds: only its beginning is shown");
    if (!FError.isEmpty())
        parts << FError;
    FSummary->setText(parts.join(QStringLiteral(" \u00b7 ")));
    FSummary->setToolTip(FSkipDetails);
}

void TLogViewerForm::BShowAllClick()
{
    FPlot->ShowAll();
}

bool TLogViewerForm::ExportTo(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QStringLiteral("pdf"))
        return FPlot->savePdf(path);
    return FPlot->savePng(suffix.isEmpty() ? path + QStringLiteral(".png") : path);
}

void TLogViewerForm::BExportClick()
{
    const QString path = ChooseExportFile();
    if (path.isEmpty())
        return;
    if (!ExportTo(path))
        ShowError(_("Cannot write file %1.").arg(QDir::toNativeSeparators(path)));
}
