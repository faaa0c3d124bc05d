// Every library's debug output goes through its own category: silent at debug level unless
// switched on (QT_LOGGING_RULES="zent.session.debug=true"), warnings always on.
#include <QLoggingCategory>

#include <gtest/gtest.h>

#include "common/commonlog.h"
#include "net/netlog.h"
#include "platform/platformlog.h"
#include "session/sessionlog.h"
#include "shell/shelllog.h"
#include "sitebook/sitebooklog.h"
#include "widgets/widgetslog.h"

namespace {

struct Category
{
    const QLoggingCategory& (*get)();
    const char* name;
};

const Category kCategories[] = {
    {&lcPlatform, "zent.platform"}, {&lcMedia, "zent.media"},     {&lcNet, "zent.net"},
    {&lcSession, "zent.session"},   {&lcWidgets, "zent.widgets"}, {&lcSiteBook, "zent.sitebook"},
    {&lcShell, "zent.shell"},
};

} // namespace

TEST(Logging, EveryCategoryIsQuietAtDebugLevelUntilSwitchedOn)
{
    for (const Category& c : kCategories) {
        const QLoggingCategory& category = c.get();
        EXPECT_STREQ(category.categoryName(), c.name);
        EXPECT_FALSE(category.isDebugEnabled()) << c.name;
        EXPECT_TRUE(category.isWarningEnabled()) << c.name;
    }
    QLoggingCategory::setFilterRules(QStringLiteral("zent.session.debug=true"));
    EXPECT_TRUE(lcSession().isDebugEnabled());
    EXPECT_FALSE(lcNet().isDebugEnabled());
    QLoggingCategory::setFilterRules(QString());
    EXPECT_FALSE(lcSession().isDebugEnabled());
}
