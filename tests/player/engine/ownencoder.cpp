#include "ownencoder.h"

#include <cstdlib>

namespace {

struct Word
{
    bool last;
    int run;
    int level;
    const char* bits;
};

// A few code words of each class, written out from the coefficient code's tables; every other
// event goes through the escape.
// clang-format off
const Word kInter[] = {
    {false, 0, 1, "10"}, {false, 1, 1, "110"}, {false, 0, 2, "1111"}, {true, 0, 1, "0111"},
    {false, 2, 1, "1110"}, {true, 1, 1, "001111"}, {false, 0, 3, "010101"}, {true, 40, 1, "000001011111"},
};
const Word kIntra[] = {
    {false, 0, 1, "10"}, {false, 0, 2, "110"}, {false, 1, 1, "1111"}, {true, 0, 1, "0111"},
    {false, 0, 3, "1110"}, {true, 1, 1, "001111"}, {false, 2, 1, "01011"}, {true, 23, 1, "000001011010"},
};
// clang-format on

const char* WordOf(bool intra, const OwnEvent& event)
{
    const int magnitude = std::abs(event.level);
    for (const Word& word : intra ? kIntra : kInter)
        if (word.last == event.last && word.run == event.run && word.level == magnitude)
            return word.bits;
    return nullptr;
}

} // namespace

void BitWriter::Put(const QString& bits)
{
    for (QChar bit : bits)
        m_bits.push_back(bit == QLatin1Char('1'));
}

void BitWriter::Put(unsigned value, int bits)
{
    for (int i = bits - 1; i >= 0; --i)
        m_bits.push_back((value >> i) & 1);
}

QByteArray BitWriter::Bytes() const
{
    QByteArray bytes((int(m_bits.size()) + 7) / 8, '\0');
    for (size_t i = 0; i < m_bits.size(); ++i)
        if (m_bits[i])
            bytes[int(i / 8)] = char(bytes[int(i / 8)] | (0x80 >> (i % 8)));
    return bytes;
}

void OwnEncoder::StartCode()
{
    m_bits.Put(0, 16);
    m_bits.Put(1, 1);
}

void OwnEncoder::PictureHeader(bool key, int type, int layerCode)
{
    StartCode();
    m_bits.Put(0, 4);           // the 4-bit field
    m_bits.Put(key ? 1 : 0, 2); // upper bit 0: a picture header; lower bit: key
    m_bits.Put(0, 1);           // skipped
    m_bits.Put(1, 1);           // must be 1
    m_bits.Put(unsigned(type), 3);
    m_bits.Put(unsigned(8 | layerCode << 1), 4); // 336 wide
}

void OwnEncoder::EndCode()
{
    StartCode();
    m_bits.Put("00001");
    m_bits.Put(0, 6);
}

void OwnEncoder::KeyMacroblock(int chromaPattern, int lumaPattern)
{
    static const char* chroma[] = {"1", "001", "010", "011"};
    m_bits.Put(chroma[chromaPattern]);
    if (lumaPattern == 15)
        m_bits.Put("1");
    else
        m_bits.Put(unsigned(lumaPattern), 5);
}

void OwnEncoder::SkippedMacroblock()
{
    m_bits.Put("1");
}

void OwnEncoder::CodedMacroblock(int modeCode, int lumaPattern, bool keyLumaCode)
{
    static const char* modes[] = {"1", "011", "010", "0011", "0010", "000101", "000110", "000111"};
    m_bits.Put("0");
    m_bits.Put(modes[modeCode]);
    if (keyLumaCode) {
        if (lumaPattern == 15)
            m_bits.Put("1");
        else
            m_bits.Put(unsigned(lumaPattern), 5);
    } else if (lumaPattern == 0) {
        m_bits.Put("1");
    } else {
        m_bits.Put(unsigned(lumaPattern), 5);
    }
}

void OwnEncoder::Events(Class codeClass, const std::vector<OwnEvent>& events)
{
    for (const OwnEvent& event : events) {
        const int magnitude = std::abs(event.level);
        const char* word = WordOf(codeClass == Class::Intra, event);
        if (word) {
            m_bits.Put(QString::fromLatin1(word));
            m_bits.Put(event.level < 0 ? 1 : 0, 1);
            continue;
        }
        // Escape: last, run flag, level, sign, run.
        m_bits.Put("0000011");
        m_bits.Put(event.last ? 1 : 0, 1);
        m_bits.Put(event.run ? 1 : 0, 1);
        m_bits.Put(unsigned(magnitude), 6);
        m_bits.Put(event.level < 0 ? 1 : 0, 1);
        if (event.run)
            m_bits.Put(unsigned(event.run), 6);
    }
}

QByteArray OwnEncoder::Frame(int heightCode) const
{
    QByteArray frame = m_bits.Bytes();
    frame += QByteArray(4, '\0'); // room after the end code
    while (frame.size() % 4)
        frame += '\0';
    QByteArray trailer(4, '\0');
    trailer[3] = char(heightCode << 1);
    return frame + trailer;
}
