#include "engine/g726decoder.h"

#include <cstdlib>

namespace {

// clang-format off
const int16_t kPower2[15] = {1, 2, 4, 8, 0x10, 0x20, 0x40, 0x80, 0x100, 0x200, 0x400, 0x800, 0x1000, 0x2000, 0x4000};

// 32 kbit/s: log of the quantised difference, scale factor multipliers (x 32) and the
// adaptation speed function, by code.
const int16_t kDqln4[16] = {-2048, 4, 135, 213, 273, 323, 373, 425, 425, 373, 323, 273, 213, 135, 4, -2048};
const int16_t kWi4[16] = {-12, 18, 41, 64, 112, 198, 355, 1122, 1122, 355, 198, 112, 64, 41, 18, -12};
const int16_t kFi4[16] = {0, 0, 0, 0x200, 0x200, 0x200, 0x600, 0xE00, 0xE00, 0x600, 0x200, 0x200, 0x200, 0, 0, 0};

// 16 kbit/s.
const int16_t kDqln2[4] = {116, 365, 365, 116};
const int16_t kWi2[4] = {-22, 439, 439, -22};
const int16_t kFi2[4] = {0, 0xE00, 0xE00, 0};
// clang-format on

int Quantise(int value, const int16_t* table, int size)
{
    int i = 0;
    while (i < size && value >= table[i])
        ++i;
    return i;
}

// The reference's floating multiply of a predictor coefficient and a sample in its 4-bit
// exponent, 6-bit mantissa form.
int FloatMultiply(int an, int srn)
{
    const int anmag = an > 0 ? an : ((-an) & 0x1FFF);
    const int anexp = Quantise(anmag, kPower2, 15) - 6;
    const int anmant = anmag == 0 ? 32 : (anexp >= 0 ? anmag >> anexp : anmag << -anexp);
    const int wanexp = anexp + ((srn >> 6) & 0xF) - 13;
    const int wanmant = (anmant * (srn & 077) + 0x30) >> 4;
    const int product = wanexp >= 0 ? ((wanmant << wanexp) & 0x7FFF) : (wanmant >> -wanexp);
    return (an ^ srn) < 0 ? -product : product;
}

int Reconstruct(bool negative, int dqln, int y)
{
    const int dql = dqln + (y >> 2);
    if (dql < 0)
        return negative ? -0x8000 : 0;
    const int dex = (dql >> 7) & 15;
    const int dqt = 128 + (dql & 127);
    const int dq = (dqt << 7) >> (14 - dex);
    return negative ? dq - 0x8000 : dq;
}

// A value in the 4-bit exponent, 6-bit mantissa form.
int16_t ToFloat(int magnitude, bool negative)
{
    const int exp = Quantise(magnitude, kPower2, 15);
    const int value = (exp << 6) + ((magnitude << 6) >> exp);
    return int16_t(negative ? value - 0x400 : value);
}

} // namespace

G726Decoder::G726Decoder(int bitsPerSample)
    : m_bits(bitsPerSample == 2 ? 2 : 4)
{
    Reset();
}

void G726Decoder::Reset()
{
    m_yl = 34816;
    m_yu = 544;
    m_dms = m_dml = m_ap = 0;
    for (int i = 0; i < 2; ++i) {
        m_a[i] = 0;
        m_pk[i] = 0;
        m_sr[i] = 32;
    }
    for (int i = 0; i < 6; ++i) {
        m_b[i] = 0;
        m_dq[i] = 32;
    }
    m_td = 0;
}

int G726Decoder::PredictorZero() const
{
    int sezi = 0;
    for (int i = 0; i < 6; ++i)
        sezi += FloatMultiply(m_b[i] >> 2, m_dq[i]);
    return sezi;
}

int G726Decoder::PredictorPole() const
{
    return FloatMultiply(m_a[1] >> 2, m_sr[1]) + FloatMultiply(m_a[0] >> 2, m_sr[0]);
}

int G726Decoder::StepSize() const
{
    if (m_ap >= 256)
        return m_yu;
    int y = m_yl >> 6;
    const int dif = m_yu - y;
    const int al = m_ap >> 2;
    if (dif > 0)
        y += (dif * al) >> 6;
    else if (dif < 0)
        y += (dif * al + 0x3F) >> 6;
    return y;
}

