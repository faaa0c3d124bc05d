#include "validation/validationtreeops.h"

#include "core/adminlog.h"
#include "core/treemodel.h"

#include <array>
#include <deque>
#include <functional>

namespace {
enum Column { kName = 0, kAuthority = 1, kOnline = 2, kDescription = 3 };

const QString kDvr = QStringLiteral("dvr");
const QString kGroup = QStringLiteral("group");
const QString kCamera = QStringLiteral("camera");

struct CameraState
{
    int code;
    const char* text;
    const char* marker;
};
// clang-format off
constexpr std::array<CameraState, 8> kCameraStates = {{
    {0, "Off", "X"}, {1, "On", "O"}, {2, "Videoloss", "-"}, {3, "Event", "O"},
    {4, "Error", "X"}, {5, "Good", "O"}, {6, "HDD recognition error", "X"}, {9, "No permission", "-"},
}};
// clang-format on

const CameraState* StateOf(int code)
{
    for (const CameraState& state : kCameraStates)
        if (state.code == code)
            return &state;
    return nullptr;
}

bool IsDisk(int code)
{
    return code == 4 || code == 5 || code == 6;
}

QString AuthorityText(const ValidationAccount& record)
{
    static const std::array<std::pair<const char*, const char*>, 6> kTexts = {{{"root", "Root User"},
                                                                               {"admin", "Admin User"},
                                                                               {"super", "Super User"},
                                                                               {"normal", "Normal User"},
                                                                               {"group", "Group"},
                                                                               {"dvr", "DVR Device"}}};
    for (const auto& entry : kTexts)
        if (record.type == QLatin1String(entry.first))
            return QLatin1String(entry.second);
    if (record.type == kCamera)
        return IsDisk(record.status) ? QStringLiteral("HDD") : QStringLiteral("Camera");
    return QString();
}
} // namespace

ValidationTreeOps::ValidationTreeOps(TreeModel& model)
    : m_model(model)
{}

ValidationTreeOps::~ValidationTreeOps() = default;

QStringList ValidationTreeOps::Headers()
{
    return {QStringLiteral("User name"), QStringLiteral("Authority"), QStringLiteral("Online"),
            QStringLiteral("Description")};
}

bool ValidationTreeOps::IsAccountType(const QString& type)
{
    return Level(type) > 0;
}

int ValidationTreeOps::Level(const QString& type)
{
    if (type == QLatin1String("root"))
        return 4;
    if (type == QLatin1String("admin"))
        return 3;
    if (type == QLatin1String("super"))
        return 2;
    if (type == QLatin1String("normal"))
        return 1;
    return 0;
}

ValidationAccount* ValidationTreeOps::Record(const QModelIndex& index) const
{
    if (!index.isValid())
        return nullptr;
    return m_model.index(index.row(), 0, index.parent()).data(Qt::UserRole).value<ValidationAccount*>();
}

int ValidationTreeOps::InsertPosition(const QModelIndex& parent, const ValidationAccount& record) const
{
    const int count = m_model.rowCount(parent);
    if (record.type == kCamera)
        return count;
    for (int row = 0; row < count; ++row) {
        const ValidationAccount* sibling = Record(m_model.index(row, 0, parent));
        if (!sibling)
            continue;
        if (IsAccountType(record.type)) {
            if (sibling->type == kDvr || sibling->type == kGroup || sibling->user_id > record.user_id)
                return row;
        } else if (record.type == kGroup) {
            if (sibling->type == kDvr || (sibling->type == kGroup && sibling->name > record.name))
                return row;
        } else if (sibling->type == kDvr && sibling->name > record.name) {
            return row;
        }
    }
    return count;
}

QModelIndex ValidationTreeOps::Insert(const QModelIndex& parent, std::unique_ptr<ValidationAccount> record)
{
    if (!record)
        return QModelIndex();
    const int row = InsertPosition(parent, *record);
    if (!m_model.insertRows(row, 1, parent))
        return QModelIndex();
    const QModelIndex index = m_model.index(row, 0, parent);
    ValidationAccount* kept = record.get();
    m_records.emplace(kept, std::move(record));
    m_model.setData(index, QVariant::fromValue(kept), Qt::UserRole);
    ShowCells(index, *kept);
    qCDebug(lcAdmin) << (kept->type == kDvr ? "dvr" : kept->type == kGroup ? "group" : "account") << kept->name;
    return index;
}

void ValidationTreeOps::SetCell(const QModelIndex& index, int column, const QString& text)
{
    m_model.setData(m_model.index(index.row(), column, index.parent()), text, Qt::DisplayRole);
}

