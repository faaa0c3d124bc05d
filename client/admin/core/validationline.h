#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The command words of the validation server's lines, both directions.
enum class ValidationCommand {
    AliveVMS,
    LoginFail,
    Disconnect,
    Notice,
    AddAccount,
    ModifyAccount,
    DeleteAccount,
    AddDvr,
    ModifyDvr,
    DeleteDvr,
    MoveAccount,
    MoveDvr,
    ConnectDvr,
    DisconnectDvr,
    HealthCheck,
    Message,
    Event,
    Email,
    Unknown,
};

// One line of the validation protocol: UTF-8 text, fields each ended by ';', the line by "\n".
// Parsing reads received lines; the builders make every line the console sends. Fields travel
// raw, so a builder refuses (returns an empty line) a field holding ';' or a line break; free
// text is cleaned instead.
class ValidationLine
{
public:
    static constexpr int kMaxFields = 99;

    // A received line (without its "\n"); none when it holds more than 99 fields.
    static std::optional<ValidationLine> Parse(const QByteArray& bytes);

    QString CommandWord() const { return m_command; }
    ValidationCommand Command() const;
    int FieldCount() const { return m_fields.size(); }
    // "" for a field the line does not have.
    QString Field(int number) const;
    // The field as a decimal number; 0 for anything else.
    int IntField(int number) const;

    static ValidationCommand CommandOf(const QString& word);
    static QString WordOf(ValidationCommand command);

    // True when the text can travel as one raw field.
    static bool IsSafeField(const QString& text);
    // Free text made safe: ';' becomes ',' and line breaks become blanks.
    static QString CleanFreeText(QString text);

    static QByteArray AddAccount(int root, int id, const QString& userId, const QString& password);
    static QByteArray AddDvr(int root, int id, int parentId);
    static QByteArray DeleteAccount(int root, int id);
    static QByteArray DeleteDvr(int root, int id);
    static QByteArray ModifyAccount(int root, int id, const QString& userId, const QString& password);
    static QByteArray ModifyDvr(int root, int id, int parentId);
    static QByteArray MoveAccount(int root, const QString& moved, const QString& newParent, const QString& userId,
                                  const QString& password);
    static QByteArray MoveDvr(int root, const QString& moved, const QString& newParent);
    static QByteArray MessageReceipt(int root);
    static QByteArray Event(int root, const QString& text);
    static QByteArray Email(int accountId);
    // Keep-alive: announce 1 on the 5-second tick, 0 when a connection comes up.
    static QByteArray Alive(int root, bool announce);

private:
    static QByteArray Build(ValidationCommand command, const QStringList& fields);

    QString m_command;
    QStringList m_fields;
};
