// The composition root: the guards it installs with, and that every interface the libraries
// reach is in place while it lives, handed to the right part of the window, and gone after it.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include <gtest/gtest.h>

#include "emap/emaphub.h"
#include "panels/panelshub.h"
#include "search/searchhub.h"
#include "search/searchtime.h"
#include "session/backuphosts.h"
#include "session/museumsearchpopup.h"
#include "session/quicksearchpopup.h"
#include "session/sessionhub.h"
#include "session/thumbnailsearchpopup.h"
#include "shell/clientapp.h"
#include "shell/clientgridhost.h"
#include "shell/clientsessionhub.h"
#include "shell/gridhost.h"
#include "shell/hubinstallguard.h"
#include "shell/mainwindow.h"
#include "sitebook/sitebookhub.h"
#include "sitebook/sitebooktreewidget.h"
#include "widgets/messageboxhub.h"
#include "widgets/skinimagehub.h"

namespace {

struct Face
{
    int id = 0;
};
Face* g_face = nullptr;
void InstallFace(Face* face)
{
    g_face = face;
}
Face* CurrentFace()
{
    return g_face;
}

TEST(HubInstallGuard, InstallsAndTakesAwayOnlyWhatItInstalled)
{
    Face mine{1};
    Face later{2};
    struct Case
    {
        const char* name;
        bool replacedMeanwhile;
        Face* after;
    };
    const Case cases[] = {
        {"still installed: taken away", false, nullptr},
        {"replaced meanwhile: the later one stays", true, &later},
    };
    for (const Case& c : cases) {
        g_face = nullptr;
        {
            HubInstallGuard guard = HubInstallGuard::For<Face>(&mine, &InstallFace, &CurrentFace);
            EXPECT_EQ(g_face, &mine) << c.name;
            if (c.replacedMeanwhile)
                InstallFace(&later);
        }
        EXPECT_EQ(g_face, c.after) << c.name;
    }
}

TEST(HubInstallGuard, AMovedGuardUninstallsOnce)
{
    Face mine{1};
    g_face = nullptr;
    auto first = std::make_unique<HubInstallGuard>(HubInstallGuard::For<Face>(&mine, &InstallFace, &CurrentFace));
    HubInstallGuard moved(std::move(*first));
    first.reset();
    EXPECT_EQ(g_face, &mine) << "the emptied guard took nothing away";
    {
        HubInstallGuard second(std::move(moved));
    }
    EXPECT_EQ(g_face, nullptr);
}

class ClientAppTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(programDir.isValid());
        previous = QDir::currentPath();
        QDir::setCurrent(programDir.path());
    }
    void TearDown() override { QDir::setCurrent(previous); }

    QTemporaryDir programDir;
    QString previous;
};

TEST_F(ClientAppTest, EveryInterfaceIsInPlaceWhileItLivesAndGoneAfter)
{
    {
        ClientApp app;
        MainWindow& window = app.Window();
        EXPECT_EQ(g_pMainWindow, &window);
        EXPECT_EQ(SessionHub::Instance(), static_cast<SessionHub*>(&app.Sessions()));
        EXPECT_EQ(GridHost::Instance(), static_cast<GridHost*>(&app.Grids()));
        EXPECT_EQ(HubServices::Instance(), static_cast<HubServices*>(&app.Sessions()));
        // The window reaches the recorders through the hub the app made, and is none of them.
        EXPECT_EQ(window.Sessions(), &app.Sessions());
        EXPECT_NE(static_cast<const void*>(&app.Sessions()), static_cast<const void*>(&window));
        EXPECT_NE(static_cast<const void*>(&app.Grids()), static_cast<const void*>(&window));
        EXPECT_EQ(MessageBoxHub::Instance(), static_cast<MessageBoxHub*>(&window.Messages()));
        // The adapters stand between the window and the libraries.
        for (const void* face :
             {static_cast<const void*>(SiteBookHub::Instance()), static_cast<const void*>(SearchHub::Instance()),
              static_cast<const void*>(EmapHub::Instance()), static_cast<const void*>(PanelsHub::Instance()),
              static_cast<const void*>(SkinImageHub::Instance()),
              static_cast<const void*>(BackupHostFactory::Instance())}) {
            EXPECT_NE(face, nullptr);
            EXPECT_NE(face, static_cast<const void*>(&window));
        }
        EXPECT_EQ(SearchHub::Instance()->GetSearchTime(), window.GetSearchTime());
        EXPECT_EQ(QuickSearchPopup::Instance(), static_cast<QuickSearchPopup*>(window.GetSearchTime()));
        EXPECT_NE(MuseumSearchPopup::Instance(), nullptr);
        EXPECT_NE(ThumbnailSearchPopup::Instance(), nullptr);
        EXPECT_EQ(EmapHub::Instance()->EmapSiteBook(), window.GetSiteBookTree());
    }
    EXPECT_EQ(g_pMainWindow, nullptr);
    EXPECT_EQ(SessionHub::Instance(), nullptr);
    EXPECT_EQ(GridHost::Instance(), nullptr);
    EXPECT_EQ(MessageBoxHub::Instance(), nullptr);
    EXPECT_EQ(SiteBookHub::Instance(), nullptr);
    EXPECT_EQ(SearchHub::Instance(), nullptr);
    EXPECT_EQ(EmapHub::Instance(), nullptr);
    EXPECT_EQ(PanelsHub::Instance(), nullptr);
    EXPECT_EQ(SkinImageHub::Instance(), nullptr);
    EXPECT_EQ(BackupHostFactory::Instance(), nullptr);
    EXPECT_EQ(QuickSearchPopup::Instance(), nullptr);
    EXPECT_EQ(MuseumSearchPopup::Instance(), nullptr);
    EXPECT_EQ(ThumbnailSearchPopup::Instance(), nullptr);
}

TEST_F(ClientAppTest, AWindowAloneInstallsNothingAndTheAppShutsItDownWhileInstalled)
{
    // One recorder in the book of the program directory (nothing listens at its address).
    QFile book(programDir.filePath(QStringLiteral("sitebook.xml")));
    ASSERT_TRUE(book.open(QIODevice::WriteOnly));
    book.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zent version=\"1.0\">\n"
               " <device name=\"Yard\" addr=\"127.0.0.1\" port=\"1\" id=\"a\" password=\"b\"/>\n</zent>\n");
    book.close();

    auto window = std::make_unique<MainWindow>();
    EXPECT_EQ(SessionHub::Instance(), nullptr) << "a window is not a registry";
    EXPECT_EQ(MessageBoxHub::Instance(), nullptr);
    EXPECT_EQ(window->Sessions(), nullptr) << "a window is not a registry";
    ASSERT_NE(window->GetSiteBookTree(), nullptr);
    EXPECT_EQ(window->GetSiteBookTree()->FindDeviceByName(QStringLiteral("Yard")), nullptr)
        << "the books load when the app starts it";
    {
        ClientApp app(*window);
        EXPECT_EQ(SessionHub::Instance(), static_cast<SessionHub*>(&app.Sessions()));
        EXPECT_NE(app.Sessions().FindDeviceByName(QStringLiteral("Yard")), -1) << "the book's recorder registered";
    }
    // The recorder's session went while the table it frees its slot in was installed, and the
    // window is still whole afterwards, with no hub attached.
    EXPECT_EQ(window->GetSiteBookTree(), nullptr);
    EXPECT_EQ(window->Sessions(), nullptr);
    EXPECT_EQ(SessionHub::Instance(), nullptr);
    window.reset();
}

} // namespace
