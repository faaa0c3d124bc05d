#pragma once
// Writing a file that may hold secrets (site books keep recorder passwords in clear, the
// certificate store and account file name the recorders): the whole content goes through
// QSaveFile, so a failed write leaves the previous file as it was; the file written is readable
// by its owner only, whatever mode an existing one had.
#include <QByteArray>
#include <QString>

namespace privatefile {

// False when the file could not be written; `error` (when given) then says why.
bool Write(const QString& path, const QByteArray& content, QString* error = nullptr);

} // namespace privatefile
