#include "ui/dialogs/TFlagBox.h"

#include "protocol/CtrlSetEncoding.h"

namespace {

constexpr int kHeight = 17;

} // namespace

TFlagBox::TFlagBox(const TFlagBoxDef& def, QWidget* parent)
    : QCheckBox(QString::fromUtf8(def.caption), parent)
    , FMask(def.mask)
{
    setObjectName(QString::fromLatin1(def.name));
    QFont bold;
    bold.setBold(true);
    setFont(bold);
    setGeometry(def.left, def.top, def.width, kHeight);
}

void TFlagBox::Load(const CtrlSet& set)
{
    setChecked(HasFlag(set.Flags, FMask));
}

void TFlagBox::Store(CtrlSet& set) const
{
    set.Flags = WithFlag(set.Flags, FMask, isChecked());
}
