#pragma once
// What a video grid shows, fixed once by its owner: live video (live windows and e-map camera
// tiles), a recorder's remote playback, or recordings from local files. The values are the ones
// the owners pass to CCameo::InitCameo.
enum class CameoKind { Live = 0, Playback = 1, Local = 2 };
