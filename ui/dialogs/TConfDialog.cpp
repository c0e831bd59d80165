#include "ui/dialogs/TConfDialog.h"

#include "protocol/TControlSet.h"
#include "ui/dialogs/TFlagBox.h"
#include "ui/dialogs/TMainDisplays.h"
#include "ui/dialogs/TSliderRow.h"
#include "ui/widgets/TGroupBox.h"
#include "ui/widgets/TSlider.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

#include "settings/Gettext.h"

TConfDialog::TConfDialog(const char* caption, QSize clientSize, QPoint okPlace,
                         TControlSet& controlSet, TMainDisplays& displays, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , FControlSet(controlSet)
    , FDisplays(displays)
{
    setWindowTitle(QString::fromUtf8(caption));
    setFixedSize(clientSize);

    FBAceptar = new QPushButton(QStringLiteral(N_("Ok")), this);
    FBAceptar->setObjectName(QStringLiteral("BAceptar"));
    FBAceptar->setGeometry(okPlace.x(), okPlace.y(), 75, 25);
    FBAceptar->setDefault(true);
    connect(FBAceptar, &QPushButton::clicked, this, &TConfDialog::BAceptarClick);
}

TConfDialog::~TConfDialog() = default;

QGroupBox* TConfDialog::AddGroupBox(const char* title, const QRect& place)
{
    auto* group = new TGroupBox(QString::fromUtf8(title), this);
    // Its children set their own weight: rows and boxes bold, the sliders' scales not.
    QFont bold;
    bold.setBold(true);
    group->setFont(bold);
    group->setGeometry(place);
    return group;
}

void TConfDialog::AddRows(QWidget* parent, std::span<const TSliderRowDef> defs,
                          const TRowPlace& place)
{
    for (const TSliderRowDef& def : defs) {
        FRows.push_back(std::make_unique<TSliderRow>(parent, def, place));
        const TDialogHandler handler = def.handler;
        connect(FRows.back()->Slider(), &TSlider::positionChanged, this,
                [this, handler] { (this->*handler)(); });
    }
}

TFlagBox* TConfDialog::AddFlagBox(QWidget* parent, const TFlagBoxDef& def)
{
    auto* box = new TFlagBox(def, parent);
    FFlagBoxes.push_back(box);
    const TDialogHandler handler = def.handler;
    connect(box, &QCheckBox::toggled, this, [this, handler] { (this->*handler)(); });
    return box;
}

void TConfDialog::FormCreate(std::span<const char* const> creationOrder,
                             std::span<const char* const> refreshOrder)
{
    FRefreshOrder = refreshOrder;
    LoadControls(creationOrder);
}

void TConfDialog::RefreshControls()
{
    LoadControls(FRefreshOrder);
}

TSliderRow* TConfDialog::Row(const QString& name) const
{
    for (const auto& row : FRows)
        if (row->Slider()->objectName() == name)
            return row.get();
    return nullptr;
}

TFlagBox* TConfDialog::FlagBox(const QString& name) const
{
    for (TFlagBox* box : FFlagBoxes)
        if (box->objectName() == name)
            return box;
    return nullptr;
}

void TConfDialog::SetControlsEnabled(std::span<const char* const> names, bool enabled)
{
    ForEachControl(
        names, [enabled](TSliderRow& row) { row.SetEnabled(enabled); },
        [enabled](TFlagBox& box) { box.setEnabled(enabled); });
}

const CtrlSet& TConfDialog::Working() const
{
    return FControlSet.Working();
}

bool TConfDialog::EditsAllowed() const
{
    return FDisplays.EditsEnabled();
}

void TConfDialog::BAceptarClick()
{
    accept();
}

void TConfDialog::SliderPositionChange(const char* slider, const std::function<void()>& rule,
                                       const std::function<void()>& displays)
{
    if (!EditsAllowed())
        return;
    TSliderRow* row = Row(QLatin1String(slider));
    Q_ASSERT_X(row, "TConfDialog", slider);
    if (rule)
        rule();
    row->Store(FControlSet.Working());
    row->ShowText(FControlSet.Working());
    if (displays)
        displays();
    FControlSet.CommitWorkingCopy();
}

void TConfDialog::FlagBoxClick(const char* name)
{
    if (!EditsAllowed())
        return;
    TFlagBox* box = FlagBox(QLatin1String(name));
    Q_ASSERT_X(box, "TConfDialog", name);
    box->Store(FControlSet.Working());
    FControlSet.CommitWorkingCopy();
}

void TConfDialog::LoadControls(std::span<const char* const> names)
{
    const bool guard = FDisplays.EditsEnabled();
    if (guard)
        FDisplays.SetEditsEnabled(false);
    const CtrlSet& set = FControlSet.Working();
    ForEachControl(
        names, [&set](TSliderRow& row) { row.Load(set); },
        [&set](TFlagBox& box) { box.Load(set); });
    if (guard)
        FDisplays.SetEditsEnabled(true);
}

void TConfDialog::ForEachControl(std::span<const char* const> names,
                                 const std::function<void(TSliderRow&)>& onRow,
                                 const std::function<void(TFlagBox&)>& onBox) const
{
    for (const char* name : names) {
        const QString n = QString::fromLatin1(name);
        if (TSliderRow* row = Row(n))
            onRow(*row);
        else if (TFlagBox* box = FlagBox(n))
            onBox(*box);
        else
            Q_ASSERT_X(false, "TConfDialog", name);
    }
}

void TConfDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        CenterOnScreen();
    FormActivate();
}

void TConfDialog::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TConfDialog::keyPressEvent(QKeyEvent* event)
{
    // "Ok" is also the cancel button: Esc presses it, and closing keeps every edit.
    if (event->matches(QKeySequence::Cancel)) {
        FBAceptar->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TConfDialog::done(int result)
{
    QDialog::done(result);
    FormClose();
}

void TConfDialog::CenterOnScreen()
{
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(s->availableGeometry().center());
    move(frame.topLeft());
}
