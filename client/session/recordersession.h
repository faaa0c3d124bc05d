#pragma once
// A recorder session as the windows, panels and grids see it: every operation they ask of one
// recorder, and the replies they listen to. The session library implements it (CModuleDevice);
// only the code that makes sessions knows that class. The operations come in facets by purpose
// (status and connection, live, playback and search, backup, remote setup); a caller that needs
// one facet only takes that facet. Channels are 0-based; dates are YYYYMMDD and times HHMMSS.
#include <QObject>
#include <QString>

#include "session/backupsession.h"
#include "session/livesession.h"
#include "session/playbacksession.h"
#include "session/sessionstatus.h"
#include "session/setupsession.h"

class RecorderSession : public QObject,
                        public SessionStatus,
                        public LiveSession,
                        public PlaybackSession,
                        public BackupSession,
                        public SetupSession
{
    Q_OBJECT

public:
    static constexpr int kChannels = 16;
    static constexpr int kMaxRecordDays = 1825;
    // The RequestPlayback mode that seeks through the quick search.
    static constexpr int kTimeLineSeek = 65535;

    ~RecorderSession() override = default;

signals:
    void usageData(qlonglong);
    void OnConnected_CDBackup(QString, int);
    void OnAddBackupCapa(int, int, int);
    void OnAddBackupCapaAll(int, int, int);
    void OnSetCDMedia(short, short);
    void OnEraseResult(char);
    void OnBurningRate(char, char, char, char);
    void OnEventResult(int, int, int, int, qlonglong);
    // The event recording of a channel stopped at a write that failed (channel, time, week day,
    // file, the system's reason, whether the disk is full).
    void OnEventWriteFailed(int, int, int, QString, QString, bool);
};
