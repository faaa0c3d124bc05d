// The account dialog and its list of further e-mail addresses: the authority choices by level,
// filling from an account, the checks of OK, the list's rows and the addresses past its twentieth.
#include "fakevalidationhub.h"

#include "core/validationaccount.h"
#include "sitebook/support/sitebook_modal.h"
#include "validation/caddvalidationuser.h"
#include "validation/caddvalidationuser_emailcc.h"
#include "validation/emailcclist.h"
#include "validation/validationaccounteditor.h"
#include "validation/validationauthority.h"
#include "widgets/messagedlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {
struct ChoiceCase
{
    int level;
    QStringList entries;
    Authority current;
    int selected; // -1: nothing offered for it
};

class AuthorityChoices : public ::testing::TestWithParam<ChoiceCase>
{};

TEST_P(AuthorityChoices, FollowTheLevelOfTheAccountAbove)
{
    const ChoiceCase& c = GetParam();
    EXPECT_EQ(ValidationAuthority::Choices(c.level), c.entries);
    EXPECT_EQ(ValidationAuthority::ChoiceIndex(c.level, c.current), c.selected);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, AuthorityChoices,
    ::testing::Values(ChoiceCase{4, {"Admin User", "Super User", "Normal User"}, Authority::Admin, 0},
                      ChoiceCase{4, {"Admin User", "Super User", "Normal User"}, Authority::Super, 1},
                      ChoiceCase{4, {"Admin User", "Super User", "Normal User"}, Authority::Normal, 2},
                      ChoiceCase{3, {"Super User", "Normal User"}, Authority::Super, 0},
                      ChoiceCase{3, {"Super User", "Normal User"}, Authority::Normal, 1},
                      ChoiceCase{3, {"Super User", "Normal User"}, Authority::Admin, -1},
                      ChoiceCase{2, {"Super User", "Normal User"}, Authority::Normal, 1},
                      ChoiceCase{1, {"-"}, Authority::Normal, -1}, ChoiceCase{0, {"-"}, Authority::None, -1}));

TEST(Authority, TextsAndKindsMeetBothWays)
{
    const struct
    {
        const char* text;
        const char* type;
        Authority authority;
    } table[] = {{"Admin User", "admin", Authority::Admin},
                 {"Super User", "super", Authority::Super},
                 {"Normal User", "normal", Authority::Normal}};
    for (const auto& row : table) {
        EXPECT_EQ(ValidationAuthority::FromText(row.text), row.authority);
        EXPECT_EQ(ValidationAuthority::Text(row.authority), QLatin1String(row.text));
        EXPECT_EQ(ValidationAuthority::FromType(row.type, Authority::None), row.authority);
        EXPECT_EQ(ValidationAuthority::Type(row.authority), QLatin1String(row.type));
    }
    EXPECT_EQ(ValidationAuthority::FromText("-"), Authority::None);
    EXPECT_EQ(ValidationAuthority::FromType("group", Authority::Normal), Authority::Normal);
    EXPECT_TRUE(ValidationAuthority::Type(Authority::None).isEmpty());
}

QString Addresses(int from, int to)
{
    QStringList list;
    for (int n = from; n <= to; ++n)
        list << QStringLiteral("cc%1@example.com").arg(n);
    return list.join(';');
}

TEST(EmailCcList, FurtherAddressesFillTheRowsInOrder)
{
    EmailCcList list;
    list.SetEmails(QStringLiteral("main@example.com;b@example.com;;d@example.com"));
    EXPECT_EQ(list.Row(0), QStringLiteral("b@example.com"));
    EXPECT_EQ(list.Row(1), QString());
    EXPECT_EQ(list.Row(2), QStringLiteral("d@example.com"));
    EXPECT_EQ(list.Row(3), QString());
    // Empty rows are left out of the result.
    EXPECT_EQ(list.Result(), QStringLiteral("main@example.com;b@example.com;d@example.com"));
    list.SetRow(0, QString());
    list.SetRow(19, QStringLiteral("last@example.com"));
    list.SetRow(20, QStringLiteral("nowhere@example.com"));
    list.SetRow(-1, QStringLiteral("nowhere@example.com"));
    EXPECT_EQ(list.Result(), QStringLiteral("main@example.com;d@example.com;last@example.com"));
}

