#pragma once
// What a remote backup download needs of its recorder connection: the playback requests that
// fetch a channel at backup speed. The remote backup page implements it over its network
// module; tests implement it with a recorder of the calls.

class RemoteBackupLink
{
public:
    virtual ~RemoteBackupLink() = default;
    virtual void SendPlaybackRate(int rate) = 0;
    // Plays `channel` (0..15) of `date` from `begin` (HHMMSS); every frame carries `sequence`.
    // `audio` is the channel number from 1 whose sound comes along, 0 for none.
    virtual void SendPlayback(int sequence, int channel, int audio, int date, int begin) = 0;
    virtual void SendPlaybackStop() = 0;
};