void ValidationTreeOps::ShowCells(const QModelIndex& index, const ValidationAccount& record)
{
    const bool account = IsAccountType(record.type);
    SetCell(index, kName, account ? record.user_id : record.name);
    SetCell(index, kAuthority, AuthorityText(record));
    if (record.type == kCamera) {
        const CameraState* state = StateOf(record.status);
        SetCell(index, kOnline, state ? QLatin1String(state->marker) : QString());
        SetCell(index, kDescription, state ? QLatin1String(state->text) : QString());
        return;
    }
    if (account || record.type == kDvr)
        SetCell(index, kOnline, record.online ? QStringLiteral("O") : QStringLiteral("X"));
    else
        SetCell(index, kOnline, QString());
    SetCell(index, kDescription, record.description);
}

void ValidationTreeOps::Remove(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    const QModelIndex node = m_model.index(index.row(), 0, index.parent());
    const QModelIndex parent = node.parent();
    const int row = node.row();
    // The row goes first, so that no view is left showing a freed record.
    std::vector<std::unique_ptr<ValidationAccount>> freed;
    std::function<void(const QModelIndex&)> collect = [&](const QModelIndex& at) {
        for (int child = 0; child < m_model.rowCount(at); ++child)
            collect(m_model.index(child, 0, at));
        if (const ValidationAccount* record = Record(at)) {
            auto found = m_records.find(record);
            if (found != m_records.end()) {
                freed.push_back(std::move(found->second));
                m_records.erase(found);
            }
        }
    };
    collect(node);
    m_model.removeRows(row, 1, parent);
}

void ValidationTreeOps::RemoveChildren(const QModelIndex& index)
{
    const QModelIndex node = index.isValid() ? m_model.index(index.row(), 0, index.parent()) : QModelIndex();
    while (m_model.rowCount(node) > 0)
        Remove(m_model.index(0, 0, node));
}

void ValidationTreeOps::Clear()
{
    RemoveChildren(QModelIndex());
}

QModelIndex ValidationTreeOps::CopySubtree(const QModelIndex& from, const QModelIndex& toParent)
{
    const ValidationAccount* record = Record(from);
    if (!record)
        return QModelIndex();
    const QModelIndex copy = Insert(toParent, std::make_unique<ValidationAccount>(*record));
    const QModelIndex node = m_model.index(from.row(), 0, from.parent());
    for (int row = 0; row < m_model.rowCount(node); ++row)
        CopySubtree(m_model.index(row, 0, node), copy);
    return copy;
}

QModelIndex ValidationTreeOps::Find(const QModelIndex& parent, int id, bool dvr) const
{
    for (int row = 0; row < m_model.rowCount(parent); ++row) {
        const QModelIndex child = m_model.index(row, 0, parent);
        const ValidationAccount* record = Record(child);
        if (record && record->id == id && (record->type == kDvr) == dvr && record->type != kCamera)
            return child;
        const QModelIndex found = Find(child, id, dvr);
        if (found.isValid())
            return found;
    }
    return QModelIndex();
}

QModelIndex ValidationTreeOps::FindAccount(int id) const
{
    return Find(QModelIndex(), id, false);
}

QModelIndex ValidationTreeOps::FindDvr(int id) const
{
    return Find(QModelIndex(), id, true);
}

int ValidationTreeOps::FindDvrFrom(const QString& name, int start, QModelIndex* found) const
{
    int position = -1;
    std::function<QModelIndex(const QModelIndex&)> walk = [&](const QModelIndex& parent) -> QModelIndex {
        for (int row = 0; row < m_model.rowCount(parent); ++row) {
            const QModelIndex child = m_model.index(row, 0, parent);
            ++position;
            const ValidationAccount* record = Record(child);
            if (position >= start && record && record->type == kDvr
                && record->name.contains(name, Qt::CaseInsensitive))
                return child;
            const QModelIndex hit = walk(child);
            if (hit.isValid())
                return hit;
        }
        return QModelIndex();
    };
    const QModelIndex hit = walk(QModelIndex());
    if (found)
        *found = hit;
    return hit.isValid() ? position : -1;
}

QModelIndex ValidationTreeOps::FindGroupByName(const QModelIndex& under, const QString& name) const
{
    if (!under.isValid())
        return QModelIndex();
    // Level by level, so that a group directly below wins over a namesake further down.
    std::deque<QModelIndex> queue{m_model.index(under.row(), 0, under.parent())};
    while (!queue.empty()) {
        const QModelIndex node = queue.front();
        queue.pop_front();
        for (int row = 0; row < m_model.rowCount(node); ++row) {
            const QModelIndex child = m_model.index(row, 0, node);
            const ValidationAccount* record = Record(child);
            if (record && record->type == kGroup && record->name == name)
                return child;
            queue.push_back(child);
        }
    }
    return QModelIndex();
}

