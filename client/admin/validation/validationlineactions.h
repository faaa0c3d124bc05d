#pragma once
#include "core/validationline.h"

class ValidationSession;

// What the console does with each line of the validation server: accounts coming and going,
// pushed changes of other consoles, recorder states, messages and health reports.
class ValidationLineActions
{
public:
    // Account ids the monitoring list can hold.
    static constexpr int kMaxAccountId = 9998;

    explicit ValidationLineActions(ValidationSession& session)
        : m_session(session)
    {}

    void Dispatch(const ValidationLine& line);

private:
    void OnAlive(int accountId, bool online, bool announce);
    void OnRemove(int id, bool dvr);
    void OnMoveAccount(const ValidationLine& line);
    void OnMoveDvr(const ValidationLine& line);
    void OnMessage(const ValidationLine& line);
    void OnEvent(const ValidationLine& line);

    ValidationSession& m_session;
};
