#include "validation/validationaddqueue.h"

namespace {
// A long list of failed names is cut here in the report.
constexpr int kNamesShown = 10;
} // namespace

void ValidationAddQueue::Push(Step step)
{
    m_active = true;
    m_steps.push_back(std::move(step));
}

ValidationAddQueue::Step ValidationAddQueue::Take()
{
    Step step = std::move(m_steps.front());
    m_steps.pop_front();
    return step;
}

void ValidationAddQueue::Failed(const QString& name)
{
    m_failed.append(name);
}

void ValidationAddQueue::Refused(int row, const QString& reason)
{
    m_active = true;
    m_refused.append(QStringLiteral("Row %1: %2").arg(row).arg(reason));
}

void ValidationAddQueue::Abort()
{
    for (const Step& step : m_steps)
        if (step.kind == Step::Kind::Dvr)
            ++m_notSent;
    m_steps.clear();
}

QString ValidationAddQueue::Report() const
{
    if (m_failed.isEmpty() && m_notSent == 0 && m_refused.isEmpty())
        return QString();
    QStringList lines{QStringLiteral("DVR registration error")};
    if (!m_failed.isEmpty()) {
        QStringList shown = m_failed.mid(0, kNamesShown);
        if (m_failed.size() > kNamesShown)
            shown.append(QStringLiteral("..."));
        lines.append(QStringLiteral("Not added: %1").arg(shown.join(QStringLiteral(", "))));
    }
    if (m_notSent > 0)
        lines.append(QStringLiteral("The central server did not answer; %1 more not sent.").arg(m_notSent));
    lines.append(m_refused);
    return lines.join(QLatin1Char('\n'));
}

void ValidationAddQueue::Finish()
{
    m_steps.clear();
    m_active = false;
    m_added = 0;
    m_notSent = 0;
    m_failed.clear();
    m_refused.clear();
}
