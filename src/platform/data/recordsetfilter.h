#pragma once

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

/// ADO-style filter criteria: comparisons (=, <>, <, >, <=, >=, LIKE with * or %) of a field
/// with a quoted text or a number, joined by AND and OR, with parentheses. Text compares
/// without regard to case.
class RecordsetFilter
{
public:
    using FieldLookup = std::function<QVariant(int field)>;
    using FieldIndex = std::function<int(const QString &name)>;

    ~RecordsetFilter();
    /// Reads criteria; returns null and sets *error when they cannot be read or name an unknown
    /// field.
    static std::unique_ptr<RecordsetFilter> parse(const QString &criteria, const FieldIndex &index,
                                                  QString *error);
    bool matches(const FieldLookup &row) const;

    struct Node;

private:
    explicit RecordsetFilter(std::unique_ptr<Node> root);
    std::unique_ptr<Node> m_root;
};
