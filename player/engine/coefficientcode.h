#pragma once
// The variable-length code of the own decoder's transform coefficients: 102 code words plus an
// escape, read as events (last, run, level). The inter class is the TCOEF code of ITU-T H.263;
// the intra class gives the same code words other meanings.
#include "engine/ownbitreader.h"

#include <cstdint>

struct CoefficientEvent
{
    bool last = false;
    int run = 0;
    int level = 0; // signed
};

enum class CoefficientClass { Inter, Intra };

class CoefficientCode
{
public:
    static constexpr uint32_t kCodeError = 0x80100000;

    CoefficientCode();
    // Reads one event; false (an empty event) on a code with nine or more leading zeros.
    bool Read(OwnBitReader& reader, CoefficientClass codeClass, CoefficientEvent* event) const;

private:
    struct Entry
    {
        uint8_t length = 0; // without the sign bit; 0 = none
        uint8_t index = 0;
    };
    // Every 13-bit look-ahead to the code word it begins with.
    Entry m_lookup[1 << 13];
    // The intra meaning of each inter code word.
    uint8_t m_intraOf[102] = {};
};
