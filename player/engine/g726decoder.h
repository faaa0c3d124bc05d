#pragma once
// ADPCM decoder after ITU-T G.726: the adaptive quantiser, the two-pole six-zero predictor and
// the tone and transition detectors of the reference algorithm, at 2 bits (16 kbit/s) or 4 bits
// (32 kbit/s) per sample. Returns the reconstructed signal (14-bit range) per code.
#include <cstdint>

class G726Decoder
{
public:
    explicit G726Decoder(int bitsPerSample = 4);
    void Reset();
    int BitsPerSample() const { return m_bits; }
    // The reconstructed signal for one code (the low bits of code).
    int Decode(int code);

private:
    int PredictorZero() const;
    int PredictorPole() const;
    int StepSize() const;
    void Update(int code_size, int y, int wi, int fi, int dq, int sr, int dqsez);

    int m_bits;
    int m_yl = 34816;
    int m_yu = 544;
    int m_dms = 0;
    int m_dml = 0;
    int m_ap = 0;
    int m_a[2] = {};
    int m_b[6] = {};
    int m_pk[2] = {};
    int m_dq[6] = {};
    int m_sr[2] = {};
    int m_td = 0;
};
