#pragma once
// An item of the player's site tree: recorders, their cameras and groups. Items own their
// children; every item takes a serial number from one program-wide counter. The tree is kept
// without a view (the player shows no recorder tree), but its order rules are those of one.
#include <atomic>
#include <memory>
#include <vector>

#include <QString>

class HPItemCommon
{
public:
    static constexpr int kAnyType = -1;
    static constexpr int kCamera = 3;
    static constexpr int kRecorder = 1;
    static constexpr int kLatestViewGroup = 6;
    static constexpr int kFront = 12;

    explicit HPItemCommon(int type, QString name = QStringLiteral("root"));
    virtual ~HPItemCommon() = default;
    HPItemCommon(const HPItemCommon&) = delete;
    HPItemCommon& operator=(const HPItemCommon&) = delete;

    int Type() const { return m_type; }
    quint64 Serial() const { return m_serial; }
    const QString& Name() const { return m_name; }
    void Rename(const QString& name) { m_name = name; }
    HPItemCommon* Parent() const { return m_parent; }
    int ChildCount() const { return int(m_children.size()); }
    HPItemCommon* Child(int i) const;
    // Whether the item has a visible row in a tree (types 3 and 5 to 10 have none).
    bool Visible() const;
    virtual int Image() const { return m_image; }
    void SetImage(int image) { m_image = image; }
    // Camera items match the key equal to their camera index; others match nothing.
    virtual bool Matches(int /*key*/) const { return false; }

    // Takes the item (with its subtree, moved from where it was) under this one: a recorder
    // before the first child of type 5 or 8; a group named `latestView` and type-12 items at the
    // front; all others at the end.
    HPItemCommon* Insert(std::unique_ptr<HPItemCommon> item, const QString& latestView = QString());
    std::unique_ptr<HPItemCommon> Take(HPItemCommon* child);
    // Depth first, the item itself before its children.
    HPItemCommon* Find(int type, int key);
    std::vector<HPItemCommon*> Collect(int type);
    void RemoveChildren();

private:
    static std::atomic<quint64> s_counter;
    int m_type;
    quint64 m_serial;
    QString m_name;
    int m_image = 0;
    HPItemCommon* m_parent = nullptr;
    std::vector<std::unique_ptr<HPItemCommon>> m_children;
};
