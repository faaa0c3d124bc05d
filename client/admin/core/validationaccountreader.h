#pragma once
#include "core/validationaccount.h"

#include <QJsonObject>

#include <functional>
#include <memory>

// Reads the central server's JSON records into ValidationAccount. A missing or wrong-typed key
// reads as 0 or as an empty string; nothing a server sends can make a reader fail.
class ValidationAccountReader
{
public:
    // An account or group record.
    static std::unique_ptr<ValidationAccount> ReadAccount(const QJsonObject& object);
    // A recorder record: type "dvr", name from "dvr_name", permissions from decimal text.
    static std::unique_ptr<ValidationAccount> ReadDvr(const QJsonObject& object);
    // A node of a tree reply: an account record, with the recorder keys when its type is "dvr".
    static std::unique_ptr<ValidationAccount> ReadTreeNode(const QJsonObject& object);
    // The login reply's own account (root when withReportMail, refresh without it); an empty
    // name becomes the user id.
    static std::unique_ptr<ValidationAccount> ReadLoginAccount(const QJsonObject& object, bool withReportMail);

    // Walks a tree record depth-first: the node under its parent, then each of its "children"
    // in array order under the new node. insert() takes over the record and returns the handle
    // its children are inserted under. Nesting deeper than kMaxDepth is cut off.
    static constexpr int kMaxDepth = 64;
    using InsertNode = std::function<void*(std::unique_ptr<ValidationAccount>, void* parent)>;
    static void ReadTree(const QJsonObject& object, void* parent, const InsertNode& insert);

    // A decimal text as the permission readers take it: anything but a decimal string gives 0.
    static int DecimalField(const QJsonObject& object, const QString& key);

private:
    static void ReadIds(const QJsonObject& object, ValidationAccount& account);
    static void ReadDvrKeys(const QJsonObject& object, ValidationAccount& account);
    static void ReadTreeLevel(const QJsonObject& object, void* parent, const InsertNode& insert, int depth);
};
