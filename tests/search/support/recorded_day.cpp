#include "search/support/recorded_day.h"

#include <QTest>

#include <gtest/gtest.h>

#include "common/support/decoder_streams.h"
#include "search/searchview.h"
#include "session/recordersession.h"
#include "shell/childwindowslots.h"
#include "shell/mainwindow.h"

QStringList RecordedDayOptions(const QString& start, const QString& end, int fps, int days,
                               const QStringList& extra)
{
    const decoder_streams::Stream& stream = decoder_streams::Make(352, 240, 30, 10);
    EXPECT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    QStringList options{QStringLiteral("--video"),        stream.path,
                        QStringLiteral("--fps"),          QString::number(fps),
                        QStringLiteral("--record-date"),  QStringLiteral("20240205"),
                        QStringLiteral("--record-days"),  QString::number(days),
                        QStringLiteral("--record-start"), start,
                        QStringLiteral("--record-end"),   end};
    return options + extra;
}

SearchView* OpenRemoteSearch(MainWindow& hub, RecorderSession* device, int date, int time)
{
    // The grid composes for its laid-out size, so the window is shown as the program shows it.
    hub.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&hub));
    hub.StartRemoteSearch(device->GetDeviceIndex(), date, time);
    for (int slot = 0; slot < MainWindow::kSearchViews; ++slot) {
        auto* view = qobject_cast<SearchView*>(hub.SearchViewSlots()->Window(slot));
        if (view && view->ShownRecorder() == device->GetDeviceIndex())
            return view;
    }
    return nullptr;
}
