#pragma once
// The recorder lists of the alarm output and microphone panels: each entry shows a recorder's name
// and carries its hub index. A recorder leaves by its index, so that another recorder of the same
// name keeps its entry.
class QComboBox;
class QString;

namespace RecorderList {
void Add(QComboBox* list, const QString& name, int recorder);
void Remove(QComboBox* list, int recorder);
// The hub index of an entry; -1 for no entry.
int RecorderAt(const QComboBox* list, int entry);
} // namespace RecorderList
