#include "ui/skintooltip.h"

#include <QProxyStyle>
#include <QWidget>

namespace {

class TooltipDelayStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay)
            return SkinTooltip::kWakeUpDelayMs;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

void SkinTooltip::Apply(QWidget* panel, std::initializer_list<QWidget*> tools)
{
    const QColor back = Background();
    const QColor text = Text();
    panel->setStyleSheet(QStringLiteral("QToolTip { background-color: rgb(%1, %2, %3); color: rgb(%4, %5, %6); }")
                             .arg(back.red())
                             .arg(back.green())
                             .arg(back.blue())
                             .arg(text.red())
                             .arg(text.green())
                             .arg(text.blue()));
    SetDelay(panel, tools);
}

void SkinTooltip::SetDelay(QWidget* owner, std::initializer_list<QWidget*> tools)
{
    const QString name = QStringLiteral("skinTooltipDelay");
    auto* style = owner->findChild<QStyle*>(name, Qt::FindDirectChildrenOnly);
    if (!style) {
        style = new TooltipDelayStyle;
        style->setObjectName(name);
        style->setParent(owner);
    }
    for (QWidget* tool : tools)
        tool->setStyle(style);
}
