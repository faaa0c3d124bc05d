#include "session/connectsequence.h"

#include "session/netconnect.h"

ConnectSequence::ConnectSequence(int loginLimitMs)
    : loginTimeLimitMs(loginLimitMs)
{}

ConnectSequence::~ConnectSequence() = default;