TEST(EmailCcList, AddressesPastTheTwentiethRowAreKept)
{
    EmailCcList list;
    list.SetEmails(QStringLiteral("main@example.com;") + Addresses(1, 23));
    EXPECT_EQ(list.Row(19), QStringLiteral("cc20@example.com"));
    EXPECT_EQ(list.Overflow(), Addresses(21, 23).split(';'));
    EXPECT_EQ(list.Result(), QStringLiteral("main@example.com;") + Addresses(1, 23));
    // Removing a shown row removes only that one.
    list.SetRow(0, QString());
    EXPECT_EQ(list.Result(), QStringLiteral("main@example.com;") + Addresses(2, 23));
}

TEST(EmailCcList, AccountEmailJoinsTheTextWithTheFurtherParts)
{
    EXPECT_EQ(EmailCcList::MainAddress(QStringLiteral("a@x;b@x;c@x")), QStringLiteral("a@x"));
    EXPECT_EQ(EmailCcList::MainAddress(QString()), QString());
    EXPECT_EQ(EmailCcList::AccountEmail(QStringLiteral("new@x"), QStringLiteral("a@x;b@x;c@x")),
              QStringLiteral("new@x;b@x;c@x"));
    EXPECT_EQ(EmailCcList::AccountEmail(QStringLiteral("new@x"), QString()), QStringLiteral("new@x"));
}

ValidationAccount ThreeAddressAccount(const char* type)
{
    ValidationAccount account;
    account.id = 7;
    account.parent_id = 1;
    account.type = QLatin1String(type);
    account.user_id = QStringLiteral("kim");
    account.password = QStringLiteral("secret");
    account.name = QStringLiteral("Kim");
    account.description = QStringLiteral("Night shift");
    account.email = QStringLiteral("kim@example.com;boss@example.com;desk@example.com");
    account.report_mail = QStringLiteral("false");
    return account;
}

class AccountDialog : public ::testing::Test
{
protected:
    FakeValidationHub hub;
    CAddValidationUser dialog{hub};
};

TEST_F(AccountDialog, AnAccountFillsTheDialogInModifyMode)
{
    dialog.SetAccount(ThreeAddressAccount("super"), 4, 1);
    EXPECT_TRUE(dialog.modifyMode);
    EXPECT_EQ(dialog.UserIdEdit()->text(), QStringLiteral("kim"));
    EXPECT_FALSE(dialog.UserIdEdit()->isEnabled());
    EXPECT_EQ(dialog.EmailEdit()->text(), QStringLiteral("kim@example.com"));
    EXPECT_FALSE(dialog.ReportCheck()->isChecked());
    EXPECT_EQ(dialog.AuthorityCombo()->currentText(), QStringLiteral("Super User"));
    EXPECT_EQ(dialog.earlierAuthority, Authority::Super);
    EXPECT_TRUE(dialog.EmailCcButton()->isEnabled());
    EXPECT_FALSE(dialog.OkButton()->isHidden());
    EXPECT_EQ(dialog.CancelButton()->text(), QStringLiteral("Cancel"));

    dialog.onOKButtonClicked();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.email, QStringLiteral("kim@example.com;boss@example.com;desk@example.com"));
    EXPECT_EQ(dialog.report_mail, QStringLiteral("false"));
    EXPECT_EQ(dialog.authority, Authority::Super);
    EXPECT_TRUE(hub.messages.isEmpty());
}

TEST_F(AccountDialog, ViewModeOnlyShowsTheAccount)
{
    dialog.SetAccount(ThreeAddressAccount("admin"), ValidationAuthority::kViewLevel, 1);
    EXPECT_EQ(dialog.AuthorityCombo()->count(), 1);
    EXPECT_EQ(dialog.AuthorityCombo()->currentText(), QStringLiteral("Admin User"));
    for (QWidget* field : std::initializer_list<QWidget*>{
             dialog.UserIdEdit(), dialog.PasswordEdit(), dialog.AuthorityCombo(), dialog.NameEdit(),
             dialog.EmailEdit(), dialog.ReportCheck(), dialog.EmailCcButton(), dialog.DescriptionEdit()})
        EXPECT_FALSE(field->isEnabled()) << field->metaObject()->className();
    EXPECT_TRUE(dialog.OkButton()->isHidden());
    EXPECT_EQ(dialog.CancelButton()->text(), QStringLiteral("Close"));
}

struct RefusalCase
{
    const char* userId;
    const char* password;
    const char* message;
};

class AccountDialogRefusal : public AccountDialog, public ::testing::WithParamInterface<RefusalCase>
{};

