#pragma once
// A small encoder for the engine's own decoder, written from the bitstream's description (start
// and end codes, picture header, macroblock codes, coefficient events), so that decoding tests
// start from bytes the decoder did not make.
#include <QByteArray>
#include <QString>

#include <vector>

class BitWriter
{
public:
    void Put(const QString& bits); // "0101..."
    void Put(unsigned value, int bits);
    QByteArray Bytes() const; // padded with zero bits to a whole byte
    int Size() const { return int(m_bits.size()); }

private:
    std::vector<bool> m_bits;
};

struct OwnEvent
{
    bool last;
    int run;
    int level;
};

class OwnEncoder
{
public:
    enum class Class { Inter, Intra };

    void StartCode();
    // key flag, picture type 0..7, 336 wide, layer code 0 (one), 1 (two), 2 (four layers).
    void PictureHeader(bool key, int type, int layerCode);
    void EndCode();
    // Layer decoder, key picture: chroma pattern 0..3, luma pattern 0..15.
    void KeyMacroblock(int chromaPattern, int lumaPattern);
    // Delta picture: a macroblock without coefficients.
    void SkippedMacroblock();
    // Delta picture (or a difference layer): mode code value 0..7, then the luma code.
    void CodedMacroblock(int modeCode, int lumaPattern, bool keyLumaCode);
    // Difference layer, key picture: a macroblock without coefficients.
    void DifferenceKeySkip() { m_bits.Put("1"); }
    void Dc(int value) { m_bits.Put(unsigned(value), 8); }
    void Events(Class codeClass, const std::vector<OwnEvent>& events);
    // Nine zero bits where a coefficient code should be.
    void BrokenCode() { m_bits.Put("000000000000"); }
    void Bits(const QString& bits) { m_bits.Put(bits); }

    // The frame: the bits, then the trailer with the height code (0: 240, 1: 224, 2: 256, 3: 272).
    QByteArray Frame(int heightCode) const;

private:
    BitWriter m_bits;
};
