// The recorder and folder entry dialogs, driven as an operator would: texts typed into the
// edits and the buttons clicked.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "sitebook/cadddvrdialog.h"
#include "sitebook/caddfolderdialog.h"
#include "sitebook/support/sitebook_treefixture.h"

namespace {

template <class T>
T* Child(QWidget* dialog, const char* name)
{
    T* w = dialog->findChild<T*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

void Type(QWidget* dialog, const char* edit, const QString& text)
{
    QLineEdit* e = Child<QLineEdit>(dialog, edit);
    e->clear();
    QTest::keyClicks(e, text);
}

void Click(QWidget* dialog, const char* button)
{
    QTest::mouseClick(Child<QPushButton>(dialog, button), Qt::LeftButton);
}

SiteBook FullRecord()
{
    SiteBook r;
    r.kind = QStringLiteral("device");
    r.name = QStringLiteral("gate");
    r.addr = QStringLiteral("10.0.0.9");
    r.port = QStringLiteral("9010");
    r.id = QStringLiteral("admin");
    r.password = QStringLiteral("secret");
    r.quality = 2;
    r.use_ssl = 1;
    r.permissionLive = 1;
    r.permissionSearch = 2;
    r.permissionBackup = 4;
    r.permissionPtz = 8;
    r.permissionConfig = false;
    return r;
}

using EntryDialogTest = SiteBookTreeTest;

// ---------------------------------------------------------------------------------------------
// Folder dialog

TEST_F(EntryDialogTest, FolderDialogRefusesAnEmptyNameWithTheTextOfItsMode)
{
    const struct
    {
        void (*setUp)(CAddFolderDialog*);
        const char* title;
        const char* label;
        const char* refusal;
    } cases[] = {
        {[](CAddFolderDialog*) {}, "SiteBook", "Folder Name", "SiteBook|Input folder name"},
        {[](CAddFolderDialog* d) { d->setEmapMode(); }, "eMap", "Name", "eMap|Input eMap name"},
        {[](CAddFolderDialog* d) { d->setFavoritesMode(); }, "Favorites", "Name",
         "Favorites|Input Favorites name"},
    };
    for (const auto& c : cases) {
        MessageBoxCatcher boxes;
        CAddFolderDialog dialog;
        c.setUp(&dialog);
        dialog.show();
        EXPECT_EQ(dialog.windowTitle(), QLatin1String(c.title));
        EXPECT_EQ(Child<QLabel>(&dialog, "label")->text(), QLatin1String(c.label));
        QSignalSpy finished(&dialog, &QDialog::finished);

        Click(&dialog, "okButton");
        EXPECT_EQ(boxes.Seen(), QStringList({QLatin1String(c.refusal)})) << c.title;
        EXPECT_EQ(finished.count(), 0) << c.title;
        EXPECT_TRUE(dialog.isVisible()) << c.title;

        Type(&dialog, "edit", QStringLiteral("North wing"));
        Click(&dialog, "okButton");
        ASSERT_EQ(finished.count(), 1) << c.title;
        EXPECT_EQ(finished.at(0).at(0).toInt(), 1);
        EXPECT_EQ(dialog.name, QStringLiteral("North wing"));
        EXPECT_EQ(boxes.Seen().size(), 1) << c.title;
    }
}

TEST_F(EntryDialogTest, FolderDialogCancelKeepsTheTypedText)
{
    CAddFolderDialog dialog;
    dialog.show();
    Type(&dialog, "edit", QStringLiteral("half typed"));
    QSignalSpy finished(&dialog, &QDialog::finished);
    Click(&dialog, "cancelButton");
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_EQ(dialog.name, QStringLiteral("half typed"));
}

TEST_F(EntryDialogTest, FolderDialogSetTextPresetsTheNameAndTheLabel)
{
    CAddFolderDialog dialog;
    dialog.setText(QStringLiteral("CAM 3"), 1);
    EXPECT_EQ(Child<QLabel>(&dialog, "label")->text(), QStringLiteral("Camera Name"));
    EXPECT_EQ(Child<QLineEdit>(&dialog, "edit")->text(), QStringLiteral("CAM 3"));
    dialog.setText(QStringLiteral("site"), 0);
    EXPECT_EQ(Child<QLabel>(&dialog, "label")->text(), QStringLiteral("Folder Name"));
    dialog.show();
    Click(&dialog, "okButton");
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_EQ(dialog.name, QStringLiteral("site"));
}

// ---------------------------------------------------------------------------------------------
// Recorder dialog

TEST_F(EntryDialogTest, RecorderDialogShowsTheRecordAndHandsBackTheEditsOnOk)
{
    SiteBook record = FullRecord();
    const SiteBook before = record;
    CAddDvrDialog dialog;
    dialog.setSiteBook(&record);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("SiteBook"));
    EXPECT_EQ(Child<QLineEdit>(&dialog, "nameEdit")->text(), QStringLiteral("gate"));
    EXPECT_EQ(Child<QLineEdit>(&dialog, "addrEdit")->text(), QStringLiteral("10.0.0.9"));
    EXPECT_EQ(Child<QLineEdit>(&dialog, "portEdit")->text(), QStringLiteral("9010"));
    EXPECT_EQ(Child<QLineEdit>(&dialog, "idEdit")->text(), QStringLiteral("admin"));
    EXPECT_EQ(Child<QLineEdit>(&dialog, "passwordEdit")->text(), QStringLiteral("secret"));
    EXPECT_EQ(Child<QLineEdit>(&dialog, "passwordEdit")->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(Child<QCheckBox>(&dialog, "sslCheck")->isChecked());
    EXPECT_EQ(Child<QComboBox>(&dialog, "qualityCombo")->currentText(), QStringLiteral("Low"));
    EXPECT_FALSE(Child<QPushButton>(&dialog, "permissionButton")->isVisible());
    EXPECT_EQ(dialog.originalName, QStringLiteral("gate"));
    EXPECT_EQ(dialog.locked, 0);
    // The masks are taken by name: the dialog keeps PTZ before backup.
    EXPECT_EQ(dialog.permissionLive, 1);
    EXPECT_EQ(dialog.permissionSearch, 2);
    EXPECT_EQ(dialog.permissionBackup, 4);
    EXPECT_EQ(dialog.permissionPtz, 8);
    EXPECT_EQ(dialog.permissionConfig, 0);

    Type(&dialog, "nameEdit", QStringLiteral("gate 2"));
    Type(&dialog, "addrEdit", QStringLiteral("cam.example"));
    Type(&dialog, "portEdit", QStringLiteral("9000"));
    Type(&dialog, "idEdit", QStringLiteral("op"));
    Type(&dialog, "passwordEdit", QStringLiteral("pw"));
    QTest::mouseClick(Child<QCheckBox>(&dialog, "sslCheck"), Qt::LeftButton);
    Child<QComboBox>(&dialog, "qualityCombo")->setCurrentIndex(0);
    // Nothing is handed back before OK.
    EXPECT_TRUE(dialog.name.isEmpty());
    EXPECT_TRUE(dialog.addr.isEmpty());

    Click(&dialog, "okButton");
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_EQ(dialog.name, QStringLiteral("gate 2"));
    EXPECT_EQ(dialog.addr, QStringLiteral("cam.example"));
    EXPECT_EQ(dialog.port, QStringLiteral("9000"));
    EXPECT_EQ(dialog.id, QStringLiteral("op"));
    EXPECT_EQ(dialog.password, QStringLiteral("pw"));
    EXPECT_EQ(dialog.use_ssl, 0);
    EXPECT_EQ(dialog.quality, 1);
    // The dialog leaves the record of an unlocked entry alone.
    EXPECT_EQ(record.name, before.name);
    EXPECT_EQ(record.addr, before.addr);
    EXPECT_EQ(record.quality, before.quality);
}

TEST_F(EntryDialogTest, RecorderDialogNamesTheFirstEmptyFieldAndStaysOpen)
{
    const struct
    {
        const char* edit;
        const char* refusal;
    } cases[] = {
        {"nameEdit", "SiteBook|Input dvr name"},          {"addrEdit", "SiteBook|Input dvr Address"},
        {"portEdit", "SiteBook|Input dvr port"},          {"idEdit", "SiteBook|Input user id"},
        {"passwordEdit", "SiteBook|Input user password"},
    };
    for (const auto& c : cases) {
        MessageBoxCatcher boxes;
        SiteBook record = FullRecord();
        CAddDvrDialog dialog;
        dialog.setSiteBook(&record);
        dialog.show();
        QSignalSpy finished(&dialog, &QDialog::finished);
        Child<QLineEdit>(&dialog, c.edit)->clear();
        Click(&dialog, "okButton");
        EXPECT_EQ(boxes.Seen(), QStringList({QLatin1String(c.refusal)})) << c.edit;
        EXPECT_EQ(finished.count(), 0) << c.edit;
        EXPECT_TRUE(dialog.isVisible()) << c.edit;
    }

    // Everything empty: the name is named first.
    MessageBoxCatcher boxes;
    CAddDvrDialog dialog;
    dialog.show();
    Click(&dialog, "okButton");
    EXPECT_EQ(boxes.Seen(), QStringList({"SiteBook|Input dvr name"}));
}

TEST_F(EntryDialogTest, NewRecorderDialogStartsEmptyWithNormalQuality)
{
    CAddDvrDialog dialog;
    dialog.show();
    EXPECT_EQ(Child<QComboBox>(&dialog, "qualityCombo")->currentText(), QStringLiteral("Normal"));
    EXPECT_EQ(Child<QComboBox>(&dialog, "qualityCombo")->count(), 2);
    EXPECT_FALSE(Child<QCheckBox>(&dialog, "sslCheck")->isChecked());
    EXPECT_TRUE(dialog.originalName.isEmpty());
    EXPECT_EQ(dialog.permissionLive, 65535);
    EXPECT_EQ(dialog.permissionConfig, 1);
    Type(&dialog, "nameEdit", QStringLiteral("yard"));
    Type(&dialog, "addrEdit", QStringLiteral("10.1.1.1"));
    Type(&dialog, "portEdit", QStringLiteral("9010"));
    Type(&dialog, "idEdit", QStringLiteral("admin"));
    Type(&dialog, "passwordEdit", QStringLiteral("1234"));
    Click(&dialog, "okButton");
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_EQ(dialog.name, QStringLiteral("yard"));
    EXPECT_EQ(dialog.quality, 1);
    EXPECT_EQ(dialog.use_ssl, 0);
    EXPECT_EQ(dialog.locked, 0);
}

TEST_F(EntryDialogTest, LockedEntryIsShownReadOnlyAndKeepsItsMark)
{
    SiteBook record = FullRecord();
    record.name = QStringLiteral("@gate");
    CAddDvrDialog dialog;
    dialog.setSiteBook(&record);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    EXPECT_EQ(record.name, QStringLiteral("gate")); // the record handed in loses its mark
    EXPECT_EQ(dialog.locked, 1);
    EXPECT_EQ(dialog.originalName, QStringLiteral("gate"));
    EXPECT_EQ(Child<QLineEdit>(&dialog, "nameEdit")->text(), QStringLiteral("gate"));
    for (const char* edit : {"nameEdit", "addrEdit", "portEdit", "idEdit", "passwordEdit"})
        EXPECT_TRUE(Child<QLineEdit>(&dialog, edit)->isReadOnly()) << edit;

    // Typing changes nothing.
    QTest::keyClicks(Child<QLineEdit>(&dialog, "addrEdit"), QStringLiteral("x"));
    EXPECT_EQ(Child<QLineEdit>(&dialog, "addrEdit")->text(), QStringLiteral("10.0.0.9"));
    // A click on the check box through the window does not reach it.
    QCheckBox* ssl = Child<QCheckBox>(&dialog, "sslCheck");
    QTest::mouseClick(dialog.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      ssl->mapTo(&dialog, ssl->rect().center()));
    EXPECT_TRUE(ssl->isChecked());
    EXPECT_EQ(ssl->focusPolicy(), Qt::NoFocus);

    Click(&dialog, "okButton");
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_EQ(dialog.name, QStringLiteral("@gate"));
    EXPECT_EQ(dialog.use_ssl, 1);
}

TEST_F(EntryDialogTest, UnknownQualityShowsNormal)
{
    const struct
    {
        int stored;
        const char* shown;
        int handedBack;
    } cases[] = {{0, "Normal", 1}, {1, "Normal", 1}, {2, "Low", 2}, {3, "Normal", 1}};
    for (const auto& c : cases) {
        SiteBook record = FullRecord();
        record.quality = c.stored;
        CAddDvrDialog dialog;
        dialog.setSiteBook(&record);
        dialog.show();
        EXPECT_EQ(Child<QComboBox>(&dialog, "qualityCombo")->currentText(), QLatin1String(c.shown)) << c.stored;
        Click(&dialog, "okButton");
        EXPECT_EQ(dialog.quality, c.handedBack) << c.stored;
    }
}

// The port edit takes digits only; what it holds is checked at OK, so a number out of range is
// refused with a message instead of losing a digit silently while it is typed.
TEST_F(EntryDialogTest, PortIsOneTo65535AndRefusedWithAMessageOtherwise)
{
    {
        CAddDvrDialog dialog;
        dialog.show();
        QLineEdit* port = Child<QLineEdit>(&dialog, "portEdit");
        QTest::keyClicks(port, QStringLiteral("12a3-4 5"));
        EXPECT_EQ(port->text(), QStringLiteral("12345"));
        port->clear();
        QTest::keyClicks(port, QStringLiteral("70000"));
        EXPECT_EQ(port->text(), QStringLiteral("70000")) << "typed as it is, refused at OK";
    }
    const struct
    {
        const char* port;
        bool accepted;
        const char* handedBack;
    } cases[] = {
        {"70000", false, ""}, {"65536", false, ""},     {"0", false, ""},         {"00000", false, ""},
        {"1", true, "1"},     {"65535", true, "65535"}, {"009000", true, "9000"},
    };
    for (const auto& c : cases) {
        MessageBoxCatcher boxes;
        SiteBook record = FullRecord();
        CAddDvrDialog dialog;
        dialog.setSiteBook(&record);
        dialog.show();
        QSignalSpy finished(&dialog, &QDialog::finished);
        Type(&dialog, "portEdit", QLatin1String(c.port));
        Click(&dialog, "okButton");
        if (c.accepted) {
            EXPECT_TRUE(boxes.Seen().isEmpty()) << c.port;
            EXPECT_EQ(finished.count(), 1) << c.port;
            EXPECT_EQ(dialog.port, QLatin1String(c.handedBack)) << c.port;
        } else {
            EXPECT_EQ(boxes.Seen(), QStringList({"SiteBook|The port must be a number from 1 to 65535."}))
                << c.port;
            EXPECT_EQ(finished.count(), 0) << c.port;
            // The cursor is back in the port, its text selected for retyping.
            EXPECT_EQ(dialog.focusWidget(), Child<QLineEdit>(&dialog, "portEdit")) << c.port;
            EXPECT_EQ(Child<QLineEdit>(&dialog, "portEdit")->selectedText(), QLatin1String(c.port)) << c.port;
        }
    }
}

// The address is a host name or an IPv4 or IPv6 address; anything else is refused with a word on
// what to mend, and the cursor goes back to the address.
TEST_F(EntryDialogTest, RecorderAddressIsAHostNameOrAnAddressLiteral)
{
    const struct
    {
        const char* typed;
        bool accepted;
    } cases[] = {
        {"10.0.0.9", true},
        {"  192.168.1.200 ", true},
        {"cam.example", true},
        {"dvr-7.site.example.", false}, // an empty last label
        {"dvr-7.site.example", true},
        {"localhost", true},
        {"::1", true},
        {"fe80::1%eth0", true},
        {"2001:db8::8:800:200c:417a", true},
        {"not a host!", false},
        {"under_score.example", false},
        {"-lead.example", false},
        {"trail-.example", false},
        {"two..dots", false},
        {"256.1.1.1", false},
        {"10.0.0", false},
        {"10.0.0.1.2", false},
        {"1.2.3.4:8000", false},
        {"[::1]", false},
        {"http://cam.example", false},
    };
    for (const auto& c : cases) {
        MessageBoxCatcher boxes;
        SiteBook record = FullRecord();
        CAddDvrDialog dialog;
        dialog.setSiteBook(&record);
        dialog.show();
        QSignalSpy finished(&dialog, &QDialog::finished);
        Type(&dialog, "addrEdit", QLatin1String(c.typed));
        Click(&dialog, "okButton");
        if (c.accepted) {
            EXPECT_TRUE(boxes.Seen().isEmpty()) << c.typed;
            EXPECT_EQ(finished.count(), 1) << c.typed;
            EXPECT_EQ(dialog.addr, QString::fromLatin1(c.typed).trimmed()) << c.typed;
        } else {
            EXPECT_EQ(boxes.Seen(), QStringList({"SiteBook|The address must be a host name, an IPv4 address or "
                                                 "an IPv6 address."}))
                << c.typed;
            EXPECT_EQ(finished.count(), 0) << c.typed;
            EXPECT_EQ(dialog.focusWidget(), Child<QLineEdit>(&dialog, "addrEdit")) << c.typed;
        }
    }
}

// Names are trimmed and a name of blanks is no name; a name another recorder of the book has
// is refused (favorites find recorders by name), the entry's own name is not.
TEST_F(EntryDialogTest, RecorderNameIsTrimmedAndMustNotBeTakenByAnother)
{
    const auto taken = [](const QString& name) {
        return name == QLatin1String("gate") || name == QLatin1String("Yard");
    };
    const struct
    {
        const char* typed;
        const char* refusal; // empty: accepted
        const char* name;
    } cases[] = {
        {"   ", "SiteBook|Input dvr name", ""},
        {"Yard", "SiteBook|A recorder named \"Yard\" is already in the site book.", ""},
        {"  Yard ", "SiteBook|A recorder named \"Yard\" is already in the site book.", ""},
        {"gate", "", "gate"}, // its own name
        {"  Dock  ", "", "Dock"},
        {"yard", "", "yard"}, // another name, if only by case
    };
    for (const auto& c : cases) {
        MessageBoxCatcher boxes;
        SiteBook record = FullRecord(); // named "gate"
        CAddDvrDialog dialog;
        dialog.setSiteBook(&record);
        dialog.SetNameTaken(taken);
        dialog.show();
        QSignalSpy finished(&dialog, &QDialog::finished);
        Type(&dialog, "nameEdit", QLatin1String(c.typed));
        Type(&dialog, "addrEdit", QStringLiteral("  10.0.0.9 "));
        // Enter in a field submits, as in the folder dialog.
        QTest::keyClick(Child<QLineEdit>(&dialog, "addrEdit"), Qt::Key_Return);
        if (*c.refusal) {
            EXPECT_EQ(boxes.Seen(), QStringList({QLatin1String(c.refusal)})) << c.typed;
            EXPECT_EQ(finished.count(), 0) << c.typed;
        } else {
            EXPECT_TRUE(boxes.Seen().isEmpty()) << c.typed;
            ASSERT_EQ(finished.count(), 1) << c.typed;
            EXPECT_EQ(dialog.name, QLatin1String(c.name));
            EXPECT_EQ(dialog.addr, QStringLiteral("10.0.0.9"));
        }
    }
}

TEST_F(EntryDialogTest, FolderNameIsTrimmedAndMustNotBeTakenWhereItGoes)
{
    const auto taken = [](const QString& name) { return name == QLatin1String("East"); };
    const struct
    {
        const char* typed;
        const char* refusal;
        const char* name;
    } cases[] = {
        {"  ", "SiteBook|Input folder name", ""},
        {" East ", "SiteBook|\"East\" is already taken.", ""},
        {"West ", "", "West"},
        {"North", "", "North"},
    };
    for (const auto& c : cases) {
        MessageBoxCatcher boxes;
        CAddFolderDialog dialog;
        dialog.SetNameTaken(taken);
        dialog.show();
        QSignalSpy finished(&dialog, &QDialog::finished);
        Type(&dialog, "edit", QLatin1String(c.typed));
        QTest::keyClick(Child<QLineEdit>(&dialog, "edit"), Qt::Key_Return);
        if (*c.refusal) {
            EXPECT_EQ(boxes.Seen(), QStringList({QLatin1String(c.refusal)})) << c.typed;
            EXPECT_EQ(finished.count(), 0) << c.typed;
        } else {
            EXPECT_TRUE(boxes.Seen().isEmpty()) << c.typed;
            ASSERT_EQ(finished.count(), 1) << c.typed;
            EXPECT_EQ(dialog.name, QLatin1String(c.name));
        }
    }
    // Renaming a folder to its own name is no clash.
    MessageBoxCatcher boxes;
    CAddFolderDialog dialog;
    dialog.setText(QStringLiteral("East"), 0);
    dialog.SetNameTaken(taken);
    dialog.show();
    QSignalSpy finished(&dialog, &QDialog::finished);
    Click(&dialog, "okButton");
    EXPECT_EQ(finished.count(), 1);
    EXPECT_TRUE(boxes.Seen().isEmpty());
}

TEST_F(EntryDialogTest, RecorderDialogCancelHandsBackNothing)
{
    SiteBook record = FullRecord();
    CAddDvrDialog dialog;
    dialog.setSiteBook(&record);
    dialog.show();
    Type(&dialog, "nameEdit", QStringLiteral("other"));
    Click(&dialog, "cancelButton");
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(dialog.name.isEmpty());
    EXPECT_EQ(dialog.quality, 1);
    EXPECT_EQ(record.name, QStringLiteral("gate"));
}

TEST_F(EntryDialogTest, SetEditableShowsThePermissionButton)
{
    SiteBook record = FullRecord();
    CAddDvrDialog editable;
    editable.setSiteBook(&record);
    editable.setEditable(true);
    editable.show();
    EXPECT_EQ(editable.editableSet, 1);
    EXPECT_TRUE(Child<QPushButton>(&editable, "permissionButton")->isVisible());
    EXPECT_TRUE(Child<QPushButton>(&editable, "permissionButton")->isEnabled());
    EXPECT_FALSE(Child<QLineEdit>(&editable, "nameEdit")->isReadOnly());

    CAddDvrDialog readOnly;
    readOnly.setSiteBook(&record);
    readOnly.setEditable(false);
    readOnly.show();
    EXPECT_TRUE(Child<QPushButton>(&readOnly, "permissionButton")->isVisible());
    EXPECT_FALSE(Child<QPushButton>(&readOnly, "permissionButton")->isEnabled());
    for (const char* edit : {"nameEdit", "addrEdit", "portEdit", "idEdit", "passwordEdit"})
        EXPECT_TRUE(Child<QLineEdit>(&readOnly, edit)->isReadOnly()) << edit;
    EXPECT_EQ(Child<QCheckBox>(&readOnly, "sslCheck")->focusPolicy(), Qt::NoFocus);
}

} // namespace
