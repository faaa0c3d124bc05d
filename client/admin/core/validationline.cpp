#include "core/validationline.h"

#include <array>
#include <utility>

namespace {
// clang-format off
const std::array<std::pair<ValidationCommand, const char*>, 18> kWords = {{
    {ValidationCommand::AliveVMS, "aliveVMS"},
    {ValidationCommand::LoginFail, "loginfail"},
    {ValidationCommand::Disconnect, "disconnect"},
    {ValidationCommand::Notice, "notice"},
    {ValidationCommand::AddAccount, "addaccount"},
    {ValidationCommand::ModifyAccount, "modifyaccount"},
    {ValidationCommand::DeleteAccount, "deleteaccount"},
    {ValidationCommand::AddDvr, "adddvr"},
    {ValidationCommand::ModifyDvr, "modifydvr"},
    {ValidationCommand::DeleteDvr, "deletedvr"},
    {ValidationCommand::MoveAccount, "moveaccount"},
    {ValidationCommand::MoveDvr, "movedvr"},
    {ValidationCommand::ConnectDvr, "connectdvr"},
    {ValidationCommand::DisconnectDvr, "disconnectdvr"},
    {ValidationCommand::HealthCheck, "healthcheck"},
    {ValidationCommand::Message, "message"},
    {ValidationCommand::Event, "event"},
    {ValidationCommand::Email, "email"},
}};
// clang-format on

// The tail after the last field of a sent line; keep-alive lines have their own.
constexpr char kTail[] = ";;;;;;;;\n";

QString Number(int value)
{
    return QString::number(value);
}
} // namespace

std::optional<ValidationLine> ValidationLine::Parse(const QByteArray& bytes)
{
    const QStringList parts = QString::fromUtf8(bytes).trimmed().split(QLatin1Char(';'));
    if (parts.size() - 1 > kMaxFields)
        return std::nullopt;
    ValidationLine line;
    line.m_command = parts.first();
    line.m_fields = parts.mid(1);
    return line;
}

ValidationCommand ValidationLine::Command() const
{
    return CommandOf(m_command);
}

QString ValidationLine::Field(int number) const
{
    return number >= 0 && number < m_fields.size() ? m_fields[number] : QString();
}

int ValidationLine::IntField(int number) const
{
    bool ok = false;
    const int value = Field(number).toInt(&ok, 10);
    return ok ? value : 0;
}

ValidationCommand ValidationLine::CommandOf(const QString& word)
{
    for (const auto& entry : kWords)
        if (word == QLatin1String(entry.second))
            return entry.first;
    return ValidationCommand::Unknown;
}

QString ValidationLine::WordOf(ValidationCommand command)
{
    for (const auto& entry : kWords)
        if (entry.first == command)
            return QLatin1String(entry.second);
    return QString();
}

bool ValidationLine::IsSafeField(const QString& text)
{
    for (const QChar c : text)
        if (c == QLatin1Char(';') || c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator)
            return false;
    return true;
}

QString ValidationLine::CleanFreeText(QString text)
{
    for (QChar& c : text) {
        if (c == QLatin1Char(';'))
            c = QLatin1Char(',');
        else if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator
                 || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    return text;
}

QByteArray ValidationLine::Build(ValidationCommand command, const QStringList& fields)
{
    QString line = WordOf(command) + QLatin1Char(';');
    for (const QString& field : fields) {
        if (!IsSafeField(field))
            return QByteArray();
        line += field + QLatin1Char(';');
    }
    return line.toUtf8() + kTail;
}

QByteArray ValidationLine::AddAccount(int root, int id, const QString& userId, const QString& password)
{
    return Build(ValidationCommand::AddAccount, {Number(root), Number(id), userId, password});
}

QByteArray ValidationLine::AddDvr(int root, int id, int parentId)
{
    return Build(ValidationCommand::AddDvr, {Number(root), Number(id), Number(parentId)});
}

QByteArray ValidationLine::DeleteAccount(int root, int id)
{
    return Build(ValidationCommand::DeleteAccount, {Number(root), Number(id)});
}

QByteArray ValidationLine::DeleteDvr(int root, int id)
{
    return Build(ValidationCommand::DeleteDvr, {Number(root), Number(id)});
}

QByteArray ValidationLine::ModifyAccount(int root, int id, const QString& userId, const QString& password)
{
    return Build(ValidationCommand::ModifyAccount, {Number(root), Number(id), userId, password});
}

QByteArray ValidationLine::ModifyDvr(int root, int id, int parentId)
{
    return Build(ValidationCommand::ModifyDvr, {Number(root), Number(id), Number(parentId)});
}

QByteArray ValidationLine::MoveAccount(int root, const QString& moved, const QString& newParent,
                                       const QString& userId, const QString& password)
{
    return Build(ValidationCommand::MoveAccount, {Number(root), moved, newParent, userId, password});
}

QByteArray ValidationLine::MoveDvr(int root, const QString& moved, const QString& newParent)
{
    return Build(ValidationCommand::MoveDvr, {Number(root), moved, newParent});
}

QByteArray ValidationLine::MessageReceipt(int root)
{
    return Build(ValidationCommand::Message, {Number(root), QStringLiteral("0"), QStringLiteral("checked")});
}

QByteArray ValidationLine::Event(int root, const QString& text)
{
    return Build(ValidationCommand::Event, {Number(root), CleanFreeText(text)});
}

QByteArray ValidationLine::Email(int accountId)
{
    return Build(ValidationCommand::Email, {Number(accountId), QString(), QString()});
}

QByteArray ValidationLine::Alive(int root, bool announce)
{
    return (WordOf(ValidationCommand::AliveVMS) + QLatin1Char(';') + Number(root)
            + (announce ? QLatin1String(";1;;;;;\n") : QLatin1String(";0;;;;;\n")))
        .toUtf8();
}