TEST_P(AccountDialogRefusal, KeepsTheDialogOpenWithTheEntries)
{
    dialog.SetAuthorityChoices(4, Authority::None);
    dialog.UserIdEdit()->setText(QString::fromUtf8(GetParam().userId));
    dialog.PasswordEdit()->setText(QString::fromUtf8(GetParam().password));
    dialog.NameEdit()->setText(QStringLiteral("Kept"));
    dialog.setResult(-1);
    dialog.onOKButtonClicked();
    EXPECT_EQ(hub.messages, QStringList{QStringLiteral("Validation|") + QString::fromUtf8(GetParam().message)});
    EXPECT_EQ(dialog.result(), -1);
    EXPECT_EQ(dialog.NameEdit()->text(), QStringLiteral("Kept"));
    EXPECT_TRUE(dialog.user_id.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, AccountDialogRefusal,
    ::testing::Values(
        RefusalCase{"", "pw", "Input user name"}, RefusalCase{"lee", "", "Input user password"},
        RefusalCase{"lee;x", "pw", "The user name and the password can not hold \";\" or a line break."},
        RefusalCase{"lee", "p\nw", "The user name and the password can not hold \";\" or a line break."}));

TEST_F(AccountDialog, UnderALevelOneAccountOnlyADashIsOfferedAndOkGivesNoAuthority)
{
    dialog.SetAuthorityChoices(1, Authority::Normal);
    EXPECT_EQ(dialog.AuthorityCombo()->count(), 1);
    EXPECT_EQ(dialog.AuthorityCombo()->currentText(), QStringLiteral("-"));
    dialog.UserIdEdit()->setText(QStringLiteral("lee"));
    dialog.PasswordEdit()->setText(QStringLiteral("pw"));
    dialog.onOKButtonClicked();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.authority, Authority::None);
    // Such an account is never sent: it would reach the server without a kind.
    EXPECT_EQ(ValidationAccountEditor::Record(dialog, 1), nullptr);
}

TEST_F(AccountDialog, ANewAccountGivesTheRecordTheTreeSends)
{
    dialog.SetAuthorityChoices(3, Authority::None);
    dialog.UserIdEdit()->setText(QStringLiteral("lee"));
    dialog.PasswordEdit()->setText(QStringLiteral("pw"));
    dialog.AuthorityCombo()->setCurrentIndex(1);
    dialog.NameEdit()->setText(QStringLiteral("Lee"));
    dialog.EmailEdit()->setText(QStringLiteral("lee@example.com"));
    dialog.DescriptionEdit()->setText(QStringLiteral("Day shift"));
    dialog.onOKButtonClicked();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    const auto record = ValidationAccountEditor::Record(dialog, 12);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->parent_id, 12);
    EXPECT_EQ(record->type, QStringLiteral("normal"));
    EXPECT_EQ(record->user_id, QStringLiteral("lee"));
    EXPECT_EQ(record->password, QStringLiteral("pw"));
    EXPECT_EQ(record->name, QStringLiteral("Lee"));
    EXPECT_EQ(record->email, QStringLiteral("lee@example.com"));
    EXPECT_EQ(record->report_mail, QStringLiteral("true"));
    EXPECT_EQ(record->description, QStringLiteral("Day shift"));
}

TEST_F(AccountDialog, AnAuthorityChangeAsksAndCancelKeepsTheDialogOpen)
{
    dialog.SetAccount(ThreeAddressAccount("super"), 4, 1);
    dialog.AuthorityCombo()->setCurrentIndex(2); // Normal User
    dialog.setResult(-1);
    QString asked;
    auto cancel = OnNextDialog<MessageDlg>([&](MessageDlg* box) {
        for (QLabel* label : box->findChildren<QLabel*>())
            asked += label->text();
        box->onCancelButtonClicked();
    });
    dialog.onOKButtonClicked();
    ASSERT_TRUE(cancel->Done());
    EXPECT_TRUE(asked.contains(QStringLiteral("The authority has changed.\nDo you want to continue?")));
    EXPECT_EQ(dialog.result(), -1);
    EXPECT_EQ(dialog.AuthorityCombo()->currentText(), QStringLiteral("Normal User"));
    EXPECT_TRUE(dialog.user_id.isEmpty());

    auto ok = OnNextDialog<MessageDlg>([](MessageDlg* box) { box->onOkButtonClicked(); });
    dialog.onOKButtonClicked();
    ASSERT_TRUE(ok->Done());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.authority, Authority::Normal);
}

