#pragma once
// The "Wedra" decoder library and its companion, loaded by name when present. The program ships
// neither: with "Wedra" loaded the H.264 library stays off, which would leave the queued road
// without a decoder, so only the H.264 library is carried. Their entry points are looked up at
// every call; a missing one frees the library.
#include <QLibrary>
#include <QString>

#include <cstdint>

class WedraLibrary
{
public:
    // Loads path; when that fails and fallbackFolder is given, tries the name there. Calls
    // "KRO_Init_Decoder" with 1 initCount times. False when it does not load.
    bool Load(const QString& path, const QString& fallbackFolder, int initCount);
    bool IsLoaded() const;
    void Unload();

    // false when the entry point is missing (the library is then freed).
    bool DecodeSplit(const uint8_t* data, int length, uint8_t* output, int tile, int option, int mode,
                     int* result);
    bool GetDecodeBuffer(uint8_t* output, int tile);
    bool SetBrightness(int value, int tile);
    bool SetContrast(int value, int tile);

private:
    QFunctionPointer Resolve(const char* name);
    QLibrary m_library;
};