int G726Decoder::Decode(int code)
{
    const int mask = (1 << m_bits) - 1;
    code &= mask;
    const bool negative = code & (1 << (m_bits - 1));
    const int sezi = PredictorZero();
    const int sez = sezi >> 1;
    const int se = (sezi + PredictorPole()) >> 1;
    const int y = StepSize();
    const int dqln = m_bits == 2 ? kDqln2[code] : kDqln4[code];
    const int wi = (m_bits == 2 ? kWi2[code] : kWi4[code]) * 32;
    const int fi = m_bits == 2 ? kFi2[code] : kFi4[code];
    const int dq = Reconstruct(negative, dqln, y);
    const int sr = dq < 0 ? se - (dq & 0x3FFF) : se + dq;
    const int dqsez = sr - se + sez;
    Update(y, wi, fi, dq, sr, dqsez);
    return sr;
}

void G726Decoder::Update(int y, int wi, int fi, int dq, int sr, int dqsez)
{
    const int pk0 = dqsez < 0 ? 1 : 0;
    const int mag = dq & 0x7FFF;

    // Transition detector.
    const int ylint = m_yl >> 15;
    const int ylfrac = (m_yl >> 10) & 0x1F;
    const int thr1 = (32 + ylfrac) << ylint;
    const int thr2 = ylint > 9 ? 31 << 10 : thr1;
    const int dqthr = (thr2 + (thr2 >> 1)) >> 1;
    const int tr = (m_td != 0 && mag > dqthr) ? 1 : 0;

    // Scale factor adaptation.
    int yu = y + ((wi - y) >> 5);
    yu = yu < 544 ? 544 : (yu > 5120 ? 5120 : yu);
    m_yu = int16_t(yu);
    m_yl += yu + ((-m_yl) >> 6);

    int a2p = 0;
    if (tr == 1) {
        m_a[0] = m_a[1] = 0;
        for (int16_t& b : m_b)
            b = 0;
    } else {
        const int pks1 = pk0 ^ m_pk[0];
        a2p = m_a[1] - (m_a[1] >> 7);
        if (dqsez != 0) {
            const int fa1 = pks1 ? m_a[0] : -m_a[0];
            if (fa1 < -8191)
                a2p -= 0x100;
            else if (fa1 > 8191)
                a2p += 0xFF;
            else
                a2p += fa1 >> 5;
            if (pk0 ^ m_pk[1]) {
                if (a2p <= -12160)
                    a2p = -12288;
                else if (a2p >= 12416)
                    a2p = 12288;
                else
                    a2p -= 0x80;
            } else if (a2p <= -12416) {
                a2p = -12288;
            } else if (a2p >= 12160) {
                a2p = 12288;
            } else {
                a2p += 0x80;
            }
        }
        m_a[1] = int16_t(a2p);
        int a1 = m_a[0] - (m_a[0] >> 8);
        if (dqsez != 0)
            a1 += pks1 == 0 ? 192 : -192;
        const int a1ul = 15360 - a2p;
        a1 = a1 < -a1ul ? -a1ul : (a1 > a1ul ? a1ul : a1);
        m_a[0] = int16_t(a1);
        for (int i = 0; i < 6; ++i) {
            int b = m_b[i] - (m_b[i] >> 8);
            if (dq & 0x7FFF)
                b += ((dq ^ m_dq[i]) >= 0) ? 128 : -128;
            m_b[i] = int16_t(b);
        }
    }

    for (int i = 5; i > 0; --i)
        m_dq[i] = m_dq[i - 1];
    if (mag == 0)
        m_dq[0] = int16_t(dq >= 0 ? 0x20 : 0xFC20);
    else
        m_dq[0] = ToFloat(mag, dq < 0);

    m_sr[1] = m_sr[0];
    if (sr == 0)
        m_sr[0] = 0x20;
    else if (sr > 0)
        m_sr[0] = ToFloat(sr, false);
    else if (sr > -32768)
        m_sr[0] = ToFloat(-sr, true);
    else
        m_sr[0] = int16_t(0xFC20);

    m_pk[1] = m_pk[0];
    m_pk[0] = int16_t(pk0);

    // Tone detector.
    m_td = tr == 1 ? 0 : (a2p < -11776 ? 1 : 0);

    // Adaptation speed control.
    m_dms = int16_t(m_dms + ((fi - m_dms) >> 5));
    m_dml = int16_t(m_dml + (((fi << 2) - m_dml) >> 7));
    if (tr == 1)
        m_ap = 256;
    else if (y < 1536 || m_td == 1 || std::abs((m_dms << 2) - m_dml) >= (m_dml >> 3))
        m_ap = int16_t(m_ap + ((0x200 - m_ap) >> 4));
    else
        m_ap = int16_t(m_ap + ((-m_ap) >> 4));
}
