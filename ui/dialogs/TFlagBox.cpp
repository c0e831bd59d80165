#include "ui/dialogs/TFlagBox.h"

#include "protocol/CtrlSetEncoding.h"
#include "protocol/TCtrlSetItem.h"

namespace {

constexpr int kHeight = 17;

const TCtrlSetItem& FlagItem(const char* name)
{
    const TCtrlSetItem* item = TCtrlSetItem::Find(name);
    if (!item || item->kind != TCtrlSetItem::ikFlag)
        qFatal("No flag of the control set is named %s", name);
    return *item;
}

} // namespace

TFlagBox::TFlagBox(const TFlagBoxDef& def, QWidget* parent)
    : QCheckBox(QString::fromUtf8(FlagItem(def.name).caption), parent)
    , FMask(FlagItem(def.name).mask)
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
