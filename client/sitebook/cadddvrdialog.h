#pragma once
// Edits one recorder entry: name, address, port, user, password, stream quality, TLS flag and,
// for the central server's user tree, the per-channel rights. The caller runs it modally and
// reads the public fields after exec() returned 1; the dialog writes no file, and the only
// record it changes is the one handed to setSiteBook when that entry is locked.
//
// A name that begins with "@" marks a locked entry: its fields are shown read-only, and the
// name handed back carries the "@" again.
#include <QString>

#include <functional>

#include "widgets/cpopupdialog.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QPushButton;
class SiteBook;

class CAddDvrDialog : public CPopupDialog
{
    Q_OBJECT

public:
    explicit CAddDvrDialog(QWidget* parent = nullptr);

    // Fills the dialog from a record. A locked record ("@" first) loses its "@" here.
    void setSiteBook(SiteBook* record);
    // Shows the Permission button; with false the entry is shown read-only.
    void setEditable(bool flag);
    // Names already in the book: OK refuses one of them (other than the entry's own name), as
    // favorites find their recorders by name.
    void SetNameTaken(std::function<bool(const QString&)> taken) { m_nameTaken = std::move(taken); }

    QString name;
    QString addr;
    QString port;
    QString id;
    QString password;
    int quality = 1; // 1 "Normal", 2 "Low"
    int use_ssl = 0;
    QString originalName; // the name as loaded, without "@"; empty for a new entry
    // Note the order: live, search, PTZ, backup (the record keeps backup before PTZ).
    int permissionLive = 65535;
    int permissionSearch = 65535;
    int permissionPtz = 65535;
    int permissionBackup = 65535;
    int permissionConfig = 1;
    quint8 locked = 0;
    quint8 editableSet = 0;

public slots:
    void onShowPermission();
    void onOKButtonClicked();
    void onCancelButtonClicked();

private:
    void SetFieldsReadOnly(bool readOnly);
    // Tells why OK was refused and puts the cursor back into the field to mend.
    void Refuse(const QString& text, QLineEdit* field);
    std::function<bool(const QString&)> m_nameTaken;
    void SetSslLocked(bool lockedBox);

    QLineEdit* m_pName = nullptr;
    QLineEdit* m_pAddr = nullptr;
    QLineEdit* m_pPort = nullptr;
    QLineEdit* m_pId = nullptr;
    QLineEdit* m_pPassword = nullptr;
    QCheckBox* m_pSsl = nullptr;
    QComboBox* m_pQuality = nullptr;
    QPushButton* m_pPermission = nullptr;
    QFrame* m_pPermissionLine = nullptr;
    QPushButton* m_pOk = nullptr;
    QPushButton* m_pCancel = nullptr;
};
