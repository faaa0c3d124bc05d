#pragma once
// The client accounts the account manager writes: slots 0..7 = ADMIN1, ADMIN2, USER1..USER6,
// each a user id and a password; an empty id or password leaves the slot alone.
#include <QString>

#include <array>

struct AccountSet
{
    static constexpr int kSlots = 8;
    std::array<QString, kSlots> ids;
    std::array<QString, kSlots> passwords;

    bool IsSet(int slot) const
    {
        return slot >= 0 && slot < kSlots && !ids[size_t(slot)].isEmpty() && !passwords[size_t(slot)].isEmpty();
    }
};