void ValidationTreeOps::Apply(const QModelIndex& index, const ValidationAccount& record)
{
    ValidationAccount* kept = Record(index);
    if (!kept)
        return;
    const int id = kept->id;
    const bool online = kept->online;
    *kept = record;
    kept->id = id;
    kept->online = online;
    ShowCells(m_model.index(index.row(), 0, index.parent()), *kept);
}

void ValidationTreeOps::SetOnline(const QModelIndex& index, bool online)
{
    ValidationAccount* record = Record(index);
    if (!record)
        return;
    record->online = online;
    SetCell(m_model.index(index.row(), 0, index.parent()), kOnline,
            online ? QStringLiteral("O") : QStringLiteral("X"));
}

void ValidationTreeOps::SetDvrConnected(const QModelIndex& index, bool connected)
{
    SetOnline(index, connected);
    if (!connected)
        RemoveChildren(index);
}

void ValidationTreeOps::HealthCheck(const QModelIndex& index, const QString& report)
{
    ValidationAccount* dvr = Record(index);
    if (!dvr || dvr->type != kDvr)
        return;
    const QModelIndex node = m_model.index(index.row(), 0, index.parent());
    const QString digits = report.left(kMaxHealthRows);
    SetOnline(node, true);
    if (m_model.rowCount(node) != digits.size()) {
        RemoveChildren(node);
        int disk = 0;
        for (int position = 0; position < digits.size(); ++position) {
            auto row = std::make_unique<ValidationAccount>();
            row->type = kCamera;
            row->parent_id = dvr->id;
            row->status = digits.at(position).isDigit() ? digits.at(position).digitValue() : -1;
            row->name = IsDisk(row->status) ? QString::asprintf("HDD %02d", ++disk)
                                            : QString::asprintf("Camera %02d", position + 1);
            Insert(node, std::move(row));
        }
        return;
    }
    for (int position = 0; position < digits.size(); ++position) {
        const QModelIndex child = m_model.index(position, 0, node);
        if (ValidationAccount* row = Record(child)) {
            row->status = digits.at(position).isDigit() ? digits.at(position).digitValue() : -1;
            ShowCells(child, *row);
        }
    }
}

QModelIndex ValidationTreeOps::NearestAccount(const QModelIndex& index) const
{
    for (QModelIndex at = index; at.isValid(); at = at.parent()) {
        const ValidationAccount* record = Record(at);
        if (record && IsAccountType(record->type))
            return m_model.index(at.row(), 0, at.parent());
    }
    return QModelIndex();
}

int ValidationTreeOps::LevelForChildOf(const QModelIndex& index) const
{
    const ValidationAccount* record = Record(index);
    if (!record)
        return 0;
    if (record->type == kGroup) {
        const ValidationAccount* owner = Record(NearestAccount(index));
        const int level = owner ? Level(owner->type) : 0;
        return level >= 2 ? level : 0;
    }
    const int level = Level(record->type);
    return level >= 2 ? level : 0;
}

bool ValidationTreeOps::SubtreeFits(const QModelIndex& node, const QString& owner) const
{
    const ValidationAccount* record = Record(node);
    if (record) {
        const QString& type = record->type;
        if (owner == QLatin1String("admin") && type == QLatin1String("admin"))
            return false;
        if (owner == QLatin1String("super") && type == QLatin1String("admin"))
            return false;
        if (owner == QLatin1String("normal") && (type == QLatin1String("admin") || type == QLatin1String("super")))
            return false;
    }
    for (int row = 0; row < m_model.rowCount(node); ++row)
        if (!SubtreeFits(m_model.index(row, 0, node), owner))
            return false;
    return true;
}

bool ValidationTreeOps::MoveAllowed(const QModelIndex& source, const QModelIndex& target) const
{
    if (!source.isValid() || !target.isValid() || source == target)
        return false;
    const ValidationAccount* targetRecord = Record(target);
    if (!targetRecord || !Record(source) || targetRecord->type == kDvr)
        return false;
    for (QModelIndex at = target; at.isValid(); at = at.parent())
        if (at == source)
            return false;
    const ValidationAccount* owner = Record(NearestAccount(target));
    if (!owner)
        return false;
    return SubtreeFits(source, owner->type);
}
