#pragma once
// Writes client accounts into a recorder's settings text (the INI file it sends as
// "conf/setup.ini"): in section [PASSWORD_CLIENT], "clientId<i>_0" = the user id and
// "clientPasswd<i>_0" = its DES crypt, for each slot whose id and password are both set.
// Only those values change: every other line, comment, key order, blank line and the file's
// line ends stay as they came. A key the section lacks is added after the section's last
// entry; a file without the section gets it at the end.
#include <QByteArray>

#include "managers/accountset.h"

namespace PasswordClientSection {

// A recorder's settings file is small; a larger one is refused.
constexpr int kMaxSize = 8 * 1024 * 1024;

// The text with the accounts written in; false (and `out` untouched) for a text larger than
// kMaxSize or a password the crypt routine refuses.
bool Apply(const QByteArray& text, const AccountSet& accounts, QByteArray* out);

} // namespace PasswordClientSection
