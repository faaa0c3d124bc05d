#pragma once
// ADPCM decoder after ITU-T G.726: the adaptive quantiser, the two-pole six-zero predictor and
// the tone and transition detectors of the reference algorithm, at 2 bits (16 kbit/s) or 4 bits
// (32 kbit/s) per sample, starting from the reference's initial state. Decode returns the
// reconstructed signal (the reference's 14-bit range) for one code.
#include <cstdint>

class G726Decoder
{
public:
    explicit G726Decoder(int bitsPerSample = 4);
    void Reset();
    int BitsPerSample() const { return m_bits; }
    int Decode(int code);

private:
    int PredictorZero() const;
    int PredictorPole() const;
    int StepSize() const;
    void Update(int y, int wi, int fi, int dq, int sr, int dqsez);

    int m_bits;
    int32_t m_yl = 34816;
    int16_t m_yu = 544;
    int16_t m_dms = 0;
    int16_t m_dml = 0;
    int16_t m_ap = 0;
    int16_t m_a[2] = {};
    int16_t m_b[6] = {};
    int16_t m_pk[2] = {};
    int16_t m_dq[6] = {};
    int16_t m_sr[2] = {};
    int m_td = 0;
};