TEST_F(AccountDialog, TheListWithoutAnyAddressWarnsAndOpensNothing)
{
    dialog.SetAuthorityChoices(4, Authority::None);
    dialog.onEmailCC();
    EXPECT_EQ(hub.warnings, QStringList{QStringLiteral("Warning|Empty email address")});
    EXPECT_TRUE(dialog.emailCC.isEmpty());
}

TEST_F(AccountDialog, TheListShowsTheFurtherAddressesAndOkKeepsThem)
{
    dialog.SetAccount(ThreeAddressAccount("normal"), 3, 1);
    QStringList shown;
    auto driver = OnNextDialog<CAddValidationUser_emailCC>([&](CAddValidationUser_emailCC* list) {
        for (int row = 0; row < 3; ++row)
            shown << list->RowEdit(row)->text();
        list->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    });
    dialog.onEmailCC();
    ASSERT_TRUE(driver->Done());
    EXPECT_EQ(shown, (QStringList{"boss@example.com", "desk@example.com", ""}));
    dialog.EmailEdit()->setText(QStringLiteral("kim@example.org"));
    dialog.onOKButtonClicked();
    EXPECT_EQ(dialog.email, QStringLiteral("kim@example.org;boss@example.com;desk@example.com"));
}

TEST_F(AccountDialog, MoreThanTwentyFurtherAddressesSurviveTheList)
{
    ValidationAccount account = ThreeAddressAccount("normal");
    account.email = QStringLiteral("kim@example.com;") + Addresses(1, 22);
    dialog.SetAccount(account, 3, 1);
    auto driver = OnNextDialog<CAddValidationUser_emailCC>([&](CAddValidationUser_emailCC* list) {
        list->OnBtnDelEmail(1); // cc2
        list->onOKButtonClicked();
    });
    dialog.onEmailCC();
    ASSERT_TRUE(driver->Done());
    dialog.onOKButtonClicked();
    EXPECT_EQ(dialog.email, QStringLiteral("kim@example.com;cc1@example.com;") + Addresses(3, 22));
}

TEST(EmailCcDialog, PlusAsksForTheRowsAddressAndMinusEmptiesIt)
{
    CAddValidationUser_emailCC list;
    EXPECT_EQ(list.windowTitle(), QStringLiteral("Email CC list"));
    EXPECT_EQ(list.size(), QSize(295, 297));
    EXPECT_TRUE(list.RowEdit(0)->isReadOnly());
    EXPECT_EQ(list.RowEdit(0)->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(list.RowEdit(20), nullptr);
    list.SetEmails(QStringLiteral("main@x;old@x"));
    QString startText;
    auto driver = OnNextDialog<QInputDialog>([&](QInputDialog* input) {
        startText = input->textValue();
        input->setTextValue(QStringLiteral("new@x"));
        input->accept();
    });
    list.OnBtnAddEmail(0);
    ASSERT_TRUE(driver->Done());
    EXPECT_EQ(startText, QStringLiteral("old@x"));
    EXPECT_EQ(list.RowEdit(0)->text(), QStringLiteral("new@x"));

    auto cancelled = OnNextDialog<QInputDialog>([](QInputDialog* input) { input->reject(); });
    list.OnBtnAddEmail(4);
    ASSERT_TRUE(cancelled->Done());
    EXPECT_EQ(list.RowEdit(4)->text(), QString());

    list.OnBtnDelEmail(0);
    EXPECT_EQ(list.RowEdit(0)->text(), QString());
    list.onOKButtonClicked();
    EXPECT_EQ(list.result(), QDialog::Accepted);
    EXPECT_EQ(list.Result(), QStringLiteral("main@x"));
}

TEST(EmailCcDialog, CancelLeavesTheAccountsListAsItWas)
{
    FakeValidationHub hub;
    CAddValidationUser dialog(hub);
    dialog.SetAccount(ThreeAddressAccount("normal"), 3, 1);
    auto driver = OnNextDialog<CAddValidationUser_emailCC>([](CAddValidationUser_emailCC* list) {
        list->OnBtnDelEmail(0);
        list->onCancelButtonClicked();
    });
    dialog.onEmailCC();
    ASSERT_TRUE(driver->Done());
    EXPECT_EQ(dialog.emailCC, QStringLiteral("kim@example.com;boss@example.com;desk@example.com"));
}
} // namespace
